#pragma once
// Keeps a video whose frames are too large from being decoded at all: the size is refused where
// the decoder and the video window negotiate it, before any frame buffer of that size exists.

#include <gst/gst.h>

#include <cstdint>

namespace yearmark::video {

// The largest frame, in bytes of 32-bit pixels, that a video may bring: the same bound as for
// the pictures, since the frame ends up as a 32-bit image just like a picture.
inline constexpr int64_t kMaxFrameBytes = int64_t {256} * 1024 * 1024;

// True for a frame of width × height pixels that stays within kMaxFrameBytes; sizes below one
// pixel never fit.
bool frameFits(int64_t width, int64_t height);

// Guards `pad`, where raw frames leave a decoder or reach a sink: a format of frames that do not
// fit goes no further, the pad refuses it when asked whether it accepts it, and a buffer pool
// asked for it hands out no buffer, so that the decoder fails before it allocates. The first
// refusal posts an error naming the size on the pad's element.
void limitFrameSize(GstPad* pad);

// Guards the source pads of `element` when it is a decoder; for the decoding bin's
// "deep-element-added" signal, so that every decoder it plugs in is guarded.
void limitDecoderFrames(GstBin* bin, GstBin* subBin, GstElement* element, gpointer data);

} // namespace yearmark::video
