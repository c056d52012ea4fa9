// The text conversions every area shares: malformed UTF-8 and GBK become replacement
// characters, and GbkWidth counts what a GB2312 byte rule counts.
#include <gtest/gtest.h>

#include <string>

#include "platform/base/internal/text.h"

namespace {
using namespace win;

TEST(Text, Utf8Utf16RoundTripAndInvalidInput) {
  std::string s = "Vellisa 美容秘笈 \xF0\x9F\x98\x80";
  EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(s)), s);
  EXPECT_EQ(Utf8ToUtf16("\xF0\x9F\x98\x80").size(), 2u);  // a surrogate pair
  struct Case {
    std::string in;
    std::u32string want;
  } cases[] = {
      {"a\xFF"
       "b",
       U"a\uFFFDb"},                  // stray byte
      {"\xE4\xB8", U"\uFFFD"},        // truncated sequence
      {"\xC0\xAF", U"\uFFFD\uFFFD"},  // overlong lead is invalid on its own
      {"\xED\xA0\x80", U"\uFFFD"},    // encoded surrogate
      {"\xE4\xB8"
       "a",
       U"\uFFFDa"},  // truncated, then ASCII survives
  };
  for (auto& c : cases) {
    auto got = DecodeUtf8(c.in);
    EXPECT_EQ(std::u32string(got.begin(), got.end()), c.want) << c.in;
  }
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
}

TEST(Text, GbkConversionAndWidth) {
  const std::string zh = "米饭（一碗约150克）";
  std::string gbk = Utf8ToGbk(zh);
  EXPECT_EQ(int(gbk.size()), GbkWidth(zh));
  EXPECT_EQ(GbkWidth(zh), 19);
  EXPECT_EQ(GbkToUtf8(gbk), zh);
  EXPECT_EQ(GbkWidth("abc"), 3);
  EXPECT_EQ(Utf8ToGbk("a\xF0\x9F\x98\x80"
                      "b"),
            "a?b");                                // not representable in GBK
  EXPECT_EQ(GbkToUtf8("a\x81"), "a\xEF\xBF\xBD");  // truncated double-byte character
}

}  // namespace
