#include "text_fit.h"

#include <iconv.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <stdexcept>

namespace vellisa::content {

namespace {

std::size_t sequence_length(unsigned char lead)
{
    return lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
}

char32_t code_point(std::string_view seq)
{
    auto lead = static_cast<unsigned char>(seq[0]);
    char32_t cp = seq.size() == 1 ? lead : lead & (0x7F >> seq.size());
    for (std::size_t k = 1; k < seq.size(); ++k)
        cp = (cp << 6) | (static_cast<unsigned char>(seq[k]) & 0x3F);
    return cp;
}

int paragraph_lines(std::string_view p, const Memo& memo)
{
    const int width = memo.text_width();
    int lines = 1;
    int x = 0;
    std::size_t i = 0;
    while (i < p.size()) {
        auto c = static_cast<unsigned char>(p[i]);
        if (c == ' ') {
            // Spaces at the end of a line run on past the edge; they never wrap.
            x += memo.latin_width();
            ++i;
        } else if (c < 0x80) {
            // A Latin word moves to the next line whole, unless it is longer than a line.
            std::size_t end = i;
            while (end < p.size() && p[end] != ' ' && static_cast<unsigned char>(p[end]) < 0x80)
                ++end;
            int word = static_cast<int>(end - i) * memo.latin_width();
            if (x > 0 && x + word > width) {
                ++lines;
                x = 0;
            }
            for (; i < end; ++i) {
                if (x > 0 && x + memo.latin_width() > width) {
                    ++lines;
                    x = 0;
                }
                x += memo.latin_width();
            }
        } else {
            // A line may break before any Chinese character, punctuation included.
            if (x > 0 && x + memo.chinese_width() > width) {
                ++lines;
                x = 0;
            }
            x += memo.chinese_width();
            i += sequence_length(c);
        }
    }
    return lines;
}

// GB2312 as the Windows Chinese code page encodes it: the double-byte rows A1-A9 and B0-F7,
// without what GBK added inside them. (iconv's own GB2312 maps a few punctuation marks, such as
// the dash and the middle dot, differently from that code page.)
bool in_gb2312(unsigned char lead, unsigned char trail)
{
    if (trail < 0xA1 || trail > 0xFE)
        return false;
    unsigned code = lead << 8 | trail;
    if (lead >= 0xB0 && lead <= 0xF7)
        return code < 0xD7FA || code > 0xD7FE;
    if (lead < 0xA1 || lead > 0xA9)
        return false;
    bool gbk_addition = (code >= 0xA2A1 && code <= 0xA2AA) || (code >= 0xA6E0 && code <= 0xA6F5) ||
                        (code >= 0xA8BB && code <= 0xA8C0);
    return !gbk_addition;
}

enum class Fit { gb2312, gbk_only, outside_gbk };

class ToGbk {
public:
    ToGbk()
        : cd_(iconv_open("GBK", "UTF-8"))
    {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error("cannot check characters against GBK: iconv has no GBK converter");
    }
    ~ToGbk() { iconv_close(cd_); }
    ToGbk(const ToGbk&) = delete;
    ToGbk& operator=(const ToGbk&) = delete;

    Fit fit(std::string_view seq)
    {
        char in[4];
        seq.copy(in, sizeof in);
        char out[8];
        char* src = in;
        char* dst = out;
        std::size_t src_left = seq.size();
        std::size_t dst_left = sizeof out;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd_, &src, &src_left, &dst, &dst_left) == static_cast<std::size_t>(-1))
            return Fit::outside_gbk;
        std::size_t n = sizeof out - dst_left;
        auto b = [&](std::size_t k) { return static_cast<unsigned char>(out[k]); };
        return n == 2 && in_gb2312(b(0), b(1)) ? Fit::gb2312 : Fit::gbk_only;
    }

private:
    iconv_t cd_;
};

std::string u_plus(char32_t cp)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "U+%04X", static_cast<unsigned>(cp));
    return buf;
}

} // namespace

int gbk_bytes(std::string_view utf8)
{
    int n = 0;
    for (std::size_t i = 0; i < utf8.size(); i += sequence_length(static_cast<unsigned char>(utf8[i])))
        n += static_cast<unsigned char>(utf8[i]) < 0x80 ? 1 : 2;
    return n;
}

int memo_lines(std::string_view text, const Memo& memo)
{
    int lines = 0;
    for (;;) {
        std::size_t end = text.find("\r\n");
        lines += paragraph_lines(text.substr(0, end), memo);
        if (end == std::string_view::npos)
            return lines;
        text.remove_prefix(end + 2);
    }
}

void warn_outside_gb2312(std::string_view text, const std::string& file, int first_line,
                         std::vector<std::string>& warnings)
{
    ToGbk gbk;
    std::map<char32_t, Fit> known;
    int line = first_line;
    std::vector<char32_t> reported; // on this line
    for (std::size_t i = 0; i < text.size();) {
        auto c = static_cast<unsigned char>(text[i]);
        std::size_t len = sequence_length(c);
        if (c == '\n') {
            ++line;
            reported.clear();
        }
        if (c < 0x80) {
            ++i;
            continue;
        }
        std::string_view seq = text.substr(i, len);
        i += len;
        char32_t cp = code_point(seq);
        auto [it, fresh] = known.try_emplace(cp, Fit::gb2312);
        if (fresh)
            it->second = gbk.fit(seq);
        if (it->second == Fit::gb2312 || std::find(reported.begin(), reported.end(), cp) != reported.end())
            continue;
        reported.push_back(cp);
        std::string what = "'" + std::string(seq) + "' (" + u_plus(cp) + ")";
        if (it->second == Fit::gbk_only)
            what += " is outside GB2312 (GBK has it): text counted or shown as GB2312 may lose it";
        else
            what += " is outside GBK and GB2312: the program's Chinese code page cannot hold it";
        warnings.push_back("warning: " + file + ":" + std::to_string(line) + ": " + what);
    }
}

} // namespace vellisa::content
