// Removal of the product's staged driver packages and of its printer driver.

#include "app/install_dlg.h"

// Not built yet.
void CInstallDlg::RemoveOemDriverPackages() {}

// Not built yet.
void CInstallDlg::RemovePrinterDriver() {}
