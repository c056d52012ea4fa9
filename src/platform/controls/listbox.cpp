// "ListBox" and "ComboLBox" (the list of a combo box: its notifications go to the combo box,
// it never takes the focus, and while dropped the selection follows the mouse).
#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/controls/internal/classes.h"
#include "platform/controls/internal/listtext.h"
#include "platform/win.h"

namespace win::controls {
namespace {

constexpr UINT_PTR kScrollTimer = 1;
constexpr UINT kScrollRepeatMs = 50;
// Characters typed within this pause extend the search string; a longer pause starts anew.
constexpr DWORD kTypeAheadMs = 1000;
// More items than this is a request no list can show: refused as out of space.
constexpr std::size_t kMaxItems = std::size_t(1) << 22;
constexpr int kMaxItemHeight = 255;

struct Item {
  std::string text;
  ULONG_PTR data = 0;
  int height = 0;  // LBS_OWNERDRAWVARIABLE only
  bool selected = false;
};

struct ListBox {
  HWND self = nullptr;
  HWND owner = nullptr;  // the parent, or the combo box for a "ComboLBox"
  DWORD style = 0;
  bool combo = false;
  std::vector<Item> items;
  int selected = -1;  // single selection
  int caret = -1;
  int anchor = -1;
  int top = 0;
  int item_height = 16;
  int column_width = 0;
  int horz_extent = 0;
  int horz_pos = 0;
  int avg_char = 8;
  std::vector<int> tabs;  // pixels
  HFONT font = nullptr;
  bool focused = false;
  bool captured = false;
  int scroll_dir = 0;  // -1 up or left, +1 down or right, while dragging outside
  int wheel_rest = 0;
  std::string typed;
  DWORD typed_at = 0;
  bool sizing = false;
};

ListBox* Get(HWND h) { return reinterpret_cast<ListBox*>(GetWindowLongPtr(h, 0)); }

bool OwnerDraw(const ListBox& lb) {
  return lb.style & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE);
}
bool HasStrings(const ListBox& lb) { return !OwnerDraw(lb) || (lb.style & LBS_HASSTRINGS); }
bool Multi(const ListBox& lb) { return lb.style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL); }
bool Variable(const ListBox& lb) {
  return (lb.style & LBS_OWNERDRAWVARIABLE) && !(lb.style & LBS_MULTICOLUMN);
}
bool MultiColumn(const ListBox& lb) { return lb.style & LBS_MULTICOLUMN; }
int Count(const ListBox& lb) { return int(lb.items.size()); }
bool Valid(const ListBox& lb, WPARAM i) { return LONG_PTR(i) >= 0 && LONG_PTR(i) < Count(lb); }

RECT Client(const ListBox& lb) {
  RECT rc;
  GetClientRect(lb.self, &rc);
  return rc;
}
int ClientHeight(const ListBox& lb) {
  RECT rc = Client(lb);
  return rc.bottom - rc.top;
}
int ClientWidth(const ListBox& lb) {
  RECT rc = Client(lb);
  return rc.right - rc.left;
}
int HeightOf(const ListBox& lb, int i) {
  return Variable(lb) && i >= 0 && i < Count(lb) ? lb.items[i].height : lb.item_height;
}
// Rows per column, or items on a page: at least one.
int PageSize(const ListBox& lb) {
  int h = ClientHeight(lb);
  if (!Variable(lb)) return std::max(1, h / std::max(1, lb.item_height));
  int n = 0, y = 0;
  for (int i = lb.top; i < Count(lb); ++i) {
    y += lb.items[i].height;
    if (y > h) break;
    ++n;
  }
  return std::max(1, n);
}
int ColumnWidth(const ListBox& lb) {
  return lb.column_width > 0 ? lb.column_width : std::max(1, ClientWidth(lb) / 2);
}
int VisibleColumns(const ListBox& lb) { return std::max(1, ClientWidth(lb) / ColumnWidth(lb)); }

int MaxTop(const ListBox& lb) {
  int n = Count(lb);
  if (n == 0) return 0;
  if (MultiColumn(lb)) {
    int rows = PageSize(lb);
    int columns = (n + rows - 1) / rows;
    return std::max(0, columns - VisibleColumns(lb)) * rows;
  }
  if (!Variable(lb)) return std::max(0, n - PageSize(lb));
  int h = ClientHeight(lb), y = 0, i = n;
  while (i > 0 && y + lb.items[i - 1].height <= h) y += lb.items[--i].height;
  return std::min(i, n - 1);
}

RECT ItemRect(const ListBox& lb, int index) {
  RECT rc{};
  if (MultiColumn(lb)) {
    int rows = PageSize(lb);
    int col = index / rows - lb.top / rows;
    rc.left = col * ColumnWidth(lb);
    rc.right = rc.left + ColumnWidth(lb);
    rc.top = (index % rows) * lb.item_height;
    rc.bottom = rc.top + lb.item_height;
    return rc;
  }
  rc.left = -lb.horz_pos;
  rc.right = std::max(lb.horz_extent, ClientWidth(lb)) - lb.horz_pos;
  if (Variable(lb)) {
    int y = 0;
    if (index >= lb.top)
      for (int i = lb.top; i < index; ++i) y += lb.items[i].height;
    else
      for (int i = index; i < lb.top; ++i) y -= lb.items[i].height;
    rc.top = y;
  } else {
    rc.top = (index - lb.top) * lb.item_height;
  }
  rc.bottom = rc.top + HeightOf(lb, index);
  return rc;
}

// The item at a client point, clamped to the items (-1 when there are none), as dragging
// wants it.
int ItemAt(const ListBox& lb, int x, int y) {
  int n = Count(lb);
  if (n == 0) return -1;
  int index;
  if (MultiColumn(lb)) {
    int rows = PageSize(lb);
    int col = x < 0 ? -1 : x / ColumnWidth(lb);
    int row = std::clamp(y / std::max(1, lb.item_height), 0, rows - 1);
    index = lb.top + col * rows + row;
  } else if (Variable(lb)) {
    index = lb.top;
    if (y < 0) {
      index = lb.top - 1;
    } else {
      int at = 0;
      while (index < n - 1 && at + lb.items[index].height <= y) at += lb.items[index++].height;
    }
  } else {
    index = y < 0 ? lb.top - 1 : lb.top + y / std::max(1, lb.item_height);
  }
  return std::clamp(index, 0, n - 1);
}

void Notify(const ListBox& lb, int code) {
  SendMessage(lb.owner, WM_COMMAND, MAKEWPARAM(WORD(GetDlgCtrlID(lb.self)), WORD(code)),
              reinterpret_cast<LPARAM>(lb.self));
}

void InvalidateItem(const ListBox& lb, int index) {
  if (index < 0 || index >= Count(lb)) return;
  RECT rc = ItemRect(lb, index);
  InvalidateRect(lb.self, &rc, TRUE);
}

void UpdateScroll(ListBox& lb) {
  DWORD ws = DWORD(GetWindowLong(lb.self, GWL_STYLE));
  UINT keep = (lb.style & LBS_DISABLENOSCROLL) ? SIF_DISABLENOSCROLL : 0;
  SCROLLINFO si;
  if (MultiColumn(lb)) {
    if (!(ws & WS_HSCROLL)) return;
    int rows = PageSize(lb);
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | keep;
    si.nMax = Count(lb) ? (Count(lb) + rows - 1) / rows - 1 : 0;
    si.nPage = UINT(VisibleColumns(lb));
    si.nPos = lb.top / rows;
    SetScrollInfo(lb.self, SB_HORZ, &si, TRUE);
    return;
  }
  if (ws & WS_VSCROLL) {
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | keep;
    si.nMax = std::max(0, Count(lb) - 1);
    si.nPage = UINT(PageSize(lb));
    si.nPos = lb.top;
    SetScrollInfo(lb.self, SB_VERT, &si, TRUE);
  }
  if (ws & WS_HSCROLL) {
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | keep;
    si.nMax = std::max(0, lb.horz_extent - 1);
    si.nPage = UINT(ClientWidth(lb));
    si.nPos = lb.horz_pos;
    SetScrollInfo(lb.self, SB_HORZ, &si, TRUE);
  }
}

void SetTop(ListBox& lb, int index) {
  index = std::clamp(index, 0, MaxTop(lb));
  if (MultiColumn(lb)) index -= index % PageSize(lb);
  if (index == lb.top) return;
  lb.top = index;
  InvalidateRect(lb.self, nullptr, TRUE);
  UpdateScroll(lb);
}

void SetHorzPos(ListBox& lb, int pos) {
  pos = std::clamp(pos, 0, std::max(0, lb.horz_extent - ClientWidth(lb)));
  if (pos == lb.horz_pos) return;
  lb.horz_pos = pos;
  InvalidateRect(lb.self, nullptr, TRUE);
  UpdateScroll(lb);
}

void MakeVisible(ListBox& lb, int index) {
  if (index < 0 || index >= Count(lb)) return;
  if (MultiColumn(lb)) {
    int rows = PageSize(lb), col = index / rows, first = lb.top / rows;
    if (col < first)
      SetTop(lb, col * rows);
    else if (col >= first + VisibleColumns(lb))
      SetTop(lb, (col - VisibleColumns(lb) + 1) * rows);
    return;
  }
  if (index < lb.top) {
    SetTop(lb, index);
    return;
  }
  if (!Variable(lb)) {
    if (index >= lb.top + PageSize(lb)) SetTop(lb, index - PageSize(lb) + 1);
    return;
  }
  int h = ClientHeight(lb), top = lb.top;
  auto bottom = [&] {
    int y = 0;
    for (int i = top; i <= index; ++i) y += lb.items[i].height;
    return y;
  };
  while (top < index && bottom() > h) ++top;
  SetTop(lb, top);
}

// Selection. Changes made here notify nobody: the callers that act for the user do.
void SelectRange(ListBox& lb, int first, int last, bool on) {
  first = std::max(first, 0);
  last = std::min(last, Count(lb) - 1);
  for (int i = first; i <= last; ++i)
    if (lb.items[i].selected != on) {
      lb.items[i].selected = on;
      InvalidateItem(lb, i);
    }
}
bool SetSelection(ListBox& lb, int index, bool on) {
  if (lb.style & LBS_NOSEL) return false;
  if (index < -1 || index >= Count(lb)) return false;
  if (Multi(lb)) {
    if (index == -1)
      SelectRange(lb, 0, Count(lb) - 1, on);
    else
      SelectRange(lb, index, index, on);
    return true;
  }
  if (!on) index = index == lb.selected || index == -1 ? -1 : lb.selected;
  if (index == lb.selected) return true;
  InvalidateItem(lb, lb.selected);
  lb.selected = index;
  InvalidateItem(lb, index);
  return true;
}
bool IsSelected(const ListBox& lb, int i) {
  return Multi(lb) ? lb.items[i].selected : i == lb.selected;
}
void SetCaret(ListBox& lb, int index) {
  if (index == lb.caret) return;
  InvalidateItem(lb, lb.caret);
  lb.caret = index;
  InvalidateItem(lb, index);
}
// The caret moves and, outside multiple selection, the selection with it (from the anchor in
// extended selection).
void MoveCaret(ListBox& lb, int index) {
  if (index < 0 || index >= Count(lb)) return;
  if (lb.style & LBS_EXTENDEDSEL) {
    if (lb.anchor >= 0) {
      int first = std::min(lb.anchor, index), last = std::max(lb.anchor, index);
      SelectRange(lb, 0, first - 1, false);
      SelectRange(lb, last + 1, Count(lb) - 1, false);
      SelectRange(lb, first, last, true);
    }
  } else if (!(lb.style & LBS_MULTIPLESEL)) {
    SetSelection(lb, index, true);
  }
  SetCaret(lb, index);
  MakeVisible(lb, index);
}

// ---- Items ----

void SendDeleteItem(ListBox& lb, int index) {
  const Item& it = lb.items[index];
  if (!OwnerDraw(lb) && !it.data) return;
  DELETEITEMSTRUCT dis{ODT_LISTBOX, UINT(GetDlgCtrlID(lb.self)), UINT(index), lb.self, it.data};
  SendMessage(lb.owner, WM_DELETEITEM, WPARAM(dis.CtlID), reinterpret_cast<LPARAM>(&dis));
}

int Measure(ListBox& lb, int index, ULONG_PTR data) {
  MEASUREITEMSTRUCT mis{ODT_LISTBOX,           UINT(GetDlgCtrlID(lb.self)), UINT(index),
                        UINT(ClientWidth(lb)), UINT(lb.item_height),        data};
  SendMessage(lb.owner, WM_MEASUREITEM, WPARAM(mis.CtlID), reinterpret_cast<LPARAM>(&mis));
  return std::clamp(int(mis.itemHeight), 1, kMaxItemHeight);
}

// Where a new item goes in a sorted list: at an equal item, or before the first that sorts
// after it.
int SortedPosition(ListBox& lb, const std::string& text, ULONG_PTR data) {
  int lo = 0, hi = Count(lb);
  while (lo < hi) {
    int mid = (lo + hi) / 2;
    int r;
    if (HasStrings(lb)) {
      r = CompareListText(lb.items[mid].text, text);
    } else {
      COMPAREITEMSTRUCT cis{ODT_LISTBOX,
                            UINT(GetDlgCtrlID(lb.self)),
                            lb.self,
                            UINT(mid),
                            lb.items[mid].data,
                            UINT(-1),
                            data,
                            0};
      r = int(
          SendMessage(lb.owner, WM_COMPAREITEM, WPARAM(cis.CtlID), reinterpret_cast<LPARAM>(&cis)));
    }
    if (r == 0) return mid;
    if (r > 0)
      hi = mid;
    else
      lo = mid + 1;
  }
  return lo;
}

LRESULT Insert(ListBox& lb, int index, LPARAM lp, bool sort) {
  if (lb.style & LBS_NODATA) return LB_ERR;
  if (index < -1 || index > Count(lb)) return LB_ERR;
  if (lb.items.size() >= kMaxItems) {
    Notify(lb, LBN_ERRSPACE);
    return LB_ERRSPACE;
  }
  Item it;
  if (HasStrings(lb))
    it.text = SanitizeListText(reinterpret_cast<const char*>(lp));
  else
    it.data = ULONG_PTR(lp);
  if (sort && (lb.style & LBS_SORT))
    index = SortedPosition(lb, it.text, it.data);
  else if (index == -1)
    index = Count(lb);
  lb.items.insert(lb.items.begin() + index, std::move(it));
  if (Variable(lb)) lb.items[index].height = Measure(lb, index, lb.items[index].data);
  if (!Multi(lb) && lb.selected >= index) ++lb.selected;
  if (lb.caret >= index && Count(lb) > 1) ++lb.caret;
  if (lb.anchor >= index && Count(lb) > 1) ++lb.anchor;
  // The first item takes the caret so the keyboard has somewhere to start.
  if (lb.caret < 0) lb.caret = 0;
  InvalidateRect(lb.self, nullptr, TRUE);
  UpdateScroll(lb);
  return index;
}

LRESULT Delete(ListBox& lb, WPARAM wp) {
  if (!Valid(lb, wp)) return LB_ERR;
  int index = int(wp);
  SendDeleteItem(lb, index);
  if (index >= Count(lb)) return LB_ERR;  // the owner emptied the list meanwhile
  lb.items.erase(lb.items.begin() + index);
  auto shift = [&](int& v) {
    if (v > index || (v == index && v == Count(lb))) --v;
  };
  if (!Multi(lb)) {
    if (lb.selected == index)
      lb.selected = -1;
    else if (lb.selected > index)
      --lb.selected;
  }
  shift(lb.caret);
  shift(lb.anchor);
  if (Count(lb) == 0) lb.caret = lb.anchor = -1;
  lb.top = std::min(lb.top, MaxTop(lb));
  InvalidateRect(lb.self, nullptr, TRUE);
  UpdateScroll(lb);
  return Count(lb);
}

void Reset(ListBox& lb) {
  for (int i = Count(lb) - 1; i >= 0 && i < Count(lb); --i) SendDeleteItem(lb, i);
  lb.items.clear();
  lb.selected = lb.caret = lb.anchor = -1;
  lb.top = 0;
  lb.horz_pos = 0;
  InvalidateRect(lb.self, nullptr, TRUE);
  UpdateScroll(lb);
}

LRESULT SetCount(ListBox& lb, WPARAM n) {
  if (!(lb.style & LBS_NODATA) || HasStrings(lb)) return LB_ERR;
  if (n > kMaxItems) {
    Notify(lb, LBN_ERRSPACE);
    return LB_ERRSPACE;
  }
  lb.items.resize(n);
  if (lb.selected >= int(n)) lb.selected = -1;
  lb.caret = std::min(lb.caret, int(n) - 1);
  if (n && lb.caret < 0) lb.caret = 0;
  lb.anchor = std::min(lb.anchor, int(n) - 1);
  lb.top = std::min(lb.top, MaxTop(lb));
  InvalidateRect(lb.self, nullptr, TRUE);
  UpdateScroll(lb);
  return LB_OKAY;
}

// Searches after `start` (-1: from the first item), wrapping round, by prefix or whole text,
// without regard to case. Lists without strings compare item data.
LRESULT Find(const ListBox& lb, WPARAM start, LPARAM lp, bool exact) {
  int n = Count(lb);
  if (n == 0) return LB_ERR;
  int from = LONG_PTR(start) < 0 || LONG_PTR(start) >= n ? -1 : int(start);
  std::string key;
  if (HasStrings(lb)) key = SanitizeListText(reinterpret_cast<const char*>(lp));
  for (int k = 1; k <= n; ++k) {
    int i = (from + k) % n;
    bool hit = HasStrings(lb) ? (exact ? CompareListText(lb.items[i].text, key) == 0
                                       : ListTextHasPrefix(lb.items[i].text, key))
                              : lb.items[i].data == ULONG_PTR(lp);
    if (hit) return i;
  }
  return LB_ERR;
}

void RecomputeMetrics(ListBox& lb) {
  HDC dc = GetDC(lb.self);
  HGDIOBJ old = lb.font ? SelectObject(dc, lb.font) : nullptr;
  TEXTMETRIC tm;
  GetTextMetrics(dc, &tm);
  if (old) SelectObject(dc, old);
  ReleaseDC(lb.self, dc);
  lb.avg_char = std::max(1, int(tm.tmAveCharWidth));
  if (!OwnerDraw(lb)) lb.item_height = std::max(1, int(tm.tmHeight));
}

// Without LBS_NOINTEGRALHEIGHT the window is cut to whole items.
void FitIntegralHeight(ListBox& lb) {
  if ((lb.style & (LBS_NOINTEGRALHEIGHT | LBS_OWNERDRAWVARIABLE)) || lb.sizing) return;
  int h = ClientHeight(lb);
  int rest = h % std::max(1, lb.item_height);
  if (h <= lb.item_height || rest == 0) return;
  RECT wr;
  GetWindowRect(lb.self, &wr);
  lb.sizing = true;
  SetWindowPos(lb.self, nullptr, 0, 0, wr.right - wr.left, wr.bottom - wr.top - rest,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  lb.sizing = false;
}

// ---- Painting ----

HBRUSH ColorBrush(const ListBox& lb, HDC dc) {
  auto br = reinterpret_cast<HBRUSH>(SendMessage(lb.owner, WM_CTLCOLORLISTBOX,
                                                 reinterpret_cast<WPARAM>(dc),
                                                 reinterpret_cast<LPARAM>(lb.self)));
  if (!br)
    br = reinterpret_cast<HBRUSH>(DefWindowProc(lb.self, WM_CTLCOLORLISTBOX,
                                                reinterpret_cast<WPARAM>(dc),
                                                reinterpret_cast<LPARAM>(lb.self)));
  return br;
}

void DrawItem(ListBox& lb, HDC dc, int i, const RECT& rc, HBRUSH bg) {
  bool sel = IsSelected(lb, i);
  bool focus = lb.focused && i == lb.caret;
  bool disabled = !IsWindowEnabled(lb.self);
  if (OwnerDraw(lb)) {
    UINT state = (sel ? ODS_SELECTED : 0) | (focus ? ODS_FOCUS : 0) | (disabled ? ODS_DISABLED : 0);
    DRAWITEMSTRUCT dis{ODT_LISTBOX,
                       UINT(GetDlgCtrlID(lb.self)),
                       UINT(i),
                       ODA_DRAWENTIRE,
                       state,
                       lb.self,
                       dc,
                       rc,
                       lb.items[i].data};
    int saved = SaveDC(dc);
    IntersectClipRect(dc, rc.left, rc.top, rc.right, rc.bottom);
    SendMessage(lb.owner, WM_DRAWITEM, WPARAM(dis.CtlID), reinterpret_cast<LPARAM>(&dis));
    RestoreDC(dc, saved);
    return;
  }
  COLORREF old_text = 0, old_bk = 0;
  if (sel) {
    old_text = SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    old_bk = SetBkColor(dc, GetSysColor(COLOR_HIGHLIGHT));
    FillRect(dc, &rc, GetSysColorBrush(COLOR_HIGHLIGHT));
  } else {
    FillRect(dc, &rc, bg);
    if (disabled) old_text = SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  }
  const std::string& s = lb.items[i].text;
  int mode = SetBkMode(dc, TRANSPARENT);
  if (lb.style & LBS_USETABSTOPS) {
    int saved = SaveDC(dc);
    IntersectClipRect(dc, rc.left, rc.top, rc.right, rc.bottom);
    TabbedTextOut(dc, rc.left + 1, rc.top, s.data(), int(s.size()), int(lb.tabs.size()),
                  lb.tabs.empty() ? nullptr : lb.tabs.data(), rc.left + 1);
    RestoreDC(dc, saved);
  } else {
    ExtTextOut(dc, rc.left + 1, rc.top, ETO_CLIPPED, &rc, s.data(), UINT(s.size()), nullptr);
  }
  SetBkMode(dc, mode);
  if (sel) {
    SetTextColor(dc, old_text);
    SetBkColor(dc, old_bk);
  } else if (disabled) {
    SetTextColor(dc, old_text);
  }
  if (focus) DrawFocusRect(dc, &rc);
}

void Paint(ListBox& lb, HDC dc) {
  HGDIOBJ old_font = lb.font ? SelectObject(dc, lb.font) : nullptr;
  HBRUSH bg = ColorBrush(lb, dc);
  RECT client = Client(lb);
  RECT clip;
  if (GetClipBox(dc, &clip) == 0) clip = client;
  int n = Count(lb);
  int last_bottom = 0;
  for (int i = lb.top; i < n; ++i) {
    RECT rc = ItemRect(lb, i);
    if (MultiColumn(lb)) {
      if (rc.left >= client.right) break;
    } else if (rc.top >= client.bottom) {
      break;
    }
    last_bottom = std::max(last_bottom, int(rc.bottom));
    RECT visible;
    if (IntersectRect(&visible, &rc, &clip)) DrawItem(lb, dc, i, rc, bg);
    if (MultiColumn(lb) && rc.bottom + lb.item_height > client.bottom) {
      RECT below{rc.left, rc.bottom, rc.right, client.bottom};
      FillRect(dc, &below, bg);
    }
  }
  if (!MultiColumn(lb) && last_bottom < client.bottom) {
    RECT below{client.left, last_bottom, client.right, client.bottom};
    FillRect(dc, &below, bg);
  }
  if (MultiColumn(lb)) {
    int cols_shown = (n - lb.top + PageSize(lb) - 1) / PageSize(lb);
    RECT right{cols_shown * ColumnWidth(lb), 0, client.right, client.bottom};
    if (right.left < right.right) FillRect(dc, &right, bg);
  }
  // An empty list still shows where the focus is.
  if (n == 0 && lb.focused && !OwnerDraw(lb)) {
    RECT rc{0, 0, client.right, lb.item_height};
    DrawFocusRect(dc, &rc);
  }
  if (old_font) SelectObject(dc, old_font);
}

// ---- Scrolling ----

void Scroll(ListBox& lb, int bar, WORD code, int thumb) {
  bool by_items = bar == SB_VERT || MultiColumn(lb);
  if (by_items) {
    int step = MultiColumn(lb) ? PageSize(lb) : 1;
    int page = MultiColumn(lb) ? VisibleColumns(lb) * PageSize(lb) : PageSize(lb);
    switch (code) {
      case SB_LINEUP: SetTop(lb, lb.top - step); break;
      case SB_LINEDOWN: SetTop(lb, lb.top + step); break;
      case SB_PAGEUP: SetTop(lb, lb.top - page); break;
      case SB_PAGEDOWN: SetTop(lb, lb.top + page); break;
      case SB_TOP: SetTop(lb, 0); break;
      case SB_BOTTOM: SetTop(lb, Count(lb)); break;
      case SB_THUMBPOSITION:
      case SB_THUMBTRACK: SetTop(lb, thumb * step); break;
      default: break;
    }
    return;
  }
  int page = ClientWidth(lb);
  switch (code) {
    case SB_LINELEFT: SetHorzPos(lb, lb.horz_pos - lb.avg_char); break;
    case SB_LINERIGHT: SetHorzPos(lb, lb.horz_pos + lb.avg_char); break;
    case SB_PAGELEFT: SetHorzPos(lb, lb.horz_pos - page); break;
    case SB_PAGERIGHT: SetHorzPos(lb, lb.horz_pos + page); break;
    case SB_LEFT: SetHorzPos(lb, 0); break;
    case SB_RIGHT: SetHorzPos(lb, lb.horz_extent); break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: SetHorzPos(lb, thumb); break;
    default: break;
  }
}

int ThumbPosition(HWND h, int bar, WPARAM wp) {
  SCROLLINFO si;
  si.fMask = SIF_TRACKPOS;
  // The 32-bit position when the bar keeps one; the 16 bits of the message otherwise.
  if (GetScrollInfo(h, bar, &si)) return si.nTrackPos;
  return HIWORD(wp);
}

// ---- Mouse ----

void ScrollTimer(ListBox& lb, int dir) {
  if (dir == lb.scroll_dir) return;
  lb.scroll_dir = dir;
  if (dir)
    SetTimer(lb.self, kScrollTimer, kScrollRepeatMs, nullptr);
  else
    KillTimer(lb.self, kScrollTimer);
}

// One step of a drag outside the list: the next item beyond the edge comes in.
void DragStep(ListBox& lb) {
  if (!lb.scroll_dir || Count(lb) == 0) return;
  int target;
  if (MultiColumn(lb))
    target = lb.caret + lb.scroll_dir * PageSize(lb);
  else
    target = lb.scroll_dir < 0 ? lb.top - 1 : lb.top + PageSize(lb);
  target = std::clamp(target, 0, Count(lb) - 1);
  if (target != lb.caret) MoveCaret(lb, target);
}

void ButtonDown(ListBox& lb, WPARAM keys, int x, int y) {
  if (!lb.combo && !lb.focused) {
    SetFocus(lb.self);
    if (!IsWindow(lb.self)) return;
  }
  int index = ItemAt(lb, x, y);
  if (index < 0) return;
  if (lb.combo) {
    MoveCaret(lb, index);
    return;
  }
  if (lb.style & LBS_EXTENDEDSEL) {
    if (!(keys & MK_SHIFT)) lb.anchor = index;
    if (keys & MK_CONTROL) {
      SetCaret(lb, index);
      SetSelection(lb, index, !lb.items[index].selected);
    } else {
      MoveCaret(lb, index);
    }
  } else {
    lb.anchor = index;
    MoveCaret(lb, index);
    if (lb.style & LBS_MULTIPLESEL) SetSelection(lb, index, !lb.items[index].selected);
  }
  lb.captured = true;
  SetCapture(lb.self);
}

void MouseMove(ListBox& lb, int x, int y) {
  RECT client = Client(lb);
  if (lb.combo && !lb.captured) {
    // A dropped list highlights the item under the pointer.
    POINT pt{x, y};
    if (PtInRect(&client, pt) && Count(lb)) {
      int index = ItemAt(lb, x, y);
      if (index != lb.caret || !IsSelected(lb, index)) MoveCaret(lb, index);
    }
    return;
  }
  if (!lb.captured) return;
  int dir = 0;
  if (MultiColumn(lb))
    dir = x < client.left ? -1 : x >= client.right ? 1 : 0;
  else
    dir = y < client.top ? -1 : y >= client.bottom ? 1 : 0;
  int index = ItemAt(lb, x, y);
  if (!dir && index >= 0 && index != lb.caret) MoveCaret(lb, index);
  ScrollTimer(lb, dir);
  DragStep(lb);
}

void ButtonUp(ListBox& lb, int x, int y) {
  ScrollTimer(lb, 0);
  if (lb.combo) {
    POINT pt{x, y};
    RECT client = Client(lb);
    if (PtInRect(&client, pt) && Count(lb)) Notify(lb, LBN_SELCHANGE);
    return;
  }
  if (!lb.captured) return;
  lb.captured = false;
  if (GetCapture() == lb.self) ReleaseCapture();
  // Every click ends in LBN_SELCHANGE, even one on the item already selected, as Windows does.
  if ((lb.style & LBS_NOTIFY) && Count(lb)) Notify(lb, LBN_SELCHANGE);
}

// ---- Keyboard ----

// After the keyboard moved the caret: the anchor follows unless Shift extends, and the owner
// hears LBN_SELCHANGE.
void KeyMoved(ListBox& lb, int caret, bool extend, bool caret_only) {
  if (caret < 0 || Count(lb) == 0) return;
  caret = std::clamp(caret, 0, Count(lb) - 1);
  if (!Multi(lb) || ((lb.style & LBS_EXTENDEDSEL) && !extend && !caret_only)) lb.anchor = caret;
  if (caret_only) {
    SetCaret(lb, caret);
    MakeVisible(lb, caret);
  } else {
    MoveCaret(lb, caret);
  }
  if ((lb.style & LBS_NOTIFY) || lb.combo) Notify(lb, LBN_SELCHANGE);
}

void KeyDown(ListBox& lb, UINT vk) {
  int caret = lb.caret;
  if (lb.style & LBS_WANTKEYBOARDINPUT) {
    LRESULT r = SendMessage(lb.owner, WM_VKEYTOITEM, MAKEWPARAM(WORD(vk), WORD(lb.caret)),
                            reinterpret_cast<LPARAM>(lb.self));
    if (!IsWindow(lb.self) || r == -2) return;
    if (r >= 0) {
      KeyMoved(lb, int(r), false, false);
      return;
    }
  }
  if (Count(lb) == 0) return;
  bool shift = GetKeyState(VK_SHIFT) < 0, ctrl = GetKeyState(VK_CONTROL) < 0;
  int page = PageSize(lb);
  switch (vk) {
    case VK_UP: caret = std::max(0, caret - 1); break;
    case VK_DOWN: caret = caret + 1; break;
    case VK_LEFT:
      if (MultiColumn(lb)) {
        caret = std::max(0, caret - page);
      } else {
        Scroll(lb, SB_HORZ, SB_LINELEFT, 0);
        return;
      }
      break;
    case VK_RIGHT:
      if (MultiColumn(lb)) {
        caret = caret + page;
      } else {
        Scroll(lb, SB_HORZ, SB_LINERIGHT, 0);
        return;
      }
      break;
    case VK_PRIOR:
      caret = MultiColumn(lb) ? caret - VisibleColumns(lb) * page : caret - page + 1;
      caret = std::max(0, caret);
      break;
    case VK_NEXT:
      caret = MultiColumn(lb) ? caret + VisibleColumns(lb) * page : caret + page - 1;
      break;
    case VK_HOME: caret = 0; break;
    case VK_END: caret = Count(lb) - 1; break;
    default: return;
  }
  // With nothing selected, the first key selects the caret's item instead of moving.
  if (!Multi(lb) && lb.selected != lb.caret) caret = std::max(lb.caret, 0);
  bool extended = lb.style & LBS_EXTENDEDSEL;
  KeyMoved(lb, std::min(caret, Count(lb) - 1), extended && shift, extended && ctrl && !shift);
}

void Char(ListBox& lb, char32_t ch) {
  if (lb.style & LBS_WANTKEYBOARDINPUT) {
    LRESULT r = SendMessage(lb.owner, WM_CHARTOITEM, MAKEWPARAM(WORD(ch), WORD(lb.caret)),
                            reinterpret_cast<LPARAM>(lb.self));
    if (!IsWindow(lb.self) || r == -2) return;
    if (r >= 0) {
      KeyMoved(lb, int(r), false, false);
      return;
    }
  }
  if (ch == U' ' && Multi(lb)) {
    if (lb.caret >= 0) {
      if (lb.style & LBS_MULTIPLESEL)
        SetSelection(lb, lb.caret, !lb.items[lb.caret].selected);
      else
        MoveCaret(lb, lb.caret);
      if (lb.style & LBS_NOTIFY) Notify(lb, LBN_SELCHANGE);
    }
    return;
  }
  if (ch < 0x20 || !HasStrings(lb) || Count(lb) == 0) return;
  DWORD now = GetTickCount();
  bool more = !lb.typed.empty() && now - lb.typed_at < kTypeAheadMs;
  if (!more) lb.typed.clear();
  lb.typed += EncodeListChar(ch);
  lb.typed_at = now;
  // A new search starts after the caret, so typing one letter again steps through the items
  // that begin with it; a longer prefix may stay on the caret's item.
  int start = more ? lb.caret - 1 : lb.caret;
  LRESULT found =
      Find(lb, WPARAM(LONG_PTR(start)), reinterpret_cast<LPARAM>(lb.typed.c_str()), false);
  if (found == LB_ERR && more) {
    // Repeating the first letter steps through its items.
    lb.typed = EncodeListChar(ch);
    found = Find(lb, WPARAM(LONG_PTR(lb.caret)), reinterpret_cast<LPARAM>(lb.typed.c_str()), false);
  }
  if (found != LB_ERR) KeyMoved(lb, int(found), false, false);
}

// ---- Messages ----

LRESULT CopyText(const ListBox& lb, WPARAM wp, LPARAM lp) {
  if (!Valid(lb, wp) || !lp) return LB_ERR;
  const Item& it = lb.items[wp];
  if (!HasStrings(lb)) {
    *reinterpret_cast<ULONG_PTR*>(lp) = it.data;
    return sizeof(ULONG_PTR);
  }
  char* out = reinterpret_cast<char*>(lp);
  std::copy(it.text.begin(), it.text.end(), out);
  out[it.text.size()] = '\0';
  return LRESULT(it.text.size());
}

LRESULT ListMessage(ListBox& lb, UINT m, WPARAM wp, LPARAM lp) {
  switch (m) {
    case LB_ADDSTRING: return Insert(lb, -1, lp, true);
    case LB_INSERTSTRING: return Insert(lb, int(LONG_PTR(wp)), lp, false);
    case LB_DELETESTRING: return Delete(lb, wp);
    case LB_RESETCONTENT: Reset(lb); return LB_OKAY;
    case LB_GETCOUNT: return Count(lb);
    case LB_GETTEXT: return CopyText(lb, wp, lp);
    case LB_GETTEXTLEN:
      if (!Valid(lb, wp)) return LB_ERR;
      return HasStrings(lb) ? LRESULT(lb.items[wp].text.size()) : LRESULT(sizeof(ULONG_PTR));
    case LB_GETITEMDATA: return Valid(lb, wp) ? LRESULT(lb.items[wp].data) : LB_ERR;
    case LB_SETITEMDATA:
      if (!Valid(lb, wp)) return LB_ERR;
      lb.items[wp].data = ULONG_PTR(lp);
      return TRUE;
    case LB_SETCURSEL: {
      if (Multi(lb)) return LB_ERR;
      int index = int(LONG_PTR(wp));
      if (index < -1 || index >= Count(lb) || !SetSelection(lb, index, true)) return LB_ERR;
      if (index >= 0) {
        SetCaret(lb, index);
        MakeVisible(lb, index);
      }
      return index >= 0 ? index : LB_ERR;
    }
    case LB_GETCURSEL:
      if (!Multi(lb)) return lb.selected >= 0 ? lb.selected : LB_ERR;
      return Count(lb) ? lb.caret : LB_ERR;
    case LB_SETSEL: {
      if (!Multi(lb)) return LB_ERR;
      int index = int(LONG_PTR(lp));
      if (!SetSelection(lb, index, wp != 0)) return LB_ERR;
      if (index >= 0) SetCaret(lb, index);
      return LB_OKAY;
    }
    case LB_GETSEL: return Valid(lb, wp) ? LRESULT(IsSelected(lb, int(wp))) : LB_ERR;
    case LB_GETSELCOUNT:
      if (!Multi(lb)) return LB_ERR;
      return std::count_if(lb.items.begin(), lb.items.end(),
                           [](const Item& it) { return it.selected; });
    case LB_GETSELITEMS: {
      if (!Multi(lb) || !lp) return LB_ERR;
      int* out = reinterpret_cast<int*>(lp);
      int room = int(std::min<WPARAM>(wp, WPARAM(INT32_MAX))), got = 0;
      for (int i = 0; i < Count(lb) && got < room; ++i)
        if (lb.items[i].selected) out[got++] = i;
      return got;
    }
    case LB_SELITEMRANGE:
      if (!Multi(lb)) return LB_ERR;
      SelectRange(lb, std::min(LOWORD(lp), HIWORD(lp)), std::max(LOWORD(lp), HIWORD(lp)), wp != 0);
      return LB_OKAY;
    case LB_SELITEMRANGEEX: {
      if (!Multi(lb)) return LB_ERR;
      int first = int(LONG_PTR(wp)), last = int(lp);
      if (first <= last)
        SelectRange(lb, first, last, true);
      else
        SelectRange(lb, last, first, false);
      return LB_OKAY;
    }
    case LB_SETCARETINDEX:
      if (!Valid(lb, wp)) return LB_ERR;
      if (!Multi(lb)) SetSelection(lb, int(wp), true);
      SetCaret(lb, int(wp));
      MakeVisible(lb, int(wp));
      return LB_OKAY;
    case LB_GETCARETINDEX: return lb.caret;
    case LB_SETANCHORINDEX:
      if (LONG_PTR(wp) < -1 || LONG_PTR(wp) >= Count(lb)) return LB_ERR;
      lb.anchor = int(LONG_PTR(wp));
      return LB_OKAY;
    case LB_GETANCHORINDEX: return lb.anchor;
    case LB_SETTOPINDEX:
      if (!Valid(lb, wp) && !(wp == 0 && Count(lb) == 0)) return LB_ERR;
      SetTop(lb, int(wp));
      return LB_OKAY;
    case LB_GETTOPINDEX: return lb.top;
    case LB_SETITEMHEIGHT: {
      int h = LOWORD(lp);
      if (h <= 0 || h > kMaxItemHeight) return LB_ERR;
      if (Variable(lb)) {
        if (!Valid(lb, wp)) return LB_ERR;
        lb.items[wp].height = h;
      } else {
        lb.item_height = h;
        FitIntegralHeight(lb);
      }
      InvalidateRect(lb.self, nullptr, TRUE);
      UpdateScroll(lb);
      return LB_OKAY;
    }
    case LB_GETITEMHEIGHT:
      if (Variable(lb)) return Valid(lb, wp) ? lb.items[wp].height : LB_ERR;
      return lb.item_height;
    case LB_GETITEMRECT: {
      if (!lp || (!Valid(lb, wp) && !(wp == 0 && Count(lb) == 0))) return LB_ERR;
      *reinterpret_cast<RECT*>(lp) = ItemRect(lb, int(wp));
      return TRUE;
    }
    case LB_FINDSTRING: return Find(lb, wp, lp, false);
    case LB_FINDSTRINGEXACT: return Find(lb, wp, lp, true);
    case LB_SELECTSTRING: {
      LRESULT i = Find(lb, wp, lp, false);
      if (i == LB_ERR) return LB_ERR;
      if (!Multi(lb)) SetSelection(lb, int(i), true);
      SetCaret(lb, int(i));
      MakeVisible(lb, int(i));
      return i;
    }
    case LB_SETHORIZONTALEXTENT:
      lb.horz_extent = std::max(0, int(std::min<WPARAM>(wp, 0x7FFF)));
      SetHorzPos(lb, lb.horz_pos);
      UpdateScroll(lb);
      return 0;
    case LB_GETHORIZONTALEXTENT: return lb.horz_extent;
    case LB_SETCOLUMNWIDTH:
      lb.column_width = int(std::min<WPARAM>(wp, 0x7FFF));
      InvalidateRect(lb.self, nullptr, TRUE);
      UpdateScroll(lb);
      return LB_OKAY;
    case LB_SETTABSTOPS: {
      if (!(lb.style & LBS_USETABSTOPS)) return FALSE;
      const int* stops = reinterpret_cast<const int*>(lp);
      int n = int(std::min<WPARAM>(wp, 1024));
      if (n && !stops) return FALSE;
      lb.tabs.clear();
      // Dialog units are quarters of the average character width.
      for (int i = 0; i < n; ++i) lb.tabs.push_back(stops[i] * lb.avg_char / 4);
      if (n == 0) lb.tabs.push_back(32 * lb.avg_char / 4);
      InvalidateRect(lb.self, nullptr, TRUE);
      return TRUE;
    }
    case LB_ITEMFROMPOINT: {
      if (Count(lb) == 0) return 0x1FFFF;
      int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
      int index = ItemAt(lb, x, y);
      RECT rc = ItemRect(lb, index), client = Client(lb);
      POINT pt{x, y};
      bool inside = PtInRect(&rc, pt) && PtInRect(&client, pt);
      return LRESULT(MAKELONG(WORD(index), WORD(inside ? 0 : 1)));
    }
    case LB_SETCOUNT: return SetCount(lb, wp);
    case LB_INITSTORAGE:
      if (wp > kMaxItems || lb.items.size() + wp > kMaxItems) return LB_ERRSPACE;
      lb.items.reserve(lb.items.size() + wp);
      return LRESULT(lb.items.capacity());
    case LB_SETLOCALE:
    case LB_GETLOCALE: return 0x0804;  // Chinese (PRC): the only locale we sort by
    default: return DefWindowProc(lb.self, m, wp, lp);
  }
}

LRESULT ListProc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
  ListBox* p = Get(h);
  if (m == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCT*>(lp);
    auto lb = std::make_unique<ListBox>();
    lb->self = h;
    lb->owner = cs->hwndParent;
    char cls[16] = {};
    GetClassName(h, cls, sizeof cls);
    lb->combo = lstrcmp(cls, "ComboLBox") == 0;
    lb->style = DWORD(cs->style);
    // Variable heights need owner draw; a list without data has no strings to sort.
    if (lb->style & LBS_OWNERDRAWVARIABLE) lb->style &= ~LBS_OWNERDRAWFIXED;
    if ((lb->style & LBS_NODATA) &&
        ((lb->style & (LBS_HASSTRINGS | LBS_SORT)) || !(lb->style & LBS_OWNERDRAWFIXED)))
      lb->style &= ~LBS_NODATA;
    if (lb->style & LBS_EXTENDEDSEL) lb->style &= ~LBS_MULTIPLESEL;
    SetWindowLongPtr(h, 0, reinterpret_cast<LONG_PTR>(lb.release()));
    return DefWindowProc(h, m, wp, lp);
  }
  if (!p) return DefWindowProc(h, m, wp, lp);
  ListBox& lb = *p;
  switch (m) {
    case WM_CREATE:
      RecomputeMetrics(lb);
      if (lb.style & LBS_OWNERDRAWFIXED) lb.item_height = Measure(lb, 0, 0);
      FitIntegralHeight(lb);
      UpdateScroll(lb);
      return 0;
    case WM_NCDESTROY: {
      SetWindowLongPtr(h, 0, 0);
      std::unique_ptr<ListBox> gone(p);
      return DefWindowProc(h, m, wp, lp);
    }
    case WM_DESTROY:
      for (int i = Count(lb) - 1; i >= 0 && i < Count(lb); --i) SendDeleteItem(lb, i);
      lb.items.clear();
      return 0;
    case WM_SIZE:
      FitIntegralHeight(lb);
      lb.top = std::min(lb.top, MaxTop(lb));
      UpdateScroll(lb);
      return 0;
    case WM_PAINT:
    case WM_PRINTCLIENT: {
      if (wp) {
        Paint(lb, reinterpret_cast<HDC>(wp));
        return 0;
      }
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      if (dc) Paint(lb, dc);
      EndPaint(h, &ps);
      return 0;
    }
    case WM_ERASEBKGND: {
      RECT rc = Client(lb);
      HDC dc = reinterpret_cast<HDC>(wp);
      FillRect(dc, &rc, ColorBrush(lb, dc));
      return 1;
    }
    case WM_SETFONT:
      lb.font = reinterpret_cast<HFONT>(wp);
      RecomputeMetrics(lb);
      FitIntegralHeight(lb);
      UpdateScroll(lb);
      if (LOWORD(lp)) InvalidateRect(h, nullptr, TRUE);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(lb.font);
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFOCUS:
      lb.focused = true;
      InvalidateItem(lb, lb.caret);
      if (Count(lb) == 0) InvalidateRect(h, nullptr, TRUE);
      Notify(lb, LBN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      lb.focused = false;
      InvalidateItem(lb, lb.caret);
      if (Count(lb) == 0) InvalidateRect(h, nullptr, TRUE);
      Notify(lb, LBN_KILLFOCUS);
      return 0;
    case WM_ENABLE: InvalidateRect(h, nullptr, TRUE); return 0;
    case WM_LBUTTONDOWN: ButtonDown(lb, wp, GET_X_LPARAM(lp), GET_Y_LPARAM(lp)); return 0;
    case WM_LBUTTONDBLCLK:
      if (lb.combo) {
        ButtonDown(lb, wp, GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
        return 0;
      }
      if (lb.style & LBS_NOTIFY) Notify(lb, LBN_DBLCLK);
      return 0;
    case WM_MOUSEMOVE: MouseMove(lb, GET_X_LPARAM(lp), GET_Y_LPARAM(lp)); return 0;
    case WM_LBUTTONUP: ButtonUp(lb, GET_X_LPARAM(lp), GET_Y_LPARAM(lp)); return 0;
    case WM_CAPTURECHANGED:
      if (lb.captured && reinterpret_cast<HWND>(lp) != h) {
        lb.captured = false;
        ScrollTimer(lb, 0);
      }
      return 0;
    case WM_TIMER:
      if (wp == kScrollTimer) {
        DragStep(lb);
        return 0;
      }
      return DefWindowProc(h, m, wp, lp);
    case WM_KEYDOWN: KeyDown(lb, UINT(wp)); return 0;
    case WM_CHAR: Char(lb, char32_t(wp)); return 0;
    case WM_VSCROLL: Scroll(lb, SB_VERT, LOWORD(wp), ThumbPosition(h, SB_VERT, wp)); return 0;
    case WM_HSCROLL: Scroll(lb, SB_HORZ, LOWORD(wp), ThumbPosition(h, SB_HORZ, wp)); return 0;
    case WM_MOUSEWHEEL: {
      UINT lines = 3;
      SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
      lb.wheel_rest += GET_WHEEL_DELTA_WPARAM(wp);
      int notches = lb.wheel_rest / WHEEL_DELTA;
      lb.wheel_rest %= WHEEL_DELTA;
      if (!notches) return 0;
      int step = MultiColumn(lb) ? PageSize(lb) : int(std::min<UINT>(lines, UINT(PageSize(lb))));
      SetTop(lb, lb.top - notches * step);
      return 0;
    }
    case WM_STYLECHANGED:
      if (wp == WPARAM(LONG_PTR(GWL_STYLE))) {
        auto* ss = reinterpret_cast<STYLESTRUCT*>(lp);
        // Only the notification and no-selection bits may change after creation.
        DWORD live = LBS_NOTIFY | LBS_NOSEL | LBS_DISABLENOSCROLL;
        lb.style = (lb.style & ~live) | (ss->styleNew & live);
      }
      return 0;
    default: return ListMessage(lb, m, wp, lp);
  }
}

}  // namespace

void RegisterListBoxClasses() {
  WNDCLASSEX wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = ListProc;
  wc.cbWndExtra = sizeof(void*);
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = "ListBox";
  RegisterClassEx(&wc);
  wc.style = CS_DBLCLKS | CS_SAVEBITS;
  wc.lpszClassName = "ComboLBox";
  RegisterClassEx(&wc);
}

}  // namespace win::controls
