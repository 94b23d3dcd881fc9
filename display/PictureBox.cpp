#include "display/PictureBox.h"

#include "display/PictureScaling.h"

#include <QPaintEvent>
#include <QPainter>

TPictureBox::TPictureBox(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAutoFillBackground(false);
}

void TPictureBox::setPicture(const QImage& picture)
{
    picture_ = picture;
    scaledFor_ = QSize();
    scaled_ = QPixmap();
    update();
}

void TPictureBox::clearPicture()
{
    setPicture(QImage());
}

void TPictureBox::rescaleIfStale()
{
    const qreal ratio = devicePixelRatioF();
    if (scaledFor_ == size() && scaledForRatio_ == ratio)
        return;
    scaledFor_ = size();
    scaledForRatio_ = ratio;
    drawnRect_ = scaledPictureRect(picture_.size(), size());
    scaled_ = QPixmap();
    if (drawnRect_.isEmpty())
        return;
    // Scaled to device pixels so that a high-density screen gets a sharp picture.
    const QSize devicePixels = (QSizeF(drawnRect_.size()) * ratio).toSize();
    scaled_ = QPixmap::fromImage(
        picture_.scaled(devicePixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    scaled_.setDevicePixelRatio(ratio);
}

void TPictureBox::paintEvent(QPaintEvent* /*event*/) noexcept
{
    try {
        if (picture_.isNull())
            return;
        rescaleIfStale();
        if (scaled_.isNull())
            return;
        QPainter painter(this);
        painter.drawPixmap(drawnRect_.topLeft(), scaled_);
    } catch (...) {
        // A failed paint leaves the area as it was; the next paint tries again.
        scaledFor_ = QSize();
    }
}
