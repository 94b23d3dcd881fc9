#include "dialogs/HelpAdapter.h"

#include "dialogs/HelpWindow.h"

#include <QDataStream>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMessageBox>

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The child's report: each file as its path and its bytes, in Qt's stream format.
QByteArray serialize(const HelpArchive& archive)
{
    QByteArray out;
    QDataStream stream(&out, QIODevice::WriteOnly);
    for (const QString& path : archive.paths())
        stream << path << *archive.file(path);
    return out;
}

std::optional<HelpArchive> deserialize(const QByteArray& data)
{
    HelpArchive archive;
    QDataStream stream(data);
    while (!stream.atEnd()) {
        QString path;
        QByteArray bytes;
        stream >> path >> bytes;
        if (stream.status() != QDataStream::Ok)
            return std::nullopt;
        archive.add(path, bytes);
    }
    return archive;
}

bool writeAll(int fd, const QByteArray& data)
{
    qsizetype done = 0;
    while (done < data.size()) {
        const ssize_t n = write(fd, data.constData() + done, size_t(data.size() - done));
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

} // namespace

TChmHelpTester::TChmHelpTester(const ChmLibrary& lib)
    : m_lib(lib)
{ }

std::optional<HelpArchive> TChmHelpTester::unpack(const QString& helpFile, int timeoutMs) const
{
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return std::nullopt;
    const pid_t child = fork();
    if (child < 0) {
        close(fds[0]);
        close(fds[1]);
        return std::nullopt;
    }
    if (child == 0) {
        close(fds[0]);
        const auto archive = unpackHelpFile(m_lib, helpFile);
        _exit(archive && writeAll(fds[1], serialize(*archive)) ? 0 : 1);
    }
    close(fds[1]);
    QByteArray report;
    QElapsedTimer clock;
    clock.start();
    bool timedOut = false;
    for (;;) {
        const qint64 left = timeoutMs - clock.elapsed();
        if (left <= 0) {
            timedOut = true;
            break;
        }
        pollfd p {fds[0], POLLIN, 0};
        if (poll(&p, 1, int(left)) < 0 && errno != EINTR)
            break;
        char buffer[65536];
        const ssize_t n = read(fds[0], buffer, sizeof buffer);
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN)
                continue;
            break;
        }
        report.append(buffer, n);
        if (report.size() > kMaxUnpackedHelp * 2) {
            timedOut = true;
            break;
        }
    }
    close(fds[0]);
    if (timedOut)
        kill(child, SIGKILL);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) { }
    if (timedOut || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return deserialize(report);
}

TChmHelpViewer::TChmHelpViewer(const TChmHelpTester& tester)
    : m_tester(tester)
{ }

TChmHelpViewer::~TChmHelpViewer() { shutDown(); }

QString TChmHelpViewer::viewerName() const { return QStringLiteral("HtmlHelp"); }

void TChmHelpViewer::showTableOfContents(const QString& helpFile)
{
    const QString key = QFileInfo(helpFile).absoluteFilePath();
    QPointer<THelpWindow>& window = m_windows[key];
    if (!window) {
        auto archive = m_tester.unpack(key);
        // A file that cannot be read shows nothing.
        if (!archive)
            return;
        auto shared = std::make_shared<const HelpArchive>(std::move(*archive));
        window = new THelpWindow(shared, readHelpContents(*shared), key);
        window->setAttribute(Qt::WA_DeleteOnClose);
    }
    window->showTableOfContents();
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
}

TChmHelpSelector::TChmHelpSelector(const TChmHelpViewer& viewer)
    : m_viewer(viewer)
{ }

int TChmHelpSelector::selectTableOfContents(const QStringList&)
{
    // The platform's own viewer registered first and sorts first; ours follows it.
    return m_viewer.viewerNumber() - 1;
}

THelpAdapter::THelpAdapter(THelpManager& manager, const char* library)
    : m_manager(manager)
    , m_lib(ChmLibrary::load(library))
{
    if (!m_lib)
        return;
    m_tester = std::make_unique<TChmHelpTester>(*m_lib);
    m_viewer = std::make_unique<TChmHelpViewer>(*m_tester);
    m_selector = std::make_unique<TChmHelpSelector>(*m_viewer);
    m_manager.registerViewer(m_viewer.get());
    m_manager.setSelector(m_selector.get());
}

THelpAdapter::~THelpAdapter()
{
    if (!m_lib)
        return;
    m_viewer->shutDown();
    m_manager.unregisterViewer(m_viewer.get());
    m_manager.setSelector(nullptr);
    m_selector.reset();
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
