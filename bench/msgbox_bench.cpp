// A message box appearing: created, laid out and painted, then ended as soon as its modal loop
// has nothing left to do.
#include <benchmark/benchmark.h>

#include "platform/testing.h"
#include "platform/win.h"

namespace {
using namespace win;

bool HasUnpainted(HWND h) {
  if (GetUpdateRect(h, nullptr, FALSE)) return true;
  for (HWND c = GetWindow(h, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    if (GetUpdateRect(c, nullptr, FALSE)) return true;
  return false;
}

void BM_MessageBoxAppears(benchmark::State& state) {
  UseManualClock(0);
  HWND owner = CreateWindowEx(0, "Static", "owner", WS_POPUP | WS_VISIBLE, 0, 0, 700, 520, nullptr,
                              nullptr, nullptr, nullptr);
  bool unpainted = false;
  // The loop goes idle once every paint is done: that is when the box has appeared.
  SetIdleHandler([&] {
    HWND box = GetActiveWindow();
    if (!box || box == owner) {
      PostQuitMessage(0);
      return;
    }
    unpainted |= HasUnpainted(box);
    PostMessage(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  });
  for (auto _ : state) {
    int r = MessageBox(owner, "文件无法保存：磁盘已满。\r请删除一些文件后再试一次。", "Vellisa",
                       MB_OK | MB_ICONEXCLAMATION);
    if (r != IDOK || unpainted) {
      state.SkipWithError("the message box did not appear and end as expected");
      break;
    }
  }
  SetIdleHandler(nullptr);
  DestroyWindow(owner);
  MSG m;
  while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {}
  UseRealClock();
}
BENCHMARK(BM_MessageBoxAppears)->Unit(benchmark::kMillisecond);

}  // namespace
