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

SimKernel::OpenObject* SimKernel::Object(Handle handle)
{
    if (handle.value < kFirstHandle || (handle.value - kFirstHandle) % 4 != 0) return nullptr;
    const std::size_t slot = (handle.value - kFirstHandle) / 4;
    return slot < m_handles.size() && m_handles[slot].open ? &m_handles[slot] : nullptr;
}

Handle SimKernel::NewHandle(OpenObject object)
{
    object.open = true;
    m_handles.push_back(object);
    return Handle{kFirstHandle + 4 * (m_handles.size() - 1)};
}

std::size_t SimKernel::OpenHandles() const
{
    return static_cast<std::size_t>(std::ranges::count(m_handles, true, &OpenObject::open));
}

Handle SimKernel::CreateFileW(const std::u16string& path, std::uint32_t desiredAccess,
                              std::uint32_t shareMode, std::uint32_t creationDisposition,
                              std::uint32_t flagsAndAttributes)
{
    if (m_ctx.Faulted("CreateFileW")) return kInvalidHandle;
    const std::optional<std::size_t> device = m_usb.FindPresent(path);
    if (!device) return OpenFile(path, desiredAccess, creationDisposition);
    m_deviceOpens.push_back(
        {path, desiredAccess, shareMode, creationDisposition, flagsAndAttributes});
    if (const std::uint32_t error = m_usb.Open(*device, desiredAccess, shareMode)) {
        m_ctx.lastError = error;
        return kInvalidHandle;
    }
    return NewHandle({true, true, *device, desiredAccess, shareMode, 0});
}

Handle SimKernel::OpenFile(const std::u16string& path, std::uint32_t access,
                           std::uint32_t disposition)
{
    const auto file = std::ranges::find_if(m_world.files, [&](const FileSetup& f) {
        return f.path.size() == path.size() &&
               std::ranges::equal(f.path, path, [](char16_t a, char16_t b) {
                   const auto fold = [](char16_t c) {
                       return c >= u'a' && c <= u'z' ? char16_t(c - 32) : c;
                   };
                   return fold(a) == fold(b);
               });
    });
    if (file == m_world.files.end() || disposition != kOpenExisting) {
        m_ctx.lastError = kErrorFileNotFound;
        return kInvalidHandle;
    }
    if (file->locked) {
        m_ctx.lastError = kErrorSharingViolation;
        return kInvalidHandle;
    }
    m_ctx.log.Add("file", "opened " + Utf8(file->path));
    const auto index = static_cast<std::size_t>(file - m_world.files.begin());
    return NewHandle({true, false, index, access, 0, 0});
}

bool SimKernel::CloseHandle(Handle handle)
{
    OpenObject* object = Object(handle);
    if (!object) return m_ctx.Fail(kErrorInvalidHandle);
    if (object->device) m_usb.Close(object->index, object->access, object->shareMode);
    object->open = false;
    return true;
}

std::uint32_t SimKernel::GetFileSize(Handle file, std::uint32_t* sizeHigh)
{
    if (m_ctx.Faulted("GetFileSize")) return kInvalidFileSize;
    const OpenObject* object = Object(file);
    if (!object || object->device) {
        m_ctx.lastError = object ? kErrorInvalidParameter : kErrorInvalidHandle;
        return kInvalidFileSize;
    }
    const FileSetup& setup = m_world.files[object->index];
    const std::uint64_t size = setup.reportedSize.value_or(setup.bytes.size());
    if (sizeHigh) *sizeHigh = static_cast<std::uint32_t>(size >> 32);
    m_ctx.lastError = kErrorSuccess;
    return static_cast<std::uint32_t>(size);
}

bool SimKernel::WriteFile(Handle file, std::span<const std::byte> bytes, std::uint32_t& written)
{
    written = 0;
    OpenObject* object = Object(file);
    if (!object) return m_ctx.Fail(kErrorInvalidHandle);
    if (!object->device || !(object->access & kGenericWrite)) return m_ctx.Fail(kErrorAccessDenied);
    const std::uint32_t error = m_usb.Write(object->index, bytes, written);
    return error ? m_ctx.Fail(error) : true;
}

bool SimKernel::ReadFile(Handle file, std::span<std::byte> buffer, std::uint32_t& read,
                         std::uint32_t timeoutMs)
{
    read = 0;
    OpenObject* object = Object(file);
    if (!object) return m_ctx.Fail(kErrorInvalidHandle);
    if (!(object->access & kGenericRead)) return m_ctx.Fail(kErrorAccessDenied);
    if (object->device) {
        const std::uint32_t error = m_usb.Read(object->index, buffer, read, timeoutMs);
        return error ? m_ctx.Fail(error) : true;
    }
    const std::vector<std::byte>& bytes = m_world.files[object->index].bytes;
    const std::size_t from = std::min<std::uint64_t>(object->position, bytes.size());
    const std::size_t n = std::min(buffer.size(), bytes.size() - from);
    std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(from), n, buffer.begin());
    object->position += n;
    read = static_cast<std::uint32_t>(n);
    return true;
}

Hglobal SimKernel::GlobalAlloc(std::uint32_t, std::size_t bytes)
{
    if (m_ctx.Faulted("GlobalAlloc")) return Hglobal{};
    if (bytes > m_world.memoryLimitBytes) return m_ctx.Fail(kErrorNotEnoughMemory), Hglobal{};
    const std::uintptr_t handle = m_nextBlock;
    m_nextBlock += 8;
    m_blocks.emplace(handle, std::vector<std::byte>(bytes));  // always zero-filled here
    m_blockBytes += bytes;
    m_peakBlockBytes = std::max(m_peakBlockBytes, m_blockBytes);
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
    const auto it = m_blocks.find(block.value);
    if (it == m_blocks.end()) {
        m_ctx.lastError = kErrorInvalidHandle;
        return block;
    }
    m_blockBytes -= it->second.size();
    m_blocks.erase(it);
    return Hglobal{};
}

}  // namespace sim
