#include "platform/base/internal/clock.h"
#include "platform/base/internal/reset.h"
#include "platform/testing.h"

#include <chrono>

namespace win {
namespace {
bool manual = false;
std::uint64_t manual_now = 0;
const auto real_start = std::chrono::steady_clock::now();
}  // namespace

std::uint64_t ClockNowMs() {
  if (manual) return manual_now;
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                               real_start)
      .count();
}
void UseManualClock(std::uint64_t start_ms) {
  manual = true;
  manual_now = start_ms;
}
void UseRealClock() { manual = false; }
bool IsManualClock() { return manual; }
void AdvanceClock(std::uint64_t ms) {
  if (manual) manual_now += ms;
}
DWORD GetTickCount() { return static_cast<DWORD>(ClockNowMs()); }
std::uint64_t GetTickCount64() { return ClockNowMs(); }

namespace {
void ResetClock() {
  manual = false;
  manual_now = 0;
}
[[maybe_unused]] const bool kClockReset = RegisterReset(ResetStage::Base, ResetClock);
}  // namespace

}  // namespace win
