// The SDL display: from a mouse press SDL reports to the repainted window handed to the
// desktop, for a 700×520 framed window. Runs on the X server in DISPLAY (Xvfb will do), else on
// SDL's offscreen driver; skipped when SDL has no video at all.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "platform/display.h"
#include "platform/testing.h"
#include "platform/win.h"

using namespace win;

namespace {

int paints = 0;

LRESULT ClickProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_LBUTTONDOWN: InvalidateRect(hwnd, nullptr, TRUE); return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      RECT rc;
      GetClientRect(hwnd, &rc);
      HBRUSH b = CreateSolidBrush(RGB(40 * (paints % 6), 120, 200));
      FillRect(dc, &rc, b);
      DeleteObject(b);
      SetBkMode(dc, TRANSPARENT);
      TextOut(dc, 20, 20, "点击后重画整个窗口", 27);
      ++paints;
      EndPaint(hwnd, &ps);
      return 0;
    }
  }
  return DefWindowProc(hwnd, msg, wp, lp);
}

void BM_SdlClickToPresented(benchmark::State& state) {
  // One display for every run: SDL's video comes up once per process.
  static std::string why;
  static auto display = [] {
    if (!std::getenv("DISPLAY")) setenv("SDL_VIDEODRIVER", "offscreen", 0);
    return display::SdlDisplay::Open(&why);
  }();
  if (!display) {
    state.SkipWithError(("no SDL video: " + why).c_str());
    return;
  }
  WNDCLASSEX wc{};
  wc.lpfnWndProc = ClickProc;
  wc.lpszClassName = "SdlBenchClick";
  wc.hbrBackground = reinterpret_cast<HBRUSH>(std::intptr_t(COLOR_WINDOW + 1));
  RegisterClassEx(&wc);
  HWND hwnd = CreateWindowEx(0, "SdlBenchClick", "点击", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                             700, 520, nullptr, nullptr, nullptr, nullptr);
  UpdateWindow(hwnd);
  display->Sync();
  Uint32 id = 0;
  for (Uint32 i = 1; i < 64 && !id; ++i)
    if (SDL_GetWindowFromID(i)) id = i;
  auto pump_until_presented = [&] {
    std::uint64_t before = display->Presents();
    while (display->Presents() == before) {
      MSG m;
      while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessage(&m);
      }
      // What the message loop does before it waits: present what changed, take SDL's events.
      display->Sync();
      display->Pump(0);
    }
  };
  for (auto _ : state) {
    for (Uint8 pressed : {SDL_PRESSED, SDL_RELEASED}) {
      SDL_Event e{};
      e.type = pressed ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
      e.button.windowID = id;
      e.button.button = SDL_BUTTON_LEFT;
      e.button.state = pressed;
      e.button.x = 350;
      e.button.y = 260;
      SDL_PushEvent(&e);
    }
    pump_until_presented();
  }
  state.SetLabel(display->VideoDriver());
  DestroyWindow(hwnd);
  UnregisterClass("SdlBenchClick", nullptr);
}
BENCHMARK(BM_SdlClickToPresented)->Unit(benchmark::kMillisecond);

}  // namespace
