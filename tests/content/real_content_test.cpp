// Checks the content tree the program ships: it builds, and every table holds what the panels
// need.
#include <map>
#include <sstream>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "builder.h"
#include "test_support.h"

namespace vellisa::content {
namespace {

using namespace testing_support;
using ::testing::ElementsAreArray;

const std::filesystem::path kContent = VELLISA_CONTENT_DIR;

// What the panels' queries and bound controls read, and how much a complete tree holds.
struct Expected {
    const char* database;
    const char* table;
    std::vector<std::string> fields;
    int at_least;
};
const std::vector<Expected> kExpected = {
    {"data1.dat", "sp", {"Name", "demo"}, 30},          {"data1.dat", "xd", {"Name", "demo"}, 25},
    {"data1.dat", "yd", {"Name", "demo"}, 25},          {"data1.dat", "01", {"name", "title", "sz"}, 18 * 15},
    {"data2.dat", "01", {"name", "content"}, 40},       {"data3.dat", "body", {"title", "content"}, 15},
    {"data3.dat", "diy", {"title", "content"}, 15},     {"data3.dat", "skin", {"title", "content"}, 15},
    {"data3.dat", "hair", {"title", "content"}, 15},    {"data4.dat", "food", {"title", "content"}, 15},
    {"data4.dat", "illness", {"title", "content"}, 15}, {"data4.dat", "heart", {"title", "content"}, 15},
    {"data4.dat", "brain", {"title", "content"}, 15},   {"data4.dat", "develop", {"title", "content"}, 15},
};

// The items of the calorie category radio group, in order.
const std::vector<std::string> kRadioItems = {
    "五谷类", "肉类",       "脂肪类",     "海产类",          "蔬菜蛋类",    "快餐店类",
    "生果类", "茶餐厅类",   "点心类",     "粥面类",          "中式食肆类",  "面包/蛋糕类",
    "西餐类", "中西甜品类", "日本料理类", "即食食品/零食类", "酱油/调味料", "饮品/酒类",
};

class RealContent : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        out_ = new TempDir;
        std::ostringstream err;
        built_ = build(kContent, out_->path(), err) == 0;
        messages_ = err.str();
    }
    static void TearDownTestSuite()
    {
        delete out_;
        out_ = nullptr;
    }

    static TempDir* out_;
    static bool built_;
    static std::string messages_;
};
TempDir* RealContent::out_ = nullptr;
bool RealContent::built_ = false;
std::string RealContent::messages_;

TEST(CalorieCategories, AreTheRadioItemsExactly)
{
    std::vector<std::string> categories(kCalorieCategories.begin(), kCalorieCategories.end());
    EXPECT_EQ(categories, kRadioItems);
}

TEST_F(RealContent, EverySourceExistsAndParses)
{
    EXPECT_TRUE(built_) << messages_;
    EXPECT_EQ(messages_, "") << "every source and page must be present";
}

TEST_F(RealContent, EveryTableHasItsFieldsAndAmount)
{
    ASSERT_TRUE(built_) << messages_;
    for (const Expected& e : kExpected) {
        SCOPED_TRACE(std::string(e.database) + " table " + e.table);
        Db db = open_db(out_->path() / "data" / e.database);
        std::vector<std::string> columns;
        for (const auto& row : query(db.get(), std::string("pragma table_info(\"") + e.table + "\")"))
            columns.push_back(row[1]);
        std::vector<std::string> expected_columns = {"id"};
        expected_columns.insert(expected_columns.end(), e.fields.begin(), e.fields.end());
        EXPECT_EQ(columns, expected_columns);

        auto rows = query(db.get(), std::string("select count(*) from \"") + e.table + "\"");
        int count = rows.empty() ? 0 : std::stoi(rows[0][0]);
        EXPECT_GE(count, e.at_least) << e.database << " table " << e.table << " holds " << count
                                     << " records, needs at least " << e.at_least;
    }
}

TEST_F(RealContent, EveryCalorieCategoryListsEnoughFoods)
{
    ASSERT_TRUE(built_) << messages_;
    Db db = open_db(out_->path() / "data" / "data1.dat");
    std::map<std::string, int> foods;
    for (const auto& row : query(db.get(), "select name, count(*) from \"01\" group by name"))
        foods[row[0]] = std::stoi(row[1]);
    for (const std::string& item : kRadioItems) {
        EXPECT_GE(foods[item], 15) << "category " << item << " lists " << foods[item]
                                   << " foods, needs at least 15";
        foods.erase(item);
    }
    for (const auto& [name, count] : foods)
        ADD_FAILURE() << "foods under " << name << ", which no radio item shows";
}

TEST_F(RealContent, EveryPageIsCopied)
{
    ASSERT_TRUE(built_) << messages_;
    for (const char* page : {"sheng", "anch", "qgong", "xzchi"}) {
        auto target = out_->path() / "skins" / (std::string(page) + ".dat");
        EXPECT_TRUE(std::filesystem::exists(target)) << target;
        if (std::filesystem::exists(target)) {
            EXPECT_EQ(read(target), read(kContent / "pages" / (std::string(page) + ".html")));
        }
    }
}

} // namespace
} // namespace vellisa::content
