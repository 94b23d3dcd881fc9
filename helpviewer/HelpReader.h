#pragma once
// Help files are unpacked by a process of their own: chmlib crashes or loops on some damaged
// files, and storage may stall. That process is the program itself started again in its help
// reader mode; it sends every file of the help file back through a pipe as a report, which the
// UI thread takes in as it arrives, never waiting for it.

#include "helpviewer/HelpFile.h"

#include <QObject>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>
#include <sys/types.h>
#include <utility>

class QSocketNotifier;

// The first argument that starts the program as a help reader, followed by the help file and
// the process id of the program that started it.
inline constexpr char kReadHelpOption[] = "--read-help";

// The help reader's whole run, for main() to call first thing with its own arguments: unpacks
// the file and writes the report to standard output. Status 0 when the whole file was sent.
// The reader ends with the program that started it, and ends at once when that is gone already.
int runHelpReader(int argc, char** argv);

// A file descriptor that closes with its owner.
class UniqueFd {
public:
    explicit UniqueFd(int fd = -1) noexcept
        : m_fd(fd)
    { }
    ~UniqueFd() { reset(); }
    UniqueFd(UniqueFd&& other) noexcept
        : m_fd(std::exchange(other.m_fd, -1))
    { }
    UniqueFd& operator=(UniqueFd&& other) noexcept;
    int get() const { return m_fd; }
    explicit operator bool() const { return m_fd >= 0; }
    void reset(int fd = -1) noexcept;

private:
    int m_fd;
};

// Takes the reader's report in as it arrives, in pieces of any size: each file as the lengths
// of its path and contents (32 bits each, little-endian), the path in UTF-8 and the contents;
// two zero lengths end it.
class HelpReportParser {
public:
    // False, and nothing more taken, once the report is malformed, too large or goes on after
    // its end.
    bool feed(const char* data, qsizetype size);
    bool complete() const { return m_state == State::Complete; }
    HelpArchive takeArchive() { return std::move(m_archive); }

private:
    enum class State { Lengths, Path, Contents, Complete, Failed };
    void startFile();

    State m_state = State::Lengths;
    char m_lengths[8] {};
    qsizetype m_have = 0;
    QByteArray m_path;
    QByteArray m_contents;
    qint64 m_total = 0;
    HelpArchive m_archive;
};

// One reading of a help file by a reader process, within a time limit. The result is handed
// over once, from the event loop: the file's contents, or null when it could not be read whole
// (a damaged file, a reader that crashed or overran the limit and was killed). The reader is
// reaped when it ends, without waiting for it.
class THelpReading : public QObject {
public:
    using Done = std::function<void(std::optional<HelpArchive>)>;

    // The command is the reader program and its first arguments; the file and this process's
    // id are added to them.
    THelpReading(const QStringList& command, const QString& helpFile, int timeoutMs, Done done);
    // Kills a reader still running and gives it a moment to be reaped.
    ~THelpReading() override;

    pid_t pid() const { return m_pid; }
    bool delivered() const { return !m_done; }
    // The reader process is gone (or never started).
    bool ended() const { return !m_running; }

private:
    void readReport();
    void reap();
    void endReport();
    void deliver(std::optional<HelpArchive> result);
    void fail();

    Done m_done;
    pid_t m_pid = -1;
    bool m_running = false;
    int m_status = -1;
    UniqueFd m_pipe;
    UniqueFd m_pidfd;
    std::unique_ptr<QSocketNotifier> m_pipeNotifier;
    std::unique_ptr<QSocketNotifier> m_exitNotifier;
    QTimer m_limit;
    QTimer m_reapPoll; // where the kernel gives no process descriptor
    HelpReportParser m_parser;
};
