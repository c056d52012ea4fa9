// "ScrollBar": a stand-alone scroll bar (SBS_HORZ, SBS_VERT), or a size box (SBS_SIZEBOX) and
// size grip (SBS_SIZEGRIP) that size the top-level window they sit in.
//
// The bar itself — its values, its painting, the tracking loop — is the window manager's, the
// same code as a window's own scroll bars, as on Windows. This procedure reaches it through the
// public API only: the window manager serves a scroll-bar control's bar in DefWindowProc (see
// user/scrollbar.cpp), and a window is such a control once its procedure has set the bar up by
// handing DefWindowProc SBM_SETSCROLLINFO at WM_CREATE. From then on the SBM_ messages, WM_PAINT
// and WM_PRINTCLIENT, and the press that starts the tracking loop simply go on to
// DefWindowProc, which answers them for the control's bar: the SBM_ messages with Windows'
// results, the painting with the brush the parent gives for WM_CTLCOLORSCROLLBAR, the loop with
// WM_HSCROLL or WM_VSCROLL to the parent, the control's handle in lParam. What is the control's
// alone is here: its size at creation, the size box and grip, the keyboard, the blinking thumb
// that shows the focus, WM_GETDLGCODE.
#include "platform/controls/internal/classes.h"
#include "platform/win.h"

namespace win::controls {
namespace {

constexpr LRESULT kWantArrows = 0x0001;  // DLGC_WANTARROWS

DWORD StyleOf(HWND hwnd) { return DWORD(GetWindowLongPtr(hwnd, GWL_STYLE)); }
bool IsBox(DWORD style) { return (style & (SBS_SIZEBOX | SBS_SIZEGRIP)) != 0; }

// Who hears the control's WM_HSCROLL and WM_VSCROLL: its parent (a top-level bar, its owner or
// itself).
HWND NotifyWindow(HWND hwnd) {
  HWND p = GetParent(hwnd);
  return p ? p : hwnd;
}

// Windows' ScrollBar at WM_CREATE: the creation parameters may carry a first range (low word:
// the minimum and position, high word: the maximum); SBS_TOPALIGN / SBS_BOTTOMALIGN (for a
// vertical bar SBS_LEFTALIGN / SBS_RIGHTALIGN) make the bar the standard breadth along that
// edge of the rectangle asked for, and a size box takes the standard size at its top-left or
// bottom-right corner.
void SetUp(HWND hwnd, const CREATESTRUCT* cs) {
  const DWORD style = cs ? cs->style : StyleOf(hwnd);
  const auto params = cs ? std::uintptr_t(cs->lpCreateParams) : 0;
  SCROLLINFO si;
  si.fMask = SIF_RANGE | SIF_POS | SIF_PAGE;
  si.nMin = si.nPos = IsBox(style) ? 0 : LOWORD(params);
  si.nMax = IsBox(style) ? 0 : HIWORD(params);
  // Not SendMessage: this is the bar being made, which nobody watching the control sees.
  DefWindowProc(hwnd, SBM_SETSCROLLINFO, FALSE, reinterpret_cast<LPARAM>(&si));
  if (!cs || !(style & (SBS_TOPALIGN | SBS_BOTTOMALIGN))) return;
  RECT rc{cs->x, cs->y, cs->x + cs->cx, cs->y + cs->cy};
  const int cx = GetSystemMetrics(SM_CXVSCROLL), cy = GetSystemMetrics(SM_CYHSCROLL);
  if (IsBox(style)) {
    if (style & SBS_SIZEBOXBOTTOMRIGHTALIGN) {
      rc.left = rc.right - cx;
      rc.top = rc.bottom - cy;
    }
    rc.right = rc.left + cx;
    rc.bottom = rc.top + cy;
  } else if (style & SBS_VERT) {
    if (style & SBS_LEFTALIGN)
      rc.right = rc.left + cx;
    else
      rc.left = rc.right - cx;
  } else {
    if (style & SBS_TOPALIGN)
      rc.bottom = rc.top + cy;
    else
      rc.top = rc.bottom - cy;
  }
  MoveWindow(hwnd, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, FALSE);
}

// The focus shows as the thumb blinking: a grey caret over it, one pixel inside.
void PlaceCaret(HWND hwnd) {
  if (GetFocus() != hwnd || IsBox(StyleOf(hwnd))) return;
  SCROLLBARINFO sbi;
  DestroyCaret();
  if (!GetScrollBarInfo(hwnd, OBJID_CLIENT, &sbi) || sbi.xyThumbBottom <= sbi.xyThumbTop) return;
  RECT rc;
  GetClientRect(hwnd, &rc);
  const bool vert = (StyleOf(hwnd) & SBS_VERT) != 0;
  RECT t = vert ? RECT{0, sbi.xyThumbTop, rc.right, sbi.xyThumbBottom}
                : RECT{sbi.xyThumbTop, 0, sbi.xyThumbBottom, rc.bottom};
  InflateRect(&t, -1, -1);
  if (t.right <= t.left || t.bottom <= t.top) return;
  CreateCaret(hwnd, reinterpret_cast<HBITMAP>(1), t.right - t.left, t.bottom - t.top);
  SetCaretPos(t.left, t.top);
  ShowCaret(hwnd);
}

// The keys of a focused bar, as Windows maps them (either pair of arrows works on either bar).
int KeyCode(WPARAM vk) {
  switch (vk) {
    case VK_HOME: return SB_TOP;
    case VK_END: return SB_BOTTOM;
    case VK_PRIOR: return SB_PAGEUP;
    case VK_NEXT: return SB_PAGEDOWN;
    case VK_LEFT:
    case VK_UP: return SB_LINEUP;
    case VK_RIGHT:
    case VK_DOWN: return SB_LINEDOWN;
  }
  return -1;
}

void Scroll(HWND hwnd, WORD code) {
  const UINT msg = (StyleOf(hwnd) & SBS_VERT) ? WM_VSCROLL : WM_HSCROLL;
  SendMessage(NotifyWindow(hwnd), msg, MAKEWPARAM(code, 0), reinterpret_cast<LPARAM>(hwnd));
}

void PaintBox(HWND hwnd, HDC given) {
  PAINTSTRUCT ps;
  HDC dc = given ? given : BeginPaint(hwnd, &ps);
  if (dc) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    if (StyleOf(hwnd) & SBS_SIZEGRIP)
      DrawFrameControl(dc, &rc, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
    else
      FillRect(dc, &rc, GetSysColorBrush(COLOR_3DFACE));
  }
  if (!given) EndPaint(hwnd, &ps);
}

LRESULT ScrollBarProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  const DWORD style = StyleOf(hwnd);
  switch (msg) {
    case WM_CREATE: SetUp(hwnd, reinterpret_cast<const CREATESTRUCT*>(lp)); return 0;
    case WM_GETDLGCODE: return kWantArrows;
    case WM_PAINT:
    case WM_PRINTCLIENT:
      if (!IsBox(style)) break;
      PaintBox(hwnd, reinterpret_cast<HDC>(wp));
      return 0;
    case WM_SETCURSOR:
      if (IsBox(style) && LOWORD(lp) == HTCLIENT) {
        SetCursor(LoadCursor(nullptr, IDC_SIZENWSE));
        return TRUE;
      }
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (style & WS_TABSTOP) SetFocus(hwnd);
      if (IsBox(style)) {
        // The box sizes the top-level window it sits in, from its bottom-right corner.
        POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        ClientToScreen(hwnd, &p);
        HWND top = GetAncestor(hwnd, GA_ROOT);
        if (top && top != hwnd)
          SendMessage(top, WM_SYSCOMMAND, SC_SIZE + WMSZ_BOTTOMRIGHT,
                      MAKELPARAM(WORD(p.x), WORD(p.y)));
        return 0;
      }
      DefWindowProc(hwnd, msg, wp, lp);  // the tracking loop, until the button comes up
      if (IsWindow(hwnd)) PlaceCaret(hwnd);
      return 0;
    case WM_KEYDOWN:
      if (!IsBox(style) && KeyCode(wp) >= 0) Scroll(hwnd, WORD(KeyCode(wp)));
      return 0;
    case WM_KEYUP:
      if (!IsBox(style) && KeyCode(wp) >= 0) Scroll(hwnd, SB_ENDSCROLL);
      return 0;
    case WM_SETFOCUS: PlaceCaret(hwnd); return 0;
    case WM_KILLFOCUS: DestroyCaret(); return 0;
    case WM_ENABLE:
      InvalidateRect(hwnd, nullptr, TRUE);  // a disabled bar is drawn without a thumb
      return 0;
    case WM_SIZE:
    case SBM_SETPOS:
    case SBM_SETRANGE:
    case SBM_SETRANGEREDRAW:
    case SBM_SETSCROLLINFO:
    case SBM_ENABLE_ARROWS: {
      // The caret follows the thumb.
      LRESULT r = DefWindowProc(hwnd, msg, wp, lp);
      if (IsWindow(hwnd)) PlaceCaret(hwnd);
      return r;
    }
  }
  return DefWindowProc(hwnd, msg, wp, lp);
}

}  // namespace

void RegisterScrollBarClass() {
  WNDCLASSEX wc;
  wc.lpszClassName = "ScrollBar";
  wc.style = CS_GLOBALCLASS | CS_DBLCLKS | CS_VREDRAW | CS_HREDRAW | CS_PARENTDC;
  wc.lpfnWndProc = ScrollBarProc;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  RegisterClassEx(&wc);
}

}  // namespace win::controls
