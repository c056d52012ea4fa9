#pragma once
// Code-page conversion. The process's ANSI code page is UTF-8, so CP_ACP and CP_UTF8 are the
// same; 936 is GBK, for files written as Chinese ANSI text.
#include "platform/base/types.h"

namespace win {

constexpr UINT CP_ACP = 0, CP_OEMCP = 1, CP_UTF8 = 65001;
constexpr UINT CP_GBK = 936;  // Windows' code page 936

// Counts of -1 take the input up to and including its NUL. An output count of 0 asks for the
// size needed; a buffer too small fails with ERROR_INSUFFICIENT_BUFFER. Characters that cannot
// be represented become U+FFFD (to UTF-16) or '?' (to GBK); an unknown code page fails with
// ERROR_INVALID_PARAMETER.
int MultiByteToWideChar(UINT code_page, DWORD flags, const char* text, int count, WCHAR* wide,
                        int wide_count);
int WideCharToMultiByte(UINT code_page, DWORD flags, const WCHAR* wide, int wide_count, char* text,
                        int count, const char* default_char, BOOL* used_default);

// Exact, case-sensitive comparison: negative, zero or positive as `a` sorts before, equal to or
// after `b` byte by byte. Null sorts before every string.
int lstrcmp(const char* a, const char* b);
inline constexpr auto& lstrcmpA = lstrcmp;

}  // namespace win
