#include "app/WaylandIdleInhibitor.h"

#include <QGuiApplication>
#include <QWindow>
#include <qpa/qplatformnativeinterface.h>

#include <idle-inhibit-unstable-v1-client-protocol.h>
#include <wayland-client.h>

#include <cstring>

namespace {

struct QueueDestroy {
    void operator()(wl_event_queue* queue) const noexcept { wl_event_queue_destroy(queue); }
};
struct WrapperDestroy {
    void operator()(wl_display* wrapper) const noexcept { wl_proxy_wrapper_destroy(wrapper); }
};
struct RegistryDestroy {
    void operator()(wl_registry* registry) const noexcept { wl_registry_destroy(registry); }
};

QPlatformNativeInterface* waylandInterface()
{
    // The "wayland" platform and its variants ("wayland-egl") share one native interface.
    if (!qGuiApp || !QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return nullptr;
    return QGuiApplication::platformNativeInterface();
}

void announced(void* data, wl_registry* registry, uint32_t name, const char* interface,
               uint32_t /*version*/)
{
    auto* manager = static_cast<zwp_idle_inhibit_manager_v1**>(data);
    if (!*manager && std::strcmp(interface, zwp_idle_inhibit_manager_v1_interface.name) == 0)
        *manager = static_cast<zwp_idle_inhibit_manager_v1*>(
            wl_registry_bind(registry, name, &zwp_idle_inhibit_manager_v1_interface, 1));
}

void withdrawn(void*, wl_registry*, uint32_t) { }

const wl_registry_listener kRegistryListener = {announced, withdrawn};

// The compositor's inhibit manager, or null. The globals are asked for on a queue of our own,
// so that the round trip dispatches nothing of Qt's; the manager then joins the connection's
// default queue (it receives no events) and the queue goes.
zwp_idle_inhibit_manager_v1* bindManager(wl_display* display) noexcept
{
    const std::unique_ptr<wl_event_queue, QueueDestroy> queue(wl_display_create_queue(display));
    const std::unique_ptr<wl_display, WrapperDestroy> wrapper(
        static_cast<wl_display*>(wl_proxy_create_wrapper(display)));
    if (!queue || !wrapper)
        return nullptr;
    wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(wrapper.get()), queue.get());
    const std::unique_ptr<wl_registry, RegistryDestroy> registry(
        wl_display_get_registry(wrapper.get()));
    if (!registry)
        return nullptr;
    zwp_idle_inhibit_manager_v1* manager = nullptr;
    wl_registry_add_listener(registry.get(), &kRegistryListener, &manager);
    if (wl_display_roundtrip_queue(display, queue.get()) < 0 && manager) {
        zwp_idle_inhibit_manager_v1_destroy(manager);
        manager = nullptr;
    }
    if (manager)
        wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(manager), nullptr);
    return manager;
}

} // namespace

void WaylandIdleInhibitor::ManagerDestroy::operator()(
    zwp_idle_inhibit_manager_v1* manager) const noexcept
{
    zwp_idle_inhibit_manager_v1_destroy(manager);
}

void WaylandIdleInhibitor::InhibitorDestroy::operator()(
    zwp_idle_inhibitor_v1* inhibitor) const noexcept
{
    zwp_idle_inhibitor_v1_destroy(inhibitor);
}

WaylandIdleInhibitor::~WaylandIdleInhibitor()
{
    release();
    if (m_manager) {
        m_manager.reset();
        wl_display_flush(m_display);
    }
}

zwp_idle_inhibit_manager_v1* WaylandIdleInhibitor::manager() noexcept
{
    if (!m_managerLookedFor) {
        m_managerLookedFor = true;
        if (QPlatformNativeInterface* native = waylandInterface())
            m_display = static_cast<wl_display*>(
                native->nativeResourceForIntegration(QByteArrayLiteral("wl_display")));
        if (m_display)
            m_manager.reset(bindManager(m_display));
    }
    return m_manager.get();
}

void WaylandIdleInhibitor::hold(QWindow* window) noexcept
{
    QPlatformNativeInterface* native = waylandInterface();
    // The surface exists only while the window is shown.
    auto* surface = native && window && window->handle()
                        ? static_cast<wl_surface*>(
                              native->nativeResourceForWindow(QByteArrayLiteral("surface"), window))
                        : nullptr;
    if (m_inhibitor && surface == m_surface)
        return;
    release();
    if (!surface || !manager())
        return;
    m_inhibitor.reset(zwp_idle_inhibit_manager_v1_create_inhibitor(m_manager.get(), surface));
    m_surface = surface;
    // Told at once rather than with the window's next frame.
    wl_display_flush(m_display);
}

void WaylandIdleInhibitor::release() noexcept
{
    if (!m_inhibitor)
        return;
    m_inhibitor.reset();
    m_surface = nullptr;
    wl_display_flush(m_display);
}
