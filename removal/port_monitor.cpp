// Removal of the port-monitor file, with the spooler stopped.

#include "app/install_dlg.h"

// Not built yet.
void CInstallDlg::RemovePortMonitor() {}
