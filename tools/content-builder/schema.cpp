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
         "name"},
        {"data2/01.txt", "data2.dat", "01", {"name", "content"}, 40},
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

std::vector<Record> load_table(const TableSpec& spec, std::string_view text, const std::string& file)
{
    std::vector<Record> records = parse_records(text, file, spec.fields);
    if (spec.category_field.empty())
        return records;
    auto field = std::find(spec.fields.begin(), spec.fields.end(), spec.category_field);
    auto index = static_cast<std::size_t>(field - spec.fields.begin());
    for (const Record& r : records) {
        const std::string& value = r.values[index];
        if (std::find(kCalorieCategories.begin(), kCalorieCategories.end(), value) !=
            kCalorieCategories.end())
            continue;
        std::string known;
        for (auto c : kCalorieCategories)
            known += (known.empty() ? "" : " ") + std::string(c);
        throw SourceError(file, r.lines[index],
                          "unknown calorie category '" + value + "' (the categories are: " + known + ")");
    }
    return records;
}

} // namespace vellisa::content
