// The edit control's text and lines: UTF-8 in and out, character widths, word wrap with the
// Chinese line breaking DrawText uses, and positions in the client area.
#include <algorithm>

#include "platform/controls/internal/edit.h"

namespace win::controls::edit {

namespace {

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

// CR LF ends a line, and so do the CR CR LF of EM_FMTLINES and a bare LF; 0: no break at i.
int BreakLen(const std::u32string& t, int i) {
  const int n = int(t.size());
  if (t[i] == '\n') return 1;
  if (t[i] != '\r') return 0;
  if (i + 1 < n && t[i + 1] == '\n') return 2;
  if (i + 2 < n && t[i + 1] == '\r' && t[i + 2] == '\n') return 3;
  return 0;
}

}  // namespace

bool IsSpace(char32_t c) { return c == ' ' || c == 0x3000 || c == '\t'; }

bool IsCJK(char32_t c) {
  return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xAC00 && c <= 0xD7AF) ||
         (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
         (c >= 0xFF00 && c <= 0xFFEF) || (c >= 0x20000 && c <= 0x3FFFF);
}

bool CanBreak(const std::u32string& t, int i) {
  char32_t a = t[std::size_t(i) - 1], b = t[std::size_t(i)];
  if (IsSpace(b)) return false;  // spaces stay at the end of the line
  if (NoStart(b) || NoEnd(a)) return false;
  if (IsSpace(a)) return true;
  return IsCJK(a) || IsCJK(b);
}

std::u32string Decode(const char* s, std::size_t n) {
  std::u32string out;
  out.reserve(n);
  std::size_t i = 0;
  while (i < n) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    int len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    char32_t cp = len == 1 ? c : len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : (c & 0x07);
    bool ok = len > 0 && i + std::size_t(len) <= n;
    for (int k = 1; ok && k < len; ++k) {
      unsigned char d = static_cast<unsigned char>(s[i + std::size_t(k)]);
      if ((d & 0xC0) != 0x80) ok = false;
      cp = (cp << 6) | (d & 0x3F);
    }
    // Overlong forms, surrogates and values past Unicode are as bad as a broken sequence.
    static const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (ok && (cp < least[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))) ok = false;
    if (!ok) {
      out.push_back(0xFFFD);
      ++i;
      while (i < n && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) ++i;
      continue;
    }
    if (cp == 0) break;  // the text ends at a NUL, as a C string does
    out.push_back(cp);
    i += std::size_t(len);
  }
  return out;
}

std::string Encode(const char32_t* s, std::size_t n) {
  std::string out;
  out.reserve(n * 3);
  for (std::size_t i = 0; i < n; ++i) {
    char32_t c = s[i];
    if (c < 0x80) {
      out.push_back(char(c));
    } else if (c < 0x800) {
      out.push_back(char(0xC0 | (c >> 6)));
      out.push_back(char(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out.push_back(char(0xE0 | (c >> 12)));
      out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(char(0x80 | (c & 0x3F)));
    } else {
      out.push_back(char(0xF0 | (c >> 18)));
      out.push_back(char(0x80 | ((c >> 12) & 0x3F)));
      out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(char(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

int Edit::Visible() const {
  if (!Multi()) return 1;
  return std::max(1, int(format.bottom - format.top) / line_height);
}

void Edit::SetFont(HFONT f) {
  font = f;
  if (!measure) measure = CreateCompatibleDC(nullptr);
  SelectObject(measure, f ? HGDIOBJ(f) : GetStockObject(SYSTEM_FONT));
  TEXTMETRIC tm;
  if (GetTextMetrics(measure, &tm)) {
    line_height = std::max<int>(1, tm.tmHeight);
    ave_width = std::max<int>(1, tm.tmAveCharWidth);
  }
  widths.assign(0x10000, -1);
  wide_widths.clear();
}

int Edit::CharWidth(char32_t c) {
  if (c < 0x20) return 0;  // line breaks and control characters take no room
  if (password) c = password;
  if (c < 0x10000) {
    short& w = widths[c];
    if (w < 0) {
      INT got = 0;
      GetCharWidth32(measure, UINT(c), UINT(c), &got);
      w = short(std::clamp<INT>(got, 0, 0x7FFF));
    }
    return w;
  }
  auto it = wide_widths.find(c);
  if (it != wide_widths.end()) return it->second;
  INT got = 0;
  GetCharWidth32(measure, UINT(c), UINT(c), &got);
  return wide_widths[c] = std::max<INT>(got, 0);
}

int Edit::Width(char32_t c, int x) {
  if (c != '\t' || password) return CharWidth(c);
  int stop = 0;
  for (int t : tabs)
    if (t > x) {
      stop = t;
      break;
    }
  if (!stop) {
    // Past the last given stop the stops repeat at its distance (or every eight characters).
    int step = tabs.empty() ? 8 * ave_width : tabs.size() == 1 ? tabs[0] : 8 * ave_width;
    step = std::max(1, step);
    stop = (x / step + 1) * step;
  }
  return stop - x;
}

int Edit::Measure(int from, int to) {
  int x = 0;
  for (int i = from; i < to; ++i) x += Width(text[std::size_t(i)], x);
  return x;
}

namespace {

// The line that starts at `start`: where it ends and where the next one starts (-1: none).
Line WrapOne(Edit& e, int start, int* next) {
  const std::u32string& t = e.text;
  const int n = int(t.size());
  const bool multi = e.Multi(), wrap = e.Wraps();
  const int room = std::max<int>(1, e.format.right - e.format.left);
  int x = 0, i = start, last_break = -1;
  while (i < n && !(multi && BreakLen(t, i))) {
    int w = e.Width(t[std::size_t(i)], x);
    if (wrap && x + w > room && i > start && !IsSpace(t[std::size_t(i)])) break;
    x += w;
    ++i;
    if (wrap && i < n && CanBreak(t, i)) last_break = i;
  }
  Line ln{start, i, 0};
  if (i == n || (multi && BreakLen(t, i))) {
    *next = i == n ? -1 : i + BreakLen(t, i);
  } else {
    int end = last_break > start ? last_break : i;  // a word longer than the line is split
    ln.end = end;
    while (ln.end < n && IsSpace(t[std::size_t(ln.end)])) ++ln.end;
    if (ln.end == n)
      *next = -1;
    else if (BreakLen(t, ln.end))
      *next = ln.end + BreakLen(t, ln.end);
    else
      *next = ln.end;
  }
  int trimmed = ln.end;
  while (trimmed > start && IsSpace(t[std::size_t(trimmed - 1)])) --trimmed;
  ln.width = trimmed == i ? x : e.Measure(start, trimmed);
  return ln;
}

void Widest(Edit& e) {
  e.text_width = 0;
  for (const Line& l : e.lines) e.text_width = std::max(e.text_width, l.width);
}

}  // namespace

void Edit::LayoutAll() {
  lines.clear();
  int start = 0, next = 0;
  while (true) {
    lines.push_back(WrapOne(*this, start, &next));
    if (next < 0) break;
    start = next;
  }
  Widest(*this);
}

std::pair<int, int> Edit::Relayout(int at, int removed, int inserted) {
  const int delta = inserted - removed;
  // A change can pull a word back onto the line before, so wrapping starts one line earlier;
  // it stops where a new line starts where an old one did, past the change.
  int first = std::max(0, LineOf(at) - 1);
  std::size_t old = std::size_t(first);
  std::vector<Line> fresh;
  int start = lines[std::size_t(first)].start, next = 0;
  bool synced = false;
  while (true) {
    fresh.push_back(WrapOne(*this, start, &next));
    if (next < 0) break;
    start = next;
    if (start > at + inserted) {
      while (old < lines.size() && lines[old].start + delta < start) ++old;
      if (old < lines.size() && lines[old].start + delta == start && lines[old].start > at) {
        synced = true;
        break;
      }
    }
  }
  std::size_t keep_from = synced ? old : lines.size();
  std::vector<Line> tail(lines.begin() + std::ptrdiff_t(keep_from), lines.end());
  for (Line& l : tail) {
    l.start += delta;
    l.end += delta;
  }
  lines.resize(std::size_t(first));
  lines.insert(lines.end(), fresh.begin(), fresh.end());
  lines.insert(lines.end(), tail.begin(), tail.end());
  Widest(*this);
  return {first, first + int(fresh.size()) - 1};
}

int Edit::LineOf(int pos) const {
  // The last line starting at or before pos.
  auto it = std::upper_bound(lines.begin(), lines.end(), pos,
                             [](int p, const Line& l) { return p < l.start; });
  return std::max(0, int(it - lines.begin()) - 1);
}

int Edit::LineX(int line) const {
  int room = format.right - format.left;
  int w = lines[std::size_t(line)].width;
  int x = format.left - x_offset;
  if (style & ES_CENTER)
    x += std::max(0, (room - w) / 2);
  else if (style & ES_RIGHT)
    x += std::max(0, room - w);
  return x;
}

POINT Edit::PosOf(int pos) {
  pos = std::clamp(pos, 0, Length());
  int l = LineOf(pos);
  const Line& ln = lines[std::size_t(l)];
  // A position in a line's break (or in the spaces past a wrap) sits at the line's end.
  int x = LineX(l) + Measure(ln.start, std::min(pos, ln.end));
  int y = format.top + (Multi() ? (l - first_line) * line_height : 0);
  return POINT{x, y};
}

int Edit::CaretLine() const {
  int l = LineOf(caret);
  if (after_wrap && l > 0 && lines[std::size_t(l)].start == caret &&
      lines[std::size_t(l) - 1].end == caret)
    return l - 1;
  return l;
}

POINT Edit::CaretPoint() {
  int l = CaretLine();
  if (l == LineOf(caret)) return PosOf(caret);
  const Line& ln = lines[std::size_t(l)];
  return POINT{LineX(l) + Measure(ln.start, caret), format.top + (l - first_line) * line_height};
}

int Edit::CharAt(POINT pt, int* line_out, bool* at_wrap) {
  if (at_wrap) *at_wrap = false;
  int dy = int(pt.y - format.top);
  int l = Multi()
              ? first_line + (dy >= 0 ? dy / line_height : -((-dy + line_height - 1) / line_height))
              : 0;
  l = std::clamp(l, 0, int(lines.size()) - 1);
  if (line_out) *line_out = l;
  const Line& ln = lines[std::size_t(l)];
  int x = LineX(l), target = pt.x;
  int end = ln.end;
  // The spaces a wrap leaves are past the line's edge: the caret goes before the last one;
  // without one it stays at the end of this line.
  bool soft = std::size_t(l + 1) < lines.size() && lines[std::size_t(l) + 1].start == ln.end;
  if (soft && end > ln.start && IsSpace(text[std::size_t(end) - 1])) --end;
  for (int i = ln.start; i < end; ++i) {
    int w = Width(text[std::size_t(i)], x - LineX(l));
    if (target < x + (w + 1) / 2) return i;
    x += w;
  }
  if (at_wrap) *at_wrap = soft && end == ln.end;
  return end;
}

void Edit::ResetFormat() {
  GetClientRect(hwnd, &client);
  RECT r = client;
  if (!custom_format) {
    r.left += left_margin;
    r.right -= right_margin;
  }
  SetFormat(r);
}

void Edit::SetFormat(const RECT& r) {
  format = r;
  if (format.right < format.left) format.right = format.left;
  if (Multi()) {
    // Only whole lines are shown.
    int h = std::max(1, int(format.bottom - format.top) / line_height) * line_height;
    format.bottom = format.top + h;
  } else {
    // A single line sits at the top, under the border's room.
    format.bottom = format.top + line_height;
  }
}

}  // namespace win::controls::edit
