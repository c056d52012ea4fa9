// System metrics of the classic Windows XP desktop.
#include "platform/user/internal.h"

namespace win::user {

SIZE ScreenSize() { return {1024, 768}; }

int FrameMetric(Metric m) {
  switch (m) {
    case Metric::Border: return 1;
    case Metric::DlgFrame: return 3;
    case Metric::Frame: return 4;
    case Metric::Edge: return 2;
    case Metric::Caption: return 19;
    case Metric::SmCaption: return 16;
    case Metric::Menu: return 19;
    case Metric::VScroll: return 17;
    case Metric::HScroll: return 17;
    case Metric::MinTrackX: return 112;
    case Metric::MinTrackY: return 27;
  }
  return 0;
}

}  // namespace win::user
