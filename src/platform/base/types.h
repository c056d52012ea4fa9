#pragma once
// Windows-style scalar types, geometry structures and handle types.
#include <cstddef>
#include <cstdint>

namespace win {

using BOOL = int;
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = unsigned int;
using INT = int;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using WCHAR = char16_t;
using COLORREF = DWORD;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using ATOM = WORD;

constexpr BOOL TRUE = 1;
constexpr BOOL FALSE = 0;

struct POINT {
  LONG x = 0, y = 0;
};
struct SIZE {
  LONG cx = 0, cy = 0;
};
struct RECT {
  LONG left = 0, top = 0, right = 0, bottom = 0;
};

// Handles are opaque values from the handle table: an index plus a generation, so a
// handle outliving its object can be recognised and refused.
using HANDLE = void*;
using HGDIOBJ = HANDLE;
#define VELLISA_DECLARE_HANDLE(name) \
  struct name##__ {                  \
    int unused;                      \
  };                                 \
  using name = name##__*
VELLISA_DECLARE_HANDLE(HDC);
VELLISA_DECLARE_HANDLE(HBITMAP);
VELLISA_DECLARE_HANDLE(HBRUSH);
VELLISA_DECLARE_HANDLE(HPEN);
VELLISA_DECLARE_HANDLE(HFONT);
VELLISA_DECLARE_HANDLE(HRGN);
VELLISA_DECLARE_HANDLE(HPALETTE);
#undef VELLISA_DECLARE_HANDLE

}  // namespace win
