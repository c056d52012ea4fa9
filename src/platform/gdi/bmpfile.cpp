#include "platform/gdi/internal/bmpfile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/base/error.h"
#include "platform/base/internal/geometry.h"

namespace win {
namespace gdi {

namespace {

// Little-endian reads at offsets the caller has already bounds-checked.
struct Bytes {
  const BYTE* p;
  std::size_t n;
  bool Has(std::size_t off, std::size_t len) const { return off <= n && len <= n - off; }
  WORD U16(std::size_t off) const { return WORD(p[off] | (p[off + 1] << 8)); }
  DWORD U32(std::size_t off) const {
    return DWORD(p[off]) | (DWORD(p[off + 1]) << 8) | (DWORD(p[off + 2]) << 16) |
           (DWORD(p[off + 3]) << 24);
  }
  LONG I32(std::size_t off) const { return LONG(U32(off)); }
};

BmpResult Fail(DWORD code, std::string message) {
  BmpResult r;
  r.code = code;
  r.error = std::move(message);
  return r;
}

BmpResult Corrupt(std::string message) { return Fail(ERROR_INVALID_DATA, std::move(message)); }
BmpResult Unsupported(std::string message) { return Fail(ERROR_BAD_FORMAT, std::move(message)); }

// A colour channel given by an arbitrary bit mask, scaled to 8 bits.
struct Channel {
  DWORD mask = 0;
  int shift = 0, width = 0;
  explicit Channel(DWORD m) : mask(m) {
    if (!m) return;
    while (!(m & 1)) {
      m >>= 1;
      ++shift;
    }
    while (m) {
      m >>= 1;
      ++width;
    }
  }
  BYTE Get(DWORD v) const {
    if (!width) return 0;
    DWORD x = (v & mask) >> shift;
    if (width >= 8) return BYTE(x >> (width - 8));
    // Replicate the high bits into the low ones so full scale maps to 255.
    DWORD out = 0;
    for (int got = 0; got < 8; got += width) out = (out << width) | x;
    int total = ((8 + width - 1) / width) * width;
    return BYTE(out >> (total - 8));
  }
};

struct Rle {
  const BYTE* d;
  std::size_t n;
  bool four;  // RLE4: two pixels per byte
  Bitmap& out;
  std::string error;

  void Put(int x, int y, BYTE v) {
    BYTE* row = out.storage.data() + std::size_t(y) * out.stride;  // bottom-up: row 0 first
    if (!four) {
      row[x] = v;
      return;
    }
    BYTE& b = row[x >> 1];
    b = (x & 1) ? BYTE((b & 0xF0) | (v & 0x0F)) : BYTE((b & 0x0F) | ((v & 0x0F) << 4));
  }

  bool Decode() {
    const int w = out.width, h = out.height;
    std::size_t i = 0;
    int x = 0, y = 0;
    // Data that simply stops without the end-of-bitmap escape is taken as ending there.
    while (i < n) {
      if (n - i < 2) return Err("RLE data ends inside a code");
      const int count = d[i], value = d[i + 1];
      i += 2;
      if (count > 0) {
        if (y >= h) return Err("RLE run below the last row");
        if (x + count > w) return Err("RLE run passes the end of row " + std::to_string(y));
        for (int k = 0; k < count; ++k)
          Put(x + k, y, BYTE(four ? ((k & 1) ? value & 0x0F : value >> 4) : value));
        x += count;
        continue;
      }
      switch (value) {
        case 0:
          x = 0;
          ++y;
          break;              // end of line
        case 1: return true;  // end of bitmap
        case 2: {             // delta
          if (n - i < 2) return Err("RLE delta ends early");
          x += d[i];
          y += d[i + 1];
          i += 2;
          if (x > w || y > h) return Err("RLE delta moves outside the image");
          break;
        }
        default: {  // absolute run of `value` pixels, padded to a 16-bit boundary
          const std::size_t bytes = four ? (std::size_t(value) + 1) / 2 : std::size_t(value);
          if (n - i < bytes) return Err("RLE absolute run ends early");
          if (y >= h) return Err("RLE run below the last row");
          if (x + value > w) return Err("RLE run passes the end of row " + std::to_string(y));
          for (int k = 0; k < value; ++k) {
            BYTE b = d[i + (four ? std::size_t(k) / 2 : std::size_t(k))];
            Put(x + k, y, four ? BYTE((k & 1) ? b & 0x0F : b >> 4) : b);
          }
          x += value;
          i += std::min(n - i, (bytes + 1) & ~std::size_t(1));
          break;
        }
      }
    }
    return true;
  }
  bool Err(std::string m) {
    error = std::move(m);
    return false;
  }
};

}  // namespace

BmpResult ReadBmp(const void* data, std::size_t size) {
  if (!data) size = 0;
  const Bytes f{static_cast<const BYTE*>(data), size};
  if (size < kBitmapFileHeaderSize + 4) return Unsupported("too short for a bitmap file");
  if (f.U16(0) != BMP_MAGIC) return Unsupported("not a bitmap file (no \"BM\" signature)");
  const DWORD off_bits = f.U32(10);
  const DWORD hsize = f.U32(14);
  const std::size_t h0 = kBitmapFileHeaderSize;
  switch (hsize) {
    case 12:
    case 40:
    case 52:
    case 56:
    case 108:
    case 124: break;
    default: return Unsupported("unsupported bitmap header size " + std::to_string(hsize));
  }
  if (!f.Has(h0, hsize)) return Corrupt("bitmap header runs past the end of the file");

  const bool core = hsize == 12;
  LONG width, height;
  WORD planes, bpp;
  DWORD compression = BI_RGB, size_image = 0, clr_used = 0;
  if (core) {
    width = f.U16(h0 + 4);
    height = f.U16(h0 + 6);
    planes = f.U16(h0 + 8);
    bpp = f.U16(h0 + 10);
  } else {
    width = f.I32(h0 + 4);
    height = f.I32(h0 + 8);
    planes = f.U16(h0 + 12);
    bpp = f.U16(h0 + 14);
    compression = f.U32(h0 + 16);
    size_image = f.U32(h0 + 20);
    clr_used = f.U32(h0 + 32);
  }

  if (planes != 1) return Corrupt("plane count " + std::to_string(planes) + " is not 1");
  if (width <= 0 || width > kMaxBitmapSide)
    return Corrupt("width " + std::to_string(width) + " out of range");
  if (height == 0 || height < -kMaxBitmapSide || height > kMaxBitmapSide)
    return Corrupt("height " + std::to_string(height) + " out of range");
  const bool top_down = height < 0;
  const int h = top_down ? -height : height;
  switch (bpp) {
    case 1:
    case 4:
    case 8:
    case 24: break;
    case 16:
    case 32:
      if (!core) break;
      [[fallthrough]];
    default: return Unsupported("unsupported bit depth " + std::to_string(bpp));
  }
  const bool bitfields = compression == BI_BITFIELDS || compression == BI_ALPHABITFIELDS;
  switch (compression) {
    case BI_RGB: break;
    case BI_RLE8:
      if (bpp == 8) break;
      return Corrupt("RLE8 needs 8 bits per pixel");
    case BI_RLE4:
      if (bpp == 4) break;
      return Corrupt("RLE4 needs 4 bits per pixel");
    case BI_BITFIELDS:
    case BI_ALPHABITFIELDS:
      if (bpp == 16 || bpp == 32) break;
      return Corrupt("bit fields need 16 or 32 bits per pixel");
    default: return Unsupported("unsupported compression " + std::to_string(compression));
  }
  const bool rle = compression == BI_RLE8 || compression == BI_RLE4;
  if (rle && top_down) return Corrupt("a compressed bitmap cannot be top-down");
  const std::int64_t stride = DibStride(width, bpp);
  if (stride * h > kMaxBitmapBytes)
    return Corrupt("image of " + std::to_string(width) + "x" + std::to_string(h) + " too large");

  // Masks: after a 40-byte header, inside the larger ones.
  std::size_t table_off = h0 + hsize;
  DWORD masks[3] = {0, 0, 0};
  if (bitfields) {
    std::size_t moff = h0 + 40;
    if (hsize == 40) {
      std::size_t mbytes = compression == BI_ALPHABITFIELDS ? 16 : 12;
      if (!f.Has(moff, mbytes)) return Corrupt("colour masks run past the end of the file");
      table_off += mbytes;
    }
    for (int c = 0; c < 3; ++c) masks[c] = f.U32(moff + 4 * c);
  } else if (bpp == 16) {
    masks[0] = 0x7C00;
    masks[1] = 0x03E0;
    masks[2] = 0x001F;
  } else {
    masks[0] = 0xFF0000;
    masks[1] = 0xFF00;
    masks[2] = 0xFF;
  }

  std::vector<RGBQUAD> table;
  if (bpp <= 8) {
    const DWORD max = 1u << bpp;
    if (clr_used > max)
      return Corrupt("colour count " + std::to_string(clr_used) + " exceeds " +
                     std::to_string(max) + " for " + std::to_string(bpp) + " bits per pixel");
    const DWORD count = clr_used ? clr_used : max;
    const std::size_t entry = core ? 3 : 4;
    if (!f.Has(table_off, count * entry))
      return Corrupt("colour table runs past the end of the file");
    for (DWORD i = 0; i < count; ++i) {
      const BYTE* e = f.p + table_off + i * entry;
      table.push_back(RGBQUAD{e[0], e[1], e[2], 0});
    }
  }

  if (off_bits < h0 + hsize || off_bits > size)
    return Corrupt("pixel data offset " + std::to_string(off_bits) + " out of range");
  const BYTE* pixels = f.p + off_bits;
  std::size_t avail = size - off_bits;

  // Checked before allocating, so a short file claiming a huge image costs nothing.
  const std::int64_t need = stride * h;
  if (!rle && std::int64_t(avail) < need)
    return Corrupt("pixel data truncated: " + std::to_string(avail) + " of " +
                   std::to_string(need) + " bytes");

  const bool to32 =
      bpp == 16 || (bitfields && !(masks[0] == 0xFF0000 && masks[1] == 0xFF00 && masks[2] == 0xFF));
  if (to32 && std::int64_t(DibStride(width, 32)) * h > kMaxBitmapBytes)
    return Corrupt("image of " + std::to_string(width) + "x" + std::to_string(h) +
                   " too large at 32 bits per pixel");
  auto bmp = NewBitmap(width, h, to32 ? 32 : bpp, rle ? false : top_down);
  if (!bmp) return Fail(ERROR_NOT_ENOUGH_MEMORY, "cannot allocate the bitmap");
  if (bpp <= 8) bmp->colors = table;

  if (rle) {
    if (size_image && size_image < avail) avail = size_image;
    Rle dec{pixels, avail, compression == BI_RLE4, *bmp, {}};
    if (!dec.Decode()) return Corrupt(dec.error);
  } else {
    if (!to32) {
      std::memcpy(bmp->storage.data(), pixels, std::size_t(need));
    } else {
      // Rows are converted in storage order, which both bitmaps share.
      const Channel r(masks[0]), g(masks[1]), b(masks[2]);
      for (int y = 0; y < h; ++y) {
        const BYTE* src = pixels + std::size_t(y) * std::size_t(stride);
        BYTE* dst = bmp->storage.data() + std::size_t(y) * bmp->stride;
        for (int x = 0; x < width; ++x) {
          DWORD v = bpp == 16 ? DWORD(src[x * 2] | (src[x * 2 + 1] << 8))
                              : Bytes{src, std::size_t(stride)}.U32(std::size_t(x) * 4);
          dst[x * 4] = b.Get(v);
          dst[x * 4 + 1] = g.Get(v);
          dst[x * 4 + 2] = r.Get(v);
          dst[x * 4 + 3] = 0;
        }
      }
    }
  }
  BmpResult ok;
  ok.bitmap = std::move(bmp);
  return ok;
}

BmpResult ReadBmpFile(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) {
    int e = errno;
    return Fail(e == ENOENT ? ERROR_FILE_NOT_FOUND : ERROR_ACCESS_DENIED,
                "cannot open " + path + ": " + std::strerror(e));
  }
  std::vector<BYTE> bytes;
  BYTE buf[65536];
  std::size_t got;
  bool too_big = false;
  while ((got = std::fread(buf, 1, sizeof buf, file)) > 0) {
    // Headers and tables never need more than a few kilobytes beyond the largest image.
    if (std::int64_t(bytes.size() + got) > kMaxBitmapBytes + (1 << 20)) {
      too_big = true;
      break;
    }
    bytes.insert(bytes.end(), buf, buf + got);
  }
  bool read_error = std::ferror(file) != 0;
  std::fclose(file);
  if (too_big) return Corrupt(path + ": file too large for a bitmap");
  if (read_error) return Fail(ERROR_ACCESS_DENIED, "cannot read " + path);
  BmpResult r = ReadBmp(bytes.data(), bytes.size());
  if (!r) r.error = path + ": " + r.error;
  return r;
}

std::vector<BYTE> EncodeBmp(const Bitmap& bmp) {
  std::vector<BYTE> out;
  if (bmp.width <= 0 || bmp.height <= 0 ||
      bmp.storage.size() < std::size_t(bmp.stride) * bmp.height)
    return out;
  const int bpp = bmp.bpp == 16 ? 24 : bmp.bpp;
  const int stride = DibStride(bmp.width, bpp);
  std::vector<RGBQUAD> table;
  if (bpp <= 8) {
    table = bmp.colors.empty() ? DefaultColorTable(bpp) : bmp.colors;
    if (table.size() > (std::size_t(1) << bpp)) table.resize(std::size_t(1) << bpp);
  }
  const DWORD off_bits = DWORD(kBitmapFileHeaderSize + 40 + 4 * table.size());
  const DWORD image = DWORD(stride) * DWORD(bmp.height);
  out.reserve(off_bits + image);
  auto u16 = [&](DWORD v) {
    out.push_back(BYTE(v));
    out.push_back(BYTE(v >> 8));
  };
  auto u32 = [&](DWORD v) {
    u16(v & 0xFFFF);
    u16(v >> 16);
  };
  u16(BMP_MAGIC);
  u32(off_bits + image);
  u32(0);
  u32(off_bits);
  u32(40);
  u32(DWORD(bmp.width));
  u32(DWORD(bmp.height));  // positive: bottom-up
  u16(1);
  u16(DWORD(bpp));
  u32(BI_RGB);
  u32(image);
  u32(0);
  u32(0);
  u32(table.size() == (std::size_t(1) << bpp) ? 0 : DWORD(table.size()));
  u32(0);
  for (const RGBQUAD& q : table) {
    out.push_back(q.rgbBlue);
    out.push_back(q.rgbGreen);
    out.push_back(q.rgbRed);
    out.push_back(0);
  }
  for (int i = 0; i < bmp.height; ++i) {
    const int y = bmp.height - 1 - i;  // the file's first row is the bottom one
    const BYTE* src = bmp.Row(y);
    std::size_t at = out.size();
    out.resize(at + stride, 0);
    if (bpp == bmp.bpp) {
      std::memcpy(out.data() + at, src, std::size_t(std::min(stride, bmp.stride)));
    } else {
      for (int x = 0; x < bmp.width; ++x) {
        COLORREF c = bmp.ToColor(bmp.Get(x, y));
        out[at + x * 3] = GetBValue(c);
        out[at + x * 3 + 1] = GetGValue(c);
        out[at + x * 3 + 2] = GetRValue(c);
      }
    }
  }
  return out;
}

bool WriteBmpFile(const Bitmap& bmp, const std::string& path) {
  std::vector<BYTE> bytes = EncodeBmp(bmp);
  if (bytes.empty()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) {
    SetLastError(ERROR_ACCESS_DENIED);
    return false;
  }
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  ok = std::fclose(file) == 0 && ok;
  if (!ok) SetLastError(ERROR_ACCESS_DENIED);
  return ok;
}

namespace {
std::string& LastError() {
  thread_local std::string message;
  return message;
}

HBITMAP Handle(BmpResult r) {
  if (!r) {
    LastError() = r.error;
    SetLastError(r.code);
    return nullptr;
  }
  LastError().clear();
  return AddBitmap(std::move(r.bitmap));
}
}  // namespace

const std::string& LastBmpError() { return LastError(); }

}  // namespace gdi

HBITMAP LoadBitmapFromMemory(const void* data, std::size_t size) {
  return gdi::Handle(gdi::ReadBmp(data, size));
}

HBITMAP LoadBitmapFromFile(const char* path) {
  if (!path) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return gdi::Handle(gdi::ReadBmpFile(path));
}

}  // namespace win
