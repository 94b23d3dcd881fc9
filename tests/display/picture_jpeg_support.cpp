#include "picture_jpeg_support.h"

#include <QFile>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include <jpeglib.h>

namespace {

// Owns the compressor and the buffer jpeg_mem_dest allocates.
struct Compressor {
    Compressor()
    {
        cinfo.err = jpeg_std_error(&errors);
        jpeg_create_compress(&cinfo);
    }
    ~Compressor()
    {
        jpeg_destroy_compress(&cinfo);
        std::free(buffer);
    }
    Compressor(const Compressor&) = delete;
    Compressor& operator=(const Compressor&) = delete;

    jpeg_compress_struct cinfo {};
    jpeg_error_mgr errors {};
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
};

void appendCmyk(std::vector<JSAMPLE>& row, QRgb pixel, bool inverted)
{
    const int r = qRed(pixel), g = qGreen(pixel), b = qBlue(pixel);
    const int most = std::max({r, g, b});
    const int k = 255 - most;
    const int c = most ? (most - r) * 255 / most : 0;
    const int m = most ? (most - g) * 255 / most : 0;
    const int y = most ? (most - b) * 255 / most : 0;
    for (int ink : {c, m, y, k})
        row.push_back(static_cast<JSAMPLE>(inverted ? 255 - ink : ink));
}

// A valid progressive script of `count` scans: the DC of all components, then each AC
// coefficient of each component on its own, first at 1/32 precision and refined five times.
std::vector<jpeg_scan_info> manyScans(int count)
{
    std::vector<jpeg_scan_info> scans;
    scans.push_back({3, {0, 1, 2, 0}, 0, 0, 0, 0});
    for (int k = 1; k < 64; ++k) {
        for (int component = 0; component < 3; ++component) {
            for (int al = 5; al >= 0; --al) {
                const int ah = al == 5 ? 0 : al + 1;
                scans.push_back({1, {component, 0, 0, 0}, k, k, ah, al});
            }
        }
    }
    if (count < static_cast<int>(scans.size()))
        scans.resize(static_cast<std::size_t>(count));
    return scans;
}

} // namespace

QByteArray pictureJpegBytes(const QImage& picture, const PictureJpegOptions& options)
{
    using Colours = PictureJpegOptions::Colours;
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    Compressor c;
    jpeg_mem_dest(&c.cinfo, &c.buffer, &c.size);
    c.cinfo.image_width = static_cast<JDIMENSION>(rgb.width());
    c.cinfo.image_height = static_cast<JDIMENSION>(rgb.height());
    switch (options.colours) {
    case Colours::Rgb:
        c.cinfo.input_components = 3;
        c.cinfo.in_color_space = JCS_RGB;
        break;
    case Colours::Grey:
        c.cinfo.input_components = 1;
        c.cinfo.in_color_space = JCS_GRAYSCALE;
        break;
    case Colours::AdobeCmyk:
    case Colours::PlainCmyk:
        c.cinfo.input_components = 4;
        c.cinfo.in_color_space = JCS_CMYK;
        break;
    }
    jpeg_set_defaults(&c.cinfo);
    jpeg_set_quality(&c.cinfo, options.quality, TRUE);
    c.cinfo.write_JFIF_header = options.jfifMarker ? TRUE : FALSE;
    if (options.colours == Colours::PlainCmyk)
        c.cinfo.write_Adobe_marker = FALSE;
    if (options.fullChroma) {
        for (int i = 0; i < c.cinfo.num_components; ++i) {
            c.cinfo.comp_info[i].h_samp_factor = 1;
            c.cinfo.comp_info[i].v_samp_factor = 1;
        }
    }
    if (options.progressive)
        jpeg_simple_progression(&c.cinfo);
    std::vector<jpeg_scan_info> script;
    if (options.scans > 0) {
        script = manyScans(options.scans);
        c.cinfo.scan_info = script.data();
        c.cinfo.num_scans = static_cast<int>(script.size());
    }
    jpeg_start_compress(&c.cinfo, TRUE);

    std::vector<JSAMPLE> row;
    while (c.cinfo.next_scanline < c.cinfo.image_height) {
        const auto* pixels = reinterpret_cast<const QRgb*>(
            rgb.constScanLine(static_cast<int>(c.cinfo.next_scanline)));
        row.clear();
        for (int x = 0; x < rgb.width(); ++x) {
            switch (options.colours) {
            case Colours::Rgb:
                row.insert(row.end(), {static_cast<JSAMPLE>(qRed(pixels[x])),
                                       static_cast<JSAMPLE>(qGreen(pixels[x])),
                                       static_cast<JSAMPLE>(qBlue(pixels[x]))});
                break;
            case Colours::Grey:
                row.push_back(static_cast<JSAMPLE>(qGray(pixels[x])));
                break;
            case Colours::AdobeCmyk:
                appendCmyk(row, pixels[x], true);
                break;
            case Colours::PlainCmyk:
                appendCmyk(row, pixels[x], false);
                break;
            }
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&c.cinfo, rows, 1);
    }
    jpeg_finish_compress(&c.cinfo);
    return QByteArray(reinterpret_cast<const char*>(c.buffer), static_cast<qsizetype>(c.size));
}

QImage pictureQuadrants(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool right = x >= width / 2;
            const bool bottom = y >= height / 2;
            const QRgb colour = bottom ? (right ? qRgb(255, 255, 255) : qRgb(0, 0, 255))
                                       : (right ? qRgb(0, 255, 0) : qRgb(255, 0, 0));
            image.setPixel(x, y, colour);
        }
    }
    return image;
}

void pictureWriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray pictureWithHeaderSize(QByteArray jpeg, int width, int height)
{
    // Baseline (C0) and progressive (C2) frame headers: marker, length (2), precision (1),
    // height (2), width (2).
    for (qsizetype i = 0; i + 9 < jpeg.size(); ++i) {
        const auto marker = static_cast<unsigned char>(jpeg[i + 1]);
        if (static_cast<unsigned char>(jpeg[i]) == 0xFF && (marker == 0xC0 || marker == 0xC2)) {
            jpeg[i + 5] = static_cast<char>(height >> 8);
            jpeg[i + 6] = static_cast<char>(height & 0xFF);
            jpeg[i + 7] = static_cast<char>(width >> 8);
            jpeg[i + 8] = static_cast<char>(width & 0xFF);
            return jpeg;
        }
    }
    ADD_FAILURE() << "no frame header found";
    return jpeg;
}

std::string pictureLibjpegMessage(int code)
{
    jpeg_error_mgr errors {};
    jpeg_std_error(&errors);
    std::string text = errors.jpeg_message_table[code];
    return text.substr(0, text.find('%'));
}

bool pictureColoursNear(QColor actual, QColor expected, int tolerance)
{
    return std::abs(actual.red() - expected.red()) <= tolerance &&
           std::abs(actual.green() - expected.green()) <= tolerance &&
           std::abs(actual.blue() - expected.blue()) <= tolerance;
}
