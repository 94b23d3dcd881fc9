#pragma once
// `Image1`: the picture beside or behind the title. It always draws centred, proportional and
// stretched (small pictures enlarged), paints nothing around the picture so the window's
// colour shows there, and lets clicks through so that a click on it does nothing.

#include <QImage>
#include <QPixmap>
#include <QRect>
#include <QSize>
#include <QWidget>

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

protected:
    void paintEvent(QPaintEvent* event) noexcept override;

private:
    void rescaleIfStale();

    QImage m_picture;
    QPixmap m_scaled;
    QRect m_drawnRect;
    QSize m_scaledFor; // the control size m_scaled was made for; invalid after a new picture
    qreal m_scaledForRatio = 0;
};
