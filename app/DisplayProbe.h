#pragma once
// Whether the display servers the environment names answer, asked without Qt and without a
// window. Both block on the server: call them on a thread of their own.

#include <QStringList>

#include <optional>

// Whether the X server DISPLAY names accepts a connection.
bool x11Answers();

// The interfaces of the globals that the Wayland compositor WAYLAND_DISPLAY names advertises
// ("wl_compositor", "zwp_idle_inhibit_manager_v1", …); empty when it cannot be reached or its
// client library is missing.
std::optional<QStringList> waylandGlobals();
