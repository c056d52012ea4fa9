// The SDL display on SDL's offscreen driver: desktop windows follow the window manager's, show
// the backing stores' pixels, and SDL's events come back as the window manager's input.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "platform/display.h"
#include "platform/display/sdl/internal/keymap.h"
#include "platform/testing.h"
#include "platform/win.h"
#include "support/geometry.h"

namespace {
using namespace win;

TEST(SdlKeys, MapToVirtualKeysAndScanCodes) {
  struct Case {
    SDL_Scancode sc;
    SDL_Keycode sym;
    Uint16 mod;
    UINT vk, scan;
    bool extended, text;
  };
  const Case cases[] = {
      {SDL_SCANCODE_A, SDLK_a, 0, 'A', 0x1E, false, true},
      {SDL_SCANCODE_Q, SDLK_a, 0, 'A', 0x10, false, true},  // a French keyboard's A: its place
      {SDL_SCANCODE_A, SDLK_a, KMOD_LCTRL, 'A', 0x1E, false, false},
      {SDL_SCANCODE_1, SDLK_1, KMOD_LSHIFT, '1', 0x02, false, true},
      {SDL_SCANCODE_0, SDLK_0, 0, '0', 0x0B, false, true},
      {SDL_SCANCODE_F1, SDLK_F1, 0, VK_F1, 0x3B, false, false},
      {SDL_SCANCODE_F12, SDLK_F12, 0, VK_F12, 0x58, false, false},
      {SDL_SCANCODE_RETURN, SDLK_RETURN, 0, VK_RETURN, 0x1C, false, false},
      {SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER, 0, VK_RETURN, 0x1C, true, false},
      {SDL_SCANCODE_LEFT, SDLK_LEFT, 0, VK_LEFT, 0x4B, true, false},
      {SDL_SCANCODE_DELETE, SDLK_DELETE, 0, VK_DELETE, 0x53, true, false},
      {SDL_SCANCODE_KP_7, SDLK_KP_7, KMOD_NUM, VK_NUMPAD0 + 7, 0x47, false, true},
      {SDL_SCANCODE_KP_7, SDLK_KP_7, 0, VK_HOME, 0x47, false, false},
      {SDL_SCANCODE_KP_PERIOD, SDLK_KP_PERIOD, 0, VK_DELETE, 0x53, false, false},
      {SDL_SCANCODE_RCTRL, SDLK_RCTRL, 0, VK_RCONTROL, 0x1D, true, false},
      {SDL_SCANCODE_RALT, SDLK_RALT, 0, VK_RMENU, 0x38, true, false},
      {SDL_SCANCODE_SEMICOLON, SDLK_SEMICOLON, 0, VK_OEM_1, 0x27, false, true},
      {SDL_SCANCODE_SPACE, SDLK_SPACE, 0, VK_SPACE, 0x39, false, true},
      {SDL_SCANCODE_MUTE, SDLK_MUTE, 0, 0, 0, false, false},
  };
  for (const Case& c : cases) {
    SDL_Keysym k{c.sc, c.sym, c.mod, 0};
    display::KeyCode got = display::KeyFromSdl(k);
    EXPECT_EQ(got.vk, c.vk) << SDL_GetScancodeName(c.sc);
    EXPECT_EQ(got.scan, c.scan) << SDL_GetScancodeName(c.sc);
    EXPECT_EQ(got.extended, c.extended) << SDL_GetScancodeName(c.sc);
    EXPECT_EQ(display::MakesText(k), c.text) << SDL_GetScancodeName(c.sc);
  }
}

std::vector<MSG> received;

LRESULT RecordProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_LBUTTONDOWN || msg == WM_KEYDOWN || msg == WM_CHAR || msg == WM_SYSCOMMAND ||
      msg == WM_CLOSE)
    received.push_back(MSG{hwnd, msg, wp, lp, 0, {}});
  return DefWindowProc(hwnd, msg, wp, lp);
}

class SdlDisplayTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    display_ = display::SdlDisplay::Open().release();
  }
  static void TearDownTestSuite() {
    delete display_;
    display_ = nullptr;
  }
  void SetUp() override {
    if (!display_) GTEST_SKIP() << "SDL's offscreen driver is not there";
    received.clear();
    WNDCLASSEX wc{};
    wc.lpfnWndProc = RecordProc;
    wc.lpszClassName = "SdlTestRed";
    wc.hbrBackground = CreateSolidBrush(RGB(255, 0, 0));  // the class deletes it
    RegisterClassEx(&wc);
  }
  void TearDown() override {
    for (HWND h : made_)
      if (IsWindow(h)) DestroyWindow(h);
    if (display_) display_->Sync();
    UnregisterClass("SdlTestRed", nullptr);
  }
  HWND Make(DWORD style, int x, int y, int w, int h, HWND owner = nullptr) {
    HWND hwnd =
        CreateWindowEx(0, "SdlTestRed", "t", style, x, y, w, h, owner, nullptr, nullptr, nullptr);
    UpdateWindow(hwnd);
    made_.push_back(hwnd);
    return hwnd;
  }
  // The desktop window standing for a window: found by its place and size among SDL's.
  static SDL_Window* DesktopWindow(HWND hwnd) {
    RECT r;
    GetWindowRect(hwnd, &r);
    for (Uint32 id = 1; id < 256; ++id) {
      SDL_Window* w = SDL_GetWindowFromID(id);
      if (!w) continue;
      int x, y, cx, cy;
      SDL_GetWindowPosition(w, &x, &y);
      SDL_GetWindowSize(w, &cx, &cy);
      if (x == r.left && y == r.top && cx == RectWidth(r) && cy == RectHeight(r)) return w;
    }
    return nullptr;
  }
  static void Dispatch() {
    display_->Pump(0);
    MSG m;
    while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&m);
      DispatchMessage(&m);
    }
  }
  static void Push(SDL_Event e) { SDL_PushEvent(&e); }
  static void PushWindowEvent(SDL_Window* w, Uint8 event, int data1 = 0, int data2 = 0) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.windowID = SDL_GetWindowID(w);
    e.window.event = event;
    e.window.data1 = data1;
    e.window.data2 = data2;
    Push(e);
  }

  static display::SdlDisplay* display_;
  std::vector<HWND> made_;
};
display::SdlDisplay* SdlDisplayTest::display_ = nullptr;

TEST_F(SdlDisplayTest, DesktopWindowsFollowTheWindowManagers) {
  HWND main = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 50, 300, 200);
  HWND menu = Make(WS_POPUP | WS_VISIBLE, 150, 120, 80, 60, main);
  display_->Sync();
  SDL_Window* dm = DesktopWindow(main);
  SDL_Window* dp = DesktopWindow(menu);
  ASSERT_TRUE(dm && dp);
  Uint32 fm = SDL_GetWindowFlags(dm), fp = SDL_GetWindowFlags(dp);
  EXPECT_TRUE(fm & SDL_WINDOW_BORDERLESS);
  EXPECT_FALSE(fm & (SDL_WINDOW_POPUP_MENU | SDL_WINDOW_SKIP_TASKBAR | SDL_WINDOW_HIDDEN));
  EXPECT_TRUE(fp & SDL_WINDOW_POPUP_MENU);
  EXPECT_TRUE(fp & SDL_WINDOW_SKIP_TASKBAR);

  MoveWindow(main, 40, 30, 320, 240, TRUE);
  display_->Sync();
  EXPECT_EQ(DesktopWindow(main), dm);  // the same desktop window, moved and sized

  ShowWindow(menu, SW_HIDE);
  display_->Sync();
  EXPECT_TRUE(SDL_GetWindowFlags(dp) & SDL_WINDOW_HIDDEN);
  Uint32 id = SDL_GetWindowID(dm);
  DestroyWindow(main);  // takes the owned popup along
  display_->Sync();
  EXPECT_EQ(SDL_GetWindowFromID(id), nullptr);
}

TEST_F(SdlDisplayTest, PresentsTheBackingStoreAndOnlyWhatChanged) {
  HWND hwnd = Make(WS_POPUP | WS_VISIBLE, 10, 10, 64, 48);
  display_->Sync();
  SDL_Window* w = DesktopWindow(hwnd);
  ASSERT_TRUE(w);
  SDL_Surface* s = SDL_GetWindowSurface(w);
  ASSERT_TRUE(s && s->format->BytesPerPixel == 4);
  auto pixel = [&](int x, int y) {
    Uint32 v = *reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(s->pixels) +
                                                y * s->pitch + x * 4);
    Uint8 r, g, b;
    SDL_GetRGB(v, s->format, &r, &g, &b);
    return RGB(r, g, b);
  };
  EXPECT_EQ(pixel(0, 0), RGB(255, 0, 0));
  EXPECT_EQ(pixel(63, 47), RGB(255, 0, 0));

  std::uint64_t presents = display_->Presents();
  display_->Sync();
  EXPECT_EQ(display_->Presents(), presents) << "nothing changed, nothing presented";

  HDC dc = GetDC(hwnd);
  RECT part{8, 8, 16, 16};
  FillRect(dc, &part, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  ReleaseDC(hwnd, dc);
  display_->Sync();
  EXPECT_EQ(display_->Presents(), presents + 1);
  EXPECT_EQ(pixel(8, 8), RGB(0, 0, 0));
  EXPECT_EQ(pixel(16, 16), RGB(255, 0, 0));
}

TEST_F(SdlDisplayTest, SdlEventsBecomeInputAtScreenCoordinates) {
  HWND hwnd = Make(WS_POPUP | WS_VISIBLE, 200, 100, 120, 90);
  display_->Sync();
  SDL_Window* w = DesktopWindow(hwnd);
  ASSERT_TRUE(w);
  SDL_Event e{};
  e.type = SDL_MOUSEBUTTONDOWN;
  e.button.windowID = SDL_GetWindowID(w);
  e.button.button = SDL_BUTTON_LEFT;
  e.button.state = SDL_PRESSED;
  e.button.x = 30;
  e.button.y = 40;
  Push(e);
  e.type = SDL_MOUSEBUTTONUP;
  e.button.state = SDL_RELEASED;
  Push(e);
  SDL_Event k{};
  k.type = SDL_KEYDOWN;
  k.key.windowID = SDL_GetWindowID(w);
  k.key.state = SDL_PRESSED;
  k.key.keysym = SDL_Keysym{SDL_SCANCODE_B, SDLK_b, 0, 0};
  Push(k);
  k.type = SDL_KEYUP;
  k.key.state = SDL_RELEASED;
  Push(k);
  Dispatch();
  ASSERT_EQ(received.size(), 3u);
  EXPECT_EQ(received[0].message, UINT(WM_LBUTTONDOWN));
  EXPECT_EQ(received[0].lParam, MAKELPARAM(30, 40));
  EXPECT_EQ(received[1].message, UINT(WM_KEYDOWN));
  EXPECT_EQ(received[1].wParam, WPARAM('B'));
  EXPECT_EQ((received[1].lParam >> 16) & 0xFF, 0x30);
  EXPECT_EQ(received[2].message, UINT(WM_CHAR));
  EXPECT_EQ(received[2].wParam, WPARAM('b'));
}

TEST_F(SdlDisplayTest, TheDesktopMovesAndClosesWindows) {
  HWND hwnd = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 60, 200, 150);
  display_->Sync();
  SDL_Window* w = DesktopWindow(hwnd);
  ASSERT_TRUE(w);
  PushWindowEvent(w, SDL_WINDOWEVENT_MOVED, 300, 210);
  Dispatch();
  RECT r;
  GetWindowRect(hwnd, &r);
  EXPECT_EQ(r.left, 300);
  EXPECT_EQ(r.top, 210);
  // The move came from the desktop: following the window manager sends nothing back (here the
  // offscreen window stays where SDL last put it).
  display_->Sync();
  int x, y;
  SDL_GetWindowPosition(w, &x, &y);
  EXPECT_EQ(x, 50);
  EXPECT_EQ(y, 60);

  PushWindowEvent(w, SDL_WINDOWEVENT_CLOSE);
  Dispatch();
  ASSERT_FALSE(received.empty());
  EXPECT_EQ(received[0].message, UINT(WM_SYSCOMMAND));
  EXPECT_EQ(received[0].wParam & 0xFFF0, WPARAM(SC_CLOSE));
  EXPECT_FALSE(IsWindow(hwnd));
}

// The desktop's keyboard focus activates our window; losing it to another application
// deactivates ours.
TEST_F(SdlDisplayTest, ActivationFollowsTheDesktopsFocus) {
  HWND a = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 150);
  HWND b = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300, 10, 200, 150);
  SetActiveWindow(a);
  display_->Sync();
  SDL_Window* wb = DesktopWindow(b);
  ASSERT_TRUE(wb);
  PushWindowEvent(wb, SDL_WINDOWEVENT_FOCUS_GAINED);
  Dispatch();
  EXPECT_EQ(GetActiveWindow(), b);
  PushWindowEvent(wb, SDL_WINDOWEVENT_FOCUS_LOST);
  Dispatch();
  EXPECT_EQ(GetActiveWindow(), nullptr);
  EXPECT_EQ(GetFocus(), nullptr);
}

}  // namespace
