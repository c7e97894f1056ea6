#include <vector>

#include "platform/win32/text.h"
#include "platform/win32/win32_services.h"

namespace {

// Hands every message of the dialog to the program's procedure, which arrives with
// WM_INITDIALOG and is kept in the window.
INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) SetWindowLongPtrW(window, DWLP_USER, lParam);
    auto* procedure = reinterpret_cast<DialogProcedure*>(GetWindowLongPtrW(window, DWLP_USER));
    if (!procedure) return FALSE;
    std::intptr_t result = 0;
    const LPARAM programLParam = message == WM_INITDIALOG ? 0 : lParam;
    if (!procedure->OnDialogMessage(FromHandle<Hwnd>(window), message, wParam, programLParam,
                                    result))
        return FALSE;
    // These return their value directly; every other one through DWLP_MSGRESULT.
    if (message == WM_INITDIALOG || message == WM_QUERYDRAGICON) return result;
    SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
    return TRUE;
}

}  // namespace

std::intptr_t Win32User::DialogBoxParamW(Hmodule module, int templateId, Hwnd parent,
                                         DialogProcedure& procedure)
{
    return ::DialogBoxParamW(reinterpret_cast<HINSTANCE>(ToHmodule(module)),
                             MAKEINTRESOURCEW(templateId), ToHwnd(parent), DialogProc,
                             reinterpret_cast<LPARAM>(&procedure));
}

bool Win32User::EndDialog(Hwnd dialog, std::intptr_t result)
{
    return ::EndDialog(ToHwnd(dialog), result) != FALSE;
}

Hwnd Win32User::GetDlgItem(Hwnd dialog, int controlId)
{
    return FromHandle<Hwnd>(::GetDlgItem(ToHwnd(dialog), controlId));
}

bool Win32User::SetWindowTextW(Hwnd window, const std::u16string& text)
{
    return ::SetWindowTextW(ToHwnd(window), Wide(text)) != FALSE;
}

std::u16string Win32User::GetWindowTextW(Hwnd window)
{
    const int length = ::GetWindowTextLengthW(ToHwnd(window));
    if (length <= 0) return {};
    std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(ToHwnd(window), buffer.data(), length + 1);
    return FromWide(buffer.data(), static_cast<std::size_t>(copied > 0 ? copied : 0));
}

bool Win32User::EnableWindow(Hwnd window, bool enable)
{
    return ::EnableWindow(ToHwnd(window), enable ? TRUE : FALSE) != FALSE;
}

bool Win32User::IsWindowEnabled(Hwnd window)
{
    return ::IsWindowEnabled(ToHwnd(window)) != FALSE;
}

bool Win32User::CheckDlgButton(Hwnd dialog, int controlId, std::uint32_t check)
{
    return ::CheckDlgButton(ToHwnd(dialog), controlId, check) != FALSE;
}

std::uint32_t Win32User::IsDlgButtonChecked(Hwnd dialog, int controlId)
{
    return ::IsDlgButtonChecked(ToHwnd(dialog), controlId);
}

std::intptr_t Win32User::SendMessageW(Hwnd window, std::uint32_t message, std::uintptr_t wParam,
                                      std::intptr_t lParam)
{
    return ::SendMessageW(ToHwnd(window), message, wParam, lParam);
}

std::uintptr_t Win32User::SetTimer(Hwnd window, std::uintptr_t eventId, std::uint32_t elapseMs)
{
    return ::SetTimer(ToHwnd(window), eventId, elapseMs, nullptr);
}

bool Win32User::KillTimer(Hwnd window, std::uintptr_t eventId)
{
    return ::KillTimer(ToHwnd(window), eventId) != FALSE;
}

int Win32User::MessageBoxW(Hwnd owner, const std::u16string& text, const std::u16string& caption,
                           std::uint32_t type)
{
    return ::MessageBoxW(ToHwnd(owner), Wide(text), Wide(caption), type);
}

Hbitmap Win32User::LoadImageW(Hmodule module, int resourceId, std::uint32_t type, int cx, int cy,
                              std::uint32_t flags)
{
    return FromHandle<Hbitmap>(::LoadImageW(reinterpret_cast<HINSTANCE>(ToHmodule(module)),
                                            MAKEINTRESOURCEW(resourceId), type, cx, cy, flags));
}

Hicon Win32User::LoadIconW(Hmodule module, int resourceId)
{
    return FromHandle<Hicon>(
        ::LoadIconW(reinterpret_cast<HINSTANCE>(ToHmodule(module)), MAKEINTRESOURCEW(resourceId)));
}

bool Win32User::IsIconic(Hwnd window)
{
    return ::IsIconic(ToHwnd(window)) != FALSE;
}

bool Win32User::GetClientRect(Hwnd window, Rect& rect)
{
    RECT client{};
    if (!::GetClientRect(ToHwnd(window), &client)) return false;
    rect = {client.left, client.top, client.right, client.bottom};
    return true;
}

int Win32User::GetSystemMetrics(int index)
{
    return ::GetSystemMetrics(index);
}

Hdc Win32User::BeginPaint(Hwnd window, PaintStruct& paint)
{
    const HDC dc = ::BeginPaint(ToHwnd(window), &m_paint);
    paint.hdc = FromHandle<Hdc>(dc);
    paint.rcPaint = {m_paint.rcPaint.left, m_paint.rcPaint.top, m_paint.rcPaint.right,
                     m_paint.rcPaint.bottom};
    return paint.hdc;
}

bool Win32User::EndPaint(Hwnd window, const PaintStruct&)
{
    return ::EndPaint(ToHwnd(window), &m_paint) != FALSE;
}

bool Win32User::DrawIcon(Hdc dc, int x, int y, Hicon icon)
{
    return ::DrawIcon(ToHdc(dc), x, y, ToHicon(icon)) != FALSE;
}

std::uint32_t Win32User::WaitForInputIdle(Handle process, std::uint32_t timeoutMs)
{
    return ::WaitForInputIdle(ToHandle(process), timeoutMs);
}
