// Running out of memory inside a drawing or region call fails that call the Windows way
// (ERROR_NOT_ENOUGH_MEMORY and its failure value) instead of throwing through the C interface.
// The test's own operator new fails the n-th allocation after it is armed, for every n the call
// reaches.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <new>

#include "platform/win.h"
#include "support/dib_canvas.h"

namespace {
long fail_countdown = -1;  // allocations left before one fails; -1: none fails
}  // namespace

void* operator new(std::size_t n) {
  if (fail_countdown == 0) {
    fail_countdown = -1;
    throw std::bad_alloc();
  }
  if (fail_countdown > 0) --fail_countdown;
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace win {
namespace {

TEST(AllocationFailure, EveryDrawingCallFailsCleanly) {
  testsupport::DibCanvas canvas(64, 48);
  HDC dc = canvas.dc();
  HPEN wide = CreatePen(PS_SOLID, 5, RGB(0, 0, 255));
  SelectObject(dc, wide);
  HBRUSH brush = CreateSolidBrush(RGB(255, 0, 0));
  HRGN a = CreateEllipticRgn(0, 0, 40, 30), b = CreateRectRgn(10, 10, 60, 40);
  const POINT star[] = {{5, 40}, {30, 2}, {55, 40}, {2, 15}, {60, 15}};
  RECT rc{4, 4, 60, 44};
  struct Call {
    const char* name;
    std::function<long long()> run;
  };
  const Call calls[] = {
      {"LineTo",
       [&] {
         MoveToEx(dc, 0, 0, nullptr);
         return LineTo(dc, 63, 47);
       }},
      {"Rectangle", [&] { return Rectangle(dc, 3, 3, 50, 40); }},
      {"Ellipse", [&] { return Ellipse(dc, 3, 3, 50, 40); }},
      {"Polygon", [&] { return Polygon(dc, star, 5); }},
      {"FillRgn", [&] { return FillRgn(dc, a, brush); }},
      {"FrameRgn", [&] { return FrameRgn(dc, a, brush, 3, 2); }},
      {"CombineRgn", [&] { return CombineRgn(b, a, b, RGN_XOR); }},
      {"CreatePolygonRgn",
       [&] {
         HRGN r = CreatePolygonRgn(star, 5, WINDING);
         if (r) DeleteObject(r);
         return r != nullptr;
       }},
      {"StretchBlt", [&] { return StretchBlt(dc, 0, 0, 64, 48, dc, 0, 0, 20, 20, SRCCOPY); }},
      {"DrawText", [&] { return DrawText(dc, "美容 秘笈 家居 常识", -1, &rc, DT_WORDBREAK); }},
      {"DrawEdge", [&] { return DrawEdge(dc, &rc, EDGE_SUNKEN, BF_RECT); }},
  };
  for (const Call& c : calls) {
    for (long n = 0; n < 64; ++n) {
      SetLastError(ERROR_SUCCESS);
      fail_countdown = n;
      long long result = 0;
      EXPECT_NO_THROW(result = c.run()) << c.name << ", allocation " << n;
      bool failed_one = fail_countdown == -1;  // the armed allocation was reached
      fail_countdown = -1;
      if (!failed_one) break;  // the call made fewer allocations than n
      if (result == 0) {
        EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY) << c.name << ", allocation " << n;
      }
    }
  }
  DeleteObject(a);
  DeleteObject(b);
  SelectObject(dc, GetStockObject(BLACK_PEN));
  DeleteObject(wide);
  DeleteObject(brush);
}

}  // namespace
}  // namespace win
