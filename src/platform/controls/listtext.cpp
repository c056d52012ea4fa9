#include "platform/controls/internal/listtext.h"

#include <cstdint>
#include <vector>

#include "platform/win.h"

namespace win::controls {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// One code point from valid or invalid UTF-8; a bad byte yields U+FFFD and is skipped.
char32_t Next(const std::string& s, std::size_t& i) {
  auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
  unsigned char c = b(i);
  if (c < 0x80) {
    ++i;
    return c;
  }
  int len = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 && c < 0xE0 ? 2 : 0;
  if (c >= 0xF5) len = 0;
  if (!len || i + len > s.size()) {
    ++i;
    return kReplacement;
  }
  char32_t cp = c & (0x7F >> len);
  for (int k = 1; k < len; ++k) {
    unsigned char t = b(i + k);
    if ((t & 0xC0) != 0x80) {
      ++i;
      return kReplacement;
    }
    cp = (cp << 6) | (t & 0x3F);
  }
  static constexpr char32_t kMin[5] = {0, 0, 0x80, 0x800, 0x10000};
  if (cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    ++i;
    return kReplacement;
  }
  i += len;
  return cp;
}

// The GBK code of a character of the Basic Multilingual Plane, 0 when GBK has none; looked up
// once per character.
unsigned GbkCode(char32_t cp) {
  static std::vector<std::uint16_t> cache(0x10000, 0);
  if (cp >= 0x10000) return 0;
  std::uint16_t& slot = cache[cp];
  if (slot == 0) {
    WCHAR w = WCHAR(cp);
    char out[4];
    BOOL defaulted = FALSE;
    int n = WideCharToMultiByte(CP_GBK, 0, &w, 1, out, sizeof out, nullptr, &defaulted);
    slot = (n == 2 && !defaulted)
               ? std::uint16_t((unsigned(static_cast<unsigned char>(out[0])) << 8) |
                               static_cast<unsigned char>(out[1]))
               : 0xFFFF;
  }
  return slot == 0xFFFF ? 0 : slot;
}

std::uint32_t Weight(char32_t cp) {
  if (cp >= U'0' && cp <= U'9') return 0x100 + cp;
  if (cp >= U'A' && cp <= U'Z') return 0x200 + (cp - U'A' + U'a');
  if (cp >= U'a' && cp <= U'z') return 0x200 + cp;
  if (cp < 0x80) return cp;
  if (unsigned g = GbkCode(cp)) return 0x10000 + g;
  return 0x20000 + cp;
}

}  // namespace

std::string EncodeListChar(char32_t cp) {
  std::string out;
  if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = kReplacement;
  if (cp < 0x80) {
    out += char(cp);
  } else if (cp < 0x800) {
    out += char(0xC0 | (cp >> 6));
    out += char(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += char(0xE0 | (cp >> 12));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  } else {
    out += char(0xF0 | (cp >> 18));
    out += char(0x80 | ((cp >> 12) & 0x3F));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  }
  return out;
}

std::string SanitizeListText(const char* text) {
  if (!text) return {};
  std::string in(text);
  std::string out;
  out.reserve(in.size());
  for (std::size_t i = 0; i < in.size();) {
    std::size_t at = i;
    char32_t cp = Next(in, i);
    if (cp == kReplacement && !(i - at == 3 && in.compare(at, 3, "\xEF\xBF\xBD") == 0))
      out += EncodeListChar(kReplacement);
    else
      out.append(in, at, i - at);
  }
  return out;
}

int CompareListText(const std::string& a, const std::string& b) {
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    std::uint32_t wa = Weight(Next(a, i)), wb = Weight(Next(b, j));
    if (wa != wb) return wa < wb ? -1 : 1;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

bool ListTextHasPrefix(const std::string& text, const std::string& prefix) {
  std::size_t i = 0, j = 0;
  while (j < prefix.size()) {
    if (i >= text.size()) return false;
    if (Weight(Next(text, i)) != Weight(Next(prefix, j))) return false;
  }
  return true;
}

}  // namespace win::controls
