#pragma once

namespace Platform {
class SingleInstanceLock;
}

// Takes the single-instance lock; while another copy holds it, tries again every 100 ms for up to waitMs (a copy
// started by a restart waits for the copy that started it to end). True when the lock is held.
bool acquireInstanceLock(Platform::SingleInstanceLock& lock, int waitMs);
