#include <sstream>

#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "builder.h"
#include "test_support.h"

namespace vellisa::content {
namespace {

using namespace testing_support;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::StartsWith;

// A small tree with one record per table and every page.
class Builder : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const TableSpec& spec : tables()) {
            std::string text = "[5]\n";
            for (auto f : spec.fields) {
                std::string value = " <<\n第一行\n\n" + std::string(spec.table) + "\n>>\n";
                if (f == spec.category_field)
                    value = " = 肉类\n";
                else if (std::any_of(spec.columns.begin(), spec.columns.end(),
                                     [&](const ColumnWidth& c) { return c.field == f; }))
                    value = " = 一行\n"; // the calorie list's columns are narrow
                text += std::string(f) + value;
            }
            write(src() / spec.source, text);
        }
        for (const PageSpec& page : pages())
            write(src() / page.source, "<html>" + std::string(page.target) + "</html>");
    }

    std::filesystem::path src() const { return dir_.path() / "content"; }
    std::filesystem::path out() const { return dir_.path() / "out"; }

    int run(std::string* message = nullptr)
    {
        std::ostringstream err;
        int rc = build(src(), out(), err);
        if (message)
            *message = err.str();
        return rc;
    }

    TempDir dir_;
};

TEST_F(Builder, WritesKeyedDatabasesAndPages)
{
    std::string message;
    ASSERT_EQ(run(&message), 0) << message;
    EXPECT_THAT(message, IsEmpty());

    Db data1 = open_db(out() / "data" / "data1.dat");
    EXPECT_THAT(query(data1.get(), "select count(*) from \"01\""), ElementsAre(ElementsAre("1")));
    EXPECT_THAT(query(data1.get(), "select id, name, title, sz from \"01\""),
                ElementsAre(ElementsAre("5", "肉类", "一行", "一行")));
    Db data4 = open_db(out() / "data" / "data4.dat");
    EXPECT_THAT(query(data4.get(), "select name from sqlite_master where type = 'table' order by name"),
                ElementsAre(ElementsAre("brain"), ElementsAre("develop"), ElementsAre("food"),
                            ElementsAre("heart"), ElementsAre("illness")));
    EXPECT_THAT(query(data4.get(), "select title, content from develop"),
                ElementsAre(ElementsAre("第一行\r\n\r\ndevelop", "第一行\r\n\r\ndevelop")));

    EXPECT_EQ(read(out() / "skins" / "xzchi.dat"), "<html>xzchi.dat</html>");
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(out() / "data"))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_THAT(names, ElementsAre("data1.dat", "data2.dat", "data3.dat", "data4.dat"));
}

TEST_F(Builder, DatabasesRefuseAConnectionKeyedOtherwise)
{
    ASSERT_EQ(run(), 0);
    const auto file = out() / "data" / "data2.dat";
    const std::string password_only = "PRAGMA key = '" + std::string(kPassword) + "';"; // default KDF rounds
    for (const std::string& key : {std::string(), password_only, std::string("PRAGMA key = 'kqz@583016';")}) {
        Db db = open_db(file, key);
        int rc = SQLITE_OK;
        query(db.get(), "select count(*) from \"01\"", &rc);
        EXPECT_EQ(rc, SQLITE_NOTADB) << "key: " << key;
    }
    Db db = open_db(file);
    EXPECT_THAT(query(db.get(), "select count(*) from \"01\""), ElementsAre(ElementsAre("1")));
}

TEST_F(Builder, AMalformedSourceStopsTheBuildAndKeepsThePreviousOutputs)
{
    ASSERT_EQ(run(), 0);
    const std::string before = read(out() / "data" / "data3.dat");
    write(src() / "data3" / "hair.txt", "[1]\ntitle = 护肤\ncontent <<\n第一段\n");
    write(src() / "pages" / "anch.html", "<html>changed</html>");

    std::string message;
    EXPECT_EQ(run(&message), 1);
    EXPECT_EQ(message,
              (src() / "data3" / "hair.txt").string() +
                  ":3: unclosed block of field 'content': no line '>>' before the end of the file\n");
    EXPECT_EQ(read(out() / "data" / "data3.dat"), before);
    EXPECT_EQ(read(out() / "skins" / "anch.dat"), "<html>anch.dat</html>");
    for (const auto& sub : {"data", "skins"})
        for (const auto& e : std::filesystem::directory_iterator(out() / sub))
            EXPECT_THAT(e.path().filename().string(), ::testing::Not(HasSubstr("tmp")));
}

TEST_F(Builder, AFailedWriteLeavesNoOutputsBehind)
{
    // data2.dat cannot be staged: a directory sits where its temporary file goes.
    std::filesystem::create_directories(out() / "data" / ("data2.dat.tmp" + std::to_string(::getpid())) /
                                        "x");
    std::string message;
    EXPECT_EQ(run(&message), 1);
    EXPECT_THAT(message, HasSubstr("data2.dat"));
    EXPECT_FALSE(std::filesystem::exists(out() / "data" / "data1.dat"));
    EXPECT_FALSE(std::filesystem::exists(out() / "skins" / "sheng.dat"));
    for (const auto& e : std::filesystem::directory_iterator(out() / "data"))
        EXPECT_THAT(e.path().filename().string(), HasSubstr("data2.dat.tmp")); // only the obstacle
    EXPECT_TRUE(std::filesystem::is_empty(out() / "skins"));
}

TEST_F(Builder, ACharacterOutsideGb2312IsAWarningAndStillBuilt)
{
    const std::string page = "<html>\n<p>不要盐焗的</p>\n</html>";
    write(src() / "pages" / "anch.html", page);
    std::string message;
    ASSERT_EQ(run(&message), 0) << message;
    EXPECT_THAT(message, StartsWith("warning: " + (src() / "pages" / "anch.html").string() +
                                    ":2: '焗' (U+7117) is outside GB2312"));
    EXPECT_EQ(read(out() / "skins" / "anch.dat"), page);
}

TEST_F(Builder, AMissingSourceLeavesItsTableEmptyWithAWarning)
{
    std::filesystem::remove(src() / "data1" / "xd.txt");
    std::filesystem::remove(src() / "pages" / "qgong.html");
    std::string message;
    ASSERT_EQ(run(&message), 0);
    EXPECT_THAT(message, HasSubstr("warning: " + (src() / "data1" / "xd.txt").string() + ": missing"));
    EXPECT_THAT(message, HasSubstr("warning: " + (src() / "pages" / "qgong.html").string() + ": missing"));
    Db db = open_db(out() / "data" / "data1.dat");
    EXPECT_THAT(query(db.get(), "select count(*) from xd"), ElementsAre(ElementsAre("0")));
    EXPECT_FALSE(std::filesystem::exists(out() / "skins" / "qgong.dat"));
}

} // namespace
} // namespace vellisa::content
