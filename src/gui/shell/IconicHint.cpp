#include "gui/shell/IconicHint.h"

#include <QGuiApplication>
#include <QWidget>

#include <xcb/xcb.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

namespace IconicHint {

namespace {
// ICCCM 4.1.2.4: the fields of WM_HINTS, and the flag and value of its initial state.
constexpr int HintFields = 9;
constexpr int FlagsField = 0;
constexpr int InitialStateField = 2;
constexpr quint32 StateHint = 1u << 1;
constexpr quint32 NormalState = 1;
} // namespace

void clear(QWidget* window) {
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (QGuiApplication::platformName() != QLatin1String("xcb") || !x11 || !x11->connection() ||
        !window->internalWinId())
        return;
    xcb_connection_t* connection = x11->connection();
    const auto id = xcb_window_t(window->internalWinId());
    const std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
        xcb_get_property_reply(
            connection,
            xcb_get_property(connection, 0, id, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 0, HintFields),
            nullptr),
        &std::free);
    std::array<quint32, HintFields> hints = {};
    if (reply && reply->format == 32) {
        const int length = std::min(xcb_get_property_value_length(reply.get()), int(sizeof hints));
        std::memcpy(hints.data(), xcb_get_property_value(reply.get()), size_t(length));
    }
    hints[FlagsField] |= StateHint;
    hints[InitialStateField] = NormalState;
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 32,
                        HintFields, hints.data());
    xcb_flush(connection);
}

} // namespace IconicHint
