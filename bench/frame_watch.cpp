// Watches the frame buffer of an Xvfb started with -fbdir, as a camera pointed at the screen
// would, and prints when what it shows changes. Each look samples a grid of the screen and
// names it by the colour most of it has: "title" (some white on black), "black", or one of the
// colours given on the command line.
//
//   frame_watch FBFILE TIMEOUT_MS first-frame COLOUR
//       prints the milliseconds from the last look that showed the title to the first look
//       that showed COLOUR over half the screen.
//   frame_watch FBFILE TIMEOUT_MS loop FIRST MIDDLE LAST PASSES
//       over PASSES passes of a clip whose first frame is FIRST, whose last is LAST and whose
//       others are MIDDLE, prints for each pass the milliseconds from the first look at LAST to
//       the first look at FIRST, and the looks in between that showed anything else.
//   frame_watch FBFILE TIMEOUT_MS start [--keep] PROGRAM [ARGUMENTS...]
//       waits until no title is on the screen (the previous program's window is gone), starts
//       PROGRAM and prints the milliseconds from its start to the first look that shows the
//       title. The program is then ended (SIGTERM) and waited for; with --keep it runs on and
//       its process id is printed after the milliseconds.
//   frame_watch FBFILE TIMEOUT_MS show [COLOUR...]
//       prints what one look shows: "title", "black", "other" or the first COLOUR covering over
//       half the screen.
//   frame_watch FBFILE TIMEOUT_MS changes X Y WIDTH HEIGHT [COLOUR...]
//       looks at the rectangle about once a millisecond and prints, for each look that differs
//       from the one before, the wall-clock time (seconds since 1970, to the microsecond) and
//       what the rectangle shows (as "show" says), until the time runs out.
// Colours are RRGGBB in hexadecimal.

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <time.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

uint32_t be32(const unsigned char* p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

struct Rgb {
    int r, g, b;
};

Rgb parseColour(const char* text)
{
    const unsigned long v = std::strtoul(text, nullptr, 16);
    return {int(v >> 16 & 0xFF), int(v >> 8 & 0xFF), int(v & 0xFF)};
}

bool near(Rgb a, Rgb b)
{
    return std::abs(a.r - b.r) < 60 && std::abs(a.g - b.g) < 60 && std::abs(a.b - b.b) < 60;
}

class FrameBuffer {
public:
    explicit FrameBuffer(const char* path)
    {
        m_fd = ::open(path, O_RDONLY);
        struct stat st { };
        if (m_fd < 0 || ::fstat(m_fd, &st) != 0)
            return;
        m_size = size_t(st.st_size);
        void* p = ::mmap(nullptr, m_size, PROT_READ, MAP_SHARED, m_fd, 0);
        if (p == MAP_FAILED)
            return;
        m_base = static_cast<const unsigned char*>(p);
        const unsigned char* h = m_base;
        const uint32_t headerSize = be32(h);
        m_width = int(be32(h + 4 * 4));
        m_height = int(be32(h + 5 * 4));
        m_bytesPerLine = int(be32(h + 12 * 4));
        const uint32_t colours = be32(h + 19 * 4);
        m_pixels = m_base + headerSize + colours * 12;
    }
    ~FrameBuffer()
    {
        if (m_base)
            ::munmap(const_cast<unsigned char*>(m_base), m_size);
        if (m_fd >= 0)
            ::close(m_fd);
    }
    bool valid() const { return m_pixels && m_width > 0 && m_height > 0; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    Rgb at(int x, int y) const
    {
        const unsigned char* p = m_pixels + size_t(y) * m_bytesPerLine + size_t(x) * 4;
        return {p[2], p[1], p[0]};
    }

private:
    int m_fd = -1;
    size_t m_size = 0;
    const unsigned char* m_base = nullptr;
    const unsigned char* m_pixels = nullptr;
    int m_width = 0, m_height = 0, m_bytesPerLine = 0;
};

struct Area {
    int x, y, width, height;
};

// What one look at the screen (or at an area of it) shows: the index of the named colour that
// covers over half of the samples, or -1 for the title (white on black), -2 for black, -3 for
// anything else.
int look(const FrameBuffer& fb, const std::vector<Rgb>& colours, Area area)
{
    std::vector<int> counts(colours.size(), 0);
    int white = 0, black = 0, total = 0;
    for (int y = area.y + 2; y < area.y + area.height; y += 8) {
        for (int x = area.x + 2; x < area.x + area.width; x += 8) {
            const Rgb c = fb.at(x, y);
            ++total;
            if (c.r > 230 && c.g > 230 && c.b > 230)
                ++white;
            else if (c.r < 16 && c.g < 16 && c.b < 16)
                ++black;
            for (size_t i = 0; i < colours.size(); ++i)
                if (near(c, colours[i]))
                    ++counts[i];
        }
    }
    for (size_t i = 0; i < colours.size(); ++i)
        if (counts[i] * 2 > total)
            return int(i);
    if (white > 20 && white + black > total * 9 / 10)
        return -1;
    if (black * 10 > total * 9)
        return -2;
    return -3;
}

int look(const FrameBuffer& fb, const std::vector<Rgb>& colours)
{
    return look(fb, colours, {0, 0, fb.width(), fb.height()});
}

// A fingerprint of every fourth pixel of every other line of an area: the digits of a large
// title cannot change without changing it.
uint64_t fingerprint(const FrameBuffer& fb, Area area)
{
    uint64_t h = 1469598103934665603u;
    for (int y = area.y; y < area.y + area.height; y += 2) {
        for (int x = area.x; x < area.x + area.width; x += 4) {
            const Rgb c = fb.at(x, y);
            h = (h ^ uint64_t(c.r << 16 | c.g << 8 | c.b)) * 1099511628211u;
        }
    }
    return h;
}

double msBetween(Clock::time_point a, Clock::time_point b)
{
    return std::chrono::duration<double, std::milli>(b - a).count();
}

// Starts a program with its output discarded; its own process group, so that a signal meant
// for the benchmark's terminal does not reach it.
pid_t launch(char** argv)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        if (null >= 0) {
            ::dup2(null, STDOUT_FILENO);
            ::dup2(null, STDERR_FILENO);
        }
        ::setpgid(0, 0);
        ::execvp(argv[0], argv);
        ::_exit(127);
    }
    return pid;
}

// Ends a started program and reaps it; SIGKILL if it has not ended within five seconds.
void end(pid_t pid)
{
    ::kill(pid, SIGTERM);
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        if (Clock::now() > deadline) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

const char* name(int seen, char** colourNames)
{
    switch (seen) {
    case -1:
        return "title";
    case -2:
        return "black";
    case -3:
        return "other";
    default:
        return colourNames[seen];
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4)
        return 2;
    const FrameBuffer fb(argv[1]);
    if (!fb.valid()) {
        std::fprintf(stderr, "frame_watch: no frame buffer in %s\n", argv[1]);
        return 1;
    }
    const auto deadline = Clock::now() + std::chrono::milliseconds(std::atoi(argv[2]));
    const std::string mode = argv[3];
    const auto pause = std::chrono::microseconds(500);

    if (mode == "first-frame" && argc >= 5) {
        const std::vector<Rgb> colours {parseColour(argv[4])};
        Clock::time_point lastTitle {};
        while (Clock::now() < deadline) {
            const auto when = Clock::now();
            const int seen = look(fb, colours);
            if (seen == -1)
                lastTitle = when;
            else if (seen == 0 && lastTitle != Clock::time_point {}) {
                std::printf("%.1f\n", msBetween(lastTitle, when));
                return 0;
            }
            std::this_thread::sleep_for(pause);
        }
        return 1;
    }

    if (mode == "start" && argc >= 5) {
        const bool keep = std::strcmp(argv[4], "--keep") == 0;
        char** program = argv + (keep ? 5 : 4);
        if (!*program)
            return 2;
        while (look(fb, {}) == -1) {
            if (Clock::now() > deadline)
                return 1;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        const auto started = Clock::now();
        const pid_t pid = launch(program);
        if (pid < 0)
            return 1;
        int status = 0;
        pid_t ended = 0;
        while (Clock::now() < deadline && (ended = ::waitpid(pid, &status, WNOHANG)) == 0) {
            const auto when = Clock::now();
            if (look(fb, {}) == -1) {
                std::printf("%.1f\n", msBetween(started, when));
                if (keep)
                    std::printf("%d\n", int(pid));
                else
                    end(pid);
                return 0;
            }
            std::this_thread::sleep_for(pause * 2);
        }
        if (ended == 0)
            end(pid);
        return 1;
    }

    if (mode == "show") {
        std::vector<Rgb> colours;
        for (int i = 4; i < argc; ++i)
            colours.push_back(parseColour(argv[i]));
        std::printf("%s\n", name(look(fb, colours), argv + 4));
        return 0;
    }

    if (mode == "changes" && argc >= 8) {
        std::vector<Rgb> colours;
        for (int i = 8; i < argc; ++i)
            colours.push_back(parseColour(argv[i]));
        Area area {std::atoi(argv[4]), std::atoi(argv[5]), std::atoi(argv[6]), std::atoi(argv[7])};
        area.x = std::clamp(area.x, 0, fb.width() - 1);
        area.y = std::clamp(area.y, 0, fb.height() - 1);
        area.width = std::clamp(area.width, 1, fb.width() - area.x);
        area.height = std::clamp(area.height, 1, fb.height() - area.y);
        uint64_t previous = fingerprint(fb, area);
        while (Clock::now() < deadline) {
            const uint64_t now = fingerprint(fb, area);
            if (now != previous) {
                timespec wall {};
                ::clock_gettime(CLOCK_REALTIME, &wall);
                std::printf("%lld.%06ld %s\n", static_cast<long long>(wall.tv_sec),
                            wall.tv_nsec / 1000, name(look(fb, colours, area), argv + 8));
                std::fflush(stdout);
                previous = now;
            }
            std::this_thread::sleep_for(pause);
        }
        return 0;
    }

    if (mode == "loop" && argc >= 8) {
        const std::vector<Rgb> colours {parseColour(argv[4]), parseColour(argv[5]),
                                        parseColour(argv[6])};
        const int passes = std::atoi(argv[7]);
        int previous = -3, done = 0, strays = 0;
        bool started = false;
        Clock::time_point lastFrameSeen {};
        while (Clock::now() < deadline && done < passes) {
            const auto when = Clock::now();
            const int seen = look(fb, colours);
            if (seen != previous) {
                if (seen == 2)
                    lastFrameSeen = when;
                if (seen == 0 && previous == 2) {
                    std::printf("pass %.1f\n", msBetween(lastFrameSeen, when));
                    ++done;
                }
                if (started && seen < 0) {
                    ++strays;
                    std::printf("stray %d\n", seen);
                }
                started = started || seen >= 0;
                previous = seen;
            }
            std::this_thread::sleep_for(pause);
        }
        std::printf("strays %d\n", strays);
        return done == passes ? 0 : 1;
    }
    return 2;
}
