#pragma once
// Holds off the screen saver and the monitor's power saving while a video plays or the countdown
// is shown. The desktop's inhibit service on the session bus is asked first, since the desktop's
// own screen locker and power manager only listen to it; where there is none, an X11 server's
// screen saver extension is used, which also keeps the server's DPMS timers from switching the
// monitor off. Without either it does nothing.

#include <QString>

#include <optional>

class ScreenSaverInhibitor {
public:
    ScreenSaverInhibitor() = default;
    ~ScreenSaverInhibitor();
    ScreenSaverInhibitor(const ScreenSaverInhibitor&) = delete;
    ScreenSaverInhibitor& operator=(const ScreenSaverInhibitor&) = delete;

    // Holds or releases; repeated requests of the same kind change nothing.
    void setHeld(bool held) noexcept;
    bool held() const { return m_held; }
    // Whether the platform actually honours the hold (the inhibit service or the X11 extension).
    bool effective() const { return m_cookie.has_value() || m_effective; }

    // Asked without holding anything, for the pre-show check. Whether the desktop's inhibit
    // service has an owner on the session bus: empty when the bus does not answer within
    // timeoutMs. Callable from any thread.
    static std::optional<bool> serviceRegistered(int timeoutMs);
    // The version of the X server's screen saver extension ("1.1"), on the application's X11
    // display; empty when there is none or it is too old to hold the screen saver.
    static QString x11ExtensionVersion();

private:
    bool m_held = false;
    bool m_effective = false;
    // The inhibit service's receipt for the hold, needed to release it.
    std::optional<unsigned> m_cookie;
};
