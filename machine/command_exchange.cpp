// The identification and status commands exchanged with the machine.

#include "app/install_dlg.h"

// Not built yet: reports a machine without trouble.
std::uint8_t CInstallDlg::QueryMachineStatus()
{
    return 0;
}
