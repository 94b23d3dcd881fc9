#pragma once
// Keeps a Wayland compositor from going idle (blanking, locking, switching the monitor off)
// while a window is shown, through the compositor's idle-inhibit protocol. The desktop's D-Bus
// service and the X11 extension are not there in a wlroots session with an idle daemon; this is
// what such a compositor listens to. The hold belongs to the window's surface and counts while
// that surface is visible. Off Wayland, or with a compositor that lacks the protocol, it does
// nothing.

#include <memory>

class QWindow;
struct wl_display;
struct wl_surface;
struct zwp_idle_inhibit_manager_v1;
struct zwp_idle_inhibitor_v1;

class WaylandIdleInhibitor {
public:
    WaylandIdleInhibitor() = default;
    ~WaylandIdleInhibitor();
    WaylandIdleInhibitor(const WaylandIdleInhibitor&) = delete;
    WaylandIdleInhibitor& operator=(const WaylandIdleInhibitor&) = delete;

    // Holds idle off for the window's surface as it is now. A window shown anew has a new
    // surface: it is released when hidden and held again once shown.
    void hold(QWindow* window) noexcept;
    void release() noexcept;
    // True while the compositor has an inhibitor of this program's.
    bool held() const { return m_inhibitor != nullptr; }

private:
    struct ManagerDestroy {
        void operator()(zwp_idle_inhibit_manager_v1* manager) const noexcept;
    };
    struct InhibitorDestroy {
        void operator()(zwp_idle_inhibitor_v1* inhibitor) const noexcept;
    };

    // The compositor's inhibit manager, looked for the first time a hold is asked for.
    zwp_idle_inhibit_manager_v1* manager() noexcept;

    wl_display* m_display = nullptr;
    bool m_managerLookedFor = false;
    std::unique_ptr<zwp_idle_inhibit_manager_v1, ManagerDestroy> m_manager;
    // The surface the inhibitor was made for; only compared, never used.
    const wl_surface* m_surface = nullptr;
    std::unique_ptr<zwp_idle_inhibitor_v1, InhibitorDestroy> m_inhibitor;
};
