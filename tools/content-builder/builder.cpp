#include "builder.h"

#include <fstream>
#include <iterator>
#include <sstream>

namespace vellisa::content {

namespace {

bool read_file(const std::filesystem::path& file, std::string& bytes)
{
    std::error_code ec;
    if (!std::filesystem::exists(file, ec))
        return false;
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    if (!in)
        throw std::runtime_error(file.string() + ": cannot read");
    bytes = std::move(s).str();
    return true;
}

// Pages are copied as they are; their text is only looked at for what the program could not show.
void check_page_text(std::string_view bytes, const std::string& file, std::vector<std::string>& warnings)
{
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    int line_no = 0;
    while (!bytes.empty()) {
        std::size_t end = bytes.find('\n');
        std::string_view line = bytes.substr(0, end);
        bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
        ++line_no;
        if (is_valid_utf8(line))
            warn_outside_gb2312(line, file, line_no, warnings);
        else
            warnings.push_back("warning: " + file + ":" + std::to_string(line_no) +
                               ": text is not valid UTF-8");
    }
}

} // namespace

Content load_content(const std::filesystem::path& content_dir)
{
    Content content;
    for (const TableSpec& spec : tables()) {
        std::filesystem::path file = content_dir / spec.source;
        TableData data {&spec, {}};
        std::string text;
        if (read_file(file, text))
            data.records = load_table(spec, text, file.string(), content.warnings);
        else
            content.warnings.push_back("warning: " + file.string() + ": missing; table " +
                                       std::string(spec.table) + " of " + std::string(spec.database) +
                                       " stays empty");
        content.tables.push_back(std::move(data));
    }
    for (const PageSpec& spec : pages()) {
        std::filesystem::path file = content_dir / spec.source;
        Page page {&spec, {}};
        if (read_file(file, page.bytes)) {
            check_page_text(page.bytes, file.string(), content.warnings);
            content.pages.push_back(std::move(page));
        } else
            content.warnings.push_back("warning: " + file.string() + ": missing; skins/" +
                                       std::string(spec.target) + " is not written");
    }
    return content;
}

void write_content(const Content& content, const std::filesystem::path& out_dir)
{
    std::filesystem::create_directories(out_dir / "data");
    std::filesystem::create_directories(out_dir / "skins");
    StagedOutputs staged;
    for (std::string_view db : databases()) {
        std::vector<TableData> in_db;
        for (const TableData& t : content.tables) {
            if (t.spec->database == db)
                in_db.push_back(t);
        }
        write_database(staged.stage(out_dir / "data" / db), in_db);
    }
    for (const Page& page : content.pages)
        write_file(staged.stage(out_dir / "skins" / page.spec->target), page.bytes);
    staged.commit();
}

int build(const std::filesystem::path& content_dir, const std::filesystem::path& out_dir, std::ostream& err)
{
    try {
        Content content = load_content(content_dir);
        for (const std::string& warning : content.warnings)
            err << warning << "\n";
        write_content(content, out_dir);
        return 0;
    } catch (const std::exception& e) {
        err << e.what() << "\n";
        return 1;
    }
}

} // namespace vellisa::content
