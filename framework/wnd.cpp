#include "framework/wnd.h"

#include "framework/app.h"

void CWnd::Attach(Hwnd window, User& user)
{
    m_hWnd = window;
    m_user = &user;
}

bool CWnd::EnableWindow(bool enable)
{
    return m_user->EnableWindow(m_hWnd, enable);
}

bool CWnd::IsWindowEnabled() const
{
    return m_user->IsWindowEnabled(m_hWnd);
}

void CWnd::SetWindowText(const std::u16string& text)
{
    m_user->SetWindowTextW(m_hWnd, text);
}

std::u16string CWnd::GetWindowText() const
{
    return m_user->GetWindowTextW(m_hWnd);
}

std::intptr_t CWnd::SendMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam)
{
    return m_user->SendMessageW(m_hWnd, message, wParam, lParam);
}

int CWnd::MessageBox(const std::u16string& text, const std::u16string* caption, std::uint32_t type)
{
    const std::u16string appName = AfxGetAppName();
    return m_user->MessageBoxW(m_hWnd, text, caption ? *caption : appName, type);
}

void CWnd::ErrorBox(const std::u16string& text)
{
    MessageBox(text, nullptr, kMbOk);
}

void CWnd::ErrorBox(const std::u16string& what, std::uint32_t code)
{
    ErrorBox(FormatErrorText(what, code));
}

std::u16string FormatErrorText(const std::u16string& what, std::uint32_t code)
{
    constexpr std::size_t kErrorTextChars = 256;
    const std::string number = std::to_string(static_cast<std::int32_t>(code));
    std::u16string text = what + u" = " + std::u16string(number.begin(), number.end());
    if (text.size() > kErrorTextChars - 1) text.resize(kErrorTextChars - 1);
    return text;
}

Hbitmap CStatic::SetBitmap(Hbitmap bitmap)
{
    return Hbitmap{static_cast<std::uintptr_t>(
        SendMessage(kStmSetImage, kImageBitmap, static_cast<std::intptr_t>(bitmap.value)))};
}
