#include "app/install_dlg.h"

#include "app/resources/resource.h"
#include "app/text.h"
#include "app/window_title.h"
#include "framework/app.h"

CInstallDlg::CInstallDlg(Windows& windows, CWnd* parent)
    : CDialog(windows, IDD_INSTALL_DIALOG, parent)
{
    m_hIcon = m_windows.user.LoadIconW(m_windows.kernel.GetModuleHandleW(nullptr), IDR_MAINFRAME);
}

// The icon and the banner live as long as the process.
CInstallDlg::~CInstallDlg() = default;

const MessageMap* CInstallDlg::GetMessageMap() const
{
    static const MessageMap map{
        CDialog::GetMessageMap(),
        {
            OnWmPaint(&CInstallDlg::OnPaint),
            OnWmQueryDragIcon(&CInstallDlg::OnQueryDragIcon),
            OnWmTimer(&CInstallDlg::OnTimer),
            OnBnClicked(IDC_NEXT, &CInstallDlg::OnNext),
            OnBnClicked(IDC_PORT_OTHER, &CInstallDlg::OnPortOther),
            OnBnClicked(IDC_PORT_USB, &CInstallDlg::OnPortUsb),
        },
    };
    return &map;
}

void CInstallDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_STEP1, m_strStep1);
    DDX_Text(pDX, IDC_STEP2, m_strStep2);
    DDX_Text(pDX, IDC_STEP3, m_strStep3);
    DDX_Text(pDX, IDC_STEP4, m_strStep4);
    DDX_Text(pDX, IDC_STEP5, m_strStep5);
    DDX_Text(pDX, IDC_STEP6, m_strStep6);
    DDX_Text(pDX, IDC_STEP7, m_strStep7);
    DDX_Text(pDX, IDC_PORT_GROUP, m_strPortGroup);
    DDX_Control(pDX, IDC_STEP1, m_stcStep1);
    DDX_Control(pDX, IDC_STEP2, m_stcStep2);
    DDX_Control(pDX, IDC_STEP3, m_stcStep3);
    DDX_Control(pDX, IDC_STEP4, m_stcStep4);
    DDX_Control(pDX, IDC_STEP5, m_stcStep5);
    DDX_Control(pDX, IDC_STEP6, m_stcStep6);
    DDX_Control(pDX, IDC_NEXT, m_btnNext);
    DDX_Control(pDX, IDC_PORT_USB, m_btnUsb);
    DDX_Control(pDX, IDC_PORT_OTHER, m_btnOther);
    DDX_Control(pDX, IDC_BANNER, m_stcBanner);
}

bool CInstallDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    const std::uint16_t language = PrimaryLangId(m_windows.kernel.GetUserDefaultLangID());
    const CWinApp* app = AfxGetApp();
    m_bSilent = app && EqualsIgnoreCase(app->m_lpCmdLine, u"silent");

    int bannerId = IDB_BANNER_EN;
    if (language == kLangChinese) {
        m_texts = ChineseTexts();
        bannerId = IDB_BANNER_ZH;
    } else if (language == kLangFrench) {
        m_texts = FrenchTexts();
        bannerId = IDB_BANNER_FR;
    } else {
        m_texts = EnglishTexts();
    }
    const Hmodule module = m_windows.kernel.GetModuleHandleW(nullptr);
    const Hbitmap banner =
        m_windows.user.LoadImageW(module, bannerId, kImageBitmap, 0, 0, kLrDefaultColor);
    SetDlgItemText(IDC_REMINDER, m_texts.strReminder);
    m_stcBanner.SetBitmap(banner);

    if (const std::optional<std::u16string> title = ReadWindowTitle()) SetWindowText(*title);
    SetIcon(m_hIcon, true);
    SetIcon(m_hIcon, false);

    for (std::u16string* line : {&m_strStep1, &m_strStep2, &m_strStep3, &m_strStep4, &m_strStep5,
                                 &m_strStep6, &m_strStep7})
        line->clear();
    SetDlgItemText(IDC_NEXT, m_texts.strNext);
    SetDlgItemText(kIdCancel, m_texts.strCancel);
    m_strPortGroup = m_texts.strPortType;
    SetDlgItemText(IDC_PORT_OTHER, m_texts.strOther);

    CheckDlgButton(IDC_PORT_USB, kBstChecked);
    CheckDlgButton(IDC_PORT_OTHER, kBstUnchecked);
    m_bUsbPort = true;

    if (m_bSilent) {
        m_btnUsb.EnableWindow(false);
        m_btnOther.EnableWindow(false);
        m_btnNext.EnableWindow(false);
        m_windows.user.EnableWindow(GetDlgItem(kIdCancel), false);
        m_nStep = 2;
        SetTimer(1, 500);
    } else {
        m_nStep = 1;
    }
    UpdateData(false);
    return true;
}

// The title from the product version of the program's own version record, or none when the
// record cannot be read.
std::optional<std::u16string> CInstallDlg::ReadWindowTitle()
{
    Kernel& kernel = m_windows.kernel;
    std::u16string modulePath;
    kernel.GetModuleFileNameW(Hmodule{}, kMaxPath, modulePath);
    const std::uint32_t size = m_windows.version.GetFileVersionInfoSizeW(modulePath);
    if (size == 0) return std::nullopt;
    const Hglobal block = kernel.GlobalAlloc(kGmemMoveable, size);
    if (!block) return std::nullopt;

    VsFixedFileInfo fixedInfo;
    const std::span<std::byte> record = kernel.GlobalLock(block);
    const bool read = !record.empty() &&
                      m_windows.version.GetFileVersionInfoW(modulePath, record) &&
                      m_windows.version.VerQueryValueW(record, u"\\", fixedInfo);
    kernel.GlobalUnlock(block);
    kernel.GlobalFree(block);
    if (!read) return std::nullopt;
    return WindowTitleFromVersion(fixedInfo);
}

// The dialog has no OK button, yet Windows sends IDOK when Enter is pressed while no button has
// the focus (Next loses it when the sequence disables it, and every button is disabled in a
// silent run). Only the installation sequence ends the dialog with OK.
void CInstallDlg::OnOK() {}

void CInstallDlg::OnCancel()
{
    CDialog::OnCancel();
}

void CInstallDlg::OnPortUsb()
{
    if (m_bUsbPort) return;
    m_bUsbPort = true;
    CheckDlgButton(IDC_PORT_USB, kBstChecked);
    CheckDlgButton(IDC_PORT_OTHER, kBstUnchecked);
}

void CInstallDlg::OnPortOther()
{
    if (!m_bUsbPort) return;
    m_bUsbPort = false;
    CheckDlgButton(IDC_PORT_USB, kBstUnchecked);
    CheckDlgButton(IDC_PORT_OTHER, kBstChecked);
}

void CInstallDlg::OnPaint()
{
    if (!IsIconic()) {
        Default();
        return;
    }
    CPaintDC dc(m_windows.user, m_hWnd);
    SendMessage(kWmIconEraseBkgnd, static_cast<std::uintptr_t>(dc.GetSafeHdc().value));
    const int cxIcon = m_windows.user.GetSystemMetrics(kSmCxIcon);
    const int cyIcon = m_windows.user.GetSystemMetrics(kSmCyIcon);
    const Rect client = GetClientRect();
    const int x = (client.right - client.left - cxIcon + 1) / 2;
    const int y = (client.bottom - client.top - cyIcon + 1) / 2;
    m_windows.user.DrawIcon(dc.GetSafeHdc(), x, y, m_hIcon);
}

Hicon CInstallDlg::OnQueryDragIcon()
{
    return m_hIcon;
}
