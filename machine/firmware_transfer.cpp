// Streaming the firmware image of the machine's model to it.

#include "app/install_dlg.h"

// Not built yet: sends nothing.
void CInstallDlg::TransferFirmware() {}
