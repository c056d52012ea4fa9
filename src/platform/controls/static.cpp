// "Static": text, etched lines and frames, plain frames and rectangles, icons and bitmaps, in
// the classic look; clicks are reported only with SS_NOTIFY.
#include <string>

#include "platform/controls/internal/classes.h"
#include "platform/controls/internal/simple_controls.h"
#include "platform/win.h"

namespace win::controls {
namespace {

struct Static {
  HFONT font = nullptr;
  HICON icon = nullptr;      // SS_ICON
  HBITMAP bitmap = nullptr;  // SS_BITMAP
};

Static* Get(HWND h) { return StateAt<Static>(h); }
DWORD Style(HWND h) { return DWORD(GetWindowLongPtr(h, GWL_STYLE)); }

void Notify(HWND h, WORD code) {
  if (!(Style(h) & SS_NOTIFY)) return;
  HWND parent = GetParent(h);
  if (!parent) return;
  SendMessage(parent, WM_COMMAND, MAKEWPARAM(WORD(GetDlgCtrlID(h)), code),
              reinterpret_cast<LPARAM>(h));
}

UINT TextFormat(DWORD style) {
  UINT fmt = DT_EXPANDTABS | DT_WORDBREAK;
  switch (style & SS_TYPEMASK) {
    case SS_CENTER: fmt |= DT_CENTER; break;
    case SS_RIGHT: fmt |= DT_RIGHT; break;
    case SS_SIMPLE: fmt = DT_LEFT | DT_SINGLELINE; break;
    case SS_LEFTNOWORDWRAP: fmt = DT_LEFT | DT_EXPANDTABS; break;
  }
  if (style & SS_NOPREFIX) fmt |= DT_NOPREFIX;
  if ((style & SS_TYPEMASK) == SS_SIMPLE) return fmt;
  if (style & SS_CENTERIMAGE) fmt |= DT_SINGLELINE | DT_VCENTER;
  if (style & SS_EDITCONTROL) fmt |= DT_EDITCONTROL;
  switch (style & SS_ELLIPSISMASK) {
    case SS_ENDELLIPSIS: fmt |= DT_SINGLELINE | DT_END_ELLIPSIS; break;
    case SS_PATHELLIPSIS: fmt |= DT_SINGLELINE | DT_PATH_ELLIPSIS; break;
    case SS_WORDELLIPSIS: fmt |= DT_SINGLELINE | DT_WORD_ELLIPSIS; break;
  }
  if (fmt & DT_SINGLELINE) fmt &= ~DT_WORDBREAK;
  return fmt;
}

// Where an image of w x h goes: the top left, or the centre with SS_CENTERIMAGE.
POINT ImageOrigin(DWORD style, const RECT& rc, int w, int h) {
  if (!(style & SS_CENTERIMAGE)) return POINT{0, 0};
  return POINT{(rc.right - w) / 2, (rc.bottom - h) / 2};
}

SIZE BitmapSize(HBITMAP bmp) {
  BITMAP bm;
  if (!bmp || !GetObject(bmp, sizeof bm, &bm)) return SIZE{0, 0};
  return SIZE{bm.bmWidth, bm.bmHeight};
}

SIZE IconSize(HICON icon) {
  ICONINFO info;
  if (!icon || !GetIconInfo(icon, &info)) return SIZE{0, 0};
  SIZE s = BitmapSize(info.hbmColor ? info.hbmColor : info.hbmMask);
  if (!info.hbmColor) s.cy /= 2;
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  return s;
}

void Paint(HWND h, HDC dc) {
  Static* s = Get(h);
  if (!s) return;
  RECT rc;
  GetClientRect(h, &rc);
  const DWORD style = Style(h), kind = style & SS_TYPEMASK;
  const int saved = SaveDC(dc);
  if (s->font) SelectObject(dc, s->font);
  HBRUSH brush = ParentBrush(h, dc, WM_CTLCOLORSTATIC);
  switch (kind) {
    case SS_LEFT:
    case SS_CENTER:
    case SS_RIGHT:
    case SS_SIMPLE:
    case SS_LEFTNOWORDWRAP: {
      if (brush) FillRect(dc, &rc, brush);
      // The parent's WM_CTLCOLORSTATIC has chosen the colours and background mode.
      if (!IsWindowEnabled(h)) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
      std::string text = WindowText(h);
      DrawText(dc, text.c_str(), -1, &rc, TextFormat(style));
      break;
    }
    case SS_BLACKRECT: FillRect(dc, &rc, GetSysColorBrush(COLOR_3DDKSHADOW)); break;
    case SS_GRAYRECT: FillRect(dc, &rc, GetSysColorBrush(COLOR_3DSHADOW)); break;
    case SS_WHITERECT: FillRect(dc, &rc, GetSysColorBrush(COLOR_3DHIGHLIGHT)); break;
    case SS_BLACKFRAME: FrameRect(dc, &rc, GetSysColorBrush(COLOR_3DDKSHADOW)); break;
    case SS_GRAYFRAME: FrameRect(dc, &rc, GetSysColorBrush(COLOR_3DSHADOW)); break;
    case SS_WHITEFRAME: FrameRect(dc, &rc, GetSysColorBrush(COLOR_3DHIGHLIGHT)); break;
    case SS_ETCHEDHORZ: {
      RECT line = rc;
      DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
      break;
    }
    case SS_ETCHEDVERT: {
      RECT line = rc;
      DrawEdge(dc, &line, EDGE_ETCHED, BF_LEFT);
      break;
    }
    case SS_ETCHEDFRAME: {
      RECT frame = rc;
      DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
      break;
    }
    case SS_ICON: {
      if (brush) FillRect(dc, &rc, brush);
      if (!s->icon) break;
      const SIZE sz = IconSize(s->icon);
      if (style & SS_REALSIZECONTROL) {
        DrawIconEx(dc, 0, 0, s->icon, rc.right, rc.bottom, 0, nullptr, DI_NORMAL);
      } else {
        const POINT at = ImageOrigin(style, rc, sz.cx, sz.cy);
        DrawIconEx(dc, at.x, at.y, s->icon, sz.cx, sz.cy, 0, nullptr, DI_NORMAL);
      }
      break;
    }
    case SS_BITMAP: {
      if (brush) FillRect(dc, &rc, brush);
      if (!s->bitmap) break;
      const SIZE sz = BitmapSize(s->bitmap);
      HDC mem = CreateCompatibleDC(dc);
      HGDIOBJ old = SelectObject(mem, s->bitmap);
      const POINT at = ImageOrigin(style, rc, sz.cx, sz.cy);
      BitBlt(dc, at.x, at.y, sz.cx, sz.cy, mem, 0, 0, SRCCOPY);
      SelectObject(mem, old);
      DeleteDC(mem);
      break;
    }
    case SS_OWNERDRAW: {
      HWND parent = GetParent(h);
      if (!parent) break;
      DRAWITEMSTRUCT dis{};
      dis.CtlType = ODT_STATIC;
      dis.CtlID = UINT(GetDlgCtrlID(h));
      dis.itemAction = ODA_DRAWENTIRE;
      dis.itemState = IsWindowEnabled(h) ? 0 : ODS_DISABLED;
      dis.hwndItem = h;
      dis.hDC = dc;
      dis.rcItem = rc;
      SendMessage(parent, WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
      break;
    }
  }
  RestoreDC(dc, saved);
}

// An image set on a static sizes it to the image, unless it centres or stretches the image.
void FitToImage(HWND h, SIZE sz) {
  if ((Style(h) & (SS_CENTERIMAGE | SS_REALSIZECONTROL)) || sz.cx <= 0) return;
  SetWindowPos(h, nullptr, 0, 0, sz.cx, sz.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT SetIcon(HWND h, Static* s, HICON icon) {
  if ((Style(h) & SS_TYPEMASK) != SS_ICON) return 0;
  HICON old = s->icon;
  s->icon = icon;
  FitToImage(h, IconSize(icon));
  InvalidateRect(h, nullptr, TRUE);
  return reinterpret_cast<LRESULT>(old);
}

LRESULT SetBitmap(HWND h, Static* s, HBITMAP bmp) {
  if ((Style(h) & SS_TYPEMASK) != SS_BITMAP) return 0;
  if (bmp && GetObjectType(bmp) != OBJ_BITMAP) return 0;
  HBITMAP old = s->bitmap;
  s->bitmap = bmp;
  FitToImage(h, BitmapSize(bmp));
  InvalidateRect(h, nullptr, TRUE);
  return reinterpret_cast<LRESULT>(old);
}

LRESULT StaticProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  Static* s = Get(h);
  if (!s && msg != WM_NCCREATE) return DefWindowProc(h, msg, wp, lp);
  switch (msg) {
    case WM_NCCREATE:
      SetWindowLongPtr(h, 0, reinterpret_cast<LONG_PTR>(new Static));
      if (Style(h) & SS_SUNKEN)
        SetWindowLongPtr(h, GWL_EXSTYLE, GetWindowLongPtr(h, GWL_EXSTYLE) | WS_EX_STATICEDGE);
      return DefWindowProc(h, msg, wp, lp);
    case WM_NCDESTROY:
      SetWindowLongPtr(h, 0, 0);
      delete s;
      return DefWindowProc(h, msg, wp, lp);
    case WM_NCHITTEST:
      // Without SS_NOTIFY the mouse passes through to the parent, as on Windows.
      return (Style(h) & SS_NOTIFY) ? HTCLIENT : HTTRANSPARENT;
    case WM_GETDLGCODE: return DLGC_STATIC;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT:
      if (wp) {
        Paint(h, reinterpret_cast<HDC>(wp));
      } else {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(h, &ps);
        if (dc) Paint(h, dc);
        EndPaint(h, &ps);
      }
      return 0;
    case WM_PRINTCLIENT: Paint(h, reinterpret_cast<HDC>(wp)); return 0;
    case WM_LBUTTONDOWN:
    case WM_NCLBUTTONDOWN: Notify(h, STN_CLICKED); return 0;
    case WM_LBUTTONDBLCLK:
    case WM_NCLBUTTONDBLCLK: Notify(h, STN_DBLCLK); return 0;
    case WM_ENABLE:
      Notify(h, wp ? STN_ENABLE : STN_DISABLE);
      InvalidateRect(h, nullptr, TRUE);
      return 0;
    case WM_SETTEXT: {
      LRESULT r = DefWindowProc(h, msg, wp, lp);
      InvalidateRect(h, nullptr, TRUE);
      return r;
    }
    case WM_SETFONT:
      s->font = reinterpret_cast<HFONT>(wp);
      if (LOWORD(std::uintptr_t(lp))) InvalidateRect(h, nullptr, TRUE);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(s->font);
    case WM_STYLECHANGED: InvalidateRect(h, nullptr, TRUE); return 0;
    case STM_SETICON: return SetIcon(h, s, reinterpret_cast<HICON>(wp));
    case STM_GETICON: return reinterpret_cast<LRESULT>(s->icon);
    case STM_SETIMAGE:
      if (wp == IMAGE_ICON || wp == IMAGE_CURSOR) return SetIcon(h, s, reinterpret_cast<HICON>(lp));
      if (wp == IMAGE_BITMAP) return SetBitmap(h, s, reinterpret_cast<HBITMAP>(lp));
      return 0;
    case STM_GETIMAGE:
      if (wp == IMAGE_ICON || wp == IMAGE_CURSOR) return reinterpret_cast<LRESULT>(s->icon);
      if (wp == IMAGE_BITMAP) return reinterpret_cast<LRESULT>(s->bitmap);
      return 0;
  }
  return DefWindowProc(h, msg, wp, lp);
}

}  // namespace

void RegisterStaticClass() {
  WNDCLASSEX wc;
  wc.style = CS_DBLCLKS | CS_GLOBALCLASS;
  wc.lpfnWndProc = StaticProc;
  wc.cbWndExtra = sizeof(Static*);
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = "Static";
  RegisterClassEx(&wc);
}

}  // namespace win::controls
