// Help pages cut down to bounds before they are laid out: hostile pages against small limits
// of the test's own, ordinary pages against the program's.

#include "helpviewer/HelpPage.h"

#include <gtest/gtest.h>

namespace {

TEST(HelpPage, HostilePagesAreCutDownToTheLimits)
{
    HelpPageLimits limits;
    limits.maxChars = 200;
    limits.maxElements = 12;
    limits.maxDepth = 8;
    limits.maxTableDepth = 2;
    limits.maxSpan = 8;
    limits.maxImageSide = 100;
    limits.maxWordLength = 50;
    const QString cell = QStringLiteral("<table><tr><td>");
    const struct {
        const char* what;
        QString page, bounded;
    } cases[] = {
        {"the rows of tables nested too deeply join the deepest table kept", cell.repeated(4) + "x",
         cell.repeated(2) + "</td></tr><tr><td></td></tr><tr><td>x"},
        {"the items of lists nested too deeply join the deepest list kept",
         QString("<ul><li>a").repeated(6),
         QString("<ul><li>a").repeated(4) + "</li><li>a</li><li>a"},
        {"too many elements", QString("<b>1</b>").repeated(20), QString("<b>1</b>").repeated(12)},
        {"too long", QString("wort ").repeated(60), QString("wort ").repeated(40)},
        {"words too long get invisible breaks", QString(120, u'x'),
         QString(50, u'x') + u'\u200b' + QString(50, u'x') + u'\u200b' + QString(20, u'x')},
        {"but not inside entities", QString(48, u'x') + "&amp;yy",
         QString(48, u'x') + "&amp;\u200byy"},
        {"elements closed by the next are closed explicitly",
         "<ul><li>a<li>b</ul><p>c<p>d<dl><dt>e<dd>f</dl>",
         "<ul><li>a</li><li>b</li></ul><p>c</p><p>d<dl><dt>e</dt><dd>f</dd></dl>"},
        {"rows and cells closed by the next", "<table><tr><td>a<td>b<tr><th>c</table>",
         "<table><tr><td>a</td><td>b</td></tr><tr><th>c</th></tr></table>"},
        {"tags hidden in others, stray brackets and elements closing themselves",
         "<b title=\">\" x='<table>'>t</b> a < b <div/><br/><table\"x>",
         "<b title=\"&gt;\" x=\"&lt;table&gt;\">t</b> a &lt; b <div></div><br /><table>"},
        {"large spans and pictures",
         "<table><tr><td colspan=1000 rowspan=\"3\">x</table><img src=a.png width=99999 "
         "height=50%>",
         "<table><tr><td colspan=\"8\" rowspan=\"3\">x</td></tr></table><img src=\"a.png\" "
         "width=\"100\" height=\"50%\">"},
        {"table parts without a table, comments and scripts",
         "<td>a<tr>b<!-- <table> --><script>x<table></script><style>p{}<table></style>",
         "ab<script></script><style>p{}table></style>"},
        {"closing tags of left-out elements close nothing else",
         "<div>" + cell.repeated(3) + "x</table></table></table>y</div>z",
         "<div>" + cell.repeated(2) +
             "</td></tr><tr><td>x</td></tr></table></td></tr></table>y</div>z"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(boundedHelpPage(c.page, limits), c.bounded) << c.what;
}

TEST(HelpPage, TextInTablesCountsTwiceForEachTableAroundIt)
{
    HelpPageLimits limits;
    limits.maxWork = 400;
    limits.elementWork = 10;
    limits.cellWork = 20;
    limits.wideCharWork = 4;
    limits.maxWordLength = 10000;
    const QString text(1000, u'x');
    const QString cell = QStringLiteral("<table><tr><td>");
    const struct {
        QString page, bounded;
    } cases[] = {
        {text, text.left(400)},
        {QString(1000, QChar(0x4E2D)), QString(100, QChar(0x4E2D))},
        // <table> 7 + 10, then twice <tr> 4 + 10 and <td> 4 + 10 + 20: 113 before the text,
        // which counts twice.
        {cell + text, cell + text.left(143)},
        // Another 226 for the second table's tags (17 twice, 14 and 34 four times); the text
        // counts four times.
        {cell + cell + text, cell + cell + text.left(15)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(boundedHelpPage(c.page, limits), c.bounded) << c.page.left(40).toStdString();
}

TEST(HelpPage, OrdinaryPagesStayAsTheyAre)
{
    const QString pages[] = {
        "<!DOCTYPE html>\n<html lang=\"de\">\n<head>\n<meta http-equiv=\"Content-Type\" "
        "content=\"text/html; charset=utf-8\">\n<link rel=\"stylesheet\" href=\"hilfe.css\" "
        "type=\"text/css\">\n"
        "<title>Tasten</title>\n</head>\n<body>\n<h1>Tasten</h1>\n<table>\n<tr><th>Taste</th>"
        "<th>Wirkung</th></tr>\n<tr><td class=\"taste\">F1</td><td>Hilfe &amp; mehr</td></tr>\n"
        "</table>\n<p><img src=\"bilder/y.png\" alt=\"Y\" width=\"48\"> Text</p>\n</body>\n"
        "</html>\n",
        "<html><body><ul><li><a href=\"a.htm\">A</a><ul><li>B</li></ul></li></ul><dl><dt>C</dt>"
        "<dd>D<br>E</dd></dl><table><tr><td><table><tr><td>innen</td></tr></table></td></tr>"
        "</table></body></html>",
    };
    for (const QString& page : pages)
        EXPECT_EQ(boundedHelpPage(page), page);
}

} // namespace
