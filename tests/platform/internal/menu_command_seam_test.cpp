// The window manager hands the menu system commands to the menus' handler.
#include <tuple>
#include <vector>

#include "platform/user/internal/window.h"
#include "support/user_fixture.h"

namespace usertest {
namespace {

// SC_KEYMENU and SC_MOUSEMENU go to the menus' handler as the window got them; without one
// they do nothing.
TEST_F(UserTest, MenuCommandsGoToTheMenuHandler) {
  HWND w = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  RECT before;
  GetWindowRect(w, &before);
  SendMessage(w, WM_SYSCOMMAND, SC_KEYMENU, 'f');
  static std::vector<std::tuple<HWND, WPARAM, LPARAM>> calls;
  calls.clear();
  user::SetMenuCommandHandler([](HWND h, WPARAM wp, LPARAM lp) { calls.emplace_back(h, wp, lp); });
  SendMessage(w, WM_SYSCOMMAND, SC_KEYMENU | 1, 'f');
  SendMessage(w, WM_SYSCOMMAND, SC_MOUSEMENU | HTSYSMENU, MAKELPARAM(110, 105));
  SendMessage(w, WM_SYSCOMMAND, SC_CONTEXTHELP, 0);
  user::SetMenuCommandHandler(nullptr);
  SendMessage(w, WM_SYSCOMMAND, SC_KEYMENU, 0);
  EXPECT_EQ(calls,
            (std::vector<std::tuple<HWND, WPARAM, LPARAM>>{
                {w, SC_KEYMENU | 1, 'f'}, {w, SC_MOUSEMENU | HTSYSMENU, MAKELPARAM(110, 105)}}));
  RECT after;
  GetWindowRect(w, &after);
  EXPECT_EQ(after, before);  // neither moved nor sized
}

}  // namespace
}  // namespace usertest
