// Opening and scrolling a large help file: a project of 5000 topics in a nested contents
// tree is compiled with chmcmd, then opened the way F1 opens it (the reader is this program
// started again in its reader mode). Then the hostile pages that would hold the UI thread for
// seconds or minutes as they stand: the time to show each after the clean-up, with the whole
// of its layout done at once.

#include "helpviewer/HelpAdapter.h"
#include "helpviewer/HelpPage.h"
#include "helpviewer/HelpReader.h"
#include "helpviewer/HelpWindow.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

constexpr int kChapters = 100;
constexpr int kTopicsPerChapter = 50;

QString makeLargeHelp(const QTemporaryDir& dir)
{
    QByteArray toc = "<UL>\n";
    QByteArray files;
    for (int c = 0; c < kChapters; ++c) {
        toc += "<LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"Kapitel " +
               QByteArray::number(c) + "\"></OBJECT>\n<UL>\n";
        for (int t = 0; t < kTopicsPerChapter; ++t) {
            const QByteArray name =
                "t" + QByteArray::number(c) + "_" + QByteArray::number(t) + ".htm";
            QFile page(dir.filePath(QString::fromLatin1(name)));
            page.open(QIODevice::WriteOnly);
            page.write("<html><body><h1>Thema " + name + "</h1>" + QByteArray(2000, 'x') +
                       "</body></html>");
            toc += "<LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"Thema " + name +
                   "\"><param name=\"Local\" value=\"" + name + "\"></OBJECT>\n";
            files += name + "\n";
        }
        toc += "</UL>\n";
    }
    toc += "</UL>\n";
    QFile hhc(dir.filePath(QStringLiteral("toc.hhc")));
    hhc.open(QIODevice::WriteOnly);
    hhc.write(toc);
    hhc.close();
    QFile hhp(dir.filePath(QStringLiteral("big.hhp")));
    hhp.open(QIODevice::WriteOnly);
    hhp.write("[OPTIONS]\nCompiled file=big.chm\nContents file=toc.hhc\nDefault "
              "topic=t0_0.htm\nTitle=Gross\n"
              "Language=0x407 German\n\n[FILES]\n" +
              files);
    hhp.close();
    QProcess chmcmd;
    chmcmd.setWorkingDirectory(dir.path());
    chmcmd.start(QStringLiteral("chmcmd"),
                 {QStringLiteral("--no-html-scan"), QStringLiteral("big.hhp")});
    chmcmd.waitForFinished(600000);
    return dir.filePath(QStringLiteral("big.chm"));
}

struct HostilePage {
    const char* what;
    QByteArray html;
};

std::vector<HostilePage> hostilePages()
{
    QByteArray tables;
    for (int i = 0; i < 30; ++i)
        tables += "<table border=1 cellpadding=2><tr><td>Ebene " + QByteArray::number(i) + " " +
                  QByteArray(300, 'x') + " ";
    QByteArray big;
    while (big.size() < 5 * 1024 * 1024)
        big += "<p>" + QByteArray("Ein langer Absatz mit vielen W\xc3\xb6rtern. ").repeated(20) +
               "</p>\n";
    QByteArray lists;
    for (int i = 0; i < 20000; ++i)
        lists += "<ul><li>Punkt " + QByteArray::number(i);
    QByteArray rows = "<table border=1>";
    for (int i = 0; i < 20000; ++i)
        rows += "<tr><td>" + QByteArray::number(i) + "<td>Zelle";
    QByteArray ideographs;
    while (ideographs.size() < 1024 * 1024)
        ideographs += "\xe4\xb8\xad";
    return {{"30 nested tables in 10 KB", tables},
            {"a 5 MB page", big},
            {"20,000 nested lists", lists},
            {"a table of 20,000 rows", rows},
            {"one word of 1 MB", QByteArray(1024 * 1024, 'x')},
            {"1 MB of ideographs", ideographs}};
}

// The time to show a page and lay it out whole, the median of five rounds, in milliseconds.
double showTime(const QByteArray& html)
{
    HelpArchive archive;
    archive.add(QStringLiteral("/page.htm"), html);
    THelpBrowser browser(std::make_shared<const HelpArchive>(std::move(archive)), "utf-8");
    browser.resize(800, 600);
    browser.show();
    std::vector<double> rounds;
    for (int round = 0; round < 5; ++round) {
        browser.clear();
        QElapsedTimer timer;
        timer.start();
        browser.setSource(THelpBrowser::topicUrl(QStringLiteral("/page.htm")),
                          QTextDocument::HtmlResource);
        browser.document()->documentLayout()->documentSize();
        browser.viewport()->repaint();
        rounds.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(rounds.begin(), rounds.end());
    return rounds[rounds.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    // The help reader that F1 starts: this program, as the real one, started again.
    if (argc > 1 && std::strcmp(argv[1], kReadHelpOption) == 0)
        return runHelpReader(argc, argv);
    QApplication app(argc, argv);
    for (const HostilePage& page : hostilePages())
        std::printf("%s (%lld bytes): shown in %.1f ms after the clean-up  (goal: under 16 ms)\n",
                    page.what, qlonglong(page.html.size()), showTime(page.html));

    QTemporaryDir dir;
    const QString file = makeLargeHelp(dir);
    THelpManager manager;
    THelpAdapter adapter(manager);
    if (!adapter.loaded()) {
        std::printf("chmlib not found\n");
        return 1;
    }

    QElapsedTimer timer;
    timer.start();
    manager.showTableOfContents(file);
    THelpWindow* window = nullptr;
    while (!window && timer.elapsed() < 60000) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
        window = adapter.viewer()->window(file);
    }
    QApplication::processEvents();
    const double openMs = double(timer.nsecsElapsed()) / 1e6;
    if (!window) {
        std::printf("the help file did not open\n");
        return 1;
    }
    QTreeWidget* tree = window->contentsTree();
    tree->expandAll();
    int entries = 0;
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        ++entries;

    // Scrolling: one repaint per page step from the top of the expanded tree to its end.
    QScrollBar* bar = tree->verticalScrollBar();
    int frames = 0;
    timer.restart();
    for (int v = 0; v <= bar->maximum(); v += std::max(1, bar->pageStep()), ++frames) {
        bar->setValue(v);
        tree->viewport()->repaint();
    }
    const double frameMs = frames ? double(timer.nsecsElapsed()) / 1e6 / frames : 0;

    std::printf(
        "help with %d contents entries (%lld bytes): opened in %.0f ms  (goal: under 1000 ms)\n",
        entries, QFile(file).size(), openMs);
    std::printf(
        "scrolling the expanded contents: %.2f ms per page over %d pages  (goal: under 16 ms)\n",
        frameMs, frames);
    return 0;
}
