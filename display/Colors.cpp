#include "display/Colors.h"

QColor toQColor(TColor color, const QPalette& palette)
{
    if ((color & 0xFF000000u) == 0xFF000000u) {
        switch (color & 0xFFu) {
        case 0x08:
            return palette.color(QPalette::Active, QPalette::WindowText);
        case 0x0F:
            return palette.color(QPalette::Active, QPalette::Button);
        case 0x10:
            return palette.color(QPalette::Active, QPalette::Dark);
        case 0x11:
            return palette.color(QPalette::Disabled, QPalette::Text);
        case 0x14:
            return palette.color(QPalette::Active, QPalette::Light);
        default:
            return palette.color(QPalette::Active, QPalette::WindowText);
        }
    }
    return QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
}

TColor fromQColor(const QColor& color)
{
    return TColor(color.red()) | (TColor(color.green()) << 8) | (TColor(color.blue()) << 16);
}
