#pragma once
// Windows bitmap files: reading every header version and encoding, and writing
// BITMAPINFOHEADER files as Windows does (bottom-up rows).
//
// Errors: the gdi:: readers return a BmpResult whose `error` says what is wrong with the file
// (empty on success) and whose `code` is ERROR_BAD_FORMAT for a file that is not a bitmap we
// read (magic, header size, depth, compression), ERROR_INVALID_DATA for a bitmap whose sizes,
// offsets, counts or pixel data are corrupt, ERROR_FILE_NOT_FOUND / ERROR_ACCESS_DENIED for a
// file that cannot be read, ERROR_NOT_ENOUGH_MEMORY when allocation fails. The HBITMAP helpers
// set the same code as the last error and return null; the message is then in LastBmpError().
// A parser never trusts a size, offset or count from the file.
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "platform/gdi/bitmap.h"

namespace win {

constexpr WORD BMP_MAGIC = 0x4D42;  // "BM"
constexpr DWORD BI_JPEG = 4, BI_PNG = 5, BI_ALPHABITFIELDS = 6;

// File layouts (the structures are packed in files; these mirror the fields only).
struct BITMAPFILEHEADER {
  WORD bfType = BMP_MAGIC;
  DWORD bfSize = 0;
  WORD bfReserved1 = 0, bfReserved2 = 0;
  DWORD bfOffBits = 0;
};
constexpr DWORD kBitmapFileHeaderSize = 14;
struct BITMAPCOREHEADER {
  DWORD bcSize = 12;
  WORD bcWidth = 0, bcHeight = 0, bcPlanes = 1, bcBitCount = 0;
};
struct RGBTRIPLE { BYTE rgbtBlue = 0, rgbtGreen = 0, rgbtRed = 0; };

namespace gdi {

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

}  // namespace gdi

// A bitmap handle for a BMP file in memory or on disk; null with the last error set (see above).
HBITMAP LoadBitmapFromMemory(const void* data, std::size_t size);
HBITMAP LoadBitmapFromFile(const char* path);

}  // namespace win
