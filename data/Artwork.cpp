#include "data/Artwork.h"

#include <QIconEngine>
#include <QPainter>
#include <QPixmap>

#include <array>

namespace {

// The icon's sizes as the build rendered them, each read from its file only when asked for and
// not kept: the window system copies the icon once, and a run of a night should not hold
// several hundred kilobytes of pixmaps nobody draws.
class RenderedIconEngine : public QIconEngine {
public:
    QPixmap pixmap(const QSize& size, QIcon::Mode, QIcon::State) override
    {
        // The smallest rendered size that covers the request, else the largest.
        int chosen = kSizes.back();
        for (const int rendered : kSizes) {
            if (rendered >= size.width() && rendered >= size.height()) {
                chosen = rendered;
                break;
            }
        }
        // Through an image: loading a pixmap by name would keep it in the pixmap cache.
        QPixmap pixmap = QPixmap::fromImage(
            QImage(QStringLiteral(":/artwork/icons/hicolor/%1x%1/apps/yearmark.png").arg(chosen)));
        if (chosen != size.width() || chosen != size.height())
            pixmap = pixmap.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        return pixmap;
    }
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
    }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        QList<QSize> sizes;
        for (const int rendered : kSizes)
            sizes.append(QSize(rendered, rendered));
        return sizes;
    }
    QIconEngine* clone() const override { return new RenderedIconEngine; }

private:
    static constexpr std::array kSizes {YEARMARK_ICON_SIZES};
};

} // namespace

QIcon applicationIcon() { return QIcon(new RenderedIconEngine); }

QImage makerLogo()
{
    const QImage drawn(QStringLiteral(":/artwork/logo/maker.png"));
    QImage logo(drawn.size(), QImage::Format_RGB888);
    logo.fill(Qt::white);
    QPainter painter(&logo);
    painter.drawImage(0, 0, drawn);
    return logo;
}
