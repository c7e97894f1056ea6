#pragma once
// Windows and controls of our small dialog framework: thin objects over a window handle.

#include <cstdint>
#include <string>

#include "platform/user.h"

class CWnd {
public:
    CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    virtual ~CWnd() = default;

    Hwnd m_hWnd;

    // Binds this object to an existing window, as data exchange does with a control.
    void Attach(Hwnd window, User& user);
    Hwnd GetSafeHwnd() const { return m_hWnd; }

    bool EnableWindow(bool enable);
    bool IsWindowEnabled() const;
    void SetWindowText(const std::u16string& text);
    std::u16string GetWindowText() const;
    std::intptr_t SendMessage(std::uint32_t message, std::uintptr_t wParam = 0,
                              std::intptr_t lParam = 0);

    // A message box owned by this window. Without a caption it takes the application's name.
    int MessageBox(const std::u16string& text, const std::u16string* caption = nullptr,
                   std::uint32_t type = kMbOk);
    // The installer's Error box: the application's name as caption, an OK button, no icon.
    // Waits for the OK.
    void ErrorBox(const std::u16string& text);
    // An Error box whose text is "<what> = <code>", the code in signed decimal as %d prints it.
    void ErrorBox(const std::u16string& what, std::uint32_t code);

protected:
    User* m_user = nullptr;
};

class CButton : public CWnd {};

class CStatic : public CWnd {
public:
    Hbitmap SetBitmap(Hbitmap bitmap);
};

// Error box text: what, " = ", and the code as %d formats it, cut to fit a buffer of 256
// characters (255 and the terminator).
std::u16string FormatErrorText(const std::u16string& what, std::uint32_t code);
