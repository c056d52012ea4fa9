#include <benchmark/benchmark.h>

#include <string>

#include "platform/testing.h"
#include "platform/win.h"

namespace {

using namespace win;

struct Canvas {
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bmp = CreateBitmap(640, 480, 1, 32, nullptr);
  Canvas() {
    SelectObject(dc, bmp);
    SetBkMode(dc, TRANSPARENT);
  }
  ~Canvas() {
    DeleteDC(dc);
    DeleteObject(bmp);
  }
};

std::string Paragraph() {
  const std::string base =
      "女性在日常生活中，应当注意饮食均衡、适量运动和充足睡眠。保持良好的心态也很重要，"
      "这样才能拥有健康美丽的身体。";  // 40 characters
  std::string s;
  for (int i = 0; i < 5; ++i) s += base;
  return s;  // 200 characters
}

// A 200-character Chinese paragraph wrapped into a 300-pixel column, glyphs cached.
void BM_TextDrawParagraph(benchmark::State& state) {
  Canvas c;
  HFONT font = CreateFont(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, GB2312_CHARSET, 0, 0, 0, 0, "宋体");
  SelectObject(c.dc, font);
  std::string text = Paragraph();
  RECT rc{10, 10, 310, 470};
  DrawText(c.dc, text.c_str(), int(text.size()), &rc, DT_WORDBREAK);
  for (auto _ : state) {
    RECT r = rc;
    benchmark::DoNotOptimize(DrawText(c.dc, text.c_str(), int(text.size()), &r, DT_WORDBREAK));
  }
  DeleteObject(font);
}
BENCHMARK(BM_TextDrawParagraph);

// A new font realised and its first glyph drawn; fontconfig and the open faces are warm,
// realisations and glyphs are not. The argument is the character height: 12 comes from the
// bitmap strike, 21 from the outline.
void BM_TextFirstGlyphOfNewFont(benchmark::State& state) {
  Canvas c;
  HFONT warm = CreateFont(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, GB2312_CHARSET, 0, 0, 0, 0, "宋体");
  SelectObject(c.dc, warm);
  TextOut(c.dc, 0, 0, "中", 3);
  SelectObject(c.dc, GetStockObject(SYSTEM_FONT));
  DeleteObject(warm);
  for (auto _ : state) {
    state.PauseTiming();
    FlushFontCaches();
    state.ResumeTiming();
    HFONT f = CreateFont(-int(state.range(0)), 0, 0, 0, FW_NORMAL, 0, 0, 0, GB2312_CHARSET, 0, 0, 0,
                         0, "宋体");
    HGDIOBJ old = SelectObject(c.dc, f);
    TextOut(c.dc, 0, 0, "中", 3);
    SelectObject(c.dc, old);
    DeleteObject(f);
  }
}
BENCHMARK(BM_TextFirstGlyphOfNewFont)->Arg(12)->Arg(21);

}  // namespace
