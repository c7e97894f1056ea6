#include "platform/sim/sim_kernel.h"

#include <algorithm>
#include <utility>

namespace sim {

namespace {

constexpr std::uint32_t kErrorFilenameExcedRange = 206;
// SetCurrentDirectoryW takes at most MAX_PATH - 2 characters.
constexpr std::size_t kMaxCurrentDirectory = kMaxPath - 2;

}  // namespace

SimKernel::SimKernel(Context& context, const World& world, UsbBus& usb, SimSpooler& spooler)
    : m_ctx(context),
      m_world(world),
      m_usb(usb),
      m_spooler(spooler),
      m_files(world.files),
      m_currentDirectory(world.startDirectory)
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
    if (m_ctx.Faulted("GetCurrentDirectoryW")) return 0;
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
    return NewHandle({true, OpenObject::Kind::Device, *device, desiredAccess, shareMode, 0});
}

Handle SimKernel::OpenFile(const std::u16string& path, std::uint32_t access,
                           std::uint32_t disposition)
{
    const auto file =
        std::ranges::find_if(m_files, [&](const FileSetup& f) { return SamePath(f.path, path); });
    if (file == m_files.end() || disposition != kOpenExisting) {
        m_ctx.lastError = kErrorFileNotFound;
        return kInvalidHandle;
    }
    if (file->locked) {
        m_ctx.lastError = kErrorSharingViolation;
        return kInvalidHandle;
    }
    m_ctx.log.Add("file", "opened " + Utf8(file->path));
    const auto index = static_cast<std::size_t>(file - m_files.begin());
    return NewHandle({true, OpenObject::Kind::File, index, access, 0, 0});
}

bool SimKernel::CloseHandle(Handle handle)
{
    OpenObject* object = Object(handle);
    if (!object) return m_ctx.Fail(kErrorInvalidHandle);
    if (object->kind == OpenObject::Kind::Device)
        m_usb.Close(object->index, object->access, object->shareMode);
    object->open = false;
    return true;
}

std::uint32_t SimKernel::GetFileSize(Handle file, std::uint32_t* sizeHigh)
{
    if (m_ctx.Faulted("GetFileSize")) return kInvalidFileSize;
    const OpenObject* object = Object(file);
    if (!object || object->kind != OpenObject::Kind::File) {
        m_ctx.lastError = object ? kErrorInvalidParameter : kErrorInvalidHandle;
        return kInvalidFileSize;
    }
    const FileSetup& setup = m_files[object->index];
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
    if (object->kind != OpenObject::Kind::Device || !(object->access & kGenericWrite))
        return m_ctx.Fail(kErrorAccessDenied);
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
    if (object->kind == OpenObject::Kind::Device) {
        const std::uint32_t error = m_usb.Read(object->index, buffer, read, timeoutMs);
        return error ? m_ctx.Fail(error) : true;
    }
    if (object->kind != OpenObject::Kind::File) return m_ctx.Fail(kErrorInvalidHandle);
    const std::vector<std::byte>& bytes = m_files[object->index].bytes;
    const std::size_t from = std::min<std::uint64_t>(object->position, bytes.size());
    const std::size_t n = std::min(buffer.size(), bytes.size() - from);
    std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(from), n, buffer.begin());
    object->position += n;
    read = static_cast<std::uint32_t>(n);
    return true;
}

std::uint32_t SimKernel::GetSystemDirectoryW(std::uint32_t bufferChars, std::u16string& path)
{
    if (m_ctx.Faulted("GetSystemDirectoryW")) return 0;
    const auto length = static_cast<std::uint32_t>(m_world.systemDirectory.size());
    if (length + 1 > bufferChars) return length + 1;
    path = m_world.systemDirectory;
    return length;
}

namespace {

// The words of a command line: blanks separate them, double quotes hold blanks in and are
// dropped, as programs read their arguments.
std::vector<std::u16string> Words(const std::u16string& line)
{
    std::vector<std::u16string> words;
    std::u16string word;
    bool quoted = false, inWord = false;
    for (const char16_t c : line) {
        if (c == u'"') {
            quoted = !quoted;
            inWord = true;
        } else if (c == u' ' && !quoted) {
            if (inWord) words.push_back(std::exchange(word, {}));
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) words.push_back(word);
    return words;
}

}  // namespace

bool SimKernel::CreateProcessW(const std::u16string& commandLine, ProcessInformation& process)
{
    process = {};
    if (m_ctx.Faulted("CreateProcessW")) return false;
    const std::vector<std::u16string> words = Words(commandLine);
    const bool rundll32 =
        !words.empty() && SamePath(words[0], m_world.systemDirectory + u"\\rundll32");
    if (!rundll32) {
        m_ctx.log.Add("process", "cannot start: " + Utf8(commandLine));
        return m_ctx.Fail(kErrorFileNotFound);
    }
    m_commandLines.push_back(commandLine);
    m_ctx.log.Add("process", "started: " + Utf8(commandLine));
    Process started{commandLine, m_ctx.clock.Now(), m_ctx.clock.Now()};
    if (words.size() > 1 && SamePath(words[1], u"printui.dll,PrintUIEntry"))
        RunPrintUi(std::vector<std::u16string>(words.begin() + 2, words.end()), started);
    m_processes.push_back(started);
    const std::size_t index = m_processes.size() - 1;
    process.hProcess = NewHandle({true, OpenObject::Kind::Process, index, 0, 0, 0});
    process.hThread = NewHandle({true, OpenObject::Kind::Thread, index, 0, 0, 0});
    process.dwProcessId = static_cast<std::uint32_t>(0x1000 + 4 * index);
    process.dwThreadId = process.dwProcessId + 1;
    return true;
}

// The print-UI entry point: /if installs a printer with the driver of an INF, named after its
// model, on a port; /n ... /p shows a printer's properties in a window that stays open.
void SimKernel::RunPrintUi(const std::vector<std::u16string>& arguments, Process& process)
{
    const auto value = [&](std::u16string_view option) -> std::u16string {
        const auto it = std::ranges::find(arguments, option);
        return it != arguments.end() && it + 1 != arguments.end() ? *(it + 1) : std::u16string();
    };
    const bool install = std::ranges::find(arguments, u"/if") != arguments.end();
    const bool properties = std::ranges::find(arguments, u"/p") != arguments.end();
    const std::uint64_t now = m_ctx.clock.Now();
    if (install) {
        process.endsAtMs = now + m_world.printUiInstallMs;
        const std::u16string inf = value(u"/f"), model = value(u"/m"), port = value(u"/r");
        m_ctx.clock.At(process.endsAtMs, [this, inf, model, port] {
            const auto file = std::ranges::find_if(
                m_files, [&](const FileSetup& f) { return SamePath(f.path, inf); });
            const bool portThere = std::ranges::find(m_world.ports, port) != m_world.ports.end();
            // The INF must name the model, as "<model>"=section in a models section.
            const std::u16string text = file != m_files.end() ? TextOfUtf16File(file->bytes) : u"";
            const bool modelThere =
                !model.empty() && text.find(u"\"" + model + u"\"=") != std::u16string::npos;
            if (file == m_files.end() || !portThere || !modelThere) {
                m_ctx.log.Add(
                    "print-UI",
                    "installed nothing: " +
                        std::string(file == m_files.end() ? "no INF at " + Utf8(inf)
                                    : !portThere          ? "no port " + Utf8(port)
                                                 : "no model \"" + Utf8(model) + "\" in the INF"));
                return;
            }
            m_spooler.AddPrinter({model, model, port});
            m_ctx.log.Add("print-UI", "printer \"" + Utf8(model) + "\" installed on " + Utf8(port));
        });
    } else if (properties) {
        process.endsAtMs = UINT64_MAX;
        process.idleAtMs = now + m_world.printUiIdleMs;
        const std::u16string name = value(u"/n");
        const bool known = std::ranges::any_of(m_spooler.Printers(),
                                               [&](const Printer& p) { return p.name == name; });
        m_ctx.clock.At(process.idleAtMs, [this, name, known] {
            m_ctx.log.Add("print-UI", known ? "properties of \"" + Utf8(name) + "\" shown"
                                            : "no printer \"" + Utf8(name) + "\" to show");
        });
    }
}

std::uint32_t SimKernel::WaitForSingleObject(Handle object, std::uint32_t timeoutMs)
{
    m_waitLimits.push_back(timeoutMs);
    const OpenObject* opened = Object(object);
    if (!opened || opened->kind != OpenObject::Kind::Process)
        return m_ctx.Fail(kErrorInvalidHandle), 0xFFFFFFFF;
    const Process& process = m_processes[opened->index];
    const std::uint64_t now = m_ctx.clock.Now();
    const std::uint64_t limit = timeoutMs == kInfinite ? UINT64_MAX : now + timeoutMs;
    if (process.endsAtMs <= limit) {
        m_ctx.clock.AdvanceTo(std::max(now, process.endsAtMs));
        return kWaitObject0;
    }
    if (limit == UINT64_MAX) {
        m_ctx.log.Add("process", "a wait without a time limit would last for ever");
        return m_ctx.Fail(kErrorInvalidParameter), 0xFFFFFFFF;
    }
    m_ctx.clock.AdvanceTo(limit);
    return kWaitTimeout;
}

std::uint32_t SimKernel::WaitForInputIdle(Handle process, std::uint32_t timeoutMs)
{
    m_waitLimits.push_back(timeoutMs);
    const OpenObject* opened = Object(process);
    if (!opened || opened->kind != OpenObject::Kind::Process)
        return m_ctx.Fail(kErrorInvalidHandle), 0xFFFFFFFF;
    const std::uint64_t idle = m_processes[opened->index].idleAtMs;
    const std::uint64_t now = m_ctx.clock.Now();
    if (timeoutMs != kInfinite && idle > now + timeoutMs) {
        m_ctx.clock.AdvanceTo(now + timeoutMs);
        return kWaitTimeout;
    }
    m_ctx.clock.AdvanceTo(std::max(now, idle));
    return 0;
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
