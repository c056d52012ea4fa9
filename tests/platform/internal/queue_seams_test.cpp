// The window manager's seams inside the queue and towards the displays: queued input and paint
// offered through their sources, the hook chains' call points, the display's wait, and the
// cursors as a display draws them.
#include <atomic>
#include <chrono>
#include <thread>

#include "platform/user/display_link.h"
#include "platform/user/internal/queue.h"
#include "support/user_fixture.h"

namespace usertest {
namespace {

class QueueSeamsTest : public UserTest {
 protected:
  void TearDown() override {
    SetInputSource(nullptr);
    SetPaintSource(nullptr);
    UserTest::TearDown();
  }
  static Seq Drain() { return DrainQueue(false); }
};

TEST_F(QueueSeamsTest, QueueOrderSentPostedQuitInputPaintTimers) {
  static HWND w;
  w = Make(WS_POPUP);
  quiet = {WM_TIMER, WM_PAINT, WM_KEYDOWN};
  // One keystroke and one paint waiting, offered through the input and paint seams.
  static int keys, paints;
  keys = paints = 1;
  SetInputSource([](MSG* m, HWND, UINT min, UINT max, bool remove) {
    if (!keys || !(min == 0 && max == 0)) return false;
    *m = MSG{w, WM_KEYDOWN, 'A', 1};
    if (remove) --keys;
    return true;
  });
  SetPaintSource([](MSG* m, HWND, UINT, UINT, bool remove) {
    if (!paints) return false;
    *m = MSG{w, WM_PAINT};
    if (remove) --paints;
    return true;
  });
  SetTimer(w, 1, 10, nullptr);
  Timer(w, 1);
  AdvanceClock(10);  // the timer is due before anything is posted
  react = [](HWND h, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
    // A send from inside a handler runs at once, ahead of everything queued.
    if (m == WM_USER + 1) SendMessage(h, WM_USER + 9, 0, 0);
    return std::nullopt;
  };
  PostMessage(w, WM_USER + 1, 0, 0);
  PostMessage(nullptr, WM_USER + 2, 0, 0);  // a thread message
  PostMessage(w, WM_USER + 3, 0, 0);
  log.clear();
  EXPECT_EQ(Drain(),
            (Seq{"WM_USER+1", "WM_USER+2", "WM_USER+3", "WM_KEYDOWN", "WM_PAINT", "WM_TIMER"}));
  EXPECT_EQ(Names({{w, "w"}}), (Seq{"w:WM_USER+1", "w:WM_USER+9", "w:WM_USER+3"}));

  // The quit message waits for the posted ones, and comes before input and timers.
  AdvanceClock(10);
  keys = 1;
  PostMessage(w, WM_USER + 4, 0, 0);
  PostQuitMessage(3);
  MSG m;
  ASSERT_TRUE(GetMessage(&m, nullptr, 0, 0));
  EXPECT_EQ(m.message, WM_USER + 4);
  EXPECT_FALSE(GetMessage(&m, nullptr, 0, 0));
  EXPECT_EQ(m.message, WM_QUIT);
  EXPECT_EQ(m.wParam, 3u);
  EXPECT_EQ(Drain(), (Seq{"WM_KEYDOWN", "WM_TIMER"}));
}

TEST(QueueSeams, AnotherThreadEndsTheDisplaysWait) {
  UseRealClock();
  MSG m;
  // Another thread wakes the loop; what it posted through the seam is seen.
  static std::atomic<bool> ready{false};
  ready = false;
  SetEventWaiter([](int timeout) {
    while (!ready) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    PostMessage(nullptr, WM_USER + 7, 0, 0);
  });
  std::thread other([] { ready = true; });
  ASSERT_TRUE(GetMessage(&m, nullptr, 0, 0));
  EXPECT_EQ(m.message, WM_USER + 7);
  other.join();
  SetEventWaiter(nullptr);
}

LRESULT SwallowRightButton(int code, WPARAM wp, LPARAM lp) {
  if (code >= 0 && (wp == WM_RBUTTONDOWN || wp == WM_RBUTTONUP)) return 2;
  return CallNextHookEx(nullptr, code, wp, lp);
}

TEST_F(QueueSeamsTest, TheMouseHookChainAtItsCallPoint) {
  HHOOK mouse = SetWindowsHookEx(WH_MOUSE, SwallowRightButton, nullptr, GetCurrentThreadId());
  MOUSEHOOKSTRUCT mh{{5, 5}, nullptr, 1, 0};
  EXPECT_EQ(CallHookChain(WH_MOUSE, HC_ACTION, WM_RBUTTONDOWN, reinterpret_cast<LPARAM>(&mh)), 2);
  EXPECT_EQ(CallHookChain(WH_MOUSE, HC_ACTION, WM_LBUTTONDOWN, reinterpret_cast<LPARAM>(&mh)), 0);
  UnhookWindowsHookEx(mouse);
  EXPECT_FALSE(HasHooks(WH_MOUSE));
}

TEST(DisplayLink, SystemCursorsAsTheDisplayDrawsThem) {
  HCURSOR hand = LoadCursor(nullptr, IDC_HAND);
  CursorShape shape;
  POINT hot;
  ASSERT_TRUE(GetCursorShape(hand, &shape, &hot));
  EXPECT_EQ(shape, CursorShape::Hand);
  EXPECT_EQ(hot.x, 6);
  EXPECT_EQ(hot.y, 0);
  EXPECT_FALSE(GetCursorShape(reinterpret_cast<HCURSOR>(GetDesktopWindow()), &shape, &hot));
  EXPECT_TRUE(DestroyCursor(hand));  // shared: it stays
  EXPECT_TRUE(GetCursorShape(hand, nullptr, nullptr));
  EXPECT_EQ(ShowCursor(FALSE), -1);
  EXPECT_EQ(CursorShowCount(), -1);
  EXPECT_EQ(ShowCursor(TRUE), 0);
  EXPECT_EQ(CursorShowCount(), 0);
}

}  // namespace
}  // namespace usertest
