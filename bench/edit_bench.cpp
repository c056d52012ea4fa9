// The edit control with long Chinese texts: a character typed into a memo of 10 000 characters
// (in place and repainted), and a text of 100 000 characters set at once.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "platform/display.h"
#include "platform/win.h"

namespace {
using namespace win;

// Chinese prose with its punctuation, in paragraphs of `paragraph` characters (0: one).
std::string Chinese(int characters, int paragraph = 100) {
  static const char* const kWords[] = {"春眠", "不觉", "晓，", "处处", "闻啼", "鸟。", "夜来",
                                       "风雨", "声，", "花落", "知多", "少。", "家居", "饮食"};
  std::string out;
  int n = 0, i = 0;
  while (n < characters) {
    out += kWords[i++ % 14];
    n += 2;
    if (paragraph && n % paragraph == 0 && n < characters) {
      out += "\r\n";
      n += 2;
    }
  }
  return out;
}

struct Memo {
  display::HeadlessDisplay screen;
  HWND top = nullptr, edit = nullptr;
  HFONT font =
      CreateFont(13, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "\xE5\xAE\x8B\xE4\xBD\x93");
  Memo() {
    WNDCLASSEX wc;
    wc.lpszClassName = "EditBench";
    wc.lpfnWndProc = DefWindowProc;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(std::uintptr_t(COLOR_BTNFACE + 1));
    RegisterClassEx(&wc);
    top = CreateWindowEx(0, "EditBench", "", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480, nullptr,
                         nullptr, nullptr, nullptr);
    edit = CreateWindowEx(WS_EX_CLIENTEDGE, "Edit", "",
                          WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL, 10,
                          10, 569, 300, top, nullptr, nullptr, nullptr);
    SendMessage(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SetFocus(edit);
    Drain();
  }
  ~Memo() {
    DestroyWindow(top);
    DeleteObject(font);
    UnregisterClass("EditBench", nullptr);
  }
  static void Drain() {
    MSG m;
    while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&m);
  }
  bool Painted(benchmark::State& state) {
    if (GetUpdateRect(edit, nullptr, FALSE)) {
      state.SkipWithError("the edit was left unpainted");
      return false;
    }
    return true;
  }
};

void BM_EditTypeIntoChineseMemo(benchmark::State& state) {
  Memo memo;
  // Typing in the middle of one long paragraph re-wraps the rest of it.
  const std::string text = Chinese(10000, int(state.range(0)));
  const int middle = 5000;
  auto reset = [&] {
    SetWindowText(memo.edit, text.c_str());
    SendMessage(memo.edit, EM_SETSEL, middle, middle);
    SendMessage(memo.edit, EM_SCROLLCARET, 0, 0);
    UpdateWindow(memo.edit);
  };
  reset();
  int typed = 0;
  for (auto _ : state) {
    SendMessage(memo.edit, WM_CHAR, 0x5B57, 0);  // 字
    UpdateWindow(memo.edit);
    if (++typed == 500) {
      state.PauseTiming();
      reset();
      typed = 0;
      state.ResumeTiming();
    }
  }
  memo.Painted(state);
  // The characters went in at the caret.
  char line[64] = {};
  WORD cap = sizeof line - 1;
  std::memcpy(line, &cap, sizeof cap);
  LRESULT n = SendMessage(memo.edit, EM_GETLINE,
                          WPARAM(SendMessage(memo.edit, EM_LINEFROMCHAR, WPARAM(middle), 0)),
                          reinterpret_cast<LPARAM>(line));
  if (typed && std::string(line, std::size_t(n)).find("\xE5\xAD\x97") == std::string::npos)
    state.SkipWithError("the typed characters are not in place");
}
BENCHMARK(BM_EditTypeIntoChineseMemo)->Arg(100)->Arg(0)->Unit(benchmark::kMicrosecond);

void BM_EditSetText100k(benchmark::State& state) {
  Memo memo;
  const std::string text = Chinese(100000);
  for (auto _ : state) {
    SetWindowText(memo.edit, text.c_str());
    UpdateWindow(memo.edit);
  }
  memo.Painted(state);
  if (GetWindowTextLength(memo.edit) != int(text.size())) state.SkipWithError("text lost");
}
BENCHMARK(BM_EditSetText100k)->Unit(benchmark::kMillisecond);

}  // namespace
