// Invalidating and repainting a window the size of the main window with 50 child windows.
#include <benchmark/benchmark.h>

#include "bench_support.h"
#include "platform/win.h"

namespace {
using namespace win;

using bench::FillingProc;

struct Scene {
  HWND top = nullptr;
  HWND last = nullptr;
  Scene() {
    WNDCLASSEX wc;
    wc.lpszClassName = "PaintBench";
    wc.lpfnWndProc = FillingProc;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(std::uintptr_t(COLOR_BTNFACE + 1));
    RegisterClassEx(&wc);
    top = CreateWindowEx(0, "PaintBench", "", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 700,
                         520, nullptr, nullptr, nullptr, nullptr);
    for (int i = 0; i < 50; ++i)
      last = CreateWindowEx(0, "PaintBench", "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS,
                            10 + (i % 10) * 68, 10 + (i / 10) * 100, 64, 96, top,
                            reinterpret_cast<HMENU>(std::intptr_t(i + 1)), nullptr, nullptr);
    Drain();
  }
  ~Scene() {
    DestroyWindow(top);
    UnregisterClass("PaintBench", nullptr);
  }
  static void Drain() {
    MSG m;
    while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&m);
  }
  // A repaint that silently did nothing would look very fast.
  bool Painted(benchmark::State& state) {
    if (GetUpdateRect(top, nullptr, FALSE) || GetUpdateRect(last, nullptr, FALSE)) {
      state.SkipWithError("something was left unpainted");
      return false;
    }
    return true;
  }
};

// Everything at once: RedrawWindow with RDW_UPDATENOW paints parent and children before it
// returns.
void BM_RepaintWithChildrenNow(benchmark::State& state) {
  Scene scene;
  for (auto _ : state) {
    RedrawWindow(scene.top, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    if (!scene.Painted(state)) break;
  }
}
BENCHMARK(BM_RepaintWithChildrenNow)->Unit(benchmark::kMicrosecond);

// The same through the queue: one WM_PAINT after another from the message loop.
void BM_RepaintWithChildrenFromQueue(benchmark::State& state) {
  Scene scene;
  for (auto _ : state) {
    RedrawWindow(scene.top, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    Scene::Drain();
    if (!scene.Painted(state)) break;
  }
}
BENCHMARK(BM_RepaintWithChildrenFromQueue)->Unit(benchmark::kMicrosecond);

}  // namespace
