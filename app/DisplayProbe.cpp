#include "app/DisplayProbe.h"

#include <X11/Xlib.h>
#include <wayland-client.h>

#include <memory>

namespace {

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
    const std::unique_ptr<wl_display, decltype(&wl_display_disconnect)> display(
        wl_display_connect(nullptr), &wl_display_disconnect);
    if (!display)
        return std::nullopt;
    const std::unique_ptr<wl_registry, decltype(&wl_registry_destroy)> registry(
        wl_display_get_registry(display.get()), &wl_registry_destroy);
    static const wl_registry_listener listener {&onGlobal, &onGlobalRemoved};
    QStringList globals;
    if (!registry || wl_registry_add_listener(registry.get(), &listener, &globals) != 0 ||
        wl_display_roundtrip(display.get()) < 0)
        return std::nullopt;
    return globals;
}
