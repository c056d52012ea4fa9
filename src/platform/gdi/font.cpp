#include "platform/gdi/internal/font.h"
#include "platform/testing.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_SIZES_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <map>

#if defined(__SANITIZE_ADDRESS__)
#define VELLISA_LSAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VELLISA_LSAN 1
#endif
#endif
#if VELLISA_LSAN
#include <sanitizer/lsan_interface.h>
#endif

namespace win {
namespace gdi {

// An open face. Faces and the FreeType library live for the whole process: realisations
// only hold sizes on them, and nothing has to be torn down in a particular order at exit.
struct FaceEntry {
  FT_Face face = nullptr;
  std::string family;
  bool bold = false, italic = false;
};

struct FontRealization::Sized {
  std::shared_ptr<FaceEntry> entry;
  FT_Size size = nullptr;
  bool strike = false;
  bool sim_bold = false, sim_italic = false;
};

namespace {

constexpr const char* kMing = "AR PL UMing CN";
constexpr const char* kKai = "AR PL UKai CN";
constexpr const char* kSans = "DejaVu Sans";

FT_Library Library() {
  static FT_Library lib = [] {
    FT_Library l = nullptr;
    FT_Init_FreeType(&l);
    return l;
  }();
  return lib;
}

void InitFontconfig() {
  static bool done = [] {
  // fontconfig's configuration lives for the process, and its parser drops a few blocks
  // on the way; none of that is ours to report.
#if VELLISA_LSAN
    __lsan_disable();
#endif
    FcInit();
#if VELLISA_LSAN
    __lsan_enable();
#endif
    return true;
  }();
  (void)done;
}

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return s;
}

auto& OpenFaces() {
  static auto* faces = new std::map<std::pair<std::string, int>, std::shared_ptr<FaceEntry>>;
  return *faces;
}

std::shared_ptr<FaceEntry> OpenFace(const std::string& file, int index) {
  auto& faces = OpenFaces();
  auto key = std::make_pair(file, index);
  auto it = faces.find(key);
  if (it != faces.end()) return it->second;
  std::shared_ptr<FaceEntry> e;
  FT_Face face = nullptr;
  if (FT_New_Face(Library(), file.c_str(), index, &face) == 0) {
    e = std::make_shared<FaceEntry>();
    e->face = face;
    e->family = face->family_name ? face->family_name : "";
    // The face's own style: fontconfig reports the styles it would synthesise as if the
    // face had them.
    const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    e->bold = (face->style_flags & FT_STYLE_FLAG_BOLD) || (os2 && os2->usWeightClass >= 600);
    e->italic = (face->style_flags & FT_STYLE_FLAG_ITALIC) != 0;
  }
  faces[key] = e;
  return e;
}

std::shared_ptr<FaceEntry> FromPattern(FcPattern* p) {
  FcChar8* file = nullptr;
  int index = 0;
  if (FcPatternGetString(p, FC_FILE, 0, &file) != FcResultMatch) return nullptr;
  FcPatternGetInteger(p, FC_INDEX, 0, &index);
  auto e = OpenFace(reinterpret_cast<const char*>(file), index);
  if (e) {
    FcChar8* fam = nullptr;
    if (FcPatternGetString(p, FC_FAMILY, 0, &fam) == FcResultMatch)
      e->family = reinterpret_cast<const char*>(fam);
  }
  return e;
}

bool PatternHas(FcPattern* p, char32_t cp) {
  FcCharSet* cs = nullptr;
  return FcPatternGetCharSet(p, FC_CHARSET, 0, &cs) == FcResultMatch && FcCharSetHasChar(cs, cp);
}

// A family (or, with `chinese`, the best face for a name that covers Chinese) in the
// wanted weight and slant; fontconfig decides, we only check coverage.
std::shared_ptr<FaceEntry> Resolve(const std::string& family, bool bold, bool italic,
                                   bool chinese) {
  static auto* cache = new std::map<std::string, std::shared_ptr<FaceEntry>>;
  std::string key = family + (bold ? "|b" : "|") + (italic ? "i" : "") + (chinese ? "z" : "");
  auto it = cache->find(key);
  if (it != cache->end()) return it->second;
  InitFontconfig();
  FcPattern* pat = FcPatternCreate();
  if (!family.empty())
    FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  if (chinese) FcPatternAddString(pat, FC_LANG, reinterpret_cast<const FcChar8*>("zh-cn"));
  FcPatternAddInteger(pat, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pat, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcConfigSubstitute(nullptr, pat, FcMatchPattern);
  FcDefaultSubstitute(pat);
  std::shared_ptr<FaceEntry> e;
  FcResult res;
  if (chinese) {
    // The name's own match may be a Latin face; take the first in fontconfig's order
    // that can show Chinese.
    if (FcFontSet* set = FcFontSort(nullptr, pat, FcFalse, nullptr, &res)) {
      for (int i = 0; i < set->nfont && !e; ++i) {
        if (!PatternHas(set->fonts[i], U'\u4E2D')) continue;
        FcPattern* full = FcFontRenderPrepare(nullptr, pat, set->fonts[i]);
        if (full) {
          e = FromPattern(full);
          FcPatternDestroy(full);
        }
      }
      FcFontSetDestroy(set);
    }
  }
  if (!e) {
    if (FcPattern* m = FcFontMatch(nullptr, pat, &res)) {
      e = FromPattern(m);
      FcPatternDestroy(m);
    }
  }
  FcPatternDestroy(pat);
  (*cache)[key] = e;
  return e;
}

// A face that has `cp`, for characters the chosen faces lack.
std::shared_ptr<FaceEntry> FallbackFor(char32_t cp) {
  static auto* cache = new std::unordered_map<char32_t, std::shared_ptr<FaceEntry>>;
  auto it = cache->find(cp);
  if (it != cache->end()) return it->second;
  InitFontconfig();
  std::shared_ptr<FaceEntry> e;
  FcPattern* pat = FcPatternCreate();
  FcCharSet* cs = FcCharSetCreate();
  FcCharSetAddChar(cs, cp);
  FcPatternAddCharSet(pat, FC_CHARSET, cs);
  FcPatternAddString(pat, FC_LANG, reinterpret_cast<const FcChar8*>("zh-cn"));
  FcConfigSubstitute(nullptr, pat, FcMatchPattern);
  FcDefaultSubstitute(pat);
  FcResult res;
  if (FcPattern* m = FcFontMatch(nullptr, pat, &res)) {
    if (PatternHas(m, cp)) e = FromPattern(m);
    FcPatternDestroy(m);
  }
  FcPatternDestroy(pat);
  FcCharSetDestroy(cs);
  (*cache)[cp] = e;
  return e;
}

bool CoversChinese(FT_Face f) { return FT_Get_Char_Index(f, 0x4E2D) != 0; }

int Round(double v) { return int(std::floor(v + 0.5)); }

std::string RealizationKey(const LOGFONTA& lf) {
  std::string k = Lower(lf.lfFaceName);
  k += '|' + std::to_string(lf.lfHeight) + '|' + std::to_string(lf.lfWeight >= FW_SEMIBOLD) +
       std::to_string(lf.lfItalic != 0) + std::to_string(lf.lfUnderline != 0) +
       std::to_string(lf.lfStrikeOut != 0) +
       std::to_string(lf.lfQuality == NONANTIALIASED_QUALITY) + '|' + std::to_string(lf.lfCharSet) +
       '|' + std::to_string(lf.lfWeight);
  return k;
}

auto& Realizations() {
  static auto* map = new std::unordered_map<std::string, std::shared_ptr<FontRealization>>;
  return *map;
}

}  // namespace

std::string SubstituteFamily(const std::string& face) {
  static const std::map<std::string, const char*> table = {
      {"\xE5\xAE\x8B\xE4\xBD\x93", kMing},              // 宋体
      {"\xE6\x96\xB0\xE5\xAE\x8B\xE4\xBD\x93", kMing},  // 新宋体
      {"simsun", kMing},
      {"nsimsun", kMing},
      {"", kMing},
      {"\xE6\xA5\xB7\xE4\xBD\x93_gb2312", kKai},  // 楷体_GB2312
      {"\xE6\xA5\xB7\xE4\xBD\x93", kKai},         // 楷体
      {"kaiti", kKai},
      {"kaiti_gb2312", kKai},
      {"ms sans serif", kSans},
      {"microsoft sans serif", kSans},
      {"ms shell dlg", kSans},
      {"ms shell dlg 2", kSans},
      {"tahoma", kSans},
      {"arial", kSans},
  };
  auto it = table.find(Lower(face));
  return it == table.end() ? std::string() : it->second;
}

FontRealization::~FontRealization() {
  for (auto& s : faces_)
    if (s->size) FT_Done_Size(s->size);
}

FontRealization::Sized* FontRealization::SizedFor(const std::shared_ptr<FaceEntry>& entry) {
  for (auto& s : faces_)
    if (s->entry == entry) return s.get();
  auto s = std::make_unique<Sized>();
  s->entry = entry;
  FT_Face f = entry->face;
  if (FT_New_Size(f, &s->size) != 0) return nullptr;
  FT_Activate_Size(s->size);
  int strike = -1;
  if (std::abs(em_ - std::round(em_)) < 1e-9)
    for (int i = 0; i < f->num_fixed_sizes; ++i)
      if (((f->available_sizes[i].y_ppem + 32) >> 6) == Round(em_)) strike = i;
  if (strike >= 0 && FT_Select_Size(f, strike) == 0)
    s->strike = true;
  else
    FT_Set_Char_Size(f, 0, FT_F26Dot6(std::lround(em_ * 64)), 72, 72);
  s->sim_bold = want_bold_ && !entry->bold;
  s->sim_italic = want_italic_ && !entry->italic;
  faces_.push_back(std::move(s));
  return faces_.back().get();
}

const Glyph& FontRealization::GlyphFor(char32_t cp) {
  if (cp < 0x10000) {
    auto& page = pages_[cp >> 8];
    if (page && (*page)[cp & 0xFF]) return *(*page)[cp & 0xFF];
    if (!page) page = std::make_unique<std::array<const Glyph*, 256>>();
    const Glyph& g = glyphs_.emplace(cp, Render(cp)).first->second;
    (*page)[cp & 0xFF] = &g;
    return g;
  }
  auto it = glyphs_.find(cp);
  if (it != glyphs_.end()) return it->second;
  return glyphs_.emplace(cp, Render(cp)).first->second;
}

Glyph FontRealization::Render(char32_t cp) {
  Glyph g;
  if (cp < 0x20 || cp == 0x7F) return g;  // control characters take no room
  Sized* sized = nullptr;
  FT_UInt index = 0;
  for (auto& s : faces_)
    if ((index = FT_Get_Char_Index(s->entry->face, cp)) != 0) {
      sized = s.get();
      break;
    }
  if (!sized) {
    // Ming covers the Chinese a Latin face lacks, DejaVu the symbols Ming lacks; anything
    // else goes to fontconfig.
    for (auto fam : {kMing, kSans}) {
      auto e = Resolve(fam, false, false, false);
      if (e && (index = FT_Get_Char_Index(e->face, cp)) != 0) {
        sized = SizedFor(e);
        break;
      }
    }
    if (!sized) {
      auto e = FallbackFor(cp);
      if (e && (index = FT_Get_Char_Index(e->face, cp)) != 0) sized = SizedFor(e);
    }
    if (!sized) {
      if (faces_.empty()) return g;
      sized = faces_[0].get();  // its missing-glyph box
      index = 0;
    }
  }
  FT_Face f = sized->entry->face;
  FT_Activate_Size(sized->size);
  bool mono = mono_ || crisp_;
  FT_Int32 flags = FT_LOAD_DEFAULT | (mono ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_LIGHT);
  // Outlines are sheared before rendering; bitmap strikes row by row afterwards.
  if (sized->sim_italic && !sized->strike) flags |= FT_LOAD_NO_BITMAP;
  // Ming's bitmap strikes are shared by its regional faces and place full-width
  // punctuation in the middle of the cell (the Taiwan style); mainland text wants it where
  // the outline puts it, low and to the left, so such bitmaps move to the outline's place.
  int shift_x = 0, shift_y = 0;
  bool punct = sized->strike && !(flags & FT_LOAD_NO_BITMAP) &&
               ((cp >= 0x3000 && cp <= 0x303F) || (cp >= 0xFF00 && cp <= 0xFF65));
  double ox = 0, oy = 0;  // centre of the outline's ink, pixels right of / above the origin
  if (punct) {
    punct = FT_Load_Glyph(f, index, FT_LOAD_NO_BITMAP | FT_LOAD_NO_HINTING) == 0;
    const FT_Glyph_Metrics& m = f->glyph->metrics;
    ox = (m.horiBearingX + m.width / 2.0) / 64;
    oy = (m.horiBearingY - m.height / 2.0) / 64;
  }
  if (FT_Load_Glyph(f, index, flags) != 0) return g;
  FT_GlyphSlot slot = f->glyph;
  int advance = int((slot->advance.x + 32) >> 6);
  int bold_px = 0;
  if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
    if (sized->sim_bold) {
      bold_px = std::max(1, Round(em_ / 24));
      FT_Outline_EmboldenXY(&slot->outline, bold_px * 64, 0);
    }
    if (sized->sim_italic) {
      FT_Matrix shear{0x10000, 0x0366A, 0, 0x10000};
      FT_Outline_Transform(&slot->outline, &shear);
    }
    if (FT_Render_Glyph(slot, mono ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) != 0) return g;
  } else if (sized->sim_bold) {
    bold_px = 1;  // bitmap strikes are widened by a pixel, as Windows does
  }
  const FT_Bitmap& bm = slot->bitmap;
  int w = int(bm.width), h = int(bm.rows);
  int extra = slot->format == FT_GLYPH_FORMAT_OUTLINE ? 0 : bold_px;
  g.advance = advance + bold_px;
  if (punct && slot->format == FT_GLYPH_FORMAT_BITMAP && bm.pixel_mode == FT_PIXEL_MODE_MONO) {
    int ix0 = w, iy0 = h, ix1 = 0, iy1 = 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        if ((bm.buffer[std::ptrdiff_t(y) * bm.pitch + (x >> 3)] >> (7 - (x & 7))) & 1) {
          ix0 = std::min(ix0, x);
          ix1 = std::max(ix1, x + 1);
          iy0 = std::min(iy0, y);
          iy1 = std::max(iy1, y + 1);
        }
    if (ix0 < ix1) {
      if (cp == 0x3001 || cp == 0x3002 || cp == 0xFF0E) {
        // The ideographic comma and full stops sit at the bottom left of the cell.
        shift_x = std::max(1, Round(em_ / 12)) - (slot->bitmap_left + ix0);
        shift_y = (iy1 - 1) - slot->bitmap_top;
      } else {
        double bx = slot->bitmap_left + (ix0 + ix1) / 2.0,
               by = slot->bitmap_top - (iy0 + iy1) / 2.0;
        if (std::abs(ox - bx) >= 2 || std::abs(oy - by) >= 2) {
          shift_x = Round(ox - bx);
          shift_y = Round(oy - by);
        }
      }
    }
  }
  g.left = slot->bitmap_left + shift_x;
  g.top = slot->bitmap_top + shift_y;
  g.width = w + extra;
  g.height = h;
  g.coverage.assign(std::size_t(g.width) * h, 0);
  for (int y = 0; y < h; ++y) {
    const unsigned char* row = bm.buffer + std::ptrdiff_t(y) * bm.pitch;
    if (bm.pitch < 0) row = bm.buffer + std::ptrdiff_t(h - 1 - y) * -bm.pitch;
    std::uint8_t* out = &g.coverage[std::size_t(y) * g.width];
    for (int x = 0; x < w; ++x) {
      std::uint8_t v;
      if (bm.pixel_mode == FT_PIXEL_MODE_MONO)
        v = (row[x >> 3] >> (7 - (x & 7))) & 1 ? 255 : 0;
      else if (bm.pixel_mode == FT_PIXEL_MODE_GRAY)
        v = bm.num_grays == 256 ? row[x]
                                : std::uint8_t(row[x] * 255 / std::max(1, bm.num_grays - 1));
      else
        v = 0;
      if (mono) v = v >= 128 ? 255 : 0;
      out[x] = std::max(out[x], v);
      if (extra) out[x + 1] = std::max(out[x + 1], v);
    }
  }
  if (sized->sim_italic && slot->format == FT_GLYPH_FORMAT_BITMAP && g.height > 0) {
    // Each row moves right by its height above the baseline times the slant (about 12°).
    auto shift = [&](int y) { return int(std::floor((g.top - y - 0.5) * 0.2126)); };
    int lo = shift(g.height - 1), hi = shift(0);
    int nw = g.width + hi - lo;
    std::vector<std::uint8_t> sheared(std::size_t(nw) * g.height, 0);
    for (int y = 0; y < g.height; ++y)
      std::copy_n(&g.coverage[std::size_t(y) * g.width], g.width,
                  &sheared[std::size_t(y) * nw + (shift(y) - lo)]);
    g.coverage.swap(sheared);
    g.width = nw;
    g.left += lo;
  }
  for (std::uint8_t v : g.coverage)
    if (v != 0 && v != 255) {
      g.solid = false;
      break;
    }
  if (g.solid)
    for (int y = 0; y < g.height; ++y) {
      const std::uint8_t* row = &g.coverage[std::size_t(y) * g.width];
      for (int x = 0; x < g.width;) {
        if (!row[x]) {
          ++x;
          continue;
        }
        int b = x;
        while (x < g.width && row[x]) ++x;
        g.runs.push_back({std::int16_t(y), std::int16_t(b), std::int16_t(x - b)});
      }
    }
  return g;
}

std::shared_ptr<FontRealization> RealizeFont(const LOGFONTA& lf_in) {
  LOGFONTA lf = lf_in;
  lf.lfFaceName[LF_FACESIZE - 1] = 0;
  auto& map = Realizations();
  std::string key = RealizationKey(lf);
  auto it = map.find(key);
  if (it != map.end()) return it->second;

  auto r = std::shared_ptr<FontRealization>(new FontRealization);
  std::string requested = lf.lfFaceName;
  bool bold = lf.lfWeight >= FW_SEMIBOLD;
  bool italic = lf.lfItalic != 0;
  std::string family = SubstituteFamily(requested);
  auto entry = family.empty() ? Resolve(requested, bold, italic, true)
                              : Resolve(family, bold, italic, false);
  if (!entry) entry = Resolve(kMing, bold, italic, false);
  if (!entry) entry = Resolve("", bold, italic, true);
  r->want_bold_ = bold;
  r->want_italic_ = italic;
  r->mono_ = lf.lfQuality == NONANTIALIASED_QUALITY;
  r->face_name_ = requested.empty() ? std::string("\xE5\xAE\x8B\xE4\xBD\x93") : requested;
  TEXTMETRICA& tm = r->tm_;
  if (!entry) {  // no fonts at all: empty glyphs with plausible metrics
    tm.tmHeight = 12;
    tm.tmAscent = 10;
    tm.tmDescent = 2;
    tm.tmAveCharWidth = 6;
    tm.tmMaxCharWidth = 12;
    tm.tmWeight = FW_NORMAL;
    map[key] = r;
    return r;
  }
  FT_Face f = entry->face;
  r->family_ = entry->family;
  double upem = f->units_per_EM ? f->units_per_EM : 1000;
  const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(f, FT_SFNT_OS2));
  const TT_HoriHeader* hhea = static_cast<const TT_HoriHeader*>(FT_Get_Sfnt_Table(f, FT_SFNT_HHEA));
  double asc = os2 && os2->usWinAscent ? os2->usWinAscent : f->ascender;
  double desc = os2 && os2->usWinDescent ? os2->usWinDescent : -f->descender;
  if (asc + desc <= 0) {
    asc = upem * 0.8;
    desc = upem * 0.2;
  }
  // Chinese faces keep the whole cell inside the em, as SimSun does: no internal leading.
  bool cjk = CoversChinese(f);
  double em;
  int height = 0;
  LONG h = lf.lfHeight;
  if (h < 0)
    em = double(std::min<std::int64_t>(-std::int64_t(h), 2048));  // INT_MIN has no int negation
  else if (h > 0) {
    height = std::min<LONG>(h, 2048);
    em = cjk ? height : height * upem / (asc + desc);
  } else
    em = 12;
  r->em_ = em;
  if (cjk) {
    if (!height) height = Round(em);
    tm.tmAscent = Round(height * asc / (asc + desc));
    tm.tmDescent = height - tm.tmAscent;
  } else if (height) {
    tm.tmAscent = Round(height * asc / (asc + desc));
    tm.tmDescent = height - tm.tmAscent;
  } else {
    tm.tmAscent = Round(em * asc / upem);
    tm.tmDescent = Round(em * desc / upem);
    height = tm.tmAscent + tm.tmDescent;
  }
  tm.tmHeight = height;
  tm.tmInternalLeading = std::max(0, height - Round(em));
  if (hhea) {
    double gap = hhea->Line_Gap - ((asc + desc) - (hhea->Ascender - hhea->Descender));
    tm.tmExternalLeading = std::max(0, Round(gap * em / upem));
  }
  bool sim_bold = bold && !entry->bold;
  int bold_px = sim_bold ? std::max(1, Round(em / 24)) : 0;
  double avg = os2 && os2->xAvgCharWidth > 0 ? os2->xAvgCharWidth : upem / 2;
  tm.tmAveCharWidth = std::max(1, Round(avg * em / upem)) + bold_px;
  tm.tmMaxCharWidth = (cjk ? Round(em) : Round(f->max_advance_width * em / upem)) + bold_px;
  tm.tmWeight = lf.lfWeight ? lf.lfWeight : FW_NORMAL;
  tm.tmItalic = italic ? 1 : 0;
  tm.tmUnderlined = lf.lfUnderline ? 1 : 0;
  tm.tmStruckOut = lf.lfStrikeOut ? 1 : 0;
  tm.tmDigitizedAspectX = tm.tmDigitizedAspectY = 96;
  tm.tmFirstChar = 0x20;
  tm.tmLastChar = 0xFF;
  tm.tmDefaultChar = 0x1F;
  tm.tmBreakChar = 0x20;
  tm.tmCharSet = lf.lfCharSet != DEFAULT_CHARSET ? lf.lfCharSet
                 : cjk                           ? GB2312_CHARSET
                                                 : ANSI_CHARSET;
  bool fixed = cjk || FT_IS_FIXED_WIDTH(f);
  std::string fam = Lower(entry->family);
  BYTE family_bits =
      cjk || fixed                                                                      ? FF_MODERN
      : fam.find("serif") != std::string::npos && fam.find("sans") == std::string::npos ? FF_ROMAN
                                                                                        : FF_SWISS;
  tm.tmPitchAndFamily =
      BYTE(family_bits | TMPF_TRUETYPE | TMPF_VECTOR | (fixed ? 0 : TMPF_FIXED_PITCH));

  int ul_size = std::max(1, Round(f->underline_thickness * em / upem));
  int ul_pos = std::max(1, Round(-f->underline_position * em / upem - ul_size / 2.0));
  if (ul_pos + ul_size > tm.tmDescent) ul_pos = std::max(0, int(tm.tmDescent) - ul_size);
  r->underline_size_ = ul_size;
  r->underline_pos_ = ul_pos;
  double so_pos = os2 && os2->yStrikeoutPosition > 0 ? os2->yStrikeoutPosition : upem * 0.25;
  double so_size = os2 && os2->yStrikeoutSize > 0 ? os2->yStrikeoutSize : f->underline_thickness;
  r->strike_size_ = std::max(1, Round(so_size * em / upem));
  r->strike_pos_ = -std::max(1, Round(so_pos * em / upem));

  auto* primary = r->SizedFor(entry);
  r->crisp_ = primary && primary->strike;
  if (map.size() > 256)  // forget realisations no font holds any more
    for (auto i = map.begin(); i != map.end();) i = i->second.use_count() == 1 ? map.erase(i) : ++i;
  map[key] = r;
  return r;
}

FontRealization& Realize(Font& font) {
  if (!font.impl) font.impl = RealizeFont(font.log);
  return *static_cast<FontRealization*>(font.impl.get());
}

void FlushFontCaches() { Realizations().clear(); }

}  // namespace gdi

void FlushFontCaches() { gdi::FlushFontCaches(); }

}  // namespace win
