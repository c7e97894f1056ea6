// Removal of the printers that use the product's driver.

#include "app/install_dlg.h"

// Not built yet.
void CInstallDlg::RemoveDriverPrinters() {}
