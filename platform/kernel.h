#pragma once
// kernel32: the process, its files and devices, memory blocks, the tick count and last error.

#include <cstdint>
#include <span>
#include <string>

#include "platform/types.h"

inline constexpr std::uint32_t kGenericRead = 0x80000000;
inline constexpr std::uint32_t kGenericWrite = 0x40000000;
inline constexpr std::uint32_t kFileShareRead = 0x1;
inline constexpr std::uint32_t kFileShareWrite = 0x2;
inline constexpr std::uint32_t kOpenExisting = 3;
inline constexpr std::uint32_t kOpenAlways = 4;
inline constexpr std::uint32_t kFileAttributeNormal = 0x80;
inline constexpr std::uint32_t kFileFlagSequentialScan = 0x08000000;

inline constexpr std::uint32_t kInfinite = 0xFFFFFFFF;
inline constexpr std::uint32_t kWaitObject0 = 0;
inline constexpr std::uint32_t kWaitTimeout = 258;
inline constexpr std::uint32_t kInvalidFileSize = 0xFFFFFFFF;

inline constexpr std::uint32_t kGmemMoveable = 0x0002;
inline constexpr std::uint32_t kGmemZeroinit = 0x0040;
inline constexpr std::uint32_t kGptr = 0x0040;  // fixed, zero-filled

// PROCESS_INFORMATION: what CreateProcessW hands back.
struct ProcessInformation {
    Handle hProcess;
    Handle hThread;
    std::uint32_t dwProcessId = 0;
    std::uint32_t dwThreadId = 0;
};

class Kernel {
public:
    virtual ~Kernel() = default;

    // Writes at most bufferChars - 1 characters of the module's full path into path. A path that
    // does not fit is cut there; the result is then bufferChars and the last error
    // ERROR_INSUFFICIENT_BUFFER. A null module means the program's own file.
    virtual std::uint32_t GetModuleFileNameW(Hmodule module, std::uint32_t bufferChars,
                                             std::u16string& path) = 0;
    virtual Hmodule GetModuleHandleW(const char16_t* moduleName) = 0;
    virtual bool SetCurrentDirectoryW(const std::u16string& path) = 0;
    // Returns the length written, or the size needed (terminator included) when bufferChars is
    // too small, in which case path is left empty.
    virtual std::uint32_t GetCurrentDirectoryW(std::uint32_t bufferChars, std::u16string& path) = 0;
    // The whole command line, the program's own name first.
    virtual std::u16string GetCommandLineW() = 0;
    virtual std::uint16_t GetUserDefaultLangID() = 0;
    virtual std::uint32_t GetTickCount() = 0;

    virtual std::uint32_t GetLastError() = 0;
    virtual void SetLastError(std::uint32_t code) = 0;

    // Security attributes and template file are always null in this program.
    virtual Handle CreateFileW(const std::u16string& path, std::uint32_t desiredAccess,
                               std::uint32_t shareMode, std::uint32_t creationDisposition,
                               std::uint32_t flagsAndAttributes) = 0;
    virtual bool CloseHandle(Handle handle) = 0;
    // GetFileSize: the low 32 bits of the size, the high ones in sizeHigh; INVALID_FILE_SIZE
    // (with a last error) on failure.
    virtual std::uint32_t GetFileSize(Handle file, std::uint32_t* sizeHigh) = 0;
    // Synchronous writes and reads, without an overlapped structure. A read given a time limit
    // is cancelled when the limit passes, and then fails with ERROR_OPERATION_ABORTED.
    virtual bool WriteFile(Handle file, std::span<const std::byte> bytes,
                           std::uint32_t& written) = 0;
    virtual bool ReadFile(Handle file, std::span<std::byte> buffer, std::uint32_t& read,
                          std::uint32_t timeoutMs = kInfinite) = 0;

    // The system directory; returns its length, or the size needed when bufferChars is too
    // small (path then left empty), or 0 on failure.
    virtual std::uint32_t GetSystemDirectoryW(std::uint32_t bufferChars, std::u16string& path) = 0;
    // CreateProcessW with no application name, the whole command line, no security attributes,
    // no inherited handles, no creation flags, the program's own environment and current
    // directory, and a zero-filled STARTUPINFOW.
    virtual bool CreateProcessW(const std::u16string& commandLine, ProcessInformation& process) = 0;
    // WAIT_OBJECT_0 when the object is signalled (a process has ended), WAIT_TIMEOUT otherwise.
    virtual std::uint32_t WaitForSingleObject(Handle object, std::uint32_t timeoutMs) = 0;

    // Memory blocks. GlobalLock gives the block's bytes (empty for a bad handle); GlobalFree
    // returns a null handle on success.
    virtual Hglobal GlobalAlloc(std::uint32_t flags, std::size_t bytes) = 0;
    virtual std::span<std::byte> GlobalLock(Hglobal block) = 0;
    virtual bool GlobalUnlock(Hglobal block) = 0;
    virtual Hglobal GlobalFree(Hglobal block) = 0;
};
