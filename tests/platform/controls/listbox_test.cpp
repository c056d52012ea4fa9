// "ListBox": the LB_ answers, sorting, selection by mouse and keyboard with the LBN_ order,
// type-ahead on the manual clock, owner draw, scrolling and the classic look.
#include <string>
#include <vector>

#include "support/user_fixture.h"

namespace usertest {
namespace {

class ListBoxTest : public UserTest {
 protected:
  void SetUp() override {
    UserTest::SetUp();
    parent_ = Make(WS_POPUP | WS_VISIBLE, nullptr, "", 0, {0, 0, 400, 300});
  }
  // Children die with the parent the fixture destroys.
  HWND List(DWORD style, RECT r = {10, 10, 160, 110}, int id = 7) {
    return CreateWindowEx(0, "ListBox", "", WS_CHILD | WS_VISIBLE | style, r.left, r.top,
                          r.right - r.left, r.bottom - r.top, parent_,
                          reinterpret_cast<HMENU>(std::intptr_t(id)), nullptr, nullptr);
  }
  static void Add(HWND lb, std::initializer_list<const char*> items) {
    for (const char* s : items) SendMessage(lb, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
  }
  static std::string Text(HWND lb, int i) {
    char buf[256] = {};
    SendMessage(lb, LB_GETTEXT, i, reinterpret_cast<LPARAM>(buf));
    return buf;
  }
  static std::vector<std::string> Texts(HWND lb) {
    std::vector<std::string> out;
    for (int i = 0; i < SendMessage(lb, LB_GETCOUNT, 0, 0); ++i) out.push_back(Text(lb, i));
    return out;
  }
  // The LBN_ codes the parent heard, in order.
  std::vector<int> Notes() const {
    std::vector<int> out;
    for (const Entry& e : Received(parent_, WM_COMMAND)) out.push_back(short(HIWORD(e.wp)));
    return out;
  }
  static POINT ItemPoint(HWND lb, int i) {
    RECT rc{};
    SendMessage(lb, LB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&rc));
    POINT p{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    ClientToScreen(lb, &p);
    return p;
  }
  static void Click(POINT p) {
    AdvanceClock(1000);  // never a double click by accident
    InjectMouseButton(MouseButton::Left, true, p.x, p.y);
    InjectMouseButton(MouseButton::Left, false, p.x, p.y);
    DrainQueue(true);
  }
  static void Key(UINT vk) {
    InjectKey(vk, 0, true);
    InjectKey(vk, 0, false);
    DrainQueue(true);
  }
  static void WithKey(UINT modifier, const std::function<void()>& f) {
    InjectKey(modifier, 0, true);
    DrainQueue(true);
    f();
    InjectKey(modifier, 0, false);
    DrainQueue(true);
  }
  static std::vector<int> SelItems(HWND lb) {
    std::vector<int> got(64);
    int n = int(SendMessage(lb, LB_GETSELITEMS, got.size(), reinterpret_cast<LPARAM>(got.data())));
    got.resize(std::max(n, 0));
    return got;
  }

  HWND parent_ = nullptr;
};

TEST_F(ListBoxTest, AnswersToTheListMessages) {
  HWND lb = List(LBS_NOTIFY);
  Add(lb, {"zero", "one", "two"});
  char buf[32];
  struct Case {
    UINT msg;
    WPARAM wp;
    LPARAM lp;
    LRESULT want;
  } cases[] = {
      {LB_GETCOUNT, 0, 0, 3},
      {LB_GETCURSEL, 0, 0, LB_ERR},
      {LB_SETCURSEL, 1, 0, 1},
      {LB_GETCURSEL, 0, 0, 1},
      {LB_SETCURSEL, 3, 0, LB_ERR},  // out of range: the selection stays
      {LB_GETCURSEL, 0, 0, 1},
      {LB_GETTEXTLEN, 2, 0, 3},
      {LB_GETTEXTLEN, 3, 0, LB_ERR},
      {LB_GETTEXT, 0, reinterpret_cast<LPARAM>(buf), 4},
      {LB_GETTEXT, WPARAM(-1), reinterpret_cast<LPARAM>(buf), LB_ERR},
      {LB_INSERTSTRING, 5, reinterpret_cast<LPARAM>("x"), LB_ERR},
      {LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>("first"), 0},
      {LB_GETCURSEL, 0, 0, 2},  // the selected item moved down with the insertion
      {LB_SETITEMDATA, 1, 42, TRUE},
      {LB_GETITEMDATA, 1, 0, 42},
      {LB_GETITEMDATA, 9, 0, LB_ERR},
      {LB_SETSEL, TRUE, 0, LB_ERR},  // single selection has no LB_SETSEL
      {LB_GETSELCOUNT, 0, 0, LB_ERR},
      {LB_GETSEL, 2, 0, 1},
      {LB_GETSEL, 7, 0, LB_ERR},
      {LB_SETCURSEL, WPARAM(-1), 0, LB_ERR},  // clears, and still answers LB_ERR
      {LB_GETCURSEL, 0, 0, LB_ERR},
      {LB_DELETESTRING, 0, 0, 3},
      {LB_DELETESTRING, 3, 0, LB_ERR},
      {LB_SETTOPINDEX, 9, 0, LB_ERR},
      {LB_SETCOUNT, 10, 0, LB_ERR},  // only LBS_NODATA lists
      {LB_SETITEMHEIGHT, 0, 300, LB_ERR},
      {LB_GETANCHORINDEX, 0, 0, -1},
      {LB_RESETCONTENT, 0, 0, 0},
      {LB_GETCOUNT, 0, 0, 0},
      {LB_GETCURSEL, 0, 0, LB_ERR},
      {LB_INITSTORAGE, WPARAM(1) << 40, 1 << 20, LB_ERRSPACE},
  };
  for (const Case& c : cases)
    EXPECT_EQ(SendMessage(lb, c.msg, c.wp, c.lp), c.want) << "message 0x" << std::hex << c.msg;
  // Nothing of that was the user's doing: no notification.
  EXPECT_EQ(Notes(), std::vector<int>{});

  DestroyWindow(lb);
  EXPECT_EQ(SendMessage(lb, LB_GETCOUNT, 0, 0), 0);  // a stale handle answers nothing
  EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
}

TEST_F(ListBoxTest, SortsAsLstrcmpiWithChineseByPinyin) {
  HWND lb = List(LBS_SORT);
  Add(lb, {"上海", "Banana", "北京", "2", "apple", "阿里", "10", "APPLE", "_x"});
  EXPECT_EQ(Texts(lb), (std::vector<std::string>{"_x", "10", "2", "APPLE", "apple", "Banana",
                                                 "阿里", "北京", "上海"}));
  // Insertion by index does not sort; invalid UTF-8 is stored repaired.
  SendMessage(lb, LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>("z\xff\xc3"));
  EXPECT_EQ(Text(lb, 0), "z\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST_F(ListBoxTest, FindsByPrefixOrWholeTextWithoutCase) {
  HWND lb = List(0);
  Add(lb, {"Apple", "apricot", "banana", "北京", "北京市"});
  auto find = [&](UINT msg, int start, const char* s) {
    return SendMessage(lb, msg, WPARAM(LONG_PTR(start)), reinterpret_cast<LPARAM>(s));
  };
  EXPECT_EQ(find(LB_FINDSTRING, -1, "ap"), 0);
  EXPECT_EQ(find(LB_FINDSTRING, 0, "AP"), 1);  // starts after `start`
  EXPECT_EQ(find(LB_FINDSTRING, 1, "ap"), 0);  // and wraps round
  EXPECT_EQ(find(LB_FINDSTRING, 99, "b"), 2);  // a start past the end searches from the top
  EXPECT_EQ(find(LB_FINDSTRING, -1, "北京市"), 4);
  EXPECT_EQ(find(LB_FINDSTRING, -1, "cherry"), LB_ERR);
  EXPECT_EQ(find(LB_FINDSTRINGEXACT, -1, "APPLE"), 0);
  EXPECT_EQ(find(LB_FINDSTRINGEXACT, -1, "北"), LB_ERR);
  EXPECT_EQ(find(LB_SELECTSTRING, -1, "BAN"), 2);
  EXPECT_EQ(SendMessage(lb, LB_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(find(LB_SELECTSTRING, -1, "nothing"), LB_ERR);
  EXPECT_EQ(SendMessage(lb, LB_GETCURSEL, 0, 0), 2);
}

TEST_F(ListBoxTest, AClickSelectsAndNotifiesOnceAtButtonUp) {
  HWND lb = List(LBS_NOTIFY);
  Add(lb, {"a", "b", "c", "d"});
  log.clear();
  POINT p = ItemPoint(lb, 2);
  AdvanceClock(1000);
  InjectMouseButton(MouseButton::Left, true, p.x, p.y);
  DrainQueue(true);
  EXPECT_EQ(GetFocus(), lb);
  EXPECT_EQ(GetCapture(), lb);
  EXPECT_EQ(SendMessage(lb, LB_GETCURSEL, 0, 0), 2);  // selected at once, told at the end
  EXPECT_EQ(Notes(), std::vector<int>{LBN_SETFOCUS});
  InjectMouseButton(MouseButton::Left, false, p.x, p.y);
  DrainQueue(true);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(Notes(), (std::vector<int>{LBN_SETFOCUS, LBN_SELCHANGE}));

  // A double click: the first click as before, then LBN_DBLCLK and nothing at its release.
  log.clear();
  p = ItemPoint(lb, 1);
  AdvanceClock(1000);
  for (int i = 0; i < 2; ++i) {
    InjectMouseButton(MouseButton::Left, true, p.x, p.y);
    InjectMouseButton(MouseButton::Left, false, p.x, p.y);
  }
  DrainQueue(true);
  EXPECT_EQ(Notes(), (std::vector<int>{LBN_SELCHANGE, LBN_DBLCLK}));
  EXPECT_EQ(SendMessage(lb, LB_GETCURSEL, 0, 0), 1);

  // Without LBS_NOTIFY only the focus notifications come.
  HWND quiet = List(0, {200, 10, 300, 110}, 8);
  Add(quiet, {"a", "b"});
  log.clear();
  Click(ItemPoint(quiet, 1));
  EXPECT_EQ(SendMessage(quiet, LB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(Notes(), (std::vector<int>{LBN_KILLFOCUS, LBN_SETFOCUS}));
}

TEST_F(ListBoxTest, ExtendedSelectionFollowsShiftAndCtrl) {
  HWND lb = List(LBS_EXTENDEDSEL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, {10, 10, 160, 200});
  Add(lb, {"0", "1", "2", "3", "4", "5", "6"});
  Click(ItemPoint(lb, 1));
  WithKey(VK_SHIFT, [&] { Click(ItemPoint(lb, 4)); });
  EXPECT_EQ(SelItems(lb), (std::vector<int>{1, 2, 3, 4}));
  WithKey(VK_CONTROL, [&] { Click(ItemPoint(lb, 2)); });
  EXPECT_EQ(SelItems(lb), (std::vector<int>{1, 3, 4}));
  EXPECT_EQ(SendMessage(lb, LB_GETCARETINDEX, 0, 0), 2);
  EXPECT_EQ(SendMessage(lb, LB_GETANCHORINDEX, 0, 0), 2);
  // Shift+Down extends from the anchor; a plain Down selects one item.
  WithKey(VK_SHIFT, [&] {
    Key(VK_DOWN);
    Key(VK_DOWN);
  });
  EXPECT_EQ(SelItems(lb), (std::vector<int>{2, 3, 4}));
  log.clear();
  Key(VK_DOWN);
  EXPECT_EQ(SelItems(lb), std::vector<int>{5});
  EXPECT_EQ(Notes(), std::vector<int>{LBN_SELCHANGE});
  // Ctrl+Down moves only the caret.
  WithKey(VK_CONTROL, [&] { Key(VK_DOWN); });
  EXPECT_EQ(SelItems(lb), std::vector<int>{5});
  EXPECT_EQ(SendMessage(lb, LB_GETCARETINDEX, 0, 0), 6);
}

TEST_F(ListBoxTest, MultipleSelectionTogglesByClickAndSpace) {
  HWND lb = List(LBS_MULTIPLESEL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, {10, 10, 160, 200});
  Add(lb, {"0", "1", "2", "3"});
  Click(ItemPoint(lb, 0));
  Click(ItemPoint(lb, 2));
  EXPECT_EQ(SelItems(lb), (std::vector<int>{0, 2}));
  Click(ItemPoint(lb, 0));
  EXPECT_EQ(SelItems(lb), std::vector<int>{2});
  Key(VK_DOWN);  // moves the caret only
  EXPECT_EQ(SendMessage(lb, LB_GETCARETINDEX, 0, 0), 1);
  EXPECT_EQ(SelItems(lb), std::vector<int>{2});
  Key(VK_SPACE);
  EXPECT_EQ(SelItems(lb), (std::vector<int>{1, 2}));
  EXPECT_EQ(SendMessage(lb, LB_SETSEL, FALSE, -1), LB_OKAY);
  EXPECT_EQ(SendMessage(lb, LB_GETSELCOUNT, 0, 0), 0);
  EXPECT_EQ(SendMessage(lb, LB_SELITEMRANGEEX, 1, 3), LB_OKAY);
  EXPECT_EQ(SelItems(lb), (std::vector<int>{1, 2, 3}));
}

TEST_F(ListBoxTest, KeyboardMovesBySteps) {
  HWND lb = List(LBS_NOTIFY);
  for (int i = 0; i < 30; ++i) Add(lb, {std::to_string(i).c_str()});
  SetFocus(lb);
  int page = int(SendMessage(lb, LB_GETITEMHEIGHT, 0, 0));
  RECT rc;
  GetClientRect(lb, &rc);
  page = rc.bottom / page;
  ASSERT_GT(page, 2);
  struct Step {
    UINT vk;
    int sel;
  } steps[] = {{VK_DOWN, 0},     {VK_DOWN, 1}, {VK_NEXT, page}, {VK_NEXT, 2 * page - 1},
               {VK_PRIOR, page}, {VK_END, 29}, {VK_HOME, 0},    {VK_UP, 0}};
  for (const Step& s : steps) {
    Key(s.vk);
    EXPECT_EQ(SendMessage(lb, LB_GETCURSEL, 0, 0), s.sel) << "key " << s.vk;
    int top = int(SendMessage(lb, LB_GETTOPINDEX, 0, 0));
    EXPECT_TRUE(s.sel >= top && s.sel < top + page) << "key " << s.vk << " leaves the item unseen";
  }
}

TEST_F(ListBoxTest, TypeAheadSearchesIncrementallyWithinAPause) {
  HWND lb = List(LBS_SORT);
  Add(lb, {"apple", "apricot", "banana", "blueberry", "cherry", "北京", "北海"});
  SetFocus(lb);
  auto type = [](char32_t c) {
    InjectText(&c, 1);
    DrainQueue(true);
  };
  auto sel = [&] { return Text(lb, int(SendMessage(lb, LB_GETCURSEL, 0, 0))); };
  type(U'b');
  EXPECT_EQ(sel(), "banana");
  AdvanceClock(300);
  type(U'l');
  EXPECT_EQ(sel(), "blueberry");
  AdvanceClock(1500);  // a pause: the next letter starts a new search
  type(U'a');
  EXPECT_EQ(sel(), "apple");
  AdvanceClock(100);
  type(U'a');  // "aa" matches nothing: the letter steps to the next of its items
  EXPECT_EQ(sel(), "apricot");
  AdvanceClock(1500);
  type(U'北');
  EXPECT_EQ(sel(), "北海");  // hǎi before jīng
  AdvanceClock(100);
  type(U'京');
  EXPECT_EQ(sel(), "北京");
}

TEST_F(ListBoxTest, OwnerDrawAsksTheParent) {
  std::vector<UINT> measured, drawn, deleted;
  std::vector<std::pair<ULONG_PTR, ULONG_PTR>> compared;
  react = [&](HWND h, UINT m, WPARAM, LPARAM lp) -> std::optional<LRESULT> {
    if (h != parent_) return std::nullopt;
    if (m == WM_MEASUREITEM) {
      auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
      EXPECT_EQ(mis->CtlType, ODT_LISTBOX);
      measured.push_back(mis->itemID);
      mis->itemHeight = 10 + UINT(mis->itemData);
      return TRUE;
    }
    if (m == WM_DRAWITEM) {
      auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
      EXPECT_EQ(dis->CtlType, ODT_LISTBOX);
      EXPECT_EQ(dis->rcItem.bottom - dis->rcItem.top, LONG(10 + dis->itemData));
      if (dis->itemID == 1) { EXPECT_TRUE(dis->itemState & ODS_SELECTED); }
      drawn.push_back(dis->itemID);
      return TRUE;
    }
    if (m == WM_DELETEITEM) {
      deleted.push_back(UINT(reinterpret_cast<DELETEITEMSTRUCT*>(lp)->itemData));
      return TRUE;
    }
    if (m == WM_COMPAREITEM) {
      auto* cis = reinterpret_cast<COMPAREITEMSTRUCT*>(lp);
      compared.push_back({cis->itemData1, cis->itemData2});
      return cis->itemData1 < cis->itemData2 ? -1 : cis->itemData1 > cis->itemData2 ? 1 : 0;
    }
    return std::nullopt;
  };
  HWND lb = List(LBS_OWNERDRAWVARIABLE | LBS_SORT, {10, 10, 160, 200});
  for (ULONG_PTR d : {5, 1, 3}) SendMessage(lb, LB_ADDSTRING, 0, LPARAM(d));
  EXPECT_EQ(measured, (std::vector<UINT>{0, 0, 1}));  // each at the index it went to
  EXPECT_FALSE(compared.empty());
  std::vector<ULONG_PTR> order;
  for (int i = 0; i < 3; ++i) order.push_back(ULONG_PTR(SendMessage(lb, LB_GETITEMDATA, i, 0)));
  EXPECT_EQ(order, (std::vector<ULONG_PTR>{1, 3, 5}));
  RECT rc;
  SendMessage(lb, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&rc));
  EXPECT_EQ(rc.top, 11 + 13);
  EXPECT_EQ(rc.bottom, 11 + 13 + 15);
  ULONG_PTR data = 0;
  EXPECT_EQ(SendMessage(lb, LB_GETTEXT, 1, reinterpret_cast<LPARAM>(&data)), LRESULT(sizeof data));
  EXPECT_EQ(data, 3u);
  SendMessage(lb, LB_SETCURSEL, 1, 0);
  UpdateWindow(lb);
  EXPECT_EQ(drawn, (std::vector<UINT>{0, 1, 2}));
  SendMessage(lb, LB_DELETESTRING, 0, 0);
  EXPECT_EQ(deleted, std::vector<UINT>{1});
  DestroyWindow(lb);
  EXPECT_EQ(deleted, (std::vector<UINT>{1, 5, 3}));
}

TEST_F(ListBoxTest, IntegralHeightCutsTheWindowToWholeItems) {
  HWND cut = List(0, {10, 10, 160, 110});
  HWND kept = List(LBS_NOINTEGRALHEIGHT, {200, 10, 350, 110}, 8);
  int h = int(SendMessage(cut, LB_GETITEMHEIGHT, 0, 0));
  RECT rc;
  GetClientRect(cut, &rc);
  EXPECT_EQ(rc.bottom % h, 0);
  EXPECT_GT(rc.bottom, 100 - h);
  GetClientRect(kept, &rc);
  EXPECT_EQ(rc.bottom, 100);
  // A new font changes the item height, and the window follows.
  HFONT big = CreateFont(-29, 0, 0, 0, FW_NORMAL, 0, 0, 0, GB2312_CHARSET, 0, 0, 0, 0, "宋体");
  SendMessage(cut, WM_SETFONT, reinterpret_cast<WPARAM>(big), TRUE);
  int bigh = int(SendMessage(cut, LB_GETITEMHEIGHT, 0, 0));
  EXPECT_GT(bigh, h);
  GetClientRect(cut, &rc);
  EXPECT_EQ(rc.bottom % bigh, 0);
  EXPECT_EQ(SendMessage(cut, WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(big));
  DestroyWindow(cut);
  DeleteObject(big);
}

TEST_F(ListBoxTest, ScrollBarsFollowTheTopIndex) {
  HWND lb = List(WS_VSCROLL | LBS_DISABLENOSCROLL | LBS_NOINTEGRALHEIGHT, {10, 10, 160, 110});
  for (int i = 0; i < 40; ++i) Add(lb, {std::to_string(i).c_str()});
  int h = int(SendMessage(lb, LB_GETITEMHEIGHT, 0, 0));
  RECT rc;
  GetClientRect(lb, &rc);
  int page = rc.bottom / h;
  auto info = [&] {
    SCROLLINFO si;
    si.fMask = SIF_ALL;
    GetScrollInfo(lb, SB_VERT, &si);
    return si;
  };
  EXPECT_EQ(info().nMax, 39);
  EXPECT_EQ(info().nPage, UINT(page));
  SendMessage(lb, WM_VSCROLL, SB_PAGEDOWN, 0);
  EXPECT_EQ(SendMessage(lb, LB_GETTOPINDEX, 0, 0), page);
  EXPECT_EQ(info().nPos, page);
  SendMessage(lb, WM_VSCROLL, SB_LINEUP, 0);
  EXPECT_EQ(SendMessage(lb, LB_GETTOPINDEX, 0, 0), page - 1);
  SendMessage(lb, WM_VSCROLL, SB_BOTTOM, 0);
  EXPECT_EQ(SendMessage(lb, LB_GETTOPINDEX, 0, 0), 40 - page);
  SendMessage(lb, WM_VSCROLL, SB_TOP, 0);
  POINT p{50, 50};
  ClientToScreen(lb, &p);
  SendMessage(lb, WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(-WHEEL_DELTA)), MAKELPARAM(p.x, p.y));
  EXPECT_EQ(SendMessage(lb, LB_GETTOPINDEX, 0, 0), 3);
  EXPECT_EQ(info().nPos, 3);
  SendMessage(lb, LB_SETTOPINDEX, 20, 0);
  EXPECT_EQ(info().nPos, 20);

  // A point below the last item answers the last item, outside.
  SendMessage(lb, LB_RESETCONTENT, 0, 0);
  Add(lb, {"a", "b"});
  LRESULT hit = SendMessage(lb, LB_ITEMFROMPOINT, 0, MAKELPARAM(5, WORD(h + 1)));
  EXPECT_EQ(LOWORD(hit), 1);
  EXPECT_EQ(HIWORD(hit), 0);
  hit = SendMessage(lb, LB_ITEMFROMPOINT, 0, MAKELPARAM(5, WORD(5 * h)));
  EXPECT_EQ(LOWORD(hit), 1);
  EXPECT_EQ(HIWORD(hit), 1);
}

TEST_F(ListBoxTest, DraggingBelowScrollsOnTheClock) {
  HWND lb = List(LBS_NOTIFY, {10, 10, 160, 110});
  for (int i = 0; i < 40; ++i) Add(lb, {std::to_string(i).c_str()});
  POINT p = ItemPoint(lb, 1);
  AdvanceClock(1000);
  InjectMouseButton(MouseButton::Left, true, p.x, p.y);
  DrainQueue(true);
  RECT wr;
  GetWindowRect(lb, &wr);
  InjectMouseMove(p.x, wr.bottom + 20);
  DrainQueue(true);
  int first = int(SendMessage(lb, LB_GETCURSEL, 0, 0));
  for (int i = 0; i < 5; ++i) {
    AdvanceClock(50);
    DrainQueue(true);
  }
  EXPECT_EQ(SendMessage(lb, LB_GETCURSEL, 0, 0), first + 5);
  EXPECT_GT(SendMessage(lb, LB_GETTOPINDEX, 0, 0), 0);
  log.clear();
  InjectMouseButton(MouseButton::Left, false, p.x, wr.bottom + 20);
  DrainQueue(true);
  EXPECT_EQ(Notes(), std::vector<int>{LBN_SELCHANGE});
  AdvanceClock(500);
  DrainQueue(true);
  EXPECT_EQ(SendMessage(lb, LB_GETCURSEL, 0, 0), first + 5);  // the timer stopped
}

TEST_F(ListBoxTest, TheOwnerMayHandleKeysItself) {
  std::vector<std::pair<UINT, int>> asked;
  react = [&](HWND h, UINT m, WPARAM wp, LPARAM) -> std::optional<LRESULT> {
    if (h != parent_ || (m != WM_VKEYTOITEM && m != WM_CHARTOITEM)) return std::nullopt;
    asked.push_back({LOWORD(wp), short(HIWORD(wp))});
    if (m == WM_CHARTOITEM) return 3;      // go to item 3
    if (LOWORD(wp) == VK_DOWN) return -2;  // handled: nothing more
    return -1;                             // do the default
  };
  HWND lb = List(LBS_WANTKEYBOARDINPUT, {10, 10, 160, 200});
  Add(lb, {"a", "b", "c", "d", "e"});
  SetFocus(lb);
  Key(VK_DOWN);
  EXPECT_EQ(SendMessage(lb, LB_GETCURSEL, 0, 0), LB_ERR);
  Key(VK_END);  // with nothing selected, the first key selects the caret's item
  EXPECT_EQ(SendMessage(lb, LB_GETCURSEL, 0, 0), 0);
  Key(VK_END);
  EXPECT_EQ(SendMessage(lb, LB_GETCURSEL, 0, 0), 4);
  char32_t x = U'x';
  InjectText(&x, 1);
  DrainQueue(true);
  EXPECT_EQ(SendMessage(lb, LB_GETCURSEL, 0, 0), 3);
  ASSERT_GE(asked.size(), 3u);
  EXPECT_EQ(asked[0], (std::pair<UINT, int>{VK_DOWN, 0}));
  EXPECT_EQ(asked.back(), (std::pair<UINT, int>{'x', 4}));
}

TEST_F(ListBoxTest, NoDataListsHoldACount) {
  HWND lb = List(LBS_NODATA | LBS_OWNERDRAWFIXED);
  EXPECT_EQ(SendMessage(lb, LB_SETCOUNT, 1000, 0), LB_OKAY);
  EXPECT_EQ(SendMessage(lb, LB_GETCOUNT, 0, 0), 1000);
  EXPECT_EQ(SendMessage(lb, LB_ADDSTRING, 0, 0), LB_ERR);
  EXPECT_EQ(SendMessage(lb, LB_SETCOUNT, WPARAM(1) << 40, 0), LB_ERRSPACE);
  EXPECT_EQ(SendMessage(lb, LB_SETCURSEL, 999, 0), 999);
}

TEST_F(ListBoxTest, LooksClassic) {
  display::HeadlessDisplay screen;
  HBRUSH yellow = CreateSolidBrush(RGB(255, 255, 0));
  react = [&](HWND h, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (h == parent_ && m == WM_CTLCOLORLISTBOX) return reinterpret_cast<LRESULT>(yellow);
    return std::nullopt;
  };
  HFONT font = CreateFont(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, GB2312_CHARSET, 0, 0, 0, 0, "宋体");
  HWND lb = List(WS_BORDER | WS_VSCROLL | LBS_NOTIFY, {10, 10, 170, 130});
  SendMessage(lb, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  for (const char* s : {"正月", "二月", "三月", "四月", "五月", "六月", "七月", "八月", "九月",
                        "十月", "冬月", "腊月"})
    Add(lb, {s});
  SetFocus(lb);
  SendMessage(lb, LB_SETCURSEL, 1, 0);
  UpdateWindow(parent_);
  DrainQueue(true);
  ASSERT_TRUE(screen.SaveWindow(parent_, "/tmp/vellisa_listbox.png"));
  RECT item;
  SendMessage(lb, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
  POINT at{item.right - 3, item.top + 3};
  ClientToScreen(lb, &at);
  EXPECT_EQ(screen.PixelAt(at.x, at.y), GetSysColor(COLOR_HIGHLIGHT));
  SendMessage(lb, LB_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&item));
  at = {item.right - 3, item.top + 3};
  ClientToScreen(lb, &at);
  EXPECT_EQ(screen.PixelAt(at.x, at.y), RGB(255, 255, 0));  // the parent's brush
  DestroyWindow(lb);
  DeleteObject(font);
  DeleteObject(yellow);
}

}  // namespace
}  // namespace usertest
