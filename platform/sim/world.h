#pragma once
// The simulated world an installation runs in, as plain data: tests and the simulator's
// scenarios fill it in, SimWindows builds the simulated Windows from it.

#include <array>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/sim/engraving_machine.h"

namespace sim {

// The version record of the installer's own file.
struct VersionRecord {
    bool present = true;
    bool malformed = false;  // a record whose fixed part cannot be read
    std::array<std::uint16_t, 4> productVersion{0, 1, 3, 6};
};

// A device of the USB printing class on the bus.
struct UsbDeviceSetup {
    std::u16string vendor = u"04b8";
    std::u16string product = u"0005";
    std::u16string instance = u"5&3a1f2c7&0&2";
    bool upperCaseIds = false;
    bool plugged = true;
    bool on = true;
    bool heldByOtherProgram = false;
    std::optional<std::uint32_t> detailError;
    // The whole device path, instead of one made from the fields above.
    std::optional<std::u16string> devicePath;
};

// The engraving machine: USB vendor FFFD, product 0001.
struct MachineSetup : UsbDeviceSetup {
    MachineSetup()
    {
        vendor = u"fffd";
        product = u"0001";
        instance = u"6&2c8b0e4&0&1";
    }
    MachineBehaviour behaviour;
};

// A file of the simulated disk.
struct FileSetup {
    std::u16string path;  // full path; compared without case, as Windows does
    std::vector<std::byte> bytes;
    // The size the file system reports, when it is not the size of bytes (a file too large to
    // hold here); reads deliver bytes only.
    std::optional<std::uint64_t> reportedSize;
    bool locked = false;  // another program holds it open without sharing
};

struct World {
    std::uint16_t userLangId = 0x0409;  // GetUserDefaultLangID
    std::u16string installerPath = u"C:\\QX Lumenthread\\Driver\\Install.exe";
    // The arguments after the program's name; the command line is the quoted path, a blank and
    // these (no blank when empty). commandLine replaces the whole line when set.
    std::u16string arguments;
    std::optional<std::u16string> commandLine;
    std::u16string startDirectory = u"C:\\Users\\Technician\\Downloads";
    VersionRecord version;
    std::uint32_t tickCountStart = 0;
    // Resources of the installer's file that are missing (a banner, the icon, a template).
    std::set<int> missingResources;

    std::vector<FileSetup> files;
    std::u16string systemDirectory = u"C:\\Windows\\system32";
    // The spooler's ports, in its order.
    std::vector<std::u16string> ports{u"COM1:", u"COM2:", u"COM3:", u"COM4:",
                                      u"FILE:", u"LPT1:", u"LPT2:", u"LPT3:"};
    // How long the print-UI entry point takes to install a printer, and to show a printer's
    // properties window ready for input.
    std::uint32_t printUiInstallMs = 4000;
    std::uint32_t printUiIdleMs = 1500;
    // A memory block larger than this cannot be allocated.
    std::uint64_t memoryLimitBytes = 1024ull * 1024 * 1024;

    std::optional<MachineSetup> machine;
    // Other devices of the USB printing class, enumerated after the machine unless
    // machineFirst is false.
    std::vector<UsbDeviceSetup> otherPrinters;
    bool machineFirst = true;

    // How long a person takes to read a message box before pressing OK, unless the timeline
    // answers it.
    std::uint32_t boxReadingMs = 2000;
    // The simulation stops when nothing happens before this virtual time.
    std::uint64_t limitMs = 30 * 60 * 1000;
};

}  // namespace sim
