#include "video/CursorAutoHider.h"

bool CursorAutoHider::activity(QPoint pos, int64_t nowMs) {
    havePos_ = true;
    lastPos_ = pos;
    lastActivityMs_ = nowMs;
    const bool show = hidden_;
    hidden_ = false;
    return show;
}

bool CursorAutoHider::moved(QPoint pos, int64_t nowMs) {
    if (havePos_ && pos == lastPos_) return false;
    return activity(pos, nowMs);
}

bool CursorAutoHider::button(QPoint pos, int64_t nowMs) {
    if (!hidden_) return false;
    return activity(pos, nowMs);
}

bool CursorAutoHider::idle(int64_t nowMs, bool videoPresent) {
    if (delay_ == 0 || hidden_ || !videoPresent) return false;
    if (nowMs - lastActivityMs_ < delay_) return false;
    hidden_ = true;
    return true;
}

int64_t CursorAutoHider::msUntilHide(int64_t nowMs) const {
    if (delay_ == 0 || hidden_) return -1;
    const int64_t left = lastActivityMs_ + delay_ - nowMs;
    return left > 0 ? left : 0;
}

bool CursorAutoHider::reset(int64_t nowMs) {
    lastActivityMs_ = nowMs;
    const bool wasHidden = hidden_;
    hidden_ = false;
    return wasHidden;
}
