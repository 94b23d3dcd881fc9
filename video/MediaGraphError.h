#pragma once
// The media layer's failures reach the user as one message form: the platform's text, then the
// failing code in upper-case hexadecimal, e.g. "Resource not found. ($80040303).".

#include <glib.h>

#include <cstdint>
#include <stdexcept>
#include <string>

using HRESULT = int32_t;
constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;

class EMediaGraphError : public std::runtime_error {
public:
    EMediaGraphError(const std::string& msg, uint32_t code);
    uint32_t code() const { return m_code; }

    // Builds the exception from a GStreamer error, with its code from mediaErrorCode().
    static EMediaGraphError fromGError(const GError* error);
    static std::string formatMessage(const std::string& text, uint32_t code);

private:
    uint32_t m_code;
};

// Failure codes of the media layer in the form of the platform's result codes (severity bit,
// facility 4): GStreamer's error domain in bits 8..11, the domain's code in the low byte.
namespace media_codes {
constexpr uint32_t base = 0x80040000u;
constexpr uint32_t core = 0x100, library = 0x200, resource = 0x300, stream = 0x400, graph = 0x500;
// Errors the graph finds itself rather than GStreamer.
constexpr uint32_t pipelineNotCreated = base | graph | 0x01;
constexpr uint32_t noVideoStream = base | graph | 0x02;
constexpr uint32_t prerollTimeout = base | graph | 0x03;
constexpr uint32_t elementMissing = base | graph | 0x04;
constexpr uint32_t stateChangeFailed = base | graph | 0x05;
constexpr uint32_t frameTooLarge = base | graph | 0x06;
constexpr uint32_t fileNotFound = base | resource | 0x03;
} // namespace media_codes

uint32_t mediaErrorCode(GQuark domain, int code);
