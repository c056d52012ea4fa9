#pragma once
// The "Edit" control's state and the pieces its files share: the text and its lines
// (edit_layout.cpp), the window procedure and painting (edit.cpp), typing, mouse and clipboard
// (edit_input.cpp).
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/controls/internal/access.h"
#include "platform/win.h"

namespace win::controls::edit {

// One displayed line: characters [start, end) with `end` before the line break (or after the
// spaces a wrap leaves at its end); `width` is what the line shows, its trailing spaces apart.
struct Line {
  int start = 0;
  int end = 0;
  int width = 0;
};

struct Edit {
  HWND hwnd = nullptr;
  DWORD style = 0;
  std::u32string text;
  std::vector<Line> lines{Line{}};

  HFONT font = nullptr;  // null: the system font
  HDC measure = nullptr;
  int line_height = 16;
  int ave_width = 8;
  std::vector<short> widths;  // per BMP code point, -1 until measured
  std::unordered_map<char32_t, int> wide_widths;
  std::vector<int> tabs;  // tab stops in pixels; empty: every eight average widths
  int text_width = 0;     // the widest line

  RECT client{};
  RECT format{};
  bool custom_format = false;
  int left_margin = 1, right_margin = 1;

  int sel_anchor = 0, caret = 0;  // the selection runs between them; the caret is at `caret`
  // The caret stands at the end of a wrapped line rather than at the start of the next, which
  // is the same position.
  bool after_wrap = false;
  int first_line = 0;  // multi-line: the top line shown
  int x_offset = 0;    // pixels scrolled horizontally

  int limit = 30000;
  bool limit_set = false;
  bool modified = false;
  bool focused = false;
  bool fmt_lines = false;
  bool dragging = false;
  int wheel_rest = 0;
  char32_t password = 0;

  // One level of undo: putting back `undo_text` at `undo_pos` in place of the `undo_insert`
  // characters that followed it.
  std::u32string undo_text;
  int undo_pos = 0, undo_insert = 0;

  HGLOBAL handle = nullptr;  // EM_GETHANDLE's copy of the text

  // Destroyed while a handler of it still runs (a parent answering a notification): the state
  // is freed when the outermost one returns, and every handler stops once it sees `dead`.
  bool dead = false;
  int depth = 0;

  bool Multi() const { return style & ES_MULTILINE; }
  bool Wraps() const { return Multi() && !(style & (ES_AUTOHSCROLL | WS_HSCROLL)); }
  int Length() const { return int(text.size()); }
  int SelStart() const { return std::min(sel_anchor, caret); }
  int SelEnd() const { return std::max(sel_anchor, caret); }
  int Visible() const;  // whole lines the format rectangle shows (at least 1)

  // ---- edit_layout.cpp ----
  void SetFont(HFONT f);
  int CharWidth(char32_t c);
  int Width(char32_t c, int x);  // at x pixels into the line (tabs)
  int Measure(int from, int to);
  void LayoutAll();
  // [at, at + removed) of the old text became [at, at + inserted); the lines wrapped afresh.
  std::pair<int, int> Relayout(int at, int removed, int inserted);
  int LineOf(int pos) const;
  int LineX(int line) const;  // where the line starts, with the alignment and the scroll
  POINT PosOf(int pos);       // client coordinates of the character's left top
  int CaretLine() const;
  POINT CaretPoint();
  // at_wrap: the point is past the end of a wrapped line.
  int CharAt(POINT pt, int* line_out = nullptr, bool* at_wrap = nullptr);
  void ResetFormat();
  void SetFormat(const RECT& r);

  // ---- edit.cpp ----
  void Notify(WORD code);
  void UpdateScrollBars();
  void PlaceCaret();
  void ScrollTo(int first_line, int x_offset, bool notify);
  void ScrollCaretIntoView(bool notify);
  void Paint(HDC dc);
  void Invalidate(int from_line, int to_line);
  // Replaces the selection; honour: the limit and the room the styles leave. FALSE when nothing
  // could change.
  bool ReplaceSel(std::u32string insert, bool can_undo, bool honour, bool notify);
  void SetSel(int anchor, int caret_pos, bool scroll, bool wrap_end = false);
  std::string Utf8(int from, int to) const;

  // ---- edit_input.cpp ----
  void OnChar(char32_t c);
  void OnKeyDown(UINT vk);
  void OnMouse(UINT msg, WPARAM wp, LPARAM lp);
  void OnTimer();
  void Copy();
  void Cut();
  void Paste();
  void Clear();
  bool Undo();
};

Edit* Get(HWND hwnd);
// ES_LOWERCASE and ES_UPPERCASE, on Latin letters.
void CaseFold(const Edit& e, std::u32string& t);
std::u32string Decode(const char* utf8, std::size_t n);  // bad bytes become U+FFFD
std::string Encode(const char32_t* s, std::size_t n);
// A line may break between text[i-1] and text[i].
bool CanBreak(const std::u32string& text, int i);
bool IsCJK(char32_t c);
bool IsSpace(char32_t c);

}  // namespace win::controls::edit
