#include "platform/base/internal/reset.h"

#include <utility>
#include <vector>

#include "platform/testing.h"

namespace win {
namespace {

std::vector<std::pair<ResetStage, ResetFunction>>& Resets() {
  static std::vector<std::pair<ResetStage, ResetFunction>> resets;
  return resets;
}

}  // namespace

bool RegisterReset(ResetStage stage, ResetFunction reset) {
  Resets().emplace_back(stage, reset);
  return true;
}

void ResetPlatformForTesting() {
  for (ResetStage stage : {ResetStage::Hooks, ResetStage::Windows, ResetStage::WindowManager,
                           ResetStage::Graphics, ResetStage::Base})
    for (auto& [at, reset] : Resets())
      if (at == stage) reset();
}

}  // namespace win
