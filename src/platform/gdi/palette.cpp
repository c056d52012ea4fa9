#include "platform/gdi/internal/palette.h"

#include "platform/base/error.h"
#include "platform/base/internal/geometry.h"
#include "platform/gdi/internal/dc.h"

namespace win {
namespace gdi {

std::vector<PALETTEENTRY> HalftonePaletteEntries() {
  const std::vector<PALETTEENTRY> fixed = DefaultPaletteEntries();
  std::vector<PALETTEENTRY> e(256);
  for (int i = 0; i < 10; ++i) {
    e[i] = fixed[i];
    e[246 + i] = fixed[10 + i];
  }
  int i = 10;
  for (int b = 0; b < 6; ++b)
    for (int g = 0; g < 6; ++g)
      for (int r = 0; r < 6; ++r)
        e[i++] = PALETTEENTRY{BYTE(r * 0x33), BYTE(g * 0x33), BYTE(b * 0x33), 0};
  // The cube's greys are 0x33 apart; these fill the gaps for smoother grey ramps.
  for (int k = 0; i < 246; ++k, ++i) {
    BYTE v = BYTE(8 + 12 * k);
    e[i] = PALETTEENTRY{v, v, v, 0};
  }
  return e;
}

std::vector<PALETTEENTRY> SystemPaletteEntries() {
  const std::vector<PALETTEENTRY> fixed = DefaultPaletteEntries();
  std::vector<PALETTEENTRY> e(256);
  for (int i = 0; i < 10; ++i) {
    e[i] = fixed[i];
    e[246 + i] = fixed[10 + i];
  }
  return e;
}

}  // namespace gdi

using namespace gdi;

namespace {

HPALETTE AddPalette(std::vector<PALETTEENTRY> entries) {
  auto pal = std::make_shared<Palette>();
  pal->type = ObjectType::Palette;
  pal->entries = std::move(entries);
  return static_cast<HPALETTE>(HandleTable::Get().Add(pal));
}

std::uint32_t NearestEntry(const std::vector<PALETTEENTRY>& entries, COLORREF c) {
  return NearestOf(entries, c, [](const PALETTEENTRY& e) {
    return std::array<int, 3>{e.peRed, e.peGreen, e.peBlue};
  });
}

}  // namespace

HPALETTE CreatePalette(const LOGPALETTE* lp) {
  if (!lp || lp->palNumEntries == 0 || lp->palNumEntries > kMaxPaletteEntries) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  const PALETTEENTRY* src = &lp->palPalEntry[0];  // the array runs past its declared size
  return AddPalette(std::vector<PALETTEENTRY>(src, src + lp->palNumEntries));
}

HPALETTE CreateHalftonePalette(HDC dc) {
  if (dc && !FindDC(dc)) return nullptr;
  return AddPalette(HalftonePaletteEntries());
}

HPALETTE SelectPalette(HDC h, HPALETTE pal, BOOL force_background) {
  auto dc = FindDC(h);
  if (!dc) return nullptr;
  auto p = FindPalette(pal);
  if (!p) return nullptr;
  HPALETTE old = static_cast<HPALETTE>(dc->st.palette->handle);
  dc->st.palette = std::move(p);
  return old;
}

UINT RealizePalette(HDC h) {
  if (!FindDC(h)) return GDI_ERROR;
  return 0;
}

COLORREF GetNearestColor(HDC h, COLORREF c) {
  auto dc = FindDC(h);
  if (!dc) return CLR_INVALID;
  if (c & 0x01000000) {  // PALETTEINDEX: an entry of the selected logical palette
    const auto& e = dc->st.palette->entries;
    WORD i = WORD(c & 0xFFFF);
    if (i >= e.size()) i = 0;
    c = RGB(e[i].peRed, e[i].peGreen, e[i].peBlue);
  }
  c &= 0x00FFFFFF;
  const Bitmap* s = dc->surface.get();
  if (!s || !dc->memory) return c;  // the screen shows every colour
  return s->ToColor(s->FromColor(c));
}

UINT GetNearestPaletteIndex(HPALETTE h, COLORREF c) {
  auto p = FindPalette(h);
  if (!p || p->entries.empty()) return CLR_INVALID;
  return NearestEntry(p->entries, c & 0x00FFFFFF);
}

UINT GetPaletteEntries(HPALETTE h, UINT start, UINT count, PALETTEENTRY* entries) {
  auto p = FindPalette(h);
  if (!p) return 0;
  const UINT size = UINT(p->entries.size());
  if (!entries) return size;
  UINT n = 0;
  for (; n < count && start < size && n < size - start; ++n) entries[n] = p->entries[start + n];
  return n;
}

UINT SetPaletteEntries(HPALETTE h, UINT start, UINT count, const PALETTEENTRY* entries) {
  auto p = FindPalette(h);
  if (!p || !entries) return 0;
  if (p->stock) return 0;  // the default palette is shared by every DC
  const UINT size = UINT(p->entries.size());
  UINT n = 0;
  for (; n < count && start < size && n < size - start; ++n) p->entries[start + n] = entries[n];
  return n;
}

BOOL ResizePalette(HPALETTE h, UINT count) {
  auto p = FindPalette(h);
  if (!p) return FALSE;
  if (p->stock || count == 0 || count > kMaxPaletteEntries) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  p->entries.resize(count);
  return TRUE;
}

UINT GetSystemPaletteEntries(HDC h, UINT start, UINT count, PALETTEENTRY* entries) {
  if (!FindDC(h)) return 0;
  static const std::vector<PALETTEENTRY> system = SystemPaletteEntries();
  const UINT size = UINT(system.size());
  if (!entries) return size;
  UINT n = 0;
  for (; n < count && start < size && n < size - start; ++n) entries[n] = system[start + n];
  return n;
}

BOOL AnimatePalette(HPALETTE h, UINT start, UINT count, const PALETTEENTRY* entries) {
  // Nothing on a true-colour screen follows palette animation.
  return FindPalette(h) ? TRUE : FALSE;
}

}  // namespace win
