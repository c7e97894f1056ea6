#include "framework/dialog.h"

#include <utility>

void DDX_Text(CDataExchange* pDX, int controlId, std::u16string& value)
{
    if (pDX->m_bSaveAndValidate)
        value = pDX->m_dialog.GetDlgItemText(controlId);
    else
        pDX->m_dialog.SetDlgItemText(controlId, value);
}

void DDX_Control(CDataExchange* pDX, int controlId, CWnd& control)
{
    if (!control.m_hWnd) pDX->m_dialog.AttachControl(controlId, control);
}

CDialog::CDialog(Windows& windows, int templateId, CWnd* parent)
    : m_windows(windows), m_nTemplateId(templateId), m_pParentWnd(parent)
{
    m_user = &windows.user;
}

std::intptr_t CDialog::DoModal()
{
    const Hwnd parent = m_pParentWnd ? m_pParentWnd->m_hWnd : Hwnd{};
    const Hmodule module = m_windows.kernel.GetModuleHandleW(nullptr);
    const std::intptr_t result =
        m_windows.user.DialogBoxParamW(module, m_nTemplateId, parent, *this);
    m_hWnd = Hwnd{};
    return result;
}

bool CDialog::UpdateData(bool saveAndValidate)
{
    CDataExchange dx(*this, saveAndValidate);
    DoDataExchange(&dx);
    return true;
}

void CDialog::EndDialog(int result)
{
    m_windows.user.EndDialog(m_hWnd, result);
}

Hwnd CDialog::GetDlgItem(int controlId) const
{
    return m_windows.user.GetDlgItem(m_hWnd, controlId);
}

void CDialog::AttachControl(int controlId, CWnd& control)
{
    control.Attach(GetDlgItem(controlId), m_windows.user);
}

bool CDialog::CheckDlgButton(int controlId, std::uint32_t check)
{
    return m_windows.user.CheckDlgButton(m_hWnd, controlId, check);
}

std::uint32_t CDialog::IsDlgButtonChecked(int controlId) const
{
    return m_windows.user.IsDlgButtonChecked(m_hWnd, controlId);
}

void CDialog::SetDlgItemText(int controlId, const std::u16string& text)
{
    m_windows.user.SetWindowTextW(GetDlgItem(controlId), text);
}

std::u16string CDialog::GetDlgItemText(int controlId) const
{
    return m_windows.user.GetWindowTextW(GetDlgItem(controlId));
}

std::uintptr_t CDialog::SetTimer(std::uintptr_t eventId, std::uint32_t elapseMs)
{
    return m_windows.user.SetTimer(m_hWnd, eventId, elapseMs);
}

bool CDialog::KillTimer(std::uintptr_t eventId)
{
    return m_windows.user.KillTimer(m_hWnd, eventId);
}

Hicon CDialog::SetIcon(Hicon icon, bool bigIcon)
{
    const std::intptr_t previous = SendMessage(kWmSetIcon, bigIcon ? kIconBig : kIconSmall,
                                               static_cast<std::intptr_t>(icon.value));
    return Hicon{static_cast<std::uintptr_t>(previous)};
}

bool CDialog::IsIconic() const
{
    return m_windows.user.IsIconic(m_hWnd);
}

Rect CDialog::GetClientRect() const
{
    Rect rect;
    m_windows.user.GetClientRect(m_hWnd, rect);
    return rect;
}

bool CDialog::OnInitDialog()
{
    UpdateData(false);
    return true;
}

void CDialog::OnOK()
{
    UpdateData(true);
    EndDialog(kIdOk);
}

void CDialog::OnCancel()
{
    EndDialog(kIdCancel);
}

void CDialog::DoDataExchange(CDataExchange*) {}

const MessageMap* CDialog::GetMessageMap() const
{
    static const MessageMap map;
    return &map;
}

bool CDialog::OnDialogMessage(Hwnd dialog, std::uint32_t message, std::uintptr_t wParam,
                              std::intptr_t lParam, std::intptr_t& result)
{
    if (message == kWmInitDialog) {
        m_hWnd = dialog;
        result = OnInitDialog();
        return true;
    }
    if (const MessageMapEntry* entry = GetMessageMap()->Find(message, wParam)) {
        // A handler may show a message box, during which other messages arrive: each message
        // keeps its own answer.
        const bool outer = std::exchange(m_bDefaultProcessing, false);
        result = entry->handler(*this, wParam, lParam);
        const bool handled = !m_bDefaultProcessing;
        m_bDefaultProcessing = outer;
        return handled;
    }
    if (message == kWmCommand && (wParam >> 16) == kBnClicked) {
        switch (wParam & 0xFFFF) {
            case kIdOk: OnOK(); return true;
            case kIdCancel: OnCancel(); return true;
            default: break;
        }
    }
    return false;
}

CPaintDC::CPaintDC(User& user, Hwnd window) : m_user(user), m_window(window)
{
    m_user.BeginPaint(m_window, m_paint);
}

CPaintDC::~CPaintDC()
{
    m_user.EndPaint(m_window, m_paint);
}
