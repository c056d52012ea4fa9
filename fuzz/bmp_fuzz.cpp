// Feeds arbitrary bytes to the BMP reader; any crash, overflow or leak is a finding.
// Run: ./build/fuzz/fuzz/bmp_fuzz -max_len=4096 corpus/
#include <cstddef>
#include <cstdint>

#include "platform/gdi/internal/bmpfile.h"

namespace {
// Run-length data a few bytes long may describe an image of up to a gigabyte, which the
// reader rightly allocates; such inputs only slow the fuzzer down.
bool HugeImage(const std::uint8_t* d, std::size_t n) {
  if (n < 26) return false;
  auto u32 = [&](std::size_t at) {
    return std::uint32_t(d[at] | (d[at + 1] << 8) | (d[at + 2] << 16)) |
           (std::uint32_t(d[at + 3]) << 24);
  };
  if (u32(14) == 12) return false;  // never compressed: the data bounds the image
  std::int64_t w = std::int32_t(u32(18)), h = std::int32_t(u32(22));
  if (h < 0) h = -h;
  return w * h > (std::int64_t(1) << 22);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (HugeImage(data, size)) return 0;
  win::gdi::BmpResult r = win::gdi::ReadBmp(data, size);
  if (r) {
    // Touch every pixel through the ordinary accessors: the decoded bitmap must be whole.
    const win::gdi::Bitmap& b = *r.bitmap;
    std::uint32_t sum = 0;
    for (int y = 0; y < b.height; ++y)
      for (int x = 0; x < b.width; ++x) sum += b.ToColor(b.Get(x, y));
    // Writing it back must give a file the reader accepts.
    auto again = win::gdi::EncodeBmp(b);
    if (!win::gdi::ReadBmp(again.data(), again.size())) __builtin_trap();
    (void)sum;
  }
  return 0;
}
