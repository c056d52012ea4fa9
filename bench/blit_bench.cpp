// Throughput of the blitters on window-sized 32-bpp memory DCs.
#include <benchmark/benchmark.h>

#include "platform/win.h"

namespace {
using namespace win;

struct Surface {
  HDC dc = nullptr;
  HBITMAP bmp = nullptr;
  Surface(int w, int h) {
    dc = CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    bmp = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    SelectObject(dc, bmp);
    // Varied pixels, about one in eight of them the colour key.
    auto* px = static_cast<std::uint32_t*>(bits);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        px[std::size_t(y) * w + x] =
            ((x ^ y) & 7) == 0 ? 0xFF00FF : std::uint32_t(x * 2654435761u ^ y * 40503u);
  }
  ~Surface() {
    DeleteDC(dc);
    DeleteObject(bmp);
  }
};

constexpr int kW = 1024, kH = 768;

// A blit that silently did nothing would look very fast.
bool Copied(const Surface& dst, int x, int y, COLORREF want, benchmark::State& state) {
  if (GetPixel(dst.dc, x, y) == want) return true;
  state.SkipWithError("the blit did not write the expected pixel");
  return false;
}

void BM_BitBltSrcCopy(benchmark::State& state) {
  Surface src(kW, kH), dst(kW, kH);
  for (auto _ : state) {
    BitBlt(dst.dc, 0, 0, kW, kH, src.dc, 0, 0, SRCCOPY);
    benchmark::ClobberMemory();
  }
  Copied(dst, kW - 1, kH - 1, GetPixel(src.dc, kW - 1, kH - 1), state);
  state.SetBytesProcessed(state.iterations() * std::int64_t(kW) * kH * 4);
  state.SetItemsProcessed(state.iterations() * std::int64_t(kW) * kH);
}
BENCHMARK(BM_BitBltSrcCopy)->Unit(benchmark::kMicrosecond);

void BM_StretchBltNearest2x(benchmark::State& state) {
  Surface src(kW / 2, kH / 2), dst(kW, kH);
  SetStretchBltMode(dst.dc, COLORONCOLOR);
  for (auto _ : state) {
    StretchBlt(dst.dc, 0, 0, kW, kH, src.dc, 0, 0, kW / 2, kH / 2, SRCCOPY);
    benchmark::ClobberMemory();
  }
  Copied(dst, kW - 1, kH - 1, GetPixel(src.dc, kW / 2 - 1, kH / 2 - 1), state);
  state.SetBytesProcessed(state.iterations() * std::int64_t(kW) * kH * 4);
  state.SetItemsProcessed(state.iterations() * std::int64_t(kW) * kH);  // destination pixels
}
BENCHMARK(BM_StretchBltNearest2x)->Unit(benchmark::kMicrosecond);

void BM_TransparentBltColourKey(benchmark::State& state) {
  Surface src(kW, kH), dst(kW, kH);
  PatBlt(dst.dc, 0, 0, kW, kH, BLACKNESS);
  for (auto _ : state) {
    TransparentBlt(dst.dc, 0, 0, kW, kH, src.dc, 0, 0, kW, kH, RGB(255, 0, 255));
    benchmark::ClobberMemory();
  }
  // (1, 0) is an ordinary pixel; (0, 0) is the key and keeps the destination's own colour.
  if (Copied(dst, 1, 0, GetPixel(src.dc, 1, 0), state)) Copied(dst, 0, 0, RGB(0, 0, 0), state);
  state.SetBytesProcessed(state.iterations() * std::int64_t(kW) * kH * 4);
  state.SetItemsProcessed(state.iterations() * std::int64_t(kW) * kH);
}
BENCHMARK(BM_TransparentBltColourKey)->Unit(benchmark::kMicrosecond);

}  // namespace
