#include "WindowManagerClose.h"

#include <QWidget>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace ZmTest {

namespace {

xcb_atom_t internAtom(xcb_connection_t* connection, const char* name)
{
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, quint16(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : XCB_ATOM_NONE;
    std::free(reply);
    return atom;
}

} // namespace

bool sendWindowManagerClose(QWidget* window)
{
    if (!window || !window->isWindow())
        return false;
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return false;
    }
    const xcb_atom_t protocols = internAtom(connection, "WM_PROTOCOLS");
    const xcb_atom_t deleteWindow = internAtom(connection, "WM_DELETE_WINDOW");
    bool sent = false;
    if (protocols != XCB_ATOM_NONE && deleteWindow != XCB_ATOM_NONE) {
        xcb_client_message_event_t message;
        std::memset(&message, 0, sizeof message);
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 32;
        message.window = xcb_window_t(window->winId());
        message.type = protocols;
        message.data.data32[0] = deleteWindow;
        message.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(connection, 0, message.window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&message));
        // A round trip: the server has handled the message before the connection goes.
        std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
        sent = !xcb_connection_has_error(connection);
    }
    xcb_disconnect(connection);
    return sent;
}

} // namespace ZmTest
