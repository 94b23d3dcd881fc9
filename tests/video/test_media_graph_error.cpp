// The media layer's error texts as the error box shows them.
#include "video/MediaGraphError.h"

#include <gst/gst.h>
#include <gtest/gtest.h>

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
