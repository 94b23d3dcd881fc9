#pragma once
// Qt's raster engine fills every glyph above 64 px as a path on every repaint; this keeps each
// such glyph's coverage once, so a repaint of a large title is a few image blits.

#include <QCache>
#include <QColor>
#include <QFont>
#include <QGlyphRun>
#include <QHash>
#include <QImage>
#include <QList>
#include <QPainterPath>
#include <QPoint>
#include <QRawFont>
#include <QSet>
#include <QString>

#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

class QPainter;

class GlyphCache {
public:
    // A glyph lands on a quarter pixel: close enough to Qt's own placement that edges match
    // within a few grey levels, few enough variants per glyph to keep the cache small.
    static constexpr int kSubpixels = 4;
    static constexpr qsizetype kDefaultBytes = 4 * 1024 * 1024;

    explicit GlyphCache(qsizetype maxBytes = kDefaultBytes);
    ~GlyphCache();
    GlyphCache(const GlyphCache&) = delete;
    GlyphCache& operator=(const GlyphCache&) = delete;

    // The glyph runs (positions in the canvas's coordinates) in the colour, filled the way Qt
    // fills the outlines of large glyphs. False, with nothing drawn, when the canvas cannot take
    // blits pixel for pixel (a transform beyond a move, a paint engine other than the raster one).
    bool drawRuns(QPainter& canvas, const QList<QGlyphRun>& runs, const QColor& color) noexcept;

    // While a look-ahead is open, drawRuns draws nothing: it starts rendering what the runs lack
    // on helper threads and returns, and the next drawing takes the finished glyphs. A large
    // title's first frame need not then wait for its glyphs while the window is being made.
    class LookAhead {
    public:
        explicit LookAhead(GlyphCache& cache)
            : m_cache(cache)
        {
            m_cache.m_lookAhead = true;
        }
        ~LookAhead() { m_cache.m_lookAhead = false; }
        LookAhead(const LookAhead&) = delete;
        LookAhead& operator=(const LookAhead&) = delete;

    private:
        GlyphCache& m_cache;
    };

    qsizetype entryCount() const { return m_masks.count(); }
    qsizetype byteCount() const { return m_masks.totalCost(); }
    qsizetype maxBytes() const { return m_masks.maxCost(); }
    void clear();

    // The painting thread's cache (the GUI thread's in practice); painters in other threads get
    // their own, so no lock is taken while painting.
    static GlyphCache& forThisThread();

private:
    struct Mask {
        QImage coverage; // Format_Alpha8; null for a glyph without ink
        QPoint offset;   // of the image's top left from the glyph's whole-pixel pen position
    };
    struct FontKey {
        QString family;
        QString style;
        qreal pixelSize = 0;
        int weight = 0;
        int fontStyle = 0;
        int hinting = 0;
        int stretch = 0;
        bool operator==(const FontKey&) const = default;
    };
    friend size_t qHash(const FontKey& key, size_t seed) noexcept;
    struct Job {
        quint64 key;
        QRawFont font;
        quint32 glyph;
        int subX;
        int subY;
        QPainterPath path;
        Mask mask;
        bool painted = false;
    };
    // Glyphs being rendered on helper threads for a later drawing.
    struct Pending {
        std::vector<Job> jobs;
        std::thread helpers[2];
    };

    int fontId(const QRawFont& font, int stretch);
    const Mask* mask(const QRawFont& font, int fontId, quint32 glyph, int subX, int subY,
                     bool antialiased, Mask& uncached);
    // Renders what the runs lack and keeps it, on two threads when there is much to render;
    // in the background, it only starts the rendering.
    void prepare(const QList<QGlyphRun>& runs, int stretch, qreal dx, qreal dy, bool antialiased,
                 bool inBackground);
    // Waits for the glyphs rendered in the background and keeps them.
    void finishPending() noexcept;
    // A glyph's outline moved to a quarter-pixel place.
    static QPainterPath placed(const QPainterPath& outline, int subX, int subY);
    static QRect coverageBox(const QPainterPath& path);
    static Mask blankMask(const QPainterPath& path);
    // Fills the jobs' outlines into their blank masks and marks them painted. Safe on any thread:
    // paints only into the jobs' own images.
    static void paintCoverage(Job* first, Job* last, bool antialiased);
    static void paintJobs(Job* first, Job* last, bool antialiased) noexcept;
    static Mask fill(const QPainterPath& path, bool antialiased);
    bool fitsCache(qsizetype imageBytes) const;
    // Calls visit(rawFont, fontId, glyph, wholeX, wholeY, subX, subY) for each glyph of the runs
    // that lies on any canvas, its pen position split into whole and quarter pixels.
    template <typename Visit>
    void forEachPlacedGlyph(const QList<QGlyphRun>& runs, int stretch, qreal dx, qreal dy,
                            Visit&& visit);
    void keep(quint64 key, Mask&& mask);
    void blit(QPainter& canvas, const Mask& mask, QPointF logicalTopLeft,
              const std::vector<QRgb>& tint);

    QCache<quint64, Mask> m_masks;
    QHash<FontKey, int> m_fontIds;
    QImage m_scratch; // premultiplied colour of one glyph, reused from blit to blit
    std::vector<std::unique_ptr<Pending>> m_pending;
    QSet<quint64> m_pendingKeys;
    bool m_lookAhead = false;
};
