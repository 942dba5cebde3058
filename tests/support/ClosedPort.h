#pragma once

#include <QtGlobal>

namespace ZmTest {

// A loopback port that nothing listens on: one the system just handed out and that was closed again at once.
// 0 when no port could be had.
quint16 closedPort();

} // namespace ZmTest
