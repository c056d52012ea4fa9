#pragma once
// Windows bitmap files: the file structures, and loading a file as a bitmap handle.
#include <cstddef>

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
struct RGBTRIPLE {
  BYTE rgbtBlue = 0, rgbtGreen = 0, rgbtRed = 0;
};

// A bitmap handle for a BMP file in memory or on disk, as LoadImage with LR_LOADFROMFILE gives
// one; null with the last error set: ERROR_BAD_FORMAT for a file that is not a bitmap we read
// (magic, header size, depth, compression), ERROR_INVALID_DATA for corrupt sizes, offsets,
// counts or pixel data, ERROR_FILE_NOT_FOUND / ERROR_ACCESS_DENIED for a file that cannot be
// read, ERROR_NOT_ENOUGH_MEMORY when allocation fails.
HBITMAP LoadBitmapFromMemory(const void* data, std::size_t size);
HBITMAP LoadBitmapFromFile(const char* path);

}  // namespace win
