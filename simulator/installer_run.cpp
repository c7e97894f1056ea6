#include "simulator/installer_run.h"

#include "app/install_app.h"
#include "app/resources/install_dialog.h"
#include "app/resources/resource.h"

sim::ProgramResources InstallerResources()
{
    sim::ProgramResources resources;
    resources.dialogs[IDD_INSTALL_DIALOG] = &InstallDialogTemplate();
    resources.bitmaps = {IDB_BANNER_FR, IDB_BANNER_EN, IDB_BANNER_ZH};
    resources.icons = {IDR_MAINFRAME};
    return resources;
}

int RunInstaller(sim::SimWindows& windows)
{
    CInstallApp app;
    const int exitCode = AfxWinMain(windows.windows);
    windows.context.log.Add("process", "exit code " + std::to_string(exitCode));
    return exitCode;
}
