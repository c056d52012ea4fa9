// Opens a few windows on the display in use (a desktop through SDL, else off screen): a sizeable
// main window with the classic frame, a dialog-framed window it owns, child windows clipping
// each other and their parent, a timer-driven animation and a line that takes typed text; or,
// with --controls, a window with one of each built-in control.
//
//   vellisa-window-demo [--controls] [--layout] [--still] [--quit-after MS] [--cpu] [--shot FILE]
//     --controls    the controls window instead: buttons, statics, edits, a list, a scroll bar
//                   and a button that opens a message box
//     --layout      print where the main window, its line and its colour panel are on the screen
//     --still       no animation: nothing happens until input comes
//     --quit-after  end after MS milliseconds; --cpu then prints the CPU time the message loop
//                   used, windows shown
//     --shot        (off screen) write the screen to FILE as PNG when quitting after MS
#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "controls_window.h"
#include "platform/display.h"
#include "platform/win.h"

using namespace win;

namespace {

constexpr int kMainX = 60, kMainY = 60, kMainW = 700, kMainH = 520;
// A panel in the main window that changes colour with each click, for the end-to-end test.
constexpr RECT kPanel{20, 20, 220, 80};
constexpr COLORREF kPanelColors[2] = {RGB(200, 40, 40), RGB(40, 120, 200)};
constexpr RECT kStage{20, 260, 420, 460};  // where the ball bounces
constexpr int kBall = 30;
constexpr UINT_PTR kAnimation = 1, kQuit = 2;

int clicks = 0;
std::string typed = "在此键入";
POINT ball{0, 0}, speed{4, 3};
const char* shot = nullptr;
display::HeadlessDisplay* headless = nullptr;

void Fill(HDC dc, const RECT& r, COLORREF c) {
  HBRUSH b = CreateSolidBrush(c);
  FillRect(dc, &r, b);
  DeleteObject(b);
}

void Text(HDC dc, int x, int y, const std::string& s, COLORREF c = RGB(0, 0, 0)) {
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, c);
  TextOut(dc, x, y, s.c_str(), int(s.size()));
}

void SaveShot() {
  if (shot && headless && !headless->SaveScreen(shot))
    std::fprintf(stderr, "vellisa-window-demo: cannot write %s\n", shot);
}

RECT BallRect() { return RECT{ball.x, ball.y, ball.x + kBall, ball.y + kBall}; }

LRESULT MainProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      Fill(dc, kPanel, kPanelColors[clicks % 2]);
      Text(dc, kPanel.left + 8, kPanel.top + 8, "点一下，换个颜色", RGB(255, 255, 255));
      Text(dc, kStage.left, kStage.top - 20, "定时器动画");
      RECT stage = kStage;
      DrawEdge(dc, &stage, EDGE_SUNKEN, BF_RECT);
      InflateRect(&stage, -2, -2);
      HRGN clip = CreateRectRgnIndirect(&stage);
      SelectClipRgn(dc, clip);
      Fill(dc, stage, RGB(255, 255, 255));
      HBRUSH pink = CreateSolidBrush(RGB(230, 80, 150));
      HGDIOBJ old = SelectObject(dc, pink);
      RECT b = BallRect();
      OffsetRect(&b, stage.left, stage.top);
      Ellipse(dc, b.left, b.top, b.right, b.bottom);
      SelectObject(dc, old);
      DeleteObject(pink);
      SelectClipRgn(dc, nullptr);
      DeleteObject(clip);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_LBUTTONDOWN: {
      POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
      if (PtInRect(&kPanel, p)) {
        ++clicks;
        InvalidateRect(hwnd, &kPanel, FALSE);
      }
      return 0;
    }
    case WM_TIMER:
      if (wp == kAnimation) {
        RECT before = BallRect();
        int w = (kStage.right - kStage.left) - 4 - kBall,
            h = (kStage.bottom - kStage.top) - 4 - kBall;
        ball.x += speed.x;
        ball.y += speed.y;
        if (ball.x < 0 || ball.x > w) {
          speed.x = -speed.x;
          ball.x = std::clamp<LONG>(ball.x, 0, w);
        }
        if (ball.y < 0 || ball.y > h) {
          speed.y = -speed.y;
          ball.y = std::clamp<LONG>(ball.y, 0, h);
        }
        RECT after = BallRect(), both;
        UnionRect(&both, &before, &after);
        OffsetRect(&both, kStage.left + 2, kStage.top + 2);
        InvalidateRect(hwnd, &both, FALSE);
      } else if (wp == kQuit) {
        SaveShot();
        DestroyWindow(hwnd);
      }
      return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
  }
  return DefWindowProc(hwnd, msg, wp, lp);
}

// Children filling themselves with the colour in their user data, with their name on it.
LRESULT PaneProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT rc;
    GetClientRect(hwnd, &rc);
    Fill(dc, rc, COLORREF(GetWindowLongPtr(hwnd, GWLP_USERDATA)));
    char name[64] = "";
    GetWindowText(hwnd, name, sizeof name);
    Text(dc, 6, 6, name);
    EndPaint(hwnd, &ps);
    return 0;
  }
  return DefWindowProc(hwnd, msg, wp, lp);
}

// The caret stands after the typed text.
void PlaceCaret(HWND hwnd) {
  HDC dc = GetDC(hwnd);
  SIZE size{};
  GetTextExtentPoint32(dc, typed.c_str(), int(typed.size()), &size);
  ReleaseDC(hwnd, dc);
  SetCaretPos(4 + size.cx, 4);
}

// A one-line field: takes the focus when clicked, shows a caret while it has it, and appends
// the characters it is sent (the input method's too).
LRESULT LineProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_LBUTTONDOWN: SetFocus(hwnd); return 0;
    case WM_SETFOCUS:
      CreateCaret(hwnd, nullptr, 1, 14);
      PlaceCaret(hwnd);
      ShowCaret(hwnd);
      return 0;
    case WM_KILLFOCUS: DestroyCaret(); return 0;
    case WM_CHAR:
      if (wp == '\b') {
        // The last character goes: its continuation bytes, then its lead byte.
        while (!typed.empty() && (typed.back() & 0xC0) == 0x80) typed.pop_back();
        if (!typed.empty()) typed.pop_back();
      } else if (wp >= 0x20) {
        // WM_CHAR carries a code point; as UTF-16 it is one unit or a surrogate pair.
        char32_t cp = char32_t(wp);
        WCHAR units[2] = {WCHAR(cp), 0};
        int n = 1;
        if (cp > 0xFFFF) {
          units[0] = WCHAR(0xD800 + ((cp - 0x10000) >> 10));
          units[1] = WCHAR(0xDC00 + ((cp - 0x10000) & 0x3FF));
          n = 2;
        }
        char utf8[8];
        int len = WideCharToMultiByte(CP_UTF8, 0, units, n, utf8, sizeof utf8, nullptr, nullptr);
        typed.append(utf8, std::size_t(len));
      }
      InvalidateRect(hwnd, nullptr, TRUE);
      PlaceCaret(hwnd);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      RECT rc;
      GetClientRect(hwnd, &rc);
      Fill(dc, rc, RGB(255, 255, 255));
      DrawEdge(dc, &rc, EDGE_SUNKEN, BF_RECT);
      Text(dc, 4, 4, typed);
      EndPaint(hwnd, &ps);
      return 0;
    }
  }
  return DefWindowProc(hwnd, msg, wp, lp);
}

LRESULT DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    Text(dc, 12, 12, "对话框边框的附属窗口");
    Text(dc, 12, 36, "它总在主窗口之上。");
    EndPaint(hwnd, &ps);
    return 0;
  }
  return DefWindowProc(hwnd, msg, wp, lp);
}

ATOM Register(const char* name, WNDPROC proc, int background) {
  WNDCLASSEX wc{};
  wc.lpfnWndProc = proc;
  wc.lpszClassName = name;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(std::intptr_t(background + 1));
  return RegisterClassEx(&wc);
}

HWND Pane(HWND parent, const char* name, int x, int y, int w, int h, COLORREF c) {
  HWND p = CreateWindowEx(0, "DemoPane", name, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, x, y, w, h,
                          parent, nullptr, nullptr, nullptr);
  SetWindowLongPtr(p, GWLP_USERDATA, LONG_PTR(c));
  return p;
}

}  // namespace

int main(int argc, char** argv) {
  bool layout = false, cpu = false, still = false, controls = false;
  int quit_after = 0;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--layout"))
      layout = true;
    else if (!std::strcmp(argv[i], "--controls"))
      controls = true;
    else if (!std::strcmp(argv[i], "--cpu"))
      cpu = true;
    else if (!std::strcmp(argv[i], "--still"))
      still = true;
    else if (!std::strcmp(argv[i], "--quit-after") && i + 1 < argc)
      quit_after = std::atoi(argv[++i]);
    else if (!std::strcmp(argv[i], "--shot") && i + 1 < argc)
      shot = argv[++i];
    else {
      std::fprintf(stderr,
                   "usage: %s [--controls] [--layout] [--still] [--quit-after MS] [--cpu] "
                   "[--shot FILE]\n",
                   argv[0]);
      return 2;
    }
  }
  display::Display screen = display::OpenDisplay("vellisa-window-demo");
  headless = screen.headless.get();

  auto cpu_ms = [] {
    rusage use{};
    getrusage(RUSAGE_SELF, &use);
    return use.ru_utime.tv_sec * 1e3 + use.ru_utime.tv_usec / 1e3 + use.ru_stime.tv_sec * 1e3 +
           use.ru_stime.tv_usec / 1e3;
  };
  MSG msg;
  if (controls) {
    HWND window = OpenControlsWindow(kMainX, kMainY);
    if (quit_after > 0)
      SetTimer(nullptr, 0, UINT(quit_after), [](HWND, UINT, UINT_PTR, DWORD) {
        SaveShot();
        PostQuitMessage(0);
      });
    while (GetMessage(&msg, nullptr, 0, 0) > 0) {
      if (IsWindow(window) && IsDialogMessage(window, &msg)) continue;
      TranslateMessage(&msg);
      DispatchMessage(&msg);
    }
    return int(msg.wParam);
  }

  Register("DemoMain", MainProc, COLOR_BTNFACE);
  Register("DemoPane", PaneProc, COLOR_WINDOW);
  Register("DemoLine", LineProc, COLOR_WINDOW);
  Register("DemoDialog", DialogProc, COLOR_BTNFACE);

  HWND main_window =
      CreateWindowEx(0, "DemoMain", "Vellisa 窗口演示", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                     kMainX, kMainY, kMainW, kMainH, nullptr, nullptr, nullptr, nullptr);
  HWND line = CreateWindowEx(0, "DemoLine", "", WS_CHILD | WS_VISIBLE, 20, 100, 200, 24,
                             main_window, nullptr, nullptr, nullptr);
  // Two siblings overlapping (the later one under the earlier, both clipping each other), and
  // one reaching past its parent's edge.
  Pane(main_window, "子窗口 甲", 260, 20, 200, 140, RGB(180, 230, 180));
  Pane(main_window, "子窗口 乙", 380, 90, 200, 140, RGB(250, 230, 140));
  Pane(main_window, "子窗口 丙（被父窗口裁剪）", 480, 300, 260, 200, RGB(170, 200, 240));
  if (!still) SetTimer(main_window, kAnimation, 40, nullptr);
  if (quit_after > 0) SetTimer(main_window, kQuit, UINT(quit_after), nullptr);
  ShowWindow(main_window, SW_SHOW);

  HWND dialog = CreateWindowEx(WS_EX_DLGMODALFRAME, "DemoDialog", "附属窗口",
                               WS_POPUP | WS_CAPTION | WS_SYSMENU, kMainX + kMainW + 20,
                               kMainY + 40, 220, 160, main_window, nullptr, nullptr, nullptr);
  ShowWindow(dialog, SW_SHOWNOACTIVATE);
  UpdateWindow(main_window);

  if (layout) {
    RECT w;
    GetWindowRect(main_window, &w);
    POINT panel{(kPanel.left + kPanel.right) / 2, kPanel.bottom - 6};
    ClientToScreen(main_window, &panel);
    RECT l;
    GetWindowRect(line, &l);
    std::printf("main %d %d %d %d\nline %d %d %d %d\npanel %d %d\n", int(w.left), int(w.top),
                int(w.right), int(w.bottom), int(l.left), int(l.top), int(l.right), int(l.bottom),
                int(panel.x), int(panel.y));
    std::fflush(stdout);
  }

  double loop_start = cpu_ms();
  while (GetMessage(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessage(&msg);
  }
  if (cpu) std::printf("message loop cpu %.1f ms\n", cpu_ms() - loop_start);
  return int(msg.wParam);
}
