#include "display/JpegDecoder.h"

#include "base/SharedLibrary.h"
#include "display/PictureLoader.h"
#include "display/PictureScaling.h"

#include <QFile>

#include <chrono>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <type_traits>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

// jpeglib.h needs FILE and size_t declared before it.
#include <jpeglib.h>

namespace {

// libjpeg, loaded the first time a JPEG picture is decoded rather than with the program: a count
// without pictures never maps it.
struct LibJpeg {
    static_assert(JPEG_LIB_VERSION == 62, "the library's file name below is that of version 62");

    decltype(&jpeg_std_error) stdError = nullptr;
    decltype(&jpeg_CreateDecompress) createDecompress = nullptr;
    decltype(&jpeg_destroy_decompress) destroyDecompress = nullptr;
    decltype(&jpeg_stdio_src) stdioSrc = nullptr;
    decltype(&jpeg_read_header) readHeader = nullptr;
    decltype(&jpeg_calc_output_dimensions) calcOutputDimensions = nullptr;
    decltype(&jpeg_start_decompress) startDecompress = nullptr;
    decltype(&jpeg_read_scanlines) readScanlines = nullptr;
    decltype(&jpeg_finish_decompress) finishDecompress = nullptr;
    QString failure; // why it could not be loaded; empty once it is

    // Never destroyed: a decode on a thread nobody waits for may still be using it while the
    // program ends.
    static const LibJpeg& instance()
    {
        static const LibJpeg* const library = new LibJpeg(load());
        return *library;
    }

private:
    static LibJpeg load()
    {
        LibJpeg l;
        SharedLibrary lib("libjpeg.so.62");
        const bool bound = lib.bind(l.stdError, "jpeg_std_error") &
                           lib.bind(l.createDecompress, "jpeg_CreateDecompress") &
                           lib.bind(l.destroyDecompress, "jpeg_destroy_decompress") &
                           lib.bind(l.stdioSrc, "jpeg_stdio_src") &
                           lib.bind(l.readHeader, "jpeg_read_header") &
                           lib.bind(l.calcOutputDimensions, "jpeg_calc_output_dimensions") &
                           lib.bind(l.startDecompress, "jpeg_start_decompress") &
                           lib.bind(l.readScanlines, "jpeg_read_scanlines") &
                           lib.bind(l.finishDecompress, "jpeg_finish_decompress");
        if (!bound)
            l.failure = QStringLiteral("libjpeg: %1").arg(QString::fromStdString(lib.error()));
        lib.keepForTheRun();
        return l;
    }
};

const LibJpeg& jpeg() { return LibJpeg::instance(); }

// Why a decode was given up before libjpeg itself found fault with the file.
enum class Overrun { None, TooManyScans, TooSlow };

// Where libjpeg's errors and warnings go: both end the decoding by a jump back to the step
// that is running, with the message kept for the exception. The progress monitor ends it the
// same way when the file asks for too much work.
struct JpegErrors {
    jpeg_error_mgr pub;
    jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    std::chrono::nanoseconds deadline; // on the decoding thread's processor clock
    Overrun overrun;
};

[[noreturn]] void jumpWithMessage(j_common_ptr cinfo)
{
    auto* errors = static_cast<JpegErrors*>(cinfo->client_data);
    (*cinfo->err->format_message)(cinfo, errors->message);
    std::longjmp(errors->jump, 1);
}

void onError(j_common_ptr cinfo) { jumpWithMessage(cinfo); }

// Level -1 is a warning: libjpeg says the data is damaged (truncated, bytes missing) and goes on
// with made-up data, which would show a half-grey picture as if all were well. Higher levels
// are trace output and are dropped.
void onMessage(j_common_ptr cinfo, int level)
{
    if (level < 0)
        jumpWithMessage(cinfo);
}

// The processor time the calling thread has used. It only ever grows, and unlike the wall
// clock it leaves out the time spent waiting for slow storage or for the processor while other
// programs run: a decode's time limit is then a limit on its own work.
std::chrono::nanoseconds threadTime() noexcept
{
    timespec now {};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return std::chrono::seconds {now.tv_sec} + std::chrono::nanoseconds {now.tv_nsec};
}

// Called for every row of blocks libjpeg reads and every row it puts out.
void onProgress(j_common_ptr cinfo)
{
    auto* dinfo = reinterpret_cast<j_decompress_ptr>(cinfo);
    auto* errors = static_cast<JpegErrors*>(cinfo->client_data);
    if (dinfo->input_scan_number > JpegDecoder::kMaxScans) {
        errors->overrun = Overrun::TooManyScans;
        std::longjmp(errors->jump, 1);
    }
    if (threadTime() > errors->deadline) {
        errors->overrun = Overrun::TooSlow;
        std::longjmp(errors->jump, 1);
    }
}

// Owns one decompressor for the length of a decode: jpeg_destroy_decompress runs on every way
// out, including the exceptions thrown after a failed step.
class Decompressor {
public:
    Decompressor()
    {
        cinfo.err = jpeg().stdError(&errors.pub);
        errors.pub.error_exit = onError;
        errors.pub.emit_message = onMessage;
        errors.message[0] = '\0';
        cinfo.client_data = &errors;
        progress.progress_monitor = onProgress;
    }
    ~Decompressor()
    {
        if (created)
            jpeg().destroyDecompress(&cinfo);
    }
    Decompressor(const Decompressor&) = delete;
    Decompressor& operator=(const Decompressor&) = delete;

    jpeg_decompress_struct cinfo {};
    JpegErrors errors {};
    jpeg_progress_mgr progress {};
    bool created = false;
};

// The steps below are the only places where libjpeg may jump back. Each holds its setjmp and
// nothing but trivially destructible locals, so the jump skips no destructor; the objects
// that need one live in decode() and are reached through pointers.

bool readHeader(Decompressor* d, FILE* file) noexcept
{
    if (setjmp(d->errors.jump))
        return false;
    jpeg().createDecompress(&d->cinfo, JPEG_LIB_VERSION, sizeof(jpeg_decompress_struct));
    d->created = true;
    d->cinfo.client_data = &d->errors;
    d->cinfo.progress = &d->progress;
    // Caps libjpeg's own whole-picture buffers (progressive files keep every coefficient).
    d->cinfo.mem->max_memory_to_use = static_cast<long>(kMaxPictureBytes);
    jpeg().stdioSrc(&d->cinfo, file);
    jpeg().readHeader(&d->cinfo, TRUE);
    return true;
}

bool computeOutputSize(Decompressor* d) noexcept
{
    if (setjmp(d->errors.jump))
        return false;
    jpeg().calcOutputDimensions(&d->cinfo);
    return true;
}

// Adobe's CMYK files (the ones with an Adobe marker) store the inks inverted: 255 is no ink.
void cmykRowToRgb32(const JSAMPLE* in, QRgb* out, JDIMENSION width, bool inverted) noexcept
{
    for (JDIMENSION x = 0; x < width; ++x, in += 4) {
        int c = in[0], m = in[1], y = in[2], k = in[3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        out[x] = qRgb(c * k / 255, m * k / 255, y * k / 255);
    }
}

void rowToRgb32(const JSAMPLE* in, QRgb* out, JDIMENSION width, J_COLOR_SPACE space,
                bool inverted) noexcept
{
    switch (space) {
    case JCS_GRAYSCALE:
        for (JDIMENSION x = 0; x < width; ++x)
            out[x] = qRgb(in[x], in[x], in[x]);
        break;
    case JCS_CMYK:
        cmykRowToRgb32(in, out, width, inverted);
        break;
    default:
        for (JDIMENSION x = 0; x < width; ++x, in += 3)
            out[x] = qRgb(in[0], in[1], in[2]);
        break;
    }
}

bool decodeRows(Decompressor* d, uchar* bits, qsizetype bytesPerLine, JSAMPLE* row) noexcept
{
    if (setjmp(d->errors.jump))
        return false;
    jpeg().startDecompress(&d->cinfo);
    const bool inverted = d->cinfo.saw_Adobe_marker;
    while (d->cinfo.output_scanline < d->cinfo.output_height) {
        auto* out = reinterpret_cast<QRgb*>(bits + d->cinfo.output_scanline * bytesPerLine);
        JSAMPROW rows[1] = {row};
        if (jpeg().readScanlines(&d->cinfo, rows, 1) != 1) {
            std::snprintf(d->errors.message, sizeof d->errors.message, "No picture rows decoded");
            return false;
        }
        rowToRgb32(row, out, d->cinfo.output_width, d->cinfo.out_color_space, inverted);
    }
    jpeg().finishDecompress(&d->cinfo);
    return true;
}

struct FileCloser {
    void operator()(FILE* file) const noexcept { std::fclose(file); }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;

// Opens without blocking (a named pipe would wait for a writer) and accepts regular files only.
FilePtr openRegularFile(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        throw EPictureError(pictureErrorText(path, QString::fromLocal8Bit(std::strerror(errno))));
    struct stat info { };
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        throw EPictureError(pictureErrorText(path, QStringLiteral("not a regular file")));
    }
    FILE* file = ::fdopen(fd, "rb");
    if (!file) {
        ::close(fd);
        throw EPictureError(pictureErrorText(path, QString::fromLocal8Bit(std::strerror(errno))));
    }
    return FilePtr(file);
}

[[noreturn]] void throwTooManyScans(const QString& path)
{
    throw EPictureError(pictureErrorText(
        path,
        QStringLiteral("Too many progressive scans (more than %1)").arg(JpegDecoder::kMaxScans)));
}

[[noreturn]] void throwLibjpegError(const QString& path, const Decompressor& d,
                                    std::chrono::milliseconds timeLimit)
{
    switch (d.errors.overrun) {
    case Overrun::TooManyScans:
        throwTooManyScans(path);
    case Overrun::TooSlow:
        throw EPictureError(pictureErrorText(
            path, QStringLiteral("the picture takes too long to decode (more than %1 s)")
                      .arg(std::chrono::duration<double>(timeLimit).count(), 0, 'g', 3)));
    case Overrun::None:
        break;
    }
    throw EPictureError(pictureErrorText(path, QString::fromLocal8Bit(d.errors.message)));
}

// The number of scans in the file, found by walking its markers without decoding anything, so
// that a file of very many scans is refused before the decoder has spent a pass over the
// picture on each of them. Stops counting once past `limit`, at the end of the picture and at
// anything it does not understand (libjpeg then judges the file). Leaves the file at its start.
int countScans(FILE* file, int limit) noexcept
{
    int scans = 0;
    bool inScanData = false; // after a scan's header: coded data, in which 0xFF is escaped
    int c = std::getc(file) == 0xFF && std::getc(file) == 0xD8 ? std::getc(file) : EOF;
    while (c != EOF && scans <= limit) {
        if (c != 0xFF) {
            if (!inScanData)
                break;
            c = getc_unlocked(file);
            continue;
        }
        int marker = getc_unlocked(file);
        while (marker == 0xFF)
            marker = getc_unlocked(file);
        const bool inData = marker == 0x00 || (marker >= 0xD0 && marker <= 0xD7);
        if (inData && inScanData) { // an escaped 0xFF or a restart marker
            c = getc_unlocked(file);
            continue;
        }
        if (inData || marker == EOF || marker == 0xD9)
            break;
        if (marker == 0x01) { // the one marker outside scan data without a length
            c = getc_unlocked(file);
            continue;
        }
        const int high = std::getc(file);
        const int low = std::getc(file);
        if (high == EOF || low == EOF)
            break;
        const long length = high << 8 | low;
        if (length < 2 || std::fseek(file, length - 2, SEEK_CUR) != 0)
            break;
        inScanData = marker == 0xDA;
        scans += inScanData ? 1 : 0;
        c = getc_unlocked(file);
    }
    std::rewind(file);
    return scans;
}

} // namespace

int JpegDecoder::scaleDenominator(QSize picture, QSize largestArea)
{
    const QRect drawn = scaledPictureRect(picture, largestArea);
    if (drawn.isEmpty())
        return 1;
    for (int denominator : {8, 4, 2}) {
        const int width = (picture.width() + denominator - 1) / denominator;
        const int height = (picture.height() + denominator - 1) / denominator;
        if (width >= drawn.width() && height >= drawn.height())
            return denominator;
    }
    return 1;
}

QImage JpegDecoder::decode(const QString& path, QSize largestArea,
                           std::chrono::milliseconds timeLimit)
{
    const auto start = threadTime();
    if (!jpeg().failure.isEmpty())
        throw EPictureError(pictureErrorText(path, jpeg().failure));
    const FilePtr file = openRegularFile(path);
    if (countScans(file.get(), kMaxScans) > kMaxScans)
        throwTooManyScans(path);
    Decompressor d;
    d.errors.deadline = start + timeLimit;
    if (!readHeader(&d, file.get()))
        throwLibjpegError(path, d, timeLimit);

    const QSize full(static_cast<int>(d.cinfo.image_width), static_cast<int>(d.cinfo.image_height));
    if (qint64 {full.width()} * full.height() * 4 > kMaxPictureBytes) {
        throw EPictureError(pictureErrorText(
            path, QStringLiteral("the picture of %1 x %2 pixels is too large to be shown "
                                 "(it would need more than %3 MiB)")
                      .arg(full.width())
                      .arg(full.height())
                      .arg(kMaxPictureBytes / (1024 * 1024))));
    }

    switch (d.cinfo.jpeg_color_space) {
    case JCS_GRAYSCALE:
        d.cinfo.out_color_space = JCS_GRAYSCALE;
        break;
    case JCS_CMYK:
    case JCS_YCCK:
        d.cinfo.out_color_space = JCS_CMYK;
        break;
    default:
        // YCbCr and RGB; anything else makes libjpeg refuse the conversion with its message.
        d.cinfo.out_color_space = JCS_RGB;
        break;
    }
    d.cinfo.scale_num = 1;
    d.cinfo.scale_denom = static_cast<unsigned int>(scaleDenominator(full, largestArea));
    if (!computeOutputSize(&d))
        throwLibjpegError(path, d, timeLimit);

    const JDIMENSION width = d.cinfo.output_width;
    const JDIMENSION height = d.cinfo.output_height;
    QImage image(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGB32);
    if (image.isNull())
        throw EPictureError(
            pictureErrorText(path, QStringLiteral("not enough memory for the picture")));
    std::vector<JSAMPLE> row(static_cast<std::size_t>(width) * d.cinfo.output_components);

    if (!decodeRows(&d, image.bits(), image.bytesPerLine(), row.data()))
        throwLibjpegError(path, d, timeLimit);
    return image;
}
