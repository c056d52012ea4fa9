// The platform tests' main: every test starts on a clean platform, and a test that leaves
// handles alive (windows, GDI objects, global blocks …) fails, naming how many it left.
#include <gtest/gtest.h>

#include <cstddef>

#include "platform/testing.h"

namespace {

class CleanPlatform : public ::testing::EmptyTestEventListener {
 public:
  void OnTestStart(const ::testing::TestInfo&) override {
    win::ResetPlatformForTesting();
    live_ = win::LiveHandleCount();
  }
  // Runs while the test is still current, before the result is printed, so the failure counts.
  void OnTestEnd(const ::testing::TestInfo&) override {
    std::size_t now = win::LiveHandleCount();
    if (now > live_) ADD_FAILURE() << "the test left " << now - live_ << " handle(s) alive";
    win::ResetPlatformForTesting();
  }

 private:
  std::size_t live_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  auto& listeners = ::testing::UnitTest::GetInstance()->listeners();
  // Ahead of the printer, so that a leak shows in the test's own verdict.
  auto* printer = listeners.Release(listeners.default_result_printer());
  listeners.Append(new CleanPlatform);
  if (printer) listeners.Append(printer);
  return RUN_ALL_TESTS();
}
