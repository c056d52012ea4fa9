// The "Edit" control: wrapping, caret and selection by keys and mouse, clipboard and undo on
// mixed Chinese and Latin text, the EM_ answers, notifications in Windows' order, limits and
// styles, scroll bars, painting, and bad input.
#include <cstring>
#include <string>
#include <vector>

#include "support/user_fixture.h"

namespace usertest {
namespace {

class EditTest : public UserTest {
 protected:
  static inline std::vector<WORD> notes;  // EN_ codes the parent heard, in order

  void SetUp() override {
    UserTest::SetUp();
    notes.clear();
    react = [](HWND, UINT m, WPARAM wp, LPARAM) -> std::optional<LRESULT> {
      if (m == WM_COMMAND) notes.push_back(HIWORD(wp));
      return std::nullopt;
    };
    parent_ = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, "", 0, {0, 0, 640, 480});
  }
  void TearDown() override {
    if (font_) DeleteObject(font_);
    UserTest::TearDown();
  }

  // An edit whose format rectangle is `width` pixels wide (the default margins are 1 pixel).
  HWND Edit(DWORD style, const char* text = "", int width = 200, int height = 100) {
    HWND h = CreateWindowEx(0, "Edit", text, WS_CHILD | WS_VISIBLE | style, 10, 10, width + 2,
                            height, parent_, reinterpret_cast<HMENU>(7), nullptr, nullptr);
    EXPECT_NE(h, nullptr);
    return h;
  }
  static std::string Text(HWND h) {
    std::string s(std::size_t(GetWindowTextLength(h)) + 1, '\0');
    s.resize(std::size_t(GetWindowText(h, s.data(), int(s.size()))));
    return s;
  }
  static std::vector<int> Starts(HWND h) {
    std::vector<int> out;
    int n = int(SendMessage(h, EM_GETLINECOUNT, 0, 0));
    for (int i = 0; i < n; ++i) out.push_back(int(SendMessage(h, EM_LINEINDEX, WPARAM(i), 0)));
    return out;
  }
  static std::pair<int, int> Sel(HWND h) {
    DWORD a = 0, b = 0;
    SendMessage(h, EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
    return {int(a), int(b)};
  }
  static void Key(UINT vk, bool shift = false, bool ctrl = false) {
    if (ctrl) InjectKey(VK_CONTROL, 0x1D, true);
    if (shift) InjectKey(VK_SHIFT, 0x2A, true);
    InjectKey(vk, 0, true);
    InjectKey(vk, 0, false);
    if (shift) InjectKey(VK_SHIFT, 0x2A, false);
    if (ctrl) InjectKey(VK_CONTROL, 0x1D, false);
    DrainQueue(true);
  }
  static void Type(const std::u32string& s) {
    InjectText(s.data(), s.size());
    DrainQueue(true);
  }
  static POINT Screen(HWND h, int pos) {
    LRESULT r = SendMessage(h, EM_POSFROMCHAR, WPARAM(pos), 0);
    POINT p{GET_X_LPARAM(r) + 1, GET_Y_LPARAM(r) + 2};
    ClientToScreen(h, &p);
    return p;
  }

  HWND parent_ = nullptr;
  HFONT font_ = nullptr;
};

// The system font is 宋体 at 12 pixels: a Chinese character 12 wide, a Latin one 6.
struct WrapCase {
  const char* text;
  int width;
  std::vector<int> starts;
};

TEST_F(EditTest, WrapsChineseAnywhereLatinAtSpacesAndKeepsClosingPunctuationBack) {
  const WrapCase cases[] = {
      {"", 48, {0}},
      {"一二三四五六", 48, {0, 4}},
      {"一二三，四五", 36, {0, 2, 5}},    // "，" may not start a line: 三 goes with it
      {"hello world foo", 60, {0, 6}},    // the space stays at the end of the first line
      {"abcdefghijklmnop", 60, {0, 10}},  // a word longer than the line is split
      {"中文abc中文", 36, {0, 2, 6}},     // Latin runs break beside Chinese, not inside
      {"ab\r\ncd\r\n", 60, {0, 4, 8}},    // CR LF ends a line; the last line is empty
      {"一（二）三", 36, {0, 1, 4}},      // an opening bracket keeps to what follows
      {"一二三     四", 36, {0, 8}},      // spaces run past the edge rather than wrap
  };
  for (const WrapCase& c : cases) {
    HWND h = Edit(ES_MULTILINE, c.text, c.width);
    EXPECT_EQ(Starts(h), c.starts) << c.text << " in " << c.width;
    DestroyWindow(h);
  }
}

TEST_F(EditTest, TypingWrapsAsASettingOfTheWholeTextWould) {
  HWND h = Edit(ES_MULTILINE | ES_AUTOVSCROLL, "", 90, 400);
  HWND fresh = Edit(ES_MULTILINE | ES_AUTOVSCROLL, "", 90, 400);
  SetFocus(h);
  const std::u32string pieces[] = {U"春眠不觉晓，", U"处处 闻啼鸟。",
                                   U"hello world ", U"夜来风雨声",
                                   U"\r",           U"花落知多少abc defghijk"};
  for (const auto& p : pieces) {
    Type(p);
    SendMessage(h, EM_SETSEL, 3, 3);  // and on in the middle
    Type(U"中a");
    SendMessage(h, EM_SETSEL, WPARAM(-1), 0);
    SendMessage(h, EM_SETSEL, 0x7FFF, 0x7FFF);
    SetWindowText(fresh, Text(h).c_str());
    EXPECT_EQ(Starts(h), Starts(fresh)) << Text(h);
  }
  Key(VK_HOME, false, true);
  for (int i = 0; i < 5; ++i) Key(VK_DELETE);
  SetWindowText(fresh, Text(h).c_str());
  EXPECT_EQ(Starts(h), Starts(fresh)) << Text(h);
}

// Replacements anywhere, of any length, with line breaks among them: the lines kept from
// before must always be the lines a fresh layout gives.
TEST_F(EditTest, EditsAnywhereKeepTheLinesAFreshLayoutGives) {
  HWND h = Edit(ES_MULTILINE | ES_AUTOVSCROLL, "", 70, 400);
  HWND fresh = Edit(ES_MULTILINE | ES_AUTOVSCROLL, "", 70, 400);
  const char* const pieces[] = {"春眠不觉晓，",
                                "处处 闻啼鸟。",
                                "hello world ",
                                "\r\n",
                                "",
                                "（夜来）",
                                "a",
                                "   ",
                                "longlonglongword",
                                "字"};
  unsigned seed = 12345;
  auto next = [&] { return (seed = seed * 1103515245u + 12345u) >> 16; };
  for (int step = 0; step < 300; ++step) {
    int n = int(SendMessage(h, WM_GETTEXTLENGTH, 0, 0));  // bytes: at least the characters
    int a = int(next() % unsigned(n + 1)), b = a + int(next() % 4);
    SendMessage(h, EM_SETSEL, WPARAM(a), LPARAM(b));
    SendMessage(h, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(pieces[next() % 10]));
    SetWindowText(fresh, Text(h).c_str());
    ASSERT_EQ(Starts(h), Starts(fresh)) << "step " << step << ": " << Text(h);
  }
}

TEST_F(EditTest, KeysMoveTheCaretAndShiftExtends) {
  HWND h = Edit(ES_MULTILINE, "ab 中文字 cd\r\nef", 300);
  SetFocus(h);
  struct Step {
    UINT vk;
    bool shift, ctrl;
    std::pair<int, int> sel;
  };
  const Step steps[] = {
      {VK_RIGHT, false, true, {3, 3}},   // past "ab "
      {VK_RIGHT, false, true, {7, 7}},   // a run of Chinese is one word
      {VK_RIGHT, true, true, {7, 9}},    // "cd", extended
      {VK_RIGHT, true, false, {7, 11}},  // CR LF is one step
      {VK_LEFT, false, false, {9, 9}},   // from the caret, as Windows moves
      {VK_END, false, false, {9, 9}},
      {VK_HOME, true, false, {0, 9}},
      {VK_DOWN, false, false, {11, 11}},
      {VK_END, false, true, {13, 13}},
      {VK_LEFT, false, true, {11, 11}},
      {VK_LEFT, false, true, {9, 9}},  // back over the line break
      {VK_HOME, false, true, {0, 0}},
  };
  for (const Step& s : steps) {
    Key(s.vk, s.shift, s.ctrl);
    EXPECT_EQ(Sel(h), s.sel) << "key " << s.vk << " shift " << s.shift << " ctrl " << s.ctrl;
  }
  Key('A', false, true);
  EXPECT_EQ(Sel(h), (std::pair{0, 13}));
}

TEST_F(EditTest, TheCaretCanStandAtTheEndOfAWrappedLine) {
  HWND h = Edit(ES_MULTILINE, "一二三四五六七八", 48);  // two lines of four
  SetFocus(h);
  POINT c;
  Key(VK_END);
  EXPECT_EQ(Sel(h), (std::pair{4, 4}));
  GetCaretPos(&c);
  EXPECT_EQ(c, (POINT{1 + 48, 0}));  // after 四, not before 五
  Key(VK_DOWN);
  EXPECT_EQ(Sel(h), (std::pair{8, 8}));
  Key(VK_HOME);
  GetCaretPos(&c);
  EXPECT_EQ(c, (POINT{1, 12}));
  // Clicking past the end of the first line.
  POINT p{45, 5};
  ClientToScreen(h, &p);
  InjectMouseButton(MouseButton::Left, true, p.x + 4, p.y);
  InjectMouseButton(MouseButton::Left, false, p.x + 4, p.y);
  DrainQueue(true);
  GetCaretPos(&c);
  EXPECT_EQ(Sel(h), (std::pair{4, 4}));
  EXPECT_EQ(c, (POINT{1 + 48, 0}));
  Type(U"字");
  EXPECT_EQ(Text(h), "一二三四字五六七八");
}

TEST_F(EditTest, BackspaceAndDeleteRemoveCharactersWordsAndLineBreaks) {
  HWND h = Edit(ES_MULTILINE, "ab 中文字 cd\r\nef", 300);
  SetFocus(h);
  SendMessage(h, EM_SETSEL, 11, 11);
  Key(VK_BACK);
  EXPECT_EQ(Text(h), "ab 中文字 cdef");
  Key(VK_BACK, false, true);  // Ctrl+Backspace: the word before
  EXPECT_EQ(Text(h), "ab 中文字 ef");
  Key(VK_BACK, false, true);
  EXPECT_EQ(Text(h), "ab ef");
  Key(VK_DELETE);
  EXPECT_EQ(Text(h), "ab f");
  SendMessage(h, EM_SETSEL, 0, 2);
  Key(VK_DELETE);
  EXPECT_EQ(Text(h), " f");
  EXPECT_EQ(Sel(h), (std::pair{0, 0}));
}

TEST_F(EditTest, TheMousePlacesDragsAndSelectsWords) {
  HWND h = Edit(ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL,
                "ab 中文字 cd\r\n1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8", 200, 48);
  POINT p = Screen(h, 4);
  InjectMouseButton(MouseButton::Left, true, p.x, p.y);
  InjectMouseButton(MouseButton::Left, false, p.x, p.y);
  DrainQueue(true);
  EXPECT_EQ(GetFocus(), h);
  EXPECT_EQ(Sel(h), (std::pair{4, 4}));
  // Shift+click extends from the anchor.
  POINT q = Screen(h, 9);
  InjectKey(VK_SHIFT, 0x2A, true);
  InjectMouseButton(MouseButton::Left, true, q.x, q.y);
  InjectMouseButton(MouseButton::Left, false, q.x, q.y);
  InjectKey(VK_SHIFT, 0x2A, false);
  DrainQueue(true);
  EXPECT_EQ(Sel(h), (std::pair{4, 9}));
  AdvanceClock(1000);  // no double click with what follows
  // A double click selects the run of Chinese.
  for (int i = 0; i < 2; ++i) {
    InjectMouseButton(MouseButton::Left, true, p.x, p.y);
    InjectMouseButton(MouseButton::Left, false, p.x, p.y);
  }
  DrainQueue(true);
  EXPECT_EQ(Sel(h), (std::pair{3, 7}));  // and the space after it
  AdvanceClock(1000);
  // Past the end of the line: its last word.
  POINT end{150, 5};
  ClientToScreen(h, &end);
  for (int i = 0; i < 2; ++i) {
    InjectMouseButton(MouseButton::Left, true, end.x, end.y);
    InjectMouseButton(MouseButton::Left, false, end.x, end.y);
  }
  DrainQueue(true);
  EXPECT_EQ(Sel(h), (std::pair{7, 9}));
  AdvanceClock(1000);
  // Dragging below the window holds the capture and scrolls on the timer.
  InjectMouseButton(MouseButton::Left, true, p.x, p.y);
  DrainQueue(true);
  EXPECT_EQ(GetCapture(), h);
  RECT wr;
  GetWindowRect(h, &wr);
  InjectMouseMove(p.x, wr.bottom + 20);
  DrainQueue(true);
  EXPECT_EQ(SendMessage(h, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
  for (int i = 0; i < 3; ++i) {
    AdvanceClock(100);
    DrainQueue(true);
  }
  EXPECT_EQ(SendMessage(h, EM_GETFIRSTVISIBLELINE, 0, 0), 3);
  EXPECT_EQ(Sel(h).first, 4);
  EXPECT_GT(Sel(h).second, 20);
  InjectMouseButton(MouseButton::Left, false, p.x, wr.bottom + 20);
  DrainQueue(true);
  EXPECT_EQ(GetCapture(), nullptr);
  SCROLLINFO si;
  si.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(h, SB_VERT, &si));
  EXPECT_EQ(si.nMax, 8);
  EXPECT_EQ(si.nPage, 4u);
  EXPECT_EQ(si.nPos, 3);
}

TEST_F(EditTest, ClipboardAndOneLevelUndoOnMixedText) {
  HWND h = Edit(ES_MULTILINE, "ab 中文字 cd", 300);
  SetFocus(h);
  SendMessage(h, EM_SETSEL, 3, 6);
  Key('C', false, true);
  Key(VK_END, false, true);
  Key('V', false, true);
  EXPECT_EQ(Text(h), "ab 中文字 cd中文字");
  EXPECT_TRUE(SendMessage(h, EM_CANUNDO, 0, 0));
  Key('Z', false, true);
  EXPECT_EQ(Text(h), "ab 中文字 cd");
  Key('Z', false, true);  // undoing the undo puts the paste back, selected
  EXPECT_EQ(Text(h), "ab 中文字 cd中文字");
  EXPECT_EQ(Sel(h), (std::pair{9, 12}));
  // Typing runs together into one undo.
  SendMessage(h, EM_SETSEL, 0, 2);
  Type(U"xy字");
  EXPECT_EQ(Text(h), "xy字 中文字 cd中文字");
  SendMessage(h, WM_UNDO, 0, 0);
  EXPECT_EQ(Text(h), "ab 中文字 cd中文字");
  SendMessage(h, EM_EMPTYUNDOBUFFER, 0, 0);
  EXPECT_FALSE(SendMessage(h, EM_CANUNDO, 0, 0));
  SendMessage(h, EM_SETSEL, 0, 3);
  SendMessage(h, WM_CUT, 0, 0);
  EXPECT_EQ(Text(h), "中文字 cd中文字");
  SendMessage(h, EM_SETSEL, 3, 3);
  Key(VK_INSERT, true);
  EXPECT_EQ(Text(h), "中文字ab  cd中文字");
  // EM_REPLACESEL is undoable only when asked.
  SendMessage(h, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>("!"));
  EXPECT_FALSE(SendMessage(h, EM_CANUNDO, 0, 0));
  SendMessage(h, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("?"));
  SendMessage(h, EM_UNDO, 0, 0);
  EXPECT_EQ(Text(h), "中文字ab ! cd中文字");
  OpenClipboard(h);
  EmptyClipboard();
  CloseClipboard();
}

TEST_F(EditTest, PastedBadUtf8BecomesReplacementCharacters) {
  HWND h = Edit(0, "", 300);
  const char bytes[] = "a\xFF\xC3中\xE4\xB8z";                 // a stray byte, two cut sequences
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, sizeof bytes - 1);  // and no NUL at the end
  std::memcpy(GlobalLock(mem), bytes, sizeof bytes - 1);
  GlobalUnlock(mem);
  ASSERT_TRUE(OpenClipboard(h));
  EmptyClipboard();
  SetClipboardData(CF_TEXT, mem);
  CloseClipboard();
  SendMessage(h, WM_PASTE, 0, 0);
  EXPECT_EQ(Text(h), "a\xEF\xBF\xBD\xEF\xBF\xBD中\xEF\xBF\xBDz");
  EXPECT_EQ(Sel(h), (std::pair{6, 6}));  // in characters
  OpenClipboard(h);
  EmptyClipboard();
  CloseClipboard();
}

TEST_F(EditTest, AnswersTheEmMessages) {
  HWND h = Edit(ES_MULTILINE, "一二三四五六\r\nab", 48);
  EXPECT_EQ(SendMessage(h, EM_GETLINECOUNT, 0, 0), 3);
  EXPECT_EQ(SendMessage(h, EM_LINEINDEX, 1, 0), 4);
  EXPECT_EQ(SendMessage(h, EM_LINEINDEX, 3, 0), -1);
  EXPECT_EQ(SendMessage(h, EM_LINELENGTH, 5, 0), 2);
  EXPECT_EQ(SendMessage(h, EM_LINELENGTH, 8, 0), 2);
  EXPECT_EQ(SendMessage(h, EM_LINEFROMCHAR, 7, 0), 1);
  EXPECT_EQ(SendMessage(h, EM_LINEFROMCHAR, 8, 0), 2);
  char line[16];
  WORD cap = 4;  // bytes: one Chinese character and a bit
  std::memcpy(line, &cap, sizeof cap);
  EXPECT_EQ(SendMessage(h, EM_GETLINE, 1, reinterpret_cast<LPARAM>(line)), 3);
  EXPECT_EQ(std::string(line, 3), "五");
  EXPECT_EQ(SendMessage(h, EM_GETLINE, 9, reinterpret_cast<LPARAM>(line)), 0);
  LRESULT at = SendMessage(h, EM_POSFROMCHAR, 5, 0);
  EXPECT_EQ(GET_X_LPARAM(at), 1 + 12);
  EXPECT_EQ(GET_Y_LPARAM(at), 12);
  EXPECT_EQ(SendMessage(h, EM_POSFROMCHAR, 10, 0), -1);
  EXPECT_EQ(SendMessage(h, EM_CHARFROMPOS, 0, MAKELPARAM(14, 13)), MAKELONG(5, 1));
  EXPECT_EQ(SendMessage(h, EM_CHARFROMPOS, 0, MAKELPARAM(500, 30)), MAKELONG(10, 2));
  SendMessage(h, EM_SETSEL, 9, 2);
  EXPECT_EQ(SendMessage(h, EM_GETSEL, 0, 0), MAKELONG(2, 9));
  SendMessage(h, EM_SETSEL, 1, -1);
  EXPECT_EQ(Sel(h), (std::pair{1, 10}));
  SendMessage(h, EM_SETSEL, 0x7FFFFFF, 0x7FFFFFF);
  EXPECT_EQ(Sel(h), (std::pair{10, 10}));
  EXPECT_EQ(SendMessage(h, EM_GETLIMITTEXT, 0, 0), 30000);
  EXPECT_EQ(SendMessage(h, EM_GETMARGINS, 0, 0), MAKELONG(1, 1));
  SendMessage(h, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(4, 6));
  EXPECT_EQ(SendMessage(h, EM_GETMARGINS, 0, 0), MAKELONG(4, 6));
  RECT r;
  SendMessage(h, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&r));
  EXPECT_EQ(r, (RECT{4, 0, 50 - 6, 96}));  // whole lines only
  EXPECT_FALSE(SendMessage(h, EM_GETMODIFY, 0, 0));
  SendMessage(h, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("x"));
  EXPECT_TRUE(SendMessage(h, EM_GETMODIFY, 0, 0));
  SendMessage(h, EM_SETMODIFY, FALSE, 0);
  EXPECT_FALSE(SendMessage(h, EM_GETMODIFY, 0, 0));
  EXPECT_EQ(SendMessage(h, EM_SCROLL, SB_LINEDOWN, 0), MAKELONG(0, TRUE));  // all shown
  // DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS, and DLGC_WANTALLKEYS for many lines
  // except the keys a dialog keeps.
  EXPECT_EQ(SendMessage(h, WM_GETDLGCODE, 0, 0), 0x8D);
  for (UINT vk : {VK_RETURN, VK_TAB, VK_ESCAPE, UINT('A')}) {
    MSG m{h, WM_KEYDOWN, vk, 0};
    EXPECT_EQ(SendMessage(h, WM_GETDLGCODE, 0, reinterpret_cast<LPARAM>(&m)),
              vk == 'A' ? 0x8D : 0x89)
        << vk;
  }
  HWND one = Edit(ES_PASSWORD, "secret");
  EXPECT_EQ(SendMessage(one, EM_GETPASSWORDCHAR, 0, 0), '*');
  EXPECT_EQ(SendMessage(one, EM_GETLINECOUNT, 0, 0), 1);
  EXPECT_EQ(SendMessage(one, WM_GETDLGCODE, 0, 0), 0x89);
  EXPECT_FALSE(SendMessage(one, EM_FMTLINES, TRUE, 0));
  // A single line keeps what it is given, line breaks and all, on its one line.
  SetWindowText(one, "a\r\nb");
  EXPECT_EQ(Text(one), "a\r\nb");
  EXPECT_EQ(SendMessage(one, EM_GETLINECOUNT, 0, 0), 1);
}

TEST_F(EditTest, FormatsLinesTabsAlignmentAndHandsOutItsText) {
  HWND h = Edit(ES_MULTILINE, "一二三四五六\r\nab", 48);
  SendMessage(h, EM_FMTLINES, TRUE, 0);
  EXPECT_EQ(Text(h), "一二三四\r\r\n五六\r\nab");  // soft breaks shown, positions kept
  EXPECT_EQ(SendMessage(h, WM_GETTEXTLENGTH, 0, 0), LRESULT(Text(h).size()));
  SendMessage(h, EM_FMTLINES, FALSE, 0);
  HGLOBAL mem = reinterpret_cast<HGLOBAL>(SendMessage(h, EM_GETHANDLE, 0, 0));
  ASSERT_NE(mem, nullptr);
  EXPECT_STREQ(static_cast<const char*>(GlobalLock(mem)), "一二三四五六\r\nab");
  GlobalUnlock(mem);
  // Tab stops in dialog units, a quarter of the 6-pixel average width each.
  HWND tabs = Edit(ES_MULTILINE, "a\tb\tc", 200);
  int stops[] = {20, 40};
  EXPECT_TRUE(SendMessage(tabs, EM_SETTABSTOPS, 2, reinterpret_cast<LPARAM>(stops)));
  EXPECT_EQ(GET_X_LPARAM(SendMessage(tabs, EM_POSFROMCHAR, 2, 0)), 1 + 30);
  EXPECT_EQ(GET_X_LPARAM(SendMessage(tabs, EM_POSFROMCHAR, 4, 0)), 1 + 60);
  EXPECT_FALSE(SendMessage(Edit(0), EM_SETTABSTOPS, 0, 0));  // many lines only
  // Centred and right-aligned lines.
  HWND centre = Edit(ES_CENTER | ES_MULTILINE, "中文", 100);
  HWND right = Edit(ES_RIGHT | ES_MULTILINE, "中文", 100);
  EXPECT_EQ(GET_X_LPARAM(SendMessage(centre, EM_POSFROMCHAR, 0, 0)), 1 + 38);
  EXPECT_EQ(GET_X_LPARAM(SendMessage(right, EM_POSFROMCHAR, 0, 0)), 1 + 76);
}

TEST_F(EditTest, ASingleLineScrollsSidewaysToKeepTheCaretInView) {
  HWND h = Edit(ES_AUTOHSCROLL, "", 60);
  SetFocus(h);
  notes.clear();
  Type(U"一二三四五六七八");
  EXPECT_GT(SendMessage(h, EM_GETFIRSTVISIBLELINE, 0, 0), 0);  // the first character shown
  POINT c;
  GetCaretPos(&c);
  EXPECT_GE(c.x, 1);
  EXPECT_LE(c.x, 61);
  EXPECT_NE(std::find(notes.begin(), notes.end(), EN_HSCROLL), notes.end());
  Key(VK_HOME);
  EXPECT_EQ(SendMessage(h, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
  GetCaretPos(&c);
  EXPECT_EQ(c.x, 1);
}

TEST_F(EditTest, NotifiesInWindowsOrder) {
  HWND h = Edit(ES_AUTOHSCROLL);
  SetFocus(h);
  Type(U"中");
  SetWindowText(h, "abc");
  SendMessage(h, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("d"));
  SetFocus(parent_);
  EXPECT_EQ(notes, (std::vector<WORD>{EN_SETFOCUS, EN_UPDATE, EN_CHANGE, EN_UPDATE, EN_CHANGE,
                                      EN_UPDATE, EN_CHANGE, EN_KILLFOCUS}));
  // A multi-line edit says nothing of WM_SETTEXT.
  HWND m = Edit(ES_MULTILINE);
  notes.clear();
  SetWindowText(m, "abc");
  EXPECT_TRUE(notes.empty());
}

TEST_F(EditTest, TheLimitRefusesWhatGoesPastItWithEnMaxText) {
  HWND h = Edit(ES_AUTOHSCROLL, "");
  SetFocus(h);
  SendMessage(h, EM_LIMITTEXT, 3, 0);
  Type(U"中文");
  notes.clear();
  Type(U"字x");
  EXPECT_EQ(Text(h), "中文字");
  EXPECT_EQ(notes, (std::vector<WORD>{EN_UPDATE, EN_CHANGE, EN_MAXTEXT}));
  SendMessage(h, EM_SETSEL, 0, 0);
  SendMessage(h, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("ab"));
  EXPECT_EQ(Text(h), "中文字");
  SetWindowText(h, "WM_SETTEXT is not limited");
  EXPECT_EQ(Text(h), "WM_SETTEXT is not limited");
  SendMessage(h, EM_LIMITTEXT, 0, 0);
  EXPECT_EQ(SendMessage(h, EM_GETLIMITTEXT, 0, 0), 0x7FFFFFFE);
  // Without ES_AUTOHSCROLL a single line keeps to its width.
  HWND narrow = Edit(0, "", 30);
  SetFocus(narrow);
  Type(U"一二三四");
  EXPECT_EQ(Text(narrow), "一二");
}

struct StyleCase {
  DWORD style;
  std::u32string typed;
  const char* text;
};

TEST_F(EditTest, StylesShapeWhatTypingGives) {
  const StyleCase cases[] = {
      {ES_READONLY, U"ab", ""},
      {ES_NUMBER, U"1a2中3", "123"},
      {ES_UPPERCASE, U"aB中c", "AB中C"},
      {ES_LOWERCASE, U"aB中C", "ab中c"},
      {0, U"a\r\tb", "ab"},  // a single line refuses Enter and Tab
      {ES_MULTILINE, U"a\rb\tc", "a\r\nb\tc"},
  };
  for (const StyleCase& c : cases) {
    HWND h = Edit(c.style | ES_AUTOHSCROLL);
    SetFocus(h);
    Type(c.typed);
    EXPECT_EQ(Text(h), c.text) << std::hex << c.style;
    // Case is kept to by every way in, not only typing.
    if (c.style & (ES_UPPERCASE | ES_LOWERCASE)) {
      SendMessage(h, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("Xy"));
      EXPECT_EQ(Text(h), std::string(c.text) + (c.style & ES_UPPERCASE ? "XY" : "xy"));
    }
    DestroyWindow(h);
  }
  // A password is shown as its character and is not copied.
  HWND pw = Edit(ES_PASSWORD | ES_AUTOHSCROLL, "秘密");
  SendMessage(pw, EM_SETSEL, 0, -1);
  OpenClipboard(pw);
  EmptyClipboard();
  CloseClipboard();
  SendMessage(pw, WM_COPY, 0, 0);
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_TEXT));
  SendMessage(pw, EM_SETPASSWORDCHAR, '#', 0);
  EXPECT_EQ(SendMessage(pw, EM_GETPASSWORDCHAR, 0, 0), '#');
  EXPECT_EQ(Text(pw), "秘密");
  // A read-only edit still selects and copies.
  HWND ro = Edit(ES_READONLY | ES_MULTILINE, "只读");
  SendMessage(ro, EM_SETSEL, 0, -1);
  SendMessage(ro, WM_COPY, 0, 0);
  SendMessage(ro, WM_CUT, 0, 0);
  SendMessage(ro, EM_SETSEL, 2, 2);
  SendMessage(ro, WM_PASTE, 0, 0);
  EXPECT_EQ(Text(ro), "只读");
  SendMessage(ro, EM_SETREADONLY, FALSE, 0);
  EXPECT_FALSE(GetWindowLongPtr(ro, GWL_STYLE) & ES_READONLY);
  SendMessage(ro, WM_PASTE, 0, 0);
  EXPECT_EQ(Text(ro), "只读只读");
  OpenClipboard(ro);
  EmptyClipboard();
  CloseClipboard();
}

TEST_F(EditTest, ScrollBarsAndTheWheelMoveTheFirstLine) {
  std::string many;
  for (int i = 0; i < 20; ++i) many += "行\r\n";
  HWND h = Edit(ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL, many.c_str(), 200, 60);
  notes.clear();
  SendMessage(h, WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(SendMessage(h, EM_GETFIRSTVISIBLELINE, 0, 0), 1);
  SendMessage(h, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 10), 0);
  EXPECT_EQ(SendMessage(h, EM_GETFIRSTVISIBLELINE, 0, 0), 10);
  SendMessage(h, WM_VSCROLL, SB_BOTTOM, 0);
  EXPECT_EQ(SendMessage(h, EM_GETFIRSTVISIBLELINE, 0, 0), 21 - 5);
  EXPECT_EQ(GetScrollPos(h, SB_VERT), 16);
  SendMessage(h, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
  EXPECT_EQ(SendMessage(h, EM_GETFIRSTVISIBLELINE, 0, 0), 13);
  EXPECT_EQ(notes, (std::vector<WORD>{EN_VSCROLL, EN_VSCROLL, EN_VSCROLL, EN_VSCROLL}));
  SendMessage(h, EM_LINESCROLL, 0, -100);
  EXPECT_EQ(SendMessage(h, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
  SendMessage(h, EM_SETSEL, 60, 60);
  SendMessage(h, EM_SCROLLCARET, 0, 0);
  EXPECT_EQ(SendMessage(h, EM_GETFIRSTVISIBLELINE, 0, 0), 20 - 4);
}

TEST_F(EditTest, PaintsTextSelectionAndFrameInTheClassicLook) {
  display::HeadlessDisplay screen;
  HWND h =
      CreateWindowEx(WS_EX_CLIENTEDGE, "Edit", "春眠不觉晓，处处闻啼鸟。夜来风雨声，花落知多少。",
                     WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_NOHIDESEL, 20, 20, 110, 80, parent_,
                     nullptr, nullptr, nullptr);
  SendMessage(h, EM_SETSEL, 8, 11);
  UpdateWindow(parent_);
  UpdateWindow(h);
  screen.SaveWindow(parent_, ::testing::TempDir() + "edit_look.png");
  display::Capture cap = screen.CaptureWindow(parent_);
  POINT o{0, 0};
  ClientToScreen(h, &o);
  RECT pw;
  GetWindowRect(parent_, &pw);
  auto at = [&](int x, int y) { return cap.At(o.x - pw.left + x, o.y - pw.top + y); };
  // Line 2 starts with the selected 处处闻; the first line is text on the window colour.
  int sel_hits = 0, text_hits = 0;
  for (int y = 12; y < 24; ++y)
    for (int x = 1; x < 37; ++x) sel_hits += at(x, y) == GetSysColor(COLOR_HIGHLIGHT);
  for (int y = 0; y < 12; ++y)
    for (int x = 1; x < 60; ++x) text_hits += at(x, y) == GetSysColor(COLOR_WINDOWTEXT);
  EXPECT_GT(sel_hits, 200);
  EXPECT_GT(text_hits, 20);
  EXPECT_EQ(at(80, 70 - 4 - 2), GetSysColor(COLOR_WINDOW));
  // Read-only: the static colour.
  SendMessage(h, EM_SETREADONLY, TRUE, 0);
  UpdateWindow(h);
  cap = screen.CaptureWindow(parent_);
  EXPECT_EQ(at(80, 60), GetSysColor(COLOR_3DFACE));
  // WM_PRINT draws the sunken frame, and the text into a DC given.
  HDC mem = CreateCompatibleDC(nullptr);
  HDC screen_dc = GetDC(nullptr);
  HBITMAP bmp = CreateCompatibleBitmap(screen_dc, 110, 80);
  ReleaseDC(nullptr, screen_dc);
  HGDIOBJ old = SelectObject(mem, bmp);
  SendMessage(h, WM_PRINT, reinterpret_cast<WPARAM>(mem), PRF_NONCLIENT | PRF_CLIENT);
  EXPECT_EQ(GetPixel(mem, 0, 0), GetSysColor(COLOR_3DSHADOW));
  EXPECT_EQ(GetPixel(mem, 109, 79), GetSysColor(COLOR_3DHILIGHT));
  EXPECT_EQ(GetPixel(mem, 80, 62), GetSysColor(COLOR_3DFACE));
  // WM_PAINT with a DC draws the client there and leaves the update region alone.
  RECT all{0, 0, 110, 80};
  FillRect(mem, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  InvalidateRect(h, nullptr, FALSE);
  SendMessage(h, WM_PAINT, reinterpret_cast<WPARAM>(mem), 0);
  EXPECT_EQ(GetPixel(mem, 80, 60), GetSysColor(COLOR_3DFACE));
  EXPECT_TRUE(GetUpdateRect(h, nullptr, FALSE));
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
  DestroyWindow(h);
}

// Typing re-wraps only what it must; what it repaints must match a fresh edit's whole picture.
TEST_F(EditTest, RepaintsEverythingTypingRewraps) {
  display::HeadlessDisplay screen;
  const char* text = "春眠不觉晓，处处闻啼鸟。夜来风雨声，花落知多少。\r\nabc def";
  HWND typed = CreateWindowEx(0, "Edit", text, WS_CHILD | WS_VISIBLE | ES_MULTILINE, 10, 10, 74, 80,
                              parent_, nullptr, nullptr, nullptr);
  HWND fresh = CreateWindowEx(0, "Edit", "", WS_CHILD | WS_VISIBLE | ES_MULTILINE, 110, 10, 74, 80,
                              parent_, nullptr, nullptr, nullptr);
  UpdateWindow(parent_);
  UpdateWindow(typed);
  SetFocus(typed);
  SendMessage(typed, EM_SETSEL, 2, 2);
  DrainQueue(true);
  // Each keystroke moves the rest of the paragraph; the lines below stay where they were.
  Type(U"字a");
  Key(VK_BACK);
  SetFocus(parent_);  // no caret, no selection
  SetWindowText(fresh, Text(typed).c_str());
  UpdateWindow(typed);
  UpdateWindow(fresh);
  display::Capture cap = screen.CaptureScreen();
  POINT a{0, 0}, b{0, 0};
  ClientToScreen(typed, &a);
  ClientToScreen(fresh, &b);
  int differ = 0;
  for (int y = 0; y < 80; ++y)
    for (int x = 0; x < 74; ++x) differ += cap.At(a.x + x, a.y + y) != cap.At(b.x + x, b.y + y);
  EXPECT_EQ(differ, 0);
  DestroyWindow(typed);
  DestroyWindow(fresh);
}

// A parent may destroy the edit while it is telling of a change; the edit must stop there.
TEST_F(EditTest, SurvivesItsParentDestroyingItFromANotification) {
  static WORD fatal = 0;
  react = [](HWND, UINT m, WPARAM wp, LPARAM lp) -> std::optional<LRESULT> {
    if (m == WM_COMMAND && HIWORD(wp) == fatal) DestroyWindow(reinterpret_cast<HWND>(lp));
    return std::nullopt;
  };
  for (WORD code : {EN_UPDATE, EN_CHANGE, EN_MAXTEXT, EN_VSCROLL, EN_SETFOCUS}) {
    fatal = code;
    std::string many;
    for (int i = 0; i < 20; ++i) many += "行\r\n";
    HWND h = Edit(ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL, many.c_str(), 100, 40);
    SendMessage(h, EM_LIMITTEXT, 61, 0);
    SetFocus(h);
    SendMessage(h, EM_SETSEL, 60, 60);
    if (IsWindow(h)) SendMessage(h, WM_CHAR, 'a', 0);  // EN_UPDATE, EN_CHANGE, scrolls
    if (IsWindow(h)) SendMessage(h, WM_CHAR, 'b', 0);  // EN_MAXTEXT
    if (IsWindow(h)) SendMessage(h, WM_VSCROLL, SB_TOP, 0);
    EXPECT_FALSE(IsWindow(h)) << code;
    SetFocus(parent_);
  }
}

TEST_F(EditTest, BadInputFailsClearly) {
  HWND h = Edit(ES_MULTILINE, "ab");
  EXPECT_EQ(SendMessage(h, EM_GETLINE, WPARAM(-5), 0), 0);
  EXPECT_EQ(SendMessage(h, EM_LINELENGTH, 1000, 0), 0);
  EXPECT_EQ(SendMessage(h, EM_LINEINDEX, 0x7FFFFFFF, 0), -1);
  EXPECT_EQ(SendMessage(h, EM_POSFROMCHAR, WPARAM(-1), 0), -1);
  EXPECT_FALSE(SendMessage(h, EM_SETTABSTOPS, 0x7FFFFFFF, 0));
  SendMessage(h, EM_GETRECT, 0, 0);
  SendMessage(h, EM_GETSEL, 0, 0);
  SendMessage(h, WM_GETTEXT, 0, 0);
  SendMessage(h, EM_REPLACESEL, TRUE, 0);
  SendMessage(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("\xC0\x80\xED\xA0\x80x"));
  // An overlong form and a surrogate: one replacement each.
  EXPECT_EQ(Text(h), "\xEF\xBF\xBD\xEF\xBF\xBDx");
  char small[4];
  SetWindowText(h, "中文");
  EXPECT_EQ(SendMessage(h, WM_GETTEXT, sizeof small, reinterpret_cast<LPARAM>(small)), 3);
  EXPECT_STREQ(small, "中");  // never half a character
  DestroyWindow(h);
  EXPECT_EQ(SendMessage(h, EM_GETLINECOUNT, 0, 0), 0);  // stale
  EXPECT_EQ(SendMessage(h, WM_GETTEXTLENGTH, 0, 0), 0);
}

}  // namespace
}  // namespace usertest
