// Decode time and peak memory of a 6000 x 4000 photo decoded for a 1920 x 1080 window, beside
// the full-size decode of the same file. Each decode runs in a child process of its own so
// that its peak memory (VmHWM) is not hidden by an earlier one.

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
#include <unistd.h>

#include <jpeglib.h>

namespace {

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;
constexpr int kRuns = 3;

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
bool writePhoto(const QString& path)
{
    std::unique_ptr<FILE, FileCloser> file(std::fopen(QFile::encodeName(path).constData(), "wb"));
    if (!file)
        return false;
    Compressor c;
    jpeg_stdio_dest(&c.cinfo, file.get());
    c.cinfo.image_width = kWidth;
    c.cinfo.image_height = kHeight;
    c.cinfo.input_components = 3;
    c.cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c.cinfo);
    jpeg_set_quality(&c.cinfo, 90, TRUE);
    jpeg_start_compress(&c.cinfo, TRUE);
    std::vector<JSAMPLE> row(kWidth * 3);
    unsigned noise = 12345;
    while (c.cinfo.next_scanline < c.cinfo.image_height) {
        const int y = static_cast<int>(c.cinfo.next_scanline);
        for (int x = 0; x < kWidth; ++x) {
            noise = noise * 1103515245u + 12345u;
            const int grain = static_cast<int>((noise >> 16) & 15) - 8;
            const double wave = 40 * std::sin(x / 90.0) * std::cos(y / 70.0);
            row[x * 3 + 0] = static_cast<JSAMPLE>(
                std::clamp(x * 200 / kWidth + grain + static_cast<int>(wave), 0, 255));
            row[x * 3 + 1] = static_cast<JSAMPLE>(std::clamp(y * 200 / kHeight + grain, 0, 255));
            row[x * 3 + 2] =
                static_cast<JSAMPLE>(std::clamp(128 + static_cast<int>(wave) - grain, 0, 255));
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&c.cinfo, rows, 1);
    }
    jpeg_finish_compress(&c.cinfo);
    return true;
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
    const Figures scaled = measure(path, {1920, 1080});
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
    return scaled.ok && full.ok ? 0 : 1;
}
