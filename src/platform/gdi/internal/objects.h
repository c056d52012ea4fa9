#pragma once
// Inside the platform: the implementation side of platform/gdi/objects.h.
#include "platform/gdi/internal/access.h"
#include "platform/gdi/objects.h"

#include <array>
#include <memory>
#include <vector>

#include "platform/gdi/internal/bitmap.h"

namespace win::gdi {

struct Brush : HandleObject {
  UINT style = BS_SOLID;
  COLORREF color = 0;
  int hatch = 0;
  std::shared_ptr<Bitmap> pattern;  // BS_PATTERN: 8x8 tile taken from the bitmap (copied)
};

struct Pen : HandleObject {
  int style = PS_SOLID;  // includes end-cap, join and type bits
  int width = 1;
  COLORREF color = 0;
  bool ext = false;
  int Kind() const { return style & PS_STYLE_MASK; }
};

// Font data; the glyph machinery lives with the text code and hangs off `impl`.
struct Font : HandleObject {
  LOGFONTA log;
  std::shared_ptr<void> impl;
};

struct Palette : HandleObject {
  std::vector<PALETTEENTRY> entries;
};

std::shared_ptr<Brush> FindBrush(HBRUSH h);
std::shared_ptr<Pen> FindPen(HPEN h);
std::shared_ptr<Font> FindFont(HFONT h);
std::shared_ptr<Palette> FindPalette(HPALETTE h);

// Index of the entry nearest to `c` by squared RGB distance; the first of equals wins.
// `rgb` gives an entry's red, green and blue.
template <class Entry, class Channels>
std::uint32_t NearestOf(const std::vector<Entry>& table, COLORREF c, Channels rgb) {
  const int r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
  std::uint32_t best = 0;
  int best_d = 1 << 30;
  for (std::size_t i = 0; i < table.size(); ++i) {
    auto [er, eg, eb] = rgb(table[i]);
    int d = (er - r) * (er - r) + (eg - g) * (eg - g) + (eb - b) * (eb - b);
    if (d < best_d) {
      best_d = d;
      best = std::uint32_t(i);
      if (d == 0) break;
    }
  }
  return best;
}
inline std::uint32_t NearestIndex(const std::vector<RGBQUAD>& table, COLORREF c) {
  return NearestOf(table, c, [](const RGBQUAD& q) {
    return std::array<int, 3>{q.rgbRed, q.rgbGreen, q.rgbBlue};
  });
}

// The 1x1 monochrome bitmap every memory DC starts with.
std::shared_ptr<Bitmap> StockBitmap();
std::vector<PALETTEENTRY> DefaultPaletteEntries();

}  // namespace win::gdi
