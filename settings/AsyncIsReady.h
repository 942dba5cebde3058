#pragma once

#include <functional>

// Asks isReady up to tries times, sleeping pauseSeconds on the calling thread between answers that are not ready,
// then tells outcome whether it became ready. A positive answer (a device count) is ready; 0 and engine error codes
// are not. Logs the number of answers that were not ready.
void asyncIsReady(const std::function<int()>& isReady, int tries, int pauseSeconds,
                  const std::function<void(bool)>& outcome);
