#include "source_parser.h"

#include <map>
#include <optional>

namespace vellisa::content {

SourceError::SourceError(std::string file, int line, const std::string& what)
    : std::runtime_error(file + ":" + std::to_string(line) + ": " + what)
    , file_(std::move(file))
    , line_(line)
{
}

bool is_valid_utf8(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        int extra;
        char32_t cp;
        if ((c & 0xE0) == 0xC0) {
            extra = 1;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2;
            cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + extra >= text.size())
            return false;
        for (int k = 1; k <= extra; ++k) {
            auto cc = static_cast<unsigned char>(text[i + k]);
            if ((cc & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        static constexpr char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
        if (cp < kMin[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += extra + 1;
    }
    return true;
}

namespace {

std::string_view trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

bool is_identifier(std::string_view s)
{
    if (s.empty())
        return false;
    for (char c : s) {
        bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
        if (!ok)
            return false;
    }
    return true;
}

std::string quoted(std::string_view s)
{
    return "'" + std::string(s) + "'";
}

class Parser {
public:
    Parser(const std::string& file, const std::vector<std::string_view>& fields)
        : file_(file)
        , fields_(fields)
    {
    }

    std::vector<Record> run(std::string_view text)
    {
        if (text.starts_with("\xEF\xBB\xBF"))
            text.remove_prefix(3);
        std::size_t pos = 0;
        int line_no = 0;
        while (pos < text.size()) {
            std::size_t end = text.find('\n', pos);
            if (end == std::string_view::npos)
                end = text.size();
            std::string_view line = text.substr(pos, end - pos);
            pos = end + 1;
            ++line_no;
            if (line.ends_with('\r'))
                line.remove_suffix(1);
            if (!is_valid_utf8(line))
                fail(line_no, "text is not valid UTF-8");
            take(line, line_no);
        }
        if (block_field_)
            fail(block_line_, "unclosed block of field " + quoted(fields_[*block_field_]) +
                                  ": no line '>>' before the end of the file");
        finish_record();
        return std::move(records_);
    }

private:
    [[noreturn]] void fail(int line, const std::string& what) { throw SourceError(file_, line, what); }

    void take(std::string_view line, int line_no)
    {
        if (block_field_) {
            if (line == ">>") {
                if (block_text_.find_first_not_of(" \t\r\n") == std::string::npos)
                    fail(block_line_, "field " + quoted(fields_[*block_field_]) + " is empty");
                set(*block_field_, std::move(block_text_), block_line_, true);
                block_text_.clear();
                block_field_.reset();
                return;
            }
            if (block_lines_++ > 0)
                block_text_ += "\r\n";
            block_text_ += line;
            return;
        }
        if (!line.empty() && line.front() == '#')
            return;
        std::string_view t = trim(line);
        if (t.empty())
            return;
        if (t.front() == '[') {
            start_record(t, line_no);
            return;
        }
        if (!current_)
            fail(line_no, "field outside a record (start the record with a line [N])");

        if (t.ends_with("<<")) {
            std::string_view name = trim(t.substr(0, t.size() - 2));
            if (is_identifier(name)) {
                std::size_t index = field_index(name, line_no);
                check_unset(index, line_no);
                block_field_ = index;
                block_line_ = line_no;
                block_lines_ = 0;
                return;
            }
        }
        std::size_t eq = t.find('=');
        std::string_view name = eq == std::string_view::npos ? std::string_view() : trim(t.substr(0, eq));
        if (!is_identifier(name))
            fail(line_no, "expected 'field = value', 'field <<' or '[N]', found " + quoted(t));
        std::size_t index = field_index(name, line_no);
        check_unset(index, line_no);
        std::string_view value = trim(t.substr(eq + 1));
        if (value.empty())
            fail(line_no, "field " + quoted(name) + " is empty");
        set(index, std::string(value), line_no, false);
    }

    void start_record(std::string_view t, int line_no)
    {
        std::string_view digits = t.substr(1, t.size() >= 2 ? t.size() - 2 : 0);
        bool ok = t.size() >= 3 && t.back() == ']' && digits.size() <= 18;
        for (char c : digits)
            ok = ok && c >= '0' && c <= '9';
        if (!ok)
            fail(line_no, "malformed record header " + quoted(t) + " (expected [N], N a whole number)");
        finish_record();
        std::int64_t id = std::stoll(std::string(digits));
        auto [it, fresh] = first_line_of_id_.emplace(id, line_no);
        if (!fresh)
            fail(line_no, "duplicate key [" + std::to_string(id) + "] (first used on line " +
                              std::to_string(it->second) + ")");
        Record r;
        r.id = id;
        r.line = line_no;
        r.values.resize(fields_.size());
        r.lines.assign(fields_.size(), 0);
        r.blocks.assign(fields_.size(), false);
        records_.push_back(std::move(r));
        current_ = &records_.back();
    }

    void finish_record()
    {
        if (!current_)
            return;
        for (std::size_t i = 0; i < fields_.size(); ++i) {
            if (current_->lines[i] == 0)
                fail(current_->line,
                     "record [" + std::to_string(current_->id) + "] has no field " + quoted(fields_[i]));
        }
        current_ = nullptr;
    }

    std::size_t field_index(std::string_view name, int line_no)
    {
        for (std::size_t i = 0; i < fields_.size(); ++i) {
            if (fields_[i] == name)
                return i;
        }
        std::string known;
        for (auto f : fields_)
            known += (known.empty() ? "" : ", ") + std::string(f);
        fail(line_no, "unknown field " + quoted(name) + " (this table has: " + known + ")");
    }

    void check_unset(std::size_t index, int line_no)
    {
        if (current_->lines[index] != 0)
            fail(line_no, "field " + quoted(fields_[index]) + " set twice in record [" +
                              std::to_string(current_->id) + "] (first on line " +
                              std::to_string(current_->lines[index]) + ")");
    }

    void set(std::size_t index, std::string value, int line_no, bool block)
    {
        current_->values[index] = std::move(value);
        current_->lines[index] = line_no;
        current_->blocks[index] = block;
    }

    const std::string& file_;
    const std::vector<std::string_view>& fields_;
    std::vector<Record> records_;
    Record* current_ = nullptr; // records_ only grows at start_record, which resets it
    std::map<std::int64_t, int> first_line_of_id_;
    std::optional<std::size_t> block_field_;
    int block_line_ = 0;
    int block_lines_ = 0;
    std::string block_text_;
};

} // namespace

std::vector<Record> parse_records(std::string_view text, const std::string& file,
                                  const std::vector<std::string_view>& fields)
{
    return Parser(file, fields).run(text);
}

} // namespace vellisa::content
