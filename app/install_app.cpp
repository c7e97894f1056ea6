#include "app/install_app.h"

#include "app/install_dlg.h"

namespace {

// Length of the root of a path: "E:\" for a drive, "\\server\share\" for a share (the trailing
// backslash included when present), 0 when the path has no recognisable root.
std::size_t RootLength(const std::u16string& path)
{
    if (path.size() >= 2 && path[1] == u':') return path.size() >= 3 && path[2] == u'\\' ? 3 : 2;
    if (path.starts_with(u"\\\\")) {
        const std::size_t serverEnd = path.find(u'\\', 2);
        if (serverEnd == std::u16string::npos) return path.size();
        const std::size_t shareEnd = path.find(u'\\', serverEnd + 1);
        return shareEnd == std::u16string::npos ? path.size() : shareEnd + 1;
    }
    return 0;
}

}  // namespace

std::optional<std::u16string> SetupFolderOf(const std::u16string& modulePath, bool cutShort)
{
    if (cutShort) return std::nullopt;
    const std::size_t fileSlash = modulePath.rfind(u'\\');
    if (fileSlash == std::u16string::npos) return std::nullopt;

    // The folder that ends at a backslash, never above the root: an installer in "E:\Driver"
    // works in "E:\", not in the drive-relative "E:".
    const std::size_t root = RootLength(modulePath);
    const auto folderBefore = [&](std::size_t slash) {
        return slash < root ? modulePath.substr(0, root) : modulePath.substr(0, slash);
    };
    const std::size_t folderSlash =
        fileSlash == 0 ? std::u16string::npos : modulePath.rfind(u'\\', fileSlash - 1);
    std::u16string folder =
        folderSlash == std::u16string::npos ? folderBefore(fileSlash) : folderBefore(folderSlash);
    if (folder.empty()) return std::nullopt;
    return folder;
}

bool CInstallApp::InitInstance()
{
    CWinApp::InitInstance();

    Kernel& kernel = Services().kernel;
    std::u16string modulePath;
    const std::uint32_t length = kernel.GetModuleFileNameW(Hmodule{}, kMaxPath, modulePath);
    if (const std::optional<std::u16string> folder = SetupFolderOf(modulePath, length >= kMaxPath))
        kernel.SetCurrentDirectoryW(*folder);

    CInstallDlg dlg(Services(), nullptr);
    m_pMainWnd = &dlg;
    const std::intptr_t result = dlg.DoModal();
    m_pMainWnd = nullptr;
    m_nExitCode = result == kIdOk ? kExitInstalled : kExitCancelled;
    return false;
}
