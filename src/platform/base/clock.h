#pragma once
// Tick counts, read from the one clock every timer, tick count and blink reads.
#include <cstdint>

#include "platform/base/types.h"

namespace win {

DWORD GetTickCount();
std::uint64_t GetTickCount64();

}  // namespace win
