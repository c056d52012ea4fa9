#pragma once
// The whole platform API: our own implementation of the Windows services the program uses, the
// Windows API and nothing else (test hooks are in platform/testing.h, choosing a display in
// platform/display.h).
//
// Narrow and wide names. Text in memory is UTF-8 and the process's ANSI code page is UTF-8, so
// every function or structure that takes narrow text answers to its plain name and to its A
// name (DrawText and DrawTextA, WNDCLASSEX and WNDCLASSEXA; the A name is a reference to the
// same function, so both have one address). A W name exists only where it takes UTF-16
// (DrawTextW, TextOutW, GetWindowTextW …). The one exception is the window-procedure family
// (GetWindowLongPtrW, SetWindowLongPtrW, CallWindowProcW, DefWindowProcW …): procedures see
// one form of every message here, so the W names are the same calls, and a layer subclassing
// through them chains with one using the plain names.
#include "platform/base/clock.h"
#include "platform/base/error.h"
#include "platform/base/geometry.h"
#include "platform/base/global.h"
#include "platform/base/text.h"
#include "platform/base/types.h"
#include "platform/controls/button.h"
#include "platform/controls/combobox.h"
#include "platform/controls/dialog.h"
#include "platform/controls/edit.h"
#include "platform/controls/listbox.h"
#include "platform/controls/static.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/blit.h"
#include "platform/gdi/bmpfile.h"
#include "platform/gdi/colors.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/draw.h"
#include "platform/gdi/frame.h"
#include "platform/gdi/objects.h"
#include "platform/gdi/palette.h"
#include "platform/gdi/region.h"
#include "platform/gdi/text.h"
#include "platform/user/caret.h"
#include "platform/user/clipboard.h"
#include "platform/user/cursor.h"
#include "platform/user/focus.h"
#include "platform/user/hook.h"
#include "platform/user/icon.h"
#include "platform/user/input.h"
#include "platform/user/keys.h"
#include "platform/user/message.h"
#include "platform/user/messages.h"
#include "platform/user/metrics.h"
#include "platform/user/paint.h"
#include "platform/user/scrollbar.h"
#include "platform/user/timer.h"
#include "platform/user/window.h"
#include "platform/user/winpos.h"
