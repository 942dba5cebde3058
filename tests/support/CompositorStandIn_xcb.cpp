#include "CompositorStandIn.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <string>

namespace ZmTest {

CompositorStandIn::CompositorStandIn()
{
    int screenNumber = 0;
    m_connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(m_connection))
        return;
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(m_connection));
    for (int i = 0; i < screenNumber && screens.rem; ++i)
        xcb_screen_next(&screens);
    if (!screens.rem)
        return;
    const std::string name = "_NET_WM_CM_S" + std::to_string(screenNumber);
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
        m_connection, xcb_intern_atom(m_connection, 0, uint16_t(name.size()), name.c_str()), nullptr);
    if (!atom)
        return;
    // The selection belongs to a window of ours; it goes back with the connection.
    const xcb_window_t window = xcb_generate_id(m_connection);
    xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, window, screens.data->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_set_selection_owner(m_connection, window, atom->atom, XCB_CURRENT_TIME);
    xcb_get_selection_owner_reply_t* owner =
        xcb_get_selection_owner_reply(m_connection, xcb_get_selection_owner(m_connection, atom->atom), nullptr);
    m_owns = owner && owner->owner == window;
    std::free(owner);
    std::free(atom);
}

CompositorStandIn::~CompositorStandIn()
{
    xcb_disconnect(m_connection);
}

} // namespace ZmTest
