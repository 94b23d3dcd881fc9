#include "app/MainLayout.h"

PictureAlign pictureAlignFor(int storedAlignment, PictureAlign current)
{
    if (storedAlignment < 0 || storedAlignment > 4)
        return current;
    return static_cast<PictureAlign>(storedAlignment);
}

MainAreas layoutAreas(QSize client, PictureAlign align)
{
    const int w = client.width();
    const int h = client.height();
    const int halfW = w / 2;
    const int halfH = h / 2;
    switch (align) {
    case PictureAlign::Top:
        return {QRect(0, 0, w, halfH), QRect(0, halfH, w, h - halfH)};
    case PictureAlign::Bottom:
        return {QRect(0, h - halfH, w, halfH), QRect(0, 0, w, h - halfH)};
    case PictureAlign::Left:
        return {QRect(0, 0, halfW, h), QRect(halfW, 0, w - halfW, h)};
    case PictureAlign::Right:
        return {QRect(w - halfW, 0, halfW, h), QRect(0, 0, w - halfW, h)};
    case PictureAlign::Client:
        break;
    }
    return {QRect(0, 0, w, h), QRect(0, 0, w, h)};
}
