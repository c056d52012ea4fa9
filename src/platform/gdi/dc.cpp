#include "platform/gdi/internal/dc.h"

#include <algorithm>

#include "platform/base/error.h"
#include "platform/base/internal/geometry.h"

namespace win {
namespace gdi {

ScreenInfo& Screen() {
  static ScreenInfo screen;
  return screen;
}

std::shared_ptr<DC> FindDC(HDC h) {
  return HandleTable::Get().Find<DC>(h, ObjectType::DC, ObjectType::MemDC);
}

Region DC::Clip() const {
  Region r;
  if (!surface) return r;
  if (vis)
    r = *vis;
  else
    r = Region(RECT{0, 0, surface->width, surface->height});
  r.IntersectRect(RECT{0, 0, surface->width, surface->height});
  if (st.clip) {
    Region c = *st.clip;
    c.Offset(origin.x, origin.y);
    r.Intersect(c);
  }
  return r;
}

namespace {

void InitState(DCState& st) {
  st.brush = FindBrush(static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  st.pen = FindPen(static_cast<HPEN>(GetStockObject(BLACK_PEN)));
  st.font = FindFont(static_cast<HFONT>(GetStockObject(SYSTEM_FONT)));
  st.palette = FindPalette(static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)));
}

}  // namespace

HDC CreateSurfaceDC(std::shared_ptr<Bitmap> surface, POINT origin, const Region& visible) {
  auto dc = std::make_shared<DC>();
  dc->type = ObjectType::DC;
  InitState(dc->st);
  dc->surface = std::move(surface);
  dc->origin = origin;
  dc->vis = visible;
  return static_cast<HDC>(HandleTable::Get().Add(dc));
}

void BindSurfaceDC(HDC h, std::shared_ptr<Bitmap> surface, POINT origin, const Region& visible) {
  auto dc = FindDC(h);
  if (!dc || dc->memory) return;
  dc->surface = std::move(surface);
  dc->origin = origin;
  dc->vis = visible;
}

}  // namespace gdi

using namespace gdi;

HDC CreateCompatibleDC(HDC other) {
  if (other && !FindDC(other)) return nullptr;
  auto dc = std::make_shared<DC>();
  dc->type = ObjectType::MemDC;
  dc->memory = true;
  InitState(dc->st);
  dc->st.bitmap = StockBitmap();
  dc->surface = dc->st.bitmap;
  return static_cast<HDC>(HandleTable::Get().Add(dc));
}

BOOL DeleteDC(HDC h) {
  auto dc = FindDC(h);
  if (!dc) return FALSE;
  if (dc->memory && dc->st.bitmap && dc->st.bitmap->selected_in == dc.get())
    dc->st.bitmap->selected_in = nullptr;
  for (auto& s : dc->saved)
    if (s.bitmap && s.bitmap->selected_in == dc.get()) s.bitmap->selected_in = nullptr;
  return HandleTable::Get().Remove(h) ? TRUE : FALSE;
}

HGDIOBJ SelectObject(HDC h, HGDIOBJ obj_handle) {
  auto dc = FindDC(h);
  if (!dc) return nullptr;
  auto obj = HandleTable::Get().Find(obj_handle);
  if (!obj) return nullptr;
  auto& st = dc->st;
  switch (obj->type) {
    case ObjectType::Brush: {
      HGDIOBJ old = st.brush->handle;
      st.brush = std::static_pointer_cast<Brush>(obj);
      return old;
    }
    case ObjectType::Pen: {
      HGDIOBJ old = st.pen->handle;
      st.pen = std::static_pointer_cast<Pen>(obj);
      return old;
    }
    case ObjectType::Font: {
      HGDIOBJ old = st.font->handle;
      st.font = std::static_pointer_cast<Font>(obj);
      return old;
    }
    case ObjectType::Bitmap: {
      if (!dc->memory) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
      }
      auto bmp = std::static_pointer_cast<Bitmap>(obj);
      // A device-dependent bitmap must be monochrome or of the screen's depth; DIB sections
      // of any depth select.
      if (!bmp->dib && bmp->bpp != 1 && bmp->bpp != 32) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
      }
      // A bitmap lives in one memory DC at a time; the stock bitmap may be in any number.
      if (!bmp->stock && bmp->selected_in && bmp->selected_in != dc.get()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
      }
      HGDIOBJ old = st.bitmap->handle;
      if (st.bitmap->selected_in == dc.get()) st.bitmap->selected_in = nullptr;
      st.bitmap = bmp;
      if (!bmp->stock) bmp->selected_in = dc.get();
      dc->surface = bmp;  // the application's clip region stays, as in Windows
      return old;
    }
    case ObjectType::Region: {
      int r = SelectClipRgn(h, static_cast<HRGN>(obj_handle));
      return reinterpret_cast<HGDIOBJ>(std::intptr_t(r));
    }
    default: SetLastError(ERROR_INVALID_HANDLE); return nullptr;
  }
}

HGDIOBJ GetCurrentObject(HDC h, UINT type) {
  auto dc = FindDC(h);
  if (!dc) return nullptr;
  switch (type) {
    case OBJ_BRUSH: return dc->st.brush->handle;
    case OBJ_PEN: return dc->st.pen->handle;
    case OBJ_FONT: return dc->st.font->handle;
    case OBJ_PAL: return dc->st.palette->handle;
    case OBJ_BITMAP: return dc->memory ? dc->st.bitmap->handle : nullptr;
  }
  SetLastError(ERROR_INVALID_PARAMETER);
  return nullptr;
}

int SaveDC(HDC h) {
  auto dc = FindDC(h);
  if (!dc) return 0;
  dc->saved.push_back(dc->st);
  return int(dc->saved.size());
}

BOOL RestoreDC(HDC h, int saved) {
  auto dc = FindDC(h);
  if (!dc) return FALSE;
  int n = int(dc->saved.size());
  int index = saved < 0 ? n + saved : saved - 1;  // negative: relative to the newest
  if (index < 0 || index >= n) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  DCState st = dc->saved[index];
  dc->saved.resize(index);
  if (dc->memory && st.bitmap != dc->st.bitmap) {
    if (dc->st.bitmap->selected_in == dc.get()) dc->st.bitmap->selected_in = nullptr;
    if (!st.bitmap->stock) st.bitmap->selected_in = dc.get();
    dc->surface = st.bitmap;
  }
  dc->st = std::move(st);
  return TRUE;
}

namespace {

template <class F>
auto WithDC(HDC h, decltype(std::declval<F>()(std::declval<DC&>())) fail, F f) {
  auto dc = FindDC(h);
  if (!dc) return fail;
  return f(*dc);
}

BOOL SetPoint(HDC h, POINT DCState::*member, int x, int y, POINT* old, bool relative) {
  return WithDC(h, FALSE, [&](DC& dc) {
    POINT& p = dc.st.*member;
    if (old) *old = p;
    if (relative) {
      p.x += x;
      p.y += y;
    } else
      p = {x, y};
    return TRUE;
  });
}

BOOL GetPoint(HDC h, POINT DCState::*member, POINT* out) {
  return WithDC(h, FALSE, [&](DC& dc) {
    if (!out) return FALSE;
    *out = dc.st.*member;
    return TRUE;
  });
}

template <class T>
T Exchange(HDC h, T DCState::*member, T value, T fail) {
  return WithDC(h, fail, [&](DC& dc) {
    T old = dc.st.*member;
    dc.st.*member = value;
    return old;
  });
}

template <class T>
T Read(HDC h, T DCState::*member, T fail) {
  return WithDC(h, fail, [&](DC& dc) { return dc.st.*member; });
}

}  // namespace

BOOL SetViewportOrgEx(HDC h, int x, int y, POINT* old) {
  return SetPoint(h, &DCState::viewport_org, x, y, old, false);
}
BOOL GetViewportOrgEx(HDC h, POINT* pt) { return GetPoint(h, &DCState::viewport_org, pt); }
BOOL OffsetViewportOrgEx(HDC h, int dx, int dy, POINT* old) {
  return SetPoint(h, &DCState::viewport_org, dx, dy, old, true);
}
BOOL SetWindowOrgEx(HDC h, int x, int y, POINT* old) {
  return SetPoint(h, &DCState::window_org, x, y, old, false);
}
BOOL GetWindowOrgEx(HDC h, POINT* pt) { return GetPoint(h, &DCState::window_org, pt); }
BOOL SetBrushOrgEx(HDC h, int x, int y, POINT* old) {
  return SetPoint(h, &DCState::brush_org, x, y, old, false);
}
BOOL GetBrushOrgEx(HDC h, POINT* pt) { return GetPoint(h, &DCState::brush_org, pt); }
BOOL MoveToEx(HDC h, int x, int y, POINT* old) {
  return SetPoint(h, &DCState::cur_pos, x, y, old, false);
}
BOOL GetCurrentPositionEx(HDC h, POINT* pt) { return GetPoint(h, &DCState::cur_pos, pt); }

BOOL LPtoDP(HDC h, POINT* pts, int count) {
  return WithDC(h, FALSE, [&](DC& dc) {
    if (!pts || count < 0) return FALSE;
    for (int i = 0; i < count; ++i) pts[i] = dc.ToDevice(pts[i].x, pts[i].y);
    return TRUE;
  });
}

BOOL DPtoLP(HDC h, POINT* pts, int count) {
  return WithDC(h, FALSE, [&](DC& dc) {
    if (!pts || count < 0) return FALSE;
    for (int i = 0; i < count; ++i) {
      POINT zero = dc.ToDevice(0, 0);
      pts[i] = {pts[i].x - zero.x, pts[i].y - zero.y};
    }
    return TRUE;
  });
}

int SetBkMode(HDC h, int mode) {
  if (mode != TRANSPARENT && mode != OPAQUE) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  return Exchange(h, &DCState::bk_mode, mode, 0);
}
int GetBkMode(HDC h) { return Read(h, &DCState::bk_mode, 0); }
COLORREF SetBkColor(HDC h, COLORREF c) { return Exchange(h, &DCState::bk_color, c, CLR_INVALID); }
COLORREF GetBkColor(HDC h) { return Read(h, &DCState::bk_color, CLR_INVALID); }
COLORREF SetTextColor(HDC h, COLORREF c) {
  return Exchange(h, &DCState::text_color, c, CLR_INVALID);
}
COLORREF GetTextColor(HDC h) { return Read(h, &DCState::text_color, CLR_INVALID); }
COLORREF SetDCBrushColor(HDC h, COLORREF c) {
  return Exchange(h, &DCState::dc_brush_color, c, CLR_INVALID);
}
COLORREF SetDCPenColor(HDC h, COLORREF c) {
  return Exchange(h, &DCState::dc_pen_color, c, CLR_INVALID);
}
UINT SetTextAlign(HDC h, UINT a) { return Exchange(h, &DCState::text_align, a, GDI_ERROR); }
UINT GetTextAlign(HDC h) { return Read(h, &DCState::text_align, GDI_ERROR); }
int SetTextCharacterExtra(HDC h, int e) {
  return Exchange(h, &DCState::char_extra, e, int(0x80000000));
}
int SetROP2(HDC h, int r) {
  if (r < R2_BLACK || r > R2_WHITE) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  return Exchange(h, &DCState::rop2, r, 0);
}
int GetROP2(HDC h) { return Read(h, &DCState::rop2, 0); }
int SetStretchBltMode(HDC h, int m) {
  if (m < BLACKONWHITE || m > HALFTONE) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  return Exchange(h, &DCState::stretch_mode, m, 0);
}
int GetStretchBltMode(HDC h) { return Read(h, &DCState::stretch_mode, 0); }
int SetPolyFillMode(HDC h, int m) {
  if (m != ALTERNATE && m != WINDING) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  return Exchange(h, &DCState::poly_fill_mode, m, 0);
}
int GetPolyFillMode(HDC h) { return Read(h, &DCState::poly_fill_mode, 0); }
// Only the text mapping mode exists: one logical unit is one pixel.
int SetMapMode(HDC h, int m) {
  return WithDC(h, 0, [&](DC&) { return MM_TEXT; });
}
int GetMapMode(HDC h) {
  return WithDC(h, 0, [&](DC&) { return MM_TEXT; });
}

COLORREF GetPixel(HDC h, int x, int y) {
  return WithDC(h, CLR_INVALID, [&](DC& dc) {
    POINT p = dc.ToSurface(x, y);
    if (!dc.surface || !dc.Clip().Contains(p.x, p.y)) return CLR_INVALID;
    return dc.surface->ToColor(dc.surface->Get(p.x, p.y));
  });
}

COLORREF SetPixel(HDC h, int x, int y, COLORREF c) {
  return WithDC(h, CLR_INVALID, [&](DC& dc) {
    POINT p = dc.ToSurface(x, y);
    if (!dc.surface || !dc.Clip().Contains(p.x, p.y)) return CLR_INVALID;
    std::uint32_t raw = dc.surface->FromColor(c);
    dc.surface->Put(p.x, p.y, raw);
    return dc.surface->ToColor(raw);
  });
}

BOOL SetPixelV(HDC h, int x, int y, COLORREF c) { return SetPixel(h, x, y, c) != CLR_INVALID; }

int GetDeviceCaps(HDC h, int index) {
  return WithDC(h, 0, [&](DC& dc) {
    // A memory DC answers for the device it is compatible with, the true-colour screen,
    // whatever bitmap is selected into it, as on Windows: CreateBitmap with its BITSPIXEL
    // makes a colour bitmap even while the DC holds its first 1x1 monochrome one.
    const auto& s = Screen();
    switch (index) {
      case BITSPIXEL: return 32;
      case PLANES: return 1;
      case LOGPIXELSX:
      case LOGPIXELSY: return s.dpi;
      case HORZRES: return s.width;
      case VERTRES: return s.height;
      case HORZSIZE: return MulDiv(s.width, 254, s.dpi * 10);
      case VERTSIZE: return MulDiv(s.height, 254, s.dpi * 10);
      case NUMCOLORS: return -1;
      case SIZEPALETTE:
      case NUMRESERVED: return 0;  // not a palette device
      case COLORRES: return 24;
      case RASTERCAPS: return RC_BITBLT | RC_STRETCHBLT;
    }
    return 0;
  });
}

// Clipping. The clip region is kept in device coordinates, like Windows' meta region.

int SelectClipRgn(HDC h, HRGN rgn) { return ExtSelectClipRgn(h, rgn, RGN_COPY); }

namespace {
int ClipResult(DC& dc) { return dc.Clip().Complexity(); }
}  // namespace

int ExtSelectClipRgn(HDC h, HRGN rgn, int mode) {
  auto dc = FindDC(h);
  if (!dc) return ERROR;
  if (!rgn) {
    if (mode != RGN_COPY) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return ERROR;
    }
    dc->st.clip.reset();
    return ClipResult(*dc);
  }
  auto r = FindRegion(rgn);
  if (!r) return ERROR;
  // The region is given in device coordinates and copied; the caller keeps its region.
  Region base = dc->st.clip ? *dc->st.clip
                            : Region(RECT{-dc->origin.x, -dc->origin.y,
                                          (dc->surface ? dc->surface->width : 0) - dc->origin.x,
                                          (dc->surface ? dc->surface->height : 0) - dc->origin.y});
  switch (mode) {
    case RGN_COPY: base = r->rgn; break;
    case RGN_AND: base.Intersect(r->rgn); break;
    case RGN_OR: base.Union(r->rgn); break;
    case RGN_XOR: base.Xor(r->rgn); break;
    case RGN_DIFF: base.Subtract(r->rgn); break;
    default: SetLastError(ERROR_INVALID_PARAMETER); return ERROR;
  }
  dc->st.clip = std::move(base);
  return ClipResult(*dc);
}

namespace {
RECT DeviceRect(const DC& dc, int l, int t, int r, int b) {
  POINT a = dc.ToDevice(l, t), c = dc.ToDevice(r, b);
  return {std::min(a.x, c.x), std::min(a.y, c.y), std::max(a.x, c.x), std::max(a.y, c.y)};
}
Region CurrentClipDevice(const DC& dc) {
  if (dc.st.clip) return *dc.st.clip;
  int w = dc.surface ? dc.surface->width : 0, hgt = dc.surface ? dc.surface->height : 0;
  return Region(RECT{-dc.origin.x, -dc.origin.y, w - dc.origin.x, hgt - dc.origin.y});
}
}  // namespace

int IntersectClipRect(HDC h, int l, int t, int r, int b) {
  auto dc = FindDC(h);
  if (!dc) return ERROR;
  Region c = CurrentClipDevice(*dc);
  c.IntersectRect(DeviceRect(*dc, l, t, r, b));
  dc->st.clip = std::move(c);
  return ClipResult(*dc);
}

int ExcludeClipRect(HDC h, int l, int t, int r, int b) {
  auto dc = FindDC(h);
  if (!dc) return ERROR;
  Region c = CurrentClipDevice(*dc);
  c.Subtract(Region(DeviceRect(*dc, l, t, r, b)));
  dc->st.clip = std::move(c);
  return ClipResult(*dc);
}

int OffsetClipRgn(HDC h, int dx, int dy) {
  auto dc = FindDC(h);
  if (!dc) return ERROR;
  if (dc->st.clip) dc->st.clip->Offset(dx, dy);
  return ClipResult(*dc);
}

int GetClipBox(HDC h, RECT* rc) {
  auto dc = FindDC(h);
  if (!dc) return ERROR;
  if (!rc) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return ERROR;
  }
  Region c = dc->Clip();
  RECT box = c.Box();
  // Back to logical coordinates.
  POINT zero = dc->ToSurface(0, 0);
  if (!c.Empty()) OffsetRect(&box, -zero.x, -zero.y);
  *rc = box;
  return c.Complexity();
}

int GetClipRgn(HDC h, HRGN rgn) {
  auto dc = FindDC(h);
  if (!dc) return -1;
  // Without a region to copy into, Windows answers 0 for no clip region and -1 for one.
  if (!rgn) return dc->st.clip ? -1 : 0;
  auto r = FindRegion(rgn);
  if (!r) return -1;
  if (!dc->st.clip) return 0;
  r->rgn = *dc->st.clip;
  return 1;
}

BOOL PtVisible(HDC h, int x, int y) {
  auto dc = FindDC(h);
  if (!dc) return -1;
  POINT p = dc->ToSurface(x, y);
  return dc->Clip().Contains(p.x, p.y);
}

BOOL RectVisible(HDC h, const RECT* rc) {
  auto dc = FindDC(h);
  if (!dc || !rc) return FALSE;
  POINT a = dc->ToSurface(rc->left, rc->top), b = dc->ToSurface(rc->right, rc->bottom);
  return dc->Clip().Overlaps(
      RECT{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)});
}

}  // namespace win
