// Opening and scrolling a large help file: a project of 5000 topics in a nested contents
// tree is compiled with chmcmd, then opened the way F1 opens it.

#include "dialogs/HelpAdapter.h"
#include "dialogs/HelpWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <cstdio>

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

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
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
    THelpWindow* window = adapter.viewer()->window(file);
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
