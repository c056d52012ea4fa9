#pragma once
// Which source feeds which database table, and what the program needs of each table.
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "source_parser.h"
#include "text_fit.h"

namespace vellisa::content {

// A field the calorie list pads to a column: a longer value shifts the rest of its line.
struct ColumnWidth {
    std::string_view field;
    int bytes; // as GB2312
};

// A field shown whole in a memo without scroll bars.
struct MemoField {
    std::string_view field;
    Memo memo;
};

struct TableSpec {
    std::string_view source; // relative to the content folder
    std::string_view database; // file name under data/
    std::string_view table;
    std::vector<std::string_view> fields;
    int min_records; // what a complete content tree holds
    std::string_view category_field {}; // field whose value must be a calorie category
    std::vector<ColumnWidth> columns {};
    std::optional<MemoField> memo {};
};

struct PageSpec {
    std::string_view source; // relative to the content folder
    std::string_view target; // file name under skins/
};

// Every table of every database, in the order the databases list them.
const std::vector<TableSpec>& tables();
// The database files, each once, in order.
std::vector<std::string_view> databases();
const std::vector<PageSpec>& pages();

// The calorie categories, in the order of the diet panel's radio items; a food is listed under
// the item whose text equals its `name`.
inline constexpr std::array<std::string_view, 18> kCalorieCategories = {
    "五谷类", "肉类",       "脂肪类",     "海产类",          "蔬菜蛋类",    "快餐店类",
    "生果类", "茶餐厅类",   "点心类",     "粥面类",          "中式食肆类",  "面包/蛋糕类",
    "西餐类", "中西甜品类", "日本料理类", "即食食品/零食类", "酱油/调味料", "饮品/酒类",
};
inline constexpr int kMinFoodsPerCategory = 15;

// The household panel's memo: 569×129 px, no scroll bars, in the main window's 宋体 at 13 px (it
// sets no font of its own). That is 43 Chinese characters a line and 9 lines.
inline constexpr Memo kHouseholdMemo {"household memo", 569, 129, 13};

// Parses one source of a table and checks the values the table constrains. Throws SourceError.
// Characters outside GB2312 are only worth a warning, appended to `warnings`.
std::vector<Record> load_table(const TableSpec& spec, std::string_view text, const std::string& file,
                               std::vector<std::string>& warnings);

} // namespace vellisa::content
