// A clean start for tests: what every part of the platform holds goes back to how a new
// process finds it, and a class takes its background brush with it, as on Windows.
#include <gtest/gtest.h>

#include "platform/testing.h"
#include "platform/win.h"

namespace win {
namespace {

LRESULT Plain(HWND h, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProc(h, m, wp, lp); }
LRESULT PassHook(int code, WPARAM wp, LPARAM lp) { return CallNextHookEx(nullptr, code, wp, lp); }

TEST(Reset, EveryPartGoesBackToItsStart) {
  WNDCLASSEX wc;
  wc.lpszClassName = "ResetTest";
  wc.lpfnWndProc = Plain;
  ASSERT_NE(RegisterClassEx(&wc), 0);
  HWND w = CreateWindowEx(0, "ResetTest", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100,
                          nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(w);
  SetFocus(w);
  SetCapture(w);
  CreateCaret(w, nullptr, 2, 12);
  SetTimer(w, 1, 100, nullptr);
  PostMessage(nullptr, WM_USER, 0, 0);
  SetWindowsHookEx(WH_CBT, PassHook, nullptr, GetCurrentThreadId());
  ASSERT_TRUE(OpenClipboard(w));
  EmptyClipboard();
  SetClipboardData(CF_TEXT, GlobalAlloc(GMEM_MOVEABLE, 4));
  SetDoubleClickTime(900);
  UseManualClock(5);
  InjectKey(VK_SHIFT, 0x2A, true);
  SetLastError(ERROR_ACCESS_DENIED);

  ResetPlatformForTesting();

  struct Check {
    const char* what;
    bool clean;
  } checks[] = {
      {"windows", !IsWindow(w) && !GetTopWindow(nullptr)},
      {"focus and activation", !GetFocus() && !GetActiveWindow()},
      {"capture", !GetCapture()},
      {"caret",
       [] {
         POINT p;
         return !GetCaretPos(&p);
       }()},
      {"queue",
       [] {
         MSG m;
         return !PeekMessage(&m, nullptr, 0, 0, PM_REMOVE);
       }()},
      {"clipboard", !GetOpenClipboardWindow() && CountClipboardFormats() == 0},
      {"classes",
       [] {
         WNDCLASSEX out;
         return !GetClassInfoEx(nullptr, "ResetTest", &out);
       }()},
      {"settings", GetDoubleClickTime() == 500},
      {"clock", !IsManualClock()},
      {"keyboard", GetAsyncKeyState(VK_SHIFT) == 0},
      {"handles", LiveHandleCount() == 0},
  };
  for (const Check& c : checks) EXPECT_TRUE(c.clean) << c.what;
}

TEST(Reset, AClassDeletesItsBackgroundBrushWithItself) {
  HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
  WNDCLASSEX wc;
  wc.lpszClassName = "BrushOwner";
  wc.lpfnWndProc = Plain;
  wc.hbrBackground = brush;
  ASSERT_NE(RegisterClassEx(&wc), 0);
  ASSERT_TRUE(UnregisterClass("BrushOwner", nullptr));
  EXPECT_EQ(GetObjectType(brush), 0u);
  // A colour index and a stock brush are no brushes of the class's own.
  for (HBRUSH shared : {reinterpret_cast<HBRUSH>(std::uintptr_t(COLOR_WINDOW + 1)),
                        static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))}) {
    wc.hbrBackground = shared;
    ASSERT_NE(RegisterClassEx(&wc), 0);
    SetLastError(ERROR_SUCCESS);
    ASSERT_TRUE(UnregisterClass("BrushOwner", nullptr));
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
  }
  EXPECT_EQ(GetObjectType(GetStockObject(WHITE_BRUSH)), OBJ_BRUSH);
}

}  // namespace
}  // namespace win
