#include "platform/base/internal/text.h"
#include "platform/base/error.h"
#include "platform/base/text.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace win {

std::vector<char32_t> DecodeUtf8(std::string_view s) {
  std::vector<char32_t> out;
  out.reserve(s.size());
  std::size_t i = 0;
  const std::size_t n = s.size();
  while (i < n) {
    auto c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      out.push_back(c);
      ++i;
      continue;
    }
    int len;
    char32_t cp, min;
    if (c >= 0xC2 && c <= 0xDF) {
      len = 2;
      cp = c & 0x1F;
      min = 0x80;
    } else if (c >= 0xE0 && c <= 0xEF) {
      len = 3;
      cp = c & 0x0F;
      min = 0x800;
    } else if (c >= 0xF0 && c <= 0xF4) {
      len = 4;
      cp = c & 0x07;
      min = 0x10000;
    } else {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    int k = 1;
    for (; k < len && i + k < n; ++k) {
      auto cc = static_cast<unsigned char>(s[i + k]);
      if ((cc & 0xC0) != 0x80) break;
      cp = (cp << 6) | (cc & 0x3F);
    }
    if (k < len || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      out.push_back(0xFFFD);
      i += k;  // skip the lead byte and the continuation bytes that belonged to it
      continue;
    }
    out.push_back(cp);
    i += len;
  }
  return out;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
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
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  for (char32_t cp : DecodeUtf8(utf8)) {
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out += char16_t(0xD800 + (cp >> 10));
      out += char16_t(0xDC00 + (cp & 0x3FF));
    } else {
      out += char16_t(cp);
    }
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view s) {
  std::string out;
  out.reserve(s.size() * 3);
  for (std::size_t i = 0; i < s.size(); ++i) {
    char32_t c = s[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 &&
        s[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    AppendUtf8(out, c);
  }
  return out;
}

namespace {

// iconv with a per-character fallback: an unconvertible or malformed sequence is replaced and
// conversion goes on.
std::string Convert(const char* to, const char* from, std::string_view in, std::string_view bad,
                    std::size_t skip_bytes) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(in);
  std::string out;
  out.resize(in.size() * 2 + 16);
  char* src = const_cast<char*>(in.data());
  std::size_t src_left = in.size();
  char* dst = out.data();
  std::size_t dst_left = out.size();
  while (src_left > 0) {
    std::size_t r = iconv(cd, &src, &src_left, &dst, &dst_left);
    if (r != static_cast<std::size_t>(-1)) break;
    if (errno == E2BIG) {
      std::size_t used = out.size() - dst_left;
      out.resize(out.size() * 2);
      dst = out.data() + used;
      dst_left = out.size() - used;
      continue;
    }
    // EILSEQ or EINVAL (truncated): emit the replacement and skip one unit.
    if (dst_left < bad.size()) {
      std::size_t used = out.size() - dst_left;
      out.resize(out.size() * 2 + bad.size());
      dst = out.data() + used;
      dst_left = out.size() - used;
    }
    for (char b : bad) {
      *dst++ = b;
      --dst_left;
    }
    std::size_t step = skip_bytes;
    if (step == 0) {
      // Skip one whole sequence: as long as the lead byte says when well-formed (a literal
      // U+FFFD included), else one byte.
      auto lead = static_cast<unsigned char>(*src);
      std::size_t want = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
      auto seq = DecodeUtf8(std::string_view(src, std::min(src_left, want)));
      step = seq.size() == 1 && want <= src_left ? want : 1;
    }
    step = std::min(step, src_left);
    src += step;
    src_left -= step;
  }
  out.resize(out.size() - dst_left);
  iconv_close(cd);
  return out;
}

}  // namespace

std::string GbkToUtf8(std::string_view gbk) {
  return Convert("UTF-8", "GBK", gbk, "\xEF\xBF\xBD", 1);
}

std::string Utf8ToGbk(std::string_view utf8) { return Convert("GBK", "UTF-8", utf8, "?", 0); }

int GbkWidth(std::string_view utf8) {
  int n = 0;
  for (char32_t cp : DecodeUtf8(utf8)) n += cp < 0x80 ? 1 : 2;
  return n;
}

}  // namespace win

namespace win {
namespace {

// The common tail of both conversions: copies or sizes the result, Windows-style.
template <class Char>
int Deliver(const std::basic_string<Char>& out, Char* buffer, int capacity) {
  if (capacity == 0) return int(out.size());
  if (capacity < 0 || !buffer) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (out.size() > std::size_t(capacity)) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::copy(out.begin(), out.end(), buffer);
  return int(out.size());
}

bool KnownCodePage(UINT cp) {
  return cp == CP_ACP || cp == CP_OEMCP || cp == CP_UTF8 || cp == CP_GBK;
}

}  // namespace

int MultiByteToWideChar(UINT code_page, DWORD, const char* text, int count, WCHAR* wide,
                        int wide_count) {
  if (!KnownCodePage(code_page) || !text || count == 0 || count < -1) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::string_view in = count < 0 ? std::string_view(text, std::strlen(text) + 1)
                                  : std::string_view(text, std::size_t(count));
  std::u16string out = code_page == CP_GBK ? Utf8ToUtf16(GbkToUtf8(in)) : Utf8ToUtf16(in);
  return Deliver(out, wide, wide_count);
}

int WideCharToMultiByte(UINT code_page, DWORD, const WCHAR* wide, int wide_count, char* text,
                        int count, const char*, BOOL* used_default) {
  if (!KnownCodePage(code_page) || !wide || wide_count == 0 || wide_count < -1) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::size_t n = 0;
  if (wide_count < 0) {
    while (wide[n]) ++n;
    ++n;
  } else
    n = std::size_t(wide_count);
  std::string out = Utf16ToUtf8(std::u16string_view(wide, n));
  if (used_default) *used_default = FALSE;
  if (code_page == CP_GBK) {
    std::string gbk = Utf8ToGbk(out);
    if (used_default && GbkToUtf8(gbk) != out) *used_default = TRUE;
    out = std::move(gbk);
  }
  return Deliver(out, text, count);
}

int lstrcmp(const char* a, const char* b) {
  if (!a || !b) return a == b ? 0 : a ? 1 : -1;
  int r = std::strcmp(a, b);
  return r < 0 ? -1 : r > 0 ? 1 : 0;
}

}  // namespace win
