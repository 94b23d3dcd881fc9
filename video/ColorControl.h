#pragma once
// The picture's colour settings of the video window, kept with their ranges; the neutral values
// leave the video's own colours untouched, which is all the program asks of them.

class TColorControl {
public:
    int brightness() const { return brightness_; }
    void setBrightness(int value);
    int contrast() const { return contrast_; }
    void setContrast(int value);
    int hue() const { return hue_; }
    void setHue(int value);
    int saturation() const { return saturation_; }
    void setSaturation(int value);
    int sharpness() const { return sharpness_; }
    void setSharpness(int value);
    int gamma() const { return gamma_; }
    void setGamma(int value);
    bool colorEnable() const { return colorEnable_; }
    void setColorEnable(bool value) { colorEnable_ = value; }

    bool isNeutral() const;

private:
    int brightness_ = 750;
    int contrast_ = 10000;
    int hue_ = 0;
    int saturation_ = 10000;
    int sharpness_ = 5;
    int gamma_ = 1;
    bool colorEnable_ = true;
};
