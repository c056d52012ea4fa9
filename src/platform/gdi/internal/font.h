#pragma once
// Realised fonts: a LOGFONT resolved through fontconfig to FreeType faces at a pixel size,
// with Windows-style metrics and a glyph cache. The realisation hangs off `gdi::Font::impl`
// and is made the first time a font is used for measuring or drawing.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/gdi/internal/access.h"
#include "platform/gdi/internal/objects.h"
#include "platform/gdi/text.h"

namespace win::gdi {

struct FaceEntry;  // an open FreeType face shared by every realisation of its file

// One rasterised glyph. Coverage is 0..255 per pixel; crisp glyphs hold only 0 and 255.
struct Glyph {
  int advance = 0;  // pixels, including simulated bold
  int left = 0;     // bitmap origin relative to the pen position
  int top = 0;      // rows above the baseline
  int width = 0, height = 0;
  bool solid = true;  // coverage holds only 0 and 255
  std::vector<std::uint8_t> coverage;
  // For solid glyphs, the covered spans of each row: drawing them is a few short fills.
  struct Run {
    std::int16_t y, x, len;
  };
  std::vector<Run> runs;  // width * height, top row first
};

// The font at one pixel size, with its fallbacks for characters the face lacks.
class FontRealization {
 public:
  ~FontRealization();
  const TEXTMETRICA& Metrics() const { return tm_; }
  // The face name Windows would report: the requested one, or the face that stands in.
  const std::string& FaceName() const { return face_name_; }
  const std::string& Family() const { return family_; }  // the family actually used
  bool Crisp() const { return crisp_; }                  // a bitmap strike serves this size
  const Glyph& GlyphFor(char32_t cp);
  int Advance(char32_t cp) { return GlyphFor(cp).advance; }
  // Underline and strike-out bars: offset below the baseline (negative = above) and thickness.
  int UnderlinePos() const { return underline_pos_; }
  int UnderlineSize() const { return underline_size_; }
  int StrikePos() const { return strike_pos_; }
  int StrikeSize() const { return strike_size_; }
  bool Underline() const { return tm_.tmUnderlined != 0; }
  bool StrikeOut() const { return tm_.tmStruckOut != 0; }

  struct Sized;  // a face at this realisation's size, with its simulation flags

 private:
  friend std::shared_ptr<FontRealization> RealizeFont(const LOGFONTA& lf);
  Glyph Render(char32_t cp);
  Sized* SizedFor(const std::shared_ptr<FaceEntry>& face);

  TEXTMETRICA tm_;
  std::string face_name_, family_;
  bool crisp_ = false;
  bool mono_ = false;  // NONANTIALIASED_QUALITY: outlines rendered in one bit too
  bool want_bold_ = false, want_italic_ = false;
  double em_ = 12;  // pixels (fractional when a cell height was asked for)
  int underline_pos_ = 1, underline_size_ = 1, strike_pos_ = -3, strike_size_ = 1;
  std::vector<std::unique_ptr<Sized>> faces_;   // [0] = the primary face
  std::unordered_map<char32_t, Glyph> glyphs_;  // node-based: references stay valid
  // Direct lookup for the Basic Multilingual Plane, one page of 256 per high byte.
  std::unique_ptr<std::array<const Glyph*, 256>> pages_[256];
};

// The realisation for a logical font; realisations of equal LOGFONTs are shared.
std::shared_ptr<FontRealization> RealizeFont(const LOGFONTA& lf);
// The realisation of a font object, attached to it on first use.
FontRealization& Realize(Font& font);
// Drops realisations and glyphs (open faces and fontconfig's state stay).
void FlushFontCaches();

// Where a face name leads: the family we ask fontconfig for ("" = best match by name with
// Chinese coverage).
std::string SubstituteFamily(const std::string& face);

}  // namespace win::gdi
