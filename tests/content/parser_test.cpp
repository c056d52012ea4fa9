#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "schema.h"
#include "source_parser.h"

namespace vellisa::content {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::StartsWith;

const std::vector<std::string_view> kNameDemo = {"Name", "demo"};

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
    std::string where; // "<file>:<line>:"
    std::string what;
};

// Test listings name the case instead of dumping its bytes.
void PrintTo(const BadSource& c, std::ostream* os)
{
    *os << c.name;
}

class MalformedSource : public ::testing::TestWithParam<BadSource> { };

TEST_P(MalformedSource, FailsWithFileAndLine)
{
    const BadSource& c = GetParam();
    try {
        parse_records(c.text, "data1/sp.txt", kNameDemo);
        FAIL() << "accepted";
    } catch (const SourceError& e) {
        EXPECT_THAT(e.what(), StartsWith(c.where + " "));
        EXPECT_THAT(e.what(), HasSubstr(c.what));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, MalformedSource,
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
                   "data1/sp.txt:5:", "not valid UTF-8"}),
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

TEST(CalorieTable, RejectsACategoryThatNoRadioItemShows)
{
    const TableSpec& calories = tables()[3];
    ASSERT_EQ(calories.table, "01");
    ASSERT_EQ(calories.database, "data1.dat");
    const std::string good = "[1]\nname = 面包/蛋糕类\ntitle = 菠萝包 1个\nsz = 260\n\n";
    EXPECT_EQ(load_table(calories, good, "01.txt").size(), 1u);
    try {
        // Near misses: a trailing space is trimmed, but a full-width slash is another category.
        load_table(calories, good + "[2]\ntitle = 蛋挞 1个\nname = 面包／蛋糕类 \nsz = 220\n",
                   "data1/01.txt");
        FAIL() << "accepted";
    } catch (const SourceError& e) {
        EXPECT_THAT(e.what(), StartsWith("data1/01.txt:8: unknown calorie category '面包／蛋糕类'"));
    }
}

} // namespace
} // namespace vellisa::content
