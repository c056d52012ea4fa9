#pragma once
// How the program will lay the text out: GB2312 byte widths, lines in a memo, characters its
// Chinese code page cannot hold.
#include <string>
#include <string_view>
#include <vector>

namespace vellisa::content {

// Width in bytes of the text as GB2312: a Chinese character counts 2, an ASCII character 1, as
// the calorie list pads its columns.
int gbk_bytes(std::string_view utf8);

// A read-only memo without scroll bars, in 宋体: what does not fit is never seen. A Chinese face
// keeps the whole character cell inside the em (SimSun does, and so does the face standing in for
// it), so a line is one em high; every non-ASCII character is full width, one em, and an ASCII
// character half an em, rounded up to stay on the safe side. The edit control keeps a margin of a
// few pixels either side, which depends on the font: 4 px each is reserved. It shows whole lines
// only.
struct Memo {
    std::string_view name; // for messages
    int width; // pixels
    int height;
    int font_px; // the em of its 宋体

    int line_height() const { return font_px; }
    int chinese_width() const { return font_px; }
    int latin_width() const { return (font_px + 1) / 2; }
    int text_width() const { return width - 2 * kMargin; }
    int visible_lines() const { return height / line_height(); }

    static constexpr int kMargin = 4;
};

// Lines `text` (CR LF breaks) takes in `memo`, wrapped as an edit control wraps Chinese.
int memo_lines(std::string_view text, const Memo& memo);

// Appends a warning naming `file` and the line for each character of `text` outside GB2312 (once
// a line); `first_line` is the line of the text's first character. `text` must be valid UTF-8.
void warn_outside_gb2312(std::string_view text, const std::string& file, int first_line,
                         std::vector<std::string>& warnings);

} // namespace vellisa::content
