#pragma once
// Conversions between the seam's types and the Windows ones. wchar_t and char16_t are both
// UTF-16 units on Windows.

#include <windows.h>

#include <setupapi.h>  // after windows.h, which it needs

#include <string>

#include "platform/types.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t));

inline const wchar_t* Wide(const std::u16string& text)
{
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

inline const wchar_t* Wide(const char16_t* text)
{
    return reinterpret_cast<const wchar_t*>(text);
}

inline std::u16string FromWide(const wchar_t* text, std::size_t length)
{
    return std::u16string(reinterpret_cast<const char16_t*>(text), length);
}

inline std::u16string FromWide(const wchar_t* text)
{
    return text ? FromWide(text, wcslen(text)) : std::u16string();
}

template <class Opaque, class Native>
Opaque FromHandle(Native handle)
{
    return Opaque{reinterpret_cast<std::uintptr_t>(handle)};
}

inline HANDLE ToHandle(Handle h)
{
    return reinterpret_cast<HANDLE>(h.value);
}
inline HGLOBAL ToHandle(Hglobal h)
{
    return reinterpret_cast<HGLOBAL>(h.value);
}
inline HWND ToHwnd(Hwnd h)
{
    return reinterpret_cast<HWND>(h.value);
}
inline HMODULE ToHmodule(Hmodule h)
{
    return reinterpret_cast<HMODULE>(h.value);
}
inline HICON ToHicon(Hicon h)
{
    return reinterpret_cast<HICON>(h.value);
}
inline HDC ToHdc(Hdc h)
{
    return reinterpret_cast<HDC>(h.value);
}
inline HDEVINFO ToHdevInfo(HdevInfo h)
{
    return reinterpret_cast<HDEVINFO>(h.value);
}

inline GUID ToGuid(const Guid& g)
{
    GUID guid{g.data1, g.data2, g.data3, {}};
    for (int i = 0; i < 8; ++i) guid.Data4[i] = g.data4[i];
    return guid;
}

inline Guid FromGuid(const GUID& guid)
{
    Guid g{guid.Data1, guid.Data2, guid.Data3, {}};
    for (int i = 0; i < 8; ++i) g.data4[i] = guid.Data4[i];
    return g;
}
