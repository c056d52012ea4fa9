// The cost of a message: sent straight to a window procedure, and posted then taken from the
// queue.
#include <benchmark/benchmark.h>

#include "platform/win.h"

namespace {
using namespace win;

LRESULT CountingProc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_USER) return LRESULT(wp + 1);
  return DefWindowProc(h, m, wp, lp);
}

// A hidden window of its own class, so nothing paints or activates while we measure.
struct BenchWindow {
  HWND hwnd = nullptr;
  BenchWindow() {
    WNDCLASSEX wc;
    wc.lpszClassName = "QueueBench";
    wc.lpfnWndProc = CountingProc;
    RegisterClassEx(&wc);
    hwnd = CreateWindowEx(0, "QueueBench", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                          nullptr);
  }
  ~BenchWindow() {
    DestroyWindow(hwnd);
    UnregisterClass("QueueBench", nullptr);
  }
};

void BM_SendMessage(benchmark::State& state) {
  BenchWindow w;
  WPARAM n = 0;
  for (auto _ : state) {
    n = WPARAM(SendMessage(w.hwnd, WM_USER, n, 0));
    benchmark::DoNotOptimize(n);
  }
  if (n != WPARAM(state.iterations())) state.SkipWithError("the procedure was not called");
}
BENCHMARK(BM_SendMessage);

void BM_PostAndGetMessage(benchmark::State& state) {
  BenchWindow w;
  MSG msg;
  std::int64_t got = 0;
  for (auto _ : state) {
    PostMessage(w.hwnd, WM_USER, 1, 2);
    got += GetMessage(&msg, nullptr, 0, 0) && msg.message == WM_USER;
    benchmark::DoNotOptimize(msg);
  }
  if (got != state.iterations()) state.SkipWithError("a posted message went missing");
}
BENCHMARK(BM_PostAndGetMessage);

// The loop of a program: post, peek with removal, dispatch to the procedure.
void BM_PostPeekDispatch(benchmark::State& state) {
  BenchWindow w;
  MSG msg;
  std::int64_t sum = 0;
  for (auto _ : state) {
    PostMessage(w.hwnd, WM_USER, 1, 0);
    if (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) sum += DispatchMessage(&msg);
  }
  if (sum != 2 * state.iterations()) state.SkipWithError("a posted message went missing");
}
BENCHMARK(BM_PostPeekDispatch);

}  // namespace
