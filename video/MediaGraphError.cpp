#include "video/MediaGraphError.h"

#include <gst/gst.h>

#include <cstdio>

EMediaGraphError::EMediaGraphError(const std::string& msg, uint32_t code)
    : std::runtime_error(msg)
    , m_code(code)
{ }

std::string EMediaGraphError::formatMessage(const std::string& text, uint32_t code)
{
    char hex[16];
    std::snprintf(hex, sizeof hex, "%X", static_cast<unsigned>(code));
    return text + " ($" + hex + ").";
}

uint32_t mediaErrorCode(GQuark domain, int code)
{
    uint32_t group = media_codes::graph;
    if (domain == GST_CORE_ERROR)
        group = media_codes::core;
    else if (domain == GST_LIBRARY_ERROR)
        group = media_codes::library;
    else if (domain == GST_RESOURCE_ERROR)
        group = media_codes::resource;
    else if (domain == GST_STREAM_ERROR)
        group = media_codes::stream;
    return media_codes::base | group | (static_cast<uint32_t>(code) & 0xFFu);
}

EMediaGraphError EMediaGraphError::fromGError(const GError* error)
{
    if (!error) {
        const uint32_t code = media_codes::stateChangeFailed;
        return EMediaGraphError(formatMessage("The media graph failed.", code), code);
    }
    const uint32_t code = mediaErrorCode(error->domain, error->code);
    std::string text = error->message ? error->message : "The media graph failed.";
    return EMediaGraphError(formatMessage(text, code), code);
}
