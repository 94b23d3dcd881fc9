#include "display/GlyphCache.h"

#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>
#include <QSet>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <memory>
#include <thread>

namespace {

// Beyond this a glyph's coverage is not kept: one such glyph would push most others out, and
// Qt's own filling costs no more than rendering it again each time.
constexpr qsizetype kLargestShare = 4;
// The tinted copy of a glyph is kept between blits only up to this size.
constexpr qsizetype kScratchKeepBytes = 256 * 1024;
// Outlines are filled into a premultiplied strip of about this size at a time: Qt's raster engine
// fills such an image several times faster than an 8-bit alpha one, with the same coverage.
constexpr qsizetype kStripBytes = 1024 * 1024;
// Fonts seen before the font table is started afresh (a settings preview runs through sizes).
constexpr int kMaxFonts = 256;
// A drawing that lacks at least this many glyphs (the first frame, a new font size) renders
// them on two threads: at the title's size each takes a fraction of a millisecond.
constexpr size_t kSharedFrom = 8;
// Glyphs whose pen position lies this far out are off any canvas.
constexpr qreal kFarAway = 1e7;

// The low bits of a key say how a glyph is placed and filled; the rest which glyph it is.
constexpr int kPlacementBits = 8;

quint64 maskKey(int fontId, quint32 glyph, int subX, int subY, bool antialiased)
{
    return (quint64(quint32(fontId) & 0xFFFFF) << 40) | (quint64(glyph) << kPlacementBits) |
           (quint64(antialiased) << 6) | (quint64(subY) << 3) | quint64(subX);
}

// The whole pixel at or left of the position and the quarter pixel beyond it.
void split(qreal position, qint64& whole, int& sub)
{
    const qint64 steps = std::llround(position * GlyphCache::kSubpixels);
    whole = steps >= 0 ? steps / GlyphCache::kSubpixels
                       : -((-steps + GlyphCache::kSubpixels - 1) / GlyphCache::kSubpixels);
    sub = int(steps - whole * GlyphCache::kSubpixels);
}

// Coverage 0..255 to the premultiplied colour at that coverage.
std::vector<QRgb> tintTable(const QColor& color)
{
    const QRgb premultiplied = qPremultiply(color.rgba());
    std::vector<QRgb> table(256);
    auto scale = [](int channel, int coverage) { return (channel * coverage + 127) / 255; };
    for (int c = 0; c < 256; ++c)
        table[size_t(c)] = qRgba(scale(qRed(premultiplied), c), scale(qGreen(premultiplied), c),
                                 scale(qBlue(premultiplied), c), scale(qAlpha(premultiplied), c));
    return table;
}

QPainterPath glyphPath(const QRawFont& font, quint32 glyph)
{
    QPainterPath path = font.pathForGlyph(glyph);
    // Qt fills glyph outlines by the winding rule; overlapping contours stay filled.
    path.setFillRule(Qt::WindingFill);
    return path;
}

} // namespace

size_t qHash(const GlyphCache::FontKey& key, size_t seed) noexcept
{
    return qHashMulti(seed, key.family, key.style, key.pixelSize, key.weight, key.fontStyle,
                      key.hinting, key.stretch);
}

GlyphCache::GlyphCache(qsizetype maxBytes)
    : m_masks(std::max<qsizetype>(maxBytes, 1))
{ }

GlyphCache::~GlyphCache() { finishPending(); }

GlyphCache& GlyphCache::forThisThread()
{
    thread_local GlyphCache cache;
    return cache;
}

void GlyphCache::clear()
{
    finishPending();
    m_masks.clear();
    m_fontIds.clear();
    m_scratch = QImage();
}

int GlyphCache::fontId(const QRawFont& font, int stretch)
{
    FontKey key {font.familyName(),
                 font.styleName(),
                 font.pixelSize(),
                 font.weight(),
                 int(font.style()),
                 int(font.hintingPreference()),
                 stretch};
    const auto found = m_fontIds.constFind(key);
    if (found != m_fontIds.constEnd())
        return found.value();
    if (m_fontIds.size() >= kMaxFonts)
        clear();
    const int id = int(m_fontIds.size());
    m_fontIds.insert(key, id);
    return id;
}

QPainterPath GlyphCache::placed(const QPainterPath& outline, int subX, int subY)
{
    return outline.translated(qreal(subX) / kSubpixels, qreal(subY) / kSubpixels);
}

QRect GlyphCache::coverageBox(const QPainterPath& path)
{
    const QRectF bounds = path.boundingRect();
    // One pixel of margin all round: antialiased edges reach into the pixel a bound lies in.
    return QRect(QPoint(int(std::floor(bounds.left())) - 1, int(std::floor(bounds.top())) - 1),
                 QPoint(int(std::ceil(bounds.right())), int(std::ceil(bounds.bottom()))));
}

GlyphCache::Mask GlyphCache::blankMask(const QPainterPath& path)
{
    if (path.isEmpty())
        return {};
    const QRect box = coverageBox(path);
    QImage coverage(box.size(), QImage::Format_Alpha8);
    if (coverage.isNull())
        return {};
    coverage.fill(0);
    return {std::move(coverage), box.topLeft()};
}

void GlyphCache::paintCoverage(Job* first, Job* last, bool antialiased)
{
    while (first != last) {
        // The glyphs of one strip, stacked with a blank row between them.
        int width = 0;
        int height = 0;
        Job* end = first;
        for (; end != last; ++end) {
            const QImage& coverage = end->mask.coverage;
            const int w = std::max(width, coverage.width());
            const int h = height + coverage.height() + 1;
            if (end != first && qsizetype(w) * h * 4 > kStripBytes)
                break;
            width = w;
            height = h;
        }
        QImage strip(std::max(width, 1), std::max(height, 1), QImage::Format_ARGB32_Premultiplied);
        if (strip.isNull())
            throw std::bad_alloc();
        strip.fill(Qt::transparent);
        {
            QPainter painter(&strip);
            painter.setRenderHint(QPainter::Antialiasing, antialiased);
            int y = 0;
            for (Job* job = first; job != end; ++job) {
                if (!job->mask.coverage.isNull()) {
                    painter.setTransform(
                        QTransform::fromTranslate(-job->mask.offset.x(), y - job->mask.offset.y()));
                    painter.fillPath(job->path, QColor(0, 0, 0, 255));
                }
                y += job->mask.coverage.height() + 1;
            }
        }
        int y = 0;
        for (Job* job = first; job != end; ++job) {
            QImage& coverage = job->mask.coverage;
            for (int row = 0; row < coverage.height(); ++row) {
                const QRgb* from = reinterpret_cast<const QRgb*>(strip.constScanLine(y + row));
                uchar* to = coverage.scanLine(row);
                for (int x = 0; x < coverage.width(); ++x)
                    to[x] = uchar(qAlpha(from[x]));
            }
            y += coverage.height() + 1;
            job->painted = true;
        }
        first = end;
    }
}

GlyphCache::Mask GlyphCache::fill(const QPainterPath& path, bool antialiased)
{
    Job job {0, {}, 0, 0, 0, path, blankMask(path), false};
    paintCoverage(&job, &job + 1, antialiased);
    return std::move(job.mask);
}

bool GlyphCache::fitsCache(qsizetype imageBytes) const
{
    return imageBytes + qsizetype(sizeof(Mask)) <= m_masks.maxCost() / kLargestShare;
}

void GlyphCache::keep(quint64 key, Mask&& mask)
{
    const qsizetype cost = mask.coverage.sizeInBytes() + qsizetype(sizeof(Mask));
    m_masks.insert(key, new Mask(std::move(mask)), cost);
}

const GlyphCache::Mask* GlyphCache::mask(const QRawFont& font, int fontId, quint32 glyph, int subX,
                                         int subY, bool antialiased, Mask& uncached)
{
    const quint64 key = maskKey(fontId, glyph, subX, subY, antialiased);
    if (const Mask* hit = m_masks.object(key))
        return hit;
    Mask fresh = fill(placed(glyphPath(font, glyph), subX, subY), antialiased);
    if (!fitsCache(fresh.coverage.sizeInBytes())) {
        uncached = std::move(fresh);
        return &uncached;
    }
    keep(key, std::move(fresh));
    return m_masks.object(key);
}

void GlyphCache::blit(QPainter& canvas, const Mask& mask, QPointF logicalTopLeft,
                      const std::vector<QRgb>& tint)
{
    const QImage& coverage = mask.coverage;
    const int w = coverage.width();
    const int h = coverage.height();
    QImage local;
    QImage* target = &m_scratch;
    if (qsizetype(w) * h * 4 > kScratchKeepBytes) {
        local = QImage(w, h, QImage::Format_ARGB32_Premultiplied);
        target = &local;
    } else if (m_scratch.width() < w || m_scratch.height() < h) {
        m_scratch = QImage(std::max(w, m_scratch.width()), std::max(h, m_scratch.height()),
                           QImage::Format_ARGB32_Premultiplied);
    }
    if (target->isNull())
        return;
    for (int y = 0; y < h; ++y) {
        const uchar* from = coverage.constScanLine(y);
        QRgb* to = reinterpret_cast<QRgb*>(target->scanLine(y));
        for (int x = 0; x < w; ++x)
            to[x] = tint[from[x]];
    }
    const QImage view(target->constBits(), w, h, target->bytesPerLine(),
                      QImage::Format_ARGB32_Premultiplied);
    canvas.drawImage(logicalTopLeft, view);
}

template <typename Visit>
void GlyphCache::forEachPlacedGlyph(const QList<QGlyphRun>& runs, int stretch, qreal dx, qreal dy,
                                    Visit&& visit)
{
    for (const QGlyphRun& run : runs) {
        const QRawFont raw = run.rawFont();
        if (!raw.isValid())
            continue;
        const int id = fontId(raw, stretch);
        const QList<quint32> glyphs = run.glyphIndexes();
        const QList<QPointF> positions = run.positions();
        const qsizetype n = std::min(glyphs.size(), positions.size());
        for (qsizetype i = 0; i < n; ++i) {
            const qreal x = positions[i].x() + dx;
            const qreal y = positions[i].y() + dy;
            if (!(std::abs(x) < kFarAway && std::abs(y) < kFarAway))
                continue;
            qint64 wholeX = 0;
            qint64 wholeY = 0;
            int subX = 0;
            int subY = 0;
            split(x, wholeX, subX);
            split(y, wholeY, subY);
            visit(raw, id, glyphs[i], wholeX, wholeY, subX, subY);
        }
    }
}

void GlyphCache::paintJobs(Job* first, Job* last, bool antialiased) noexcept
{
    try {
        paintCoverage(first, last, antialiased);
    } catch (...) {
        // What is left unpainted is not kept: the drawing renders it itself.
    }
}

void GlyphCache::finishPending() noexcept
{
    const std::vector<std::unique_ptr<Pending>> batches = std::move(m_pending);
    m_pending.clear();
    m_pendingKeys.clear();
    for (const std::unique_ptr<Pending>& pending : batches) {
        for (std::thread& helper : pending->helpers)
            if (helper.joinable())
                helper.join();
        for (Job& job : pending->jobs) {
            if (!job.painted)
                continue;
            try {
                keep(job.key, std::move(job.mask));
            } catch (...) {
                // Out of memory: the glyph is rendered again when it is drawn.
            }
        }
    }
}

void GlyphCache::prepare(const QList<QGlyphRun>& runs, int stretch, qreal dx, qreal dy,
                         bool antialiased, bool inBackground)
{
    // A look-ahead adds to what is being rendered; a drawing waits for it first.
    if (!inBackground)
        finishPending();
    std::vector<Job> jobs;
    QSet<quint64> queued = m_pendingKeys;
    forEachPlacedGlyph(
        runs, stretch, dx, dy,
        [&](const QRawFont& raw, int id, quint32 glyph, qint64, qint64, int subX, int subY) {
            const quint64 key = maskKey(id, glyph, subX, subY, antialiased);
            if (m_masks.contains(key) || queued.contains(key))
                return;
            queued.insert(key);
            jobs.push_back({key, raw, glyph, subX, subY, {}, {}, false});
        });
    // The once-a-second repaint lacks a glyph or two: those are rendered where they are met.
    if (jobs.empty() || (!inBackground && jobs.size() < kSharedFrom))
        return;
    // Outlines and images are made here, so that the images the cache keeps come from this
    // thread's heap and not from an arena the helper would leave behind. A glyph too large to
    // be kept is drawn on its own, as always; a row of an 8-bit image is padded to four bytes.
    // One outline per glyph, moved for each quarter pixel it is needed at.
    QHash<quint64, QPainterPath> outlines;
    std::erase_if(jobs, [this, &outlines](Job& job) {
        const quint64 glyphKey = job.key >> kPlacementBits;
        auto outline = outlines.constFind(glyphKey);
        if (outline == outlines.constEnd())
            outline = outlines.insert(glyphKey, glyphPath(job.font, job.glyph));
        job.path = placed(*outline, job.subX, job.subY);
        const QRect box = coverageBox(job.path);
        if (job.path.isEmpty() || !fitsCache(qsizetype((box.width() + 3) & ~3) * box.height()))
            return true;
        job.mask = blankMask(job.path);
        return false;
    });
    if (jobs.empty())
        return;
    auto pending = std::make_unique<Pending>();
    pending->jobs = std::move(jobs);
    Job* const first = pending->jobs.data();
    Job* const middle = first + pending->jobs.size() / 2;
    Job* const last = first + pending->jobs.size();
    m_pending.reserve(m_pending.size() + 1);
    pending->helpers[0] = std::thread(paintJobs, first, middle, antialiased);
    Pending& batch = *m_pending.emplace_back(std::move(pending));
    for (const Job& job : batch.jobs)
        m_pendingKeys.insert(job.key);
    try {
        batch.helpers[1] = std::thread(paintJobs, middle, last, antialiased);
    } catch (...) {
        paintJobs(middle, last, antialiased);
    }
    // A drawing takes the glyphs at once; a look-ahead leaves them to the next drawing.
    if (!inBackground)
        finishPending();
}

bool GlyphCache::drawRuns(QPainter& canvas, const QList<QGlyphRun>& runs,
                          const QColor& color) noexcept
{
    bool drawn = false;
    try {
        const QPaintEngine* engine = canvas.paintEngine();
        if (!engine || engine->type() != QPaintEngine::Raster)
            return false;
        const QTransform toDevice = canvas.deviceTransform();
        if (toDevice.type() > QTransform::TxTranslate)
            return false;
        const qreal dx = toDevice.dx();
        const qreal dy = toDevice.dy();
        // The same choice Qt makes when it fills large glyphs' outlines.
        const QPainter::RenderHints hints = canvas.renderHints();
        const QFont font = canvas.font();
        const bool antialiased = hints.testFlag(QPainter::Antialiasing) ||
                                 (hints.testFlag(QPainter::TextAntialiasing) &&
                                  !(font.styleStrategy() & QFont::NoAntialias));
        const std::vector<QRgb> tint = tintTable(color);
        if (m_lookAhead) {
            try {
                prepare(runs, font.stretch(), dx, dy, antialiased, true);
            } catch (...) {
                // No helper to be had: the drawing renders the glyphs itself.
            }
            return true;
        }
        try {
            prepare(runs, font.stretch(), dx, dy, antialiased, false);
        } catch (...) {
            // No second thread to be had: the glyphs are rendered one by one below.
        }
        Mask uncached;
        forEachPlacedGlyph(runs, font.stretch(), dx, dy,
                           [&](const QRawFont& raw, int id, quint32 glyph, qint64 wholeX,
                               qint64 wholeY, int subX, int subY) {
                               const Mask* m =
                                   mask(raw, id, glyph, subX, subY, antialiased, uncached);
                               if (!m || m->coverage.isNull())
                                   return;
                               blit(canvas, *m,
                                    QPointF(qreal(wholeX + m->offset.x()) - dx,
                                            qreal(wholeY + m->offset.y()) - dy),
                                    tint);
                               drawn = true;
                               uncached = Mask();
                           });
        return true;
    } catch (...) {
        // Out of memory: before the first glyph the caller can still let Qt draw the text; part
        // way, what is drawn stays and the rest is left out rather than drawn twice.
        return drawn;
    }
}
