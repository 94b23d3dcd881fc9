#pragma once
// The picture's colour settings of the video window, kept with their ranges; the neutral values
// leave the video's own colours untouched, which is all the program asks of them.

class TColorControl {
public:
    int brightness() const { return m_brightness; }
    void setBrightness(int value);
    int contrast() const { return m_contrast; }
    void setContrast(int value);
    int hue() const { return m_hue; }
    void setHue(int value);
    int saturation() const { return m_saturation; }
    void setSaturation(int value);
    int sharpness() const { return m_sharpness; }
    void setSharpness(int value);
    int gamma() const { return m_gamma; }
    void setGamma(int value);
    bool colorEnable() const { return m_colorEnable; }
    void setColorEnable(bool value) { m_colorEnable = value; }

    bool isNeutral() const;

private:
    int m_brightness = 750;
    int m_contrast = 10000;
    int m_hue = 0;
    int m_saturation = 10000;
    int m_sharpness = 5;
    int m_gamma = 1;
    bool m_colorEnable = true;
};
