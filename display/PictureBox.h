#pragma once
// `Image1`: the picture beside or behind the title. It always draws centred, proportional and
// stretched (small pictures enlarged), paints nothing around the picture so the window's
// colour shows there, and lets clicks through so that a click on it does nothing.

#include <QImage>
#include <QPixmap>
#include <QRect>
#include <QSize>
#include <QWidget>

#include <cstdint>

class TPictureBox : public QWidget {
    Q_OBJECT
public:
    explicit TPictureBox(QWidget* parent = nullptr);

    void setPicture(const QImage& picture);
    const QImage& picture() const { return m_picture; }
    void clearPicture();

    // The scaled picture as the last paint drew it; it is made again only when the picture or
    // the control's size changes, not on each repaint.
    const QPixmap& scaledPicture() const { return m_scaled; }

    // Scales picture for a control of boxSize on a thread of its own, so that the control can
    // show that picture at that size later without scaling it in its paint (a full-screen
    // picture takes tens of milliseconds, which the zero moment cannot spare). The last request
    // wins.
    void prepareFor(const QImage& picture, QSize boxSize);

protected:
    void paintEvent(QPaintEvent* event) noexcept override;

private:
    void rescaleIfStale();

    QImage m_picture;
    QPixmap m_scaled;
    QRect m_drawnRect;
    QSize m_scaledFor; // the control size m_scaled was made for; invalid after a new picture
    qreal m_scaledForRatio = 0;
    // Made ahead by prepareSize: for the picture with m_preparedKey, a control of m_preparedFor.
    QPixmap m_prepared;
    QSize m_preparedFor;
    qreal m_preparedRatio = 0;
    qint64 m_preparedKey = 0;
    uint64_t m_prepareRequests = 0;
};
