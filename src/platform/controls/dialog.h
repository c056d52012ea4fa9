#pragma once
// Dialogs: the "#32770" class, DefDlgProc, IsDialogMessage and its helpers, and MessageBox.
// Holds: DLGC_ codes, DM_ messages, MB_ styles, the ID answers.
#include "platform/user/messages.h"

namespace win {

using INT_PTR = std::intptr_t;

constexpr DWORD ERROR_CONTROL_ID_NOT_FOUND = 1421;

// WM_GETDLGCODE answers.
constexpr LRESULT DLGC_WANTARROWS = 0x0001, DLGC_WANTTAB = 0x0002, DLGC_WANTALLKEYS = 0x0004,
                  DLGC_WANTMESSAGE = 0x0004, DLGC_HASSETSEL = 0x0008, DLGC_DEFPUSHBUTTON = 0x0010,
                  DLGC_UNDEFPUSHBUTTON = 0x0020, DLGC_RADIOBUTTON = 0x0040, DLGC_WANTCHARS = 0x0080,
                  DLGC_STATIC = 0x0100, DLGC_BUTTON = 0x2000;

constexpr UINT DM_GETDEFID = WM_USER + 0, DM_SETDEFID = WM_USER + 1, DM_REPOSITION = WM_USER + 2;
// The high word of a DM_GETDEFID answer that holds an ID.
constexpr WORD DC_HASDEFID = 0x534B;

// Dialog styles.
constexpr DWORD DS_ABSALIGN = 0x01, DS_SYSMODAL = 0x02, DS_LOCALEDIT = 0x20, DS_SETFONT = 0x40,
                DS_MODALFRAME = 0x80, DS_NOIDLEMSG = 0x100, DS_SETFOREGROUND = 0x200,
                DS_3DLOOK = 0x0004, DS_FIXEDSYS = 0x0008, DS_NOFAILCREATE = 0x0010,
                DS_CONTROL = 0x0400, DS_CENTER = 0x0800, DS_CENTERMOUSE = 0x1000,
                DS_CONTEXTHELP = 0x2000;

// The extra bytes of a dialog window: the message result, the dialog procedure and the
// application's own value, then the dialog manager's.
constexpr int DWLP_MSGRESULT = 0, DWLP_DLGPROC = 8, DWLP_USER = 16;
constexpr int DLGWINDOWEXTRA = 48;

// Command IDs.
constexpr int IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7,
              IDCLOSE = 8, IDHELP = 9, IDTRYAGAIN = 10, IDCONTINUE = 11;

// MessageBox styles.
constexpr UINT MB_OK = 0x0, MB_OKCANCEL = 0x1, MB_ABORTRETRYIGNORE = 0x2, MB_YESNOCANCEL = 0x3,
               MB_YESNO = 0x4, MB_RETRYCANCEL = 0x5, MB_CANCELTRYCONTINUE = 0x6, MB_TYPEMASK = 0xF,
               MB_ICONHAND = 0x10, MB_ICONQUESTION = 0x20, MB_ICONEXCLAMATION = 0x30,
               MB_ICONASTERISK = 0x40, MB_USERICON = 0x80, MB_ICONMASK = 0xF0,
               MB_ICONWARNING = MB_ICONEXCLAMATION, MB_ICONERROR = MB_ICONHAND,
               MB_ICONINFORMATION = MB_ICONASTERISK, MB_ICONSTOP = MB_ICONHAND, MB_DEFBUTTON1 = 0x0,
               MB_DEFBUTTON2 = 0x100, MB_DEFBUTTON3 = 0x200, MB_DEFBUTTON4 = 0x300,
               MB_DEFMASK = 0xF00, MB_APPLMODAL = 0x0, MB_SYSTEMMODAL = 0x1000,
               MB_TASKMODAL = 0x2000, MB_MODEMASK = 0x3000, MB_HELP = 0x4000, MB_NOFOCUS = 0x8000,
               MB_SETFOREGROUND = 0x10000, MB_DEFAULT_DESKTOP_ONLY = 0x20000, MB_TOPMOST = 0x40000,
               MB_RIGHT = 0x80000, MB_RTLREADING = 0x100000;

using DLGPROC = LONG_PTR (*)(HWND, UINT, WPARAM, LPARAM);

// The window procedure of "#32770": asks the dialog procedure (DWLP_DLGPROC) first; a TRUE
// answer stands, with the result in DWLP_MSGRESULT (the WM_CTLCOLOR* family, WM_INITDIALOG and
// a few others answer directly).
LRESULT DefDlgProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp);
inline constexpr auto& DefDlgProcA = DefDlgProc;
inline constexpr auto& DefDlgProcW = DefDlgProc;

// The dialog keys for `dlg` (a dialog or any window with child controls): TRUE when the message
// was for it and has been handled (translated and dispatched when not a dialog key).
BOOL IsDialogMessage(HWND dlg, MSG* msg);
inline constexpr auto& IsDialogMessageA = IsDialogMessage;
inline constexpr auto& IsDialogMessageW = IsDialogMessage;
// The next (or previous) visible, enabled WS_TABSTOP child after `ctl`, wrapping; `ctl` null
// starts at the ends.
HWND GetNextDlgTabItem(HWND dlg, HWND ctl, BOOL previous);
// The next (or previous) visible, enabled child of `ctl`'s WS_GROUP group, wrapping.
HWND GetNextDlgGroupItem(HWND dlg, HWND ctl, BOOL previous);

HWND GetDlgItem(HWND dlg, int id);
LRESULT SendDlgItemMessage(HWND dlg, int id, UINT msg, WPARAM wp, LPARAM lp);
inline constexpr auto& SendDlgItemMessageA = SendDlgItemMessage;
BOOL SetDlgItemText(HWND dlg, int id, const char* text);
inline constexpr auto& SetDlgItemTextA = SetDlgItemText;
UINT GetDlgItemText(HWND dlg, int id, char* buffer, int count);
inline constexpr auto& GetDlgItemTextA = GetDlgItemText;
BOOL CheckDlgButton(HWND dlg, int id, UINT check);
BOOL CheckRadioButton(HWND dlg, int first, int last, int check);
UINT IsDlgButtonChecked(HWND dlg, int id);
// Ends a modal dialog's loop with `result` (the dialog is destroyed by whoever ran the loop).
BOOL EndDialog(HWND dlg, INT_PTR result);

// A modal message box: returns the ID of the button chosen, 0 when it could not be shown.
int MessageBox(HWND owner, const char* text, const char* caption, UINT type);
inline constexpr auto& MessageBoxA = MessageBox;

}  // namespace win
