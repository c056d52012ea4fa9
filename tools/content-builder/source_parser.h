#pragma once
// Reads one content source (records of "[N]", "field = value" and "field <<" ... ">>").
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vellisa::content {

// A fault in a source; what() reads "<file>:<line>: <what>".
class SourceError : public std::runtime_error {
public:
    SourceError(std::string file, int line, const std::string& what);
    const std::string& file() const { return file_; }
    int line() const { return line_; }

private:
    std::string file_;
    int line_;
};

struct Record {
    std::int64_t id = 0;
    int line = 0; // line of its "[N]"
    std::vector<std::string> values; // in the order of the table's fields
    std::vector<int> lines; // line where each value starts
    std::vector<bool> blocks; // whether each value is a "field <<" block, its text a line below
};

// Parses `text` for a table with `fields` (exact spelling). Every record must set every field
// once; multi-line values get CR LF line breaks. Throws SourceError naming `file` on the first
// fault.
std::vector<Record> parse_records(std::string_view text, const std::string& file,
                                  const std::vector<std::string_view>& fields);

bool is_valid_utf8(std::string_view text);

} // namespace vellisa::content
