// The dialog manager: DefDlgProc's answers, the dialog keys of IsDialogMessage for dialogs and
// ordinary windows, and the item helpers.
#include <cstring>

#include "support/user_fixture.h"

namespace usertest {
namespace {

class DialogTest : public UserTest {
 protected:
  static inline std::vector<std::string> commands;  // "id:code" the dialog procedure saw
  static inline std::function<std::optional<LONG_PTR>(HWND, UINT, WPARAM, LPARAM)> dlg_react;

  static LONG_PTR DlgProc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_COMMAND)
      commands.push_back(std::to_string(LOWORD(wp)) + ":" + std::to_string(HIWORD(wp)));
    if (dlg_react)
      if (auto r = dlg_react(h, m, wp, lp)) return *r;
    return FALSE;
  }

  void SetUp() override {
    UserTest::SetUp();
    commands.clear();
    dlg_react = nullptr;
  }
  void TearDown() override {
    for (HWND h : dialogs_) DestroyWindow(h);
    dlg_react = nullptr;
    UserTest::TearDown();
  }
  HWND Dialog() {
    HWND d = CreateWindowEx(0, "#32770", "对话框", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE,
                            50, 50, 300, 250, nullptr, nullptr, nullptr, nullptr);
    if (d) {
      SetWindowLongPtr(d, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(&DlgProc));
      dialogs_.push_back(d);
    }
    return d;
  }
  static HWND Control(HWND parent, const char* cls, DWORD style, const char* text, int id, int y) {
    return CreateWindowEx(0, cls, text, WS_CHILD | WS_VISIBLE | style, 10, y, 120, 20, parent,
                          reinterpret_cast<HMENU>(std::intptr_t(id)), nullptr, nullptr);
  }
  // Presses (and releases) a key with the modal loop's handling: IsDialogMessage first.
  static void Type(HWND dlg, UINT vk, bool shift = false, bool alt = false) {
    if (shift) InjectKey(VK_SHIFT, 0, true);
    if (alt) InjectKey(VK_MENU, 0, true);
    InjectKey(vk, 0, true);
    InjectKey(vk, 0, false);
    if (alt) InjectKey(VK_MENU, 0, false);
    if (shift) InjectKey(VK_SHIFT, 0, false);
    MSG m;
    while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE))
      if (!IsDialogMessage(dlg, &m)) {
        TranslateMessage(&m);
        DispatchMessage(&m);
      }
  }
  std::vector<HWND> dialogs_;
};

TEST_F(DialogTest, DefDlgProcReturnsTheMessageResultOrTheDirectAnswer) {
  HWND d = Dialog();
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(GetClassLongPtr(d, GCL_CBWNDEXTRA), ULONG_PTR(DLGWINDOWEXTRA));
  SetWindowLongPtr(d, DWLP_USER, 1234);
  EXPECT_EQ(GetWindowLongPtr(d, DWLP_USER), 1234);
  HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
  dlg_react = [&](HWND h, UINT m, WPARAM, LPARAM) -> std::optional<LONG_PTR> {
    if (m == WM_USER + 7) {
      SetWindowLongPtr(h, DWLP_MSGRESULT, 99);
      return TRUE;  // the answer is DWLP_MSGRESULT, not TRUE
    }
    if (m == WM_CTLCOLORDLG) return reinterpret_cast<LONG_PTR>(green);  // answered directly
    return std::nullopt;
  };
  EXPECT_EQ(SendMessage(d, WM_USER + 7, 0, 0), 99);
  EXPECT_EQ(SendMessage(d, WM_CTLCOLORDLG, 0, 0), reinterpret_cast<LRESULT>(green));
  // Not handled: the default, which erases with the WM_CTLCOLORDLG brush.
  InvalidateRect(d, nullptr, TRUE);
  UpdateWindow(d);
  HDC dc = GetDC(d);
  EXPECT_EQ(GetPixel(dc, 20, 20), RGB(0, 255, 0));
  ReleaseDC(d, dc);
  EXPECT_EQ(SendMessage(d, DM_GETDEFID, 0, 0), 0);
  EXPECT_TRUE(SendMessage(d, DM_SETDEFID, 5, 0));
  EXPECT_EQ(SendMessage(d, DM_GETDEFID, 0, 0), LRESULT(MAKELONG(5, DC_HASDEFID)));
  dlg_react = nullptr;
  DeleteObject(green);
}

TEST_F(DialogTest, TabAndArrowsWalkTabStopsAndGroupsInDialogsAndOrdinaryWindows) {
  for (bool dialog : {true, false}) {
    SCOPED_TRACE(dialog ? "dialog" : "window");
    HWND d = dialog ? Dialog() : Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    HWND a = Control(d, "Button", WS_TABSTOP | WS_GROUP, "a", 1, 10);
    HWND skip = Control(d, "Button", 0, "no tab stop", 2, 35);
    HWND off = Control(d, "Button", WS_TABSTOP | WS_DISABLED, "disabled", 3, 60);
    HWND r1 = Control(d, "Button", BS_AUTORADIOBUTTON | WS_TABSTOP | WS_GROUP, "r1", 4, 85);
    HWND r2 = Control(d, "Button", BS_AUTORADIOBUTTON, "r2", 5, 110);
    HWND r3 = Control(d, "Button", BS_AUTORADIOBUTTON, "r3", 6, 135);
    HWND last = Control(d, "Button", WS_TABSTOP | WS_GROUP, "last", 7, 160);
    (void)skip;
    (void)off;
    EXPECT_EQ(GetNextDlgTabItem(d, nullptr, FALSE), a);
    EXPECT_EQ(GetNextDlgTabItem(d, nullptr, TRUE), last);
    EXPECT_EQ(GetNextDlgTabItem(d, a, FALSE), r1);
    EXPECT_EQ(GetNextDlgTabItem(d, last, FALSE), a);   // wraps
    EXPECT_EQ(GetNextDlgGroupItem(d, r3, FALSE), r1);  // wraps within the group
    EXPECT_EQ(GetNextDlgGroupItem(d, r1, TRUE), r3);
    EXPECT_EQ(GetNextDlgGroupItem(d, last, FALSE), last);  // alone in its group

    SetFocus(a);
    Type(d, VK_TAB);
    EXPECT_EQ(GetFocus(), r1);
    Type(d, VK_TAB);
    EXPECT_EQ(GetFocus(), last);
    Type(d, VK_TAB, /*shift=*/true);
    EXPECT_EQ(GetFocus(), r1);
    Type(d, VK_DOWN);
    EXPECT_EQ(GetFocus(), r2);
    EXPECT_EQ(SendMessage(r2, BM_GETCHECK, 0, 0), BST_CHECKED);  // arrows check auto radios
    Type(d, VK_UP);
    Type(d, VK_UP);
    EXPECT_EQ(GetFocus(), r3);
    EXPECT_EQ(SendMessage(r3, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessage(r2, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    DestroyWindow(d);
  }
}

TEST_F(DialogTest, EnterGoesToTheDefaultButtonAndEscapeToCancel) {
  HWND d = Dialog();
  HWND ok = Control(d, "Button", WS_TABSTOP | BS_DEFPUSHBUTTON, "OK", IDOK, 10);
  HWND other = Control(d, "Button", WS_TABSTOP, "Other", 20, 40);
  HWND cb = Control(d, "Button", WS_TABSTOP | BS_AUTOCHECKBOX, "box", 21, 70);
  SetFocus(cb);
  EXPECT_EQ(GetFocus(), cb);
  Type(d, VK_RETURN);
  Type(d, VK_ESCAPE);
  EXPECT_EQ(commands, (std::vector<std::string>{"1:0", "2:0"}));
  // Focus on a push button: it takes the default border and Enter is for it.
  commands.clear();
  SetFocus(cb);
  Type(d, VK_TAB, /*shift=*/true);
  EXPECT_EQ(GetFocus(), other);
  EXPECT_EQ(GetWindowLongPtr(other, GWL_STYLE) & BS_TYPEMASK, LONG_PTR(BS_DEFPUSHBUTTON));
  EXPECT_EQ(GetWindowLongPtr(ok, GWL_STYLE) & BS_TYPEMASK, LONG_PTR(BS_PUSHBUTTON));
  Type(d, VK_RETURN);
  // Back on the check box, the default returns to OK.
  Type(d, VK_TAB);
  EXPECT_EQ(GetWindowLongPtr(ok, GWL_STYLE) & BS_TYPEMASK, LONG_PTR(BS_DEFPUSHBUTTON));
  EXPECT_EQ(GetWindowLongPtr(other, GWL_STYLE) & BS_TYPEMASK, LONG_PTR(BS_PUSHBUTTON));
  SendMessage(d, DM_SETDEFID, 20, 0);
  Type(d, VK_RETURN);
  EnableWindow(other, FALSE);  // a disabled default button takes no Enter
  SetFocus(cb);
  Type(d, VK_RETURN);
  EXPECT_EQ(commands, (std::vector<std::string>{"20:0", "20:0"}));
}

TEST_F(DialogTest, MnemonicsClickButtonsWithAltAndBareLettersUnlessTheFocusWantsCharacters) {
  HWND d = Dialog();
  HWND yes = Control(d, "Button", WS_TABSTOP, "&Yes", IDYES, 10);
  HWND no = Control(d, "Button", WS_TABSTOP, "是否(&N)", IDNO, 40);
  HWND label = Control(d, "Static", 0, "&Label", 30, 70);
  HWND target = Control(d, "Button", WS_TABSTOP | BS_AUTOCHECKBOX, "target", 31, 100);
  HWND typing = Control(d, kClass, WS_TABSTOP, "", 32, 130);
  (void)label;
  react = [&](HWND h, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (h == typing && m == WM_GETDLGCODE) return DLGC_WANTCHARS;
    return std::nullopt;
  };
  SetFocus(yes);
  Type(d, 'N', false, /*alt=*/true);
  EXPECT_EQ(GetFocus(), no);
  Type(d, 'Y');  // a bare letter: buttons do not want characters
  EXPECT_EQ(GetFocus(), yes);
  Type(d, 'L');  // a label's mnemonic moves to the control after it
  EXPECT_EQ(GetFocus(), target);
  EXPECT_EQ(SendMessage(target, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(commands, (std::vector<std::string>{"7:0", "6:0"}));
  SetFocus(typing);
  log.clear();
  Type(d, 'Y');
  EXPECT_EQ(GetFocus(), typing);
  EXPECT_EQ(Received(typing, WM_CHAR).size(), 1u);
  Type(d, 'Y', false, /*alt=*/true);  // Alt still reaches the button
  EXPECT_EQ(GetFocus(), yes);
  react = nullptr;
}

TEST_F(DialogTest, ControlsThatWantKeysGetThem) {
  struct Case {
    LRESULT code;
    UINT vk;
    bool control_gets_it;
  };
  const Case cases[] = {
      {0, VK_TAB, false},
      {DLGC_WANTTAB, VK_TAB, true},
      {0, VK_DOWN, false},
      {DLGC_WANTARROWS, VK_DOWN, true},
      {DLGC_WANTARROWS, VK_TAB, false},
      {0, VK_RETURN, false},
      {DLGC_WANTALLKEYS, VK_RETURN, true},
      {DLGC_WANTALLKEYS, VK_ESCAPE, true},
      {DLGC_WANTMESSAGE, VK_TAB, true},
  };
  HWND d = Dialog();
  HWND ctl = Control(d, kClass, WS_TABSTOP | WS_GROUP, "", 40, 10);
  HWND next = Control(d, "Button", WS_TABSTOP | WS_GROUP, "next", 41, 40);
  (void)next;
  LRESULT answer = 0;
  react = [&](HWND h, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (h == ctl && m == WM_GETDLGCODE) return answer;
    return std::nullopt;
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.code) + "/" + std::to_string(c.vk));
    answer = c.code;
    SetFocus(ctl);
    log.clear();
    commands.clear();
    Type(d, c.vk);
    bool got = false;
    for (const Entry& e : Received(ctl, WM_KEYDOWN)) got |= e.wp == c.vk;
    EXPECT_EQ(got, c.control_gets_it);
    if (!c.control_gets_it && (c.vk == VK_RETURN || c.vk == VK_ESCAPE)) {
      EXPECT_EQ(commands.size(), 1u);
    }
  }
  react = nullptr;
}

TEST_F(DialogTest, TabbingIntoAControlWithASelectionSelectsAllOfIt) {
  HWND d = Dialog();
  HWND first = Control(d, "Button", WS_TABSTOP, "first", 1, 10);
  HWND edit = Control(d, kClass, WS_TABSTOP, "", 2, 40);
  react = [&](HWND h, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (h == edit && m == WM_GETDLGCODE) return DLGC_HASSETSEL;
    return std::nullopt;
  };
  SetFocus(first);
  log.clear();
  Type(d, VK_TAB);
  EXPECT_EQ(GetFocus(), edit);
  auto sel = Received(edit, 0x00B1);  // EM_SETSEL
  ASSERT_EQ(sel.size(), 1u);
  EXPECT_EQ(sel[0].wp, 0u);
  EXPECT_EQ(sel[0].lp, -1);
  react = nullptr;
}

TEST_F(DialogTest, AReactivatedDialogGivesTheFocusBackToTheControlThatHadIt) {
  HWND d = Dialog();
  Control(d, "Button", WS_TABSTOP, "first", 1, 10);
  HWND second = Control(d, "Button", WS_TABSTOP, "second", 2, 40);
  HWND other = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, "other");
  SetFocus(second);
  SetActiveWindow(other);
  EXPECT_EQ(GetFocus(), other);
  SetActiveWindow(d);
  EXPECT_EQ(GetFocus(), second);
}

TEST_F(DialogTest, TabWalksIntoPanelsThatHoldControls) {
  HWND d = Dialog();
  HWND a = Control(d, "Button", WS_TABSTOP, "a", 1, 10);
  HWND panel = CreateWindowEx(WS_EX_CONTROLPARENT, kClass, "", WS_CHILD | WS_VISIBLE, 10, 40, 200,
                              100, d, reinterpret_cast<HMENU>(9), nullptr, nullptr);
  HWND in1 = Control(panel, "Button", WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON, "&in1", 2, 5);
  HWND in2 = Control(panel, "Button", BS_AUTORADIOBUTTON, "in2", 3, 30);
  HWND b = Control(d, "Button", WS_TABSTOP, "b", 4, 150);
  EXPECT_EQ(GetNextDlgTabItem(d, a, FALSE), in1);
  EXPECT_EQ(GetNextDlgTabItem(d, in1, FALSE), b);
  EXPECT_EQ(GetNextDlgTabItem(d, b, TRUE), in1);
  EXPECT_EQ(GetNextDlgGroupItem(d, in1, FALSE), in2);
  SetFocus(b);
  Type(d, 'I', false, /*alt=*/true);
  EXPECT_EQ(GetFocus(), in1);
  EXPECT_EQ(SendMessage(in1, BM_GETCHECK, 0, 0), BST_CHECKED);
  Type(d, VK_DOWN);
  EXPECT_EQ(GetFocus(), in2);
}

TEST_F(DialogTest, ADialogWithoutControlsTakesTheFocusItself) {
  HWND d = Dialog();
  HWND other = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, "other");
  SetActiveWindow(other);
  SetActiveWindow(d);
  EXPECT_EQ(GetFocus(), d);
}

TEST_F(DialogTest, ItemHelpersAndBadHandles) {
  HWND d = Dialog();
  HWND r1 = Control(d, "Button", BS_RADIOBUTTON | WS_GROUP, "r1", 10, 10);
  Control(d, "Button", BS_RADIOBUTTON, "r2", 11, 40);
  Control(d, "Button", BS_RADIOBUTTON, "r3", 12, 70);
  HWND text = Control(d, "Static", 0, "", 20, 100);
  EXPECT_EQ(GetDlgItem(d, 10), r1);
  EXPECT_EQ(GetDlgCtrlID(text), 20);
  EXPECT_TRUE(CheckRadioButton(d, 10, 12, 11));
  EXPECT_EQ(IsDlgButtonChecked(d, 10), BST_UNCHECKED);
  EXPECT_EQ(IsDlgButtonChecked(d, 11), BST_CHECKED);
  EXPECT_TRUE(CheckDlgButton(d, 12, BST_CHECKED));
  EXPECT_EQ(SendDlgItemMessage(d, 12, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_TRUE(SetDlgItemText(d, 20, "中文标签"));
  char buf[64];
  EXPECT_EQ(GetDlgItemText(d, 20, buf, sizeof buf), std::strlen("中文标签"));
  EXPECT_STREQ(buf, "中文标签");
  EXPECT_EQ(GetDlgItemText(d, 20, buf, 4), 3u);  // cut to the buffer

  EXPECT_EQ(GetDlgItem(d, 999), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_CONTROL_ID_NOT_FOUND);
  EXPECT_EQ(GetDlgItemText(d, 999, buf, sizeof buf), 0u);
  EXPECT_STREQ(buf, "");
  HWND gone = Control(d, "Button", 0, "x", 30, 130);
  DestroyWindow(gone);
  EXPECT_EQ(GetDlgItem(gone, 1), nullptr);
  EXPECT_EQ(GetNextDlgTabItem(gone, nullptr, FALSE), nullptr);
  EXPECT_EQ(GetNextDlgGroupItem(d, gone, FALSE), nullptr);
  EXPECT_FALSE(CheckRadioButton(gone, 1, 2, 1));
  EXPECT_FALSE(EndDialog(gone, 1));
  MSG m{};
  m.hwnd = r1;
  m.message = WM_KEYDOWN;
  m.wParam = VK_TAB;
  EXPECT_FALSE(IsDialogMessage(gone, &m));
  EXPECT_FALSE(IsDialogMessage(d, nullptr));
}

}  // namespace
}  // namespace usertest
