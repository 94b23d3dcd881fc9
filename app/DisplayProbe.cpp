#include "app/DisplayProbe.h"

#include "base/SharedLibrary.h"

#include <X11/Xlib.h>
#include <wayland-client.h>

#include <memory>
#include <type_traits>

namespace {

// libwayland-client, loaded when first asked for: a program on X11 pays nothing for it. The
// registry is asked through the library's own calls for what its header's inline helpers do.
struct WaylandLibrary {
    decltype(&wl_display_connect) connect = nullptr;
    decltype(&wl_display_disconnect) disconnect = nullptr;
    decltype(&wl_display_roundtrip) roundtrip = nullptr;
    decltype(&wl_proxy_marshal_flags) marshalFlags = nullptr;
    decltype(&wl_proxy_get_version) version = nullptr;
    decltype(&wl_proxy_add_listener) addListener = nullptr;
    decltype(&wl_proxy_destroy) destroy = nullptr;
    const wl_interface* registryInterface = nullptr;

    static const WaylandLibrary& instance()
    {
        static const WaylandLibrary library = [] {
            WaylandLibrary l;
            SharedLibrary lib("libwayland-client.so.0");
            lib.bind(l.connect, "wl_display_connect");
            lib.bind(l.disconnect, "wl_display_disconnect");
            lib.bind(l.roundtrip, "wl_display_roundtrip");
            lib.bind(l.marshalFlags, "wl_proxy_marshal_flags");
            lib.bind(l.version, "wl_proxy_get_version");
            lib.bind(l.addListener, "wl_proxy_add_listener");
            lib.bind(l.destroy, "wl_proxy_destroy");
            lib.bind(l.registryInterface, "wl_registry_interface");
            lib.keepForTheRun();
            return l;
        }();
        return library;
    }
    bool loaded() const
    {
        return connect && disconnect && roundtrip && marshalFlags && version && addListener &&
               destroy && registryInterface;
    }
};

void onGlobal(void* data, wl_registry*, uint32_t, const char* interface, uint32_t)
{
    static_cast<QStringList*>(data)->append(QString::fromUtf8(interface));
}

void onGlobalRemoved(void*, wl_registry*, uint32_t) { }

} // namespace

bool x11Answers()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return false;
    const std::unique_ptr<Display, decltype(&::XCloseDisplay)> display(::XOpenDisplay(nullptr),
                                                                       &::XCloseDisplay);
    return display != nullptr;
}

std::optional<QStringList> waylandGlobals()
{
    if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return std::nullopt;
    const WaylandLibrary& wl = WaylandLibrary::instance();
    if (!wl.loaded())
        return std::nullopt;
    const std::unique_ptr<wl_display, decltype(wl.disconnect)> display(wl.connect(nullptr),
                                                                       wl.disconnect);
    if (!display)
        return std::nullopt;
    auto* proxy = reinterpret_cast<wl_proxy*>(display.get());
    const std::unique_ptr<wl_proxy, decltype(wl.destroy)> registry(
        wl.marshalFlags(proxy, WL_DISPLAY_GET_REGISTRY, wl.registryInterface, wl.version(proxy), 0,
                        nullptr),
        wl.destroy);
    static wl_registry_listener listener {&onGlobal, &onGlobalRemoved};
    QStringList globals;
    if (!registry ||
        wl.addListener(registry.get(), reinterpret_cast<void (**)(void)>(&listener), &globals) !=
            0 ||
        wl.roundtrip(display.get()) < 0)
        return std::nullopt;
    return globals;
}
