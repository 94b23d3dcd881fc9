// Colour settings, error texts and sound levels: the values users and the error box see.
#include "video/AudioLevels.h"
#include "video/ColorControl.h"
#include "video/MediaGraphError.h"
#include "video/ValueRangeError.h"

#include <gst/gst.h>
#include <gtest/gtest.h>

#include <functional>

struct RangeCase {
    const char* name;
    std::function<void(TColorControl&, int)> set;
    std::function<int(const TColorControl&)> get;
    int lo, hi;
    const char* rangeText;
};
class ColorRange : public testing::TestWithParam<RangeCase> { };

TEST_P(ColorRange, AcceptsTheBoundsAndRefusesOutsideWithTheSystemText)
{
    const RangeCase& t = GetParam();
    TColorControl control;
    t.set(control, t.lo);
    EXPECT_EQ(t.get(control), t.lo);
    t.set(control, t.hi);
    EXPECT_EQ(t.get(control), t.hi);
    for (int bad : {t.lo - 1, t.hi + 1}) {
        try {
            t.set(control, bad);
            ADD_FAILURE() << t.name << " accepted " << bad;
        } catch (const EValueRangeError& e) {
            EXPECT_EQ(std::string(e.what()), "Value " + std::to_string(bad) +
                                                 " out of range. Value must bee between " +
                                                 t.rangeText);
        }
        EXPECT_EQ(t.get(control), t.hi) << "the old value stays";
    }
}

#define RANGE(prop, Prop, lo, hi, text)                                                            \
    RangeCase                                                                                      \
    {                                                                                              \
#prop, [](TColorControl & c,                                                               \
                  int v) { c.set##Prop(v); }, [](const TColorControl& c) { return c.prop(); }, lo, \
                                                                                            hi,    \
                                                                                            text   \
    }
INSTANTIATE_TEST_SUITE_P(Table, ColorRange,
                         testing::Values(RANGE(brightness, Brightness, 0, 10000, "0 -> 10.000"),
                                         RANGE(contrast, Contrast, 0, 20000, "0 -> 20.000"),
                                         RANGE(hue, Hue, -180, 180, "-180 -> 180"),
                                         RANGE(saturation, Saturation, 0, 20000, "0 -> 20.000"),
                                         RANGE(sharpness, Sharpness, 0, 10, "0 -> 10"),
                                         RANGE(gamma, Gamma, 1, 500, "1 -> 500")),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(ColorControl, StartsNeutral)
{
    TColorControl control;
    EXPECT_TRUE(control.isNeutral());
    EXPECT_EQ(control.brightness(), 750);
    EXPECT_EQ(control.contrast(), 10000);
    EXPECT_EQ(control.hue(), 0);
    EXPECT_EQ(control.saturation(), 10000);
    EXPECT_EQ(control.sharpness(), 5);
    EXPECT_EQ(control.gamma(), 1);
    EXPECT_TRUE(control.colorEnable());
    control.setHue(10);
    EXPECT_FALSE(control.isNeutral());
}

TEST(MediaGraphErrorText, IsThePlatformTextThenTheCodeInUpperCaseHex)
{
    EXPECT_EQ(EMediaGraphError::formatMessage("Resource not found.", 0x80040303u),
              "Resource not found. ($80040303).");
    EXPECT_EQ(EMediaGraphError::formatMessage("x", 0xABCu), "x ($ABC).");
    const EMediaGraphError e("m", 7);
    EXPECT_EQ(e.code(), 7u);
    EXPECT_STREQ(e.what(), "m");
}

TEST(MediaGraphErrorText, FromAGStreamerErrorKeepsItsTextAndDomain)
{
    gst_init(nullptr, nullptr);
    GError* error = g_error_new_literal(GST_RESOURCE_ERROR, GST_RESOURCE_ERROR_NOT_FOUND,
                                        "Resource not found.");
    const EMediaGraphError e = EMediaGraphError::fromGError(error);
    g_error_free(error);
    EXPECT_EQ(e.code(), media_codes::base | media_codes::resource | GST_RESOURCE_ERROR_NOT_FOUND);
    EXPECT_STREQ(e.what(), "Resource not found. ($80040303).");
    EXPECT_NE(mediaErrorCode(GST_STREAM_ERROR, 1), mediaErrorCode(GST_CORE_ERROR, 1));
}

struct LevelCase {
    int volume, linearLevel, directLevel;
};
class VolumeScale : public testing::TestWithParam<LevelCase> { };
TEST_P(VolumeScale, MapsVolumeToHundredthsOfADecibel)
{
    const LevelCase& t = GetParam();
    EXPECT_EQ(linearVolumeLevel(t.volume), t.linearLevel);
    EXPECT_EQ(directVolumeLevel(t.volume), t.directLevel);
}
// ln(v + 1) * 1085.73 - 10000: ln(10001) = 9.21044 -> 0; ln(101) = 4.61512 -> 5011 - 10000; ln(1) =
// 0.
INSTANTIATE_TEST_SUITE_P(Table, VolumeScale,
                         testing::Values(LevelCase {10000, 0, 0}, LevelCase {100, -4989, -9900},
                                         LevelCase {0, -10000, -10000}, LevelCase {20000, 0, 0}));

TEST(VolumeScale, FullVolumeIsUnityAndCentredBalanceIsTheMiddle)
{
    EXPECT_DOUBLE_EQ(volumeFactor(0), 1.0);
    EXPECT_NEAR(volumeFactor(-2000), 0.1, 1e-12);
    EXPECT_DOUBLE_EQ(volumeFactor(-10000), 0.0);
    EXPECT_FLOAT_EQ(panoramaPosition(0), 0.0f);
    EXPECT_FLOAT_EQ(panoramaPosition(-10000), -1.0f);
    EXPECT_FLOAT_EQ(panoramaPosition(5000), 0.5f);
}
