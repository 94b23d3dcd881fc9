#include "video/ColorControl.h"

#include "video/ValueRangeError.h"

void TColorControl::setBrightness(int value) {
    checkValueRange(value, 0, 10000, "0 -> 10.000");
    brightness_ = value;
}
void TColorControl::setContrast(int value) {
    checkValueRange(value, 0, 20000, "0 -> 20.000");
    contrast_ = value;
}
void TColorControl::setHue(int value) {
    checkValueRange(value, -180, 180, "-180 -> 180");
    hue_ = value;
}
void TColorControl::setSaturation(int value) {
    checkValueRange(value, 0, 20000, "0 -> 20.000");
    saturation_ = value;
}
void TColorControl::setSharpness(int value) {
    checkValueRange(value, 0, 10, "0 -> 10");
    sharpness_ = value;
}
void TColorControl::setGamma(int value) {
    checkValueRange(value, 1, 500, "1 -> 500");
    gamma_ = value;
}

bool TColorControl::isNeutral() const {
    const TColorControl neutral;
    return brightness_ == neutral.brightness_ && contrast_ == neutral.contrast_ && hue_ == neutral.hue_ &&
           saturation_ == neutral.saturation_ && sharpness_ == neutral.sharpness_ && gamma_ == neutral.gamma_ &&
           colorEnable_ == neutral.colorEnable_;
}
