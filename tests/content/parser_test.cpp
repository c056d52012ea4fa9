#include <stdexcept>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "schema.h"
#include "source_parser.h"
#include "text_fit.h"

namespace vellisa::content {
namespace {

using ::testing::AllOf;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::StartsWith;

const std::vector<std::string_view> kNameDemo = {"Name", "demo"};

std::string times(std::string_view s, int n)
{
    std::string out;
    for (int i = 0; i < n; ++i)
        out += s;
    return out;
}

const TableSpec& table_of(std::string_view source)
{
    for (const TableSpec& spec : tables()) {
        if (spec.source == source)
            return spec;
    }
    throw std::invalid_argument("no table reads " + std::string(source));
}

TEST(SourceParser, ReadsRecordsWithOneLineAndBlockFields)
{
    const std::string text = "\xEF\xBB\xBF# recipes\r\n"
                             "\r\n"
                             "[7]\r\n"
                             "demo <<\r\n"
                             "  第一段 = 不是字段\r\n"
                             "\r\n"
                             "[8]\r\n"
                             "# 不是注释\r\n"
                             ">>\r\n"
                             "  Name   =  番茄 炒蛋  \r\n"
                             "# between records\n"
                             "[2]\n"
                             "Name=a = b <<\n"
                             "demo<<\n"
                             "一行\n"
                             ">>"; // no final line break
    auto records = parse_records(text, "sp.txt", kNameDemo);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].id, 7);
    EXPECT_EQ(records[0].line, 3);
    // Fields come back in the table's order whatever order the source sets them in.
    EXPECT_THAT(records[0].values, ElementsAre("番茄 炒蛋", "  第一段 = 不是字段\r\n\r\n[8]\r\n# 不是注释"));
    EXPECT_THAT(records[0].lines, ElementsAre(10, 4));
    EXPECT_EQ(records[1].id, 2);
    EXPECT_THAT(records[1].values, ElementsAre("a = b <<", "一行"));
}

struct BadSource {
    const char* name;
    std::string text;
    std::string where; // "<file>:<line>:", the file naming the table whose source `text` is
    std::string what;
    bool warns = false; // a warning only: the source loads
};

// Test listings name the case instead of dumping its bytes.
void PrintTo(const BadSource& c, std::ostream* os)
{
    *os << c.name;
}

class SourceFault : public ::testing::TestWithParam<BadSource> { };

TEST_P(SourceFault, IsReportedWithFileAndLine)
{
    const BadSource& c = GetParam();
    const std::string file = c.where.substr(0, c.where.find(':'));
    std::vector<std::string> warnings;
    try {
        load_table(table_of(file), c.text, file, warnings);
        ASSERT_TRUE(c.warns) << "accepted";
        // Exactly one: GB2312 punctuation the fixtures also hold is no cause for a warning.
        EXPECT_THAT(warnings, ElementsAre(AllOf(StartsWith("warning: " + c.where + " "), HasSubstr(c.what))));
    } catch (const SourceError& e) {
        ASSERT_FALSE(c.warns) << e.what();
        EXPECT_THAT(e.what(), StartsWith(c.where + " "));
        EXPECT_THAT(e.what(), HasSubstr(c.what));
    }
}

// A household note of eight short lines and one line of 44 characters, which wraps.
const std::string kTenLineNote =
    "[19]\nname = 标题\ncontent <<\n" + times("一行\n", 8) + times("字", 44) + "\n>>\n";

INSTANTIATE_TEST_SUITE_P(
    Faults, SourceFault,
    ::testing::Values(
        BadSource {"UnknownField", "[1]\nName = a\nDemo = b\n", "data1/sp.txt:3:", "unknown field 'Demo'"},
        BadSource {"UnknownBlockField", "[1]\nName = a\ntext <<\nb\n>>\n",
                   "data1/sp.txt:3:", "unknown field 'text'"},
        BadSource {"MissingFieldAtEnd", "[1]\nName = a\ndemo <<\nb\n>>\n\n[2]\nName = c\n",
                   "data1/sp.txt:7:", "record [2] has no field 'demo'"},
        BadSource {"MissingFieldBeforeNext", "[1]\ndemo = b\n[2]\nName = c\ndemo = d\n",
                   "data1/sp.txt:1:", "record [1] has no field 'Name'"},
        BadSource {"DuplicateKey", "[1]\nName = a\ndemo = b\n[01]\nName = c\ndemo = d\n",
                   "data1/sp.txt:4:", "duplicate key [1] (first used on line 1)"},
        BadSource {"UnclosedBlock", "[1]\nName = a\ndemo <<\nb\n>> \n",
                   "data1/sp.txt:3:", "unclosed block of field 'demo'"},
        BadSource {"FieldSetTwice", "[1]\nName = a\nName = b\ndemo = c\n",
                   "data1/sp.txt:3:", "field 'Name' set twice"},
        BadSource {"EmptyValue", "[1]\nName =\ndemo = c\n", "data1/sp.txt:2:", "field 'Name' is empty"},
        BadSource {"EmptyBlock", "[1]\nName = a\ndemo <<\n\n>>\n",
                   "data1/sp.txt:3:", "field 'demo' is empty"},
        BadSource {"FieldBeforeRecord", "Name = a\n", "data1/sp.txt:1:", "field outside a record"},
        BadSource {"BadHeader", "[1]\nName = a\ndemo = b\n[x2]\n",
                   "data1/sp.txt:4:", "malformed record header '[x2]'"},
        BadSource {"NegativeKey", "[-1]\n", "data1/sp.txt:1:", "malformed record header"},
        BadSource {"NoSyntax", "[1]\nName a\n", "data1/sp.txt:2:", "expected 'field = value'"},
        BadSource {"InvalidUtf8", "[1]\nName = \xE7\x95\n", "data1/sp.txt:2:", "not valid UTF-8"},
        BadSource {"InvalidUtf8InBlock", "[1]\nName = a\ndemo <<\nok\n\xC0\xAF\n>>\n",
                   "data1/sp.txt:5:", "not valid UTF-8"},
        BadSource {"TooLongForItsMemo", kTenLineNote, "data2/01.txt:3:",
                   "content of record [19] takes 10 lines in the household memo, which shows 9"},
        BadSource {
            "CalorieTitleTooWide", "[1]\nname = 肉类\ntitle = 猪肉炖粉条（一大碗约400克）\nsz = 520千卡\n",
            "data1/01.txt:3:", "title '猪肉炖粉条（一大碗约400克）' is 27 bytes wide, more than the 22"},
        BadSource {"CalorieValueTooWide", "[1]\nname = 肉类\ntitle = 红烧肉\nsz = 约800至900千卡\n",
                   "data1/01.txt:4:", "sz '约800至900千卡' is 14 bytes wide, more than the 10"},
        BadSource {"OutsideGb2312",
                   "[1]\nName = 零食\ndemo <<\n坚果——每天一小把\n\n不要盐焗的·不要糖衣的\n>>\n",
                   "data1/yd.txt:6:", "'焗' (U+7117) is outside GB2312 (GBK has it)", true},
        BadSource {"OutsideGbk", "[1]\nname = 日本料理类\ntitle = 𠮷野家牛肉饭（一碗）\nsz = 660千卡\n",
                   "data1/01.txt:3:", "'𠮷' (U+20BB7) is outside GBK and GB2312", true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SourceParser, Utf8Validation)
{
    EXPECT_TRUE(is_valid_utf8("番茄 abc \xF0\x9F\x8D\x85"));
    EXPECT_FALSE(is_valid_utf8("\xE0\x80\xAF")); // overlong '/'
    EXPECT_FALSE(is_valid_utf8("\xED\xA0\x80")); // surrogate
    EXPECT_FALSE(is_valid_utf8("\xF4\x90\x80\x80")); // beyond U+10FFFF
    EXPECT_FALSE(is_valid_utf8("\xE7\x95")); // cut short
    EXPECT_FALSE(is_valid_utf8("\xFF"));
}

struct MemoText {
    const char* name;
    std::string text;
    int lines;
};

void PrintTo(const MemoText& c, std::ostream* os)
{
    *os << c.name;
}

class HouseholdMemo : public ::testing::TestWithParam<MemoText> { };

TEST_P(HouseholdMemo, WrapsAsTheEditControlDoes)
{
    EXPECT_EQ(memo_lines(GetParam().text, kHouseholdMemo), GetParam().lines);
}

// 43 Chinese characters (559 px) fill a line; a Latin character is 7 px.
INSTANTIATE_TEST_SUITE_P(
    Lines, HouseholdMemo,
    ::testing::Values(MemoText {"FullLine", times("字", 43), 1},
                      MemoText {"OneCharacterOver", times("字", 44), 2},
                      MemoText {"PunctuationMayStartALine", times("字", 43) + "。", 2},
                      MemoText {"BreaksAndBlankLines", "一\r\n\r\n" + times("字", 87), 5},
                      MemoText {"LatinWordThatFits", times("字", 40) + "ABCDE", 1},
                      // Cut where it overflows, the word would leave room for the 42 after it.
                      MemoText {"LatinWordMovesWhole", times("字", 40) + "ABCDEFG" + times("字", 42), 3},
                      MemoText {"TrailingSpacesHang", times("字", 43) + "   ", 1},
                      MemoText {"WordLongerThanALineIsCut", std::string(81, 'a'), 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CalorieTable, RejectsACategoryThatNoRadioItemShows)
{
    const TableSpec& calories = tables()[3];
    ASSERT_EQ(calories.table, "01");
    ASSERT_EQ(calories.database, "data1.dat");
    std::vector<std::string> warnings;
    const std::string good = "[1]\nname = 面包/蛋糕类\ntitle = 菠萝包 1个\nsz = 260\n\n";
    EXPECT_EQ(load_table(calories, good, "01.txt", warnings).size(), 1u);
    try {
        // Near misses: a trailing space is trimmed, but a full-width slash is another category.
        load_table(calories, good + "[2]\ntitle = 蛋挞 1个\nname = 面包／蛋糕类 \nsz = 220\n", "data1/01.txt",
                   warnings);
        FAIL() << "accepted";
    } catch (const SourceError& e) {
        EXPECT_THAT(e.what(), StartsWith("data1/01.txt:8: unknown calorie category '面包／蛋糕类'"));
    }
}

} // namespace
} // namespace vellisa::content
