#include "schema.h"

#include <algorithm>

namespace vellisa::content {

const std::vector<TableSpec>& tables()
{
    static const std::vector<TableSpec> specs = {
        {"data1/sp.txt", "data1.dat", "sp", {"Name", "demo"}, 30},
        {"data1/xd.txt", "data1.dat", "xd", {"Name", "demo"}, 25},
        {"data1/yd.txt", "data1.dat", "yd", {"Name", "demo"}, 25},
        {"data1/01.txt",
         "data1.dat",
         "01",
         {"name", "title", "sz"},
         static_cast<int>(kCalorieCategories.size()) * kMinFoodsPerCategory,
         "name",
         {{"title", 22}, {"sz", 10}}},
        {"data2/01.txt",
         "data2.dat",
         "01",
         {"name", "content"},
         40,
         {},
         {},
         MemoField {"content", kHouseholdMemo}},
        {"data3/body.txt", "data3.dat", "body", {"title", "content"}, 15},
        {"data3/diy.txt", "data3.dat", "diy", {"title", "content"}, 15},
        {"data3/skin.txt", "data3.dat", "skin", {"title", "content"}, 15},
        {"data3/hair.txt", "data3.dat", "hair", {"title", "content"}, 15},
        {"data4/food.txt", "data4.dat", "food", {"title", "content"}, 15},
        {"data4/illness.txt", "data4.dat", "illness", {"title", "content"}, 15},
        {"data4/heart.txt", "data4.dat", "heart", {"title", "content"}, 15},
        {"data4/brain.txt", "data4.dat", "brain", {"title", "content"}, 15},
        {"data4/develop.txt", "data4.dat", "develop", {"title", "content"}, 15},
    };
    return specs;
}

std::vector<std::string_view> databases()
{
    std::vector<std::string_view> names;
    for (const auto& t : tables()) {
        if (std::find(names.begin(), names.end(), t.database) == names.end())
            names.push_back(t.database);
    }
    return names;
}

const std::vector<PageSpec>& pages()
{
    static const std::vector<PageSpec> specs = {
        {"pages/sheng.html", "sheng.dat"},
        {"pages/anch.html", "anch.dat"},
        {"pages/qgong.html", "qgong.dat"},
        {"pages/xzchi.html", "xzchi.dat"},
    };
    return specs;
}

namespace {

std::size_t field_index(const TableSpec& spec, std::string_view field)
{
    return static_cast<std::size_t>(std::find(spec.fields.begin(), spec.fields.end(), field) -
                                    spec.fields.begin());
}

void check_category(const TableSpec& spec, const Record& r, const std::string& file)
{
    std::size_t index = field_index(spec, spec.category_field);
    const std::string& value = r.values[index];
    if (std::find(kCalorieCategories.begin(), kCalorieCategories.end(), value) != kCalorieCategories.end())
        return;
    std::string known;
    for (auto c : kCalorieCategories)
        known += (known.empty() ? "" : " ") + std::string(c);
    throw SourceError(file, r.lines[index],
                      "unknown calorie category '" + value + "' (the categories are: " + known + ")");
}

void check_column(const ColumnWidth& column, const Record& r, std::size_t index, const std::string& file)
{
    int bytes = gbk_bytes(r.values[index]);
    if (bytes <= column.bytes)
        return;
    throw SourceError(file, r.lines[index],
                      std::string(column.field) + " '" + r.values[index] + "' is " + std::to_string(bytes) +
                          " bytes wide, more than the " + std::to_string(column.bytes) +
                          " of its column in the calorie list (a Chinese character counts 2, an ASCII "
                          "character 1)");
}

void check_memo(const MemoField& m, const Record& r, std::size_t index, const std::string& file)
{
    const Memo& memo = m.memo;
    int lines = memo_lines(r.values[index], memo);
    if (lines <= memo.visible_lines())
        return;
    throw SourceError(file, r.lines[index],
                      std::string(m.field) + " of record [" + std::to_string(r.id) + "] takes " +
                          std::to_string(lines) + " lines in the " + std::string(memo.name) +
                          ", which shows " + std::to_string(memo.visible_lines()) +
                          " and has no scroll bar (" + std::to_string(memo.width) + "x" +
                          std::to_string(memo.height) + " px, " +
                          std::to_string(memo.text_width() / memo.chinese_width()) +
                          " Chinese characters a line): shorten it");
}

} // namespace

std::vector<Record> load_table(const TableSpec& spec, std::string_view text, const std::string& file,
                               std::vector<std::string>& warnings)
{
    std::vector<Record> records = parse_records(text, file, spec.fields);
    for (const Record& r : records) {
        for (std::size_t i = 0; i < spec.fields.size(); ++i)
            warn_outside_gb2312(r.values[i], file, r.lines[i] + (r.blocks[i] ? 1 : 0), warnings);
        if (!spec.category_field.empty())
            check_category(spec, r, file);
        for (const ColumnWidth& column : spec.columns)
            check_column(column, r, field_index(spec, column.field), file);
        if (spec.memo)
            check_memo(*spec.memo, r, field_index(spec, spec.memo->field), file);
    }
    return records;
}

} // namespace vellisa::content
