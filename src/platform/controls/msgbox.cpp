// MessageBox: a "#32770" window with a text, an icon and its buttons, run in its own modal
// loop.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/controls/internal/simple_controls.h"
#include "platform/win.h"

namespace win {
namespace {

constexpr int kIconId = 0x0440, kTextId = 0xFFFF;  // Windows' IDs for the two statics
constexpr int kMargin = 12, kIconGap = 12, kButtonGap = 6, kButtonTop = 14;
constexpr int kButtonMinWidth = 75, kButtonHeight = 23, kButtonPadding = 8;
constexpr DWORD ERROR_INVALID_MSGBOX_STYLE = 1438;

struct ButtonSpec {
  int id;
  const char* caption;
};

// The buttons of each MB_ set, left to right, captioned as a Simplified Chinese system captions
// them (the program's readers see Chinese everywhere); the mnemonics are Windows' own letters.
std::vector<ButtonSpec> ButtonsFor(UINT type) {
  const ButtonSpec ok{IDOK, "确定"}, cancel{IDCANCEL, "取消"}, abort{IDABORT, "中止(&A)"},
      retry{IDRETRY, "重试(&R)"}, ignore{IDIGNORE, "忽略(&I)"}, yes{IDYES, "是(&Y)"},
      no{IDNO, "否(&N)"}, again{IDTRYAGAIN, "重试(&T)"}, cont{IDCONTINUE, "继续(&C)"};
  switch (type & MB_TYPEMASK) {
    case MB_OK: return {ok};
    case MB_OKCANCEL: return {ok, cancel};
    case MB_ABORTRETRYIGNORE: return {abort, retry, ignore};
    case MB_YESNOCANCEL: return {yes, no, cancel};
    case MB_YESNO: return {yes, no};
    case MB_RETRYCANCEL: return {retry, cancel};
    case MB_CANCELTRYCONTINUE: return {cancel, again, cont};
  }
  return {};
}

const char* IconFor(UINT type) {
  switch (type & MB_ICONMASK) {
    case MB_ICONHAND: return IDI_HAND;
    case MB_ICONQUESTION: return IDI_QUESTION;
    case MB_ICONEXCLAMATION: return IDI_EXCLAMATION;
    case MB_ICONASTERISK: return IDI_ASTERISK;
  }
  return nullptr;
}

struct Box {
  std::vector<int> ids;
  bool has_cancel = false;
};

LONG_PTR BoxProc(HWND h, UINT msg, WPARAM wp, LPARAM) {
  if (msg != WM_COMMAND || HIWORD(wp) != BN_CLICKED) return FALSE;
  auto* box = reinterpret_cast<Box*>(GetWindowLongPtr(h, DWLP_USER));
  if (!box) return FALSE;
  int id = LOWORD(wp);
  // Escape and the close box mean Cancel; with OK alone they mean OK, as Windows documents;
  // otherwise they do nothing.
  if (id == IDCANCEL && !box->has_cancel) {
    if (box->ids != std::vector<int>{IDOK}) return TRUE;
    id = IDOK;
  }
  if (std::find(box->ids.begin(), box->ids.end(), id) != box->ids.end()) EndDialog(h, id);
  return TRUE;
}

// The font text and buttons are drawn in: the system's message-box font.
HFONT MessageFont(bool* owned) {
  NONCLIENTMETRICS ncm;
  if (SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0))
    if (HFONT f = CreateFontIndirect(&ncm.lfMessageFont)) {
      *owned = true;
      return f;
    }
  *owned = false;
  return reinterpret_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

int CaptionWidth(HDC dc, const char* caption) {
  NONCLIENTMETRICS ncm;
  HFONT font = nullptr;
  if (SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0))
    font = CreateFontIndirect(&ncm.lfCaptionFont);
  HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
  SIZE sz{};
  GetTextExtentPoint32(dc, caption, -1, &sz);
  if (font) {
    SelectObject(dc, old);
    DeleteObject(font);
  }
  return sz.cx;
}

struct Layout {
  RECT icon{}, text{};
  std::vector<RECT> buttons;
  SIZE client{};
};

// Text wraps at half the screen's width; the box is as wide as the widest of its text, its
// row of buttons and its caption.
Layout Measure(const char* text, const char* caption, bool icon, HFONT font,
               const std::vector<ButtonSpec>& specs, int frame_width) {
  Layout l;
  const std::size_t buttons = specs.size();
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  const int max_text = std::max(200, GetSystemMetrics(SM_CXSCREEN) / 2);
  RECT tr{0, 0, max_text, 0};
  DrawText(dc, text, -1, &tr, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
  const int tw = tr.right, th = tr.bottom;
  int bw = kButtonMinWidth;
  for (const ButtonSpec& s : specs) {
    RECT br{0, 0, 0, 0};
    DrawText(dc, s.caption, -1, &br, DT_CALCRECT | DT_SINGLELINE);
    bw = std::max(bw, int(br.right) + 2 * kButtonPadding);
  }
  const int caption_need = CaptionWidth(dc, caption) + GetSystemMetrics(SM_CXSIZE) + 16;
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);

  const int icon_size = icon ? GetSystemMetrics(SM_CXICON) : 0;
  const int text_left = kMargin + (icon ? icon_size + kIconGap : 0);
  const int content = std::max(icon_size, th);
  const int row = int(buttons) * bw + (int(buttons) - 1) * kButtonGap;
  int width = std::max({text_left + tw + kMargin, row + 2 * kMargin, caption_need - frame_width});
  l.client = SIZE{width, kMargin + content + kButtonTop + kButtonHeight + kMargin};
  if (icon) l.icon = RECT{kMargin, kMargin, kMargin + icon_size, kMargin + icon_size};
  const int text_top = kMargin + (content - th) / 2;
  l.text = RECT{text_left, text_top, text_left + tw, text_top + th};
  int x = (width - row) / 2;
  const int y = kMargin + content + kButtonTop;
  for (std::size_t i = 0; i < buttons; ++i, x += bw + kButtonGap)
    l.buttons.push_back(RECT{x, y, x + bw, y + kButtonHeight});
  return l;
}

// Centred on the owner when it is on the screen, else on the work area, and kept inside it.
POINT Placement(HWND owner, SIZE size) {
  RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
  RECT around = work;
  if (owner && IsWindowVisible(owner) && !IsIconic(owner)) GetWindowRect(owner, &around);
  int x = around.left + (around.right - around.left - size.cx) / 2;
  int y = around.top + (around.bottom - around.top - size.cy) / 2;
  x = std::max<int>(work.left, std::min<int>(x, work.right - size.cx));
  y = std::max<int>(work.top, std::min<int>(y, work.bottom - size.cy));
  return POINT{x, y};
}

struct Disabled {
  std::vector<HWND> windows;
  static BOOL Collect(HWND h, LPARAM lp) {
    if (IsWindowEnabled(h)) reinterpret_cast<Disabled*>(lp)->windows.push_back(h);
    return TRUE;
  }
  void Disable() {
    for (HWND h : windows) EnableWindow(h, FALSE);
  }
  void Enable() {
    for (HWND h : windows)
      if (IsWindow(h)) EnableWindow(h, TRUE);
  }
};

// Ctrl+C in a message box puts its caption, text and buttons on the clipboard as Windows
// lays them out, so a user can paste an error report.
void CopyToClipboard(HWND box, const char* caption, const char* text,
                     const std::vector<ButtonSpec>& specs) {
  const std::string rule = "---------------------------\r\n";
  std::string out = rule + caption + "\r\n" + rule + text + "\r\n" + rule;
  for (const ButtonSpec& s : specs) {
    for (const char* c = s.caption; *c; ++c)
      if (*c != '&') out += *c;
    out += "   ";
  }
  out += "\r\n" + rule;
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, out.size() + 1);
  if (!mem) return;
  if (auto* p = static_cast<char*>(GlobalLock(mem))) {
    std::copy(out.c_str(), out.c_str() + out.size() + 1, p);
    GlobalUnlock(mem);
  }
  if (!OpenClipboard(box)) {
    GlobalFree(mem);
    return;
  }
  EmptyClipboard();
  if (!SetClipboardData(CF_TEXT, mem)) GlobalFree(mem);
  CloseClipboard();
}

HWND Child(HWND box, const char* cls, const char* text, DWORD style, const RECT& r, int id,
           HFONT font) {
  HWND c = CreateWindowEx(0, cls, text, WS_CHILD | WS_VISIBLE | style, r.left, r.top,
                          r.right - r.left, r.bottom - r.top, box,
                          reinterpret_cast<HMENU>(std::intptr_t(id)), nullptr, nullptr);
  if (c) SendMessage(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return c;
}

}  // namespace

int MessageBox(HWND owner, const char* text, const char* caption, UINT type) {
  if (owner && !IsWindow(owner)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  const std::vector<ButtonSpec> specs = ButtonsFor(type);
  if (specs.empty()) {
    SetLastError(ERROR_INVALID_MSGBOX_STYLE);
    return 0;
  }
  if (!text) text = "";
  if (!caption) caption = "Error";
  if (owner) owner = GetAncestor(owner, GA_ROOT);
  const int def = std::min<int>(int((type & MB_DEFMASK) >> 8), int(specs.size()) - 1);
  const char* icon_name = IconFor(type);

  bool font_owned = false;
  HFONT font = MessageFont(&font_owned);
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_NOIDLEMSG;
  DWORD ex = WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | WS_EX_CONTROLPARENT;
  if (type & (MB_TOPMOST | MB_SYSTEMMODAL)) ex |= WS_EX_TOPMOST;
  RECT frame{0, 0, 0, 0};
  AdjustWindowRectEx(&frame, style, FALSE, ex);
  const Layout l =
      Measure(text, caption, icon_name != nullptr, font, specs, frame.right - frame.left);
  const SIZE outer{l.client.cx + frame.right - frame.left, l.client.cy + frame.bottom - frame.top};
  const POINT at = Placement(owner, outer);

  // Task-modal boxes disable every enabled top-level window; the others their owner.
  Disabled disabled;
  if ((type & MB_MODEMASK) == MB_TASKMODAL)
    EnumWindows(&Disabled::Collect, reinterpret_cast<LPARAM>(&disabled));
  else if (owner && IsWindowEnabled(owner))
    disabled.windows.push_back(owner);
  disabled.Disable();

  auto box = std::make_unique<Box>();
  for (const ButtonSpec& s : specs) box->ids.push_back(s.id);
  box->has_cancel = std::find(box->ids.begin(), box->ids.end(), IDCANCEL) != box->ids.end();
  HWND dlg = CreateWindowEx(ex, "#32770", caption, style, at.x, at.y, outer.cx, outer.cy, owner,
                            nullptr, nullptr, nullptr);
  if (!dlg) {
    disabled.Enable();
    if (font_owned) DeleteObject(font);
    return 0;
  }
  SetWindowLongPtr(dlg, DWLP_USER, reinterpret_cast<LONG_PTR>(box.get()));
  SetWindowLongPtr(dlg, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(&BoxProc));
  SendMessage(dlg, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  if (icon_name) {
    HWND icon = Child(dlg, "Static", "", SS_ICON, l.icon, kIconId, font);
    SendMessage(icon, STM_SETICON, reinterpret_cast<WPARAM>(LoadIcon(nullptr, icon_name)), 0);
  }
  Child(dlg, "Static", text, ((type & MB_RIGHT) ? SS_RIGHT : SS_LEFT) | SS_NOPREFIX | WS_GROUP,
        l.text, kTextId, font);
  HWND def_button = nullptr;
  for (std::size_t i = 0; i < specs.size(); ++i) {
    const bool is_def = int(i) == def;
    HWND b = Child(dlg, "Button", specs[i].caption,
                   WS_TABSTOP | (i == 0 ? WS_GROUP : 0) | (is_def ? BS_DEFPUSHBUTTON : 0),
                   l.buttons[i], specs[i].id, font);
    if (is_def) def_button = b;
  }
  SendMessage(dlg, DM_SETDEFID, WPARAM(specs[std::size_t(def)].id), 0);
  SendMessage(dlg, WM_INITDIALOG, reinterpret_cast<WPARAM>(def_button), LPARAM(type));

  INT_PTR result = 0;
  if (IsWindow(dlg)) {
    ShowWindow(dlg, SW_SHOWNORMAL);
    if (type & MB_SETFOREGROUND) SetForegroundWindow(dlg);
    if (def_button && IsWindow(def_button))
      SendMessage(dlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(def_button), TRUE);
    while (IsWindow(dlg) && !controls::DialogEnded(dlg, &result)) {
      MSG m;
      const BOOL got = GetMessage(&m, nullptr, 0, 0);
      if (got == 0) {
        PostQuitMessage(int(m.wParam));  // the program's own loop must see it too
        break;
      }
      if (got < 0) break;
      if (m.message == WM_KEYDOWN && (m.wParam == 'C' || m.wParam == VK_INSERT) &&
          (GetKeyState(VK_CONTROL) & 0x8000) && (m.hwnd == dlg || IsChild(dlg, m.hwnd))) {
        CopyToClipboard(dlg, caption, text, specs);
        continue;
      }
      if (!IsDialogMessage(dlg, &m)) {
        TranslateMessage(&m);
        DispatchMessage(&m);
      }
    }
  }
  // The owner comes back before the box goes, so the activation returns to it.
  disabled.Enable();
  if (IsWindow(dlg)) {
    SetWindowLongPtr(dlg, DWLP_USER, 0);
    DestroyWindow(dlg);
  }
  if (font_owned) DeleteObject(font);
  return int(result);
}

}  // namespace win
