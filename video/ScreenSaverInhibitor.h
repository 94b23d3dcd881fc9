#pragma once
// Holds off the screen saver and the monitor's power saving while a video plays. On X11 this goes
// through the server's screen saver extension, which also keeps the server's DPMS timers from
// switching the monitor off; on other platforms it does nothing.

class ScreenSaverInhibitor {
public:
    ScreenSaverInhibitor() = default;
    ~ScreenSaverInhibitor();
    ScreenSaverInhibitor(const ScreenSaverInhibitor&) = delete;
    ScreenSaverInhibitor& operator=(const ScreenSaverInhibitor&) = delete;

    // Holds or releases; repeated requests of the same kind change nothing.
    void setHeld(bool held) noexcept;
    bool held() const { return m_held; }
    // Whether the platform actually honours the hold (an X11 server with the extension).
    bool effective() const { return m_effective; }

private:
    bool m_held = false;
    bool m_effective = false;
};
