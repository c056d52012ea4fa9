#pragma once
// Reading every header version and encoding of bitmap files, and writing BITMAPINFOHEADER
// files as Windows does (bottom-up rows). The readers return a BmpResult whose `error` says
// what is wrong with the file (empty on success) and whose `code` is the last error the
// HBITMAP loaders set (see bmpfile.h). A parser never trusts a size, offset or count from the
// file.
#include "platform/gdi/bmpfile.h"
#include "platform/gdi/internal/access.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "platform/gdi/internal/bitmap.h"

namespace win::gdi {

struct BmpResult {
  // 1/4/8 bpp stay paletted with the file's colour table (biClrUsed entries, or the full
  // 2^bpp table); RLE4/RLE8 decode to 4/8 bpp (pixels the runs skip are index 0; data that
  // stops without the end-of-bitmap code ends the image there); 16-bpp and
  // bit-field images become 32 bpp; 24 and 32 bpp stay as they are. Rows keep the file's
  // order: top_down is true for a negative height.
  std::shared_ptr<Bitmap> bitmap;
  std::string error;
  DWORD code = 0;
  explicit operator bool() const { return bitmap != nullptr; }
};

// `data` is a complete file: BITMAPFILEHEADER, then the header, masks, colour table, pixels.
BmpResult ReadBmp(const void* data, std::size_t size);
BmpResult ReadBmpFile(const std::string& path);

// Encodes 1, 4, 8, 24 and 32-bpp bitmaps at their own depth (16 bpp is written as 24),
// BITMAPINFOHEADER with BI_RGB, bottom-up. Reading the result back gives the same pixels
// and colour table.
std::vector<BYTE> EncodeBmp(const Bitmap& bmp);
bool WriteBmpFile(const Bitmap& bmp, const std::string& path);  // false + last error

// The message of the last failed LoadBitmapFromMemory/LoadBitmapFromFile on this thread.
const std::string& LastBmpError();

}  // namespace win::gdi
