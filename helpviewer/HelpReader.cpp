#include "helpviewer/HelpReader.h"

#include <QFile>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept
{
    reset(std::exchange(other.m_fd, -1));
    return *this;
}

void UniqueFd::reset(int fd) noexcept
{
    if (m_fd >= 0)
        close(m_fd);
    m_fd = fd;
}

namespace {

// The longest path inside a help file that a report may carry.
constexpr quint32 kMaxReportPath = 4096;
// A reader that loops is ended by the kernel after this much processor time, whoever waits.
constexpr rlim_t kReaderCpuSeconds = 60;
// The report read in one turn of the event loop, so that a large help file arriving does not
// hold up the count.
constexpr int kReadsPerTurn = 16;

bool writeAll(int fd, const char* data, size_t size)
{
    while (size > 0) {
        const ssize_t n = write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= size_t(n);
    }
    return true;
}

void putLe32(char* at, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = char(value >> (8 * i) & 0xFF);
}

quint32 le32(const char* at)
{
    quint32 value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | uchar(at[i]);
    return value;
}

bool writeReportFile(int fd, const QByteArray& path, const QByteArray& data)
{
    char lengths[8];
    putLe32(lengths, quint32(path.size()));
    putLe32(lengths + 4, quint32(data.size()));
    return writeAll(fd, lengths, sizeof lengths) &&
           writeAll(fd, path.constData(), size_t(path.size())) &&
           writeAll(fd, data.constData(), size_t(data.size()));
}

// The owners of posix_spawn's two set-up records.
struct SpawnActions {
    SpawnActions() { posix_spawn_file_actions_init(&actions); }
    ~SpawnActions() { posix_spawn_file_actions_destroy(&actions); }
    SpawnActions(const SpawnActions&) = delete;
    SpawnActions& operator=(const SpawnActions&) = delete;
    posix_spawn_file_actions_t actions;
};

struct SpawnAttributes {
    SpawnAttributes() { posix_spawnattr_init(&attributes); }
    ~SpawnAttributes() { posix_spawnattr_destroy(&attributes); }
    SpawnAttributes(const SpawnAttributes&) = delete;
    SpawnAttributes& operator=(const SpawnAttributes&) = delete;
    posix_spawnattr_t attributes;
};

// Starts the reader with the pipe's write end as its standard output; -1 when it cannot start.
pid_t spawnReader(const QStringList& command, const QString& helpFile, UniqueFd& readEnd)
{
    if (command.isEmpty())
        return -1;
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return -1;
    readEnd.reset(fds[0]);
    const UniqueFd writeEnd(fds[1]);
    std::vector<QByteArray> arguments;
    for (const QString& part : command)
        arguments.push_back(QFile::encodeName(part));
    arguments.push_back(QFile::encodeName(helpFile));
    arguments.push_back(QByteArray::number(getpid()));
    std::vector<char*> argv;
    for (QByteArray& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    SpawnActions actions;
    posix_spawn_file_actions_adddup2(&actions.actions, writeEnd.get(), STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions.actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    // The reader starts with no signal blocked and the usual ends for the signals this
    // program handles or ignores itself.
    SpawnAttributes attributes;
    sigset_t none, usual;
    sigemptyset(&none);
    sigemptyset(&usual);
    for (int signal : {SIGPIPE, SIGTERM, SIGINT, SIGHUP, SIGCHLD})
        sigaddset(&usual, signal);
    posix_spawnattr_setsigmask(&attributes.attributes, &none);
    posix_spawnattr_setsigdefault(&attributes.attributes, &usual);
    posix_spawnattr_setflags(&attributes.attributes,
                             short(POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF));
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], &actions.actions, &attributes.attributes, argv.data(),
                     environ) != 0)
        return -1;
    return pid;
}

} // namespace

int runHelpReader(int argc, char** argv)
{
    // Killed when the program that started it ends; gone at once when that has ended already
    // and this process now belongs to another one.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (argc < 4 || std::strcmp(argv[1], kReadHelpOption) != 0)
        return 2;
    char* end = nullptr;
    const long parent = std::strtol(argv[3], &end, 10);
    if (*end != '\0' || parent != long(getppid()))
        return 2;
    const rlimit cpu {kReaderCpuSeconds, kReaderCpuSeconds};
    setrlimit(RLIMIT_CPU, &cpu);
    // The report has the pipe to itself: anything else written to standard output goes
    // nowhere.
    const UniqueFd report(fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 3));
    const UniqueFd nowhere(open("/dev/null", O_WRONLY | O_CLOEXEC));
    if (!report || !nowhere || dup2(nowhere.get(), STDOUT_FILENO) < 0)
        return 1;
    const auto lib = ChmLibrary::load();
    if (!lib)
        return 1;
    const bool whole = unpackHelpFileTo(
        *lib, QFile::decodeName(argv[2]), [&report](const QString& path, const QByteArray& data) {
            return writeReportFile(report.get(), path.toUtf8(), data);
        });
    const char endMark[8] {};
    return whole && writeAll(report.get(), endMark, sizeof endMark) ? 0 : 1;
}

bool HelpReportParser::feed(const char* data, qsizetype size)
{
    while (size > 0 && m_state != State::Failed) {
        switch (m_state) {
        case State::Lengths: {
            const qsizetype n = std::min<qsizetype>(size, qsizetype(sizeof m_lengths) - m_have);
            std::memcpy(m_lengths + m_have, data, size_t(n));
            m_have += n;
            data += n;
            size -= n;
            if (m_have == qsizetype(sizeof m_lengths))
                startFile();
            break;
        }
        case State::Path:
        case State::Contents: {
            QByteArray& part = m_state == State::Path ? m_path : m_contents;
            const qsizetype n = std::min(size, part.size() - m_have);
            std::memcpy(part.data() + m_have, data, size_t(n));
            m_have += n;
            data += n;
            size -= n;
            if (m_have == part.size())
                startFile();
            break;
        }
        case State::Complete:
        case State::Failed:
            m_state = State::Failed;
            break;
        }
    }
    return m_state != State::Failed;
}

// Moves on once a part is whole: from the lengths to the path, from the path to the contents,
// and from a file's end to the next file's lengths.
void HelpReportParser::startFile()
{
    m_have = 0;
    if (m_state == State::Path && !m_contents.isEmpty()) {
        m_state = State::Contents;
        return;
    }
    if (m_state == State::Path || m_state == State::Contents) {
        m_archive.add(QString::fromUtf8(m_path), m_contents);
        m_contents = QByteArray();
        m_state = State::Lengths;
        return;
    }
    const quint32 pathLength = le32(m_lengths);
    const quint32 contentsLength = le32(m_lengths + 4);
    if (pathLength == 0 && contentsLength == 0) {
        m_state = State::Complete;
        return;
    }
    if (pathLength == 0 || pathLength > kMaxReportPath ||
        contentsLength > kMaxUnpackedHelp - m_total) {
        m_state = State::Failed;
        return;
    }
    m_total += contentsLength;
    m_path = QByteArray(qsizetype(pathLength), Qt::Uninitialized);
    m_contents = QByteArray(qsizetype(contentsLength), Qt::Uninitialized);
    m_state = State::Path;
}

THelpReading::THelpReading(const QStringList& command, const QString& helpFile, int timeoutMs,
                           Done done)
    : m_done(std::move(done))
{
    m_limit.setSingleShot(true);
    connect(&m_limit, &QTimer::timeout, this, &THelpReading::fail);
    m_pid = spawnReader(command, helpFile, m_pipe);
    if (m_pid <= 0) {
        m_pipe.reset();
        QTimer::singleShot(0, this, [this] { deliver(std::nullopt); });
        return;
    }
    m_running = true;
    m_limit.start(timeoutMs);
    fcntl(m_pipe.get(), F_SETFL, fcntl(m_pipe.get(), F_GETFL) | O_NONBLOCK);
    m_pipeNotifier = std::make_unique<QSocketNotifier>(m_pipe.get(), QSocketNotifier::Read);
    connect(m_pipeNotifier.get(), &QSocketNotifier::activated, this, &THelpReading::readReport);
    // The reader's end is seen through a process descriptor where the kernel has them, else
    // by looking now and then.
    m_pidfd.reset(int(syscall(SYS_pidfd_open, m_pid, 0)));
    if (m_pidfd) {
        m_exitNotifier = std::make_unique<QSocketNotifier>(m_pidfd.get(), QSocketNotifier::Read);
        connect(m_exitNotifier.get(), &QSocketNotifier::activated, this, &THelpReading::reap);
    } else {
        connect(&m_reapPoll, &QTimer::timeout, this, &THelpReading::reap);
        m_reapPoll.start(50);
    }
}

THelpReading::~THelpReading()
{
    m_pipeNotifier.reset();
    m_exitNotifier.reset();
    if (!m_running)
        return;
    kill(m_pid, SIGKILL);
    // A killed process is gone at once unless the kernel holds it in a read from stalled
    // storage; then it is left to be reaped when this program ends.
    for (int i = 0; i < 20 && waitpid(m_pid, nullptr, WNOHANG) == 0; ++i)
        usleep(5000);
}

void THelpReading::readReport()
{
    char buffer[65536];
    for (int i = 0; m_pipe && (i < kReadsPerTurn || !m_running); ++i) {
        const ssize_t n = read(m_pipe.get(), buffer, sizeof buffer);
        if (n > 0) {
            if (!m_parser.feed(buffer, n))
                fail();
        } else if (n == 0) {
            endReport();
        } else if (errno != EINTR) {
            if (errno != EAGAIN)
                fail();
            return;
        }
    }
}

void THelpReading::reap()
{
    int status = 0;
    const pid_t reaped = m_running ? waitpid(m_pid, &status, WNOHANG) : 0;
    // Reaped by someone else (children ignored altogether): its status is lost, and the report
    // alone tells whether the file was read whole.
    if (reaped < 0 && errno == ECHILD)
        status = 0;
    else if (reaped != m_pid)
        return;
    m_running = false;
    m_status = status;
    m_exitNotifier.reset();
    m_pidfd.reset();
    m_reapPoll.stop();
    // What the reader wrote before it ended is all in the pipe now.
    readReport();
    if (!m_pipe)
        endReport();
}

void THelpReading::endReport()
{
    m_pipeNotifier.reset();
    m_pipe.reset();
    if (m_running || delivered())
        return;
    const bool whole = WIFEXITED(m_status) && WEXITSTATUS(m_status) == 0 && m_parser.complete();
    deliver(whole ? std::optional(m_parser.takeArchive()) : std::nullopt);
}

void THelpReading::fail()
{
    if (m_running)
        kill(m_pid, SIGKILL);
    m_pipeNotifier.reset();
    m_pipe.reset();
    deliver(std::nullopt);
}

void THelpReading::deliver(std::optional<HelpArchive> result)
{
    if (!m_done)
        return;
    m_limit.stop();
    const Done done = std::exchange(m_done, nullptr);
    done(std::move(result));
}
