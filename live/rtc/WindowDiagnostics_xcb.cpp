#include "live/rtc/WindowDiagnostics.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace {

struct ConnectionCloser
{
    void operator()(xcb_connection_t* connection) const { xcb_disconnect(connection); }
};

} // namespace

NativeWindowState queryNativeWindow(quintptr window)
{
    NativeWindowState state;
    std::unique_ptr<xcb_connection_t, ConnectionCloser> connection(xcb_connect(nullptr, nullptr));
    if (xcb_connection_has_error(connection.get())) {
        state.error = QStringLiteral("no X display");
        return state;
    }
    const auto id = xcb_window_t(window);
    xcb_generic_error_t* error = nullptr;
    xcb_get_geometry_reply_t* geometry =
        xcb_get_geometry_reply(connection.get(), xcb_get_geometry(connection.get(), id), &error);
    if (!geometry) {
        state.error = error ? QStringLiteral("X error %1").arg(error->error_code) : QStringLiteral("no reply");
        std::free(error);
        return state;
    }
    xcb_translate_coordinates_reply_t* origin = xcb_translate_coordinates_reply(
        connection.get(), xcb_translate_coordinates(connection.get(), id, geometry->root, 0, 0), nullptr);
    xcb_get_window_attributes_reply_t* attributes =
        xcb_get_window_attributes_reply(connection.get(), xcb_get_window_attributes(connection.get(), id), nullptr);
    state.readable = origin != nullptr;
    if (origin) {
        state.left = origin->dst_x;
        state.top = origin->dst_y;
        state.right = state.left + geometry->width;
        state.bottom = state.top + geometry->height;
    } else {
        state.error = QStringLiteral("no position");
    }
    state.visible = attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
    std::free(origin);
    std::free(attributes);
    std::free(geometry);
    return state;
}
