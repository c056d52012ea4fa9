// Dragging a 700×520 top-level window with a few children by its caption (or, for comparison,
// by its bottom-right corner): one mouse move through the move (size) loop, the window moved
// (sized) and whatever it needs repainted; with a screen, the headless display also composes
// the whole screen after each move, as a frame to present.
#include <benchmark/benchmark.h>

#include "bench_support.h"
#include "platform/display.h"
#include "platform/testing.h"
#include "platform/win.h"

namespace {
using namespace win;

int changes = 0, paints = 0;

LRESULT DragProc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_WINDOWPOSCHANGED) ++changes;
  if (m == WM_PAINT) ++paints;
  return bench::FillingProc(h, m, wp, lp);
}

void Drain() {
  MSG m;
  while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&m);
}

void BM_DragWindow(benchmark::State& state) {
  const bool corner = state.range(0) != 0, compose = state.range(1) != 0;
  // The caption, or the sizing border's corner.
  const POINT grab = corner ? POINT{798, 618} : POINT{300, 110};
  UseManualClock(1000);
  WNDCLASSEX wc;
  wc.lpszClassName = "DragBench";
  wc.lpfnWndProc = DragProc;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(std::uintptr_t(COLOR_BTNFACE + 1));
  RegisterClassEx(&wc);
  {
    display::HeadlessDisplay screen;
    HWND top =
        CreateWindowEx(0, "DragBench", "Drag", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN,
                       100, 100, 700, 520, nullptr, nullptr, nullptr, nullptr);
    for (int i = 0; i < 6; ++i)
      CreateWindowEx(0, "DragBench", "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 10 + i * 110, 10,
                     100, 400, top, reinterpret_cast<HMENU>(std::intptr_t(i + 1)), nullptr,
                     nullptr);
    Drain();
    changes = paints = 0;
    // The loop asks for input whenever the queue is empty: each time, one more move, until the
    // benchmark has enough; then the release.
    bool released = false;
    int i = 0;
    SetIdleHandler([&] {
      if (released) return;
      if (compose) benchmark::DoNotOptimize(screen.CaptureScreen());
      if (state.KeepRunning()) {
        ++i;
        InjectMouseMove(grab.x + (i % 2) * 20, grab.y + (i % 2) * 10);
      } else {
        released = true;
        InjectMouseButton(MouseButton::Left, false, grab.x, grab.y);
      }
    });
    InjectMouseButton(MouseButton::Left, true, grab.x, grab.y);
    Drain();
    SetIdleHandler(nullptr);
    if (!released) {
      while (state.KeepRunning()) {}
      state.SkipWithError("the move loop did not run");
    } else if (changes < i) {
      state.SkipWithError("a mouse move did not move the window");
    }
    state.counters["paints"] = benchmark::Counter(paints, benchmark::Counter::kAvgIterations);
    DestroyWindow(top);
  }
  UnregisterClass("DragBench", nullptr);
  UseRealClock();
}
BENCHMARK(BM_DragWindow)
    ->ArgNames({"corner", "screen"})
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
