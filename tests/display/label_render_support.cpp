#include "label_render_support.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>
#include <QWidget>

#include "display/Label3D.h"

namespace label_test {

const QColor kHighlight(250, 240, 10);
const QColor kShadow(90, 20, 140);
const QColor kGrayText(128, 128, 128);
const QColor kBehind(0, 0, 255);

void useKnownSystemColours()
{
    QPalette palette = QApplication::palette();
    palette.setColor(QPalette::All, QPalette::Light, kHighlight);
    palette.setColor(QPalette::All, QPalette::Dark, kShadow);
    palette.setColor(QPalette::Disabled, QPalette::Text, kGrayText);
    QApplication::setPalette(palette);
}

QFont crispFont(int pixels, const QString& family)
{
    QFont font(family);
    font.setPixelSize(pixels);
    font.setStyleStrategy(QFont::NoAntialias);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

QImage renderOnParent(TLabel3D& label)
{
    QWidget parent;
    parent.resize(label.size());
    parent.setAutoFillBackground(true);
    QPalette palette = parent.palette();
    palette.setColor(QPalette::Window, kBehind);
    parent.setPalette(palette);
    QWidget* const formerParent = label.parentWidget();
    const QPoint formerPos = label.pos();
    label.setParent(&parent);
    label.move(0, 0);
    label.show();
    QImage image(label.size(), QImage::Format_RGB32);
    image.fill(Qt::black);
    parent.render(&image);
    label.hide();
    label.setParent(formerParent);
    label.move(formerPos);
    return image;
}

QImage behind(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(kBehind);
    return image;
}

QRect boundsOf(const QImage& image, const QColor& color)
{
    QRect bounds;
    const QRgb wanted = color.rgb();
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) == wanted)
                bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
}

int countOf(const QImage& image, const QColor& color)
{
    int count = 0;
    const QRgb wanted = color.rgb();
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            count += image.pixel(x, y) == wanted ? 1 : 0;
    }
    return count;
}

} // namespace label_test
