// Driver installation: staging the package (USB), or a printer on a port through the system's
// print-UI entry point (Other).

#include <vector>

#include "app/install_dlg.h"
#include "app/text.h"

namespace {

constexpr const char16_t* kInfName = u"QX_Lumenthread.inf";
constexpr const char16_t* kModelName = u"QX Lumenthread";
constexpr const char16_t* kPrintUi = u"\\rundll32 printui.dll,PrintUIEntry";

std::u16string Quoted(const std::u16string& text)
{
    return u"\"" + text + u"\"";
}

// The system directory, or none when it cannot be read whole.
std::optional<std::u16string> SystemDirectory(Kernel& kernel)
{
    std::u16string directory;
    const std::uint32_t length = kernel.GetSystemDirectoryW(kMaxPath, directory);
    if (length == 0 || length >= kMaxPath) return std::nullopt;
    return directory;
}

// The INF in the set-up folder, the current directory; none when that cannot be read.
std::optional<std::u16string> KitInf(Kernel& kernel)
{
    std::u16string directory;
    const std::uint32_t length = kernel.GetCurrentDirectoryW(kMaxPath, directory);
    if (length == 0 || length >= kMaxPath) return std::nullopt;
    return InFolder(directory, kInfName);
}

// A port name that can stand in quotes on a command line: a double quote in it would end the
// quotes early and add words of its own to the print-UI's command.
bool FitsInQuotes(const std::u16string& port)
{
    return port.find(u'"') == std::u16string::npos;
}

}  // namespace

void CInstallDlg::StageDriverPackage()
{
    Kernel& kernel = m_windows.kernel;
    const std::optional<std::u16string> inf = KitInf(kernel);
    std::u16string destination;
    if (!inf || !m_windows.setupApi.SetupCopyOEMInfW(*inf, kSpostPath, 0, kMaxPath, destination))
        ErrorBox(u"Copy OEM error", kernel.GetLastError());
}

std::optional<std::u16string> CInstallDlg::ChoosePrinterPort()
{
    Kernel& kernel = m_windows.kernel;
    Spooler& spooler = m_windows.spooler;
    std::vector<PortInfo1> ports;
    std::uint32_t bytesNeeded = 0, returned = 0;
    spooler.EnumPortsW(1, {}, ports, bytesNeeded, returned);
    const Hglobal block = kernel.GlobalAlloc(kGptr, bytesNeeded);
    if (!block || !spooler.EnumPortsW(1, kernel.GlobalLock(block), ports, bytesNeeded, returned))
        ports.clear();
    ports.resize(std::min<std::size_t>(ports.size(), returned));

    std::optional<std::u16string> chosen;
    for (const PortInfo1& port : ports) {
        if (StartsWithIgnoreCase(port.pName, u"COM1:") && FitsInQuotes(port.pName)) {
            chosen = port.pName;
            break;
        }
    }
    if (!chosen) {
        // The last port in the spooler's order that is not a USB port.
        for (auto port = ports.rbegin(); port != ports.rend(); ++port) {
            if (!StartsWithIgnoreCase(port->pName, u"USB") && FitsInQuotes(port->pName)) {
                chosen = port->pName;
                break;
            }
        }
    }
    if (block) {
        kernel.GlobalUnlock(block);
        kernel.GlobalFree(block);
    }
    if (!chosen) ErrorBox(u"No port exists");
    return chosen;
}

void CInstallDlg::InstallPrinterOnPort(const std::u16string& port)
{
    Kernel& kernel = m_windows.kernel;
    const std::optional<std::u16string> system = SystemDirectory(kernel);
    if (!system) {
        // No command is started without the system directory at its head.
        ErrorBox(u"System Directory error");
        return;
    }
    // The command is held whole, however deep the set-up folder or long the port name: a cut
    // command would be a different one.
    const std::optional<std::u16string> inf = KitInf(kernel);
    const std::u16string command = *system + kPrintUi + u" /if " + u" /f " +
                                   Quoted(inf.value_or(u"")) + u" /m " + Quoted(kModelName) +
                                   u" /r " + Quoted(port);
    ProcessInformation process;
    if (!inf || !kernel.CreateProcessW(command, process)) {
        ErrorBox(u"Process error");
        return;
    }
    kernel.WaitForSingleObject(process.hProcess, kInfinite);
    kernel.CloseHandle(process.hProcess);
    kernel.CloseHandle(process.hThread);
}

void CInstallDlg::OpenPrinterProperties()
{
    Kernel& kernel = m_windows.kernel;
    m_piProperties = ProcessInformation{};
    const std::optional<std::u16string> system = SystemDirectory(kernel);
    if (!system) return;  // no command without the system directory at its head
    const std::u16string command = *system + kPrintUi + u" /n " + Quoted(kModelName) + u" /p";
    ProcessInformation process;
    if (!kernel.CreateProcessW(command, process)) {
        ErrorBox(u"Process error");
        return;
    }
    m_windows.user.WaitForInputIdle(process.hProcess, kInfinite);
    m_piProperties = process;
}
