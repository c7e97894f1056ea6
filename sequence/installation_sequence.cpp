// The installation sequence: a numbered-state machine in m_nStep, advanced once per press of
// Next and once per expiry of the dialog's one-shot timer (id 1).

#include "app/install_dlg.h"
#include "app/resources/resource.h"

namespace {

constexpr std::uintptr_t kSequenceTimer = 1;

}  // namespace

void CInstallDlg::OnTimer(std::uintptr_t eventId)
{
    if (eventId != kSequenceTimer) return;
    KillTimer(kSequenceTimer);
    OnNext();
}

void CInstallDlg::OnNext()
{
    if (m_bUsbPort)
        RunUsbState();
    else
        RunOtherState();
}

void CInstallDlg::RunUsbState()
{
    switch (m_nStep) {
        case 1: {  // wait until the machine is switched off
            m_btnUsb.EnableWindow(false);
            m_btnOther.EnableWindow(false);
            m_btnNext.EnableWindow(false);
            if (const Handle machine = OpenMachine()) {
                ShowStep(m_strStep1, m_texts.strSwitchOff);
                m_windows.kernel.CloseHandle(machine);
            } else {
                m_nStep = 2;
            }
            ArmTimer(1000);
            break;
        }
        case 2:  // remove the previous installation
            m_stcStep1.EnableWindow(false);
            ShowStep(m_strStep2, m_texts.strDeleting);
            RunRemovalChain();
            m_nStep = 3;
            ArmTimer(500);
            break;
        case 3:  // stage the new driver package
            m_stcStep2.EnableWindow(false);
            ShowStep(m_strStep3, m_texts.strPreparing);
            StageDriverPackage();
            if (m_bSilent) {
                EndWithOk();
                return;
            }
            m_nStep = 4;
            ArmTimer(500);
            break;
        case 4: {  // wait until the machine is connected and switched on
            m_stcStep3.EnableWindow(false);
            ShowStep(m_strStep4, m_texts.strConnect);
            const Handle machine = OpenMachine();
            if (!machine) {
                ArmTimer(6000);
                return;
            }
            m_windows.kernel.CloseHandle(machine);
            if (m_bKestrSerial) {  // this machine needs no firmware from us
                EndWithOk();
                return;
            }
            m_nStep = 5;
            m_stcStep4.EnableWindow(false);
            ShowStep(m_strStep5, m_texts.strFirmware);
            ArmTimer(6000);
            break;
        }
        case 5:  // refresh the firmware; the machine restarts with it
            TransferFirmware();
            m_nStep = 6;
            ArmTimer(35000);
            break;
        case 6:  // a machine that reports trouble ends the installation here
            m_stcStep5.EnableWindow(false);
            if (QueryMachineStatus() != 0) {
                EndWithOk();
                return;
            }
            ShowStep(m_strStep6, m_texts.strSwitchOff);
            m_nStep = 7;
            ArmTimer(1000);
            break;
        case 7:  // wait until the machine is switched off
            if (const Handle machine = OpenMachine())
                m_windows.kernel.CloseHandle(machine);
            else
                m_nStep = 8;
            ArmTimer(1000);
            break;
        case 8: {  // wait until the machine is switched on again
            m_stcStep6.EnableWindow(false);
            ShowStep(m_strStep7, m_texts.strSwitchOn);
            if (const Handle machine = OpenMachine()) {
                m_windows.kernel.CloseHandle(machine);
                EndWithOk();
                return;
            }
            ArmTimer(1000);
            break;
        }
        default: break;
    }
}

void CInstallDlg::RunOtherState()
{
    switch (m_nStep) {
        case 1: {  // remove the previous installation and put a printer on a port
            m_btnUsb.EnableWindow(false);
            m_btnOther.EnableWindow(false);
            m_btnNext.EnableWindow(false);
            ShowStep(m_strStep1, m_texts.strDeleting);
            RunRemovalChain();
            m_stcStep1.EnableWindow(false);
            ShowStep(m_strStep2, m_texts.strInstalling);
            const std::optional<std::u16string> port = ChoosePrinterPort();
            if (!port) {
                EndWithOk();
                return;
            }
            InstallPrinterOnPort(*port);
            m_stcStep2.EnableWindow(false);
            m_strStep3 = m_texts.strSelectPort;
            m_btnNext.EnableWindow(true);
            m_nStep = 3;
            UpdateData(false);
            break;
        }
        case 3:  // let the user pick the port in the printer's properties
            OpenPrinterProperties();
            m_nStep = 4;
            ArmTimer(3000);
            break;
        case 4:  // the properties window outlives the installer
            if (m_piProperties.hProcess) m_windows.kernel.CloseHandle(m_piProperties.hProcess);
            if (m_piProperties.hThread) m_windows.kernel.CloseHandle(m_piProperties.hThread);
            m_piProperties = ProcessInformation{};
            EndWithOk();
            break;
        default: break;
    }
}

void CInstallDlg::RunRemovalChain()
{
    RemoveDriverPrinters();
    RemovePortMonitor();
    RemoveOemDriverPackages();
    RemovePrinterDriver();
    CleanDeviceRegistry();
}

void CInstallDlg::ShowStep(std::u16string& line, const std::u16string& text)
{
    line = text;
    UpdateData(false);
}

void CInstallDlg::ArmTimer(std::uint32_t elapseMs)
{
    SetTimer(kSequenceTimer, elapseMs);
}

// The framework's OnOK: the controls' texts go back into the bound strings, then the dialog
// ends with IDOK.
void CInstallDlg::EndWithOk()
{
    CDialog::OnOK();
}
