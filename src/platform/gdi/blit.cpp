#include "platform/gdi/blit.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "platform/base/error.h"
#include "platform/base/internal/geometry.h"
#include "platform/gdi/internal/dc.h"
#include "platform/gdi/internal/guard.h"

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

std::uint32_t SolidRaw(const DC& dc, COLORREF c) {
  const Bitmap& dst = *dc.surface;
  if (dst.bpp != 1 || dst.dib) return dst.FromColor(c);
  const COLORREF kBlack = 0, kWhite = 0x00FFFFFF;
  const COLORREF rgb = c & kWhite, fg = dc.st.text_color & kWhite, bg = dc.st.bk_color & kWhite;
  // 0 is black, 1 white on a monochrome bitmap.
  if (fg == kBlack || bg == kWhite) return rgb == kWhite || rgb == bg ? 1 : 0;
  return rgb == kBlack || rgb == bg ? 0 : 1;
}

BrushSampler SampleBrush(const DC& dc, const std::shared_ptr<Brush>& brush) {
  BrushSampler s;
  if (!brush || !dc.surface || brush->style == BS_NULL) return s;
  const Bitmap& dst = *dc.surface;
  s.null = false;
  s.org_x = DC::Saturate(std::int64_t(dc.st.brush_org.x) + dc.origin.x);
  s.org_y = DC::Saturate(std::int64_t(dc.st.brush_org.y) + dc.origin.y);
  COLORREF color = brush->color;
  if (brush->stock && brush == FindBrush(static_cast<HBRUSH>(GetStockObject(DC_BRUSH))))
    color = dc.st.dc_brush_color;
  if (brush->style == BS_SOLID) {
    s.value = SolidRaw(dc, color);
    return s;
  }
  s.solid = false;
  if (brush->style == BS_HATCHED) {
    std::uint32_t fg = dst.FromColor(color), bg = dst.FromColor(dc.st.bk_color);
    const BYTE* rows = kHatch[std::clamp(brush->hatch, 0, 5)];
    s.tw = s.th = 8;
    s.tile.resize(64);
    const bool gaps = dc.st.bk_mode == TRANSPARENT;
    if (gaps) s.ink.resize(64);
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) {
        bool on = rows[y] & (0x80 >> x);
        s.tile[y * 8 + x] = on ? fg : bg;
        if (gaps) s.ink[y * 8 + x] = on;
      }
    return s;
  }
  // Pattern brushes tile their whole bitmap. A monochrome pattern takes the DC's text colour
  // for 0 and background colour for 1.
  const Bitmap& pat = *brush->pattern;
  std::uint32_t fg = dst.FromColor(dc.st.text_color), bg = dst.FromColor(dc.st.bk_color);
  s.tw = pat.width;
  s.th = pat.height;
  s.tile.resize(std::size_t(s.tw) * s.th);
  for (int y = 0; y < s.th; ++y)
    for (int x = 0; x < s.tw; ++x) {
      std::uint32_t raw = pat.Get(x, y);
      std::uint32_t v;
      if (pat.bpp == 1 && !pat.dib)
        v = raw ? bg : fg;
      else if (pat.bpp == dst.bpp && (!pat.Paletted() || pat.colors == dst.colors))
        v = raw;
      else
        v = dst.FromColor(pat.ToColor(raw));
      s.tile[std::size_t(y) * s.tw + x] = v;
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
      // To monochrome: pixels of the source DC's background colour become 1, all else 0.
      to_mono_ = true;
      bk_raw_ = src.FromColor(src_dc ? src_dc->st.bk_color : 0x00FFFFFF);
    } else if (src.Paletted()) {
      lut_.resize(std::size_t(1) << src.bpp);
      if (src.bpp == 1 && !src.dib) {
        // From a monochrome bitmap: 0 takes the text colour, 1 the background colour.
        lut_[0] = dst.FromColor(dst_dc.st.text_color);
        lut_[1] = dst.FromColor(dst_dc.st.bk_color);
      } else {
        for (std::size_t i = 0; i < lut_.size(); ++i)
          lut_[i] = dst.FromColor(src.ToColor(std::uint32_t(i)));
      }
    } else if (!dst.Paletted() && dst.bpp != 16 && src.bpp != 16) {
      identity_ = true;  // 24 and 32 bpp share the 0x00RRGGBB raw form
    }
  }
  bool identity() const { return identity_; }
  std::uint32_t operator()(std::uint32_t raw) {
    if (identity_) return raw;
    if (to_mono_) return raw == bk_raw_ ? 1 : 0;
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
  std::uint32_t bk_raw_ = 0;
  std::vector<std::uint32_t> lut_;
  std::unordered_map<std::uint32_t, std::uint32_t> cache_;
};

using i64 = std::int64_t;

// One axis of a blit rectangle, [lo, hi). A negative extent at p covers [p + len + 1, p + 1),
// which is what makes the usual StretchBlt(x + w - 1, ..., -w, ...) mirror in place.
struct Axis {
  i64 lo, hi;
  bool negative;
  i64 len() const { return hi - lo; }
};
Axis MakeAxis(i64 pos, i64 len) {
  if (len >= 0) return {pos, pos + len, false};
  return {pos + len + 1, pos + 1, true};
}

RECT ClampRect(const Axis& x, const Axis& y) {
  return {DC::Saturate(x.lo), DC::Saturate(y.lo), DC::Saturate(x.hi), DC::Saturate(y.hi)};
}

// The destination side of a blit: its axes in surface coordinates and the pixels it may
// touch. Empty() when nothing is to be drawn.
struct Target {
  Axis ax, ay;
  Region clip;
  RECT box;
  Target(const DC& dc, int x, int y, int w, int h) {
    POINT d0 = dc.ToSurface(x, y);
    ax = MakeAxis(d0.x, w);
    ay = MakeAxis(d0.y, h);
    clip = dc.Clip();
    clip.IntersectRect(ClampRect(ax, ay));
    box = clip.Box();
  }
  bool Empty() const { return clip.Empty(); }
};

// For every destination column (or row) of [from, to): the source coordinate under the
// destination pixel's centre, or -1 outside the source bitmap. Taking the centre keeps
// enlargements exact (each source pixel repeated equally often) and shrinks symmetric.
std::vector<int> MapAxis(int from, int to, const Axis& d, const Axis& s, bool mirror,
                         int src_size) {
  std::vector<int> m(std::size_t(std::max(0, to - from)));
  const i64 dl = d.len(), sl = s.len();
  for (int k = from; k < to; ++k) {
    i64 i = k - d.lo;
    i64 j = ((2 * i + 1) * sl) / (2 * dl);
    i64 v = s.lo + (mirror ? sl - 1 - j : j);
    m[std::size_t(k - from)] = v >= 0 && v < src_size ? int(v) : -1;
  }
  return m;
}

// A copy of the part of `src` the maps read, when source and destination are one bitmap, so
// that overlapping copies read the pixels as they were before the copy began.
std::shared_ptr<Bitmap> DetachSource(const std::shared_ptr<Bitmap>& src, const Bitmap& dst,
                                     std::vector<int>& xs, std::vector<int>& ys) {
  if (src.get() != &dst) return src;
  auto bounds = [](const std::vector<int>& m, int* lo, int* hi) {
    *lo = INT32_MAX;
    *hi = -1;
    for (int v : m)
      if (v >= 0) {
        *lo = std::min(*lo, v);
        *hi = std::max(*hi, v);
      }
  };
  int x0, x1, y0, y1;
  bounds(xs, &x0, &x1);
  bounds(ys, &y0, &y1);
  if (x1 < 0 || y1 < 0) return src;
  auto copy = NewBitmap(x1 - x0 + 1, y1 - y0 + 1, src->bpp);
  if (!copy) return src;
  copy->colors = src->colors;
  copy->dib = src->dib;
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) copy->Put(x - x0, y - y0, src->Get(x, y));
  for (int& v : xs)
    if (v >= 0) v -= x0;
  for (int& v : ys)
    if (v >= 0) v -= y0;
  return copy;
}

}  // namespace

bool StretchBitmap(DC& dc, int x, int y, int w, int h, const std::shared_ptr<Bitmap>& src_bmp,
                   const DC* src_dc, int sx, int sy, int sw, int sh, DWORD rop) {
  if (!dc.surface) return false;
  const int index = int((rop >> 16) & 0xFF);
  const bool use_src = RopUsesSource(index);
  const bool use_pat = RopUsesPattern(index);
  if (w == 0 || h == 0) return true;
  if (use_src && (!src_bmp || sw == 0 || sh == 0)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  Bitmap& dst = *dc.surface;

  const Target t(dc, x, y, w, h);
  if (t.Empty()) return true;
  const Axis &ax = t.ax, &ay = t.ay;
  const Region& clip = t.clip;

  BrushSampler pat;
  if (use_pat) {
    pat = SampleBrush(dc, dc.st.brush);
    if (pat.null) return true;  // a null brush paints nothing
  }
  const std::uint32_t mask = dst.RawMask();

  if (!use_src) {
    for (const RECT& r : clip.Rects())
      for (int yy = r.top; yy < r.bottom; ++yy)
        for (int xx = r.left; xx < r.right; ++xx) {
          if (pat.Gap(xx, yy)) continue;
          std::uint32_t p = use_pat ? pat.At(xx, yy) : 0;
          dst.Put(xx, yy, Rop3(index, p, 0, dst.Get(xx, yy)) & mask);
        }
    return true;
  }

  const Axis bx = MakeAxis(sx, sw), by = MakeAxis(sy, sh);
  const bool mirror_x = ax.negative != bx.negative, mirror_y = ay.negative != by.negative;
  const RECT& box = t.box;
  std::vector<int> mx = MapAxis(box.left, box.right, ax, bx, mirror_x, src_bmp->width);
  std::vector<int> my = MapAxis(box.top, box.bottom, ay, by, mirror_y, src_bmp->height);
  const int mode = dc.st.stretch_mode;
  const bool combine = (bx.len() > ax.len() || by.len() > ay.len()) &&
                       (mode == BLACKONWHITE || mode == WHITEONBLACK);
  // Combining reads whole source ranges, so it keeps the original bitmap; a combining copy
  // onto itself is not something any caller does.
  std::shared_ptr<Bitmap> src_keep = combine ? src_bmp : DetachSource(src_bmp, dst, mx, my);
  const Bitmap& src = *src_keep;
  Converter conv(src, src_dc, dst, dc);

  // The source pixels one destination pixel stands for when shrinking, ANDed (black on white
  // wins) or ORed (white on black wins).
  auto combined = [&](int dx, int dy, std::uint32_t* out) -> bool {
    auto range = [](i64 k, const Axis& d, const Axis& s, bool mirror, int size, i64* a, i64* b) {
      i64 lo = k * s.len() / d.len(), hi = (k + 1) * s.len() / d.len();
      if (hi <= lo) hi = lo + 1;
      if (mirror) {
        i64 t = s.len() - hi;
        hi = s.len() - lo;
        lo = t;
      }
      *a = std::max<i64>(s.lo + lo, 0);
      *b = std::min<i64>(s.lo + hi, size);
    };
    i64 x0, x1, y0, y1;
    range(dx - ax.lo, ax, bx, mirror_x, src.width, &x0, &x1);
    range(dy - ay.lo, ay, by, mirror_y, src.height, &y0, &y1);
    if (x0 >= x1 || y0 >= y1) return false;
    std::uint32_t acc = mode == BLACKONWHITE ? src.RawMask() : 0;
    for (i64 yy = y0; yy < y1; ++yy)
      for (i64 xx = x0; xx < x1; ++xx) {
        std::uint32_t v = src.Get(int(xx), int(yy));
        acc = mode == BLACKONWHITE ? (acc & v) : (acc | v);
      }
    *out = acc;
    return true;
  };

  const bool plain_copy = index == 0xCC && conv.identity() && !combine;
  const bool unscaled = bx.len() == ax.len() && by.len() == ay.len() && !mirror_x && !mirror_y;
  for (const RECT& r : clip.Rects()) {
    if (plain_copy && unscaled && dst.bpp >= 8 && src.bpp == dst.bpp) {
      // Same format, no scaling: the valid source columns are one contiguous run.
      const int bytes = dst.bpp / 8;
      int xa = r.left, xb = r.right;
      while (xa < xb && mx[xa - box.left] < 0) ++xa;
      while (xb > xa && mx[xb - 1 - box.left] < 0) --xb;
      if (xa == xb) continue;
      const std::size_t off = std::size_t(xa) * bytes,
                        soff = std::size_t(mx[xa - box.left]) * bytes;
      const std::size_t n = std::size_t(xb - xa) * bytes;
      for (int yy = r.top; yy < r.bottom; ++yy) {
        int syy = my[yy - box.top];
        if (syy >= 0) std::memcpy(dst.Row(yy) + off, src.Row(syy) + soff, n);
      }
      continue;
    }
    if (plain_copy && dst.bpp == 32 && src.bpp == 32) {
      for (int yy = r.top; yy < r.bottom; ++yy) {
        int syy = my[yy - box.top];
        if (syy < 0) continue;
        auto* out = reinterpret_cast<std::uint32_t*>(dst.Row(yy));
        auto* in = reinterpret_cast<const std::uint32_t*>(src.Row(syy));
        const int* cols = mx.data() - box.left;
        for (int xx = r.left; xx < r.right; ++xx) {
          int sxx = cols[xx];
          if (sxx >= 0) out[xx] = in[sxx];
        }
      }
      continue;
    }
    for (int yy = r.top; yy < r.bottom; ++yy)
      for (int xx = r.left; xx < r.right; ++xx) {
        std::uint32_t s;
        if (combine) {
          if (!combined(xx, yy, &s)) continue;
        } else {
          int sxx = mx[xx - box.left], syy = my[yy - box.top];
          if (sxx < 0 || syy < 0) continue;
          s = src.Get(sxx, syy);
        }
        if (use_pat && pat.Gap(xx, yy)) continue;
        s = conv(s);
        std::uint32_t p = use_pat ? pat.At(xx, yy) : 0;
        dst.Put(xx, yy, Rop3(index, p, s, dst.Get(xx, yy)) & mask);
      }
  }
  return true;
}

}  // namespace gdi

using namespace gdi;

namespace {

// The source DC's bitmap and the source position in surface coordinates.
bool SourceOf(HDC src, int sx, int sy, std::shared_ptr<DC>* dc, POINT* at) {
  *dc = FindDC(src);
  if (!*dc || !(*dc)->surface) return false;
  *at = (*dc)->ToSurface(sx, sy);
  return true;
}

}  // namespace

BOOL StretchBlt(HDC hdst, int x, int y, int w, int h, HDC hsrc, int sx, int sy, int sw, int sh,
                DWORD rop) {
  return Guarded([&]() -> BOOL {
    auto dst = FindDC(hdst);
    if (!dst) return FALSE;
    const int index = int((rop >> 16) & 0xFF);
    if (!RopUsesSource(index))
      return StretchBitmap(*dst, x, y, w, h, nullptr, nullptr, 0, 0, 0, 0, rop);
    std::shared_ptr<DC> src;
    POINT at;
    if (!SourceOf(hsrc, sx, sy, &src, &at)) return FALSE;
    return StretchBitmap(*dst, x, y, w, h, src->surface, src.get(), at.x, at.y, sw, sh, rop);
  });
}

BOOL BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, DWORD rop) {
  return Guarded([&]() -> BOOL { return StretchBlt(dst, x, y, w, h, src, sx, sy, w, h, rop); });
}

BOOL PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop) {
  return Guarded([&]() -> BOOL {
    auto dc = FindDC(hdc);
    if (!dc) return FALSE;
    if (RopUsesSource(int((rop >> 16) & 0xFF))) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
    return StretchBitmap(*dc, x, y, w, h, nullptr, nullptr, 0, 0, 0, 0, rop);
  });
}

BOOL MaskBlt(HDC hdst, int x, int y, int w, int h, HDC hsrc, int sx, int sy, HBITMAP hmask, int mx,
             int my, DWORD rop4) {
  return Guarded([&]() -> BOOL {
    if (!hmask) return BitBlt(hdst, x, y, w, h, hsrc, sx, sy, rop4 & 0x00FFFFFF);
    auto dst = FindDC(hdst);
    auto mask = FindBitmap(hmask);
    if (!dst || !mask || !dst->surface) return FALSE;
    if (mask->bpp != 1) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
    const int fore = int((rop4 >> 16) & 0xFF), back = int((rop4 >> 24) & 0xFF);
    std::shared_ptr<DC> src;
    POINT at{};
    const bool use_src = RopUsesSource(fore) || RopUsesSource(back);
    if (use_src && !SourceOf(hsrc, sx, sy, &src, &at)) return FALSE;
    if (w <= 0 || h <= 0) return TRUE;
    Bitmap& d = *dst->surface;
    const Target t(*dst, x, y, w, h);
    if (t.Empty()) return TRUE;
    const Axis &ax = t.ax, &ay = t.ay;
    const Region& clip = t.clip;
    const RECT& box = t.box;
    BrushSampler pat = SampleBrush(*dst, dst->st.brush);
    std::shared_ptr<Bitmap> sbmp;
    std::vector<int> xs, ys;
    if (use_src) {
      xs = MapAxis(box.left, box.right, ax, MakeAxis(at.x, w), false, src->surface->width);
      ys = MapAxis(box.top, box.bottom, ay, MakeAxis(at.y, h), false, src->surface->height);
      sbmp = DetachSource(src->surface, d, xs, ys);
    }
    std::optional<Converter> conv;
    if (use_src) conv.emplace(*sbmp, src.get(), d, *dst);
    for (const RECT& r : clip.Rects())
      for (int yy = r.top; yy < r.bottom; ++yy)
        for (int xx = r.left; xx < r.right; ++xx) {
          // Outside the mask counts as 0, i.e. the background operation.
          i64 mxx = mx + (xx - ax.lo), myy = my + (yy - ay.lo);
          bool fg = mxx >= 0 && myy >= 0 && mxx < mask->width && myy < mask->height &&
                    mask->Get(int(mxx), int(myy));
          int op = fg ? fore : back;
          std::uint32_t s = 0;
          if (RopUsesSource(op)) {
            int sxx = xs[xx - box.left], syy = ys[yy - box.top];
            if (sxx < 0 || syy < 0) continue;
            s = (*conv)(sbmp->Get(sxx, syy));
          }
          std::uint32_t p = 0;
          if (RopUsesPattern(op)) {
            if (pat.null || pat.Gap(xx, yy)) continue;
            p = pat.At(xx, yy);
          }
          d.Put(xx, yy, Rop3(op, p, s, d.Get(xx, yy)) & d.RawMask());
        }
    return TRUE;
  });
}

BOOL TransparentBlt(HDC hdst, int x, int y, int w, int h, HDC hsrc, int sx, int sy, int sw, int sh,
                    UINT key) {
  return Guarded([&]() -> BOOL {
    auto dst = FindDC(hdst);
    if (!dst || !dst->surface) return FALSE;
    std::shared_ptr<DC> src;
    POINT at;
    if (!SourceOf(hsrc, sx, sy, &src, &at)) return FALSE;
    if (w < 0 || h < 0 || sw < 0 || sh < 0) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
    if (w == 0 || h == 0 || sw == 0 || sh == 0) return TRUE;
    Bitmap& d = *dst->surface;
    const Target t(*dst, x, y, w, h);
    if (t.Empty()) return TRUE;
    const Axis &ax = t.ax, &ay = t.ay;
    const Region& clip = t.clip;
    const RECT& box = t.box;
    std::vector<int> xs =
        MapAxis(box.left, box.right, ax, MakeAxis(at.x, sw), false, src->surface->width);
    std::vector<int> ys =
        MapAxis(box.top, box.bottom, ay, MakeAxis(at.y, sh), false, src->surface->height);
    std::shared_ptr<Bitmap> sbmp = DetachSource(src->surface, d, xs, ys);
    const Bitmap& s = *sbmp;
    // The key is compared in the source's own pixel format.
    const std::uint32_t key_raw = s.FromColor(key & 0x00FFFFFF);
    const bool key_exact = s.ToColor(key_raw) == (key & 0x00FFFFFF);
    Converter conv(s, src.get(), d, *dst);
    const bool fast = d.bpp == 32 && s.bpp == 32;
    for (const RECT& r : clip.Rects())
      for (int yy = r.top; yy < r.bottom; ++yy) {
        int syy = ys[yy - box.top];
        if (syy < 0) continue;
        const int* cols = xs.data() - box.left;
        if (fast) {
          auto* out = reinterpret_cast<std::uint32_t*>(d.Row(yy));
          auto* in = reinterpret_cast<const std::uint32_t*>(s.Row(syy));
          const std::uint32_t k = key_exact ? key_raw : 0xFFFFFFFFu;
          for (int xx = r.left; xx < r.right; ++xx) {
            int sxx = cols[xx];
            if (sxx < 0) continue;
            std::uint32_t v = in[sxx] & 0x00FFFFFF;
            if (v != k) out[xx] = v;
          }
          continue;
        }
        for (int xx = r.left; xx < r.right; ++xx) {
          int sxx = cols[xx];
          if (sxx < 0) continue;
          std::uint32_t v = s.Get(sxx, syy);
          if (key_exact && v == key_raw) continue;
          d.Put(xx, yy, conv(v));
        }
      }
    return TRUE;
  });
}

}  // namespace win
