#pragma once

struct xcb_connection_t;

namespace ZmTest {

// Takes, for its lifetime, the X selection by which a compositing manager makes itself known
// ("_NET_WM_CM_S<screen>"), so that the program believes one runs; nothing is composited.
class CompositorStandIn
{
public:
    CompositorStandIn();
    ~CompositorStandIn();
    CompositorStandIn(const CompositorStandIn&) = delete;
    CompositorStandIn& operator=(const CompositorStandIn&) = delete;

    // False without an X display or when another client kept the selection.
    bool owns() const { return m_owns; }

private:
    xcb_connection_t* m_connection = nullptr;
    bool m_owns = false;
};

} // namespace ZmTest
