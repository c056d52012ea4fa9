#pragma once
// A 32-bpp top-down DIB section selected into a memory DC, as a program that needs raw pixels
// makes one: the pixels are read and written directly, whatever the DC's origins and clipping.
#include <cstddef>
#include <cstdint>

#include "platform/win.h"

namespace win::testsupport {

// A bitmap of any depth that a memory DC can select, as on Windows: monochrome and 32-bpp
// device bitmaps, other depths as bottom-up DIB sections (1/4/8 bpp with the VGA colours
// first, then greys).
inline HBITMAP SelectableBitmap(int width, int height, int bpp) {
  if (bpp == 1 || bpp == 32) return CreateBitmap(width, height, 1, UINT(bpp), nullptr);
  struct {
    BITMAPINFOHEADER h;
    RGBQUAD colors[256];
  } info{};
  info.h.biWidth = width;
  info.h.biHeight = height;
  info.h.biBitCount = WORD(bpp);
  static const COLORREF kVga[16] = {
      RGB(0, 0, 0),       RGB(128, 0, 0),   RGB(0, 128, 0),   RGB(128, 128, 0),
      RGB(0, 0, 128),     RGB(128, 0, 128), RGB(0, 128, 128), RGB(192, 192, 192),
      RGB(128, 128, 128), RGB(255, 0, 0),   RGB(0, 255, 0),   RGB(255, 255, 0),
      RGB(0, 0, 255),     RGB(255, 0, 255), RGB(0, 255, 255), RGB(255, 255, 255)};
  if (bpp <= 8) {
    for (int i = 0; i < (1 << bpp); ++i) {
      COLORREF c = i < 16 ? kVga[i] : RGB(BYTE(i), BYTE(i), BYTE(i));
      info.colors[i] = RGBQUAD{GetBValue(c), GetGValue(c), GetRValue(c), 0};
    }
  }
  void* bits = nullptr;
  return CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits,
                          nullptr, 0);
}

class DibCanvas {
 public:
  DibCanvas(int width, int height) : w_(width), h_(height) {
    BITMAPINFO info{};
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    bmp_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    px_ = static_cast<std::uint32_t*>(bits);
    dc_ = CreateCompatibleDC(nullptr);
    old_ = SelectObject(dc_, bmp_);
  }
  ~DibCanvas() {
    SelectObject(dc_, old_);
    DeleteDC(dc_);
    DeleteObject(bmp_);
  }
  DibCanvas(const DibCanvas&) = delete;
  DibCanvas& operator=(const DibCanvas&) = delete;

  HDC dc() const { return dc_; }
  HBITMAP bitmap() const { return bmp_; }
  int width() const { return w_; }
  std::uint32_t* bits() const { return px_; }  // rows from the top, 0xAARRGGBB
  int height() const { return h_; }
  // CLR_INVALID outside the bitmap.
  COLORREF At(int x, int y) const {
    if (!px_ || x < 0 || y < 0 || x >= w_ || y >= h_) return CLR_INVALID;
    std::uint32_t v = px_[std::size_t(y) * w_ + x];  // 0x00RRGGBB
    return RGB(BYTE(v >> 16), BYTE(v >> 8), BYTE(v));
  }
  void Put(int x, int y, COLORREF c) {
    if (px_ && x >= 0 && y >= 0 && x < w_ && y < h_)
      px_[std::size_t(y) * w_ + x] =
          std::uint32_t(GetRValue(c)) << 16 | std::uint32_t(GetGValue(c)) << 8 | GetBValue(c);
  }
  void Fill(COLORREF c) {
    for (int y = 0; y < h_; ++y)
      for (int x = 0; x < w_; ++x) Put(x, y, c);
  }

 private:
  int w_, h_;
  HBITMAP bmp_ = nullptr;
  HDC dc_ = nullptr;
  HGDIOBJ old_ = nullptr;
  std::uint32_t* px_ = nullptr;
};

}  // namespace win::testsupport
