// The edit control's keyboard, mouse, clipboard and undo.
#include <algorithm>
#include <cctype>
#include <cstring>

#include "platform/controls/internal/edit.h"

namespace win::controls::edit {

namespace {

constexpr UINT_PTR kDragTimer = 1;
constexpr UINT kDragRepeatMs = 100;

// What a word is made of: a run of Chinese is one word, a run of other characters between
// spaces another; line breaks stand alone.
enum class Kind { Space, Break, Chinese, Other };

Kind KindOf(char32_t c) {
  if (c == '\r' || c == '\n') return Kind::Break;
  if (IsSpace(c)) return Kind::Space;
  if (IsCJK(c)) return Kind::Chinese;
  return Kind::Other;
}

bool Down(int vk) { return GetKeyState(vk) < 0; }

}  // namespace

namespace {

// One step left or right; a CR LF (or CR CR LF) is one step.
int StepLeft(const Edit& e, int pos) {
  if (pos <= 0) return 0;
  --pos;
  while (pos > 0 && e.text[std::size_t(pos)] == '\n' && e.text[std::size_t(pos) - 1] == '\r') --pos;
  while (pos > 0 && e.text[std::size_t(pos)] == '\r' && e.text[std::size_t(pos) - 1] == '\r') --pos;
  return pos;
}

int StepRight(const Edit& e, int pos) {
  const int n = e.Length();
  if (pos >= n) return n;
  if (e.text[std::size_t(pos)] == '\r') {
    int k = pos;
    while (k < n && e.text[std::size_t(k)] == '\r') ++k;
    if (k < n && e.text[std::size_t(k)] == '\n') return k + 1;
  }
  return pos + 1;
}

// Ctrl+Right: past the word and the spaces after it.
int WordRight(const Edit& e, int pos) {
  const int n = e.Length();
  if (pos >= n) return n;
  Kind k = KindOf(e.text[std::size_t(pos)]);
  if (k == Kind::Break) return StepRight(e, pos);
  if (k != Kind::Space)
    while (pos < n && KindOf(e.text[std::size_t(pos)]) == k) ++pos;
  while (pos < n && KindOf(e.text[std::size_t(pos)]) == Kind::Space) ++pos;
  return pos;
}

// Ctrl+Left: to the start of this word or the one before.
int WordLeft(const Edit& e, int pos) {
  if (pos <= 0) return 0;
  while (pos > 0 && KindOf(e.text[std::size_t(pos) - 1]) == Kind::Space) --pos;
  if (pos > 0 && KindOf(e.text[std::size_t(pos) - 1]) == Kind::Break) return StepLeft(e, pos);
  if (pos == 0) return 0;
  Kind k = KindOf(e.text[std::size_t(pos) - 1]);
  while (pos > 0 && KindOf(e.text[std::size_t(pos) - 1]) == k) --pos;
  return pos;
}

// Up and Down keep the caret's x.
int LineMove(Edit& e, int delta, bool* at_wrap) {
  int target = std::clamp(e.CaretLine() + delta, 0, int(e.lines.size()) - 1);
  return e.CharAt(POINT{e.CaretPoint().x, e.format.top + (target - e.first_line) * e.line_height},
                  nullptr, at_wrap);
}

void Move(Edit& e, int to, bool extend, bool wrap_end = false) {
  e.SetSel(extend ? e.sel_anchor : to, to, true, wrap_end);
}

}  // namespace

void Edit::OnKeyDown(UINT vk) {
  const bool shift = Down(VK_SHIFT), ctrl = Down(VK_CONTROL);
  switch (vk) {
    case VK_LEFT: Move(*this, ctrl ? WordLeft(*this, caret) : StepLeft(*this, caret), shift); break;
    case VK_RIGHT:
      Move(*this, ctrl ? WordRight(*this, caret) : StepRight(*this, caret), shift);
      break;
    case VK_UP:
    case VK_DOWN:
      if (Multi()) {
        bool wrap_end = false;
        int to = LineMove(*this, vk == VK_UP ? -1 : 1, &wrap_end);
        Move(*this, to, shift, wrap_end);
      }
      break;
    case VK_HOME: Move(*this, ctrl ? 0 : lines[std::size_t(CaretLine())].start, shift); break;
    case VK_END: {
      if (ctrl) {
        Move(*this, Length(), shift);
        break;
      }
      const std::size_t l = std::size_t(CaretLine());
      const Line& ln = lines[l];
      int end = ln.end;
      const bool soft = l + 1 < lines.size() && lines[l + 1].start == ln.end;
      // A wrapped line ends before its trailing space, or at its very end without one.
      if (soft && end > ln.start && IsSpace(text[std::size_t(end) - 1])) --end;
      Move(*this, end, shift, soft && end == ln.end);
      break;
    }
    case VK_PRIOR:
    case VK_NEXT:
      if (Multi()) {
        int d = vk == VK_PRIOR ? -Visible() : Visible();
        bool wrap_end = false;
        int to = LineMove(*this, d, &wrap_end);
        ScrollTo(first_line + d, x_offset, true);
        if (dead) return;
        Move(*this, to, shift, wrap_end);
      }
      break;
    case VK_DELETE:
      if (shift) {
        Cut();
      } else if (!(style & ES_READONLY)) {
        if (SelStart() == SelEnd()) {
          int to = ctrl ? WordRight(*this, caret) : StepRight(*this, caret);
          sel_anchor = caret;
          caret = to;
        }
        Clear();
      }
      break;
    case VK_INSERT:
      if (shift)
        Paste();
      else if (ctrl)
        Copy();
      break;
  }
}

void Edit::OnChar(char32_t c) {
  const bool ro = style & ES_READONLY;
  switch (c) {
    case 0x01: SetSel(0, Length(), true); return;  // Ctrl+A
    case 0x03: Copy(); return;                     // Ctrl+C
    case 0x16: Paste(); return;                    // Ctrl+V
    case 0x18: Cut(); return;                      // Ctrl+X
    case 0x1A: Undo(); return;                     // Ctrl+Z
    case 0x08:                                     // Backspace
    case 0x7F:                                     // Ctrl+Backspace
      if (ro) return;
      if (SelStart() == SelEnd()) {
        int from = c == 0x08 ? StepLeft(*this, caret) : WordLeft(*this, caret);
        if (from == caret) return;
        sel_anchor = from;
      }
      ReplaceSel({}, true, true, true);
      return;
    case '\r':
    case '\n':
      if (Multi() && !ro) ReplaceSel(U"\r\n", true, true, true);
      return;
    case '\t':
      if (Multi() && !ro) ReplaceSel(U"\t", true, true, true);
      return;
  }
  if (c < 0x20 || ro || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return;
  if ((style & ES_NUMBER) && !(c >= '0' && c <= '9')) return;  // refused, silently
  ReplaceSel(std::u32string(1, c), true, true, true);
}

void Edit::OnMouse(UINT msg, WPARAM wp, LPARAM lp) {
  POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
  switch (msg) {
    case WM_LBUTTONDOWN: {
      if (GetFocus() != hwnd) SetFocus(hwnd);
      if (dead) return;
      bool wrap_end = false;
      int pos = CharAt(pt, nullptr, &wrap_end);
      SetSel((wp & MK_SHIFT) ? sel_anchor : pos, pos, true, wrap_end);
      dragging = true;
      SetCapture(hwnd);
      SetTimer(hwnd, kDragTimer, kDragRepeatMs, nullptr);
      return;
    }
    case WM_LBUTTONDBLCLK: {
      // A word and the spaces after it, as Windows selects; a run of Chinese is a word.
      int pos = CharAt(pt);
      // Past the end of a line: the word it ends with.
      if (pos > 0 && (pos == Length() || KindOf(text[std::size_t(pos)]) == Kind::Break) &&
          KindOf(text[std::size_t(pos) - 1]) != Kind::Break)
        --pos;
      int a = pos, b = pos;
      if (pos < Length() && KindOf(text[std::size_t(pos)]) != Kind::Break) {
        Kind k = KindOf(text[std::size_t(pos)]);
        while (a > 0 && KindOf(text[std::size_t(a) - 1]) == k) --a;
        while (b < Length() && KindOf(text[std::size_t(b)]) == k) ++b;
        if (k != Kind::Space)
          while (b < Length() && KindOf(text[std::size_t(b)]) == Kind::Space) ++b;
      }
      SetSel(a, b, true);
      return;
    }
    case WM_MOUSEMOVE:
      if (dragging) {
        // Outside, the selection reaches the edge; the timer scrolls on.
        RECT f = format;
        pt.y = std::clamp<LONG>(pt.y, f.top, std::max<LONG>(f.top, f.bottom - 1));
        bool wrap_end = false;
        int pos = CharAt(pt, nullptr, &wrap_end);
        SetSel(sel_anchor, pos, false, wrap_end);
      }
      return;
    case WM_LBUTTONUP:
      if (dragging) {
        dragging = false;
        KillTimer(hwnd, kDragTimer);
        ReleaseCapture();
      }
      return;
    case WM_CAPTURECHANGED:
      if (dragging) {
        dragging = false;
        KillTimer(hwnd, kDragTimer);
      }
      return;
  }
}

void Edit::OnTimer() {
  if (!dragging) {
    KillTimer(hwnd, kDragTimer);
    return;
  }
  POINT pt;
  GetCursorPos(&pt);
  ScreenToClient(hwnd, &pt);
  int top = first_line, x = x_offset;
  if (Multi() && pt.y < format.top) --top;
  if (Multi() && pt.y >= format.bottom) ++top;
  if (pt.x < format.left) x -= ave_width;
  if (pt.x >= format.right) x += ave_width;
  ScrollTo(top, x, true);
  if (dead) return;
  pt.y = std::clamp<LONG>(pt.y, format.top, std::max<LONG>(format.top, format.bottom - 1));
  pt.x = std::clamp<LONG>(pt.x, format.left, std::max<LONG>(format.left, format.right - 1));
  SetSel(sel_anchor, CharAt(pt), false);
}

void Edit::Copy() {
  // A password is never given away.
  if (password || SelStart() == SelEnd()) return;
  std::string s = Utf8(SelStart(), SelEnd());
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, s.size() + 1);
  if (!mem) return;
  if (void* p = GlobalLock(mem)) {
    std::memcpy(p, s.c_str(), s.size() + 1);
    GlobalUnlock(mem);
  }
  if (!OpenClipboard(hwnd)) {
    GlobalFree(mem);
    return;
  }
  EmptyClipboard();
  if (!SetClipboardData(CF_TEXT, mem)) GlobalFree(mem);
  CloseClipboard();
}

void Edit::Cut() {
  if (password) return;
  Copy();
  Clear();
}

void Edit::Clear() {
  if ((style & ES_READONLY) || SelStart() == SelEnd()) return;
  ReplaceSel({}, true, true, true);
}

void Edit::Paste() {
  if (style & ES_READONLY) return;
  if (!OpenClipboard(hwnd)) return;
  std::u32string ins;
  if (HANDLE mem = GetClipboardData(CF_TEXT)) {
    std::size_t size = GlobalSize(mem);
    if (auto* p = static_cast<const char*>(GlobalLock(mem))) {
      // The block need not end in a NUL: read no further than its size.
      const void* nul = std::memchr(p, 0, size);
      std::size_t n = nul ? std::size_t(static_cast<const char*>(nul) - p) : size;
      ins = Decode(p, n);
      GlobalUnlock(mem);
    }
  }
  CloseClipboard();
  if (!Multi()) {
    auto cut = ins.find_first_of(U"\r\n");
    if (cut != std::u32string::npos) ins.resize(cut);
  }
  if (ins.empty()) return;
  ReplaceSel(std::move(ins), true, true, true);
}

bool Edit::Undo() {
  if (style & ES_READONLY) return !Multi();  // a single line always answers TRUE
  if (undo_text.empty() && !undo_insert) return true;
  std::u32string put_back = undo_text;
  const int pos = undo_pos, ins = undo_insert;
  sel_anchor = std::clamp(pos, 0, Length());
  caret = std::clamp(pos + ins, 0, Length());
  undo_text.clear();
  undo_pos = undo_insert = 0;
  ReplaceSel(std::move(put_back), true, false, true);
  if (dead) return true;
  // What came back is selected, and undoing again puts the undone change back.
  SetSel(pos, pos + int(undo_insert), true);
  return true;
}

}  // namespace win::controls::edit
