// Icon objects, the system icons and DrawIconEx.
#include "platform/user/icon.h"

#include <memory>

#include "platform/base/error.h"
#include "platform/base/internal/geometry.h"
#include "platform/base/internal/handles.h"
#include "platform/gdi/blit.h"
#include "platform/gdi/internal/dc.h"
#include "platform/gdi/internal/draw.h"
#include "platform/gdi/internal/objects.h"
#include "platform/gdi/text.h"
#include "platform/user/metrics.h"

namespace win {
namespace user {
namespace {

struct IconObject : HandleObject {
  int width = 0, height = 0;
  // The icon's own copies, deleted by DestroyIcon (not by a destructor: the handle table may
  // be going away with the program).
  HBITMAP mask = nullptr, color = nullptr;
  POINT hotspot{};
  bool is_icon = true;
};

std::shared_ptr<IconObject> FindIcon(HICON h) {
  return HandleTable::Get().Find<IconObject>(h, ObjectType::Icon);
}

// A plain bitmap of the same size, depth and pixels, however the original is held.
HBITMAP CopyBitmap(HBITMAP src) {
  auto b = gdi::FindBitmap(src);
  if (!b) return nullptr;
  auto c = std::make_shared<gdi::Bitmap>(*b);
  c->handle = nullptr;
  c->selected_in = nullptr;
  c->dib = false;
  return gdi::AddBitmap(c);
}

HICON AddIcon(std::shared_ptr<IconObject> icon) {
  icon->type = ObjectType::Icon;
  return static_cast<HICON>(HandleTable::Get().Add(icon));
}

// ---- The system icons, drawn once at SM_CXICON: the colour image on black, the mask in
// black (opaque) on white. Shapes keep to even pixels, so that the small size loses nothing.

constexpr COLORREF kBlack = RGB(0, 0, 0), kWhite = RGB(255, 255, 255), kBlue = RGB(10, 36, 106),
                   kRed = RGB(204, 0, 0), kYellow = RGB(255, 204, 0), kGreen = RGB(0, 153, 0),
                   kSky = RGB(0, 102, 204);

// Shapes with both ends of their coordinates inside, outline and fill in one colour.
struct Painter {
  HDC dc;
  bool mask;
  template <class Draw>
  void With(COLORREF c, Draw draw) const {
    COLORREF ink = mask ? kBlack : c;
    HBRUSH b = CreateSolidBrush(ink);
    HPEN pen = CreatePen(PS_SOLID, 1, ink);
    HGDIOBJ ob = SelectObject(dc, b), op = SelectObject(dc, pen);
    draw();
    SelectObject(dc, op);
    SelectObject(dc, ob);
    DeleteObject(pen);
    DeleteObject(b);
  }
  void Box(int l, int t, int r, int b, COLORREF c) const {
    With(c, [&] { Rectangle(dc, l, t, r + 1, b + 1); });
  }
  void Disc(int l, int t, int r, int b, COLORREF c) const {
    With(c, [&] { Ellipse(dc, l, t, r + 1, b + 1); });
  }
  void Shape(std::initializer_list<POINT> pts, COLORREF c) const {
    With(c, [&] { Polygon(dc, pts.begin(), int(pts.size())); });
  }
  void Glyph(const char* text, COLORREF c) const {
    if (mask) return;  // always inside an opaque shape
    HFONT f = CreateFont(-22, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial");
    HGDIOBJ old = SelectObject(dc, f);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, c);
    RECT r{0, 2, 32, 32};
    DrawText(dc, text, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old);
    DeleteObject(f);
  }
};

void PaintSystemIcon(WORD id, const Painter& p) {
  switch (id) {
    case 32512:  // the application: a small window
      p.Box(2, 4, 29, 27, kBlack);
      p.Box(4, 6, 27, 9, kBlue);
      p.Box(4, 10, 27, 25, kWhite);
      break;
    case 32513:  // error
      p.Disc(2, 2, 29, 29, kRed);
      p.Shape({{9, 11}, {11, 9}, {23, 21}, {21, 23}}, kWhite);
      p.Shape({{21, 9}, {23, 11}, {11, 23}, {9, 21}}, kWhite);
      break;
    case 32514:  // question
      p.Disc(2, 2, 29, 29, kSky);
      p.Glyph("?", kWhite);
      break;
    case 32515:  // warning
      p.Shape({{16, 2}, {30, 28}, {2, 28}}, kYellow);
      p.Glyph("!", kBlack);
      break;
    case 32516:  // information
      p.Disc(2, 2, 29, 29, kSky);
      p.Glyph("i", kWhite);
      break;
    case 32517:  // the system's own
      p.Box(4, 4, 15, 15, kRed);
      p.Box(16, 4, 27, 15, kGreen);
      p.Box(4, 16, 15, 27, kSky);
      p.Box(16, 16, 27, 27, kYellow);
      break;
    case 32518:  // shield
      p.Shape({{4, 4}, {16, 4}, {16, 30}, {4, 18}}, kSky);
      p.Shape({{16, 4}, {28, 4}, {28, 18}, {16, 30}}, kYellow);
      break;
  }
}

constexpr WORD kFirstSystem = 32512, kLastSystem = 32518;

HICON MakeSystemIcon(WORD id) {
  const int s = GetSystemMetrics(SM_CXICON);
  auto icon = std::make_shared<IconObject>();
  icon->stock = true;
  icon->width = icon->height = s;
  icon->hotspot = {s / 2, s / 2};
  icon->color = CreateBitmap(s, s, 1, 32, nullptr);
  icon->mask = CreateBitmap(s, s, 1, 1, nullptr);
  // The icon's pictures live as long as it does: for the whole process.
  for (HBITMAP b : {icon->color, icon->mask})
    if (auto bmp = gdi::FindBitmap(b)) bmp->stock = true;
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, icon->mask);
  PatBlt(dc, 0, 0, s, s, WHITENESS);
  PaintSystemIcon(id, Painter{dc, true});
  SelectObject(dc, icon->color);
  PaintSystemIcon(id, Painter{dc, false});
  SelectObject(dc, old);
  DeleteDC(dc);
  return AddIcon(icon);
}

}  // namespace
}  // namespace user

using namespace user;

HICON LoadIcon(HINSTANCE instance, const char* name) {
  WORD id = IS_INTRESOURCE(name) ? WORD(reinterpret_cast<std::uintptr_t>(name)) : 0;
  if (instance || id < kFirstSystem || id > kLastSystem) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
  }
  static HICON system[kLastSystem - kFirstSystem + 1] = {};
  HICON& h = system[id - kFirstSystem];
  if (!FindIcon(h)) h = MakeSystemIcon(id);
  return h;
}

HICON CreateIconIndirect(const ICONINFO* info) {
  if (!info) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto mask = gdi::FindBitmap(info->hbmMask);
  if (!mask) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  std::shared_ptr<gdi::Bitmap> color;
  if (info->hbmColor && !(color = gdi::FindBitmap(info->hbmColor))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto icon = std::make_shared<IconObject>();
  icon->width = color ? color->width : mask->width;
  icon->height = color ? color->height : mask->height / 2;
  if (icon->width <= 0 || icon->height <= 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  icon->is_icon = info->fIcon != FALSE;
  icon->hotspot = icon->is_icon ? POINT{icon->width / 2, icon->height / 2}
                                : POINT{LONG(info->xHotspot), LONG(info->yHotspot)};
  icon->mask = CopyBitmap(info->hbmMask);
  if (color) icon->color = CopyBitmap(info->hbmColor);
  return AddIcon(icon);
}

BOOL DestroyIcon(HICON icon) {
  auto i = FindIcon(icon);
  if (!i) return FALSE;
  if (i->stock) return TRUE;
  DeleteObject(i->mask);
  if (i->color) DeleteObject(i->color);
  HandleTable::Get().Remove(icon);
  return TRUE;
}

BOOL GetIconInfo(HICON icon, ICONINFO* info) {
  if (!info) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  auto i = FindIcon(icon);
  if (!i) return FALSE;
  info->fIcon = i->is_icon;
  info->xHotspot = DWORD(i->hotspot.x);
  info->yHotspot = DWORD(i->hotspot.y);
  info->hbmMask = CopyBitmap(i->mask);
  info->hbmColor = i->color ? CopyBitmap(i->color) : nullptr;
  return TRUE;
}

BOOL DrawIconEx(HDC dc, int x, int y, HICON icon, int cx, int cy, UINT, HBRUSH brush, UINT flags) {
  auto i = FindIcon(icon);
  if (!i) return FALSE;
  const UINT what = flags & DI_NORMAL;
  if (!what) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const bool def = flags & DI_DEFAULTSIZE;
  const int w = cx ? cx : def ? GetSystemMetrics(SM_CXICON) : i->width;
  const int h = cy ? cy : def ? GetSystemMetrics(SM_CYICON) : i->height;
  HDC mem = CreateCompatibleDC(dc);
  if (!mem) return FALSE;
  if (brush) {
    RECT r{x, y, x + w, y + h};
    FillRect(dc, &r, brush);
  }
  // Monochrome sources turn 0 into the text colour and 1 into the background: black and white
  // make the mask a mask.
  COLORREF text = SetTextColor(dc, RGB(0, 0, 0)), back = SetBkColor(dc, RGB(255, 255, 255));
  int mode = SetStretchBltMode(dc, COLORONCOLOR);
  HGDIOBJ old = SelectObject(mem, i->mask);
  // The image: the colour bitmap, or the lower half of a monochrome mask.
  auto image = [&](DWORD rop) {
    if (i->color) {
      SelectObject(mem, i->color);
      StretchBlt(dc, x, y, w, h, mem, 0, 0, i->width, i->height, rop);
    } else {
      SelectObject(mem, i->mask);
      StretchBlt(dc, x, y, w, h, mem, 0, i->height, i->width, i->height, rop);
    }
  };
  BOOL ok = TRUE;
  if (what == DI_NORMAL) {
    ok = StretchBlt(dc, x, y, w, h, mem, 0, 0, i->width, i->height, SRCAND);
    image(SRCINVERT);
  } else if (what == DI_MASK) {
    ok = StretchBlt(dc, x, y, w, h, mem, 0, 0, i->width, i->height, SRCCOPY);
  } else {
    image(SRCCOPY);
  }
  SelectObject(mem, old);
  DeleteDC(mem);
  SetStretchBltMode(dc, mode);
  SetTextColor(dc, text);
  SetBkColor(dc, back);
  return ok;
}

BOOL DrawIcon(HDC dc, int x, int y, HICON icon) {
  return DrawIconEx(dc, x, y, icon, 0, 0, 0, nullptr, DI_NORMAL | DI_DEFAULTSIZE);
}

}  // namespace win
