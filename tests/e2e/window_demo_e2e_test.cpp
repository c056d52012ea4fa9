// The window demo on a virtual X server (Xvfb, no window manager) through the SDL display:
// started, clicked and dragged with xdotool as a person would, and checked on screenshots of the
// X server's screen (xwd). Every wait is bounded and polls; none sleeps for a fixed time.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/testing.h"
#include "platform/win.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

bool Exists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

// A child process, ended (SIGTERM, then SIGKILL) when this goes.
class Process {
 public:
  Process(std::vector<std::string> args, std::vector<std::string> env_extra = {},
          const std::string& out = "") {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) env.emplace_back(*e);
    for (auto& e : env_extra) env.push_back(e);
    std::vector<char*> argv, envp;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    if (!out.empty())
      posix_spawn_file_actions_addopen(&fa, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (posix_spawnp(&pid_, argv[0], &fa, nullptr, argv.data(), envp.data()) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&fa);
  }
  ~Process() { Stop(); }
  bool Started() const { return pid_ > 0; }
  bool Running() {
    if (pid_ <= 0) return false;
    int status;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
      status_ = status;
      pid_ = -1;
      return false;
    }
    return true;
  }
  // Waits (bounded) for the process to end by itself; its exit status, or -1.
  int Wait(std::chrono::milliseconds limit) {
    auto end = Clock::now() + limit;
    while (Running() && Clock::now() < end)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    if (Running()) return -1;
    return WIFEXITED(status_) ? WEXITSTATUS(status_) : -1;
  }
  void Stop() {
    if (!Running()) return;
    ::kill(pid_, SIGTERM);
    if (Wait(std::chrono::seconds(3)) == -1 && Running()) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
      pid_ = -1;
    }
  }

 private:
  pid_t pid_ = -1;
  int status_ = 0;
};

int RunTool(std::vector<std::string> args, std::vector<std::string> env = {}) {
  Process p(std::move(args), std::move(env));
  if (!p.Started()) return -1;
  return p.Wait(std::chrono::seconds(10));
}

// Polls `done` every 20 ms for at most `limit`.
bool WaitFor(std::chrono::milliseconds limit, const std::function<bool()>& done) {
  auto end = Clock::now() + limit;
  for (;;) {
    if (done()) return true;
    if (Clock::now() >= end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

// An X window dump (xwd's format: a big-endian header, colours, then the pixels).
struct Screenshot {
  int width = 0, height = 0;
  std::vector<std::uint32_t> rgb;  // 0x00RRGGBB
  std::uint32_t At(int x, int y) const {
    return x >= 0 && y >= 0 && x < width && y < height ? rgb[std::size_t(y) * width + x]
                                                       : 0xFFFFFFFFu;
  }
};

std::uint32_t Be32(const std::string& s, std::size_t at) {
  auto b = [&](std::size_t i) { return std::uint32_t(std::uint8_t(s[at + i])); };
  return b(0) << 24 | b(1) << 16 | b(2) << 8 | b(3);
}

int Shift(std::uint32_t mask) {
  int n = 0;
  while (mask && !(mask & 1)) {
    mask >>= 1;
    ++n;
  }
  return n;
}

bool ReadXwd(const std::string& path, Screenshot* out) {
  std::ifstream f(path, std::ios::binary);
  std::string s((std::istreambuf_iterator<char>(f)), {});
  if (s.size() < 100) return false;
  std::uint32_t header = Be32(s, 0), format = Be32(s, 8), w = Be32(s, 16), h = Be32(s, 20),
                byte_order = Be32(s, 28), bpp = Be32(s, 44), line = Be32(s, 48),
                rmask = Be32(s, 56), gmask = Be32(s, 60), bmask = Be32(s, 64),
                ncolors = Be32(s, 76);
  std::uint32_t size = bpp / 8;  // bytes per pixel
  if (format != 2 || (bpp != 32 && bpp != 24) || w > 8192 || h > 8192 || line < w * size)
    return false;
  std::size_t pixels = std::size_t(header) + std::size_t(ncolors) * 12;
  if (s.size() < pixels + std::size_t(line) * h) return false;
  out->width = int(w);
  out->height = int(h);
  out->rgb.assign(std::size_t(w) * h, 0);
  for (std::uint32_t y = 0; y < h; ++y)
    for (std::uint32_t x = 0; x < w; ++x) {
      const auto* p =
          reinterpret_cast<const std::uint8_t*>(s.data() + pixels + y * line + x * size);
      std::uint32_t v = 0;
      for (std::uint32_t i = 0; i < size; ++i)
        v |= std::uint32_t(p[i]) << (8 * (byte_order == 0 ? i : size - 1 - i));
      std::uint32_t r = (v & rmask) >> Shift(rmask), g = (v & gmask) >> Shift(gmask),
                    b = (v & bmask) >> Shift(bmask);
      out->rgb[std::size_t(y) * w + x] = r << 16 | g << 8 | b;
    }
  return true;
}

// Leaves the screen as a PNG next to the test for a person to look at.
void SavePng(const Screenshot& shot, const std::string& name) {
  win::BITMAPINFO info{};
  info.bmiHeader.biWidth = shot.width;
  info.bmiHeader.biHeight = -shot.height;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  win::HBITMAP bmp = win::CreateDIBSection(nullptr, &info, win::DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bmp) return;
  std::copy(shot.rgb.begin(), shot.rgb.end(), static_cast<std::uint32_t*>(bits));
  win::WriteBitmapPng(bmp, (std::string(VELLISA_E2E_OUT) + "/" + name).c_str());
  win::DeleteObject(bmp);
}

int DarkPixels(const Screenshot& s, const win::RECT& r) {
  int n = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) n += (s.At(x, y) & 0xFFFFFF) < 0x404040;
  return n;
}

constexpr std::uint32_t kRed = 0xC82828, kBlue = 0x2878C8, kBlack = 0x000000;

class WindowDemoOnX : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int n = 90; n < 200 && display_.empty(); ++n)
      if (!Exists("/tmp/.X" + std::to_string(n) + "-lock") &&
          !Exists("/tmp/.X11-unix/X" + std::to_string(n)))
        display_ = ":" + std::to_string(n);
    ASSERT_FALSE(display_.empty()) << "no free X display number";
    xvfb_ = std::make_unique<Process>(std::vector<std::string>{
        "Xvfb", display_, "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-noreset"});
    ASSERT_TRUE(xvfb_->Started()) << "Xvfb is missing: scripts/install-deps installs it";
    std::string socket = "/tmp/.X11-unix/X" + display_.substr(1);
    ASSERT_TRUE(
        WaitFor(std::chrono::seconds(10), [&] { return Exists(socket) || !xvfb_->Running(); }) &&
        xvfb_->Running())
        << "Xvfb did not start on " << display_;
    env_ = {"DISPLAY=" + display_, "SDL_VIDEODRIVER=x11"};
    layout_path_ = std::string(VELLISA_E2E_OUT) + "/layout" + display_.substr(1) + ".txt";
    shot_path_ = std::string(VELLISA_E2E_OUT) + "/screen" + display_.substr(1) + ".xwd";
  }

  void StartDemo() {
    demo_ = std::make_unique<Process>(std::vector<std::string>{VELLISA_WINDOW_DEMO, "--layout"},
                                      env_, layout_path_);
    ASSERT_TRUE(demo_->Started());
    ASSERT_TRUE(WaitFor(std::chrono::seconds(10), [&] {
      std::ifstream f(layout_path_);
      std::string word;
      while (f >> word) {
        if (word == "main") f >> main_.left >> main_.top >> main_.right >> main_.bottom;
        if (word == "line") f >> line_.left >> line_.top >> line_.right >> line_.bottom;
        if (word == "panel") {
          f >> panel_.x >> panel_.y;
          return true;
        }
      }
      return false;
    })) << "the demo did not report its layout";
  }

  bool Shoot(Screenshot* shot) {
    return RunTool({"xwd", "-root", "-silent", "-display", display_, "-out", shot_path_}) == 0 &&
           ReadXwd(shot_path_, shot);
  }

  // Waits until the screen shows what `ok` wants; the last screenshot stays in `shot`.
  bool ScreenShows(Screenshot* shot, const std::function<bool(const Screenshot&)>& ok) {
    return WaitFor(std::chrono::seconds(10), [&] { return Shoot(shot) && ok(*shot); });
  }

  int Xdotool(std::vector<std::string> args) {
    args.insert(args.begin(), "xdotool");
    return RunTool(std::move(args), env_);
  }

  std::string display_, layout_path_, shot_path_;
  std::vector<std::string> env_;
  std::unique_ptr<Process> xvfb_, demo_;
  win::RECT main_{}, line_{};
  win::POINT panel_{};
};

TEST_F(WindowDemoOnX, ShowsItsWindowsAndAnswersAClick) {
  StartDemo();
  Screenshot shot;
  // The panel is red at first, the desktop around the main window is the bare X root.
  ASSERT_TRUE(
      ScreenShows(&shot, [&](const Screenshot& s) { return s.At(panel_.x, panel_.y) == kRed; }))
      << "panel pixel " << std::hex << shot.At(panel_.x, panel_.y);
  SavePng(shot, "shown.png");
  EXPECT_EQ(shot.At(main_.left - 5, main_.top + 100), kBlack);
  EXPECT_EQ(shot.At(main_.left + 5, main_.bottom + 5), kBlack);

  ASSERT_EQ(
      Xdotool({"mousemove", std::to_string(panel_.x), std::to_string(panel_.y), "click", "1"}), 0);
  EXPECT_TRUE(
      ScreenShows(&shot, [&](const Screenshot& s) { return s.At(panel_.x, panel_.y) == kBlue; }))
      << "panel pixel after the click " << std::hex << shot.At(panel_.x, panel_.y);
  SavePng(shot, "clicked.png");
  EXPECT_TRUE(demo_->Running());
}

// Dragging the caption moves the main window: its pixels follow to the new place and the desktop
// shows again where it was; the dialog it owns stays where it is.
TEST_F(WindowDemoOnX, DraggingTheCaptionMovesTheWindow) {
  StartDemo();
  Screenshot shot;
  ASSERT_TRUE(
      ScreenShows(&shot, [&](const Screenshot& s) { return s.At(panel_.x, panel_.y) == kRed; }));
  int x = int(main_.left) + 300, y = int(main_.top) + 12, dx = 150, dy = 80;
  ASSERT_EQ(Xdotool({"mousemove", std::to_string(x), std::to_string(y), "mousedown", "1",
                     "mousemove", std::to_string(x + 40), std::to_string(y + 20), "mousemove",
                     std::to_string(x + dx), std::to_string(y + dy), "mouseup", "1"}),
            0);
  bool moved = ScreenShows(&shot, [&](const Screenshot& s) {
    return s.At(panel_.x + dx, panel_.y + dy) == kRed && s.At(panel_.x, panel_.y) == kBlack;
  });
  SavePng(shot, "dragged.png");
  ASSERT_TRUE(moved) << "at the new place " << std::hex << shot.At(panel_.x + dx, panel_.y + dy)
                     << ", at the old place " << shot.At(panel_.x, panel_.y);
  EXPECT_EQ(shot.At(main_.left + 5, main_.top + 100), kBlack);
  // The caption came along too: its first row is at the window's new top.
  EXPECT_NE(shot.At(x + dx, y + dy), kBlack);
  EXPECT_TRUE(demo_->Running());
}

// Typing into the line after clicking it: the keys reach it as text through SDL's text input
// (the line owns the caret), each character once.
TEST_F(WindowDemoOnX, TypedTextReachesTheFocusedLine) {
  StartDemo();
  Screenshot shot;
  ASSERT_TRUE(
      ScreenShows(&shot, [&](const Screenshot& s) { return s.At(panel_.x, panel_.y) == kRed; }));
  win::RECT field{line_.left + 3, line_.top + 3, line_.right - 3, line_.bottom - 3};
  int before = DarkPixels(shot, field);
  ASSERT_EQ(Xdotool({"mousemove", std::to_string(line_.left + 150), std::to_string(line_.top + 12),
                     "click", "1", "type", "--delay", "20", "WWWW"}),
            0);
  // Four wide capitals add well over a hundred dark pixels; the caret alone adds a dozen.
  bool typed =
      ScreenShows(&shot, [&](const Screenshot& s) { return DarkPixels(s, field) > before + 100; });
  SavePng(shot, "typed.png");
  EXPECT_TRUE(typed) << DarkPixels(shot, field) << " dark pixels, " << before << " before";
  int after = DarkPixels(shot, field);
  EXPECT_LT(after, before + 400) << "each character should come once";
}

}  // namespace
