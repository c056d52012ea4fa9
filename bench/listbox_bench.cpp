// A 1 000-item list box scrolled one page and repainted.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/win.h"

namespace {
using namespace win;

void BM_ListBoxPageScrollAndRepaint(benchmark::State& state) {
  HWND top = CreateWindowEx(0, "ListBox", "", WS_POPUP | WS_VISIBLE | WS_VSCROLL, 0, 0, 200, 400,
                            nullptr, nullptr, nullptr, nullptr);
  for (int i = 0; i < 1000; ++i)
    SendMessage(top, LB_ADDSTRING, 0,
                reinterpret_cast<LPARAM>(("第" + std::to_string(i) + "项").c_str()));
  UpdateWindow(top);
  bool down = true;
  for (auto _ : state) {
    SendMessage(top, WM_VSCROLL, down ? SB_PAGEDOWN : SB_PAGEUP, 0);
    UpdateWindow(top);
    if (GetUpdateRect(top, nullptr, FALSE)) {
      state.SkipWithError("something was left unpainted");
      break;
    }
    if (SendMessage(top, LB_GETTOPINDEX, 0, 0) >= 900) down = false;
    if (SendMessage(top, LB_GETTOPINDEX, 0, 0) == 0) down = true;
  }
  DestroyWindow(top);
}
BENCHMARK(BM_ListBoxPageScrollAndRepaint)->Unit(benchmark::kMicrosecond);

}  // namespace
