// char16_t and wchar_t are both UTF-16 code units on Windows; the portable
// code speaks char16_t, the Win32 API wchar_t.
#pragma once

#include <windows.h>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 wchar_t");

inline const wchar_t* wide(const char16_t* s) {
    return reinterpret_cast<const wchar_t*>(s);
}
inline wchar_t* wide(char16_t* s) {
    return reinterpret_cast<wchar_t*>(s);
}
inline const char16_t* utf16(const wchar_t* s) {
    return reinterpret_cast<const char16_t*>(s);
}
inline HWND hwnd(void* h) {
    return static_cast<HWND>(h);
}
