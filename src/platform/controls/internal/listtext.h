#pragma once
// The text rules the list box and the combo box share: stored text is valid UTF-8, and items
// sort and match as lstrcmpi orders them on a Chinese (PRC) system: symbols, then digits, then
// letters without regard to case, then Chinese characters by their GBK code (pinyin order for
// the common characters), then everything else by code point.
#include <string>

#include "platform/controls/internal/access.h"

namespace win::controls {

// The id Windows gives a combo box's list window, and its edit child's.
constexpr int kComboListId = 1000, kComboEditId = 1001;

// Null is the empty text; invalid sequences become U+FFFD.
std::string SanitizeListText(const char* text);
int CompareListText(const std::string& a, const std::string& b);
bool ListTextHasPrefix(const std::string& text, const std::string& prefix);
std::string EncodeListChar(char32_t ch);

}  // namespace win::controls
