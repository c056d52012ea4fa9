// MessageBox: its windows, keys and mouse, modality, layout and look, driven by input injected
// while its modal loop runs.
#include <cstdlib>

#include "support/user_fixture.h"

namespace usertest {
namespace {

class MessageBoxTest : public UserTest {
 protected:
  // Runs a message box; `act` is called once with the box when its loop first goes idle. A box
  // that is still up long after ends through WM_QUIT, so a failure cannot hang the test.
  int Run(HWND owner, const char* text, const char* caption, UINT type,
          std::function<void(HWND)> act) {
    int idle = 0;
    bool acted = false;
    SetIdleHandler([&] {
      HWND box = FindWindow("#32770", caption);
      if (box && !acted) {
        acted = true;
        act(box);
      } else if (++idle > 20) {
        PostQuitMessage(0);
      }
    });
    int r = MessageBox(owner, text, caption, type);
    SetIdleHandler(nullptr);
    MSG m;
    while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {}
    EXPECT_TRUE(acted);
    return r;
  }
  static void Key(UINT vk, bool alt = false) {
    if (alt) InjectKey(VK_MENU, 0, true);
    InjectKey(vk, 0, true);
    InjectKey(vk, 0, false);
    if (alt) InjectKey(VK_MENU, 0, false);
  }
  static std::vector<HWND> Kids(HWND box) {
    std::vector<HWND> out;
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) out.push_back(c);
    return out;
  }
  static std::string Text(HWND h) {
    char buf[256] = {};
    GetWindowText(h, buf, sizeof buf);
    return buf;
  }
  static std::string Class(HWND h) {
    char buf[64] = {};
    GetClassName(h, buf, sizeof buf);
    return buf;
  }
  static RECT ClientRectIn(HWND child, HWND box) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&r), 2);
    return r;
  }
};

TEST_F(MessageBoxTest, KeysChooseTheButtonsWindowsWouldChoose) {
  struct Case {
    UINT type;
    std::vector<std::pair<UINT, bool>> keys;  // key, with Alt
    int expect;
  };
  const Case cases[] = {
      {MB_OK, {{VK_RETURN, false}}, IDOK},
      {MB_OK, {{VK_ESCAPE, false}}, IDOK},  // OK alone: Escape means OK
      {MB_OKCANCEL, {{VK_ESCAPE, false}}, IDCANCEL},
      {MB_OKCANCEL | MB_DEFBUTTON2, {{VK_RETURN, false}}, IDCANCEL},
      {MB_YESNO, {{VK_ESCAPE, false}, {'N', false}}, IDNO},  // no Cancel: Escape does nothing
      {MB_YESNOCANCEL | MB_DEFBUTTON3, {{VK_RETURN, false}}, IDCANCEL},
      {MB_YESNOCANCEL | MB_DEFBUTTON2, {{VK_RETURN, false}}, IDNO},
      {MB_ABORTRETRYIGNORE, {{'R', true}}, IDRETRY},
      {MB_ABORTRETRYIGNORE, {{'I', false}}, IDIGNORE},
      {MB_ABORTRETRYIGNORE, {{VK_RETURN, false}}, IDABORT},
      {MB_RETRYCANCEL, {{VK_TAB, false}, {VK_RETURN, false}}, IDCANCEL},
      {MB_RETRYCANCEL, {{VK_TAB, false}, {VK_TAB, false}, {VK_SPACE, false}}, IDRETRY},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    int r = Run(nullptr, "Text", "Keys", c.type, [&](HWND) {
      for (auto [vk, alt] : c.keys) Key(vk, alt);
    });
    EXPECT_EQ(r, c.expect);
  }
}

TEST_F(MessageBoxTest, TheCloseBoxCancelsOnlyWhenThereIsACancel) {
  int r = Run(nullptr, "Text", "Close", MB_YESNO, [](HWND box) {
    PostMessage(box, WM_SYSCOMMAND, SC_CLOSE, 0);
    Key(VK_RETURN);
  });
  EXPECT_EQ(r, IDYES);
  r = Run(nullptr, "Text", "Close", MB_RETRYCANCEL,
          [](HWND box) { PostMessage(box, WM_SYSCOMMAND, SC_CLOSE, 0); });
  EXPECT_EQ(r, IDCANCEL);
}

TEST_F(MessageBoxTest, IsADialogWithATextAnIconAndOneButtonEach) {
  std::vector<std::string> seen;
  HICON shown = nullptr;
  // No caption: Windows' "Error". Nobody answers: the program quitting ends the box with 0.
  int r = Run(nullptr, "出错了", nullptr, MB_OK, [&](HWND box) { EXPECT_EQ(Text(box), "Error"); });
  EXPECT_EQ(r, 0);
  r = Run(nullptr, "出错了", "标题",
          MB_YESNOCANCEL | MB_ICONHAND | MB_DEFBUTTON2 | MB_SETFOREGROUND, [&](HWND box) {
            EXPECT_EQ(Class(box), "#32770");
            EXPECT_EQ(Text(box), "标题");
            for (HWND c : Kids(box)) {
              seen.push_back(Class(c) + ":" + std::to_string(GetDlgCtrlID(c)) + ":" + Text(c));
              if (GetDlgCtrlID(c) == 0x440)
                shown = reinterpret_cast<HICON>(SendMessage(c, STM_GETICON, 0, 0));
            }
            EXPECT_EQ(GetFocus(), GetDlgItem(box, IDNO));
            EXPECT_EQ(GetForegroundWindow(), box);
            // Text and buttons in the system's message-box font.
            NONCLIENTMETRICS ncm;
            ASSERT_TRUE(SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0));
            for (int id : {0xFFFF, IDYES}) {
              LOGFONT lf;
              auto f = reinterpret_cast<HFONT>(SendDlgItemMessage(box, id, WM_GETFONT, 0, 0));
              ASSERT_EQ(GetObject(f, sizeof lf, &lf), int(sizeof lf));
              EXPECT_STREQ(lf.lfFaceName, ncm.lfMessageFont.lfFaceName);
              EXPECT_EQ(lf.lfHeight, ncm.lfMessageFont.lfHeight);
            }
            EXPECT_EQ(GetWindowLongPtr(GetDlgItem(box, IDNO), GWL_STYLE) & BS_TYPEMASK,
                      LONG_PTR(BS_DEFPUSHBUTTON));
            PostMessage(box, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED), 0);
          });
  EXPECT_EQ(r, IDYES);
  EXPECT_EQ(seen,
            (std::vector<std::string>{"Static:1088:", "Static:65535:出错了", "Button:6:是(&Y)",
                                      "Button:7:否(&N)", "Button:2:取消"}));
  EXPECT_EQ(shown, LoadIcon(nullptr, IDI_HAND));
  EXPECT_EQ(FindWindow("#32770", nullptr), nullptr);  // gone after
}

// A skin engine subclasses the box and its buttons from its CBT hook, as they are created, and
// then sees their messages.
TEST_F(MessageBoxTest, ACbtHookSubclassesTheBoxAndItsButtonsAndClicksWork) {
  struct Seen {
    std::map<HWND, WNDPROC> base;
    std::vector<std::string> created, got;
  };
  static Seen* seen;
  Seen s;
  seen = &s;
  HHOOK hook = SetWindowsHookEx(
      WH_CBT,
      [](int code, WPARAM wp, LPARAM lp) -> LRESULT {
        if (code == HCBT_CREATEWND) {
          HWND h = reinterpret_cast<HWND>(wp);
          auto* cs = reinterpret_cast<CBT_CREATEWND*>(lp)->lpcs;
          seen->created.push_back(IS_INTRESOURCE(cs->lpszClass) ? "?" : cs->lpszClass);
          seen->base[h] = reinterpret_cast<WNDPROC>(SetWindowLongPtr(
              h, GWLP_WNDPROC,
              reinterpret_cast<LONG_PTR>(+[](HWND w, UINT m, WPARAM a, LPARAM b) -> LRESULT {
                WNDPROC next = seen->base[w];
                if (m == WM_COMMAND) seen->got.push_back("box:WM_COMMAND:" + std::to_string(a));
                if (m == WM_LBUTTONUP && GetDlgCtrlID(w) == IDCANCEL)
                  seen->got.push_back("cancel:WM_LBUTTONUP");
                return CallWindowProc(next, w, m, a, b);
              })));
        }
        return CallNextHookEx(nullptr, code, wp, lp);
      },
      nullptr, GetCurrentThreadId());
  int r = Run(nullptr, "Click", "Mouse", MB_OKCANCEL, [](HWND box) {
    RECT rc;
    GetWindowRect(GetDlgItem(box, IDCANCEL), &rc);
    const int x = (rc.left + rc.right) / 2, y = (rc.top + rc.bottom) / 2;
    InjectMouseMove(x, y);
    InjectMouseButton(MouseButton::Left, true, x, y);
    InjectMouseButton(MouseButton::Left, false, x, y);
  });
  UnhookWindowsHookEx(hook);
  EXPECT_EQ(r, IDCANCEL);
  EXPECT_EQ(s.created, (std::vector<std::string>{"#32770", "Static", "Button", "Button"}));
  EXPECT_EQ(s.got, (std::vector<std::string>{"cancel:WM_LBUTTONUP", "box:WM_COMMAND:2"}));
}

TEST_F(MessageBoxTest, DisablesItsOwnerOrEveryWindowWhileItRuns) {
  HWND owner = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, "owner", 0, {100, 100, 600, 500});
  HWND other = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, "other", 0, {0, 0, 200, 200});
  HWND child = Make(WS_CHILD | WS_VISIBLE, owner, "", 0, {0, 0, 50, 50});
  SetActiveWindow(owner);
  int r = Run(child, "Modal", "Appl", MB_OK, [&](HWND box) {
    EXPECT_FALSE(IsWindowEnabled(owner));  // the top-level window of the child given
    EXPECT_TRUE(IsWindowEnabled(other));
    EXPECT_EQ(GetWindow(box, GW_OWNER), owner);
    EXPECT_EQ(GetActiveWindow(), box);
    Key(VK_RETURN);
  });
  EXPECT_EQ(r, IDOK);
  EXPECT_TRUE(IsWindowEnabled(owner));
  EXPECT_EQ(GetActiveWindow(), owner);

  r = Run(nullptr, "Modal", "Task", MB_OK | MB_TASKMODAL | MB_TOPMOST, [&](HWND box) {
    EXPECT_FALSE(IsWindowEnabled(owner));
    EXPECT_FALSE(IsWindowEnabled(other));
    EXPECT_TRUE(GetWindowLongPtr(box, GWL_EXSTYLE) & WS_EX_TOPMOST);
    Key(VK_RETURN);
  });
  EXPECT_EQ(r, IDOK);
  EXPECT_TRUE(IsWindowEnabled(owner));
  EXPECT_TRUE(IsWindowEnabled(other));

  // A window the program disabled itself stays disabled.
  EnableWindow(other, FALSE);
  Run(nullptr, "Modal", "Task", MB_OK | MB_TASKMODAL, [](HWND) { Key(VK_RETURN); });
  EXPECT_FALSE(IsWindowEnabled(other));
}

TEST_F(MessageBoxTest, IsSizedToItsTextAndCentred) {
  HWND owner = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, "owner", 0, {100, 80, 700, 580});
  const std::string long_text =
      "程序在处理您的请求时遇到了一个错误，无法继续。请检查输入的数据是否完整，然后再试一次；"
      "如果问题仍然存在，请与管理员联系，并告诉他们出错的时间和您当时正在进行的操作。";
  struct Case {
    const char* text;
    const char* caption;
    UINT type;
    int min_lines;
  };
  const Case cases[] = {
      {"短", "A caption much longer than the text of this box", MB_OK, 1},
      {"This is Older Skin File\rPlease update to new version !", "Skin", MB_OK, 2},
      {long_text.c_str(), "Long", MB_OKCANCEL | MB_ICONEXCLAMATION, 2},
      {"One\r\nTwo\nThree", "Lines", MB_ABORTRETRYIGNORE | MB_ICONQUESTION, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.caption);
    Run(owner, c.text, c.caption, c.type, [&](HWND box) {
      RECT client, wr, owner_rc;
      GetClientRect(box, &client);
      GetWindowRect(box, &wr);
      GetWindowRect(owner, &owner_rc);
      EXPECT_LE(std::abs((wr.left + wr.right) - (owner_rc.left + owner_rc.right)), 1);
      EXPECT_LE(std::abs((wr.top + wr.bottom) - (owner_rc.top + owner_rc.bottom)), 1);
      EXPECT_LE(wr.right - wr.left, GetSystemMetrics(SM_CXSCREEN) / 2 + 120);
      {  // the caption is never cut: the box is wider than it
        NONCLIENTMETRICS ncm;
        ASSERT_TRUE(SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0));
        HFONT cf = CreateFontIndirect(&ncm.lfCaptionFont);
        HDC sdc = GetDC(nullptr);
        HGDIOBJ old = SelectObject(sdc, cf);
        SIZE cap{};
        GetTextExtentPoint32(sdc, c.caption, -1, &cap);
        SelectObject(sdc, old);
        ReleaseDC(nullptr, sdc);
        DeleteObject(cf);
        EXPECT_GT(wr.right - wr.left, cap.cx + GetSystemMetrics(SM_CXSIZE));
      }

      HWND text = GetDlgItem(box, 0xFFFF);
      RECT tr = ClientRectIn(text, box);
      // The text fits the static that shows it: measured as it draws, nothing is cut.
      HDC dc = GetDC(text);
      SelectObject(dc, reinterpret_cast<HFONT>(SendMessage(text, WM_GETFONT, 0, 0)));
      RECT need{0, 0, tr.right - tr.left, 0};
      DrawText(dc, c.text, -1, &need, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
      TEXTMETRIC tm;
      GetTextMetrics(dc, &tm);
      ReleaseDC(text, dc);
      EXPECT_LE(need.bottom, tr.bottom - tr.top);
      EXPECT_GE(tr.bottom - tr.top, c.min_lines * tm.tmHeight);
      EXPECT_GE(tr.left, 10);
      EXPECT_LE(tr.right, client.right - 10);

      // The buttons: one row under the text, centred, none overlapping.
      std::vector<RECT> buttons;
      for (HWND k : Kids(box))
        if (Class(k) == "Button") buttons.push_back(ClientRectIn(k, box));
      ASSERT_FALSE(buttons.empty());
      const int left_gap = buttons.front().left, right_gap = client.right - buttons.back().right;
      EXPECT_LE(std::abs(left_gap - right_gap), 1);
      for (std::size_t i = 0; i < buttons.size(); ++i) {
        EXPECT_GE(buttons[i].top, tr.bottom);
        EXPECT_LE(buttons[i].bottom, client.bottom - 8);
        if (i) { EXPECT_GT(buttons[i].left, buttons[i - 1].right); }
      }
      if (HWND icon = GetDlgItem(box, 0x440)) { EXPECT_LE(ClientRectIn(icon, box).right, tr.left); }
      Key(VK_RETURN);
    });
  }
}

TEST_F(MessageBoxTest, LooksLikeAWindowsMessageBox) {
  display::HeadlessDisplay screen;
  display::Capture shot;
  RECT ok_rc{}, text_rc{};
  Run(nullptr, "文件无法保存。\r是否要重试？", "Vellisa", MB_RETRYCANCEL | MB_ICONEXCLAMATION,
      [&](HWND box) {
        shot = screen.CaptureWindow(box);
        screen.SaveWindow(box, testing::TempDir() + "msgbox.png");
        RECT wr;
        GetWindowRect(box, &wr);
        GetWindowRect(GetDlgItem(box, IDRETRY), &ok_rc);
        GetWindowRect(GetDlgItem(box, 0xFFFF), &text_rc);
        OffsetRect(&ok_rc, -wr.left, -wr.top);
        OffsetRect(&text_rc, -wr.left, -wr.top);
        Key(VK_ESCAPE);
      });
  ASSERT_TRUE(shot);
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  // The face-coloured body, the default button's black frame, text ink, and the caption bar.
  EXPECT_EQ(shot.At(text_rc.left - 2, text_rc.bottom + 4), face);
  EXPECT_EQ(shot.At(ok_rc.left, ok_rc.top + 5), RGB(0, 0, 0));
  int ink = 0;
  for (int y = text_rc.top; y < text_rc.bottom; ++y)
    for (int x = text_rc.left; x < text_rc.right; ++x) ink += shot.At(x, y) == RGB(0, 0, 0);
  EXPECT_GT(ink, 50);
  EXPECT_EQ(shot.At(4, 19), GetSysColor(COLOR_ACTIVECAPTION));  // where its gradient starts
}

TEST_F(MessageBoxTest, CtrlCCopiesTheBoxAsText) {
  int r = Run(nullptr, "出错了\rSecond line", "标题", MB_YESNO, [](HWND) {
    InjectKey(VK_CONTROL, 0, true);
    Key('C');
    InjectKey(VK_CONTROL, 0, false);
    Key(VK_RETURN);
  });
  EXPECT_EQ(r, IDYES);
  ASSERT_TRUE(OpenClipboard(nullptr));
  HANDLE h = GetClipboardData(CF_TEXT);
  ASSERT_NE(h, nullptr);
  std::string got = static_cast<const char*>(GlobalLock(h));
  GlobalUnlock(h);
  EmptyClipboard();
  CloseClipboard();
  const std::string rule = "---------------------------\r\n";
  EXPECT_EQ(got, rule + "标题\r\n" + rule + "出错了\rSecond line\r\n" + rule +
                     "是(Y)   否(N)   \r\n" + rule);
}

TEST_F(MessageBoxTest, BadArgumentsFailClearly) {
  HWND gone = Make(WS_OVERLAPPEDWINDOW);
  DestroyWindow(gone);
  SetLastError(0);
  EXPECT_EQ(MessageBox(gone, "x", "y", MB_OK), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
  EXPECT_EQ(MessageBox(nullptr, "x", "y", 0xF), 0);
  EXPECT_EQ(FindWindow("#32770", nullptr), nullptr);
  // No text at all and a default button beyond the buttons there are.
  int r = Run(nullptr, nullptr, "Empty", MB_OK | MB_DEFBUTTON3, [](HWND) { Key(VK_RETURN); });
  EXPECT_EQ(r, IDOK);
  const char invalid[] = {'a', char(0xFF), char(0xC3), 'b', 0};
  r = Run(nullptr, invalid, "Invalid", MB_OK, [](HWND) { Key(VK_RETURN); });
  EXPECT_EQ(r, IDOK);
}

}  // namespace
}  // namespace usertest
