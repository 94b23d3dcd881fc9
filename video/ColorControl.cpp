#include "video/ColorControl.h"

#include "video/ValueRangeError.h"

void TColorControl::setBrightness(int value)
{
    checkValueRange(value, 0, 10000, "0 -> 10.000");
    m_brightness = value;
}
void TColorControl::setContrast(int value)
{
    checkValueRange(value, 0, 20000, "0 -> 20.000");
    m_contrast = value;
}
void TColorControl::setHue(int value)
{
    checkValueRange(value, -180, 180, "-180 -> 180");
    m_hue = value;
}
void TColorControl::setSaturation(int value)
{
    checkValueRange(value, 0, 20000, "0 -> 20.000");
    m_saturation = value;
}
void TColorControl::setSharpness(int value)
{
    checkValueRange(value, 0, 10, "0 -> 10");
    m_sharpness = value;
}
void TColorControl::setGamma(int value)
{
    checkValueRange(value, 1, 500, "1 -> 500");
    m_gamma = value;
}

bool TColorControl::isNeutral() const
{
    const TColorControl neutral;
    return m_brightness == neutral.m_brightness && m_contrast == neutral.m_contrast &&
           m_hue == neutral.m_hue && m_saturation == neutral.m_saturation &&
           m_sharpness == neutral.m_sharpness && m_gamma == neutral.m_gamma &&
           m_colorEnable == neutral.m_colorEnable;
}
