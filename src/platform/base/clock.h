#pragma once
// The one clock every timer, tick count and blink reads: real monotonic time, or a manual
// clock that tests step.
#include <cstdint>

#include "platform/base/types.h"

namespace win {

// Milliseconds since the clock started (real) or as set (manual).
std::uint64_t ClockNowMs();
void UseManualClock(std::uint64_t start_ms = 0);
void UseRealClock();
bool IsManualClock();
// Moves the manual clock forward; no effect on the real clock.
void AdvanceClock(std::uint64_t ms);

DWORD GetTickCount();
std::uint64_t GetTickCount64();

}  // namespace win
