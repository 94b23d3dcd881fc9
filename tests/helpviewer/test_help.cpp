// Compiled help files made here with chmcmd (and then damaged or stripped on purpose), read
// by our reader and shown in our viewer.

#include "helpviewer/HelpAdapter.h"
#include "helpviewer/HelpPage.h"
#include "helpviewer/HelpReader.h"
#include "helpviewer/HelpWindow.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextFrame>
#include <QTextTable>
#include <QTreeWidget>
#include <QtEndian>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

using Files = std::vector<std::pair<QString, QByteArray>>;

// Compiles the files with chmcmd; the options name the contents file, language and so on.
QString compile(const QTemporaryDir& dir, const QByteArray& options, const Files& files)
{
    QByteArray project = "[OPTIONS]\nCompiled file=t.chm\n" + options + "\n[FILES]\n";
    for (const auto& [name, data] : files) {
        QDir(dir.path()).mkpath(QFileInfo(name).path());
        QFile f(dir.filePath(name));
        f.open(QIODevice::WriteOnly);
        f.write(data);
        if (!name.endsWith(QLatin1String(".hhc")) || !options.contains("=" + name.toUtf8()))
            project += name.toUtf8() + "\n";
    }
    QFile hhp(dir.filePath(QStringLiteral("t.hhp")));
    hhp.open(QIODevice::WriteOnly);
    hhp.write(project);
    hhp.close();
    QProcess chmcmd;
    chmcmd.setWorkingDirectory(dir.path());
    chmcmd.start(QStringLiteral("chmcmd"),
                 {QStringLiteral("--no-html-scan"), QStringLiteral("t.hhp")});
    chmcmd.waitForFinished(60000);
    return dir.filePath(QStringLiteral("t.chm"));
}

QByteArray sitemapEntry(const QByteArray& name, const QByteArray& local)
{
    return "<LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"" + name +
           "\"><param name=\"Local\" value=\"" + local + "\"></OBJECT>\n";
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

void writeAll(const QString& path, const QByteArray& data)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(data);
}

// A German help in the file's own character set: pages without a charset of their own, a
// nested contents tree, a picture, a style sheet and a link from one page to the other.
Files germanHelp()
{
    QImage red(40, 40, QImage::Format_RGB32);
    red.fill(Qt::red);
    red.save(QStringLiteral("/tmp/ym-help-red.png"));
    const QByteArray css = "<link rel=\"stylesheet\" type=\"text/css\" href=\"../s.css\">";
    return {
        {"inhalt.hhc", "<UL>" +
                           sitemapEntry("B\xfc"
                                        "cher",
                                        "") +
                           "<UL>" + sitemapEntry("Erste", "seiten/a.htm") +
                           sitemapEntry("Zweite", "seiten/b.htm") + "</UL></UL>"},
        {"seiten/a.htm",
         "<html><head>" + css +
             "</head><body><h1>\xc4rger</h1><a href=\"b.htm\">weiter</a></body></html>"},
        {"seiten/b.htm",
         "<html><head>" + css +
             "</head><body><p>Zweite Seite</p><img src=\"../bild.png\"></body></html>"},
        {"s.css", "h1 { color: #00ff00; }"},
        {"bild.png", readAll(QStringLiteral("/tmp/ym-help-red.png"))},
    };
}

const QByteArray kGermanOptions = "Contents file=inhalt.hhc\nDefault topic=seiten/a.htm\n"
                                  "Language=0x407 German\nTitle=Pr\xfc"
                                  "fhilfe\n";

const QStringList kReader {QStringLiteral(HELP_READER), QLatin1String(kReadHelpOption)};

// Reads the file with a reader process as the viewer does, waiting for the result and for the
// reading to have reaped its reader.
std::optional<HelpArchive> readHelp(const QString& path, const QStringList& reader = kReader,
                                    int timeoutMs = 4000, pid_t* pid = nullptr)
{
    std::optional<std::optional<HelpArchive>> result;
    THelpReading reading(reader, path, timeoutMs,
                         [&](auto archive) { result = std::move(archive); });
    EXPECT_TRUE(QTest::qWaitFor([&] { return result.has_value() && reading.ended(); }));
    if (pid)
        *pid = reading.pid();
    return result.value_or(std::nullopt);
}

// Gone, or ended and waiting only to be reaped by a parent that is not us.
bool processGone(pid_t pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    return !stat.open(QIODevice::ReadOnly) || stat.readAll().contains(") Z ");
}

std::optional<HelpContents> contentsOf(const QString& path)
{
    const auto archive = readHelp(path);
    return archive ? std::optional(readHelpContents(*archive)) : std::nullopt;
}

QString outline(const std::vector<HelpEntry>& entries)
{
    QStringList parts;
    for (const HelpEntry& e : entries)
        parts << e.name + QLatin1Char('=') + e.local +
                     (e.children.empty()
                          ? QString()
                          : QLatin1Char('(') + outline(e.children) + QLatin1Char(')'));
    return parts.join(QLatin1Char(' '));
}

TEST(HelpSitemap, KeepsNestingNamesAndTopics)
{
    const struct {
        QString html, outline;
    } cases[] = {
        {"<ul><li><object><param name=Name value=A><param name=Local value=a.htm></object><ul>"
         "<li><object><param name='Name' value='B &amp; &auml;'><param name=\"Local\" "
         "value=\"sub\\b.htm#x\"></object>"
         "</ul><li><object><param name=Name value=C><param name=Local "
         "value=\"ms-its:x.chm::/c.htm\"></object></ul>",
         "A=/a.htm(B & ä=/sub/b.htm#x) C=/c.htm"},
        {"<object><param name=Name value=Lost></object><ul><ul><li><object><param name=Name "
         "value=Deep></object></ul></ul>",
         "Lost=(Deep=)"},
        {"<ul><li><object><param name=Name value=K><param name=Name value=L><param name=Local "
         "value=k.htm>"
         "<param name=Local value=l.htm></object></ul></ul></ul>",
         "K=/k.htm"},
        {"<ul><li><object><param name=Name value=\"Web\"><param name=Local "
         "value=\"https://x.example/\"></object>",
         "Web=https://x.example/"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(outline(parseSitemap(c.html)), c.outline) << c.html.toStdString();
}

size_t depthOf(const std::vector<HelpEntry>& entries)
{
    size_t deepest = 0;
    for (const HelpEntry& e : entries)
        deepest = std::max(deepest, depthOf(e.children));
    return entries.empty() ? 0 : deepest + 1;
}

TEST(HelpSitemap, ContentsNestedBeyondAnyRealTreeStopAtTheDeepestLevelKept)
{
    const QString level = QStringLiteral("<ul><li><object><param name=Name value=X></object>");
    const auto tree = parseSitemap(level.repeated(100000));
    EXPECT_EQ(depthOf(tree), kMaxContentsDepth);
}

TEST(HelpText, PageCharsetOverridesTheFileCharset)
{
    const struct {
        QByteArray bytes, fallback;
        QString text;
    } cases[] = {
        {"\xc4\xfc", "windows-1252", "Äü"},
        {"\xc4\xfc", "windows-1251", "Дь"},
        {"<meta charset=\"utf-8\">\xc3\x84", "windows-1251", "<meta charset=\"utf-8\">Ä"},
        {"<META HTTP-EQUIV=Content-Type CONTENT='text/html; charset=windows-1251'>\xc4",
         "windows-1252",
         "<META HTTP-EQUIV=Content-Type CONTENT='text/html; charset=windows-1251'>Д"},
        {"\xef\xbb\xbf\xc3\xa4", "windows-1251", "ä"},
        {"<meta charset=unknown-thing>\xe4", "windows-1252", "<meta charset=unknown-thing>ä"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(decodeHelpText(c.bytes, c.fallback), c.text) << c.bytes.toStdString();
}

// Renames an internal file in the directory, as a compiler that never writes it would leave
// the file.
void hideInternalFile(const QString& path, const QByteArray& name)
{
    QByteArray data = readAll(path);
    const qsizetype at = data.indexOf(name);
    ASSERT_GE(at, 0);
    data[at + name.size() - 1] = 'Q';
    writeAll(path, data);
}

TEST(HelpFile, ReadsContentsTitleAndCharsetFromTheHeaderOrFindsThem)
{
    const struct {
        const char* what;
        QByteArray options;
        Files extra;
        QByteArray hide;
        QString title, defaultTopic, outline;
    } cases[] = {
        {"as chmcmd writes it",
         kGermanOptions,
         {},
         {},
         "Prüfhilfe",
         "/seiten/a.htm",
         "Bücher=(Erste=/seiten/a.htm Zweite=/seiten/b.htm)"},
        {"without #SYSTEM",
         kGermanOptions,
         {},
         "/#SYSTEM",
         "",
         "/seiten/a.htm",
         "Bücher=(Erste=/seiten/a.htm Zweite=/seiten/b.htm)"},
        {"header names no contents file",
         "Language=0x419 Russian\n",
         {{"seiten/c.hhc", "<ul>" + sitemapEntry("\xc4\xe0", "seiten/b.htm") + "</ul>"}},
         {},
         "",
         "/seiten/b.htm",
         "Да=/seiten/b.htm"},
    };
    for (const auto& c : cases) {
        QTemporaryDir dir;
        Files files = germanHelp();
        if (c.options != kGermanOptions)
            files.erase(files.begin());
        files.insert(files.end(), c.extra.begin(), c.extra.end());
        const QString path = compile(dir, c.options, files);
        if (!c.hide.isEmpty())
            hideInternalFile(path, c.hide);
        const auto contents = contentsOf(path);
        ASSERT_TRUE(contents) << c.what;
        EXPECT_EQ(contents->title, c.title) << c.what;
        EXPECT_EQ(contents->defaultTopic, c.defaultTopic) << c.what;
        EXPECT_EQ(outline(contents->contents), c.outline) << c.what;
    }
}

TEST(HelpFile, EveryTopicOfADirectoryOverManyChunksIsRead)
{
    QTemporaryDir dir;
    Files files;
    for (int i = 0; i < 400; ++i)
        files.push_back({QStringLiteral("p%1.htm").arg(i), "<p>" + QByteArray::number(i)});
    const auto archive = readHelp(compile(dir, "Title=Viele\n", files));
    ASSERT_TRUE(archive);
    for (int i : {0, 1, 200, 399})
        EXPECT_EQ(archive->file(QStringLiteral("/p%1.htm").arg(i)), "<p>" + QByteArray::number(i))
            << i;
}

TEST(HelpFile, DamagedFilesGiveNothingWithoutCrashOrHang)
{
    QTemporaryDir dir;
    const QByteArray good = readAll(compile(dir, kGermanOptions, germanHelp()));
    QByteArray badWindow = good;
    // A compression window of size 0: chmlib itself dies of it.
    badWindow[badWindow.indexOf("LZXC") + 12] = 0;
    QByteArray badDirectory = good;
    badDirectory.replace(badDirectory.indexOf("PMGL"), 4, "XXXX");
    const struct {
        const char* what;
        QByteArray data;
    } cases[] = {
        {"empty", {}},
        {"header only", good.left(0x60)},
        {"garbage", QByteArray(5000, '\x5a')},
        {"broken directory", badDirectory},
        {"broken compression", badWindow},
    };
    for (const auto& c : cases) {
        const QString path = dir.filePath(QStringLiteral("bad.chm"));
        writeAll(path, c.data);
        const auto archive = readHelp(path);
        EXPECT_TRUE(!archive || readHelpContents(*archive).contents.empty()) << c.what;
    }
    // Cut anywhere, the file never takes the reader down.
    for (qsizetype cut = 0x60; cut < good.size(); cut += good.size() / 23) {
        const QString path = dir.filePath(QStringLiteral("cut.chm"));
        writeAll(path, good.left(cut));
        const auto archive = readHelp(path);
        if (archive)
            readHelpContents(*archive);
    }
}

TEST(HelpReader, GivesTheWholeFileOrNothingWithinTheLimitAndLeavesNoReaderBehind)
{
    QTemporaryDir dir;
    const QString good = compile(dir, kGermanOptions, germanHelp());
    // A help file on storage that never answers: opening it waits for a writer.
    const QString stalled = dir.filePath(QStringLiteral("stalled.chm"));
    ASSERT_EQ(mkfifo(QFile::encodeName(stalled).constData(), 0600), 0);
    const auto shell = [](const char* script) {
        return QStringList {QStringLiteral("/bin/sh"), QStringLiteral("-c"),
                            QString::fromLatin1(script), QStringLiteral("reader")};
    };
    const struct {
        const char* what;
        QStringList reader;
        QString file;
        bool read;
    } cases[] = {
        {"a good file", kReader, good, true},
        {"a file that never answers", kReader, stalled, false},
        {"a reader that loops and ignores SIGTERM", shell("trap '' TERM; while :; do :; done"),
         good, false},
        {"a reader that crashes", shell("kill -SEGV $$"), good, false},
        {"a reader that ends without a report", shell("exit 0"), good, false},
        {"a reader that sends nonsense", shell("printf '\\377\\377\\377\\377xxxx'"), good, false},
        {"a reader told of another parent", shell(HELP_READER " --read-help \"$1\" 1"), good,
         false},
        {"no reader at all", {QStringLiteral("/nonexistent/reader")}, good, false},
    };
    for (const auto& c : cases) {
        pid_t pid = 0;
        const auto archive = readHelp(c.file, c.reader, 1000, &pid);
        EXPECT_EQ(archive.has_value(), c.read) << c.what;
        if (archive) {
            EXPECT_TRUE(archive->file(QStringLiteral("/seiten/b.htm"))) << c.what;
        }
        EXPECT_TRUE(pid <= 0 || processGone(pid)) << c.what;
    }
}

TEST(HelpReader, EndsWithTheProgramThatStartedIt)
{
    QTemporaryDir dir;
    const QString stalled = dir.filePath(QStringLiteral("stalled.chm"));
    ASSERT_EQ(mkfifo(QFile::encodeName(stalled).constData(), 0600), 0);
    // A stand-in for the program: starts the reader on a file that never answers, says the
    // reader's process id and waits.
    QProcess program;
    program.start(QStringLiteral("/bin/sh"),
                  {QStringLiteral("-c"),
                   QStringLiteral(HELP_READER " --read-help \"$1\" $$ & echo $!; wait"),
                   QStringLiteral("program"), stalled});
    ASSERT_TRUE(program.waitForReadyRead(5000));
    const pid_t reader = program.readLine().trimmed().toInt();
    ASSERT_GT(reader, 0);
    EXPECT_FALSE(processGone(reader));
    program.kill();
    program.waitForFinished();
    EXPECT_TRUE(QTest::qWaitFor([&] { return processGone(reader); }));
}

TEST(HelpReport, IsTakenInPiecesOfAnySizeAndRefusedWhenMalformed)
{
    const auto file = [](const QByteArray& path, const QByteArray& data) {
        QByteArray lengths(8, '\0');
        qToLittleEndian<quint32>(quint32(path.size()), lengths.data());
        qToLittleEndian<quint32>(quint32(data.size()), lengths.data() + 4);
        return lengths + path + data;
    };
    const QByteArray end(8, '\0');
    const QByteArray report = file("/a.htm", "<p>a") + file("/leer", "") + file("/b", "bb") + end;
    for (qsizetype piece : {1, 3, 8, 1000}) {
        HelpReportParser parser;
        for (qsizetype at = 0; at < report.size(); at += piece)
            ASSERT_TRUE(parser.feed(report.constData() + at, std::min(piece, report.size() - at)));
        ASSERT_TRUE(parser.complete()) << piece;
        const HelpArchive archive = parser.takeArchive();
        EXPECT_EQ(archive.file(QStringLiteral("/A.htm")), "<p>a") << piece;
        EXPECT_EQ(archive.file(QStringLiteral("/leer")), "") << piece;
        EXPECT_EQ(archive.file(QStringLiteral("/b")), "bb") << piece;
    }
    const struct {
        const char* what;
        QByteArray report;
    } malformed[] = {
        {"contents without a path", file("", "x")},
        {"a path longer than any", file(QByteArray(100000, 'p'), "x")},
        {"more than the largest help file", QByteArray("\1\0\0\0\xff\xff\xff\xff/", 9)},
        {"more after the end", end + file("/a", "a")},
    };
    for (const auto& m : malformed) {
        HelpReportParser parser;
        EXPECT_FALSE(parser.feed(m.report.constData(), m.report.size())) << m.what;
    }
}

// Whether a page's style sheet link is followed: as browsers follow it, and only within the file.
TEST(HelpStyleSheet, IsTakenAsBrowsersTakeItAndOnlyFromTheFile)
{
    const QByteArray css = "h1 { color: #00ff00; }";
    QTemporaryDir outside;
    writeAll(outside.filePath(QStringLiteral("s.css")), css);
    const struct {
        QByteArray link;
        bool styled;
    } cases[] = {
        {"<link rel=\"stylesheet\" type=\"text/css\" href=\"s.css\">", true},
        {"<link rel=\"stylesheet\" href=\"s.css\">", true},
        {"<LINK REL=\"Icon StyleSheet\" TYPE=\"Text/CSS; charset=utf-8\" HREF=\"s.css\">", true},
        {"<link rel=stylesheet type=\"\" href=s.css>", true},
        {"<link rel=\"alternate stylesheet\" href=\"s.css\">", false},
        {"<link rel=\"stylesheet\" type=\"text/plain\" type=\"text/css\" href=\"s.css\">", false},
        {"<link rel=\"icon\" type=\"text/css\" href=\"s.css\">", false},
        {"<link type=\"text/css\" href=\"s.css\">", false},
        {"<link rel=\"stylesheet\" href=\"file://" + outside.filePath("s.css").toUtf8() + "\">",
         false},
    };
    for (const auto& c : cases) {
        auto archive = std::make_shared<HelpArchive>();
        archive->add(QStringLiteral("/s.css"), css);
        archive->add(QStringLiteral("/p.htm"), "<html><head>" + c.link + "</head><body><h1>T</h1>");
        THelpBrowser browser(archive, "utf-8");
        browser.setSource(THelpBrowser::topicUrl(QStringLiteral("/p.htm")));
        const QColor heading = browser.document()->firstBlock().charFormat().foreground().color();
        EXPECT_EQ(heading == Qt::green, c.styled) << c.link.toStdString();
    }
}

class HelpViewer : public testing::Test {
protected:
    QTemporaryDir dir;
    QString file = compile(dir, kGermanOptions, germanHelp());
    THelpManager manager;
    THelpAdapter adapter {manager, "libchm.so.1", kReader};

    // F1: the window shows once the file has been read.
    THelpWindow* showContents()
    {
        manager.showTableOfContents(file);
        const auto shown = [&] {
            const THelpWindow* window = adapter.viewer()->window(file);
            return window && window->isVisible();
        };
        return QTest::qWaitFor(shown) ? adapter.viewer()->window(file) : nullptr;
    }
};

int pixelsOf(const QImage& image, QColor colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixelColor(x, y) == colour;
    return n;
}

TEST_F(HelpViewer, ShowsContentsAndFirstTopicWithItsStyleThenFollowsLinksToPictures)
{
    ASSERT_TRUE(adapter.loaded());
    THelpWindow* window = showContents();
    ASSERT_TRUE(window);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Prüfhilfe"));
    ASSERT_EQ(window->contentsTree()->topLevelItemCount(), 1);
    EXPECT_EQ(window->contentsTree()->topLevelItem(0)->childCount(), 2);
    EXPECT_TRUE(window->topicView()->toPlainText().startsWith(QStringLiteral("Ärger")));
    EXPECT_GT(pixelsOf(window->topicView()->viewport()->grab().toImage(), Qt::green), 30);

    emit window->topicView()->anchorClicked(QUrl(QStringLiteral("b.htm")));
    EXPECT_TRUE(window->topicView()->toPlainText().startsWith(QStringLiteral("Zweite Seite")));
    EXPECT_GE(pixelsOf(window->topicView()->viewport()->grab().toImage(), Qt::red), 40 * 40);
}

TEST_F(HelpViewer, AgainShowsTheSameWindowAndAMissingFileNothing)
{
    THelpWindow* first = showContents();
    ASSERT_TRUE(first);
    first->hide();
    manager.showTableOfContents(file);
    EXPECT_EQ(adapter.viewer()->window(file), first);
    EXPECT_TRUE(first->isVisible());

    const QString missing = dir.filePath(QStringLiteral("none.chm"));
    manager.showTableOfContents(missing);
    EXPECT_EQ(adapter.viewer()->window(missing), nullptr);
}

TEST_F(HelpViewer, F1ReturnsAtOnceAndF1AgainWhileReadingStartsNoSecondReader)
{
    const QString started = dir.filePath(QStringLiteral("started"));
    const QString gate = dir.filePath(QStringLiteral("gate"));
    // A reader that notes its start and reads only once the gate is open.
    THelpManager slowManager;
    THelpAdapter slow {slowManager,
                       "libchm.so.1",
                       {QStringLiteral("/bin/sh"), QStringLiteral("-c"),
                        QStringLiteral("echo >> '%1'; while [ ! -e '%2' ]; do sleep 0.01; done; "
                                       "exec \"$0\" \"$@\"")
                            .arg(started, gate),
                        QStringLiteral(HELP_READER), QLatin1String(kReadHelpOption)}};
    slowManager.showTableOfContents(file);
    EXPECT_EQ(slow.viewer()->window(file), nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo(started).size() > 0; }));
    slowManager.showTableOfContents(file);
    writeAll(gate, {});
    EXPECT_TRUE(QTest::qWaitFor([&] { return slow.viewer()->window(file) != nullptr; }));
    EXPECT_EQ(readAll(started), "\n");
}

// Stands in for the desktop: records the addresses handed to it, of the schemes a page names.
class Desktop : public QObject {
    Q_OBJECT
public:
    const QStringList schemes {"http", "https", "mailto", "file", "javascript"};
    QStringList opened;
    Desktop()
    {
        for (const QString& scheme : schemes)
            QDesktopServices::setUrlHandler(scheme, this, "open");
    }
    ~Desktop() override
    {
        for (const QString& scheme : schemes)
            QDesktopServices::unsetUrlHandler(scheme);
    }
public slots:
    void open(const QUrl& url) { opened << url.toString(); }
};

TEST_F(HelpViewer, LinksLeadIntoTheFileAndOnlyWebAndMailOnesToTheDesktopWhenChosen)
{
    Desktop desktop;
    QTemporaryDir other;
    Files files = germanHelp();
    files[0].second = "<UL>" + sitemapEntry("Datei", "file:///etc/passwd") +
                      sitemapEntry("Netz", "https://vemoral.example/") +
                      sitemapEntry("Erste", "seiten/a.htm") + "</UL>";
    file = compile(other, "Contents file=inhalt.hhc\n", files);
    THelpWindow* window = showContents();
    ASSERT_TRUE(window);
    // F1 shows the first page inside the file, and hands nothing on.
    EXPECT_TRUE(window->topicView()->toPlainText().startsWith(QStringLiteral("Ärger")));
    EXPECT_TRUE(desktop.opened.isEmpty());
    // A link clicked on the first page, or a contents row clicked or activated.
    enum How { Click, EntryClick, EntryActivation };
    const struct {
        How how;
        QString link;
        int row;
        QString shown, handed;
    } cases[] = {
        {Click, "b.htm", 0, "Zweite Seite", ""},
        {Click, "ms-its:andere.chm::/seiten/b.htm", 0, "Zweite Seite", ""},
        {Click, "HTTPS://vemoral.example/hilfe", 0, "Ärger", "https://vemoral.example/hilfe"},
        {Click, "mailto:hilfe@vemoral.example", 0, "Ärger", "mailto:hilfe@vemoral.example"},
        {Click, "javascript:alert(1)", 0, "Ärger", ""},
        {Click, "file:///etc/passwd", 0, "Ärger", ""},
        {EntryClick, "", 0, "Ärger", ""},
        {EntryActivation, "", 0, "Ärger", ""},
        {EntryClick, "", 1, "Ärger", ""},
        {EntryActivation, "", 1, "Ärger", "https://vemoral.example/"},
    };
    for (const auto& c : cases) {
        window->showTopic(QStringLiteral("/seiten/a.htm"));
        desktop.opened.clear();
        QTreeWidgetItem* entry = window->contentsTree()->topLevelItem(c.row);
        if (c.how == Click)
            emit window->topicView()->anchorClicked(QUrl(c.link));
        else if (c.how == EntryClick)
            emit window->contentsTree()->itemClicked(entry, 0);
        else
            emit window->contentsTree()->itemActivated(entry, 0);
        const std::string what =
            QStringLiteral("%1 %2 %3").arg(c.how).arg(c.link).arg(c.row).toStdString();
        EXPECT_TRUE(window->topicView()->toPlainText().startsWith(c.shown)) << what;
        EXPECT_EQ(desktop.opened.join(' '), c.handed) << what;
    }
}

// How deeply the document's tables nest.
int tableDepth(const QTextFrame* frame)
{
    int deepest = 0;
    for (const QTextFrame* child : frame->childFrames())
        deepest = std::max(deepest, tableDepth(child));
    return deepest + (qobject_cast<const QTextTable*>(frame) ? 1 : 0);
}

TEST_F(HelpViewer, APageOfTablesNestedDeeplyIsShownWithItsTextAndFewLevels)
{
    QByteArray page;
    for (int i = 0; i < 30; ++i)
        page += "<table><tr><td>" + QByteArray::number(i) + " ";
    QTemporaryDir deep;
    Files files = germanHelp();
    files.push_back({"tief.htm", page});
    file = compile(deep, kGermanOptions, files);
    THelpWindow* window = showContents();
    ASSERT_TRUE(window);
    window->showTopic(QStringLiteral("/tief.htm"));
    // The text of the tables left out is shown in the deepest table kept.
    EXPECT_TRUE(
        window->topicView()->toPlainText().simplified().startsWith(QStringLiteral("0 1 2 3 4 5")));
    EXPECT_EQ(tableDepth(window->topicView()->document()->rootFrame()),
              HelpPageLimits().maxTableDepth);
}

} // namespace

#include "test_help.moc"
