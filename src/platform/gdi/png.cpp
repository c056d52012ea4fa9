#include "platform/gdi/internal/png.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>

#include "platform/base/error.h"
#include "platform/base/internal/geometry.h"
#include "platform/testing.h"

namespace win {
namespace gdi {

namespace {

// The image as 24-bit RGB rows, prepared before libpng runs so that nothing with a
// destructor lives across its longjmp.
std::vector<BYTE> RgbRows(const Bitmap& bmp) {
  std::vector<BYTE> rgb(std::size_t(bmp.width) * 3 * bmp.height);
  BYTE* p = rgb.data();
  for (int y = 0; y < bmp.height; ++y) {
    if (bmp.bpp == 32 || bmp.bpp == 24) {
      const BYTE* s = bmp.Row(y);
      const int step = bmp.bpp / 8;
      for (int x = 0; x < bmp.width; ++x, s += step, p += 3) {
        p[0] = s[2];
        p[1] = s[1];
        p[2] = s[0];
      }
    } else {
      for (int x = 0; x < bmp.width; ++x, p += 3) {
        COLORREF c = bmp.ToColor(bmp.Get(x, y));
        p[0] = GetRValue(c);
        p[1] = GetGValue(c);
        p[2] = GetBValue(c);
      }
    }
  }
  return rgb;
}

struct Sink {
  std::FILE* file = nullptr;
  std::vector<BYTE>* buffer = nullptr;
  bool failed = false;
};

void WriteData(png_structp png, png_bytep data, png_size_t len) {
  auto* sink = static_cast<Sink*>(png_get_io_ptr(png));
  if (sink->file) {
    if (std::fwrite(data, 1, len, sink->file) != len) sink->failed = true;
  } else {
    sink->buffer->insert(sink->buffer->end(), data, data + len);
  }
}

void Flush(png_structp png) {
  auto* sink = static_cast<Sink*>(png_get_io_ptr(png));
  if (sink->file) std::fflush(sink->file);
}

bool Encode(int width, int height, png_bytep* rows, Sink* sink) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, info ? &info : nullptr);
    return false;
  }
  png_set_write_fn(png, sink, WriteData, Flush);
  png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_write_image(png, rows);
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

bool Write(const Bitmap& bmp, Sink* sink) {
  if (bmp.width <= 0 || bmp.height <= 0 ||
      bmp.storage.size() < std::size_t(bmp.stride) * bmp.height) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  std::vector<BYTE> rgb = RgbRows(bmp);
  std::vector<png_bytep> rows(bmp.height);
  for (int y = 0; y < bmp.height; ++y) rows[y] = rgb.data() + std::size_t(y) * bmp.width * 3;
  if (!Encode(bmp.width, bmp.height, rows.data(), sink) || sink->failed) {
    SetLastError(ERROR_ACCESS_DENIED);
    return false;
  }
  return true;
}

}  // namespace

bool WritePng(const Bitmap& bmp, const std::string& path) {
  if (bmp.width <= 0 || bmp.height <= 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  Sink sink;
  sink.file = std::fopen(path.c_str(), "wb");
  if (!sink.file) {
    SetLastError(ERROR_ACCESS_DENIED);
    return false;
  }
  bool ok = Write(bmp, &sink);
  if (std::fclose(sink.file) != 0 && ok) {
    SetLastError(ERROR_ACCESS_DENIED);
    ok = false;
  }
  if (!ok) std::remove(path.c_str());
  return ok;
}

bool WritePng(const Bitmap& bmp, std::vector<BYTE>* out) {
  if (!out) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  std::vector<BYTE> buffer;
  Sink sink;
  sink.buffer = &buffer;
  if (!Write(bmp, &sink)) return false;
  *out = std::move(buffer);
  return true;
}

}  // namespace gdi

BOOL WriteBitmapPng(HBITMAP bitmap, const char* path) {
  auto bmp = gdi::FindBitmap(bitmap);
  if (!bmp) return FALSE;
  if (!path) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return gdi::WritePng(*bmp, std::string(path)) ? TRUE : FALSE;
}

}  // namespace win
