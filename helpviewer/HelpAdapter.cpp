#include "helpviewer/HelpAdapter.h"

#include "helpviewer/HelpWindow.h"

#include <QFileInfo>
#include <QMessageBox>
#include <QTimer>

TChmHelpTester::TChmHelpTester(QStringList readerCommand, int timeoutMs)
    : m_command(std::move(readerCommand))
    , m_timeoutMs(timeoutMs)
{ }

std::unique_ptr<THelpReading> TChmHelpTester::read(const QString& helpFile,
                                                   THelpReading::Done done) const
{
    return std::make_unique<THelpReading>(m_command, helpFile, m_timeoutMs, std::move(done));
}

QStringList TChmHelpTester::programReaderCommand()
{
    // The running program's own file, even when it has been replaced or moved meanwhile.
    return {QStringLiteral("/proc/self/exe"), QLatin1String(kReadHelpOption)};
}

TChmHelpViewer::TChmHelpViewer(const TChmHelpTester& tester)
    : m_tester(tester)
{ }

TChmHelpViewer::~TChmHelpViewer() { shutDown(); }

void TChmHelpViewer::showTableOfContents(const QString& helpFile)
{
    const QString key = QFileInfo(helpFile).absoluteFilePath();
    if (THelpWindow* open = window(key)) {
        open->showTableOfContents();
        return;
    }
    // The window comes when its file has been read; asked again meanwhile, the same reading
    // goes on, and a reader that could not be ended yet is not joined by a second one.
    std::unique_ptr<THelpReading>& reading = m_readings[key];
    if (reading && !(reading->delivered() && reading->ended()))
        return;
    reading = m_tester.read(
        key, [this, key](std::optional<HelpArchive> archive) { opened(key, std::move(archive)); });
}

void TChmHelpViewer::opened(const QString& helpFile, std::optional<HelpArchive> archive)
{
    // A file that cannot be read shows nothing.
    if (!archive)
        return;
    auto shared = std::make_shared<const HelpArchive>(std::move(*archive));
    auto* window = new THelpWindow(shared, readHelpContents(*shared), helpFile);
    window->setAttribute(Qt::WA_DeleteOnClose);
    m_windows[helpFile] = window;
    // Shown on the next turn of the event loop: making the window and showing it are each
    // some milliseconds of work, which the count's next change must not wait for at once.
    QTimer::singleShot(0, window, [window] { window->showTableOfContents(); });
}

THelpWindow* TChmHelpViewer::window(const QString& helpFile) const
{
    const auto it = m_windows.find(QFileInfo(helpFile).absoluteFilePath());
    return it == m_windows.end() ? nullptr : it->second.data();
}

void TChmHelpViewer::shutDown()
{
    for (auto& [file, window] : m_windows)
        delete window.data();
    m_windows.clear();
    // Readers still at work are killed.
    m_readings.clear();
}

THelpAdapter::THelpAdapter(THelpManager& manager, const char* library, QStringList readerCommand)
    : m_manager(manager)
    , m_lib(ChmLibrary::load(library))
{
    if (!m_lib)
        return;
    m_tester = std::make_unique<TChmHelpTester>(std::move(readerCommand));
    m_viewer = std::make_unique<TChmHelpViewer>(*m_tester);
    m_manager.registerViewer(m_viewer.get());
}

THelpAdapter::~THelpAdapter()
{
    if (!m_lib)
        return;
    m_viewer->shutDown();
    m_manager.unregisterViewer(m_viewer.get());
    m_viewer.reset();
    m_tester.reset();
    m_lib.reset();
}

void THelpAdapter::showMissingLibraryWarning(QWidget* parent)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Warning!"),
                    QStringLiteral("Unable to view HTML help (*.chm). Update windows help system. "
                                   "Get new \"HHCTRL.OCX\" library."),
                    QMessageBox::Ok, parent);
    box.setCursor(Qt::ArrowCursor);
    box.exec();
}
