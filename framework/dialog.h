#pragma once
// A modal dialog from a resource template, with data exchange between members and controls.

#include <cstdint>
#include <string>

#include "framework/message_map.h"
#include "framework/wnd.h"
#include "platform/services.h"

class CDialog;

// One run of DoDataExchange: either members to controls (save false) or controls to members.
class CDataExchange {
public:
    CDataExchange(CDialog& dialog, bool saveAndValidate)
        : m_dialog(dialog), m_bSaveAndValidate(saveAndValidate)
    {
    }

    CDialog& m_dialog;
    const bool m_bSaveAndValidate;
};

// Copies a control's text to value (save) or value to the control.
void DDX_Text(CDataExchange* pDX, int controlId, std::u16string& value);
// Attaches control to the dialog's control of that id, the first time only.
void DDX_Control(CDataExchange* pDX, int controlId, CWnd& control);

class CDialog : public CWnd, private DialogProcedure {
public:
    CDialog(Windows& windows, int templateId, CWnd* parent);

    // Runs the dialog until it ends; its result (IDOK, IDCANCEL), or -1 when it could not be
    // created.
    virtual std::intptr_t DoModal();

    // Runs data exchange: controls to members when saveAndValidate, members to controls otherwise.
    bool UpdateData(bool saveAndValidate = true);
    void EndDialog(int result);

    Hwnd GetDlgItem(int controlId) const;
    void AttachControl(int controlId, CWnd& control);
    bool CheckDlgButton(int controlId, std::uint32_t check);
    std::uint32_t IsDlgButtonChecked(int controlId) const;
    void SetDlgItemText(int controlId, const std::u16string& text);
    std::u16string GetDlgItemText(int controlId) const;
    std::uintptr_t SetTimer(std::uintptr_t eventId, std::uint32_t elapseMs);
    bool KillTimer(std::uintptr_t eventId);
    Hicon SetIcon(Hicon icon, bool bigIcon);
    bool IsIconic() const;
    Rect GetClientRect() const;

protected:
    virtual bool OnInitDialog();
    // Copies the controls' texts back into the members, then ends the dialog with IDOK.
    virtual void OnOK();
    virtual void OnCancel();
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual const MessageMap* GetMessageMap() const;

    // Inside a handler: leave the message to the system's default processing.
    void Default() { m_bDefaultProcessing = true; }

    Windows& m_windows;

private:
    bool OnDialogMessage(Hwnd dialog, std::uint32_t message, std::uintptr_t wParam,
                         std::intptr_t lParam, std::intptr_t& result) override;

    const int m_nTemplateId;
    CWnd* const m_pParentWnd;
    bool m_bDefaultProcessing = false;
};

// BeginPaint and EndPaint around a handler's painting.
class CPaintDC {
public:
    CPaintDC(User& user, Hwnd window);
    ~CPaintDC();
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;

    Hdc GetSafeHdc() const { return m_paint.hdc; }

private:
    User& m_user;
    Hwnd m_window;
    PaintStruct m_paint;
};
