// Removal of the registry traces of earlier USB devices and print queues of the product.

#include "app/install_dlg.h"

// Not built yet.
void CInstallDlg::CleanDeviceRegistry() {}
