#include "platform/gdi/internal/frame.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/base/error.h"
#include "platform/base/internal/geometry.h"
#include "platform/gdi/internal/draw.h"
#include "platform/gdi/internal/frame.h"
#include "platform/gdi/internal/guard.h"

namespace win {
namespace gdi {

namespace {

// The classic scheme as Windows XP ships it ("Windows Standard"); index 25 has no colour.
constexpr int kSysColors = 31;
constexpr COLORREF kNoColor = 0xFFFFFFFF;
constexpr COLORREF kClassic[kSysColors] = {
    RGB(212, 208, 200),                  // COLOR_SCROLLBAR
    RGB(58, 110, 165),                   // COLOR_BACKGROUND
    RGB(10, 36, 106),                    // COLOR_ACTIVECAPTION
    RGB(128, 128, 128),                  // COLOR_INACTIVECAPTION
    RGB(212, 208, 200),                  // COLOR_MENU
    RGB(255, 255, 255),                  // COLOR_WINDOW
    RGB(0, 0, 0),                        // COLOR_WINDOWFRAME
    RGB(0, 0, 0),                        // COLOR_MENUTEXT
    RGB(0, 0, 0),                        // COLOR_WINDOWTEXT
    RGB(255, 255, 255),                  // COLOR_CAPTIONTEXT
    RGB(212, 208, 200),                  // COLOR_ACTIVEBORDER
    RGB(212, 208, 200),                  // COLOR_INACTIVEBORDER
    RGB(128, 128, 128),                  // COLOR_APPWORKSPACE
    RGB(10, 36, 106),                    // COLOR_HIGHLIGHT
    RGB(255, 255, 255),                  // COLOR_HIGHLIGHTTEXT
    RGB(212, 208, 200),                  // COLOR_BTNFACE
    RGB(128, 128, 128),                  // COLOR_BTNSHADOW
    RGB(128, 128, 128),                  // COLOR_GRAYTEXT
    RGB(0, 0, 0),                        // COLOR_BTNTEXT
    RGB(212, 208, 200),                  // COLOR_INACTIVECAPTIONTEXT
    RGB(255, 255, 255),                  // COLOR_BTNHIGHLIGHT
    RGB(64, 64, 64),                     // COLOR_3DDKSHADOW
    RGB(212, 208, 200),                  // COLOR_3DLIGHT
    RGB(0, 0, 0),                        // COLOR_INFOTEXT
    RGB(255, 255, 225),                  // COLOR_INFOBK
    kNoColor,           RGB(0, 0, 128),  // COLOR_HOTLIGHT
    RGB(166, 202, 240),                  // COLOR_GRADIENTACTIVECAPTION
    RGB(192, 192, 192),                  // COLOR_GRADIENTINACTIVECAPTION
    RGB(10, 36, 106),                    // COLOR_MENUHILIGHT
    RGB(212, 208, 200),                  // COLOR_MENUBAR
};

bool Known(int index) { return index >= 0 && index < kSysColors && kClassic[index] != kNoColor; }

}  // namespace

COLORREF SysColor(int index) { return Known(index) ? kClassic[index] : 0; }

HBRUSH SysColorBrush(int index) {
  // Made once and marked stock: they belong to the system, DeleteObject leaves them.
  static const std::vector<HBRUSH> brushes = [] {
    std::vector<HBRUSH> v(kSysColors);
    for (int i = 0; i < kSysColors; ++i) {
      if (!Known(i)) continue;
      auto b = std::make_shared<Brush>();
      b->type = ObjectType::Brush;
      b->stock = true;
      b->style = BS_SOLID;
      b->color = kClassic[i];
      v[std::size_t(i)] = static_cast<HBRUSH>(HandleTable::Get().Add(b));
    }
    return v;
  }();
  return Known(index) ? brushes[std::size_t(index)] : nullptr;
}

}  // namespace gdi

using namespace gdi;

namespace {

constexpr int kNone = -1;

// The colours of the four edge lines of a DrawEdge border; kNone where nothing is drawn.
struct EdgeColors {
  int lt_out = kNone, rb_out = kNone, lt_in = kNone, rb_in = kNone;
  int lines = 0;  // how many pixels the border is deep
};

EdgeColors ColorsFor(UINT edge, UINT flags) {
  EdgeColors c;
  const UINT outer = edge & BDR_OUTER, inner = edge & BDR_INNER;
  const bool has_out = outer != 0, has_in = inner != 0;
  c.lines = (has_out ? 1 : 0) + (has_in ? 1 : 0);
  if (flags & (BF_MONO | BF_FLAT)) {
    const int line = (flags & BF_MONO) ? COLOR_WINDOWFRAME : COLOR_BTNSHADOW;
    const int fill = (flags & BF_MONO) ? COLOR_WINDOW : COLOR_BTNFACE;
    c.lt_out = c.rb_out = has_out ? line : has_in ? fill : kNone;
    c.lt_in = c.rb_in = has_out && has_in ? fill : kNone;
    return c;
  }
  const bool soft = flags & BF_SOFT;
  auto pick = [](UINT bits, UINT raised, UINT sunken, int a, int b) {
    return bits == raised ? a : bits == sunken ? b : kNone;
  };
  c.lt_out =
      pick(outer, BDR_RAISEDOUTER, BDR_SUNKENOUTER, soft ? COLOR_BTNHIGHLIGHT : COLOR_3DLIGHT,
           soft ? COLOR_3DDKSHADOW : COLOR_BTNSHADOW);
  c.rb_out = pick(outer, BDR_RAISEDOUTER, BDR_SUNKENOUTER, COLOR_3DDKSHADOW, COLOR_BTNHIGHLIGHT);
  c.lt_in = pick(inner, BDR_RAISEDINNER, BDR_SUNKENINNER, soft ? COLOR_3DLIGHT : COLOR_BTNHIGHLIGHT,
                 soft ? COLOR_BTNSHADOW : COLOR_3DDKSHADOW);
  c.rb_in = pick(inner, BDR_RAISEDINNER, BDR_SUNKENINNER, COLOR_BTNSHADOW, COLOR_3DLIGHT);
  // An inner edge alone takes the outer place.
  if (!has_out) {
    c.lt_out = c.lt_in;
    c.rb_out = c.rb_in;
    c.lt_in = c.rb_in = kNone;
  }
  return c;
}

using i64 = std::int64_t;

RECT Rect64(i64 l, i64 t, i64 r, i64 b) {
  return {DC::Saturate(l), DC::Saturate(t), DC::Saturate(r), DC::Saturate(b)};
}

void Line(DC& dc, i64 l, i64 t, i64 r, i64 b, int color) {
  if (color == kNone || l >= r || t >= b) return;
  FillRectColor(dc, Rect64(l, t, r, b), SysColor(color));
}

// The painters below work pixel by pixel; they visit only what the clip box shows, so a
// huge rectangle costs no more than the visible part of it.
RECT LogicalClipBox(const DC& dc) {
  const RECT box = dc.Clip().Box();
  const POINT zero = dc.ToSurface(0, 0);
  auto back = [](LONG v, LONG o) { return DC::Saturate(std::int64_t(v) - o); };
  return {back(box.left, zero.x), back(box.top, zero.y), back(box.right, zero.x),
          back(box.bottom, zero.y)};
}

RECT Visible(const DC& dc, const RECT& rc) {
  RECT box = LogicalClipBox(dc), out{};
  IntersectRect(&out, &box, &rc);
  return out;
}

// The pixels of rc with x + y even: the dither of checked buttons.
Region Dither(const DC& dc, const RECT& rc) {
  const RECT v = Visible(dc, rc);
  std::vector<RECT> px;
  for (int y = v.top; y < v.bottom; ++y)
    for (int x = v.left + ((v.left + y) & 1); x < v.right; x += 2)
      px.push_back({x, y, x + 1, y + 1});
  return Region::FromRects(px.data(), px.size());
}

// ceil(a * m / d) for d > 0, without overflow for coordinates and extents.
std::int64_t CeilDiv(__int128 a, __int128 m, __int128 d) {
  const __int128 p = a * m;
  return std::int64_t(p >= 0 ? (p + d - 1) / d : -((-p) / d));
}

void RectEdge(DC& dc, RECT* rc, UINT edge, UINT flags) {
  EdgeColors c = ColorsFor(edge, flags);
  RECT in = *rc;
  const i64 l = in.left, t = in.top, r = in.right, b = in.bottom;
  const int lt = (flags & BF_TOPLEFT) == BF_TOPLEFT, rt = (flags & BF_TOPRIGHT) == BF_TOPRIGHT;
  const int lb = (flags & BF_BOTTOMLEFT) == BF_BOTTOMLEFT,
            rb = (flags & BF_BOTTOMRIGHT) == BF_BOTTOMRIGHT;
  // Top and left first: the bottom and right lines own the shared corners.
  if (flags & BF_TOP) Line(dc, l, t, r, t + 1, c.lt_out);
  if (flags & BF_LEFT) Line(dc, l, t, l + 1, b, c.lt_out);
  if (flags & BF_BOTTOM) Line(dc, l, b - 1, r, b, c.rb_out);
  if (flags & BF_RIGHT) Line(dc, r - 1, t, r, b, c.rb_out);
  if (flags & BF_TOP) Line(dc, l + lt, t + 1, r - rt, t + 2, c.lt_in);
  if (flags & BF_LEFT) Line(dc, l + 1, t + lt, l + 2, b - lb, c.lt_in);
  if (flags & BF_BOTTOM) Line(dc, l + lb, b - 2, r - rb, b - 1, c.rb_in);
  if (flags & BF_RIGHT) Line(dc, r - 2, t + rt, r - 1, b - rb, c.rb_in);
  if (flags & (BF_MIDDLE | BF_ADJUST)) {
    if (flags & BF_LEFT) in.left += c.lines;
    if (flags & BF_RIGHT) in.right -= c.lines;
    if (flags & BF_TOP) in.top += c.lines;
    if (flags & BF_BOTTOM) in.bottom -= c.lines;
    if (flags & BF_MIDDLE)
      FillRectColor(dc, in, SysColor(flags & BF_MONO ? COLOR_WINDOW : COLOR_BTNFACE));
    if (flags & BF_ADJUST) *rc = in;
  }
}

// Diagonal edges: a line from corner to corner, with the inner line beside it; the flags
// name the end the line runs to.
void DiagEdge(DC& dc, RECT* rc, UINT edge, UINT flags) {
  EdgeColors c = ColorsFor(edge, flags);
  const i64 w = i64(rc->right) - rc->left, h = i64(rc->bottom) - rc->top, n = std::max(w, h);
  const bool up = (flags & BF_DIAGONAL_ENDTOPRIGHT) == BF_DIAGONAL_ENDTOPRIGHT ||
                  (flags & BF_DIAGONAL_ENDBOTTOMLEFT) == BF_DIAGONAL_ENDBOTTOMLEFT;
  // A "/" line faces the light from the top left with its dark side; "\" the other way.
  const int out = up ? c.rb_out : c.lt_out, inner = up ? c.rb_in : c.lt_in;
  // Step i of the line is pixel (left + i*w/n, its row); one axis advances every step, so
  // the steps within the clip box (a row of slack for the inner line) are few.
  const RECT v = Visible(dc, *rc);
  if (v.left >= v.right || v.top >= v.bottom) return;
  using i128 = __int128;
  auto row = [&](i64 i) {
    const i64 d = i64(i128(i) * h / n);
    return int(up ? rc->bottom - 1 - d : rc->top + d);
  };
  const i64 i0 = std::max<i64>(0, CeilDiv(i128(v.left) - rc->left, n, w));
  const i64 i1 = std::min<i64>(n, CeilDiv(i128(v.right) - rc->left, n, w));
  const i64 y_lo = up ? CeilDiv(i128(rc->bottom) - 1 - v.bottom, n, h)
                      : CeilDiv(i128(v.top) - 1 - rc->top, n, h);
  const i64 y_hi = up ? CeilDiv(i128(rc->bottom) + 1 - v.top, n, h)
                      : CeilDiv(i128(v.bottom) + 1 - rc->top, n, h);
  std::vector<RECT> px, px2, mid;
  for (i64 i = std::max(i0, y_lo), end = std::min(i1, y_hi); i < end; ++i) {
    const int x = int(rc->left + i64(i128(i) * w / n)), y = row(i);
    px.push_back({x, y, x + 1, y + 1});
    const int y2 = up ? y - 1 : y + 1;
    if (y2 >= rc->top && y2 < rc->bottom) px2.push_back({x, y2, x + 1, y2 + 1});
  }
  // The middle lies above the line: in each visible column, down to the line's lowest step
  // there (the first step of the column for "/", the last for "\").
  for (int x = v.left; x < v.right; ++x) {
    const i64 first = CeilDiv(i128(x) - rc->left, n, w),
              last = CeilDiv(i128(x) + 1 - rc->left, n, w) - 1;
    if (first > last) continue;
    const int bottom = up ? row(first) - 1 : row(last);
    if (bottom > v.top) mid.push_back({x, v.top, x + 1, bottom});
  }
  if ((flags & BF_MIDDLE) && !mid.empty())
    FillRegionColor(dc, Region::FromRects(mid.data(), mid.size()),
                    SysColor(flags & BF_MONO ? COLOR_WINDOW : COLOR_BTNFACE));
  if (inner != kNone)
    FillRegionColor(dc, Region::FromRects(px2.data(), px2.size()), SysColor(inner));
  if (out != kNone) FillRegionColor(dc, Region::FromRects(px.data(), px.size()), SysColor(out));
}

// Pixels given as strings, '#' set, placed with their top-left at (x, y) and scaled.
Region Pattern(const std::vector<const char*>& rows, i64 x, i64 y, i64 scale = 1) {
  std::vector<RECT> px;
  for (int j = 0; j < int(rows.size()); ++j)
    for (int i = 0; rows[j][i]; ++i)
      if (rows[j][i] == '#')
        px.push_back(
            Rect64(x + i * scale, y + j * scale, x + (i + 1) * scale, y + (j + 1) * scale));
  return Region::FromRects(px.data(), px.size());
}

int Width(const std::vector<const char*>& rows) {
  return rows.empty() ? 0 : int(std::char_traits<char>::length(rows[0]));
}

// A glyph centred in rc; grey with a white shadow when inactive.
void Glyph(DC& dc, const RECT& rc, const std::vector<const char*>& rows, UINT state, COLORREF color,
           int shift = 0) {
  const i64 w = i64(rc.right) - rc.left, h = i64(rc.bottom) - rc.top;
  const i64 gw = Width(rows), gh = i64(rows.size());
  i64 scale = std::max<i64>(1, std::min(w / (gw + 6), h / (gh + 6)));
  if (scale > 1 && (gw * scale > w || gh * scale > h)) scale = 1;
  const i64 x = rc.left + (w - gw * scale) / 2 + shift, y = rc.top + (h - gh * scale) / 2 + shift;
  if (state & DFCS_INACTIVE) {
    FillRegionColor(dc, Pattern(rows, x + 1, y + 1, scale), SysColor(COLOR_BTNHIGHLIGHT));
    color = SysColor(COLOR_BTNSHADOW);
  }
  FillRegionColor(dc, Pattern(rows, x, y, scale), color);
}

RECT Square(const RECT& rc) {
  const i64 w = i64(rc.right) - rc.left, h = i64(rc.bottom) - rc.top, s = std::min(w, h);
  const i64 x = rc.left + (w - s) / 2, y = rc.top + (h - s) / 2;
  return Rect64(x, y, x + s, y + s);
}

const std::vector<const char*> kCheck = {"      #", "     ##", "#   ###", "## ### ",
                                         "#####  ", " ###   ", "  #    "};
const std::vector<const char*> kBullet = {" ## ", "####", "####", " ## "};
const std::vector<const char*> kMenuArrow = {"#   ", "##  ", "### ", "####",
                                             "### ", "##  ", "#   "};
const std::vector<const char*> kMenuArrowLeft = {"   #", "  ##", " ###", "####",
                                                 " ###", "  ##", "   #"};
const std::vector<const char*> kClose = {"##    ##", " ##  ## ", "  ####  ", "   ##   ",
                                         "  ####  ", " ##  ## ", "##    ##"};
const std::vector<const char*> kMin = {"      ", "      ", "      ", "      ",
                                       "      ", "######", "######"};
const std::vector<const char*> kMax = {"#########", "#########", "#       #", "#       #",
                                       "#       #", "#       #", "#       #", "#########"};
const std::vector<const char*> kRestore = {"  ######",  "  ######",  "  #    #",
                                           "######  #", "######  #", "#    ####",
                                           "#    #  ",  "#    #  ",  "######  "};
const std::vector<const char*> kHelp = {" #### ", "##  ##", "    ##", "   ## ", "  ##  ",
                                        "  ##  ", "      ", "  ##  ", "  ##  "};

void PushFace(DC& dc, RECT* rc, UINT state) {
  const bool down = state & (DFCS_PUSHED | DFCS_CHECKED);
  if (state & DFCS_MONO) {
    RectEdge(dc, rc, down ? EDGE_SUNKEN : EDGE_RAISED, BF_MONO | BF_RECT | BF_ADJUST);
    FillRectColor(dc, *rc, SysColor(COLOR_BTNFACE));
    return;
  }
  UINT flags = BF_RECT | BF_SOFT | BF_ADJUST | (state & DFCS_FLAT ? BF_FLAT : 0);
  RectEdge(dc, rc, down || (state & DFCS_FLAT) ? EDGE_SUNKEN : EDGE_RAISED, flags);
  if (state & DFCS_CHECKED) {
    // Checked buttons show a dither of the highlight and face colours.
    FillRectColor(dc, *rc, SysColor(COLOR_BTNFACE));
    FillRegionColor(dc, Dither(dc, *rc), SysColor(COLOR_BTNHIGHLIGHT));
  } else {
    FillRectColor(dc, *rc, SysColor(COLOR_BTNFACE));
  }
}

BOOL ButtonControl(DC& dc, RECT* rc, UINT state) {
  if (state & DFCS_BUTTONPUSH) {
    RECT r = *rc;
    PushFace(dc, &r, state);
    if (state & DFCS_ADJUSTRECT) *rc = r;
    return TRUE;
  }
  RECT box = Square(*rc);
  const bool face_fill = state & (DFCS_PUSHED | DFCS_INACTIVE);
  const COLORREF mark = SysColor(state & DFCS_INACTIVE ? COLOR_BTNSHADOW : COLOR_WINDOWTEXT);
  if (state & (DFCS_BUTTONRADIO | DFCS_BUTTONRADIOMASK | DFCS_BUTTONRADIOIMAGE)) {
    const i64 s = i64(box.right) - box.left;
    const int diameter = int(std::min<i64>(s, INT32_MAX));
    // Built within the clip box and a margin that keeps the rings of the cut off the view.
    const RECT clip = LogicalClipBox(dc);
    const RECT win{
        DC::Saturate(std::int64_t(clip.left) - 3), DC::Saturate(std::int64_t(clip.top) - 3),
        DC::Saturate(std::int64_t(clip.right) + 3), DC::Saturate(std::int64_t(clip.bottom) + 3)};
    Region outer = RoundShape(box, diameter, diameter, &win);
    if (state & DFCS_BUTTONRADIOMASK) {
      FillRegionColor(dc, outer, 0);
      return TRUE;
    }
    // Two one-pixel rings peeled off the disc.
    Region ring1 = RegionFrame(outer, 1, 1), mid = outer;
    mid.Subtract(ring1);
    Region ring2 = RegionFrame(mid, 1, 1), core = mid;
    core.Subtract(ring2);
    // Top-left halves of the rings take the shadow colours, bottom-right the light ones.
    auto half = [&](Region r, bool top_left) {
      r.IntersectRect(clip);
      std::vector<RECT> px;
      for (const RECT& q : r.Rects())
        for (int y = q.top; y < q.bottom; ++y)
          for (int x = q.left; x < q.right; ++x)
            if ((i64(x) - box.left + (i64(y) - box.top) < s - 1) == top_left)
              px.push_back({x, y, x + 1, y + 1});
      return Region::FromRects(px.data(), px.size());
    };
    FillRegionColor(dc, core, SysColor(face_fill ? COLOR_BTNFACE : COLOR_WINDOW));
    FillRegionColor(dc, half(ring1, true), SysColor(COLOR_BTNSHADOW));
    FillRegionColor(dc, half(ring1, false), SysColor(COLOR_BTNHIGHLIGHT));
    FillRegionColor(dc, half(ring2, true), SysColor(COLOR_3DDKSHADOW));
    FillRegionColor(dc, half(ring2, false), SysColor(COLOR_3DLIGHT));
    if (state & DFCS_CHECKED) {
      const i64 d = std::max<i64>(2, s / 3), x = box.left + (s - d) / 2, y = box.top + (s - d) / 2;
      FillRegionColor(dc, RoundShape(Rect64(x, y, x + d, y + d), int(d), int(d), &win), mark);
    }
    return TRUE;
  }
  // Check boxes.
  RECT in = box;
  if (state & (DFCS_MONO | DFCS_FLAT))
    RectEdge(dc, &in, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST | BF_MONO);
  else
    RectEdge(dc, &in, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  if ((state & DFCS_BUTTON3STATE) && (state & DFCS_CHECKED)) {
    // The indeterminate state: a grey mark on a dither of the highlight and face colours.
    FillRectColor(dc, in, SysColor(COLOR_BTNFACE));
    FillRegionColor(dc, Dither(dc, in), SysColor(COLOR_BTNHIGHLIGHT));
    Glyph(dc, in, kCheck, 0, SysColor(COLOR_BTNSHADOW));
    return TRUE;
  }
  FillRectColor(dc, in, SysColor(face_fill ? COLOR_BTNFACE : COLOR_WINDOW));
  if (state & DFCS_CHECKED) Glyph(dc, in, kCheck, state & ~DFCS_INACTIVE, mark);
  return TRUE;
}

BOOL CaptionControl(DC& dc, RECT* rc, UINT state) {
  RECT r = *rc;
  PushFace(dc, &r, state & ~DFCS_CHECKED);
  const int shift = (state & DFCS_PUSHED) ? 1 : 0;
  const std::vector<const char*>* g = nullptr;
  switch (state & 0xFF) {
    case DFCS_CAPTIONCLOSE: g = &kClose; break;
    case DFCS_CAPTIONMIN: g = &kMin; break;
    case DFCS_CAPTIONMAX: g = &kMax; break;
    case DFCS_CAPTIONRESTORE: g = &kRestore; break;
    case DFCS_CAPTIONHELP: g = &kHelp; break;
    default: SetLastError(ERROR_INVALID_PARAMETER); return FALSE;
  }
  Glyph(dc, *rc, *g, state, SysColor(COLOR_BTNTEXT), shift);
  return TRUE;
}

// A filled triangle pointing `dir` (0 up, 1 down, 2 left, 3 right), centred in rc; only its
// rows (columns) within `clip` are built.
Region Arrow(const RECT& rc, int dir, int shift, const RECT& clip) {
  const i64 w = i64(rc.right) - rc.left, h = i64(rc.bottom) - rc.top, s = std::min(w, h);
  const i64 depth = std::max<i64>(1, (s + 2) / 4), base = 2 * depth - 1;
  const bool vertical = dir < 2, forward = dir == 0 || dir == 2;
  const i64 cx = rc.left + (w - (vertical ? base : depth)) / 2 + shift;
  const i64 cy = rc.top + (h - (vertical ? depth : base)) / 2 + shift;
  // Step i from the tip lies at depth offset i (up, left) or depth - 1 - i (down, right).
  const i64 a = (vertical ? i64(clip.top) - cy : i64(clip.left) - cx);
  const i64 b = (vertical ? i64(clip.bottom) - cy : i64(clip.right) - cx);
  const i64 i0 = std::max<i64>(0, forward ? a : depth - b),
            i1 = std::min(depth, forward ? b : depth - a);
  std::vector<RECT> px;
  for (i64 i = i0; i < i1; ++i) {
    const i64 at = forward ? i : depth - 1 - i;  // the row (column) offset of the step
    if (vertical)
      px.push_back(Rect64(cx + depth - 1 - i, cy + at, cx + depth + i, cy + at + 1));
    else
      px.push_back(Rect64(cx + at, cy + depth - 1 - i, cx + at + 1, cy + depth + i));
  }
  return Region::FromRects(px.data(), px.size());
}

BOOL ScrollControl(DC& dc, RECT* rc, UINT state) {
  const UINT kind = state & 0xFF;
  if (kind == DFCS_SCROLLSIZEGRIP || kind == DFCS_SCROLLSIZEGRIPRIGHT) {
    if (!(state & DFCS_TRANSPARENT)) FillRectColor(dc, *rc, SysColor(COLOR_BTNFACE));
    RECT sq = *rc;
    const i64 s = std::min(i64(rc->right) - rc->left, i64(rc->bottom) - rc->top);
    sq.left = LONG(sq.right - s);
    sq.top = LONG(sq.bottom - s);
    const RECT v = Visible(dc, sq);
    std::vector<RECT> light, dark;
    for (int y = v.top; y < v.bottom; ++y)
      for (int x = v.left; x < v.right; ++x) {
        // Distance from the bottom-right corner along the diagonal.
        const i64 u = (i64(sq.right) - 1 - x) + (i64(sq.bottom) - 1 - y);
        if (u < 1 || u >= s - 1) continue;
        const i64 m = (u - 1) % 4;
        if (m == 0)
          light.push_back({x, y, x + 1, y + 1});
        else if (m != 3)
          dark.push_back({x, y, x + 1, y + 1});
      }
    FillRegionColor(dc, Region::FromRects(light.data(), light.size()),
                    SysColor(COLOR_BTNHIGHLIGHT));
    FillRegionColor(dc, Region::FromRects(dark.data(), dark.size()), SysColor(COLOR_BTNSHADOW));
    return TRUE;
  }
  int dir;
  switch (kind) {
    case DFCS_SCROLLUP: dir = 0; break;
    case DFCS_SCROLLDOWN:
    case DFCS_SCROLLCOMBOBOX: dir = 1; break;
    case DFCS_SCROLLLEFT: dir = 2; break;
    case DFCS_SCROLLRIGHT: dir = 3; break;
    default: SetLastError(ERROR_INVALID_PARAMETER); return FALSE;
  }
  RECT r = *rc;
  // Scroll arrows sink flat when pushed.
  if ((state & DFCS_PUSHED) && !(state & (DFCS_FLAT | DFCS_MONO))) {
    RectEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT | BF_FLAT | BF_ADJUST);
    FillRectColor(dc, r, SysColor(COLOR_BTNFACE));
  } else {
    PushFace(dc, &r, state & ~DFCS_CHECKED);
  }
  const int shift = (state & DFCS_PUSHED) ? 1 : 0;
  const RECT clip = LogicalClipBox(dc);
  if (state & DFCS_INACTIVE) {
    FillRegionColor(dc, Arrow(*rc, dir, shift + 1, clip), SysColor(COLOR_BTNHIGHLIGHT));
    FillRegionColor(dc, Arrow(*rc, dir, shift, clip), SysColor(COLOR_BTNSHADOW));
  } else {
    FillRegionColor(dc, Arrow(*rc, dir, shift, clip), SysColor(COLOR_BTNTEXT));
  }
  return TRUE;
}

// Menu glyphs are masks: black on white, for the menu painter to colour.
BOOL MenuControl(DC& dc, RECT* rc, UINT state) {
  const std::vector<const char*>* g;
  switch (state & 0xFF) {
    case DFCS_MENUARROW: g = &kMenuArrow; break;
    case DFCS_MENUARROWRIGHT: g = &kMenuArrowLeft; break;
    case DFCS_MENUCHECK: g = &kCheck; break;
    case DFCS_MENUBULLET: g = &kBullet; break;
    default: SetLastError(ERROR_INVALID_PARAMETER); return FALSE;
  }
  FillRectColor(dc, *rc, RGB(255, 255, 255));
  Glyph(dc, *rc, *g, 0, RGB(0, 0, 0));
  return TRUE;
}

}  // namespace

BOOL DrawEdge(HDC h, RECT* rc, UINT edge, UINT flags) {
  return Guarded([&]() -> BOOL {
    auto dc = FindDC(h);
    if (!dc) return FALSE;
    if (!rc) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
    if (rc->left >= rc->right || rc->top >= rc->bottom) return TRUE;
    if (flags & BF_DIAGONAL)
      DiagEdge(*dc, rc, edge, flags);
    else
      RectEdge(*dc, rc, edge, flags);
    return TRUE;
  });
}

// Inverts every other pixel of the rectangle's outline, in a checkerboard fixed to the
// device, so drawing it again restores the picture.
BOOL DrawFocusRect(HDC h, const RECT* rc) {
  return Guarded([&]() -> BOOL {
    auto dc = FindDC(h);
    if (!dc) return FALSE;
    if (!rc) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
    if (rc->left >= rc->right || rc->top >= rc->bottom || !dc->surface) return TRUE;
    POINT a = dc->ToSurface(rc->left, rc->top), b = dc->ToSurface(rc->right, rc->bottom);
    Region ring(RECT{a.x, a.y, b.x, b.y});
    ring.Subtract(Region(RECT{a.x + 1, a.y + 1, b.x - 1, b.y - 1}));
    ring.Intersect(dc->Clip());
    Bitmap& bmp = *dc->surface;
    for (const RECT& r : ring.Rects())
      for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
          if (((x - dc->origin.x + y - dc->origin.y) & 1) == 0)
            bmp.Put(x, y, ~bmp.Get(x, y) & bmp.RawMask());
    return TRUE;
  });
}

BOOL DrawFrameControl(HDC h, RECT* rc, UINT type, UINT state) {
  return Guarded([&]() -> BOOL {
    auto dc = FindDC(h);
    if (!dc) return FALSE;
    if (!rc) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
    if (rc->left >= rc->right || rc->top >= rc->bottom) return FALSE;
    switch (type) {
      case DFC_BUTTON: return ButtonControl(*dc, rc, state);
      case DFC_CAPTION: return CaptionControl(*dc, rc, state);
      case DFC_SCROLL: return ScrollControl(*dc, rc, state);
      case DFC_MENU: return MenuControl(*dc, rc, state);
    }
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  });
}

}  // namespace win
