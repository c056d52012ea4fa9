#pragma once
// Text conversion. Text in memory is UTF-8; GBK appears only where a rule counts GB2312
// bytes or a file is ANSI text. Invalid input becomes U+FFFD, never an error.
#include "platform/base/internal/access.h"

#include "platform/base/text.h"

#include <string>
#include <string_view>
#include <vector>

namespace win {

std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);
// Code points of a UTF-8 text; each malformed sequence yields one U+FFFD.
std::vector<char32_t> DecodeUtf8(std::string_view utf8);
void AppendUtf8(std::string& out, char32_t cp);

std::string GbkToUtf8(std::string_view gbk);
// Characters GBK cannot represent become '?'.
std::string Utf8ToGbk(std::string_view utf8);
// Bytes the text takes in GB2312/GBK: ASCII 1, other characters 2.
int GbkWidth(std::string_view utf8);

}  // namespace win
