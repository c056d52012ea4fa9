#pragma once
// Writes keyed SQLCipher databases and plain files.
#include <filesystem>
#include <span>
#include <string_view>
#include <vector>

#include "schema.h"

namespace vellisa::content {

struct TableData {
    const TableSpec* spec;
    std::vector<Record> records;
};

// Creates `file` afresh (replacing whatever is there) as a database keyed as content_key.h says,
// with one table per entry: `id INTEGER PRIMARY KEY` and the table's fields as TEXT. Throws
// std::runtime_error on failure.
void write_database(const std::filesystem::path& file, std::span<const TableData> tables);

void write_file(const std::filesystem::path& file, std::string_view bytes);

// The output files are first written under a temporary name beside their target, and all renamed
// into place only once every one of them is complete, so a failed build leaves the previous
// outputs as they were.
class StagedOutputs {
public:
    StagedOutputs() = default;
    StagedOutputs(const StagedOutputs&) = delete;
    StagedOutputs& operator=(const StagedOutputs&) = delete;
    ~StagedOutputs(); // removes whatever was not committed

    // The temporary path to write `target`'s content to.
    std::filesystem::path stage(const std::filesystem::path& target);
    // Renames every staged file onto its target.
    void commit();

private:
    std::vector<std::pair<std::filesystem::path, std::filesystem::path>> staged_; // temp, target
};

} // namespace vellisa::content
