// "Button": push buttons, check boxes, 3-state boxes, radio buttons, group boxes and owner-drawn
// buttons, in the classic look, with Windows' messages and notifications.
#include <algorithm>
#include <string>

#include "platform/controls/internal/classes.h"
#include "platform/controls/internal/simple_controls.h"
#include "platform/win.h"

namespace win::controls {
namespace {

constexpr int kBoxSize = 13;  // the classic check box and radio glyph
constexpr int kBoxGap = 4;    // between the glyph and the caption

struct Button {
  LRESULT state = BST_UNCHECKED;  // check state | BST_PUSHED | BST_FOCUS
  bool tracking = false;          // a mouse press or Space is in progress
  HFONT font = nullptr;
};

Button* Get(HWND h) { return StateAt<Button>(h); }
DWORD Style(HWND h) { return DWORD(GetWindowLongPtr(h, GWL_STYLE)); }
DWORD Kind(DWORD style) { return style & BS_TYPEMASK; }

bool IsCheckKind(DWORD k) {
  return k == BS_CHECKBOX || k == BS_AUTOCHECKBOX || k == BS_3STATE || k == BS_AUTO3STATE ||
         k == BS_RADIOBUTTON || k == BS_AUTORADIOBUTTON;
}
bool IsRadio(DWORD k) { return k == BS_RADIOBUTTON || k == BS_AUTORADIOBUTTON; }

// The highest check state each kind keeps; push buttons and group boxes keep none.
LRESULT MaxCheck(DWORD k) {
  if (k == BS_3STATE || k == BS_AUTO3STATE) return BST_INDETERMINATE;
  return IsCheckKind(k) ? BST_CHECKED : BST_UNCHECKED;
}

void Notify(HWND h, WORD code) {
  HWND parent = GetParent(h);
  if (!parent) return;
  SendMessage(parent, WM_COMMAND, MAKEWPARAM(WORD(GetDlgCtrlID(h)), code),
              reinterpret_cast<LPARAM>(h));
}

// Horizontal and vertical DrawText alignment for the style; `push` buttons centre by default,
// the others start left, group boxes at the top.
UINT Alignment(DWORD style, bool center_h, bool center_v) {
  UINT fmt = 0;
  switch (style & BS_CENTER) {
    case BS_LEFT: fmt |= DT_LEFT; break;
    case BS_RIGHT: fmt |= DT_RIGHT; break;
    case BS_CENTER: fmt |= DT_CENTER; break;
    default: fmt |= center_h ? DT_CENTER : DT_LEFT;
  }
  switch (style & BS_VCENTER) {
    case BS_TOP: fmt |= DT_TOP; break;
    case BS_BOTTOM: fmt |= DT_BOTTOM; break;
    case BS_VCENTER: fmt |= DT_VCENTER; break;
    default: fmt |= center_v ? DT_VCENTER : DT_TOP;
  }
  return fmt;
}

// Draws the caption inside `rc` as the style aligns it; returns the rectangle it covers (for
// the focus rectangle), empty when there is no text.
RECT DrawLabel(HWND h, HDC dc, RECT rc, UINT align, bool enabled) {
  std::string text = WindowText(h);
  if (text.empty() || rc.right <= rc.left) return RECT{};
  const DWORD style = Style(h);
  UINT fmt =
      (align & (DT_CENTER | DT_RIGHT)) | ((style & BS_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE);
  RECT calc = rc;
  DrawText(dc, text.c_str(), -1, &calc, fmt | DT_CALCRECT);
  const int w = std::min(calc.right - calc.left, rc.right - rc.left);
  const int ht = calc.bottom - calc.top;
  RECT at = rc;
  if (align & DT_VCENTER)
    at.top = rc.top + (rc.bottom - rc.top - ht) / 2;
  else if (align & DT_BOTTOM)
    at.top = rc.bottom - ht;
  at.bottom = at.top + ht;
  DrawControlText(dc, text.c_str(), at, fmt, enabled);
  RECT covered = at;
  if (align & DT_CENTER)
    covered.left = at.left + (at.right - at.left - w) / 2;
  else if (align & DT_RIGHT)
    covered.left = at.right - w;
  covered.right = covered.left + w;
  return covered;
}

void PaintPush(HWND h, HDC dc, const Button& b, RECT rc, bool pushed, bool is_default) {
  HBRUSH brush = ParentBrush(h, dc, WM_CTLCOLORBTN);
  if (brush) FillRect(dc, &rc, brush);
  const DWORD style = Style(h);
  if (is_default) {
    FrameRect(dc, &rc, reinterpret_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    InflateRect(&rc, -1, -1);
  }
  UINT state = DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0) | ((style & BS_FLAT) ? DFCS_FLAT : 0);
  if (pushed && is_default) {
    // The classic default button pressed: a flat shadow frame, not a sunken edge.
    FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
    FrameRect(dc, &rc, GetSysColorBrush(COLOR_BTNSHADOW));
  } else {
    RECT face = rc;
    DrawFrameControl(dc, &face, DFC_BUTTON, state);
  }
  RECT text = rc;
  InflateRect(&text, -3, -3);
  if (pushed) OffsetRect(&text, 1, 1);
  SetBkMode(dc, TRANSPARENT);
  // Push buttons keep the button-text colour whatever WM_CTLCOLORBTN set, as on Windows.
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  DrawLabel(h, dc, text, Alignment(style, true, true), IsWindowEnabled(h));
  if (b.state & BST_FOCUS) {
    RECT focus = rc;
    InflateRect(&focus, -3, -3);
    DrawFocusRect(dc, &focus);
  }
}

void PaintCheck(HWND h, HDC dc, const Button& b, RECT rc) {
  const DWORD style = Style(h), kind = Kind(style);
  HBRUSH brush = ParentBrush(h, dc, WM_CTLCOLORSTATIC);
  if (brush) FillRect(dc, &rc, brush);
  const UINT align = Alignment(style, false, true);
  RECT box = rc;
  const bool left_text = (style & BS_LEFTTEXT) != 0;
  box.left = left_text ? rc.right - kBoxSize : rc.left;
  box.right = box.left + kBoxSize;
  if (align & DT_VCENTER)
    box.top = rc.top + (rc.bottom - rc.top - kBoxSize) / 2;
  else if (align & DT_BOTTOM)
    box.top = rc.bottom - kBoxSize;
  box.bottom = box.top + kBoxSize;
  UINT state = IsRadio(kind) ? DFCS_BUTTONRADIO : DFCS_BUTTONCHECK;
  const LRESULT check = b.state & 3;
  if (check == BST_INDETERMINATE && (kind == BS_3STATE || kind == BS_AUTO3STATE))
    state = DFCS_BUTTON3STATE | DFCS_CHECKED;
  else if (check)
    state |= DFCS_CHECKED;
  if (b.state & BST_PUSHED) state |= DFCS_PUSHED;
  if (!IsWindowEnabled(h)) state |= DFCS_INACTIVE;
  if (style & BS_FLAT) state |= DFCS_FLAT;
  DrawFrameControl(dc, &box, DFC_BUTTON, state);

  RECT text = rc;
  if (left_text)
    text.right -= kBoxSize + kBoxGap;
  else
    text.left += kBoxSize + kBoxGap;
  SetBkMode(dc, TRANSPARENT);
  RECT covered = DrawLabel(h, dc, text, align, IsWindowEnabled(h));
  if ((b.state & BST_FOCUS) && covered.right > covered.left) {
    InflateRect(&covered, 1, 1);
    IntersectRect(&covered, &covered, &rc);
    DrawFocusRect(dc, &covered);
  }
}

void PaintGroup(HWND h, HDC dc, RECT rc) {
  const DWORD style = Style(h);
  HBRUSH brush = ParentBrush(h, dc, WM_CTLCOLORSTATIC);
  std::string text = WindowText(h);
  TEXTMETRIC tm;
  GetTextMetrics(dc, &tm);
  RECT frame = rc;
  frame.top += tm.tmHeight / 2;
  DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT | ((style & BS_FLAT) ? BF_FLAT : 0));
  if (text.empty()) return;
  RECT label = rc;
  InflateRect(&label, -8, 0);
  label.bottom = label.top + tm.tmHeight;
  RECT calc = label;
  DrawText(dc, text.c_str(), -1, &calc, DT_SINGLELINE | DT_CALCRECT);
  const int w = std::min(calc.right - calc.left, label.right - label.left);
  switch (style & BS_CENTER) {
    case BS_RIGHT: label.left = label.right - w; break;
    case BS_CENTER: label.left += (label.right - label.left - w) / 2; break;
  }
  label.right = label.left + w;
  RECT back = label;
  InflateRect(&back, 2, 0);
  if (brush) FillRect(dc, &back, brush);
  SetBkMode(dc, TRANSPARENT);
  DrawControlText(dc, text.c_str(), label, DT_SINGLELINE | DT_LEFT, IsWindowEnabled(h));
}

void PaintOwnerDraw(HWND h, HDC dc, const Button& b, RECT rc, UINT action) {
  HWND parent = GetParent(h);
  if (!parent) return;
  ParentBrush(h, dc, WM_CTLCOLORBTN);
  DRAWITEMSTRUCT dis{};
  dis.CtlType = ODT_BUTTON;
  dis.CtlID = UINT(GetDlgCtrlID(h));
  dis.itemID = 0;
  dis.itemAction = action;
  dis.itemState = ((b.state & BST_PUSHED) ? ODS_SELECTED : 0) |
                  ((b.state & BST_FOCUS) ? ODS_FOCUS : 0) | (IsWindowEnabled(h) ? 0 : ODS_DISABLED);
  dis.hwndItem = h;
  dis.hDC = dc;
  dis.rcItem = rc;
  SendMessage(parent, WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
}

void Paint(HWND h, HDC dc, UINT action) {
  Button* b = Get(h);
  if (!b) return;
  RECT rc;
  GetClientRect(h, &rc);
  const int saved = SaveDC(dc);
  if (b->font) SelectObject(dc, b->font);
  const DWORD style = Style(h), kind = Kind(style);
  switch (kind) {
    case BS_OWNERDRAW: PaintOwnerDraw(h, dc, *b, rc, action); break;
    case BS_GROUPBOX: PaintGroup(h, dc, rc); break;
    case BS_PUSHBUTTON:
    case BS_DEFPUSHBUTTON:
    case BS_USERBUTTON:
    case BS_PUSHBOX:
      PaintPush(h, dc, *b, rc, (b->state & BST_PUSHED) != 0, kind == BS_DEFPUSHBUTTON);
      break;
    default:
      if (style & BS_PUSHLIKE)
        PaintPush(h, dc, *b, rc, (b->state & (BST_PUSHED | 3)) != 0, false);
      else
        PaintCheck(h, dc, *b, rc);
  }
  RestoreDC(dc, saved);
}

// Owner-drawn buttons are told at once what changed (ODA_SELECT, ODA_FOCUS) as on Windows; the
// others repaint through WM_PAINT, so a subclass that paints over the button sees every change.
void Redraw(HWND h, UINT action) {
  if (Kind(Style(h)) == BS_OWNERDRAW) {
    if (!IsWindowVisible(h)) return;
    HDC dc = GetDC(h);
    Paint(h, dc, action);
    ReleaseDC(h, dc);
    return;
  }
  InvalidateRect(h, nullptr, FALSE);
}

// An auto radio button checked: the other auto radio buttons of its group are cleared.
void ClearGroup(HWND h) {
  HWND parent = GetParent(h);
  if (!parent) return;
  HWND start = GetNextDlgGroupItem(parent, h, TRUE);
  HWND sibling = start;
  while (sibling) {
    if (sibling != h && Kind(Style(sibling)) == BS_AUTORADIOBUTTON)
      SendMessage(sibling, BM_SETCHECK, BST_UNCHECKED, 0);
    sibling = GetNextDlgGroupItem(parent, sibling, FALSE);
    if (sibling == start) break;
  }
}

void SetCheck(HWND h, Button* b, WPARAM wp) {
  const DWORD style = Style(h), kind = Kind(style);
  // Any value past the highest state, however large, is the highest state.
  const LRESULT check = LRESULT(std::min<WPARAM>(wp, WPARAM(MaxCheck(kind))));
  if (IsRadio(kind))
    SetWindowLongPtr(h, GWL_STYLE, check ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP));
  b = Get(h);  // the style change may have been answered by anything
  if (!b) return;
  if ((b->state & 3) != check) {
    b->state = (b->state & ~3) | check;
    Redraw(h, ODA_SELECT);
  }
  if (kind == BS_AUTORADIOBUTTON && check == BST_CHECKED && (style & WS_CHILD)) ClearGroup(h);
}

void Press(HWND h, Button* b) {
  b->tracking = true;
  SendMessage(h, BM_SETSTATE, TRUE, 0);
}

// The end of a press by mouse or Space: a release over the button clicks it. The window may be
// destroyed by the parent's answer to BN_CLICKED, so nothing is touched after it.
void Release(HWND h, bool inside) {
  Button* b = Get(h);
  if (!b || !b->tracking) return;
  b->tracking = false;
  if (!(b->state & BST_PUSHED)) {
    ReleaseCapture();
    return;
  }
  SendMessage(h, BM_SETSTATE, FALSE, 0);
  if (!inside) {
    ReleaseCapture();
    return;
  }
  b = Get(h);
  if (b) {
    const LRESULT check = b->state & 3;
    switch (Kind(Style(h))) {
      case BS_AUTOCHECKBOX: SendMessage(h, BM_SETCHECK, check ? 0 : 1, 0); break;
      case BS_AUTORADIOBUTTON: SendMessage(h, BM_SETCHECK, BST_CHECKED, 0); break;
      case BS_AUTO3STATE:
        SendMessage(h, BM_SETCHECK, check == BST_INDETERMINATE ? 0 : WPARAM(check + 1), 0);
        break;
    }
  }
  ReleaseCapture();
  Notify(h, BN_CLICKED);
}

LRESULT DialogCode(DWORD style) {
  switch (Kind(style)) {
    case BS_PUSHBUTTON:
    case BS_USERBUTTON:
    case BS_PUSHBOX: return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
    case BS_DEFPUSHBUTTON: return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON: return DLGC_BUTTON | DLGC_RADIOBUTTON;
    case BS_GROUPBOX: return DLGC_STATIC;
    default: return DLGC_BUTTON;
  }
}

LRESULT ButtonProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  Button* b = Get(h);
  if (!b && msg != WM_NCCREATE) return DefWindowProc(h, msg, wp, lp);
  switch (msg) {
    case WM_NCCREATE:
      SetWindowLongPtr(h, 0, reinterpret_cast<LONG_PTR>(new Button));
      return DefWindowProc(h, msg, wp, lp);
    case WM_NCDESTROY:
      SetWindowLongPtr(h, 0, 0);
      delete b;
      return DefWindowProc(h, msg, wp, lp);
    case WM_GETDLGCODE: return DialogCode(Style(h));
    case WM_NCHITTEST:
      // A group box lets the mouse through to what it frames.
      if (Kind(Style(h)) == BS_GROUPBOX) return HTTRANSPARENT;
      return DefWindowProc(h, msg, wp, lp);
    case WM_ERASEBKGND:
      if (Kind(Style(h)) == BS_OWNERDRAW) {
        HDC dc = reinterpret_cast<HDC>(wp);
        RECT rc;
        GetClientRect(h, &rc);
        if (HBRUSH brush = ParentBrush(h, dc, WM_CTLCOLORBTN)) FillRect(dc, &rc, brush);
      }
      return 1;
    case WM_PAINT:
      if (wp) {
        Paint(h, reinterpret_cast<HDC>(wp), ODA_DRAWENTIRE);
      } else {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(h, &ps);
        if (dc) Paint(h, dc, ODA_DRAWENTIRE);
        EndPaint(h, &ps);
      }
      return 0;
    case WM_PRINTCLIENT: Paint(h, reinterpret_cast<HDC>(wp), ODA_DRAWENTIRE); return 0;
    case WM_SETFONT:
      b->font = reinterpret_cast<HFONT>(wp);
      if (LOWORD(std::uintptr_t(lp))) InvalidateRect(h, nullptr, TRUE);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(b->font);
    case WM_SETTEXT: {
      LRESULT r = DefWindowProc(h, msg, wp, lp);
      InvalidateRect(h, nullptr, TRUE);
      return r;
    }
    case WM_ENABLE:
    case WM_STYLECHANGED: InvalidateRect(h, nullptr, TRUE); return 0;
    case WM_SETFOCUS:
      b->state |= BST_FOCUS;
      Redraw(h, ODA_FOCUS);
      if (Style(h) & BS_NOTIFY) Notify(h, BN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      b->state &= ~BST_FOCUS;
      Redraw(h, ODA_FOCUS);
      if (b->tracking && GetCapture() == h) ReleaseCapture();
      if (Get(h) && (Style(h) & BS_NOTIFY)) Notify(h, BN_KILLFOCUS);
      return 0;
    case WM_LBUTTONDBLCLK: {
      const DWORD style = Style(h), kind = Kind(style);
      if ((style & BS_NOTIFY) || kind == BS_RADIOBUTTON || kind == BS_USERBUTTON ||
          kind == BS_OWNERDRAW) {
        Notify(h, BN_DOUBLECLICKED);
        return 0;
      }
      [[fallthrough]];
    }
    case WM_LBUTTONDOWN:
      SetFocus(h);
      if (!(b = Get(h))) return 0;
      SetCapture(h);
      Press(h, b);
      return 0;
    case WM_LBUTTONUP: {
      RECT rc;
      GetClientRect(h, &rc);
      POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
      Release(h, PtInRect(&rc, pt));
      return 0;
    }
    case WM_MOUSEMOVE:
      if ((wp & MK_LBUTTON) && b->tracking && GetCapture() == h) {
        RECT rc;
        GetClientRect(h, &rc);
        POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        SendMessage(h, BM_SETSTATE, PtInRect(&rc, pt), 0);
      }
      return 0;
    case WM_CAPTURECHANGED:
      if (b->tracking) {
        b->tracking = false;
        SendMessage(h, BM_SETSTATE, FALSE, 0);
      }
      return 0;
    case WM_KEYDOWN:
      // Held Space repeats; only the first press counts.
      if (wp == VK_SPACE && !b->tracking) {
        Press(h, b);
        SetCapture(h);
      }
      return 0;
    case WM_KEYUP:
      if (wp == VK_SPACE) Release(h, true);
      return 0;
    case BM_GETCHECK: return b->state & 3;
    case BM_SETCHECK: SetCheck(h, b, wp); return 0;
    case BM_GETSTATE: return b->state;
    case BM_SETSTATE: {
      const LRESULT old = b->state;
      if (wp)
        b->state |= BST_PUSHED;
      else
        b->state &= ~BST_PUSHED;
      if (Kind(Style(h)) == BS_USERBUTTON) Notify(h, wp ? BN_HILITE : BN_UNHILITE);
      if ((b = Get(h)) && ((old ^ b->state) & BST_PUSHED)) Redraw(h, ODA_SELECT);
      return 0;
    }
    case BM_SETSTYLE: {
      const DWORD style = (Style(h) & ~BS_TYPEMASK) | (DWORD(wp) & BS_TYPEMASK);
      SetWindowLongPtr(h, GWL_STYLE, LONG_PTR(style));
      if (lp) InvalidateRect(h, nullptr, TRUE);
      return 0;
    }
    case BM_CLICK:
      SendMessage(h, WM_LBUTTONDOWN, MK_LBUTTON, 0);
      SendMessage(h, WM_LBUTTONUP, 0, 0);
      return 0;
  }
  return DefWindowProc(h, msg, wp, lp);
}

}  // namespace

void RegisterButtonClass() {
  WNDCLASSEX wc;
  wc.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW | CS_GLOBALCLASS;
  wc.lpfnWndProc = ButtonProc;
  wc.cbWndExtra = sizeof(Button*);
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = "Button";
  RegisterClassEx(&wc);
}

}  // namespace win::controls
