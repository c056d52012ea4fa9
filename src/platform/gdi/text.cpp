#include "platform/gdi/text.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/base/error.h"
#include "platform/base/internal/geometry.h"
#include "platform/base/internal/text.h"
#include "platform/gdi/internal/dc.h"
#include "platform/gdi/internal/font.h"
#include "platform/gdi/internal/guard.h"

namespace win {
namespace gdi {
namespace {

// A character with where it came from in the caller's text (bytes or UTF-16 units).
struct Ch {
  char32_t cp;
  int src;        // -1 for characters we add (ellipses)
  bool ul;        // prefix underline
  int units = 0;  // how many bytes (W: units) of the caller's text it came from
};
using Chars = std::vector<Ch>;

int Utf8Len(const char* s, int count) { return count < 0 ? int(std::strlen(s)) : count; }
int Utf16Len(const WCHAR* s, int count) {
  if (count >= 0) return count;
  int n = 0;
  while (s[n]) ++n;
  return n;
}

// Each malformed sequence becomes one U+FFFD, like the rest of the platform's decoding.
Chars DecodeA(const char* text, int n) {
  Chars out;
  out.reserve(std::size_t(n));
  const auto* s = reinterpret_cast<const unsigned char*>(text);
  int i = 0;
  while (i < n) {
    unsigned c = s[i];
    int len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (len == 1) {
      out.push_back({c, i, false, 1});
      ++i;
      continue;
    }
    if (len == 0) {
      out.push_back({0xFFFD, i, false, 1});
      ++i;
      continue;
    }
    char32_t cp = c & (0x7F >> len);
    int k = 1;
    for (; k < len && i + k < n && (s[i + k] & 0xC0) == 0x80; ++k)
      cp = (cp << 6) | (s[i + k] & 0x3F);
    bool ok = k == len && cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF) &&
              !(len == 2 && cp < 0x80) && !(len == 3 && cp < 0x800) && !(len == 4 && cp < 0x10000);
    out.push_back({ok ? cp : 0xFFFD, i, false, k});
    i += k;
  }
  return out;
}

Chars DecodeW(const WCHAR* s, int n) {
  Chars out;
  out.reserve(std::size_t(n));
  for (int i = 0; i < n;) {
    char32_t c = s[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < n && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
      out.push_back({0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00), i, false, 2});
      i += 2;
      continue;
    }
    out.push_back({c >= 0xD800 && c <= 0xDFFF ? 0xFFFD : c, i, false, 1});
    ++i;
  }
  return out;
}

std::shared_ptr<Font> DCFont(DC& dc) {
  if (dc.st.font) return dc.st.font;
  return FindFont(static_cast<HFONT>(GetStockObject(SYSTEM_FONT)));
}

FontRealization* FontOf(DC& dc) {
  auto f = DCFont(dc);
  return f ? &Realize(*f) : nullptr;
}

// Draws into a DC's surface inside its clip region, optionally narrowed to a rectangle.
class Painter {
 public:
  Painter(DC& dc, const RECT* clip) : dc_(dc), bmp_(dc.surface.get()) {
    if (!bmp_) return;
    Region r = dc.Clip();
    if (clip) {
      POINT a = dc.ToSurface(clip->left, clip->top), b = dc.ToSurface(clip->right, clip->bottom);
      r.IntersectRect(RECT{a.x, a.y, b.x, b.y});
    }
    rects_ = r.Rects();
    bounds_ = r.Box();
  }

  void Fill(const RECT& logical, COLORREF c) {
    if (rects_.empty() || logical.left >= logical.right || logical.top >= logical.bottom) return;
    POINT a = dc_.ToSurface(logical.left, logical.top),
          b = dc_.ToSurface(logical.right, logical.bottom);
    std::uint32_t raw = bmp_->FromColor(c);
    for (const RECT& k : rects_) {
      int x0 = std::max(a.x, k.left), x1 = std::min(b.x, k.right);
      int y0 = std::max(a.y, k.top), y1 = std::min(b.y, k.bottom);
      for (int y = y0; y < y1; ++y)
        if (bmp_->bpp == 32) {
          auto* row = reinterpret_cast<std::uint32_t*>(bmp_->Row(y));
          std::fill(row + x0, row + std::max(x0, x1), raw);
        } else {
          for (int x = x0; x < x1; ++x) bmp_->Put(x, y, raw);
        }
    }
  }

  // `pen_x`, `base_y`: logical pen position on the baseline.
  void Draw(const Glyph& g, int pen_x, int base_y, COLORREF color) {
    if (rects_.empty() || g.width == 0 || g.height == 0) return;
    POINT o = dc_.ToSurface(DC::Saturate(std::int64_t(pen_x) + g.left),
                            DC::Saturate(std::int64_t(base_y) - g.top));
    // A pen saturated at the coordinate limit must not overflow into view.
    if (std::int64_t(o.x) + g.width <= bounds_.left || o.x >= bounds_.right ||
        std::int64_t(o.y) + g.height <= bounds_.top || o.y >= bounds_.bottom)
      return;
    RECT box{o.x, o.y, o.x + g.width, o.y + g.height};
    std::uint32_t raw = bmp_->FromColor(color);
    int cr = GetRValue(color), cg = GetGValue(color), cb = GetBValue(color);
    for (const RECT& k : rects_) {
      int x0 = std::max(box.left, k.left), x1 = std::min(box.right, k.right);
      int y0 = std::max(box.top, k.top), y1 = std::min(box.bottom, k.bottom);
      if (x0 >= x1 || y0 >= y1) continue;
      if (bmp_->bpp == 32 && g.solid) {
        for (const Glyph::Run& run : g.runs) {
          int y = box.top + run.y;
          if (y < y0 || y >= y1) continue;
          int a = std::max(x0, int(box.left + run.x)),
              b = std::min(x1, int(box.left + run.x + run.len));
          if (a < b) {
            auto* row = reinterpret_cast<std::uint32_t*>(bmp_->Row(y));
            std::fill(row + a, row + b, raw);
          }
        }
        continue;
      }
      for (int y = y0; y < y1; ++y) {
        const std::uint8_t* line = g.coverage.data() + std::size_t(y - box.top) * g.width;
        if (bmp_->bpp == 32) {
          auto* row = reinterpret_cast<std::uint32_t*>(bmp_->Row(y));
          for (int x = x0; x < x1; ++x) {
            unsigned a = line[x - box.left];
            if (a == 0) continue;
            if (a == 255) {
              row[x] = raw;
              continue;
            }
            std::uint32_t d = row[x];
            unsigned dr = (d >> 16) & 0xFF, dg = (d >> 8) & 0xFF, db = d & 0xFF;
            dr += ((cr - int(dr)) * int(a) + 127) / 255;
            dg += ((cg - int(dg)) * int(a) + 127) / 255;
            db += ((cb - int(db)) * int(a) + 127) / 255;
            row[x] = (dr << 16) | (dg << 8) | db;
          }
        } else {
          for (int x = x0; x < x1; ++x) {
            unsigned a = line[x - box.left];
            if (a == 0) continue;
            if (a == 255) {
              bmp_->Put(x, y, raw);
              continue;
            }
            COLORREF d = bmp_->ToColor(bmp_->Get(x, y));
            auto mix = [a](int s, int t) { return BYTE(t + ((s - t) * int(a) + 127) / 255); };
            bmp_->Put(x, y,
                      bmp_->FromColor(RGB(mix(cr, GetRValue(d)), mix(cg, GetGValue(d)),
                                          mix(cb, GetBValue(d)))));
          }
        }
      }
    }
  }

 private:
  DC& dc_;
  Bitmap* bmp_;
  std::vector<RECT> rects_;
  RECT bounds_{};
};

// Text at a reference point with the DC's alignment; `widths` gives each character's
// advance. Returns the total advance.
int Output(DC& dc, FontRealization& fr, int x, int y, UINT options, const RECT* rc,
           const Chars& chars, const std::vector<int>& widths) {
  const TEXTMETRICA& tm = fr.Metrics();
  UINT align = dc.st.text_align;
  bool update = align & TA_UPDATECP;
  if (update) {
    x = dc.st.cur_pos.x;
    y = dc.st.cur_pos.y;
  }
  // Positions near the ends of the coordinate range saturate rather than wrap.
  using i64 = std::int64_t;
  auto sat = [](i64 v) { return int(DC::Saturate(v)); };
  i64 sum = 0;
  for (int v : widths) sum += v;
  const int w = sat(sum);
  const i64 x0 = (align & TA_CENTER) == TA_CENTER ? i64(x) - w / 2
                 : (align & TA_RIGHT)             ? i64(x) - w
                                                  : i64(x);
  const i64 base = (align & TA_BASELINE) == TA_BASELINE ? i64(y)
                   : (align & TA_BOTTOM)                ? i64(y) - tm.tmDescent
                                                        : i64(y) + tm.tmAscent;
  const i64 top = base - tm.tmAscent;
  const RECT* clip = (options & ETO_CLIPPED) && rc ? rc : nullptr;
  if ((options & ETO_OPAQUE) && rc) { Painter(dc, nullptr).Fill(*rc, dc.st.bk_color); }
  if (!chars.empty() && dc.surface) {
    Painter p(dc, clip);
    auto band = [&](i64 t, i64 b) { return RECT{sat(x0), sat(t), sat(x0 + w), sat(b)}; };
    if (dc.st.bk_mode == OPAQUE) p.Fill(band(top, top + tm.tmHeight), dc.st.bk_color);
    i64 pen = x0;
    for (std::size_t i = 0; i < chars.size(); ++i) {
      p.Draw(fr.GlyphFor(chars[i].cp), sat(pen), sat(base), dc.st.text_color);
      pen += widths[i];
    }
    if (fr.Underline())
      p.Fill(band(base + fr.UnderlinePos(), base + fr.UnderlinePos() + fr.UnderlineSize()),
             dc.st.text_color);
    if (fr.StrikeOut())
      p.Fill(band(base + fr.StrikePos(), base + fr.StrikePos() + fr.StrikeSize()),
             dc.st.text_color);
  }
  if (update && (align & TA_CENTER) != TA_CENTER)
    dc.st.cur_pos.x = sat((align & TA_RIGHT) ? i64(x) - w : i64(x) + w);
  return w;
}

std::vector<int> Advances(DC& dc, FontRealization& fr, const Chars& chars) {
  std::vector<int> w(chars.size());
  for (std::size_t i = 0; i < chars.size(); ++i) w[i] = fr.Advance(chars[i].cp) + dc.st.char_extra;
  return w;
}

// lpDx holds one entry per source unit; a character takes the sum of its units' entries.
std::vector<int> DxWidths(const Chars& chars, int total, const INT* dx) {
  std::vector<int> w(chars.size());
  for (std::size_t i = 0; i < chars.size(); ++i) {
    int end = i + 1 < chars.size() ? chars[i + 1].src : total;
    for (int k = chars[i].src; k < end; ++k) w[i] += dx[k];
  }
  return w;
}

// ---- DrawText layout ----

bool IsSpace(char32_t c) { return c == ' ' || c == 0x3000; }

// Ideographs, kana, Hangul, CJK punctuation and full-width forms: a line may break on
// either side of them.
bool IsCJK(char32_t c) {
  return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xAC00 && c <= 0xD7AF) ||
         (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
         (c >= 0xFF00 && c <= 0xFFEF) || (c >= 0x20000 && c <= 0x3FFFF);
}

// Closing punctuation never starts a line.
bool NoStart(char32_t c) {
  static const char32_t list[] = {U'，', U'。', U'、', U'；', U'：', U'？', U'！', U'）',
                                  U'」', U'』', U'】', U'》', U'〉', U'〕', U'〗', U'〙',
                                  U'〛', U'］', U'｝', U'”',  U'’',  U'…',  U'‥',  U'·',
                                  U'・', U'．', U'％', U'ー', U'～', U'〜', U'!',  U')',
                                  U',',  U'.',  U':',  U';',  U'?',  U']',  U'}',  U'%'};
  return std::find(std::begin(list), std::end(list), c) != std::end(list);
}

// Opening brackets never end a line.
bool NoEnd(char32_t c) {
  static const char32_t list[] = {U'（', U'「', U'『', U'【', U'《', U'〈', U'〔', U'〖', U'〘',
                                  U'〚', U'［', U'｛', U'“',  U'‘',  U'(',  U'[',  U'{'};
  return std::find(std::begin(list), std::end(list), c) != std::end(list);
}

// May a line break between p[i-1] and p[i]? `cjk` allows breaks beside Chinese characters
// (DT_NOFULLWIDTHCHARBREAK keeps to spaces).
bool CanBreak(const Chars& p, std::size_t i, bool cjk = true) {
  char32_t a = p[i - 1].cp, b = p[i].cp;
  if (IsSpace(b)) return false;  // spaces stay at the end of the line
  if (NoStart(b) || NoEnd(a)) return false;
  if (IsSpace(a)) return true;
  return cjk && (IsCJK(a) || IsCJK(b));
}

struct Layout {
  DC& dc;
  FontRealization& fr;
  UINT fmt;
  int tab_width;
  bool expand_tabs;
  int extra;

  int Width(char32_t c, int x) const {
    if (c == '\t') {
      if (expand_tabs && tab_width > 0) return (x / tab_width + 1) * tab_width - x;
      return fr.Advance(' ') + extra;
    }
    if (c == '\r' || c == '\n') return 0;
    return fr.Advance(c) + extra;
  }
  int Measure(const Chars& s, std::size_t b, std::size_t e) const {
    int x = 0;
    for (std::size_t i = b; i < e; ++i) x += Width(s[i].cp, x);
    return x;
  }
};

struct Line {
  Chars chars;
  int width = 0;
  int src = 0;  // where the line starts in the caller's text
  // Once an ellipsis replaces some of the line: the caller's text it replaced.
  bool modified = false;
  int mod_begin = 0, mod_end = 0;
  void Modify(Chars shown) {
    if (!modified) {
      modified = true;
      mod_begin = mod_end = src;
      bool first = true;
      for (const Ch& c : chars) {
        if (c.src < 0) continue;
        if (first) mod_begin = c.src;
        first = false;
        mod_end = std::max(mod_end, c.src + c.units);
      }
    }
    chars = std::move(shown);
  }
};

void AddLine(std::vector<Line>& lines, const Layout& L, const Chars& p, std::size_t b,
             std::size_t e, int src) {
  Line ln;
  ln.chars.assign(p.begin() + std::ptrdiff_t(b), p.begin() + std::ptrdiff_t(e));
  ln.width = L.Measure(ln.chars, 0, ln.chars.size());
  ln.src = b < p.size() ? p[b].src : src;
  lines.push_back(std::move(ln));
}

void Wrap(std::vector<Line>& lines, const Layout& L, const Chars& p, int width, int src_end) {
  std::size_t n = p.size();
  if (!(L.fmt & DT_WORDBREAK)) {
    AddLine(lines, L, p, 0, n, src_end);
    return;
  }
  if (n == 0) {
    AddLine(lines, L, p, 0, 0, src_end);
    return;
  }
  bool cjk = !(L.fmt & DT_NOFULLWIDTHCHARBREAK);
  std::size_t start = 0;
  while (start < n) {
    int x = 0;
    std::size_t i = start, last_break = 0;
    while (i < n) {
      int w = L.Width(p[i].cp, x);
      if (x + w > width && i > start) break;
      x += w;
      ++i;
      if (i < n && CanBreak(p, i, cjk)) last_break = i;
    }
    if (i == n) {
      AddLine(lines, L, p, start, n, src_end);
      break;
    }
    std::size_t end, next;
    if (IsSpace(p[i].cp))
      end = next = i;
    else if (last_break > start)
      end = next = last_break;
    else if (L.fmt & DT_EDITCONTROL)
      end = next = i;  // words longer than the line are split
    else {
      end = i;
      while (end < n && !CanBreak(p, end, cjk) && !IsSpace(p[end].cp)) ++end;
      next = end;
    }
    std::size_t trimmed = end;
    while (trimmed > start && IsSpace(p[trimmed - 1].cp)) --trimmed;
    AddLine(lines, L, p, start, trimmed, src_end);
    while (next < n && IsSpace(p[next].cp)) ++next;
    start = next;
  }
}

const Chars& Dots() {
  static const Chars dots = {{'.', -1, false}, {'.', -1, false}, {'.', -1, false}};
  return dots;
}

// The longest start of `s` that leaves room for "..." within `width`, then "...".
Chars EndEllipsis(const Layout& L, const Chars& s, int width) {
  int ew = L.Measure(Dots(), 0, 3);
  std::size_t keep = 0;
  int x = 0;
  while (keep < s.size()) {
    int w = L.Width(s[keep].cp, x);
    if (x + w + ew > width) break;
    x += w;
    ++keep;
  }
  Chars out(s.begin(), s.begin() + std::ptrdiff_t(keep));
  out.insert(out.end(), Dots().begin(), Dots().end());
  return out;
}

// Keeps the last path component and as much of the start as fits around "...".
Chars PathEllipsis(const Layout& L, const Chars& s, int width) {
  std::size_t sep = s.size();
  for (std::size_t i = s.size(); i-- > 0;)
    if (s[i].cp == '\\' || s[i].cp == '/') {
      sep = i;
      break;
    }
  if (sep == s.size()) return EndEllipsis(L, s, width);
  Chars tail(s.begin() + std::ptrdiff_t(sep), s.end());
  for (std::size_t head = sep;; --head) {
    Chars out(s.begin(), s.begin() + std::ptrdiff_t(head));
    out.insert(out.end(), Dots().begin(), Dots().end());
    out.insert(out.end(), tail.begin(), tail.end());
    if (L.Measure(out, 0, out.size()) <= width) return out;
    if (head == 0) {
      Chars rest = Dots();
      rest.insert(rest.end(), tail.begin(), tail.end());
      return EndEllipsis(L, rest, width);
    }
  }
}

// For DT_MODIFYSTRING: the caller's text in [begin, end) becomes `shown`.
struct Splice {
  int begin, end;
  Chars shown;
};

struct DrawResult {
  int height = 0;
  int drawn = 0;
  std::vector<Splice> splices;  // in text order
};

DrawResult DrawCore(DC& dc, Chars chars, int total_len, RECT* rc, UINT fmt,
                    DRAWTEXTPARAMS* params) {
  DrawResult res;
  FontRealization& fr = *FontOf(dc);
  int tab_chars = 8;
  if (fmt & DT_TABSTOP) {
    tab_chars = int((fmt >> 8) & 0xFF);
    fmt &= ~0xFF00u;  // those bits held the tab size
  } else if (params && params->iTabLength > 0) {
    tab_chars = params->iTabLength;
  }
  if (fmt & DT_SINGLELINE) fmt &= ~DT_WORDBREAK;
  FontRealization* metric_font = &fr;
  if (fmt & DT_INTERNAL)
    if (auto sys = FindFont(static_cast<HFONT>(GetStockObject(SYSTEM_FONT))))
      metric_font = &Realize(*sys);
  const TEXTMETRICA& tm = fr.Metrics();
  int line_h = tm.tmHeight + ((fmt & DT_EXTERNALLEADING) ? tm.tmExternalLeading : 0);
  Layout L{dc,
           fr,
           fmt,
           tab_chars * metric_font->Metrics().tmAveCharWidth,
           (fmt & DT_EXPANDTABS) != 0,
           dc.st.char_extra};
  int lm = params ? params->iLeftMargin : 0, rm = params ? params->iRightMargin : 0;
  int left = rc->left + lm, right = rc->right - rm, width = right - left;
  res.drawn = total_len;

  if (chars.empty()) {
    // Empty text still takes a line when it is laid out as one.
    if (fmt & DT_CALCRECT) {
      res.height = (fmt & DT_SINGLELINE) ? line_h : 0;
      rc->right = rc->left;
      rc->bottom = rc->top + res.height;
    }
    return res;
  }
  if (!(fmt & DT_NOPREFIX)) {
    Chars out;
    out.reserve(chars.size());
    for (std::size_t i = 0; i < chars.size(); ++i) {
      if (chars[i].cp != '&') {
        out.push_back(chars[i]);
        continue;
      }
      if (i + 1 >= chars.size()) break;  // a trailing & shows nothing
      Ch next = chars[++i];
      if (next.cp != '&' && !(fmt & DT_HIDEPREFIX)) next.ul = true;
      out.push_back(next);
    }
    chars.swap(out);
  }

  std::vector<Line> lines;
  if (fmt & DT_SINGLELINE) {
    Chars one;
    for (const Ch& c : chars)
      if (c.cp != '\r' && c.cp != '\n') one.push_back(c);
    Wrap(lines, L, one, width, total_len);
  } else {
    Chars para;
    for (std::size_t i = 0; i <= chars.size(); ++i) {
      bool end = i == chars.size();
      if (end || chars[i].cp == '\r' || chars[i].cp == '\n') {
        Wrap(lines, L, para, width, end ? total_len : chars[i].src);
        para.clear();
        if (!end && chars[i].cp == '\r' && i + 1 < chars.size() && chars[i + 1].cp == '\n') ++i;
        if (end) break;
        continue;
      }
      para.push_back(chars[i]);
    }
    // A text ending in a line break has no empty line after it.
    if (lines.size() > 1 && lines.back().chars.empty() &&
        (chars.back().cp == '\n' || chars.back().cp == '\r'))
      lines.pop_back();
  }

  bool multi = !(fmt & DT_SINGLELINE);
  int rect_h = rc->bottom - rc->top;
  bool calc = fmt & DT_CALCRECT;
  // Lines below the rectangle: an edit control shows no partial last line; ellipses mark
  // the last line that shows when text is left over.
  if (multi && !calc && lines.size() > 1) {
    std::size_t fit = std::size_t(std::max(0, rect_h / std::max(1, line_h)));
    std::size_t shown = std::size_t(std::max(0, (rect_h + line_h - 1) / std::max(1, line_h)));
    if (fmt & DT_EDITCONTROL) shown = std::max<std::size_t>(fit, 1);
    if (shown < lines.size()) {
      res.drawn = lines[shown].src;
      if ((fmt & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS)) && fit >= 1 && (fmt & DT_WORDBREAK)) {
        Line& last = lines[fit - 1];
        Chars rest = last.chars;
        rest.push_back({' ', -1, false});  // the dropped text follows
        Chars shown = EndEllipsis(L, rest, width);
        if (shown.size() >= 4 && shown[shown.size() - 4].src == -1) shown.erase(shown.end() - 4);
        last.Modify(std::move(shown));
        last.width = L.Measure(last.chars, 0, last.chars.size());
        lines.resize(fit);
      } else if (fmt & DT_EDITCONTROL) {
        lines.resize(shown);
      }
    }
  }
  if (fmt & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS | DT_PATH_ELLIPSIS))
    for (Line& ln : lines)
      if (ln.width > width) {
        ln.Modify((fmt & DT_PATH_ELLIPSIS) ? PathEllipsis(L, ln.chars, width)
                                           : EndEllipsis(L, ln.chars, width));
        ln.width = L.Measure(ln.chars, 0, ln.chars.size());
      }
  for (const Line& ln : lines)
    if (ln.modified) res.splices.push_back({ln.mod_begin, ln.mod_end, ln.chars});

  int total_h = int(lines.size()) * line_h;
  int maxw = 0;
  for (const Line& ln : lines) maxw = std::max(maxw, ln.width);
  if (calc) {
    rc->right = rc->left + lm + maxw + rm;
    rc->bottom = rc->top + total_h;
    res.height = total_h;
    return res;
  }

  int y = rc->top;
  if (fmt & DT_SINGLELINE) {
    if (fmt & DT_VCENTER)
      y = rc->top + (rect_h - total_h) / 2;
    else if (fmt & DT_BOTTOM)
      y = rc->bottom - total_h;
  }
  res.height =
      (fmt & DT_SINGLELINE) && (fmt & (DT_VCENTER | DT_BOTTOM)) ? y + total_h - rc->top : total_h;

  UINT halign = fmt & (DT_CENTER | DT_RIGHT);
  if ((fmt & DT_RTLREADING) && halign != DT_CENTER)
    halign = halign == DT_RIGHT ? DT_LEFT : DT_RIGHT;
  Painter p(dc, (fmt & DT_NOCLIP) ? nullptr : rc);
  COLORREF fg = dc.st.text_color;
  for (const Line& ln : lines) {
    int x = halign == DT_RIGHT    ? right - ln.width
            : halign == DT_CENTER ? left + (width - ln.width) / 2
                                  : left;
    int base = y + tm.tmAscent;
    if (dc.st.bk_mode == OPAQUE && !(fmt & DT_PREFIXONLY))
      p.Fill(RECT{x, y, x + ln.width, y + tm.tmHeight}, dc.st.bk_color);
    int pen = 0;
    for (const Ch& c : ln.chars) {
      int w = L.Width(c.cp, pen);
      if (!(fmt & DT_PREFIXONLY) && c.cp != '\t') p.Draw(fr.GlyphFor(c.cp), x + pen, base, fg);
      if (c.ul)
        p.Fill(RECT{x + pen, base + fr.UnderlinePos(), x + pen + w - dc.st.char_extra,
                    base + fr.UnderlinePos() + 1},
               fg);
      pen += w;
    }
    if (!(fmt & DT_PREFIXONLY)) {
      if (fr.Underline())
        p.Fill(RECT{x, base + fr.UnderlinePos(), x + ln.width,
                    base + fr.UnderlinePos() + fr.UnderlineSize()},
               fg);
      if (fr.StrikeOut())
        p.Fill(
            RECT{x, base + fr.StrikePos(), x + ln.width, base + fr.StrikePos() + fr.StrikeSize()},
            fg);
    }
    y += line_h;
  }
  return res;
}

std::shared_ptr<DC> TextDC(HDC h) {
  auto dc = FindDC(h);
  if (dc && !FontOf(*dc)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return dc;
}

SIZE Extent(DC& dc, const Chars& chars) {
  FontRealization& fr = *FontOf(dc);
  SIZE s{0, fr.Metrics().tmHeight};
  for (const Ch& c : chars) s.cx += fr.Advance(c.cp) + dc.st.char_extra;
  return s;
}

// Tab stops for the tabbed calls: none = every eight average characters, one = that
// interval, more = those positions (then the default interval).
std::vector<int> TabbedWidths(DC& dc, const Chars& chars, int tab_count, const INT* tabs,
                              std::int64_t start_x) {
  // Stops and positions in 64 bits: a stop of INT_MIN means INT_MAX + 1 pixels.
  using i64 = std::int64_t;
  FontRealization& fr = *FontOf(dc);
  i64 interval = 8 * fr.Metrics().tmAveCharWidth;
  if (tabs && tab_count == 1 && tabs[0] > 0) interval = tabs[0];
  std::vector<int> w(chars.size());
  i64 x = start_x;
  for (std::size_t i = 0; i < chars.size(); ++i) {
    i64 width;
    if (chars[i].cp == '\t') {
      i64 stop = -1;
      if (tabs && tab_count > 1)
        for (int k = 0; k < tab_count; ++k) {
          const i64 at = tabs[k] < 0 ? -i64(tabs[k]) : i64(tabs[k]);
          if (at > x) {
            stop = at;
            break;
          }
        }
      if (stop < 0) stop = interval > 0 ? (x / interval + 1) * interval : x;
      width = stop - x;
    } else {
      width = fr.Advance(chars[i].cp) + dc.st.char_extra;
    }
    w[i] = int(std::clamp<i64>(width, INT32_MIN, INT32_MAX));
    x += w[i];
  }
  return w;
}

// DT_MODIFYSTRING: the ellipsised lines are replaced in place and the rest of the text is
// left as it was. The caller's buffer holds its text and four more units; the result is cut
// there, at a character boundary, and a NUL follows only when there is room for it.
template <class CharT>
void WriteBack(CharT* buf, int orig_len, const std::vector<Splice>& splices) {
  if (!buf || splices.empty()) return;
  const std::size_t cap = std::size_t(orig_len) + 4;
  std::basic_string<CharT> out;
  auto encode = [&](char32_t cp) {
    if constexpr (sizeof(CharT) == 1) {
      std::string one;
      AppendUtf8(one, cp);
      out += one;
    } else if (cp >= 0x10000) {
      out += CharT(0xD800 + ((cp - 0x10000) >> 10));
      out += CharT(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      out += CharT(cp);
    }
  };
  int at = 0;
  for (const Splice& sp : splices) {
    out.append(buf + at, buf + sp.begin);
    for (const Ch& c : sp.shown) encode(c.cp);
    at = sp.end;
  }
  out.append(buf + at, buf + orig_len);
  if (out.size() > cap) {
    std::size_t n = cap;
    if constexpr (sizeof(CharT) == 1) {
      while (n > 0 && (static_cast<unsigned char>(out[n]) & 0xC0) == 0x80) --n;
    } else {
      if (out[n] >= 0xDC00 && out[n] <= 0xDFFF && n > 0 && out[n - 1] >= 0xD800 &&
          out[n - 1] <= 0xDBFF)
        --n;
    }
    out.resize(n);
  }
  std::memcpy(buf, out.data(), out.size() * sizeof(CharT));
  if (out.size() < cap) buf[out.size()] = 0;
}

template <class CharT>
int DrawTextAny(HDC h, CharT* text, int count, RECT* rc, UINT fmt, DRAWTEXTPARAMS* params) {
  auto dc = TextDC(h);
  if (!dc) return 0;
  if (!rc || (!text && count != 0)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (params && params->cbSize != sizeof(DRAWTEXTPARAMS)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  // A count of 0 draws and measures nothing: 0, the rectangle as it was (with DT_CALCRECT too).
  if (count == 0) return 0;
  int len = 0;
  Chars chars;
  if constexpr (sizeof(CharT) == 1) {
    len = text ? Utf8Len(text, count) : 0;
    chars = DecodeA(text, len);
  } else {
    len = text ? Utf16Len(text, count) : 0;
    chars = DecodeW(text, len);
  }
  if (len == 0) {
    // An empty text answers the line's height; measured, it has no width, and a height only
    // when laid out as a single line.
    TEXTMETRICA tm;
    if (!GetTextMetrics(h, &tm)) return 0;
    const int line = tm.tmHeight + ((fmt & DT_EXTERNALLEADING) ? tm.tmExternalLeading : 0);
    if (fmt & DT_CALCRECT) {
      rc->right = rc->left;
      rc->bottom = (fmt & DT_SINGLELINE) ? rc->top + line : rc->top;
    }
    if (params) params->uiLengthDrawn = 0;
    return line;
  }
  DrawResult r = DrawCore(*dc, std::move(chars), len, rc, fmt, params);
  if (params) params->uiLengthDrawn = UINT(r.drawn);
  if ((fmt & DT_MODIFYSTRING) && (fmt & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS)))
    WriteBack(text, len, r.splices);
  return r.height;
}

}  // namespace
}  // namespace gdi

using namespace gdi;

BOOL GetTextMetrics(HDC h, TEXTMETRICA* tm) {
  return Guarded([&]() -> BOOL {
    auto dc = TextDC(h);
    if (!dc) return FALSE;
    if (!tm) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
    *tm = FontOf(*dc)->Metrics();
    return TRUE;
  });
}

int GetTextFace(HDC h, int count, char* name) {
  return Guarded([&]() -> int {
    auto dc = TextDC(h);
    if (!dc) return 0;
    const std::string& face = FontOf(*dc)->FaceName();
    if (!name) return int(face.size()) + 1;
    if (count <= 0) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return 0;
    }
    std::size_t n = std::min<std::size_t>(face.size(), std::size_t(count) - 1);
    // Never cut a character in half.
    while (n > 0 && n < face.size() && (static_cast<unsigned char>(face[n]) & 0xC0) == 0x80) --n;
    std::memcpy(name, face.data(), n);
    name[n] = 0;
    return int(n) + 1;
  });
}

BOOL GetTextExtentPoint32(HDC h, const char* text, int count, SIZE* size) {
  return Guarded([&]() -> BOOL {
    auto dc = TextDC(h);
    if (!dc) return FALSE;
    if (!size || count < 0 || (!text && count > 0)) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
    // Nothing measures as nothing, not as a line of height.
    *size = count == 0 ? SIZE{} : Extent(*dc, DecodeA(text, count));
    return TRUE;
  });
}

BOOL GetTextExtentPoint32W(HDC h, const WCHAR* text, int count, SIZE* size) {
  return Guarded([&]() -> BOOL {
    auto dc = TextDC(h);
    if (!dc) return FALSE;
    if (!size || count < 0 || (!text && count > 0)) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
    *size = count == 0 ? SIZE{} : Extent(*dc, DecodeW(text, count));
    return TRUE;
  });
}

BOOL GetTextExtentExPoint(HDC h, const char* text, int count, int max_extent, INT* fit, INT* dx,
                          SIZE* size) {
  return Guarded([&]() -> BOOL {
    auto dc = TextDC(h);
    if (!dc) return FALSE;
    if (!size || count < 0 || (!text && count > 0)) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
    Chars chars = DecodeA(text, count);
    auto w = Advances(*dc, *FontOf(*dc), chars);
    int x = 0, fitted = 0;
    bool full = false;
    for (std::size_t i = 0; i < chars.size(); ++i) {
      x += w[i];
      int end = i + 1 < chars.size() ? chars[i + 1].src : count;
      if (!full && x <= max_extent)
        fitted = end;
      else
        full = true;
      if (dx)
        for (int k = chars[i].src; k < end; ++k) dx[k] = x;
    }
    if (fit) *fit = fitted;
    size->cx = x;
    size->cy = FontOf(*dc)->Metrics().tmHeight;
    return TRUE;
  });
}

BOOL GetCharWidth32(HDC h, UINT first, UINT last, INT* widths) {
  return Guarded([&]() -> BOOL {
    auto dc = TextDC(h);
    if (!dc) return FALSE;
    if (!widths || first > last || last > 0x10FFFF) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
    FontRealization& fr = *FontOf(*dc);
    for (UINT c = first; c <= last; ++c) widths[c - first] = fr.Advance(char32_t(c));
    return TRUE;
  });
}

namespace {

// ExtTextOut in either encoding: `dx` has one entry per byte or UTF-16 unit.
template <class CharT>
BOOL ExtTextOutAny(HDC h, int x, int y, UINT options, const RECT* rc, const CharT* text, UINT count,
                   const INT* dx) {
  return Guarded([&]() -> BOOL {
    auto dc = TextDC(h);
    if (!dc) return FALSE;
    if ((!text && count) || count > 0x7FFFFFFF) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
    Chars chars;
    if constexpr (sizeof(CharT) == 1)
      chars = DecodeA(text, int(count));
    else
      chars = DecodeW(text, int(count));
    FontRealization& fr = *FontOf(*dc);
    Output(*dc, fr, x, y, options, rc, chars,
           dx ? DxWidths(chars, int(count), dx) : Advances(*dc, fr, chars));
    return TRUE;
  });
}

}  // namespace

BOOL ExtTextOut(HDC h, int x, int y, UINT options, const RECT* rc, const char* text, UINT count,
                const INT* dx) {
  return ExtTextOutAny(h, x, y, options, rc, text, count, dx);
}

BOOL ExtTextOutW(HDC h, int x, int y, UINT options, const RECT* rc, const WCHAR* text, UINT count,
                 const INT* dx) {
  return ExtTextOutAny(h, x, y, options, rc, text, count, dx);
}

BOOL TextOut(HDC dc, int x, int y, const char* text, int count) {
  return Guarded([&]() -> BOOL {
    if (count < 0) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
    return ExtTextOut(dc, x, y, 0, nullptr, text, UINT(count), nullptr);
  });
}

BOOL TextOutW(HDC dc, int x, int y, const WCHAR* text, int count) {
  return Guarded([&]() -> BOOL {
    if (count < 0) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
    return ExtTextOutW(dc, x, y, 0, nullptr, text, UINT(count), nullptr);
  });
}

DWORD GetTabbedTextExtent(HDC h, const char* text, int count, int tab_count, const INT* tabs) {
  return Guarded([&]() -> DWORD {
    auto dc = TextDC(h);
    if (!dc) return 0;
    if (!text && count) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return 0;
    }
    int len = text ? Utf8Len(text, count) : 0;
    Chars chars = DecodeA(text, len);
    DWORD w = 0;  // only the low word is reported
    for (int v : TabbedWidths(*dc, chars, tab_count, tabs, 0)) w += DWORD(v);
    return DWORD(w & 0xFFFF) | (DWORD(FontOf(*dc)->Metrics().tmHeight & 0xFFFF) << 16);
  });
}

LONG TabbedTextOut(HDC h, int x, int y, const char* text, int count, int tab_count, const INT* tabs,
                   int tab_origin) {
  return Guarded([&]() -> LONG {
    auto dc = TextDC(h);
    if (!dc) return 0;
    if (!text && count) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return 0;
    }
    int len = text ? Utf8Len(text, count) : 0;
    Chars chars = DecodeA(text, len);
    FontRealization& fr = *FontOf(*dc);
    std::int64_t start =
        std::int64_t((dc->st.text_align & TA_UPDATECP) ? dc->st.cur_pos.x : x) - tab_origin;
    int w =
        Output(*dc, fr, x, y, 0, nullptr, chars, TabbedWidths(*dc, chars, tab_count, tabs, start));
    return LONG(DWORD(w & 0xFFFF) | (DWORD(fr.Metrics().tmHeight & 0xFFFF) << 16));
  });
}

int DrawText(HDC dc, const char* text, int count, RECT* rc, UINT format) {
  return Guarded([&]() -> int {
    return DrawTextAny(dc, const_cast<char*>(text), count, rc, format, nullptr);
  });
}

int DrawTextW(HDC dc, const WCHAR* text, int count, RECT* rc, UINT format) {
  return Guarded([&]() -> int {
    return DrawTextAny(dc, const_cast<WCHAR*>(text), count, rc, format, nullptr);
  });
}

int DrawTextEx(HDC dc, char* text, int count, RECT* rc, UINT format, DRAWTEXTPARAMS* params) {
  return Guarded([&]() -> int { return DrawTextAny(dc, text, count, rc, format, params); });
}

int DrawTextExW(HDC dc, WCHAR* text, int count, RECT* rc, UINT format, DRAWTEXTPARAMS* params) {
  return Guarded([&]() -> int { return DrawTextAny(dc, text, count, rc, format, params); });
}

}  // namespace win
