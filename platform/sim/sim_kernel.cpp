#include "platform/sim/sim_kernel.h"

#include <algorithm>

namespace sim {

namespace {

constexpr std::uint32_t kErrorFilenameExcedRange = 206;
// SetCurrentDirectoryW takes at most MAX_PATH - 2 characters.
constexpr std::size_t kMaxCurrentDirectory = kMaxPath - 2;

}  // namespace

SimKernel::SimKernel(Context& context, const World& world, UsbBus& usb)
    : m_ctx(context), m_world(world), m_usb(usb), m_currentDirectory(world.startDirectory)
{
}

std::uint32_t SimKernel::GetModuleFileNameW(Hmodule module, std::uint32_t bufferChars,
                                            std::u16string& path)
{
    if (module && module != kProgramModule) return m_ctx.Fail(kErrorInvalidHandle), 0;
    const std::u16string& full = m_world.installerPath;
    if (bufferChars == 0) return m_ctx.Fail(kErrorInsufficientBuffer), 0;
    if (full.size() < bufferChars) {
        path = full;
        return static_cast<std::uint32_t>(full.size());
    }
    path = full.substr(0, bufferChars - 1);
    m_ctx.lastError = kErrorInsufficientBuffer;
    return bufferChars;
}

Hmodule SimKernel::GetModuleHandleW(const char16_t* moduleName)
{
    return moduleName ? Hmodule{} : kProgramModule;
}

bool SimKernel::SetCurrentDirectoryW(const std::u16string& path)
{
    if (m_ctx.Faulted("SetCurrentDirectoryW")) return false;
    if (path.empty()) return m_ctx.Fail(kErrorInvalidParameter);
    if (path.size() > kMaxCurrentDirectory) return m_ctx.Fail(kErrorFilenameExcedRange);
    m_currentDirectory = path;
    m_ctx.log.Add("process", "working directory " + Utf8(path));
    return true;
}

std::uint32_t SimKernel::GetCurrentDirectoryW(std::uint32_t bufferChars, std::u16string& path)
{
    const auto length = static_cast<std::uint32_t>(m_currentDirectory.size());
    if (length + 1 > bufferChars) return length + 1;
    path = m_currentDirectory;
    return length;
}

std::u16string SimKernel::GetCommandLineW()
{
    if (m_world.commandLine) return *m_world.commandLine;
    std::u16string line = u"\"" + m_world.installerPath + u"\"";
    if (!m_world.arguments.empty()) line += u" " + m_world.arguments;
    return line;
}

std::uint16_t SimKernel::GetUserDefaultLangID()
{
    return m_world.userLangId;
}

std::uint32_t SimKernel::GetTickCount()
{
    return static_cast<std::uint32_t>(m_world.tickCountStart + m_ctx.clock.Now());
}

std::uint32_t SimKernel::GetLastError()
{
    return m_ctx.lastError;
}

void SimKernel::SetLastError(std::uint32_t code)
{
    m_ctx.lastError = code;
}

Handle SimKernel::CreateFileW(const std::u16string& path, std::uint32_t desiredAccess,
                              std::uint32_t shareMode, std::uint32_t creationDisposition,
                              std::uint32_t flagsAndAttributes)
{
    if (m_ctx.Faulted("CreateFileW")) return kInvalidHandle;
    const std::optional<std::size_t> device = m_usb.FindPresent(path);
    if (!device) {
        m_ctx.lastError = kErrorFileNotFound;
        return kInvalidHandle;
    }
    m_deviceOpens.push_back(
        {path, desiredAccess, shareMode, creationDisposition, flagsAndAttributes});
    if (const std::uint32_t error = m_usb.Open(*device, desiredAccess, shareMode)) {
        m_ctx.lastError = error;
        return kInvalidHandle;
    }
    const std::uintptr_t handle = m_nextHandle;
    m_nextHandle += 4;
    m_handles.emplace(handle, OpenDevice{*device, desiredAccess, shareMode});
    return Handle{handle};
}

bool SimKernel::CloseHandle(Handle handle)
{
    const auto it = m_handles.find(handle.value);
    if (it == m_handles.end()) return m_ctx.Fail(kErrorInvalidHandle);
    m_usb.Close(it->second.device, it->second.access, it->second.shareMode);
    m_handles.erase(it);
    return true;
}

Hglobal SimKernel::GlobalAlloc(std::uint32_t, std::size_t bytes)
{
    if (m_ctx.Faulted("GlobalAlloc")) return Hglobal{};
    const std::uintptr_t handle = m_nextBlock;
    m_nextBlock += 8;
    m_blocks.emplace(handle, std::vector<std::byte>(bytes));  // always zero-filled here
    return Hglobal{handle};
}

std::span<std::byte> SimKernel::GlobalLock(Hglobal block)
{
    const auto it = m_blocks.find(block.value);
    if (it == m_blocks.end()) {
        m_ctx.lastError = kErrorInvalidHandle;
        return {};
    }
    return it->second;
}

bool SimKernel::GlobalUnlock(Hglobal block)
{
    return m_blocks.contains(block.value);
}

Hglobal SimKernel::GlobalFree(Hglobal block)
{
    if (m_blocks.erase(block.value)) return Hglobal{};
    m_ctx.lastError = kErrorInvalidHandle;
    return block;
}

}  // namespace sim
