#pragma once
// The placement part's state per window (placement.cpp).
#include "platform/user/internal/window.h"

namespace win::user {

struct PlacementState {
  RECT normal{};  // minimised or maximised: the restored rectangle, in parent client coordinates
  POINT min_pos{-1, -1}, max_pos{-1, -1};  // where it was last minimised and maximised
  UINT flags = 0;                          // WPF_SETMINPOSITION, WPF_RESTORETOMAXIMIZED
};
PlacementState& PlacementOf(Window& w);
const PlacementState& PlacementOf(const Window& w);  // the defaults until the part wrote one

}  // namespace win::user
