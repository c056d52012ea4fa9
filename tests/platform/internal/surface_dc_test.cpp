// The DCs the window manager makes on backing stores.
#include <gtest/gtest.h>

#include "platform/gdi/internal/dc.h"
#include "platform/win.h"

namespace {
using namespace win;

TEST(SurfaceDC, DrawsAtItsOriginClippedToItsVisibleRegion) {
  // A child window's DC on its top-level window's backing store: device (0,0) at (2,1),
  // visible only where a sibling above does not cover it.
  auto store = gdi::NewBitmap(8, 4, 32);
  gdi::Region visible(RECT{2, 1, 7, 4});
  visible.Subtract(gdi::Region(RECT{5, 1, 7, 4}));
  HDC dc = gdi::CreateSurfaceDC(store, POINT{2, 1}, visible);
  SelectObject(dc, GetStockObject(WHITE_BRUSH));
  ASSERT_TRUE(PatBlt(dc, -5, -5, 50, 50, PATCOPY));
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 8; ++x)
      EXPECT_EQ(store->Get(x, y), (x >= 2 && x < 5 && y >= 1) ? 0xFFFFFFu : 0u) << x << "," << y;
  EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 255, 255));  // reads back what is there
  EXPECT_EQ(GetPixel(dc, 3, 0), CLR_INVALID);         // covered by the sibling
  RECT box;
  EXPECT_EQ(GetClipBox(dc, &box), SIMPLEREGION);
  EXPECT_EQ(box.right, 3);
  // Rebinding moves the DC and keeps its drawing state.
  gdi::BindSurfaceDC(dc, store, POINT{0, 0}, gdi::Region(RECT{0, 0, 1, 1}));
  ASSERT_TRUE(PatBlt(dc, 0, 0, 8, 4, PATCOPY));
  EXPECT_EQ(store->Get(0, 0), 0xFFFFFFu);
  EXPECT_EQ(store->Get(1, 0), 0u);
  DeleteDC(dc);
}

}  // namespace
