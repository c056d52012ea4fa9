#include "platform/gdi/internal/bitmap.h"

#include <cstring>

#include "platform/base/error.h"
#include "platform/base/internal/geometry.h"
#include "platform/gdi/internal/dc.h"

namespace win {
namespace gdi {

int DibStride(int width, int bpp) { return int(((std::int64_t(width) * bpp + 31) / 32) * 4); }

std::vector<RGBQUAD> DefaultColorTable(int bpp) {
  std::vector<RGBQUAD> t;
  auto add = [&](BYTE r, BYTE g, BYTE b) { t.push_back(RGBQUAD{b, g, r, 0}); };
  if (bpp == 1) {
    add(0, 0, 0);
    add(255, 255, 255);
  } else if (bpp == 4 || bpp == 8) {
    // The 16 VGA colours in Windows' default order.
    static const BYTE vga[16][3] = {{0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                                    {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
                                    {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                                    {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
    for (auto& c : vga) add(c[0], c[1], c[2]);
    if (bpp == 8) {
      // Then a 6x6x6 colour cube and a grey ramp, which serves as a neutral default.
      for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
          for (int b = 0; b < 6; ++b) add(BYTE(r * 51), BYTE(g * 51), BYTE(b * 51));
      for (int i = 0; t.size() < 256; ++i)
        add(BYTE(8 + i * 10), BYTE(8 + i * 10), BYTE(8 + i * 10));
    }
  }
  return t;
}

std::shared_ptr<Bitmap> NewBitmap(int width, int height, int bpp, bool top_down) {
  if (width <= 0 || height <= 0 || width > kMaxBitmapSide || height > kMaxBitmapSide ||
      (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  std::int64_t stride = DibStride(width, bpp);
  if (stride * height > kMaxBitmapBytes) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  auto bmp = std::make_shared<Bitmap>();
  bmp->type = ObjectType::Bitmap;
  bmp->width = width;
  bmp->height = height;
  bmp->bpp = bpp;
  bmp->stride = int(stride);
  bmp->top_down = top_down;
  try {
    bmp->storage.assign(std::size_t(stride) * height, 0);
  } catch (const std::bad_alloc&) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  bmp->colors = DefaultColorTable(bpp);
  return bmp;
}

HBITMAP AddBitmap(std::shared_ptr<Bitmap> bmp) {
  if (!bmp) return nullptr;
  return static_cast<HBITMAP>(HandleTable::Get().Add(std::move(bmp)));
}

std::shared_ptr<Bitmap> FindBitmap(HBITMAP h) {
  return HandleTable::Get().Find<Bitmap>(h, ObjectType::Bitmap);
}

std::uint32_t Bitmap::Get(int x, int y) const {
  const BYTE* row = Row(y);
  switch (bpp) {
    case 32: {
      // All 32 bits: raster operations combine the top byte like the others, as on Windows.
      std::uint32_t v;
      std::memcpy(&v, row + x * 4, 4);
      return v;
    }
    case 24: {
      const BYTE* p = row + x * 3;
      return p[0] | (p[1] << 8) | (p[2] << 16);
    }
    case 16: {
      std::uint16_t v;
      std::memcpy(&v, row + x * 2, 2);
      return v;
    }
    case 8: return row[x];
    case 4: return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F;
    case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1;
  }
  return 0;
}

void Bitmap::Put(int x, int y, std::uint32_t v) {
  BYTE* row = Row(y);
  switch (bpp) {
    case 32: {
      std::memcpy(row + x * 4, &v, 4);
      break;
    }
    case 24: {
      BYTE* p = row + x * 3;
      p[0] = BYTE(v);
      p[1] = BYTE(v >> 8);
      p[2] = BYTE(v >> 16);
      break;
    }
    case 16: {
      auto s = std::uint16_t(v);
      std::memcpy(row + x * 2, &s, 2);
      break;
    }
    case 8: row[x] = BYTE(v); break;
    case 4: {
      BYTE& b = row[x >> 1];
      b = (x & 1) ? BYTE((b & 0xF0) | (v & 0x0F)) : BYTE((b & 0x0F) | ((v & 0x0F) << 4));
      break;
    }
    case 1: {
      BYTE& b = row[x >> 3];
      BYTE bit = BYTE(0x80 >> (x & 7));
      b = (v & 1) ? BYTE(b | bit) : BYTE(b & ~bit);
      break;
    }
  }
}

std::uint32_t Bitmap::FromColor(COLORREF c) const {
  if (!Paletted()) {
    std::uint32_t rgb = ColorToRgb(c & 0x00FFFFFF);
    if (bpp == 16) return ((rgb >> 9) & 0x7C00) | ((rgb >> 6) & 0x03E0) | ((rgb >> 3) & 0x001F);
    return rgb;
  }
  if (c & 0x01000000) return (c & 0xFFFF) & RawMask();  // PALETTEINDEX
  return NearestIndex(colors, c & 0x00FFFFFF);
}

COLORREF Bitmap::ToColor(std::uint32_t raw) const {
  if (!Paletted()) {
    if (bpp == 16) {
      std::uint32_t r = (raw >> 10) & 31, g = (raw >> 5) & 31, b = raw & 31;
      return RGB(BYTE((r << 3) | (r >> 2)), BYTE((g << 3) | (g >> 2)), BYTE((b << 3) | (b >> 2)));
    }
    return RgbToColor(raw & 0x00FFFFFF);
  }
  if (raw >= colors.size()) return 0;
  const RGBQUAD& q = colors[raw];
  return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
}

}  // namespace gdi

using gdi::Bitmap;
using gdi::kMaxBitmapSide;
using gdi::NewBitmap;

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bpp, const void* bits) {
  if (planes != 1) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto bmp = NewBitmap(width, height, int(bpp));
  if (!bmp) return nullptr;
  if (bits) {
    // Device-dependent bitmap bits are word-aligned rows, not DWORD-aligned.
    const int src_stride = int(((std::int64_t(width) * bpp + 15) / 16) * 2);
    const BYTE* src = static_cast<const BYTE*>(bits);
    for (int y = 0; y < height; ++y)
      std::memcpy(bmp->Row(y), src + std::size_t(y) * src_stride, src_stride);
  }
  return gdi::AddBitmap(bmp);
}

HBITMAP CreateBitmapIndirect(const BITMAP* bm) {
  if (!bm) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return CreateBitmap(bm->bmWidth, bm->bmHeight, bm->bmPlanes, bm->bmBitsPixel, bm->bmBits);
}

HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height) {
  int bpp = 32;
  if (hdc && !gdi::FindDC(hdc)) return nullptr;
  // Nothing to hold: Windows hands out the shared 1x1 monochrome bitmap every memory DC starts
  // with (deleting it does nothing).
  if (width == 0 || height == 0) return static_cast<HBITMAP>(gdi::StockBitmap()->handle);
  if (hdc) {
    auto dc = gdi::FindDC(hdc);
    if (auto surface = dc->surface) {
      // Compatible with what the DC holds: a DIB section makes a DIB section of its format
      // (so it selects whatever its depth), a device bitmap a device bitmap.
      auto bmp = NewBitmap(width, height, surface->bpp, surface->top_down);
      if (!bmp) return nullptr;
      if (surface->bpp <= 8) bmp->colors = surface->colors;
      bmp->dib = surface->dib;
      return gdi::AddBitmap(bmp);
    }
  }
  return gdi::AddBitmap(NewBitmap(width, height, bpp));
}

namespace {

int ColorCount(const BITMAPINFOHEADER& h) {
  if (h.biBitCount > 8) return 0;
  int max = 1 << h.biBitCount;
  if (h.biClrUsed == 0 || int(h.biClrUsed) > max) return max;
  return int(h.biClrUsed);
}

bool ValidInfo(const BITMAPINFO* info) {
  if (!info) return false;
  const auto& h = info->bmiHeader;
  if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biWidth <= 0 || h.biWidth > kMaxBitmapSide ||
      h.biHeight == 0 || h.biHeight < -kMaxBitmapSide || h.biHeight > kMaxBitmapSide ||
      h.biPlanes != 1)
    return false;
  switch (h.biBitCount) {
    case 1:
    case 4:
    case 8:
    case 24: return h.biCompression == BI_RGB;
    case 16:
    case 32: return h.biCompression == BI_RGB || h.biCompression == BI_BITFIELDS;
  }
  return false;
}

const RGBQUAD* InfoColors(const BITMAPINFO* info) {
  return reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const BYTE*>(info) +
                                          info->bmiHeader.biSize);
}

// Bit-field masks follow a 40-byte header; longer headers carry them inside, at the same place.
const DWORD* InfoMasks(const BITMAPINFO* info) {
  return reinterpret_cast<const DWORD*>(reinterpret_cast<const BYTE*>(info) +
                                        sizeof(BITMAPINFOHEADER));
}

// Reads one pixel of a DIB in memory as a colour.
struct DibReader {
  const BITMAPINFO* info;
  const BYTE* bits;
  int stride;
  bool top_down;
  int height;
  std::vector<RGBQUAD> colors;
  DWORD masks[3] = {0, 0, 0};
  int shift[3] = {0, 0, 0}, width_bits[3] = {0, 0, 0};

  DibReader(const BITMAPINFO* i, const void* b) : info(i), bits(static_cast<const BYTE*>(b)) {
    const auto& h = i->bmiHeader;
    stride = gdi::DibStride(h.biWidth, h.biBitCount);
    top_down = h.biHeight < 0;
    height = top_down ? -h.biHeight : h.biHeight;
    if (h.biBitCount <= 8) colors.assign(InfoColors(i), InfoColors(i) + ColorCount(h));
    if (h.biCompression == BI_BITFIELDS) {
      std::memcpy(masks, InfoMasks(i), sizeof masks);
    } else if (h.biBitCount == 16) {
      masks[0] = 0x7C00;
      masks[1] = 0x03E0;
      masks[2] = 0x001F;
    } else {
      masks[0] = 0xFF0000;
      masks[1] = 0xFF00;
      masks[2] = 0xFF;
    }
    for (int c = 0; c < 3; ++c) {
      DWORD m = masks[c];
      while (m && !(m & 1)) {
        m >>= 1;
        ++shift[c];
      }
      while (m & 1) {
        m >>= 1;
        ++width_bits[c];
      }
    }
  }
  const BYTE* RowPtr(int y) const {
    return bits + std::size_t(top_down ? y : height - 1 - y) * stride;
  }
  BYTE Channel(DWORD v, int c) const {
    if (!width_bits[c]) return 0;
    DWORD x = (v & masks[c]) >> shift[c];
    int w = width_bits[c];
    if (w >= 8) return BYTE(x >> (w - 8));
    return BYTE(x * 255 / ((1u << w) - 1));  // full scale maps to 255
  }
  COLORREF Color(int x, int y) const {
    const BYTE* row = RowPtr(y);
    switch (info->bmiHeader.biBitCount) {
      case 1:
      case 4:
      case 8: {
        int bpp = info->bmiHeader.biBitCount;
        int idx = bpp == 8   ? row[x]
                  : bpp == 4 ? (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 15
                             : (row[x >> 3] >> (7 - (x & 7))) & 1;
        if (idx >= int(colors.size())) return 0;
        return RGB(colors[idx].rgbRed, colors[idx].rgbGreen, colors[idx].rgbBlue);
      }
      case 16: {
        DWORD v = row[x * 2] | (row[x * 2 + 1] << 8);
        return RGB(Channel(v, 0), Channel(v, 1), Channel(v, 2));
      }
      case 24: return RGB(row[x * 3 + 2], row[x * 3 + 1], row[x * 3]);
      case 32: {
        DWORD v;
        std::memcpy(&v, row + x * 4, 4);
        return RGB(Channel(v, 0), Channel(v, 1), Channel(v, 2));
      }
    }
    return 0;
  }
};

}  // namespace

HBITMAP CreateDIBSection(HDC hdc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                         DWORD offset) {
  if (bits) *bits = nullptr;
  // Our surfaces store 0x00RRGGBB; bit fields are taken only when they describe exactly that.
  auto standard_masks = [&] {
    const DWORD* m = InfoMasks(info);
    return m[0] == 0x00FF0000 && m[1] == 0x0000FF00 && m[2] == 0x000000FF;
  };
  if (!ValidInfo(info) || section || usage != DIB_RGB_COLORS ||
      (info->bmiHeader.biCompression == BI_BITFIELDS &&
       (info->bmiHeader.biBitCount == 16 || !standard_masks()))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  const auto& h = info->bmiHeader;
  bool top_down = h.biHeight < 0;
  auto bmp = NewBitmap(h.biWidth, top_down ? -h.biHeight : h.biHeight, h.biBitCount, top_down);
  if (!bmp) return nullptr;
  bmp->dib = true;
  if (h.biBitCount <= 8) {
    const RGBQUAD* c = InfoColors(info);
    int n = ColorCount(h);
    // Only the given entries: padding would add black entries to nearest-colour matching.
    bmp->colors.assign(c, c + n);
  }
  if (bits) *bits = bmp->storage.data();
  return gdi::AddBitmap(bmp);
}

int SetDIBits(HDC hdc, HBITMAP hbmp, UINT start, UINT lines, const void* bits,
              const BITMAPINFO* info, UINT usage) {
  auto bmp = gdi::FindBitmap(hbmp);
  if (!bmp) return 0;
  if (!ValidInfo(info) || !bits || usage != DIB_RGB_COLORS) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  DibReader r(info, bits);
  int w = std::min<int>(info->bmiHeader.biWidth, bmp->width);
  int done = 0;
  // Scan line `start` counts from the bottom for bottom-up DIBs, as in Windows.
  for (UINT i = 0; i < lines; ++i) {
    std::int64_t dib_line = std::int64_t(start) + i;
    if (dib_line >= r.height) break;
    int y_dst = int(r.top_down ? dib_line : r.height - 1 - dib_line);
    if (y_dst < 0 || y_dst >= bmp->height) continue;
    // The buffer holds the band's scan lines in DIB order, starting with `start`.
    DibReader view = r;
    view.top_down = true;
    view.bits = static_cast<const BYTE*>(bits) + std::size_t(i) * r.stride;
    for (int x = 0; x < w; ++x) bmp->Put(x, y_dst, bmp->FromColor(view.Color(x, 0)));
    ++done;
  }
  return done;
}

int GetDIBits(HDC hdc, HBITMAP hbmp, UINT start, UINT lines, void* bits, BITMAPINFO* info,
              UINT usage) {
  // Windows needs the DC whose palette the colours go through; without one the call fails.
  if (!hdc) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (!gdi::FindDC(hdc)) return 0;
  auto bmp = gdi::FindBitmap(hbmp);
  if (!bmp) return 0;
  if (!info || info->bmiHeader.biSize < sizeof(BITMAPINFOHEADER) || usage != DIB_RGB_COLORS) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  auto& h = info->bmiHeader;
  if (!bits) {
    // Query mode: fill the header (and the colour table, if there is room) from the bitmap.
    if (h.biBitCount == 0) {
      h.biWidth = bmp->width;
      h.biHeight = bmp->top_down && bmp->dib ? -bmp->height : bmp->height;
      h.biPlanes = 1;
      h.biBitCount = WORD(bmp->bpp);
      h.biCompression = BI_RGB;
      h.biSizeImage = DWORD(bmp->stride) * bmp->height;
      h.biClrUsed = 0;
      return 1;
    }
    if (h.biBitCount <= 8) {
      auto table = bmp->Paletted() && bmp->bpp == h.biBitCount
                       ? bmp->colors
                       : gdi::DefaultColorTable(h.biBitCount);
      std::memcpy(reinterpret_cast<BYTE*>(info) + h.biSize, table.data(),
                  table.size() * sizeof(RGBQUAD));
    }
    h.biSizeImage = DWORD(gdi::DibStride(h.biWidth, h.biBitCount)) * DWORD(std::abs(h.biHeight));
    h.biClrUsed = 0;
    return 1;
  }
  if (!ValidInfo(info) || h.biCompression != BI_RGB) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  bool top_down = h.biHeight < 0;
  int height = top_down ? -h.biHeight : h.biHeight;
  auto out = NewBitmap(h.biWidth, 1, h.biBitCount);
  if (!out) return 0;
  if (h.biBitCount <= 8) {
    out->colors = bmp->Paletted() && bmp->bpp == h.biBitCount
                      ? bmp->colors
                      : gdi::DefaultColorTable(h.biBitCount);
    std::memcpy(reinterpret_cast<BYTE*>(info) + h.biSize, out->colors.data(),
                out->colors.size() * sizeof(RGBQUAD));
  }
  const bool same_palette = bmp->Paletted() && bmp->bpp == h.biBitCount;
  int done = 0;
  for (UINT i = 0; i < lines; ++i) {
    std::int64_t dib_line = std::int64_t(start) + i;
    if (dib_line >= height) break;
    int y = int(top_down ? dib_line : height - 1 - dib_line);
    std::memset(out->storage.data(), 0, out->storage.size());
    if (y >= 0 && y < bmp->height)
      for (int x = 0; x < std::min(h.biWidth, LONG(bmp->width)); ++x) {
        std::uint32_t raw = bmp->Get(x, y);
        out->Put(x, 0, same_palette ? raw : out->FromColor(bmp->ToColor(raw)));
      }
    std::memcpy(static_cast<BYTE*>(bits) + std::size_t(i) * out->stride, out->storage.data(),
                out->stride);
    ++done;
  }
  return done;
}

UINT GetDIBColorTable(HDC hdc, UINT start, UINT count, RGBQUAD* colors) {
  auto dc = gdi::FindDC(hdc);
  if (!dc || !dc->surface || !dc->surface->Paletted() || !colors) return 0;
  auto& t = dc->surface->colors;
  UINT n = 0;
  for (; n < count && start + n < t.size(); ++n) colors[n] = t[start + n];
  return n;
}

UINT SetDIBColorTable(HDC hdc, UINT start, UINT count, const RGBQUAD* colors) {
  auto dc = gdi::FindDC(hdc);
  if (!dc || !dc->surface || !dc->surface->Paletted() || !colors) return 0;
  auto& t = dc->surface->colors;
  UINT n = 0;
  for (; n < count && start + n < t.size(); ++n) t[start + n] = colors[n];
  return n;
}

namespace {

// A 32-bpp copy of DIB scan lines [first, first + count) of `bits`, which holds exactly those
// lines in DIB order; row 0 of the result is the topmost of them.
std::shared_ptr<Bitmap> DibBand(const BITMAPINFO* info, const void* bits, int first, int count) {
  DibReader r(info, bits);
  count = std::max(0, std::min(count, r.height - first));
  if (first < 0 || count == 0) return nullptr;
  int width = info->bmiHeader.biWidth;
  auto out = NewBitmap(width, count, 32);
  if (!out) return nullptr;
  DibReader view = r;
  view.top_down = true;
  for (int i = 0; i < count; ++i) {
    view.bits = static_cast<const BYTE*>(bits) + std::size_t(i) * r.stride;
    int row = r.top_down ? i : count - 1 - i;
    for (int x = 0; x < width; ++x) out->Put(x, row, gdi::ColorToRgb(view.Color(x, 0)));
  }
  return out;
}

}  // namespace

int SetDIBitsToDevice(HDC hdc, int x, int y, DWORD w, DWORD h, int sx, int sy, UINT start,
                      UINT lines, const void* bits, const BITMAPINFO* info, UINT usage) {
  if (!ValidInfo(info) || !bits || usage != DIB_RGB_COLORS || start > UINT(kMaxBitmapSide) ||
      w > DWORD(kMaxBitmapSide) || h > DWORD(kMaxBitmapSide)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  auto dc = gdi::FindDC(hdc);
  if (!dc) return 0;
  const bool top_down = info->bmiHeader.biHeight < 0;
  auto band = DibBand(info, bits, int(start), int(std::min<UINT>(lines, UINT(kMaxBitmapSide))));
  if (!band) return 0;
  // ySrc counts from the bottom of a bottom-up DIB; the band's row 0 is DIB line
  // start + band height - 1 there, and line `start` for a top-down DIB.
  int band_y = top_down ? sy - int(start) : int(start) + band->height - (sy + int(h));
  if (!gdi::StretchBitmap(*dc, x, y, int(w), int(h), band, nullptr, sx, band_y, int(w), int(h),
                          0x00CC0020))  // SRCCOPY
    return 0;
  return band->height;
}

int StretchDIBits(HDC hdc, int x, int y, int w, int h, int sx, int sy, int sw, int sh,
                  const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop) {
  if (!ValidInfo(info) || !bits || usage != DIB_RGB_COLORS) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  auto dc = gdi::FindDC(hdc);
  if (!dc) return 0;
  const int height = std::abs(info->bmiHeader.biHeight);
  auto whole = DibBand(info, bits, 0, height);
  if (!whole) return 0;
  // Source y counts from the bottom of a bottom-up DIB.
  const bool top_down = info->bmiHeader.biHeight < 0;
  int src_y = top_down ? sy : height - sy - sh;
  if (!gdi::StretchBitmap(*dc, x, y, w, h, whole, nullptr, sx, src_y, sw, sh, rop)) return 0;
  return height;
}

}  // namespace win
