#include "platform/gdi/blit.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "platform/base/error.h"
#include "platform/base/geometry.h"

namespace win {
namespace gdi {

std::uint32_t Rop3(int index, std::uint32_t p, std::uint32_t s, std::uint32_t d) {
  switch (index & 0xFF) {
    case 0x00: return 0;
    case 0xFF: return 0xFFFFFFFFu;
    case 0xCC: return s;
    case 0xF0: return p;
    case 0xAA: return d;
    case 0x55: return ~d;
    case 0x33: return ~s;
    case 0x0F: return ~p;
    case 0xEE: return s | d;
    case 0x88: return s & d;
    case 0x66: return s ^ d;
    case 0x44: return s & ~d;
    case 0x11: return ~(s | d);
    case 0xC0: return p & s;
    case 0xBB: return ~s | d;
    case 0x5A: return p ^ d;
    case 0xFB: return p | ~s | d;
    case 0xB8: return ((p ^ d) & s) ^ p;  // PSDPxax: the classic transparent-brush op
    case 0xE2: return ((d ^ p) & s) ^ d;  // DSPDxax
  }
  // Any other code: the index is the truth table over (P, S, D), bit (P<<2 | S<<1 | D).
  std::uint32_t r = 0;
  for (int k = 0; k < 8; ++k) {
    if (!(index & (1 << k))) continue;
    r |= ((k & 4) ? p : ~p) & ((k & 2) ? s : ~s) & ((k & 1) ? d : ~d);
  }
  return r;
}

std::uint32_t Rop2(int code, std::uint32_t p, std::uint32_t d) {
  switch (code) {
    case R2_COPYPEN: return p;
    case R2_XORPEN: return p ^ d;
    case R2_NOP: return d;
    case R2_NOT: return ~d;
  }
  int table = (code - 1) & 15;  // truth table over (P, D), bit (P<<1 | D)
  std::uint32_t r = 0;
  for (int k = 0; k < 4; ++k) {
    if (!(table & (1 << k))) continue;
    r |= ((k & 2) ? p : ~p) & ((k & 1) ? d : ~d);
  }
  return r;
}

namespace {

bool RopUsesSource(int index) { return ((index >> 2) ^ index) & 0x33; }
bool RopUsesPattern(int index) { return ((index >> 4) ^ index) & 0x0F; }

// The standard 8x8 hatch patterns; a set bit is drawn in the brush colour.
constexpr BYTE kHatch[6][8] = {
    {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF},  // horizontal
    {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08},  // vertical
    {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01},  // forward diagonal
    {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80},  // backward diagonal
    {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0xFF},  // cross
    {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81},  // diagonal cross
};

}  // namespace

BrushSampler SampleBrush(const DC& dc, const std::shared_ptr<Brush>& brush) {
  BrushSampler s;
  if (!brush || !dc.surface || brush->style == BS_NULL) return s;
  const Bitmap& dst = *dc.surface;
  s.null = false;
  s.org_x = dc.st.brush_org.x + dc.origin.x;
  s.org_y = dc.st.brush_org.y + dc.origin.y;
  COLORREF color = brush->color;
  if (brush->stock && brush == FindBrush(static_cast<HBRUSH>(GetStockObject(DC_BRUSH))))
    color = dc.st.dc_brush_color;
  if (brush->style == BS_SOLID) {
    s.value = dst.FromColor(color);
    return s;
  }
  s.solid = false;
  if (brush->style == BS_HATCHED) {
    std::uint32_t fg = dst.FromColor(color), bg = dst.FromColor(dc.st.bk_color);
    const BYTE* rows = kHatch[std::clamp(brush->hatch, 0, 5)];
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) s.tile[y * 8 + x] = (rows[y] & (0x80 >> x)) ? fg : bg;
    return s;
  }
  // Pattern brushes: the top-left 8x8 of the bitmap, tiled. A monochrome pattern takes the
  // DC's text colour for 0 and background colour for 1.
  const Bitmap& pat = *brush->pattern;
  std::uint32_t fg = dst.FromColor(dc.st.text_color), bg = dst.FromColor(dc.st.bk_color);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      std::uint32_t raw = pat.Get(x % pat.width, y % pat.height);
      std::uint32_t v;
      if (pat.bpp == 1 && !pat.dib) v = raw ? bg : fg;
      else if (pat.bpp == dst.bpp && (!pat.Paletted() || pat.colors == dst.colors)) v = raw;
      else v = dst.FromColor(pat.ToColor(raw));
      s.tile[y * 8 + x] = v;
    }
  return s;
}

namespace {

// Converts raw source pixels to raw destination pixels with Windows' monochrome rules.
class Converter {
 public:
  Converter(const Bitmap& src, const DC* src_dc, const Bitmap& dst, const DC& dst_dc)
      : src_(src), dst_(dst) {
    if (src.bpp == dst.bpp && (!src.Paletted() || src.colors == dst.colors)) {
      identity_ = true;
    } else if (dst.bpp == 1 && src.bpp != 1) {
      // To monochrome: the source DC's background colour becomes 1, all else 0.
      to_mono_ = true;
      COLORREF bk = src_dc ? src_dc->st.bk_color : 0x00FFFFFF;
      bk_raw_ = src.FromColor(bk);
      bk_exact_ = src.ToColor(bk_raw_) == (bk & 0x00FFFFFF);
    } else if (src.Paletted()) {
      lut_.resize(std::size_t(1) << src.bpp);
      if (src.bpp == 1 && !src.dib) {
        // From a monochrome bitmap: 0 takes the text colour, 1 the background colour.
        lut_[0] = dst.FromColor(dst_dc.st.text_color);
        lut_[1] = dst.FromColor(dst_dc.st.bk_color);
      } else {
        for (std::size_t i = 0; i < lut_.size(); ++i) lut_[i] = dst.FromColor(src.ToColor(std::uint32_t(i)));
      }
    } else if (!dst.Paletted() && dst.bpp != 16 && src.bpp != 16) {
      identity_ = true;  // 24 and 32 bpp share the 0x00RRGGBB raw form
    }
  }
  bool identity() const { return identity_; }
  std::uint32_t operator()(std::uint32_t raw) {
    if (identity_) return raw;
    if (to_mono_) return bk_exact_ && raw == bk_raw_ ? 1 : 0;
    if (!lut_.empty()) return lut_[raw & (lut_.size() - 1)];
    auto it = cache_.find(raw);
    if (it != cache_.end()) return it->second;
    std::uint32_t v = dst_.FromColor(src_.ToColor(raw));
    if (cache_.size() < 65536) cache_.emplace(raw, v);
    return v;
  }

 private:
  const Bitmap& src_;
  const Bitmap& dst_;
  bool identity_ = false;
  bool to_mono_ = false;
  bool bk_exact_ = false;
  std::uint32_t bk_raw_ = 0;
  std::vector<std::uint32_t> lut_;
  std::unordered_map<std::uint32_t, std::uint32_t> cache_;
};

// One source coordinate per destination column (or row): the nearest-pixel mapping. Each
// destination pixel takes the source pixel under its centre, which keeps enlargements exact
// (every source pixel repeated the same number of times) and shrinks symmetric.
// `mirror` reverses the source.
std::vector<int> Map(int dst_len, int src_start, int src_len, bool mirror) {
  std::vector<int> m(dst_len);
  for (int i = 0; i < dst_len; ++i) {
    int j = int((std::int64_t(2 * i + 1) * src_len) / (2 * std::int64_t(dst_len)));
    m[i] = src_start + (mirror ? src_len - 1 - j : j);
  }
  return m;
}

struct Span {
  RECT rc;  // normalised
  bool mirrored;
};

Span Normalise(int x, int y, int w, int h) {
  Span s{{x, y, x + w, y + h}, false};
  if (w < 0) std::swap(s.rc.left, s.rc.right);
  if (h < 0) std::swap(s.rc.top, s.rc.bottom);
  return s;
}

}  // namespace

bool StretchBitmap(DC& dc, int x, int y, int w, int h, const std::shared_ptr<Bitmap>& src_bmp,
                   const DC* src_dc, int sx, int sy, int sw, int sh, DWORD rop) {
  if (!dc.surface) return false;
  const int index = int((rop >> 16) & 0xFF);
  const bool use_src = RopUsesSource(index);
  const bool use_pat = RopUsesPattern(index);
  if (w == 0 || h == 0) return true;
  if (use_src && (!src_bmp || sw == 0 || sh == 0)) { SetLastError(ERROR_INVALID_PARAMETER); return false; }
  Bitmap& dst = *dc.surface;

  POINT d0 = dc.ToSurface(x, y);
  RECT drc = Normalise(d0.x, d0.y, w, h).rc;
  Region clip = dc.Clip();
  clip.IntersectRect(drc);
  if (clip.Empty()) return true;

  BrushSampler pat;
  if (use_pat) pat = SampleBrush(dc, dc.st.brush);
  const std::uint32_t mask = dst.RawMask();
  const int dw = drc.right - drc.left, dh = drc.bottom - drc.top;

  if (!use_src) {
    for (const RECT& r : clip.Rects())
      for (int yy = r.top; yy < r.bottom; ++yy)
        for (int xx = r.left; xx < r.right; ++xx) {
          std::uint32_t p = pat.null ? 0 : pat.At(xx, yy);
          dst.Put(xx, yy, Rop3(index, p, 0, dst.Get(xx, yy)) & mask);
        }
    return true;
  }

  const Bitmap& src = *src_bmp;
  RECT srect = Normalise(sx, sy, sw, sh).rc;
  const int aw = srect.right - srect.left, ah = srect.bottom - srect.top;
  const bool mirror_x = (w < 0) != (sw < 0), mirror_y = (h < 0) != (sh < 0);
  std::vector<int> mx = Map(dw, srect.left, aw, mirror_x);
  std::vector<int> my = Map(dh, srect.top, ah, mirror_y);
  Converter conv(src, src_dc, dst, dc);
  const int mode = dc.st.stretch_mode;
  const bool shrinking = aw > dw || ah > dh;
  const bool combine = shrinking && (mode == BLACKONWHITE || mode == WHITEONBLACK);

  auto source_at = [&](int dx, int dy, std::uint32_t* out) -> bool {
    int i = dx - drc.left, j = dy - drc.top;
    int px = mx[i], py = my[j];
    if (px < 0 || py < 0 || px >= src.width || py >= src.height) return false;
    if (!combine) { *out = src.Get(px, py); return true; }
    // The source pixels this destination pixel stands for, ANDed (black on white wins) or
    // ORed (white on black wins).
    auto range = [](int k, int dlen, int slen, int start, bool mirror, int* a, int* b) {
      int lo = int(std::int64_t(k) * slen / dlen), hi = int(std::int64_t(k + 1) * slen / dlen);
      if (hi <= lo) hi = lo + 1;
      if (mirror) { int t = slen - hi; hi = slen - lo; lo = t; }
      *a = start + lo;
      *b = start + hi;
    };
    int x0, x1, y0, y1;
    range(i, dw, aw, srect.left, mirror_x, &x0, &x1);
    range(j, dh, ah, srect.top, mirror_y, &y0, &y1);
    x0 = std::max(x0, 0); y0 = std::max(y0, 0);
    x1 = std::min(x1, src.width); y1 = std::min(y1, src.height);
    if (x0 >= x1 || y0 >= y1) return false;
    std::uint32_t acc = mode == BLACKONWHITE ? src.RawMask() : 0;
    for (int yy = y0; yy < y1; ++yy)
      for (int xx = x0; xx < x1; ++xx) {
        std::uint32_t v = src.Get(xx, yy);
        acc = mode == BLACKONWHITE ? (acc & v) : (acc | v);
      }
    *out = acc;
    return true;
  };

  const bool plain_copy = index == 0xCC && conv.identity() && !combine;
  const bool unscaled = aw == dw && ah == dh && !mirror_x && !mirror_y;
  for (const RECT& r : clip.Rects()) {
    // Fast path: same-format, unscaled copies of whole rows.
    if (plain_copy && unscaled && dst.bpp >= 8 && src.bpp == dst.bpp) {
      int bytes = dst.bpp / 8;
      int sx0 = mx[r.left - drc.left], sy0 = my[r.top - drc.top];
      int left = r.left, right = r.right;
      if (sx0 < 0) { left -= sx0; sx0 = 0; }
      if (sx0 + (right - left) > src.width) right = left + (src.width - sx0);
      if (right <= left) continue;
      for (int yy = r.top; yy < r.bottom; ++yy) {
        int syy = sy0 + (yy - r.top);
        if (syy < 0 || syy >= src.height) continue;
        std::memmove(dst.Row(yy) + std::size_t(left) * bytes, src.Row(syy) + std::size_t(sx0) * bytes,
                     std::size_t(right - left) * bytes);
      }
      continue;
    }
    if (plain_copy && dst.bpp == 32 && src.bpp == 32) {
      for (int yy = r.top; yy < r.bottom; ++yy) {
        int syy = my[yy - drc.top];
        if (syy < 0 || syy >= src.height) continue;
        auto* out = reinterpret_cast<std::uint32_t*>(dst.Row(yy));
        auto* in = reinterpret_cast<const std::uint32_t*>(src.Row(syy));
        for (int xx = r.left; xx < r.right; ++xx) {
          int sxx = mx[xx - drc.left];
          if (sxx >= 0 && sxx < src.width) out[xx] = in[sxx];
        }
      }
      continue;
    }
    for (int yy = r.top; yy < r.bottom; ++yy)
      for (int xx = r.left; xx < r.right; ++xx) {
        std::uint32_t s;
        if (!source_at(xx, yy, &s)) continue;
        s = conv(s);
        std::uint32_t p = pat.null ? 0 : pat.At(xx, yy);
        dst.Put(xx, yy, Rop3(index, p, s, dst.Get(xx, yy)) & mask);
      }
  }
  return true;
}

}  // namespace gdi

using namespace gdi;

namespace {

// The source DC's bitmap and the source rectangle in surface coordinates.
bool SourceOf(HDC src, int sx, int sy, std::shared_ptr<DC>* dc, POINT* at) {
  *dc = FindDC(src);
  if (!*dc || !(*dc)->surface) return false;
  *at = (*dc)->ToSurface(sx, sy);
  return true;
}

}  // namespace

BOOL StretchBlt(HDC hdst, int x, int y, int w, int h, HDC hsrc, int sx, int sy, int sw, int sh,
                DWORD rop) {
  auto dst = FindDC(hdst);
  if (!dst) return FALSE;
  const int index = int((rop >> 16) & 0xFF);
  if (!RopUsesSource(index)) return StretchBitmap(*dst, x, y, w, h, nullptr, nullptr, 0, 0, 0, 0, rop);
  std::shared_ptr<DC> src;
  POINT at;
  if (!SourceOf(hsrc, sx, sy, &src, &at)) return FALSE;
  return StretchBitmap(*dst, x, y, w, h, src->surface, src.get(), at.x, at.y, sw, sh, rop);
}

BOOL BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, DWORD rop) {
  return StretchBlt(dst, x, y, w, h, src, sx, sy, w, h, rop);
}

BOOL PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop) {
  auto dc = FindDC(hdc);
  if (!dc) return FALSE;
  if (RopUsesSource(int((rop >> 16) & 0xFF))) { SetLastError(ERROR_INVALID_PARAMETER); return FALSE; }
  return StretchBitmap(*dc, x, y, w, h, nullptr, nullptr, 0, 0, 0, 0, rop);
}

BOOL MaskBlt(HDC hdst, int x, int y, int w, int h, HDC hsrc, int sx, int sy, HBITMAP hmask,
             int mx, int my, DWORD rop4) {
  if (!hmask) return BitBlt(hdst, x, y, w, h, hsrc, sx, sy, rop4 & 0x00FFFFFF);
  auto dst = FindDC(hdst);
  auto mask = FindBitmap(hmask);
  if (!dst || !mask || !dst->surface) return FALSE;
  if (mask->bpp != 1) { SetLastError(ERROR_INVALID_PARAMETER); return FALSE; }
  const int fore = int((rop4 >> 16) & 0xFF), back = int((rop4 >> 24) & 0xFF);
  std::shared_ptr<DC> src;
  POINT at{};
  const bool use_src = RopUsesSource(fore) || RopUsesSource(back);
  if (use_src && !SourceOf(hsrc, sx, sy, &src, &at)) return FALSE;
  if (w <= 0 || h <= 0) return TRUE;
  Bitmap& d = *dst->surface;
  POINT d0 = dst->ToSurface(x, y);
  Region clip = dst->Clip();
  clip.IntersectRect(RECT{d0.x, d0.y, d0.x + w, d0.y + h});
  BrushSampler pat = SampleBrush(*dst, dst->st.brush);
  std::optional<Converter> conv;
  if (use_src) conv.emplace(*src->surface, src.get(), d, *dst);
  for (const RECT& r : clip.Rects())
    for (int yy = r.top; yy < r.bottom; ++yy)
      for (int xx = r.left; xx < r.right; ++xx) {
        int i = xx - d0.x, j = yy - d0.y;
        int mxx = mx + i, myy = my + j;
        // Outside the mask counts as 0, i.e. the background operation.
        bool fg = mxx >= 0 && myy >= 0 && mxx < mask->width && myy < mask->height && mask->Get(mxx, myy);
        int op = fg ? fore : back;
        std::uint32_t s = 0;
        if (RopUsesSource(op)) {
          int sxx = at.x + i, syy = at.y + j;
          const Bitmap& sb = *src->surface;
          if (sxx < 0 || syy < 0 || sxx >= sb.width || syy >= sb.height) continue;
          s = (*conv)(sb.Get(sxx, syy));
        }
        std::uint32_t p = pat.null ? 0 : pat.At(xx, yy);
        d.Put(xx, yy, Rop3(op, p, s, d.Get(xx, yy)) & d.RawMask());
      }
  return TRUE;
}

BOOL TransparentBlt(HDC hdst, int x, int y, int w, int h, HDC hsrc, int sx, int sy, int sw, int sh,
                    UINT key) {
  auto dst = FindDC(hdst);
  if (!dst || !dst->surface) return FALSE;
  std::shared_ptr<DC> src;
  POINT at;
  if (!SourceOf(hsrc, sx, sy, &src, &at)) return FALSE;
  if (w < 0 || h < 0 || sw < 0 || sh < 0) { SetLastError(ERROR_INVALID_PARAMETER); return FALSE; }
  if (w == 0 || h == 0 || sw == 0 || sh == 0) return TRUE;
  Bitmap& d = *dst->surface;
  const Bitmap& s = *src->surface;
  POINT d0 = dst->ToSurface(x, y);
  Region clip = dst->Clip();
  clip.IntersectRect(RECT{d0.x, d0.y, d0.x + w, d0.y + h});
  std::vector<int> mxs = Map(w, at.x, sw, false), mys = Map(h, at.y, sh, false);
  // The key is compared in the source's own pixel format.
  const std::uint32_t key_raw = s.FromColor(key & 0x00FFFFFF);
  const bool key_exact = s.ToColor(key_raw) == (key & 0x00FFFFFF);
  Converter conv(s, src.get(), d, *dst);
  const bool fast = d.bpp == 32 && s.bpp == 32;
  for (const RECT& r : clip.Rects())
    for (int yy = r.top; yy < r.bottom; ++yy) {
      int syy = mys[yy - d0.y];
      if (syy < 0 || syy >= s.height) continue;
      if (fast) {
        auto* out = reinterpret_cast<std::uint32_t*>(d.Row(yy));
        auto* in = reinterpret_cast<const std::uint32_t*>(s.Row(syy));
        const std::uint32_t k = key_exact ? key_raw : 0xFFFFFFFFu;
        for (int xx = r.left; xx < r.right; ++xx) {
          int sxx = mxs[xx - d0.x];
          if (sxx < 0 || sxx >= s.width) continue;
          std::uint32_t v = in[sxx] & 0x00FFFFFF;
          if (v != k) out[xx] = v;
        }
        continue;
      }
      for (int xx = r.left; xx < r.right; ++xx) {
        int sxx = mxs[xx - d0.x];
        if (sxx < 0 || sxx >= s.width) continue;
        std::uint32_t v = s.Get(sxx, syy);
        if (key_exact && v == key_raw) continue;
        d.Put(xx, yy, conv(v));
      }
    }
  return TRUE;
}

}  // namespace win
