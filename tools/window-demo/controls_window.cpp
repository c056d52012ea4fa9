// The controls window: one of each built-in control, laid out as a dialog would be, with a
// button that opens a message box. Tab and the arrows move between them, as in a dialog.
#include "controls_window.h"

#include <string>

using namespace win;

namespace {

constexpr int kOpenBox = 100;
constexpr const char* kMemo =
    "这是一个多行编辑框：可以输入中文，文字会在窗口宽度处自动换行，"
    "标点不会出现在行首。\r\n"
    "Latin words wrap at spaces, 中文在任意两个字之间换行。\r\n"
    "用方向键、Home、End、Ctrl+方向键移动光标，Shift 扩展选区，"
    "Ctrl+C、Ctrl+X、Ctrl+V 复制、剪切、粘贴，Ctrl+Z 撤销。\r\n"
    "第四行\r\n第五行\r\n第六行\r\n第七行\r\n第八行";

HWND Child(HWND parent, const char* cls, const char* text, DWORD style, int x, int y, int w, int h,
           int id, DWORD ex = 0) {
  HWND c = CreateWindowEx(ex, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
  SendMessage(c, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  return c;
}

void Fill(HWND parent) {
  int id = 1000;
  // Buttons.
  Child(parent, "Button", "按钮", WS_GROUP | WS_TABSTOP | BS_GROUPBOX, 10, 8, 250, 200, id++);
  Child(parent, "Button", "打开消息框", WS_TABSTOP | BS_DEFPUSHBUTTON, 20, 30, 110, 26, kOpenBox);
  Child(parent, "Button", "普通按钮", WS_TABSTOP | BS_PUSHBUTTON, 140, 30, 110, 26, id++);
  Child(parent, "Button", "复选框", WS_TABSTOP | BS_AUTOCHECKBOX, 20, 66, 110, 20, id++);
  Child(parent, "Button", "三态复选框", WS_TABSTOP | BS_AUTO3STATE, 140, 66, 110, 20, id++);
  Child(parent, "Button", "单选一", WS_GROUP | WS_TABSTOP | BS_AUTORADIOBUTTON, 20, 96, 110, 20,
        id++);
  Child(parent, "Button", "单选二", BS_AUTORADIOBUTTON, 20, 120, 110, 20, id++);
  Child(parent, "Button", "单选三", BS_AUTORADIOBUTTON, 20, 144, 110, 20, id++);
  Child(parent, "Button", "按下式", WS_GROUP | WS_TABSTOP | BS_AUTOCHECKBOX | BS_PUSHLIKE, 140, 96,
        110, 26, id++);
  // Statics.
  Child(parent, "Static", "静态文字（左对齐）", SS_LEFT, 20, 176, 230, 18, id++);
  Child(parent, "Static", "", SS_ETCHEDHORZ, 10, 218, 250, 2, id++);
  HWND icon = Child(parent, "Static", "", SS_ICON, 20, 228, 32, 32, id++);
  SendMessage(icon, STM_SETICON, reinterpret_cast<WPARAM>(LoadIcon(nullptr, IDI_INFORMATION)), 0);
  Child(parent, "Static", "居中的静态文字", SS_CENTER | SS_SUNKEN, 60, 236, 200, 20, id++);
  // Edits.
  Child(parent, "Edit", "单行编辑框", WS_GROUP | WS_TABSTOP | ES_AUTOHSCROLL, 10, 272, 250, 22,
        id++, WS_EX_CLIENTEDGE);
  Child(parent, "Edit", kMemo,
        WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN, 10, 302, 250, 120,
        id++, WS_EX_CLIENTEDGE);
  Child(parent, "Edit", "只读编辑框：可以选择和复制，不能修改。",
        WS_TABSTOP | ES_MULTILINE | ES_READONLY, 10, 430, 250, 40, id++, WS_EX_CLIENTEDGE);
  // Lists.
  HWND list = Child(parent, "ListBox", "", WS_GROUP | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY, 280, 10,
                    200, 150, id++, WS_EX_CLIENTEDGE);
  const char* kItems[] = {"美容", "家居", "育儿", "饮食",     "菜谱", "运动",
                          "方法", "热量", "星座", "胎儿性别", "关于", "帮助"};
  for (const char* s : kItems) SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
  // A stand-alone scroll bar.
  HWND bar =
      Child(parent, "ScrollBar", "", WS_GROUP | WS_TABSTOP | SBS_HORZ, 280, 172, 200, 17, id++);
  SCROLLINFO si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  si.nMin = 0;
  si.nMax = 99;
  si.nPage = 10;
  si.nPos = 30;
  SetScrollInfo(bar, SB_CTL, &si, TRUE);
}

LRESULT ControlsProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CREATE: Fill(hwnd); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    case WM_COMMAND:
      if (LOWORD(wp) == kOpenBox && HIWORD(wp) == BN_CLICKED)
        MessageBox(hwnd, "这是一个消息框。\r\n按“确定”或“取消”关闭它。", "消息框",
                   MB_OKCANCEL | MB_ICONINFORMATION);
      return 0;
    case WM_HSCROLL: {
      // The stand-alone bar follows its arrows, pages and thumb.
      HWND bar = reinterpret_cast<HWND>(lp);
      if (!bar) break;
      SCROLLINFO si;
      si.fMask = SIF_ALL;
      GetScrollInfo(bar, SB_CTL, &si);
      int pos = si.nPos;
      switch (LOWORD(wp)) {
        case SB_LINELEFT: pos -= 1; break;
        case SB_LINERIGHT: pos += 1; break;
        case SB_PAGELEFT: pos -= int(si.nPage); break;
        case SB_PAGERIGHT: pos += int(si.nPage); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: pos = si.nTrackPos; break;
      }
      SetScrollPos(bar, SB_CTL, pos, TRUE);
      return 0;
    }
  }
  return DefWindowProc(hwnd, msg, wp, lp);
}

}  // namespace

// No WS_CLIPCHILDREN: a group box draws only its frame and caption and shows the parent's
// background through, as on Windows.
HWND OpenControlsWindow(int x, int y) {
  WNDCLASSEX wc{};
  wc.lpfnWndProc = ControlsProc;
  wc.lpszClassName = "DemoControls";
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(std::intptr_t(COLOR_BTNFACE + 1));
  RegisterClassEx(&wc);
  RECT rc{0, 0, 500, 480};
  AdjustWindowRectEx(&rc, WS_OVERLAPPEDWINDOW, FALSE, 0);
  HWND w =
      CreateWindowEx(0, "DemoControls", "控件演示", WS_OVERLAPPEDWINDOW, x, y, rc.right - rc.left,
                     rc.bottom - rc.top, nullptr, nullptr, nullptr, nullptr);
  ShowWindow(w, SW_SHOW);
  return w;
}
