#include <atomic>
#include <vector>

#include "platform/win32/text.h"
#include "platform/win32/win32_services.h"

std::uint32_t Win32Kernel::GetModuleFileNameW(Hmodule module, std::uint32_t bufferChars,
                                              std::u16string& path)
{
    std::vector<wchar_t> buffer(bufferChars + 1, L'\0');
    const DWORD length = ::GetModuleFileNameW(ToHmodule(module), buffer.data(), bufferChars);
    // A cut path fills the whole buffer; keep what fits with its terminator, as the sim does.
    const std::size_t kept = length >= bufferChars && bufferChars > 0 ? bufferChars - 1 : length;
    path = FromWide(buffer.data(), kept);
    return length;
}

Hmodule Win32Kernel::GetModuleHandleW(const char16_t* moduleName)
{
    return FromHandle<Hmodule>(::GetModuleHandleW(Wide(moduleName)));
}

bool Win32Kernel::SetCurrentDirectoryW(const std::u16string& path)
{
    return ::SetCurrentDirectoryW(Wide(path)) != FALSE;
}

std::uint32_t Win32Kernel::GetCurrentDirectoryW(std::uint32_t bufferChars, std::u16string& path)
{
    std::vector<wchar_t> buffer(bufferChars + 1, L'\0');
    const DWORD length = ::GetCurrentDirectoryW(bufferChars, buffer.data());
    if (length > 0 && length < bufferChars) path = FromWide(buffer.data(), length);
    return length;
}

std::u16string Win32Kernel::GetCommandLineW()
{
    return FromWide(::GetCommandLineW());
}

std::uint16_t Win32Kernel::GetUserDefaultLangID()
{
    return ::GetUserDefaultLangID();
}

std::uint32_t Win32Kernel::GetTickCount()
{
    return ::GetTickCount();
}

std::uint32_t Win32Kernel::GetLastError()
{
    return ::GetLastError();
}

void Win32Kernel::SetLastError(std::uint32_t code)
{
    ::SetLastError(code);
}

Handle Win32Kernel::CreateFileW(const std::u16string& path, std::uint32_t desiredAccess,
                                std::uint32_t shareMode, std::uint32_t creationDisposition,
                                std::uint32_t flagsAndAttributes)
{
    return FromHandle<Handle>(::CreateFileW(Wide(path), desiredAccess, shareMode, nullptr,
                                            creationDisposition, flagsAndAttributes, nullptr));
}

bool Win32Kernel::CloseHandle(Handle handle)
{
    return ::CloseHandle(ToHandle(handle)) != FALSE;
}

std::uint32_t Win32Kernel::GetFileSize(Handle file, std::uint32_t* sizeHigh)
{
    DWORD high = 0;
    const DWORD low = ::GetFileSize(ToHandle(file), &high);
    if (sizeHigh) *sizeHigh = high;
    return low;
}

bool Win32Kernel::WriteFile(Handle file, std::span<const std::byte> bytes, std::uint32_t& written)
{
    DWORD count = 0;
    const BOOL ok = ::WriteFile(ToHandle(file), bytes.data(), static_cast<DWORD>(bytes.size()),
                                &count, nullptr);
    written = count;
    return ok != FALSE;
}

namespace {

// Cancels the synchronous I/O of one thread when a timer of the system's thread pool fires. The
// timer goes on firing until the read is over, in case it first fired before the read began.
struct ReadWatch {
    HANDLE thread = nullptr;
    decltype(&::CancelSynchronousIo) cancel = nullptr;
    std::atomic<bool> done{false};
};

VOID CALLBACK CancelRead(PVOID context, BOOLEAN)
{
    auto* watch = static_cast<ReadWatch*>(context);
    if (!watch->done) watch->cancel(watch->thread);
}

}  // namespace

bool Win32Kernel::ReadFile(Handle file, std::span<std::byte> buffer, std::uint32_t& read,
                           std::uint32_t timeoutMs)
{
    // The machine's handle is synchronous: a read that takes too long is cancelled from the
    // thread pool. Without CancelSynchronousIo (before Vista) the read has no limit.
    ReadWatch watch;
    HANDLE timer = nullptr;
    if (timeoutMs != kInfinite) {
        watch.cancel =
            reinterpret_cast<decltype(&::CancelSynchronousIo)>(reinterpret_cast<void (*)()>(
                ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "CancelSynchronousIo")));
        if (watch.cancel &&
            ::DuplicateHandle(::GetCurrentProcess(), ::GetCurrentThread(), ::GetCurrentProcess(),
                              &watch.thread, THREAD_TERMINATE, FALSE, 0) &&
            !::CreateTimerQueueTimer(&timer, nullptr, CancelRead, &watch, timeoutMs, 100,
                                     WT_EXECUTEDEFAULT))
            timer = nullptr;
    }
    DWORD count = 0;
    const BOOL ok = ::ReadFile(ToHandle(file), buffer.data(), static_cast<DWORD>(buffer.size()),
                               &count, nullptr);
    const DWORD error = ::GetLastError();
    watch.done = true;
    if (timer) ::DeleteTimerQueueTimer(nullptr, timer, INVALID_HANDLE_VALUE);  // waits for it
    if (watch.thread) ::CloseHandle(watch.thread);
    read = count;
    ::SetLastError(error);
    return ok != FALSE;
}

std::uint32_t Win32Kernel::GetSystemDirectoryW(std::uint32_t bufferChars, std::u16string& path)
{
    std::vector<wchar_t> buffer(bufferChars + 1, L'\0');
    const UINT length = ::GetSystemDirectoryW(buffer.data(), bufferChars);
    if (length > 0 && length < bufferChars) path = FromWide(buffer.data(), length);
    return length;
}

bool Win32Kernel::CreateProcessW(const std::u16string& commandLine, ProcessInformation& process)
{
    // CreateProcessW may write into its command line, so it gets a copy of its own.
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    const BOOL started = ::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                          nullptr, &startup, &info);
    process = {FromHandle<Handle>(info.hProcess), FromHandle<Handle>(info.hThread),
               info.dwProcessId, info.dwThreadId};
    return started != FALSE;
}

std::uint32_t Win32Kernel::WaitForSingleObject(Handle object, std::uint32_t timeoutMs)
{
    return ::WaitForSingleObject(ToHandle(object), timeoutMs);
}

Hglobal Win32Kernel::GlobalAlloc(std::uint32_t flags, std::size_t bytes)
{
    return FromHandle<Hglobal>(::GlobalAlloc(flags, bytes));
}

std::span<std::byte> Win32Kernel::GlobalLock(Hglobal block)
{
    const HGLOBAL memory = ToHandle(block);
    void* bytes = ::GlobalLock(memory);
    if (!bytes) return {};
    return {static_cast<std::byte*>(bytes), ::GlobalSize(memory)};
}

bool Win32Kernel::GlobalUnlock(Hglobal block)
{
    ::GlobalUnlock(ToHandle(block));
    return true;
}

Hglobal Win32Kernel::GlobalFree(Hglobal block)
{
    return FromHandle<Hglobal>(::GlobalFree(ToHandle(block)));
}
