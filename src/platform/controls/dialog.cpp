// The dialog manager: the "#32770" class and DefDlgProc, the dialog keys of IsDialogMessage
// (for dialogs and for ordinary windows holding controls), and the item helpers.
#include <cctype>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/controls/internal/classes.h"
#include "platform/controls/internal/simple_controls.h"
#include "platform/win.h"

namespace win::controls {
namespace {

// The dialog manager's own part of the extra bytes, after DWLP_USER.
constexpr int kInfoOffset = DWLP_USER + int(sizeof(LONG_PTR));
constexpr UINT kEmSetSel = 0x00B1;  // the edit control's EM_SETSEL
constexpr UINT kQueryDragIcon = 0x0037;

struct DialogInfo {
  HWND saved_focus = nullptr;
  int def_id = 0;  // 0: the child styled BS_DEFPUSHBUTTON, if any
  bool ended = false;
  INT_PTR result = 0;
  HFONT font = nullptr;
};

bool IsDialog(HWND h) {
  if (!IsWindow(h)) return false;
  if (GetClassLongPtr(h, GCL_CBWNDEXTRA) < ULONG_PTR(DLGWINDOWEXTRA)) return false;
  char name[16] = {};
  GetClassName(h, name, sizeof name);
  return std::string(name) == "#32770" ||
         GetClassLongPtr(h, GCLP_WNDPROC) == reinterpret_cast<ULONG_PTR>(&DefDlgProc);
}

DialogInfo* Info(HWND h) { return IsDialog(h) ? StateAt<DialogInfo>(h, kInfoOffset) : nullptr; }

std::vector<HWND> Children(HWND dlg) {
  std::vector<HWND> out;
  for (HWND c = GetWindow(dlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) out.push_back(c);
  return out;
}

DWORD StyleOf(HWND h) { return DWORD(GetWindowLongPtr(h, GWL_STYLE)); }
bool Usable(HWND h) { return (StyleOf(h) & (WS_VISIBLE | WS_DISABLED)) == WS_VISIBLE; }

// The controls the dialog keys walk, in order: the children, with those of a visible, enabled
// WS_EX_CONTROLPARENT child standing in its place (a panel of controls inside a dialog).
void AddControls(HWND parent, std::vector<HWND>* out) {
  for (HWND c : Children(parent)) {
    if ((GetWindowLongPtr(c, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) && Usable(c))
      AddControls(c, out);
    else
      out->push_back(c);
  }
}
std::vector<HWND> Controls(HWND dlg) {
  std::vector<HWND> out;
  AddControls(dlg, &out);
  return out;
}
LRESULT CodeOf(HWND h, WPARAM wp = 0, LPARAM lp = 0) {
  return h ? SendMessage(h, WM_GETDLGCODE, wp, lp) : 0;
}
bool IsPush(LRESULT code) { return (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0; }

HWND DefaultStyled(HWND dlg) {
  for (HWND c : Children(dlg))
    if (CodeOf(c) & DLGC_DEFPUSHBUTTON) return c;
  return nullptr;
}

// The push button that shows the default border: the focused push button, else the dialog's
// default ID's.
void SetDefButton(HWND dlg, DialogInfo* info, HWND focus) {
  const LRESULT code = CodeOf(focus);
  if (IsPush(code) && info->def_id == 0)
    if (HWND was = DefaultStyled(dlg)) info->def_id = GetDlgCtrlID(was);
  HWND target = IsPush(code) ? focus : (info->def_id ? GetDlgItem(dlg, info->def_id) : nullptr);
  if (!target) return;
  for (HWND c : Children(dlg))
    if (c != target && (CodeOf(c) & DLGC_DEFPUSHBUTTON))
      SendMessage(c, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
  if (CodeOf(target) & DLGC_UNDEFPUSHBUTTON)
    SendMessage(target, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
}

// Moves the focus to a control the way the dialog keys do: an edit gets all its text selected,
// and a dialog's default border follows.
void FocusControl(HWND dlg, HWND ctl) {
  if (!ctl) return;
  if (CodeOf(ctl) & DLGC_HASSETSEL) SendMessage(ctl, kEmSetSel, 0, -1);
  if (DialogInfo* info = Info(dlg)) SetDefButton(dlg, info, ctl);
  SetFocus(ctl);
}

void NextControl(HWND dlg, HWND ctl) {
  if (IsDialog(dlg))
    SendMessage(dlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(ctl), TRUE);
  else
    FocusControl(dlg, ctl);
}

void SaveFocus(HWND dlg, DialogInfo* info) {
  HWND f = GetFocus();
  if (f && IsChild(dlg, f)) info->saved_focus = f;
}

// The focus goes back to the control that last had it, else to the first tab stop; a dialog
// activated with no control to take the focus keeps it itself.
void RestoreFocus(HWND dlg, DialogInfo* info, bool activating) {
  if (IsIconic(dlg)) return;
  HWND f = info->saved_focus;
  if (!f || !IsWindow(f) || !IsChild(dlg, f)) f = GetNextDlgTabItem(dlg, nullptr, FALSE);
  if (f)
    FocusControl(dlg, f);
  else if (activating && GetFocus() != dlg)
    SetFocus(dlg);
}

bool AnswersDirectly(UINT msg) {
  return msg == WM_COMPAREITEM || msg == WM_VKEYTOITEM || msg == WM_CHARTOITEM ||
         msg == kQueryDragIcon || msg == WM_INITDIALOG ||
         (msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC);
}

LRESULT DefaultHandling(HWND h, DialogInfo* info, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND: {
      HDC dc = reinterpret_cast<HDC>(wp);
      auto brush = reinterpret_cast<HBRUSH>(SendMessage(h, WM_CTLCOLORDLG, wp, LPARAM(h)));
      if (!brush) brush = reinterpret_cast<HBRUSH>(DefWindowProc(h, WM_CTLCOLORDLG, wp, LPARAM(h)));
      RECT rc;
      GetClientRect(h, &rc);
      if (brush) FillRect(dc, &rc, brush);
      return 1;
    }
    case WM_NCDESTROY:
      if (info) {
        SetWindowLongPtr(h, kInfoOffset, 0);
        delete info;
      }
      return DefWindowProc(h, msg, wp, lp);
    case WM_SHOWWINDOW:
      if (!wp && info) SaveFocus(h, info);
      return DefWindowProc(h, msg, wp, lp);
    case WM_ACTIVATE:
      if (!info) break;
      if (LOWORD(wp) != WA_INACTIVE)
        RestoreFocus(h, info, true);
      else
        SaveFocus(h, info);
      return 0;
    case WM_SETFOCUS:
      if (info) RestoreFocus(h, info, false);
      return 0;
    case DM_SETDEFID:
      if (!info) break;
      info->def_id = int(wp);
      SetDefButton(h, info, GetDlgItem(h, int(wp)));
      return TRUE;
    case DM_GETDEFID: {
      if (!info || info->ended) return 0;
      int id = info->def_id;
      if (!id)
        if (HWND d = DefaultStyled(h)) id = GetDlgCtrlID(d);
      return id ? LRESULT(MAKELONG(WORD(id), DC_HASDEFID)) : 0;
    }
    case WM_NEXTDLGCTL: {
      HWND dest;
      if (lp) {
        dest = reinterpret_cast<HWND>(wp);
      } else {
        HWND f = GetFocus();
        if (f && !IsChild(h, f)) f = nullptr;
        dest = GetNextDlgTabItem(h, f, wp != 0);
      }
      if (dest && IsChild(h, dest)) FocusControl(h, dest);
      return 0;
    }
    case WM_SETFONT:
      if (info) info->font = reinterpret_cast<HFONT>(wp);
      return 0;
    case WM_GETFONT: return info ? reinterpret_cast<LRESULT>(info->font) : 0;
    case WM_CLOSE: {
      // The close box stands for Cancel, unless a Cancel button is there and disabled.
      HWND cancel = GetDlgItem(h, IDCANCEL);
      if (cancel && !IsWindowEnabled(cancel)) return 0;
      PostMessage(h, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                  reinterpret_cast<LPARAM>(cancel));
      return 0;
    }
  }
  return DefWindowProc(h, msg, wp, lp);
}

// Alt+letter, or a bare letter, on a control whose caption has it after "&": a static or group
// box hands the focus to the next control, a button is focused and clicked.
bool Mnemonic(HWND dlg, WPARAM ch) {
  if (ch == ' ' || ch == 0) return false;
  auto lower = [](std::uint32_t c) { return c < 0x80 ? std::uint32_t(std::tolower(int(c))) : c; };
  const std::uint32_t want = lower(std::uint32_t(ch));
  std::vector<HWND> kids = Controls(dlg);
  for (std::size_t i = 0; i < kids.size(); ++i) {
    HWND c = kids[i];
    if (!Usable(c)) continue;
    const LRESULT code = CodeOf(c);
    if (!(code & (DLGC_BUTTON | DLGC_STATIC))) continue;
    std::string text = WindowText(c);
    bool hit = false;
    for (std::size_t k = 0; k + 1 < text.size(); ++k) {
      if (text[k] != '&') continue;
      if (text[k + 1] == '&') {
        ++k;
        continue;
      }
      hit = lower(static_cast<unsigned char>(text[k + 1])) == want;
      break;
    }
    if (!hit) continue;
    if (code & DLGC_STATIC) {
      for (std::size_t j = i + 1; j < kids.size(); ++j)
        if (Usable(kids[j]) && !(CodeOf(kids[j]) & DLGC_STATIC)) {
          NextControl(dlg, kids[j]);
          break;
        }
      return true;
    }
    NextControl(dlg, c);
    SendMessage(c, BM_CLICK, 0, 0);
    return true;
  }
  return false;
}

void EnterKey(HWND dlg, HWND focus) {
  int id = 0;
  HWND button = nullptr;
  if (focus && (CodeOf(focus) & DLGC_DEFPUSHBUTTON)) {
    button = focus;
    id = GetDlgCtrlID(focus);
  } else {
    const LRESULT dw = SendMessage(dlg, DM_GETDEFID, 0, 0);
    id = HIWORD(std::uintptr_t(dw)) == DC_HASDEFID ? LOWORD(std::uintptr_t(dw)) : IDOK;
    button = GetDlgItem(dlg, id);
  }
  if (button && !IsWindowEnabled(button)) return;
  SendMessage(dlg, WM_COMMAND, MAKEWPARAM(WORD(id), BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

LRESULT DialogClassProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  return DefDlgProc(h, msg, wp, lp);
}

}  // namespace

bool DialogEnded(HWND dlg, INT_PTR* result) {
  DialogInfo* info = Info(dlg);
  if (!info || !info->ended) return false;
  if (result) *result = info->result;
  return true;
}

void RegisterDialogClass() {
  WNDCLASSEX wc;
  wc.style = CS_DBLCLKS | CS_SAVEBITS | CS_GLOBALCLASS;
  wc.lpfnWndProc = DialogClassProc;
  wc.cbWndExtra = DLGWINDOWEXTRA;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = "#32770";
  RegisterClassEx(&wc);
}

}  // namespace win::controls

namespace win {

using controls::Children;
using controls::CodeOf;
using controls::Usable;

LRESULT DefDlgProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE && controls::IsDialog(h) && !controls::Info(h))
    SetWindowLongPtr(h, controls::kInfoOffset,
                     reinterpret_cast<LONG_PTR>(new controls::DialogInfo));
  if (auto proc = reinterpret_cast<DLGPROC>(GetWindowLongPtr(h, DWLP_DLGPROC))) {
    SetWindowLongPtr(h, DWLP_MSGRESULT, 0);
    const LONG_PTR answer = proc(h, msg, wp, lp);
    if (answer && msg != WM_NCDESTROY) {
      if (controls::AnswersDirectly(msg) || !IsWindow(h)) return answer;
      return GetWindowLongPtr(h, DWLP_MSGRESULT);
    }
  }
  return controls::DefaultHandling(h, controls::Info(h), msg, wp, lp);
}

HWND GetNextDlgTabItem(HWND dlg, HWND ctl, BOOL previous) {
  if (!IsWindow(dlg) || (ctl && !IsChild(dlg, ctl))) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  std::vector<HWND> kids = controls::Controls(dlg);
  const int n = int(kids.size());
  int at = previous ? 0 : n - 1;  // with no control, start at the ends
  for (int i = 0; i < n; ++i)
    if (kids[std::size_t(i)] == ctl) at = i;
  for (int step = 1; step <= n; ++step) {
    HWND c = kids[std::size_t(((at + (previous ? -step : step)) % n + n) % n)];
    if ((controls::StyleOf(c) & WS_TABSTOP) && Usable(c)) return c;
  }
  return ctl;
}

HWND GetNextDlgGroupItem(HWND dlg, HWND ctl, BOOL previous) {
  if (!IsWindow(dlg) || (ctl && !IsChild(dlg, ctl))) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  // A control inside a panel moves within the panel's groups.
  if (ctl && GetParent(ctl) != dlg) dlg = GetParent(ctl);
  std::vector<HWND> kids = Children(dlg);
  const int n = int(kids.size());
  if (n == 0) return nullptr;
  int at = 0;
  for (int i = 0; i < n; ++i)
    if (kids[std::size_t(i)] == ctl) at = i;
  int first = at;
  while (first > 0 && !(controls::StyleOf(kids[std::size_t(first)]) & WS_GROUP)) --first;
  int last = at + 1;
  while (last < n && !(controls::StyleOf(kids[std::size_t(last)]) & WS_GROUP)) ++last;
  const int size = last - first;
  for (int step = 1; step < size; ++step) {
    const int k = ((at - first + (previous ? -step : step)) % size + size) % size;
    HWND c = kids[std::size_t(first + k)];
    if (Usable(c)) return c;
  }
  return ctl ? ctl : kids[std::size_t(at)];
}

BOOL IsDialogMessage(HWND dlg, MSG* msg) {
  if (!msg || !IsWindow(dlg)) return FALSE;
  if (CallMsgFilter(msg, MSGF_DIALOGBOX)) return TRUE;
  if (msg->hwnd != dlg && !IsChild(dlg, msg->hwnd)) return FALSE;
  const bool dialog = controls::IsDialog(dlg);
  switch (msg->message) {
    case WM_KEYDOWN: {
      const LRESULT code = CodeOf(msg->hwnd, msg->wParam, reinterpret_cast<LPARAM>(msg));
      if (code & DLGC_WANTMESSAGE) break;
      HWND focus = msg->hwnd == dlg ? nullptr : msg->hwnd;
      switch (msg->wParam) {
        case VK_TAB:
          if (code & DLGC_WANTTAB) break;
          if (dialog)
            SendMessage(dlg, WM_NEXTDLGCTL, (GetKeyState(VK_SHIFT) & 0x8000) ? 1 : 0, 0);
          else
            controls::FocusControl(
                dlg, GetNextDlgTabItem(dlg, focus, (GetKeyState(VK_SHIFT) & 0x8000) != 0));
          return TRUE;
        case VK_LEFT:
        case VK_UP:
        case VK_RIGHT:
        case VK_DOWN: {
          if (code & DLGC_WANTARROWS) break;
          const bool back = msg->wParam == VK_LEFT || msg->wParam == VK_UP;
          HWND next = GetNextDlgGroupItem(dlg, focus, back);
          if (next && CodeOf(next) == (DLGC_BUTTON | DLGC_RADIOBUTTON)) {
            // Arrows through auto radio buttons check the one they land on.
            controls::NextControl(dlg, next);
            if ((controls::StyleOf(next) & BS_TYPEMASK) == BS_AUTORADIOBUTTON &&
                SendMessage(next, BM_GETCHECK, 0, 0) != BST_CHECKED)
              SendMessage(next, BM_CLICK, 1, 0);
          } else if (next) {
            controls::NextControl(dlg, next);
          }
          return TRUE;
        }
        case VK_ESCAPE:
          SendMessage(dlg, WM_COMMAND, IDCANCEL,
                      reinterpret_cast<LPARAM>(GetDlgItem(dlg, IDCANCEL)));
          return TRUE;
        case VK_RETURN: controls::EnterKey(dlg, focus); return TRUE;
      }
      break;
    }
    case WM_CHAR: {
      const LRESULT code = CodeOf(msg->hwnd, msg->wParam, reinterpret_cast<LPARAM>(msg));
      if (code & (DLGC_WANTCHARS | DLGC_WANTMESSAGE)) break;
      if (msg->wParam == '\t' && (code & DLGC_WANTTAB)) break;
      if (controls::Mnemonic(dlg, msg->wParam)) return TRUE;
      break;
    }
    case WM_SYSCHAR:
      if (controls::Mnemonic(dlg, msg->wParam)) return TRUE;
      break;
  }
  TranslateMessage(msg);
  DispatchMessage(msg);
  return TRUE;
}

HWND GetDlgItem(HWND dlg, int id) {
  if (!IsWindow(dlg)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  for (HWND c : Children(dlg))
    if (GetDlgCtrlID(c) == id) return c;
  SetLastError(ERROR_CONTROL_ID_NOT_FOUND);
  return nullptr;
}

LRESULT SendDlgItemMessage(HWND dlg, int id, UINT msg, WPARAM wp, LPARAM lp) {
  HWND c = GetDlgItem(dlg, id);
  return c ? SendMessage(c, msg, wp, lp) : 0;
}

BOOL SetDlgItemText(HWND dlg, int id, const char* text) {
  HWND c = GetDlgItem(dlg, id);
  return c ? SetWindowText(c, text) : FALSE;
}

UINT GetDlgItemText(HWND dlg, int id, char* buffer, int count) {
  HWND c = GetDlgItem(dlg, id);
  if (!c) {
    if (buffer && count > 0) buffer[0] = '\0';
    return 0;
  }
  const int n = GetWindowText(c, buffer, count);
  return n < 0 ? 0 : UINT(n);
}

BOOL CheckDlgButton(HWND dlg, int id, UINT check) {
  HWND c = GetDlgItem(dlg, id);
  if (!c) return FALSE;
  SendMessage(c, BM_SETCHECK, check, 0);
  return TRUE;
}

BOOL CheckRadioButton(HWND dlg, int first, int last, int check) {
  if (!IsWindow(dlg)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  bool any = false;
  for (HWND c : Children(dlg)) {
    const int id = GetDlgCtrlID(c);
    if (id < first || id > last) continue;
    any = true;
    SendMessage(c, BM_SETCHECK, id == check ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  return any ? TRUE : FALSE;
}

UINT IsDlgButtonChecked(HWND dlg, int id) {
  HWND c = GetDlgItem(dlg, id);
  return c ? UINT(SendMessage(c, BM_GETCHECK, 0, 0)) : 0;
}

BOOL EndDialog(HWND dlg, INT_PTR result) {
  controls::DialogInfo* info = controls::Info(dlg);
  if (!info) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  info->ended = true;
  info->result = result;
  PostMessage(dlg, WM_NULL, 0, 0);  // wakes the modal loop
  return TRUE;
}

}  // namespace win
