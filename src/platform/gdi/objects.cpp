#include "platform/gdi/internal/objects.h"

#include <cstring>

#include "platform/base/error.h"
#include "platform/base/internal/geometry.h"
#include "platform/gdi/internal/dc.h"

namespace win {
namespace gdi {

std::shared_ptr<Brush> FindBrush(HBRUSH h) {
  return HandleTable::Get().Find<Brush>(h, ObjectType::Brush);
}
std::shared_ptr<Pen> FindPen(HPEN h) { return HandleTable::Get().Find<Pen>(h, ObjectType::Pen); }
std::shared_ptr<Font> FindFont(HFONT h) {
  return HandleTable::Get().Find<Font>(h, ObjectType::Font);
}
std::shared_ptr<Palette> FindPalette(HPALETTE h) {
  return HandleTable::Get().Find<Palette>(h, ObjectType::Palette);
}

namespace {

template <class T>
std::shared_ptr<T> Make(ObjectType type) {
  auto obj = std::make_shared<T>();
  obj->type = type;
  return obj;
}

HGDIOBJ AddStock(std::shared_ptr<HandleObject> obj) {
  obj->stock = true;
  return HandleTable::Get().Add(std::move(obj));
}

std::shared_ptr<Font> StockFont(const char* face, LONG height, LONG weight) {
  auto f = Make<Font>(ObjectType::Font);
  f->log.lfHeight = height;
  f->log.lfWeight = weight;
  f->log.lfCharSet = GB2312_CHARSET;
  std::strncpy(f->log.lfFaceName, face, LF_FACESIZE - 1);
  return f;
}

struct Stock {
  std::array<HGDIOBJ, 20> objects{};
  std::shared_ptr<Bitmap> bitmap;
  Stock() {
    auto brush = [](UINT style, COLORREF c) {
      auto b = Make<Brush>(ObjectType::Brush);
      b->style = style;
      b->color = c;
      return AddStock(b);
    };
    auto pen = [](int style, COLORREF c) {
      auto p = Make<Pen>(ObjectType::Pen);
      p->style = style;
      p->color = c;
      return AddStock(p);
    };
    objects[WHITE_BRUSH] = brush(BS_SOLID, RGB(255, 255, 255));
    objects[LTGRAY_BRUSH] = brush(BS_SOLID, RGB(192, 192, 192));
    objects[GRAY_BRUSH] = brush(BS_SOLID, RGB(128, 128, 128));
    objects[DKGRAY_BRUSH] = brush(BS_SOLID, RGB(64, 64, 64));
    objects[BLACK_BRUSH] = brush(BS_SOLID, RGB(0, 0, 0));
    objects[NULL_BRUSH] = brush(BS_NULL, 0);
    objects[DC_BRUSH] = brush(BS_SOLID, RGB(255, 255, 255));
    objects[WHITE_PEN] = pen(PS_SOLID, RGB(255, 255, 255));
    objects[BLACK_PEN] = pen(PS_SOLID, 0);
    objects[NULL_PEN] = pen(PS_NULL, 0);
    objects[DC_PEN] = pen(PS_SOLID, 0);
    // The system font stands in for every stock font: SimSun at 12 pixels, as on a
    // Chinese Windows desktop.
    const char* song = "\xE5\xAE\x8B\xE4\xBD\x93";  // 宋体
    for (int i : {OEM_FIXED_FONT, ANSI_FIXED_FONT, ANSI_VAR_FONT, SYSTEM_FONT, DEVICE_DEFAULT_FONT,
                  SYSTEM_FIXED_FONT, DEFAULT_GUI_FONT})
      objects[i] = AddStock(StockFont(song, -12, FW_NORMAL));
    auto pal = Make<Palette>(ObjectType::Palette);
    pal->entries = DefaultPaletteEntries();
    objects[DEFAULT_PALETTE] = AddStock(pal);
    bitmap = NewBitmap(1, 1, 1);
    bitmap->stock = true;
    AddStock(bitmap);
  }
};

Stock& TheStock() {
  static Stock stock;
  return stock;
}

}  // namespace

std::shared_ptr<Bitmap> StockBitmap() { return TheStock().bitmap; }

std::vector<PALETTEENTRY> DefaultPaletteEntries() {
  // The 20 reserved colours of the Windows system palette.
  static const BYTE c[20][3] = {{0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0},
                                {0, 0, 128},     {128, 0, 128},   {0, 128, 128},   {192, 192, 192},
                                {192, 220, 192}, {166, 202, 240}, {255, 251, 240}, {160, 160, 164},
                                {128, 128, 128}, {255, 0, 0},     {0, 255, 0},     {255, 255, 0},
                                {0, 0, 255},     {255, 0, 255},   {0, 255, 255},   {255, 255, 255}};
  std::vector<PALETTEENTRY> e;
  for (auto& x : c) e.push_back(PALETTEENTRY{x[0], x[1], x[2], 0});
  return e;
}

}  // namespace gdi

using namespace gdi;

HGDIOBJ GetStockObject(int which) {
  if (which < 0 || which >= 20 || !TheStock().objects[which]) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return TheStock().objects[which];
}

BOOL DeleteObject(HGDIOBJ h) {
  auto obj = HandleTable::Get().Find(h);
  if (!obj) return FALSE;
  switch (obj->type) {
    case ObjectType::Brush:
    case ObjectType::Pen:
    case ObjectType::Font:
    case ObjectType::Region:
    case ObjectType::Palette:
    case ObjectType::Bitmap: break;
    default: SetLastError(ERROR_INVALID_HANDLE); return FALSE;
  }
  if (obj->stock) return TRUE;  // stock objects are never deleted
  // Windows refuses to delete a bitmap selected into a DC.
  if (obj->type == ObjectType::Bitmap && static_cast<Bitmap*>(obj.get())->selected_in) return FALSE;
  return HandleTable::Get().Remove(h) ? TRUE : FALSE;
}

DWORD GetObjectType(HGDIOBJ h) {
  auto obj = HandleTable::Get().Find(h);
  if (!obj) return 0;
  switch (obj->type) {
    case ObjectType::Pen: return static_cast<Pen*>(obj.get())->ext ? OBJ_EXTPEN : OBJ_PEN;
    case ObjectType::Brush: return OBJ_BRUSH;
    case ObjectType::DC: return OBJ_DC;
    case ObjectType::MemDC: return OBJ_MEMDC;
    case ObjectType::Palette: return OBJ_PAL;
    case ObjectType::Font: return OBJ_FONT;
    case ObjectType::Bitmap: return OBJ_BITMAP;
    case ObjectType::Region: return OBJ_REGION;
    default: SetLastError(ERROR_INVALID_HANDLE); return 0;
  }
}

int GetObject(HGDIOBJ h, int size, void* out) {
  auto obj = HandleTable::Get().Find(h);
  if (!obj) return 0;
  auto give = [&](const void* data, int n) {
    if (!out) return n;
    if (size < n) {
      SetLastError(ERROR_INSUFFICIENT_BUFFER);
      return 0;
    }
    std::memcpy(out, data, n);
    return n;
  };
  switch (obj->type) {
    case ObjectType::Bitmap: {
      auto* b = static_cast<Bitmap*>(obj.get());
      BITMAP bm;
      bm.bmWidth = b->width;
      bm.bmHeight = b->height;
      bm.bmBitsPixel = WORD(b->bpp);
      bm.bmPlanes = 1;
      // Device-dependent bitmaps report word-aligned rows; DIB sections their DWORD rows.
      bm.bmWidthBytes =
          b->dib ? b->stride : LONG(((std::int64_t(b->width) * b->bpp + 15) / 16) * 2);
      bm.bmBits = b->dib ? b->storage.data() : nullptr;
      if (b->dib && size >= int(sizeof(DIBSECTION)) && out) {
        DIBSECTION ds{};
        ds.dsBm = bm;
        ds.dsBmih.biWidth = b->width;
        ds.dsBmih.biHeight = b->top_down ? -b->height : b->height;
        ds.dsBmih.biBitCount = WORD(b->bpp);
        ds.dsBmih.biSizeImage = DWORD(b->stride) * b->height;
        ds.dsBmih.biClrUsed = b->Paletted() ? DWORD(b->colors.size()) : 0;
        return give(&ds, sizeof ds);
      }
      return give(&bm, sizeof bm);
    }
    case ObjectType::Brush: {
      auto* b = static_cast<Brush*>(obj.get());
      LOGBRUSH lb{b->style, b->color, std::uintptr_t(b->hatch)};
      return give(&lb, sizeof lb);
    }
    case ObjectType::Pen: {
      auto* p = static_cast<Pen*>(obj.get());
      LOGPEN lp{UINT(p->style), POINT{p->width, 0}, p->color};
      return give(&lp, sizeof lp);
    }
    case ObjectType::Font: return give(&static_cast<Font*>(obj.get())->log, sizeof(LOGFONTA));
    case ObjectType::Palette: {
      WORD n = WORD(static_cast<Palette*>(obj.get())->entries.size());
      return give(&n, sizeof n);
    }
    default: SetLastError(ERROR_INVALID_HANDLE); return 0;
  }
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* lb) {
  if (!lb) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto b = Make<Brush>(ObjectType::Brush);
  b->style = lb->lbStyle;
  b->color = lb->lbColor;
  switch (lb->lbStyle) {
    case BS_SOLID:
    case BS_NULL: break;
    case BS_HATCHED:
      if (lb->lbHatch > HS_DIAGCROSS) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
      }
      b->hatch = int(lb->lbHatch);
      break;
    case BS_PATTERN:
    case BS_PATTERN8X8: {
      auto src = FindBitmap(reinterpret_cast<HBITMAP>(lb->lbHatch));
      if (!src) return nullptr;
      // The brush keeps its own copy, so the bitmap may be deleted afterwards.
      auto tile = NewBitmap(src->width, src->height, src->bpp);
      if (!tile) return nullptr;
      tile->storage = src->storage;
      tile->top_down = src->top_down;
      tile->colors = src->colors;
      b->style = BS_PATTERN;
      b->pattern = tile;
      break;
    }
    default: SetLastError(ERROR_INVALID_PARAMETER); return nullptr;
  }
  return static_cast<HBRUSH>(HandleTable::Get().Add(b));
}

HBRUSH CreateSolidBrush(COLORREF color) {
  LOGBRUSH lb{BS_SOLID, color, 0};
  return CreateBrushIndirect(&lb);
}

HBRUSH CreateHatchBrush(int hatch, COLORREF color) {
  if (hatch < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  LOGBRUSH lb{BS_HATCHED, color, std::uintptr_t(hatch)};
  return CreateBrushIndirect(&lb);
}

HBRUSH CreatePatternBrush(HBITMAP bmp) {
  LOGBRUSH lb{BS_PATTERN, 0, reinterpret_cast<std::uintptr_t>(bmp)};
  return CreateBrushIndirect(&lb);
}

HPEN CreatePen(int style, int width, COLORREF color) {
  int kind = style & PS_STYLE_MASK;
  if (kind > PS_INSIDEFRAME) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  // Every null pen is the stock one, as on Windows.
  if (kind == PS_NULL) return static_cast<HPEN>(GetStockObject(NULL_PEN));
  auto p = Make<Pen>(ObjectType::Pen);
  p->style = style;
  p->width = width < 0 ? -width : width;
  // Styled cosmetic pens are one pixel wide; wider ones draw solid, as in Windows.
  if (p->width > 1 && kind >= PS_DASH && kind <= PS_DASHDOTDOT) p->style = PS_SOLID;
  p->color = color;
  return static_cast<HPEN>(HandleTable::Get().Add(p));
}

HPEN CreatePenIndirect(const LOGPEN* lp) {
  if (!lp) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return CreatePen(int(lp->lopnStyle), lp->lopnWidth.x, lp->lopnColor);
}

HPEN ExtCreatePen(DWORD style, DWORD width, const LOGBRUSH* lb, DWORD style_count,
                  const DWORD* style_data) {
  if (!lb || lb->lbStyle != BS_SOLID) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  int kind = int(style & PS_STYLE_MASK);
  if (kind > PS_ALTERNATE || kind == PS_USERSTYLE) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto p = Make<Pen>(ObjectType::Pen);
  p->style = int(style);
  p->width = int(width == 0 ? 1 : width);
  p->color = lb->lbColor;
  p->ext = true;
  return static_cast<HPEN>(HandleTable::Get().Add(p));
}

HFONT CreateFontIndirect(const LOGFONTA* lf) {
  if (!lf) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto f = Make<Font>(ObjectType::Font);
  f->log = *lf;
  f->log.lfFaceName[LF_FACESIZE - 1] = 0;
  return static_cast<HFONT>(HandleTable::Get().Add(f));
}

HFONT CreateFont(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                 DWORD underline, DWORD strike_out, DWORD charset, DWORD out_precision,
                 DWORD clip_precision, DWORD quality, DWORD pitch_and_family, const char* face) {
  LOGFONTA lf;
  lf.lfHeight = height;
  lf.lfWidth = width;
  lf.lfEscapement = escapement;
  lf.lfOrientation = orientation;
  lf.lfWeight = weight;
  lf.lfItalic = BYTE(italic);
  lf.lfUnderline = BYTE(underline);
  lf.lfStrikeOut = BYTE(strike_out);
  lf.lfCharSet = BYTE(charset);
  lf.lfOutPrecision = BYTE(out_precision);
  lf.lfClipPrecision = BYTE(clip_precision);
  lf.lfQuality = BYTE(quality);
  lf.lfPitchAndFamily = BYTE(pitch_and_family);
  if (face) std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
  return CreateFontIndirect(&lf);
}

}  // namespace win
