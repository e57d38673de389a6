#include "qt/desktop/LinuxFullScreenSignal.h"

#include <QGuiApplication>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

namespace tolvane {
namespace {

constexpr const char* kAtomNames[] = {"_NET_ACTIVE_WINDOW", "_NET_WM_STATE",
                                      "_NET_WM_STATE_FULLSCREEN"};

// A property's 32-bit values; nothing when the window or the property is missing. Errors come
// back here rather than to Xlib's handler, which would end the program.
std::optional<std::vector<std::uint32_t>> Property(xcb_connection_t* x, xcb_window_t window,
                                                   xcb_atom_t property, xcb_atom_t type) {
    const xcb_get_property_cookie_t cookie = xcb_get_property(x, 0, window, property, type, 0, 64);
    xcb_generic_error_t* error = nullptr;
    const std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
        xcb_get_property_reply(x, cookie, &error), &std::free);
    std::free(error);
    if (!reply || reply->type != type || reply->format != 32) return std::nullopt;
    const auto* values = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
    return std::vector<std::uint32_t>(values,
                                      values + xcb_get_property_value_length(reply.get()) / 4);
}

}  // namespace

void LinuxFullScreenSignal::Refresh() {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* x = x11 != nullptr ? x11->connection() : nullptr;
    if (x == nullptr) {
        m_state = SignalState::Unknown;
        return;
    }
    if (m_atoms[0] == 0) {
        for (std::size_t i = 0; i < std::size(kAtomNames); ++i) {
            const xcb_intern_atom_cookie_t cookie = xcb_intern_atom(
                x, 0, static_cast<std::uint16_t>(std::strlen(kAtomNames[i])), kAtomNames[i]);
            std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
                xcb_intern_atom_reply(x, cookie, nullptr), &std::free);
            m_atoms[i] = reply ? reply->atom : 0;
        }
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
    // Without a window manager that names the active window, nothing can be told.
    const auto active = Property(x, root, m_atoms[0], XCB_ATOM_WINDOW);
    if (!active || active->empty()) {
        m_state = SignalState::Unknown;
        return;
    }
    const auto states = active->front() != 0
                            ? Property(x, active->front(), m_atoms[1], XCB_ATOM_ATOM)
                            : std::nullopt;
    bool full = false;
    for (std::uint32_t state : states.value_or(std::vector<std::uint32_t>{})) {
        full = full || state == m_atoms[2];
    }
    m_state = full ? SignalState::On : SignalState::Off;
}

}  // namespace tolvane
