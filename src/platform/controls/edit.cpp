// The "Edit" window class: its procedure, the EM_ messages, notifications, scrolling and
// painting.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <new>
#include <string_view>

#include "platform/controls/internal/classes.h"
#include "platform/controls/internal/edit.h"

namespace win::controls {

namespace edit {

namespace {

// WM_GETDLGCODE's answers.
constexpr LRESULT kWantArrows = 0x0001, kWantAllKeys = 0x0004, kHasSetSel = 0x0008,
                  kWantChars = 0x0080;

// An edit inside a combo box is the combo's to announce: setting its text says nothing.
bool InCombo(HWND hwnd) {
  char name[16] = {};
  HWND parent = GetParent(hwnd);
  return parent && GetClassName(parent, name, int(sizeof name)) &&
         std::string_view(name).size() == 8 && (name[0] == 'C' || name[0] == 'c') &&
         std::equal(name + 1, name + 8, "omboBox",
                    [](char a, char b) { return (a | 0x20) == (b | 0x20); });
}

}  // namespace

void CaseFold(const Edit& e, std::u32string& t) {
  for (char32_t& c : t) {
    if ((e.style & ES_LOWERCASE) && c < 0x80) c = char32_t(std::tolower(int(c)));
    if ((e.style & ES_UPPERCASE) && c < 0x80) c = char32_t(std::toupper(int(c)));
  }
}

Edit* Get(HWND hwnd) { return reinterpret_cast<Edit*>(GetWindowLongPtr(hwnd, 0)); }

std::string Edit::Utf8(int from, int to) const {
  from = std::clamp(from, 0, Length());
  to = std::clamp(to, from, Length());
  return Encode(text.data() + from, std::size_t(to - from));
}

void Edit::Notify(WORD code) {
  HWND parent = GetParent(hwnd);
  if (!parent) return;
  SendMessage(parent, WM_COMMAND, MAKEWPARAM(WORD(GetDlgCtrlID(hwnd)), code),
              reinterpret_cast<LPARAM>(hwnd));
}

void Edit::UpdateScrollBars() {
  DWORD ws = DWORD(GetWindowLongPtr(hwnd, GWL_STYLE));
  if (Multi() && (ws & WS_VSCROLL)) {
    SCROLLINFO si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    si.nMax = int(lines.size()) - 1;
    si.nPage = UINT(Visible());
    si.nPos = first_line;
    SetScrollInfo(hwnd, SB_VERT, &si, TRUE);
  }
  if (ws & WS_HSCROLL) {
    SCROLLINFO si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    si.nMax = std::max(0, text_width);  // one pixel more, for the caret at the end
    si.nPage = UINT(std::max<LONG>(1, format.right - format.left));
    si.nPos = x_offset;
    SetScrollInfo(hwnd, SB_HORZ, &si, TRUE);
  }
}

void Edit::PlaceCaret() {
  if (!focused) return;
  POINT p = CaretPoint();
  SetCaretPos(p.x, p.y);
}

void Edit::ScrollTo(int top, int xoff, bool notify) {
  const int room = std::max<int>(1, format.right - format.left);
  top = Multi() ? std::clamp(top, 0, std::max(0, int(lines.size()) - Visible())) : 0;
  xoff = Wraps() ? 0 : std::clamp(xoff, 0, std::max(0, text_width + 1 - room));
  const bool v = top != first_line, h = xoff != x_offset;
  if (!v && !h) return;
  if (notify && v) Notify(EN_VSCROLL);
  if (notify && h) Notify(EN_HSCROLL);
  if (dead) return;
  first_line = top;
  x_offset = xoff;
  InvalidateRect(hwnd, nullptr, FALSE);
  UpdateScrollBars();
  PlaceCaret();
}

void Edit::ScrollCaretIntoView(bool notify) {
  int l = CaretLine(), top = first_line, xoff = x_offset;
  if (Multi()) {
    if (l < top) top = l;
    if (l >= top + Visible()) top = l - Visible() + 1;
  }
  if (!Wraps()) {
    const int room = std::max<int>(1, format.right - format.left);
    const Line& ln = lines[std::size_t(l)];
    int x = Measure(ln.start, std::min(caret, ln.end));
    // Jumps of a quarter of the width, so that typing does not scroll at every character.
    if (x < xoff) xoff = std::max(0, x - room / 4);
    if (x >= xoff + room) xoff = x - room + 1 + room / 4;
  }
  ScrollTo(top, xoff, notify);
}

void Edit::Invalidate(int from_line, int to_line) {
  RECT r = client;
  if (Multi()) {
    r.top = format.top + (from_line - first_line) * line_height;
    if (to_line >= 0) r.bottom = format.top + (to_line + 1 - first_line) * line_height;
    r.top = std::max(r.top, client.top);
    if (r.bottom <= r.top) return;
  }
  InvalidateRect(hwnd, &r, FALSE);
}

void Edit::SetSel(int anchor, int caret_pos, bool scroll, bool wrap_end) {
  anchor = std::clamp(anchor, 0, Length());
  caret_pos = std::clamp(caret_pos, 0, Length());
  const bool moved_only = after_wrap != wrap_end;
  after_wrap = wrap_end;
  if (anchor == sel_anchor && caret_pos == caret) {
    if (moved_only) PlaceCaret();
    if (scroll) ScrollCaretIntoView(true);
    return;
  }
  int a = LineOf(std::min({anchor, caret_pos, SelStart()}));
  int b = LineOf(std::max({anchor, caret_pos, SelEnd()}));
  sel_anchor = anchor;
  caret = caret_pos;
  Invalidate(a, b);
  if (scroll) ScrollCaretIntoView(true);
  PlaceCaret();
}

bool Edit::ReplaceSel(std::u32string ins, bool can_undo, bool honour, bool notify) {
  CaseFold(*this, ins);
  auto room = [this] { return (long long)limit - (Length() - (SelEnd() - SelStart())); };
  if (honour && (long long)ins.size() > room()) {
    if (notify) Notify(EN_MAXTEXT);
    if (dead) return false;
    // Measured again: the parent may have changed the text meanwhile.
    ins.resize(std::size_t(std::clamp(room(), 0LL, (long long)ins.size())));
  }
  const int s = SelStart(), e = SelEnd();
  if (ins.empty() && s == e) return false;
  const int old_lines = int(lines.size());
  std::u32string removed;
  std::pair<int, int> changed;
  try {
    removed = text.substr(std::size_t(s), std::size_t(e - s));
    text.replace(std::size_t(s), std::size_t(e - s), ins);
    changed = Relayout(s, e - s, int(ins.size()));
  } catch (const std::bad_alloc&) {
    LayoutAll();
    if (notify) Notify(EN_ERRSPACE);
    return false;
  }
  if (honour) {
    // What the styles give no room for is refused: a single line without ES_AUTOHSCROLL keeps
    // to its width, many lines without ES_AUTOVSCROLL to their height.
    bool over =
        (!Multi() && !(style & ES_AUTOHSCROLL) && text_width > format.right - format.left) ||
        (Multi() && !(style & ES_AUTOVSCROLL) && int(lines.size()) > Visible() &&
         int(lines.size()) > old_lines);
    if (over) {
      text.replace(std::size_t(s), ins.size(), removed);
      Relayout(s, int(ins.size()), int(removed.size()));
      if (notify) Notify(EN_MAXTEXT);
      return false;
    }
  }
  const int n = int(ins.size());
  if (can_undo) {
    if (!removed.empty()) {
      if (!undo_insert && !undo_text.empty() && s == undo_pos) {
        undo_text += removed;  // Delete, again
      } else if (!undo_insert && !undo_text.empty() && e == undo_pos) {
        undo_text.insert(0, removed);  // Backspace, again
        undo_pos = s;
      } else {
        undo_text = removed;
        undo_pos = s;
        undo_insert = 0;
      }
    }
    if (n) {
      if (s == undo_pos || (undo_insert && s == undo_pos + undo_insert)) {
        undo_insert += n;
      } else {
        undo_text.clear();
        undo_pos = s;
        undo_insert = n;
      }
    }
  } else {
    undo_text.clear();
    undo_pos = undo_insert = 0;
  }
  sel_anchor = caret = s + n;
  after_wrap = false;
  modified = true;
  UpdateScrollBars();
  if (notify) {
    Notify(EN_UPDATE);
    if (dead) return false;
  }
  // Lines below move only when the count changed.
  Invalidate(changed.first, int(lines.size()) == old_lines ? changed.second : -1);
  ScrollCaretIntoView(notify);
  if (dead) return false;
  PlaceCaret();
  if (notify) Notify(EN_CHANGE);
  return true;
}

namespace {

void SetText(Edit& e, const char* s) {
  // A single line keeps line breaks too, as characters it does not show.
  std::u32string t = s ? Decode(s, std::strlen(s)) : std::u32string();
  CaseFold(e, t);
  e.text = std::move(t);
  e.sel_anchor = e.caret = 0;
  e.first_line = e.x_offset = 0;
  e.LayoutAll();
  e.undo_text.clear();
  e.undo_pos = e.undo_insert = 0;
  e.modified = false;
  InvalidateRect(e.hwnd, nullptr, FALSE);
  e.UpdateScrollBars();
  e.PlaceCaret();
}

LRESULT GetText(Edit& e, WPARAM cap, char* out) {
  if (!cap || !out) return 0;
  std::string all;
  if (e.fmt_lines && e.Multi()) {
    // Soft breaks shown as CR CR LF.
    for (std::size_t i = 0; i < e.lines.size(); ++i) {
      const Line& l = e.lines[i];
      int to = i + 1 < e.lines.size() ? e.lines[i + 1].start : e.Length();
      all += e.Utf8(l.start, to);
      if (i + 1 < e.lines.size() && e.lines[i + 1].start == l.end) all += "\r\r\n";
    }
  } else {
    all = e.Utf8(0, e.Length());
  }
  std::size_t n = std::min(all.size(), std::size_t(cap) - 1);
  while (n > 0 && n < all.size() && (static_cast<unsigned char>(all[n]) & 0xC0) == 0x80) --n;
  std::memcpy(out, all.data(), n);
  out[n] = '\0';
  return LRESULT(n);
}

LRESULT GetLine(Edit& e, WPARAM line, char* buf) {
  if (!buf) return 0;
  WORD cap;
  std::memcpy(&cap, buf, sizeof cap);
  int l = e.Multi() ? int(line) : 0;
  if (l < 0 || l >= int(e.lines.size())) return 0;
  std::string s = e.Utf8(e.lines[std::size_t(l)].start, e.lines[std::size_t(l)].end);
  std::size_t n = std::min<std::size_t>(s.size(), cap);
  while (n > 0 && n < s.size() && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) --n;
  std::memcpy(buf, s.data(), n);
  return LRESULT(n);
}

// EM_LINELENGTH of -1: the characters of the selection's lines that are not selected.
LRESULT LineLength(Edit& e, WPARAM wp) {
  if (int(wp) == -1) {
    int a = e.LineOf(e.SelStart()), b = e.LineOf(e.SelEnd());
    const Line& la = e.lines[std::size_t(a)];
    const Line& lb = e.lines[std::size_t(b)];
    return LRESULT((e.SelStart() - la.start) + std::max(0, lb.end - e.SelEnd()));
  }
  int pos = int(wp);
  if (pos < 0 || pos > e.Length()) return 0;
  const Line& l = e.lines[std::size_t(e.LineOf(pos))];
  return LRESULT(l.end - l.start);
}

LRESULT Scroll(Edit& e, WORD code) {
  if (!e.Multi()) return FALSE;
  int dy = 0;
  switch (code) {
    case SB_LINEUP: dy = -1; break;
    case SB_LINEDOWN: dy = 1; break;
    case SB_PAGEUP: dy = -e.Visible(); break;
    case SB_PAGEDOWN: dy = e.Visible(); break;
    default: return FALSE;
  }
  int before = e.first_line;
  e.ScrollTo(e.first_line + dy, e.x_offset, true);
  if (e.dead) return 0;
  return MAKELONG(WORD(short(e.first_line - before)), TRUE);
}

void OnScrollBar(Edit& e, int bar, WPARAM wp) {
  const WORD code = LOWORD(wp);
  if (bar == SB_VERT) {
    int top = e.first_line;
    switch (code) {
      case SB_LINEUP: --top; break;
      case SB_LINEDOWN: ++top; break;
      case SB_PAGEUP: top -= e.Visible(); break;
      case SB_PAGEDOWN: top += e.Visible(); break;
      case SB_THUMBPOSITION:
      case SB_THUMBTRACK: top = HIWORD(wp); break;
      case SB_TOP: top = 0; break;
      case SB_BOTTOM: top = int(e.lines.size()); break;
      default: return;
    }
    e.ScrollTo(top, e.x_offset, true);
  } else {
    const int room = std::max<int>(1, e.format.right - e.format.left);
    int x = e.x_offset;
    switch (code) {
      case SB_LINELEFT: x -= e.ave_width; break;
      case SB_LINERIGHT: x += e.ave_width; break;
      case SB_PAGELEFT: x -= room; break;
      case SB_PAGERIGHT: x += room; break;
      case SB_THUMBPOSITION:
      case SB_THUMBTRACK: x = HIWORD(wp); break;
      case SB_LEFT: x = 0; break;
      case SB_RIGHT: x = e.text_width; break;
      default: return;
    }
    e.ScrollTo(e.first_line, x, true);
  }
}

void Reformat(Edit& e) {
  int old_top = e.first_line;
  e.LayoutAll();
  e.first_line = old_top;
  e.ScrollTo(e.first_line, e.x_offset, false);
  e.first_line = std::clamp(e.first_line, 0, std::max(0, int(e.lines.size()) - e.Visible()));
  InvalidateRect(e.hwnd, nullptr, FALSE);
  e.UpdateScrollBars();
  e.PlaceCaret();
}

// The classic frame, for WM_PRINT: the window manager draws it on the screen.
void PrintFrame(HWND hwnd, HDC dc) {
  RECT w;
  GetWindowRect(hwnd, &w);
  RECT r{0, 0, w.right - w.left, w.bottom - w.top};
  DWORD ws = DWORD(GetWindowLongPtr(hwnd, GWL_STYLE));
  DWORD ex = DWORD(GetWindowLongPtr(hwnd, GWL_EXSTYLE));
  if (ex & WS_EX_CLIENTEDGE) { DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST); }
  if (ws & WS_BORDER) FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
}

LRESULT Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

}  // namespace

void Edit::Paint(HDC dc) {
  int saved = SaveDC(dc);
  const bool enabled = IsWindowEnabled(hwnd);
  SelectObject(dc, font ? HGDIOBJ(font) : GetStockObject(SYSTEM_FONT));
  UINT ask = (!enabled || (style & ES_READONLY)) ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT;
  HWND parent = GetParent(hwnd);
  auto brush =
      reinterpret_cast<HBRUSH>(parent ? SendMessage(parent, ask, reinterpret_cast<WPARAM>(dc),
                                                    reinterpret_cast<LPARAM>(hwnd))
                                      : 0);
  if (dead) {
    RestoreDC(dc, saved);
    return;
  }
  if (!brush)
    brush = reinterpret_cast<HBRUSH>(
        DefWindowProc(hwnd, ask, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd)));
  if (!enabled) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  FillRect(dc, &client, brush);
  RECT clip = format;
  if (!Multi()) {
    clip.top = client.top;
    clip.bottom = client.bottom;
  }
  IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom);
  RECT box{};
  GetClipBox(dc, &box);

  const bool show_sel = focused || (style & ES_NOHIDESEL);
  const int ss = show_sel ? SelStart() : 0, se = show_sel ? SelEnd() : 0;
  const COLORREF text_colour = GetTextColor(dc);
  const int last = Multi() ? std::min(int(lines.size()) - 1, first_line + Visible()) : 0;
  std::string run;
  for (int l = Multi() ? first_line : 0; l <= last; ++l) {
    const Line& ln = lines[std::size_t(l)];
    const int y = format.top + (Multi() ? (l - first_line) * line_height : 0);
    if (y >= box.bottom || y + line_height <= box.top) continue;
    const int x0 = LineX(l);
    int x = x0;
    int i = ln.start;
    while (i < ln.end) {
      // One piece: characters of one selection state.
      const bool in_sel = i >= ss && i < se;
      int j = i;
      while (j < ln.end && (j >= ss && j < se) == in_sel) ++j;
      int px = x;
      int w = 0;
      for (int k = i; k < j; ++k) w += Width(text[std::size_t(k)], px - x0 + w);
      if (x + w > box.left && x < box.right) {
        if (in_sel) {
          RECT hl{x, y, x + w, y + line_height};
          FillRect(dc, &hl, GetSysColorBrush(COLOR_HIGHLIGHT));
          SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
        } else {
          SetTextColor(dc, text_colour);
        }
        int bk = SetBkMode(dc, in_sel ? TRANSPARENT : GetBkMode(dc));
        // Runs of printable characters; tabs and control characters only move on.
        int rx = x, cx = x;
        run.clear();
        for (int k = i; k < j; ++k) {
          char32_t c = text[std::size_t(k)];
          int cw = Width(c, cx - x0);
          if (c < 0x20) {
            if (!run.empty()) TextOut(dc, rx, y, run.data(), int(run.size()));
            run.clear();
            rx = cx + cw;
          } else {
            char32_t shown = password ? password : c;
            run += Encode(&shown, 1);
          }
          cx += cw;
        }
        if (!run.empty()) TextOut(dc, rx, y, run.data(), int(run.size()));
        SetBkMode(dc, bk);
      }
      x += w;
      i = j;
    }
  }
  RestoreDC(dc, saved);
}

namespace {

LRESULT Message(Edit& e, UINT msg, WPARAM wp, LPARAM lp) {
  HWND hwnd = e.hwnd;
  switch (msg) {
    case WM_SETTEXT: {
      SetText(e, reinterpret_cast<const char*>(lp));
      if (!e.Multi() && !InCombo(hwnd)) {
        e.Notify(EN_UPDATE);
        if (!e.dead) e.Notify(EN_CHANGE);
      }
      return TRUE;
    }
    case WM_GETTEXT: return GetText(e, wp, reinterpret_cast<char*>(lp));
    case WM_GETTEXTLENGTH: {
      if (e.fmt_lines && e.Multi()) {
        std::size_t soft = 0;
        for (std::size_t i = 0; i + 1 < e.lines.size(); ++i)
          if (e.lines[i + 1].start == e.lines[i].end) ++soft;
        return LRESULT(e.Utf8(0, e.Length()).size() + 3 * soft);
      }
      return LRESULT(e.Utf8(0, e.Length()).size());
    }
    case WM_SETFONT:
      e.SetFont(reinterpret_cast<HFONT>(wp));
      if (!e.custom_format) e.ResetFormat();
      Reformat(e);
      if (e.focused) {
        CreateCaret(hwnd, nullptr, 1, e.line_height);
        e.PlaceCaret();
        ShowCaret(hwnd);
      }
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(e.font);
    case WM_SIZE:
      if (!e.custom_format) e.ResetFormat();
      GetClientRect(hwnd, &e.client);
      Reformat(e);
      return 0;
    case WM_STYLECHANGED:
      if (wp == WPARAM(GWL_STYLE)) {
        // The kind of edit is fixed at creation, as in Windows; the rest follows.
        DWORD ns = reinterpret_cast<const STYLESTRUCT*>(lp)->styleNew;
        e.style = (e.style & ES_MULTILINE) | (ns & ~DWORD(ES_MULTILINE));
        Reformat(e);
      }
      return 0;
    case WM_ENABLE: InvalidateRect(hwnd, nullptr, TRUE); return 0;
    case WM_ERASEBKGND: return 1;  // painting fills the background itself
    case WM_PAINT: {
      if (wp) {
        e.Paint(reinterpret_cast<HDC>(wp));
        return 0;
      }
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      if (dc) e.Paint(dc);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_PRINTCLIENT:
      if (wp) e.Paint(reinterpret_cast<HDC>(wp));
      return 0;
    case WM_PRINT:
      if (wp && (lp & PRF_NONCLIENT)) PrintFrame(hwnd, reinterpret_cast<HDC>(wp));
      return DefWindowProc(hwnd, msg, wp, lp);
    case WM_SETFOCUS:
      e.focused = true;
      CreateCaret(hwnd, nullptr, 1, e.line_height);
      e.PlaceCaret();
      ShowCaret(hwnd);
      if (!(e.style & ES_NOHIDESEL)) e.Invalidate(e.LineOf(e.SelStart()), e.LineOf(e.SelEnd()));
      e.Notify(EN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      e.focused = false;
      if (e.dragging) ReleaseCapture();
      DestroyCaret();
      if (!(e.style & ES_NOHIDESEL)) e.Invalidate(e.LineOf(e.SelStart()), e.LineOf(e.SelEnd()));
      e.Notify(EN_KILLFOCUS);
      return 0;
    case WM_GETDLGCODE: {
      LRESULT code = kWantChars | kHasSetSel | kWantArrows;
      if (e.Multi()) {
        code |= kWantAllKeys;
        // In a dialog Tab and Escape are the dialog's, and so is Enter (its default button)
        // unless the edit wants it.
        auto* m = reinterpret_cast<const MSG*>(lp);
        if (m && m->message == WM_KEYDOWN &&
            (m->wParam == VK_TAB || m->wParam == VK_ESCAPE ||
             (m->wParam == VK_RETURN && !(e.style & ES_WANTRETURN))))
          code &= ~kWantAllKeys;
      }
      return code;
    }
    case WM_CHAR: e.OnChar(char32_t(wp)); return 0;
    case WM_KEYDOWN: e.OnKeyDown(UINT(wp)); return 0;
    case WM_SYSKEYDOWN:
      if (wp == VK_BACK) {  // Alt+Backspace undoes, as Ctrl+Z
        e.Undo();
        return 0;
      }
      return DefWindowProc(hwnd, msg, wp, lp);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED: e.OnMouse(msg, wp, lp); return 0;
    case WM_TIMER: e.OnTimer(); return 0;
    case WM_SETCURSOR:
      if (LOWORD(lp) == 1 /* HTCLIENT */) {
        SetCursor(LoadCursor(nullptr, IDC_IBEAM));
        return TRUE;
      }
      return DefWindowProc(hwnd, msg, wp, lp);
    case WM_VSCROLL: OnScrollBar(e, SB_VERT, wp); return 0;
    case WM_HSCROLL: OnScrollBar(e, SB_HORZ, wp); return 0;
    case WM_MOUSEWHEEL: {
      if (!e.Multi()) return DefWindowProc(hwnd, msg, wp, lp);
      UINT per = 3;
      SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &per, 0);
      e.wheel_rest += GET_WHEEL_DELTA_WPARAM(wp);
      int notches = e.wheel_rest / WHEEL_DELTA;
      e.wheel_rest -= notches * WHEEL_DELTA;
      if (notches) e.ScrollTo(e.first_line - notches * int(per), e.x_offset, true);
      return 0;
    }
    case WM_CUT: e.Cut(); return 0;
    case WM_COPY: e.Copy(); return 0;
    case WM_PASTE: e.Paste(); return 0;
    case WM_CLEAR: e.Clear(); return 0;
    case WM_UNDO:
    case EM_UNDO: return e.Undo();

    case EM_GETSEL: {
      if (wp) *reinterpret_cast<DWORD*>(wp) = DWORD(e.SelStart());
      if (lp) *reinterpret_cast<DWORD*>(lp) = DWORD(e.SelEnd());
      // Past what a word holds, the answer is -1 and only the pointers tell.
      if (e.SelEnd() > 0xFFFF) return -1;
      return MAKELONG(WORD(e.SelStart()), WORD(e.SelEnd()));
    }
    case EM_SETSEL: {
      int a = int(wp), b = int(lp);
      if (a == -1) {
        e.SetSel(e.caret, e.caret, false);  // -1 only takes the selection away
        return 0;
      }
      if (b < 0 || b > e.Length()) b = e.Length();
      a = std::clamp(a, 0, e.Length());
      e.SetSel(a, b, false);
      return 0;
    }
    case EM_REPLACESEL: {
      const char* s = reinterpret_cast<const char*>(lp);
      std::u32string ins = s ? Decode(s, std::strlen(s)) : std::u32string();
      e.ReplaceSel(std::move(ins), wp != 0, true, true);
      return 0;
    }
    case EM_GETLINECOUNT: return e.Multi() ? LRESULT(e.lines.size()) : 1;
    case EM_LINEINDEX: {
      int l = int(wp) == -1 ? e.LineOf(e.caret) : int(wp);
      if (!e.Multi()) return l == 0 || int(wp) == -1 ? 0 : -1;
      if (l < 0 || l >= int(e.lines.size())) return -1;
      return e.lines[std::size_t(l)].start;
    }
    case EM_LINELENGTH: return LineLength(e, wp);
    case EM_GETLINE: return GetLine(e, wp, reinterpret_cast<char*>(lp));
    case EM_LINEFROMCHAR: {
      if (!e.Multi()) return 0;
      int pos = int(wp) == -1 ? e.SelStart() : int(wp);
      return e.LineOf(std::clamp(pos, 0, e.Length()));
    }
    case EM_POSFROMCHAR: {
      int pos = int(wp);
      if (pos < 0 || pos >= e.Length()) return -1;
      POINT p = e.PosOf(pos);
      return MAKELONG(WORD(short(p.x)), WORD(short(p.y)));
    }
    case EM_CHARFROMPOS: {
      POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
      int line = 0;
      int pos = e.CharAt(p, &line);
      return MAKELONG(WORD(std::min(pos, 0xFFFF)), WORD(std::min(line, 0xFFFF)));
    }
    case EM_SCROLL: return Scroll(e, LOWORD(wp));
    case EM_LINESCROLL:
      if (!e.Multi()) return FALSE;
      e.ScrollTo(e.first_line + int(lp), e.x_offset + int(wp) * e.ave_width, false);
      return TRUE;
    case EM_SCROLLCARET: e.ScrollCaretIntoView(false); return TRUE;
    case EM_GETFIRSTVISIBLELINE:
      if (e.Multi()) return e.first_line;
      return e.CharAt(POINT{e.format.left, e.format.top});
    case EM_SETREADONLY: {
      DWORD ws = DWORD(GetWindowLongPtr(hwnd, GWL_STYLE));
      ws = wp ? (ws | ES_READONLY) : (ws & ~DWORD(ES_READONLY));
      SetWindowLongPtr(hwnd, GWL_STYLE, LONG_PTR(ws));
      e.style = wp ? (e.style | ES_READONLY) : (e.style & ~DWORD(ES_READONLY));
      InvalidateRect(hwnd, nullptr, FALSE);
      return TRUE;
    }
    case EM_LIMITTEXT: {
      // Nothing: as much as Windows allows.
      long long n = (long long)(wp);
      if (n <= 0 || n > 0x7FFFFFFE) n = 0x7FFFFFFE;
      e.limit = int(n);
      return 0;
    }
    case EM_GETLIMITTEXT: return e.limit;
    case EM_GETMODIFY: return e.modified;
    case EM_SETMODIFY: e.modified = wp != 0; return 0;
    case EM_CANUNDO: return !e.undo_text.empty() || e.undo_insert > 0;
    case EM_EMPTYUNDOBUFFER:
      e.undo_text.clear();
      e.undo_pos = e.undo_insert = 0;
      return 0;
    case EM_SETMARGINS: {
      WORD l = LOWORD(std::uintptr_t(lp)), r = HIWORD(std::uintptr_t(lp));
      // EC_USEFONTINFO: one pixel, what the system font leaves; a negative margin is none.
      if (wp & EC_LEFTMARGIN) e.left_margin = l == EC_USEFONTINFO ? 1 : std::max(0, int(short(l)));
      if (wp & EC_RIGHTMARGIN)
        e.right_margin = r == EC_USEFONTINFO ? 1 : std::max(0, int(short(r)));
      e.custom_format = false;
      e.ResetFormat();
      Reformat(e);
      return 0;
    }
    case EM_GETMARGINS: return MAKELONG(WORD(e.left_margin), WORD(e.right_margin));
    case EM_GETRECT:
      if (lp) *reinterpret_cast<RECT*>(lp) = e.format;
      return 0;
    case EM_SETRECT:
    case EM_SETRECTNP: {
      if (!e.Multi()) return 0;
      auto* r = reinterpret_cast<const RECT*>(lp);
      e.custom_format = r != nullptr;
      if (r)
        e.SetFormat(*r);
      else
        e.ResetFormat();
      Reformat(e);  // EM_SETRECTNP repaints too: a paint too many never shows stale text
      return 0;
    }
    case EM_FMTLINES:
      if (!e.Multi()) return FALSE;
      e.fmt_lines = wp != 0;
      return wp != 0;
    case EM_SETTABSTOPS: {
      if (!e.Multi()) return FALSE;
      const int* stops = reinterpret_cast<const int*>(lp);
      int count = int(wp);
      if (count < 0 || count > 0x10000 || (count > 0 && !stops)) return FALSE;
      e.tabs.clear();
      // Dialog units: a quarter of the average character width.
      for (int i = 0; i < count; ++i)
        if (stops[i] > 0) e.tabs.push_back(stops[i] * e.ave_width / 4);
      std::sort(e.tabs.begin(), e.tabs.end());
      Reformat(e);
      return TRUE;
    }
    case EM_GETHANDLE: {
      if (!e.Multi()) return 0;
      std::string s = e.Utf8(0, e.Length());
      if (e.handle) GlobalFree(e.handle);
      e.handle = GlobalAlloc(GMEM_MOVEABLE, s.size() + 1);
      if (!e.handle) return 0;
      if (void* p = GlobalLock(e.handle)) {
        std::memcpy(p, s.c_str(), s.size() + 1);
        GlobalUnlock(e.handle);
      }
      return reinterpret_cast<LRESULT>(e.handle);
    }
    case EM_SETPASSWORDCHAR: {
      if (e.Multi()) return 0;
      char32_t c = char32_t(wp);
      e.password = c;
      DWORD ws = DWORD(GetWindowLongPtr(hwnd, GWL_STYLE));
      ws = c ? (ws | ES_PASSWORD) : (ws & ~DWORD(ES_PASSWORD));
      e.style = c ? (e.style | ES_PASSWORD) : (e.style & ~DWORD(ES_PASSWORD));
      SetWindowLongPtr(hwnd, GWL_STYLE, LONG_PTR(ws));
      e.password = c;
      e.widths.assign(0x10000, -1);
      e.wide_widths.clear();
      Reformat(e);
      return 0;
    }
    case EM_GETPASSWORDCHAR: return LRESULT(e.password);
  }
  return DefWindowProc(hwnd, msg, wp, lp);
}

LRESULT Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  Edit* e = Get(hwnd);
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<const CREATESTRUCT*>(lp);
    e = new Edit;
    e->hwnd = hwnd;
    e->style = cs ? DWORD(cs->style) : 0;
    // Windows' multi-line edits scroll sideways instead of wrapping once they have the bar.
    if (e->Multi() && (e->style & WS_HSCROLL)) e->style |= ES_AUTOHSCROLL;
    if (e->Multi()) e->style &= ~DWORD(ES_PASSWORD);
    if (e->style & ES_PASSWORD) e->password = '*';
    e->limit = 30000;
    SetWindowLongPtr(hwnd, 0, reinterpret_cast<LONG_PTR>(e));
    e->SetFont(nullptr);
    return DefWindowProc(hwnd, msg, wp, lp);
  }
  if (!e) return DefWindowProc(hwnd, msg, wp, lp);
  if (msg == WM_CREATE) {
    auto* cs = reinterpret_cast<const CREATESTRUCT*>(lp);
    e->ResetFormat();
    SetText(*e, cs && cs->lpszName && !IS_INTRESOURCE(cs->lpszName) ? cs->lpszName : "");
    return 0;
  }
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtr(hwnd, 0, 0);
    KillTimer(hwnd, 1);
    if (e->measure) DeleteDC(e->measure);
    if (e->handle) GlobalFree(e->handle);
    e->measure = nullptr;
    e->handle = nullptr;
    // A parent may destroy the edit from a notification: the state outlives the handlers
    // still running on it.
    e->dead = true;
    if (!e->depth) delete e;
    return DefWindowProc(hwnd, msg, wp, lp);
  }
  ++e->depth;
  LRESULT r = Message(*e, msg, wp, lp);
  if (--e->depth == 0 && e->dead) delete e;
  return r;
}

}  // namespace

}  // namespace edit

void RegisterEditClass() {
  WNDCLASSEX wc;
  wc.style = CS_DBLCLKS | CS_GLOBALCLASS;
  wc.lpfnWndProc = edit::Proc;
  wc.cbWndExtra = sizeof(void*);
  wc.hCursor = LoadCursor(nullptr, IDC_IBEAM);
  wc.lpszClassName = "Edit";
  RegisterClassEx(&wc);
}

}  // namespace win::controls
