#pragma once
// The one clock every timer, tick count and blink reads: real monotonic time, or a manual
// clock that tests step (platform/testing.h).
#include "platform/base/internal/access.h"

#include <cstdint>

#include "platform/base/clock.h"

namespace win {

// Milliseconds since the clock started (real) or as set (manual).
std::uint64_t ClockNowMs();

}  // namespace win
