#pragma once
// kernel32 of the simulated Windows: the process, device files, memory blocks and the tick count.

#include <map>
#include <vector>

#include "platform/kernel.h"
#include "platform/sim/context.h"
#include "platform/sim/sim_spooler.h"
#include "platform/sim/usb_bus.h"
#include "platform/sim/world.h"

namespace sim {

class SimKernel : public Kernel {
public:
    SimKernel(Context& context, const World& world, UsbBus& usb, SimSpooler& spooler);

    std::uint32_t GetModuleFileNameW(Hmodule module, std::uint32_t bufferChars,
                                     std::u16string& path) override;
    Hmodule GetModuleHandleW(const char16_t* moduleName) override;
    bool SetCurrentDirectoryW(const std::u16string& path) override;
    std::uint32_t GetCurrentDirectoryW(std::uint32_t bufferChars, std::u16string& path) override;
    std::u16string GetCommandLineW() override;
    std::uint16_t GetUserDefaultLangID() override;
    std::uint32_t GetTickCount() override;
    std::uint32_t GetLastError() override;
    void SetLastError(std::uint32_t code) override;
    Handle CreateFileW(const std::u16string& path, std::uint32_t desiredAccess,
                       std::uint32_t shareMode, std::uint32_t creationDisposition,
                       std::uint32_t flagsAndAttributes) override;
    bool CloseHandle(Handle handle) override;
    std::uint32_t GetFileSize(Handle file, std::uint32_t* sizeHigh) override;
    bool WriteFile(Handle file, std::span<const std::byte> bytes, std::uint32_t& written) override;
    bool ReadFile(Handle file, std::span<std::byte> buffer, std::uint32_t& read,
                  std::uint32_t timeoutMs) override;
    std::uint32_t GetSystemDirectoryW(std::uint32_t bufferChars, std::u16string& path) override;
    bool CreateProcessW(const std::u16string& commandLine, ProcessInformation& process) override;
    std::uint32_t WaitForSingleObject(Handle object, std::uint32_t timeoutMs) override;
    // WaitForInputIdle, which user32 answers from the processes kept here.
    std::uint32_t WaitForInputIdle(Handle process, std::uint32_t timeoutMs);
    Hglobal GlobalAlloc(std::uint32_t flags, std::size_t bytes) override;
    std::span<std::byte> GlobalLock(Hglobal block) override;
    bool GlobalUnlock(Hglobal block) override;
    Hglobal GlobalFree(Hglobal block) override;

    const std::u16string& CurrentDirectory() const { return m_currentDirectory; }
    // The disk: the world's files, and those written since.
    std::vector<FileSetup>& Files() { return m_files; }
    // The command lines of the processes started, in order.
    const std::vector<std::u16string>& ProcessesStarted() const { return m_commandLines; }
    // The time limits the installer gave its waits on processes, in order (WaitForSingleObject
    // and WaitForInputIdle alike).
    const std::vector<std::uint32_t>& WaitLimits() const { return m_waitLimits; }
    // What is still open or allocated: a correct program leaves nothing behind.
    std::size_t OpenHandles() const;
    std::size_t LiveMemoryBlocks() const { return m_blocks.size(); }
    // The most bytes held in memory blocks at once.
    std::uint64_t PeakMemoryBlockBytes() const { return m_peakBlockBytes; }

    // The arguments of the last CreateFileW on a device, for tests of how it was opened.
    struct DeviceOpen {
        std::u16string path;
        std::uint32_t access = 0, shareMode = 0, disposition = 0, flags = 0;
    };
    const std::vector<DeviceOpen>& DeviceOpens() const { return m_deviceOpens; }

private:
    // What a handle stands for: a device of the bus or a file of the disk.
    struct OpenObject {
        enum class Kind { Device, File, Process, Thread };
        bool open = false;
        Kind kind = Kind::File;
        std::size_t index = 0;  // into the bus's devices, the disk's files or the processes
        std::uint32_t access = 0;
        std::uint32_t shareMode = 0;
        std::uint64_t position = 0;
    };
    static constexpr std::uintptr_t kFirstHandle = 0x100;

    OpenObject* Object(Handle handle);
    Handle NewHandle(OpenObject object);
    Handle OpenFile(const std::u16string& path, std::uint32_t access, std::uint32_t disposition);

    struct Process {
        std::u16string commandLine;
        std::uint64_t endsAtMs = 0;  // UINT64_MAX: runs until someone closes its window
        std::uint64_t idleAtMs = 0;
    };
    void RunPrintUi(const std::vector<std::u16string>& arguments, Process& process);

    Context& m_ctx;
    const World& m_world;
    UsbBus& m_usb;
    SimSpooler& m_spooler;
    std::vector<FileSetup> m_files;
    std::vector<Process> m_processes;
    std::vector<std::u16string> m_commandLines;
    std::vector<std::uint32_t> m_waitLimits;
    std::u16string m_currentDirectory;
    std::vector<OpenObject> m_handles;  // handle value kFirstHandle + 4 * index
    std::map<std::uintptr_t, std::vector<std::byte>> m_blocks;
    std::uintptr_t m_nextBlock = 0x7000;
    std::uint64_t m_blockBytes = 0;
    std::uint64_t m_peakBlockBytes = 0;
    std::vector<DeviceOpen> m_deviceOpens;
};

}  // namespace sim
