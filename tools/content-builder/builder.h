#pragma once
// Turns a content folder into data/data1.dat ... data4.dat and skins/*.dat.
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "db_writer.h"

namespace vellisa::content {

struct Page {
    const PageSpec* spec;
    std::string bytes;
};

struct Content {
    std::vector<TableData> tables; // one per tables() entry, same order
    std::vector<Page> pages; // the pages whose source exists
    std::vector<std::string> warnings; // sources not found, characters outside GB2312
};

// Reads and checks every source. A missing source leaves its table empty (or its page out) and
// is reported in `warnings`, so a content tree still being written builds; so is a character
// outside GB2312, which the program may show wrongly but which breaks nothing. Throws
// SourceError for a malformed source, std::runtime_error for one that cannot be read.
Content load_content(const std::filesystem::path& content_dir);

// Writes everything under `out_dir`: all or nothing. Throws std::runtime_error.
void write_content(const Content& content, const std::filesystem::path& out_dir);

// The whole command: returns the exit code; faults and warnings go to `err`.
int build(const std::filesystem::path& content_dir, const std::filesystem::path& out_dir, std::ostream& err);

} // namespace vellisa::content
