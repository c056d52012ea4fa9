// Face names resolve through the substitution table to the families we ship.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/gdi/internal/font.h"
#include "platform/win.h"

namespace {
using namespace win;

TEST(Fonts, FacesResolveThroughTheSubstitutes) {
  struct Case {
    const char* face;
    const char* family;
  };
  const Case cases[] = {{"宋体", "AR PL UMing CN"},    {"SimSun", "AR PL UMing CN"},
                        {"NSimSun", "AR PL UMing CN"}, {"楷体_GB2312", "AR PL UKai CN"},
                        {"KaiTi", "AR PL UKai CN"},    {"MS Sans Serif", "DejaVu Sans"},
                        {"Tahoma", "DejaVu Sans"},     {"Arial", "DejaVu Sans"}};
  for (const Case& c : cases) {
    LOGFONTA lf;
    lf.lfHeight = -12;
    std::strcpy(lf.lfFaceName, c.face);
    EXPECT_EQ(gdi::RealizeFont(lf)->Family(), c.family) << c.face;
  }
}

}  // namespace
