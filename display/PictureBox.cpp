#include "display/PictureBox.h"

#include "display/PictureScaling.h"
#include "display/PictureTask.h"

#include <QPaintEvent>
#include <QPainter>

TPictureBox::TPictureBox(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAutoFillBackground(false);
}

void TPictureBox::setPicture(const QImage& picture)
{
    m_picture = picture;
    if (m_preparedKey != picture.cacheKey())
        m_prepared = QPixmap();
    m_scaledFor = QSize();
    m_scaled = QPixmap();
    update();
}

void TPictureBox::clearPicture() { setPicture(QImage()); }

void TPictureBox::rescaleIfStale()
{
    const qreal ratio = devicePixelRatioF();
    if (m_scaledFor == size() && m_scaledForRatio == ratio)
        return;
    m_scaledFor = size();
    m_scaledForRatio = ratio;
    m_drawnRect = scaledPictureRect(m_picture.size(), size());
    m_scaled = QPixmap();
    if (m_drawnRect.isEmpty())
        return;
    if (!m_prepared.isNull() && m_preparedFor == size() && m_preparedRatio == ratio &&
        m_preparedKey == m_picture.cacheKey()) {
        m_scaled = m_prepared;
        return;
    }
    // Scaled to device pixels so that a high-density screen gets a sharp picture.
    const QSize devicePixels = (QSizeF(m_drawnRect.size()) * ratio).toSize();
    m_scaled = QPixmap::fromImage(
        m_picture.scaled(devicePixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    m_scaled.setDevicePixelRatio(ratio);
}

void TPictureBox::prepareFor(const QImage& picture, QSize boxSize)
{
    const QRect rect = scaledPictureRect(picture.size(), boxSize);
    if (picture.isNull() || rect.isEmpty())
        return;
    const qreal ratio = devicePixelRatioF();
    const qint64 key = picture.cacheKey();
    const uint64_t request = ++m_prepareRequests;
    scalePictureAsync(picture, (QSizeF(rect.size()) * ratio).toSize(), this,
                      [this, key, boxSize, ratio, request](QImage scaled) {
                          if (request != m_prepareRequests)
                              return;
                          m_prepared = QPixmap::fromImage(std::move(scaled));
                          m_prepared.setDevicePixelRatio(ratio);
                          m_preparedFor = boxSize;
                          m_preparedRatio = ratio;
                          m_preparedKey = key;
                      });
}

void TPictureBox::paintEvent(QPaintEvent* /*event*/) noexcept
{
    try {
        if (m_picture.isNull())
            return;
        rescaleIfStale();
        if (m_scaled.isNull())
            return;
        QPainter painter(this);
        painter.drawPixmap(m_drawnRect.topLeft(), m_scaled);
    } catch (...) {
        // A failed paint leaves the area as it was; the next paint tries again.
        m_scaledFor = QSize();
    }
}
