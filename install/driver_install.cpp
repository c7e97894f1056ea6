// Driver installation: staging the package (USB) or a printer on a port (Other).

#include "app/install_dlg.h"

// Not built yet.
void CInstallDlg::StageDriverPackage() {}

// Not built yet: finds no port.
std::optional<std::u16string> CInstallDlg::ChoosePrinterPort()
{
    return std::nullopt;
}

// Not built yet.
void CInstallDlg::InstallPrinterOnPort(const std::u16string&) {}

// Not built yet: starts no process, so m_piProperties holds no handles.
void CInstallDlg::OpenPrinterProperties()
{
    m_piProperties = ProcessInformation{};
}
