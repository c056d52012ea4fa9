#pragma once
// The SDL display: every visible top-level window is a borderless SDL window at its place on the
// screen, showing its backing store; SDL's events are the window manager's input.
//
// While it lives it is the message loop's wait: before blocking, the loop brings the desktop's
// windows in line with the window manager (created, placed, sized, shaped, stacked, shown,
// hidden, destroyed) and presents the parts of backing stores that changed; then it blocks on
// SDL's events and the next timer together, so an idle program uses no CPU.
#include <cstdint>
#include <memory>
#include <string>

#include "platform/user/messages.h"

namespace win::display {

class SdlDisplay {
 public:
  // One at a time. Null when SDL finds no desktop; *why then says what SDL said.
  static std::unique_ptr<SdlDisplay> Open(std::string* why = nullptr);
  ~SdlDisplay();
  SdlDisplay(const SdlDisplay&) = delete;
  SdlDisplay& operator=(const SdlDisplay&) = delete;

  std::string VideoDriver() const;
  // Brings the desktop in line with the window manager and presents what changed.
  void Sync();
  // Turns SDL's events into input: waits up to timeout_ms (-1: no limit) for the first, then
  // takes every one already there.
  void Pump(int timeout_ms);
  // How many times changed pixels have been handed to the desktop.
  std::uint64_t Presents() const;

  struct Impl;

 private:
  SdlDisplay();
  std::unique_ptr<Impl> impl_;
};

}  // namespace win::display
