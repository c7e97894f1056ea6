#pragma once
// The simulated USB bus: devices of the USB printing interface class, among them the engraving
// machine, and SetupAPI's view of them.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/setupapi.h"
#include "platform/sim/context.h"
#include "platform/sim/engraving_machine.h"

namespace sim {

struct UsbDevice {
    std::string name;  // how the transcript calls it: "machine", "printer 04b8:0005"
    std::u16string devicePath;
    bool plugged = true;
    bool on = true;
    // Another program holds the device open for reading and writing (sharing both), so an open
    // that does not let others write fails.
    bool heldByOtherProgram = false;
    // SetupDiGetDeviceInterfaceDetailW fails for this interface with this code.
    std::optional<std::uint32_t> detailError;
    // The engraving machine behind this device; other printers only swallow what they get.
    std::shared_ptr<EngravingMachine> machine;
    bool restarting = false;

    // A device shows up as a present interface while it is plugged in, switched on and not
    // restarting.
    bool Present() const { return plugged && on && !restarting; }
};

// The device path Windows gives a USB printing interface:
// \\?\usb#vid_XXXX&pid_XXXX#<instance>#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}
// with the ids in upper case when upperCaseIds is set.
std::u16string UsbPrintDevicePath(std::u16string_view vendor, std::u16string_view product,
                                  std::u16string_view instance, bool upperCaseIds);

// The bus answers SetupAPI's enumeration of device interfaces (through SimSetupApi).
class UsbBus {
public:
    explicit UsbBus(Context& context) : m_ctx(context) {}

    std::size_t Add(UsbDevice device);
    UsbDevice& Device(std::size_t index) { return m_devices.at(index); }
    const std::vector<UsbDevice>& Devices() const { return m_devices; }

    // What a person does with a device; each is recorded as a world event.
    void Plug(std::size_t index, bool plugged);
    void Power(std::size_t index, bool on);

    // The device a file path names, if it is present (device paths compare without case).
    std::optional<std::size_t> FindPresent(const std::u16string& path) const;
    // Opens a present device for CreateFileW; returns 0 or the error code.
    std::uint32_t Open(std::size_t index, std::uint32_t access, std::uint32_t shareMode);
    void Close(std::size_t index, std::uint32_t access, std::uint32_t shareMode);
    // I/O on an open device; each returns 0 or the error code. A device that has left the bus
    // fails every call.
    std::uint32_t Write(std::size_t index, std::span<const std::byte> bytes,
                        std::uint32_t& written);
    std::uint32_t Read(std::size_t index, std::span<std::byte> buffer, std::uint32_t& read,
                       std::uint32_t timeoutMs);

    // How often the installer looked at the bus or opened a device.
    int Enumerations() const { return m_enumerations; }
    int OpenAttempts() const { return m_openAttempts; }

    HdevInfo SetupDiGetClassDevsW(const Guid& classGuid, std::uint32_t flags);
    bool SetupDiEnumDeviceInterfaces(HdevInfo set, const Guid& interfaceClass,
                                     std::uint32_t memberIndex, SpDeviceInterfaceData& data);
    bool SetupDiGetDeviceInterfaceDetailW(HdevInfo set, const SpDeviceInterfaceData& data,
                                          std::span<std::byte> detailBlock,
                                          SpDeviceInterfaceDetailData* detail,
                                          std::uint32_t* requiredBytes);
    bool SetupDiDestroyDeviceInfoList(HdevInfo set);

    std::size_t OpenDeviceInfoSets() const { return m_sets.size(); }

private:
    struct Member {
        std::u16string devicePath;
        std::optional<std::uint32_t> detailError;
    };
    struct Opener {
        std::uint32_t access = 0;
        std::uint32_t shareMode = 0;
    };

    Context& m_ctx;
    std::vector<UsbDevice> m_devices;
    std::map<std::size_t, std::vector<Opener>> m_openers;
    std::map<std::uintptr_t, std::vector<Member>> m_sets;
    std::uintptr_t m_nextSet = 0x5e70;
    int m_enumerations = 0;
    int m_openAttempts = 0;
};

}  // namespace sim
