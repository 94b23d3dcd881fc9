// Decode time and peak memory of a 6000 x 4000 photo decoded for a 1920 x 1080 window, beside
// the full-size decode of the same file. Each decode runs in a child process of its own so
// that its peak memory (VmHWM) is not hidden by an earlier one. Then the decode's work limits:
// a 48-megapixel progressive photo must pass them, a file of 999 nearly empty scans (a few
// hundred kilobytes that would keep the decoder busy for many seconds) must be refused within
// the time limit.

#include "display/JpegDecoder.h"

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <jpeglib.h>

namespace {

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;
constexpr int kRuns = 3;
constexpr QSize kWindow {1920, 1080};

// Owns the compressor while the test photo is written.
struct Compressor {
    Compressor()
    {
        cinfo.err = jpeg_std_error(&errors);
        jpeg_create_compress(&cinfo);
    }
    ~Compressor() { jpeg_destroy_compress(&cinfo); }
    Compressor(const Compressor&) = delete;
    Compressor& operator=(const Compressor&) = delete;
    jpeg_compress_struct cinfo {};
    jpeg_error_mgr errors {};
};

struct FileCloser {
    void operator()(FILE* f) const noexcept { std::fclose(f); }
};

// A photo-like picture: smooth gradients with fine texture, so it compresses like a photo.
bool writePhoto(const QString& path, int width = kWidth, int height = kHeight,
                bool progressive = false)
{
    std::unique_ptr<FILE, FileCloser> file(std::fopen(QFile::encodeName(path).constData(), "wb"));
    if (!file)
        return false;
    Compressor c;
    jpeg_stdio_dest(&c.cinfo, file.get());
    c.cinfo.image_width = static_cast<JDIMENSION>(width);
    c.cinfo.image_height = static_cast<JDIMENSION>(height);
    c.cinfo.input_components = 3;
    c.cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c.cinfo);
    jpeg_set_quality(&c.cinfo, 90, TRUE);
    if (progressive)
        jpeg_simple_progression(&c.cinfo);
    jpeg_start_compress(&c.cinfo, TRUE);
    std::vector<JSAMPLE> row(static_cast<std::size_t>(width) * 3);
    unsigned noise = 12345;
    while (c.cinfo.next_scanline < c.cinfo.image_height) {
        const int y = static_cast<int>(c.cinfo.next_scanline);
        for (int x = 0; x < width; ++x) {
            noise = noise * 1103515245u + 12345u;
            const int grain = static_cast<int>((noise >> 16) & 15) - 8;
            const double wave = 40 * std::sin(x / 90.0) * std::cos(y / 70.0);
            row[x * 3 + 0] = static_cast<JSAMPLE>(
                std::clamp(x * 200 / width + grain + static_cast<int>(wave), 0, 255));
            row[x * 3 + 1] = static_cast<JSAMPLE>(std::clamp(y * 200 / height + grain, 0, 255));
            row[x * 3 + 2] =
                static_cast<JSAMPLE>(std::clamp(128 + static_cast<int>(wave) - grain, 0, 255));
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&c.cinfo, rows, 1);
    }
    jpeg_finish_compress(&c.cinfo);
    return true;
}

// Bits into JPEG entropy-coded bytes: most significant first, a 0 stuffed after each 0xFF, the
// last byte filled up with ones.
class BitWriter {
public:
    explicit BitWriter(std::string& out)
        : m_out(out)
    { }
    void put(unsigned bits, int count)
    {
        for (int i = count - 1; i >= 0; --i) {
            m_byte = (m_byte << 1) | ((bits >> i) & 1);
            if (++m_filled == 8)
                flushByte();
        }
    }
    void finish()
    {
        while (m_filled != 0)
            put(1, 1);
    }

private:
    void flushByte()
    {
        m_out.push_back(static_cast<char>(m_byte));
        if (m_byte == 0xFF)
            m_out.push_back('\0');
        m_byte = 0;
        m_filled = 0;
    }
    std::string& m_out;
    unsigned m_byte = 0;
    int m_filled = 0;
};

void putMarker(std::string& out, int marker, const std::string& body)
{
    const std::size_t length = body.size() + 2;
    out += {'\xFF', static_cast<char>(marker), static_cast<char>(length >> 8),
            static_cast<char>(length & 0xFF)};
    out += body;
}

// A valid progressive file of `scans` scans over a side x side picture of three components at
// full resolution, all coefficients zero: one DC scan of a bit per block, then AC scans (each
// coefficient of each component at 1/32 precision, then refined five times) that hold nothing
// but runs of empty blocks. Each scan costs the decoder a pass over a component's blocks.
std::string scanBomb(int side, int scans)
{
    const auto hi = [](int v) { return static_cast<char>(v >> 8); };
    const auto lo = [](int v) { return static_cast<char>(v & 0xFF); };
    std::string out = "\xFF\xD8";
    putMarker(out, 0xDB, std::string(1, '\0') + std::string(64, '\1'));
    putMarker(out, 0xC2,
              {8, hi(side), lo(side), hi(side), lo(side), 3, 1, 0x11, 0, 2, 0x11, 0, 3, 0x11, 0});
    // DC: the one category 0 as code "0". AC: the end-of-band runs 0x00, 0x10 ... 0xE0, each
    // coded in four bits by its run's power of two.
    std::string dc = {0x00, 1};
    dc.append(15, '\0');
    dc.push_back(0);
    putMarker(out, 0xC4, dc);
    std::string ac = {0x10, 0, 0, 0, 15};
    ac.append(12, '\0');
    for (int r = 0; r < 15; ++r)
        ac.push_back(static_cast<char>(r << 4));
    putMarker(out, 0xC4, ac);

    const long blocks = static_cast<long>((side + 7) / 8) * ((side + 7) / 8);
    putMarker(out, 0xDA, {3, 1, 0, 2, 0, 3, 0, 0, 0, 0});
    {
        BitWriter bits(out);
        for (long b = 0; b < blocks * 3; ++b)
            bits.put(0, 1);
        bits.finish();
    }
    int written = 1;
    for (int k = 1; k < 64 && written < scans; ++k) {
        for (int component = 1; component <= 3 && written < scans; ++component) {
            for (int al = 5; al >= 0 && written < scans; --al, ++written) {
                const int ah = al == 5 ? 0 : al + 1;
                putMarker(out, 0xDA,
                          {1, static_cast<char>(component), 0, static_cast<char>(k),
                           static_cast<char>(k), static_cast<char>(ah << 4 | al)});
                BitWriter bits(out);
                for (long left = blocks; left > 0;) {
                    const long run = std::min(left, 32767L);
                    int r = 0;
                    while ((2L << r) <= run)
                        ++r;
                    bits.put(static_cast<unsigned>(r), 4);
                    bits.put(static_cast<unsigned>(run - (1L << r)), r);
                    left -= run;
                }
                bits.finish();
            }
        }
    }
    out += "\xFF\xD9";
    return out;
}

// How long one decode for the window takes, on the wall clock and in this thread's processor
// time (which the limit counts), and why it failed if it did.
struct Timed {
    double ms = 0;
    double cpuMs = 0;
    QSize size;
    std::string error;
};

double threadCpuMs()
{
    timespec now {};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

Timed timeDecode(const QString& path, std::chrono::milliseconds limit = JpegDecoder::kTimeLimit)
{
    Timed t;
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = threadCpuMs();
    try {
        t.size = JpegDecoder::decode(path, kWindow, limit).size();
    } catch (const std::exception& e) {
        t.error = e.what();
    }
    t.ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    t.cpuMs = threadCpuMs() - cpuStart;
    return t;
}

// The work limits: an honest big progressive photo passes, the scan bombs are refused in time.
bool measureLimits(const QTemporaryDir& dir)
{
    const double limitMs = static_cast<double>(JpegDecoder::kTimeLimit.count());
    const QString photo = dir.filePath(QStringLiteral("photo48.jpg"));
    if (!writePhoto(photo, 8000, 6000, true)) {
        std::fprintf(stderr, "cannot write the progressive photo\n");
        return false;
    }
    const Timed honest = timeDecode(photo);
    std::printf("8000 x 6000 progressive photo (%.1f MiB file) for the window: %s in %.0f ms,"
                " %.0f ms of processor time (limit %.0f ms; goal: decoded)\n",
                static_cast<double>(QFile(photo).size()) / (1024.0 * 1024.0),
                honest.error.empty() ? "decoded" : honest.error.c_str(), honest.ms, honest.cpuMs,
                limitMs);

    bool refusedInTime = true;
    for (const int scans : {999, JpegDecoder::kMaxScans}) {
        const QString bomb = dir.filePath(QStringLiteral("bomb%1.jpg").arg(scans));
        QFile file(bomb);
        const std::string bytes = scanBomb(6144, scans);
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
                static_cast<qint64>(bytes.size()))
            return false;
        file.close();
        const Timed t = timeDecode(bomb);
        std::printf("6144 x 6144 progressive file of %d empty scans (%.0f KiB): %s after %.0f ms,"
                    " %.0f ms of processor time (limit %.0f ms)\n",
                    scans, static_cast<double>(bytes.size()) / 1024.0,
                    t.error.empty() ? "decoded" : t.error.c_str(), t.ms, t.cpuMs, limitMs);
        if (scans == 999)
            refusedInTime = !t.error.empty() && t.cpuMs <= limitMs;
    }
    // How closely the time limit itself holds, on the file the scan count lets through.
    const std::chrono::milliseconds shortLimit {250};
    const Timed cut = timeDecode(
        dir.filePath(QStringLiteral("bomb%1.jpg").arg(JpegDecoder::kMaxScans)), shortLimit);
    std::printf("  the same with a limit of %lld ms: %s after %.0f ms, %.0f ms of processor time\n",
                static_cast<long long>(shortLimit.count()),
                cut.error.empty() ? "decoded" : "refused", cut.ms, cut.cpuMs);
    std::printf("  goal: the photo decoded, the 999-scan file refused within the limit: %s\n",
                honest.error.empty() && refusedInTime ? "yes" : "NO");
    return honest.error.empty() && refusedInTime;
}

long peakKiB()
{
    std::unique_ptr<FILE, FileCloser> status(std::fopen("/proc/self/status", "r"));
    char line[256];
    while (status && std::fgets(line, sizeof line, status.get())) {
        if (std::strncmp(line, "VmHWM:", 6) == 0)
            return std::strtol(line + 6, nullptr, 10);
    }
    return -1;
}

struct Figures {
    int width = 0;
    int height = 0;
    double bestMs = 0;
    long peakBeforeKiB = 0;
    long peakAfterKiB = 0;
    bool ok = false;
};

// Decodes in a child and reports through a pipe; the parent's memory stays out of the figure.
Figures measure(const QString& path, QSize area)
{
    Figures figures;
    int channel[2];
    if (::pipe(channel) != 0)
        return figures;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        Figures f;
        f.peakBeforeKiB = peakKiB();
        f.bestMs = 1e9;
        try {
            for (int run = 0; run < kRuns; ++run) {
                const auto start = std::chrono::steady_clock::now();
                const QImage image = JpegDecoder::decode(path, area);
                const std::chrono::duration<double, std::milli> took =
                    std::chrono::steady_clock::now() - start;
                f.bestMs = std::min(f.bestMs, took.count());
                f.width = image.width();
                f.height = image.height();
                if (run == 0)
                    f.peakAfterKiB = peakKiB();
            }
            f.ok = true;
        } catch (const std::exception& e) {
            std::fprintf(stderr, "decode failed: %s\n", e.what());
        }
        const ssize_t written = ::write(channel[1], &f, sizeof f);
        ::_exit(written == sizeof f ? 0 : 1);
    }
    ::close(channel[1]);
    if (child > 0) {
        if (::read(channel[0], &figures, sizeof figures) != sizeof figures)
            figures.ok = false;
        ::waitpid(child, nullptr, 0);
    }
    ::close(channel[0]);
    return figures;
}

void print(const char* name, const Figures& f)
{
    if (!f.ok) {
        std::printf("  %-18s failed\n", name);
        return;
    }
    std::printf("  %-18s %4d x %4d in %7.1f ms (best of %d), peak memory +%.1f MiB\n", name,
                f.width, f.height, f.bestMs, kRuns,
                static_cast<double>(f.peakAfterKiB - f.peakBeforeKiB) / 1024.0);
}

} // namespace

int main()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("photo.jpg"));
    if (!dir.isValid() || !writePhoto(path)) {
        std::fprintf(stderr, "cannot write the test photo\n");
        return 1;
    }
    std::printf("%d x %d JPEG (%.1f MiB file) for a 1920 x 1080 window\n", kWidth, kHeight,
                static_cast<double>(QFile(path).size()) / (1024.0 * 1024.0));
    const Figures scaled = measure(path, kWindow);
    const Figures full = measure(path, {});
    print("for the window:", scaled);
    print("full size:", full);
    if (scaled.ok && full.ok) {
        std::printf("  goal: decoded at 1/2 (3000 x 2000, the smallest that covers the drawn"
                    " 1620 x 1080): %s\n",
                    scaled.width == 3000 && scaled.height == 2000 ? "yes" : "NO");
        std::printf("  peak memory %.0f%% of the full-size decode (goal: under 50%%)\n",
                    100.0 * static_cast<double>(scaled.peakAfterKiB - scaled.peakBeforeKiB) /
                        static_cast<double>(std::max(1L, full.peakAfterKiB - full.peakBeforeKiB)));
        std::printf("  time %.0f%% of the full-size decode (goal: under 100%%; reading the"
                    " compressed data costs the same at every scale)\n",
                    100 * scaled.bestMs / full.bestMs);
    }
    const bool limitsHold = measureLimits(dir);
    return scaled.ok && full.ok && limitsHold ? 0 : 1;
}
