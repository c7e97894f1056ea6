#pragma once
// The application object: makes the set-up folder the working directory and runs the dialog.

#include <optional>
#include <string>

#include "framework/app.h"

class CInstallApp : public CWinApp {
public:
    CInstallApp() = default;

    // Always FALSE: the dialog has done all the work by the time it returns.
    bool InitInstance() override;
};

// The folder the installer works in: the parent of the installer's own folder, where the set-up
// folder's files lie. An installer at the root of a drive or share works in that root. None for
// a path without a folder, or one cut short by the path buffer, so that no wrong folder is
// ever taken for the set-up folder.
std::optional<std::u16string> SetupFolderOf(const std::u16string& modulePath,
                                            bool cutShort = false);

// Exit codes of the process.
inline constexpr int kExitInstalled = 0;  // the installation sequence ended the dialog
inline constexpr int kExitCancelled = 1;  // the user cancelled, or the dialog could not run
