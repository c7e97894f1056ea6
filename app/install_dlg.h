#pragma once
// The installer's one window, and the owner of all installation state. Its operations live in
// the folders of their subsystems: sequence/, machine/, removal/ and install/.

#include <cstdint>
#include <optional>
#include <string>

#include "app/install_texts.h"
#include "framework/dialog.h"
#include "machine/machine_identity.h"

// What QueryMachineStatus reports for a machine that did not answer: not zero, so the
// installation ends rather than tell the user to switch off a machine in an unknown state.
inline constexpr std::uint8_t kStatusUnanswered = 0xFF;

class CInstallDlg : public CDialog {
public:
    CInstallDlg(Windows& windows, CWnd* parent);
    ~CInstallDlg() override;

    bool m_bSilent = false;
    bool m_bUsbPort = false;
    bool m_bKestrSerial = false;
    int m_nStep = 0;
    std::uint32_t m_dwSpoolerStart = 0;
    InstallTexts m_texts;
    Hicon m_hIcon;
    std::u16string m_strStep1;
    std::u16string m_strStep2;
    std::u16string m_strStep3;
    std::u16string m_strStep4;
    std::u16string m_strStep5;
    std::u16string m_strStep6;
    std::u16string m_strStep7;
    CStatic m_stcStep1;
    CStatic m_stcStep2;
    CStatic m_stcStep3;
    CStatic m_stcStep4;
    CStatic m_stcStep5;
    CStatic m_stcStep6;
    CButton m_btnUsb;
    CButton m_btnOther;
    CButton m_btnNext;
    std::u16string m_strPortGroup;
    ProcessInformation m_piProperties;
    CStatic m_stcBanner;

    // Installation sequence (sequence/).
    void OnNext();
    void OnTimer(std::uintptr_t eventId);

    // Machine link (machine/).
    Handle OpenMachine();
    // False when the machine could not be reached or never gave an acceptable reply; the
    // record is then all zeros.
    bool QueryMachineIdentity(MachineIdentity& identity);
    // The machine's status byte, or kStatusUnanswered when it gave none.
    std::uint8_t QueryMachineStatus();
    void TransferFirmware();

    // Removal of a previous installation (removal/).
    void RemoveDriverPrinters();
    void RemovePortMonitor();
    void RemoveOemDriverPackages();
    void RemovePrinterDriver();
    void CleanDeviceRegistry();

    // Driver installation (install/).
    void StageDriverPackage();
    std::optional<std::u16string> ChoosePrinterPort();
    void InstallPrinterOnPort(const std::u16string& port);
    void OpenPrinterProperties();

    // Radio buttons and painting.
    void OnPortUsb();
    void OnPortOther();
    void OnPaint();
    Hicon OnQueryDragIcon();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    bool OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    const MessageMap* GetMessageMap() const override;

private:
    // The sequence's building blocks.
    void RunRemovalChain();
    void ShowStep(std::u16string& line, const std::u16string& text);
    void ArmTimer(std::uint32_t elapseMs);
    void EndWithOk();

    void RunUsbState();
    void RunOtherState();
    std::optional<std::u16string> ReadWindowTitle();
};
