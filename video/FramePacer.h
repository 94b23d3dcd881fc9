#pragma once
// Lets through no more frames a second than the screen can show, judged by the frames' own
// timestamps, so that a clip with a very high frame rate costs no more than the screen's rate.

#include <cstdint>

namespace yearmark::video {

class FramePacer {
public:
    // Frames a second at most, rounded to a whole number; below one (unknown) means 60.
    void setRate(double perSecond);
    double rate() const { return m_rate; }

    // True when the frame at `timestampNs` is to be shown. Frames without a timestamp (below
    // zero) and the first frame after restart() or after a step back in time (a new pass of a
    // looping clip) are always shown.
    bool admit(int64_t timestampNs);
    // Forgets the frames seen so far (after a seek).
    void restart();

private:
    double m_rate = 60.0;
    int64_t m_due = -1;  // earliest timestamp of the next frame to show
    int64_t m_last = -1; // timestamp of the last frame seen
};

} // namespace yearmark::video
