#include "platform/sim/usb_bus.h"

#include <algorithm>

#include "platform/kernel.h"

namespace sim {

namespace {

char16_t Upper(char16_t c)
{
    return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c;
}

std::u16string ToUpper(std::u16string_view text)
{
    std::u16string out(text);
    std::ranges::transform(out, out.begin(), Upper);
    return out;
}

}  // namespace

std::u16string UsbPrintDevicePath(std::u16string_view vendor, std::u16string_view product,
                                  std::u16string_view instance, bool upperCaseIds)
{
    std::u16string ids = u"vid_" + std::u16string(vendor) + u"&pid_" + std::u16string(product);
    std::u16string bus = u"usb";
    if (upperCaseIds) {
        ids = ToUpper(ids);
        bus = u"USB";
    }
    return u"\\\\?\\" + bus + u"#" + ids + u"#" + std::u16string(instance) +
           u"#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";
}

std::size_t UsbBus::Add(UsbDevice device)
{
    m_devices.push_back(std::move(device));
    const std::size_t index = m_devices.size() - 1;
    if (EngravingMachine* machine = m_devices[index].machine.get()) {
        machine->onPlug = [this, index](bool plugged) { Plug(index, plugged); };
        machine->onRestart = [this, index](bool restarting) {
            m_devices[index].restarting = restarting;
        };
    }
    return index;
}

std::uint32_t UsbBus::Write(std::size_t index, std::span<const std::byte> bytes,
                            std::uint32_t& written)
{
    written = 0;
    UsbDevice& device = m_devices.at(index);
    if (!device.Present()) return kErrorDeviceNotConnected;
    if (device.machine) return device.machine->Write(bytes, written);
    written = static_cast<std::uint32_t>(bytes.size());
    return 0;
}

std::uint32_t UsbBus::Read(std::size_t index, std::span<std::byte> buffer, std::uint32_t& read,
                           std::uint32_t timeoutMs)
{
    read = 0;
    UsbDevice& device = m_devices.at(index);
    if (!device.Present()) return kErrorDeviceNotConnected;
    if (device.machine) return device.machine->Read(buffer, read, timeoutMs);
    if (timeoutMs != kInfinite) m_ctx.clock.Advance(timeoutMs);  // another printer says nothing
    return kErrorOperationAborted;
}

void UsbBus::Plug(std::size_t index, bool plugged)
{
    UsbDevice& device = m_devices.at(index);
    device.plugged = plugged;
    m_ctx.log.Add("world", device.name + (plugged ? " plugged in" : " unplugged"));
}

void UsbBus::Power(std::size_t index, bool on)
{
    UsbDevice& device = m_devices.at(index);
    device.on = on;
    m_ctx.log.Add("world", device.name + (on ? " switched on" : " switched off"));
}

std::optional<std::size_t> UsbBus::FindPresent(const std::u16string& path) const
{
    for (std::size_t i = 0; i < m_devices.size(); ++i)
        if (m_devices[i].Present() && SamePath(m_devices[i].devicePath, path)) return i;
    return std::nullopt;
}

std::uint32_t UsbBus::Open(std::size_t index, std::uint32_t access, std::uint32_t shareMode)
{
    ++m_openAttempts;
    UsbDevice& device = m_devices.at(index);
    std::vector<Opener> others = m_openers[index];
    // The other program reads and writes, and lets others do both.
    if (device.heldByOtherProgram)
        others.push_back({kGenericRead | kGenericWrite, kFileShareRead | kFileShareWrite});
    bool conflict = false;
    for (const Opener& other : others) {
        // Each open must allow what the other asks for, both ways round.
        if (((access & kGenericWrite) && !(other.shareMode & kFileShareWrite)) ||
            ((access & kGenericRead) && !(other.shareMode & kFileShareRead)) ||
            ((other.access & kGenericWrite) && !(shareMode & kFileShareWrite)) ||
            ((other.access & kGenericRead) && !(shareMode & kFileShareRead)))
            conflict = true;
    }
    if (conflict) {
        m_ctx.log.Add("usb", "open " + device.name + " refused: held by another program");
        return kErrorSharingViolation;
    }
    m_openers[index].push_back({access, shareMode});
    m_ctx.log.Add("usb", "open " + device.name);
    return 0;
}

void UsbBus::Close(std::size_t index, std::uint32_t access, std::uint32_t shareMode)
{
    std::vector<Opener>& openers = m_openers[index];
    const auto it = std::ranges::find_if(
        openers, [&](const Opener& o) { return o.access == access && o.shareMode == shareMode; });
    if (it != openers.end()) openers.erase(it);
}

HdevInfo UsbBus::SetupDiGetClassDevsW(const Guid& classGuid, std::uint32_t flags)
{
    ++m_enumerations;
    if (m_ctx.Faulted("SetupDiGetClassDevsW")) return kInvalidDevInfo;
    std::vector<Member> members;
    // Only interfaces of the USB printing class live on this bus, and only present ones are
    // listed when DIGCF_PRESENT is asked for.
    if ((flags & kDigcfDeviceInterface) && classGuid == kGuidDevInterfaceUsbPrint) {
        for (const UsbDevice& device : m_devices)
            if (device.Present() || !(flags & kDigcfPresent))
                members.push_back({device.devicePath, device.detailError});
    }
    const std::uintptr_t handle = m_nextSet++;
    m_sets.emplace(handle, std::move(members));
    return HdevInfo{handle};
}

bool UsbBus::SetupDiEnumDeviceInterfaces(HdevInfo set, const Guid& interfaceClass,
                                         std::uint32_t memberIndex, SpDeviceInterfaceData& data)
{
    if (m_ctx.Faulted("SetupDiEnumDeviceInterfaces")) return false;
    const auto it = m_sets.find(set.value);
    if (it == m_sets.end()) return m_ctx.Fail(kErrorInvalidHandle);
    if (data.cbSize != kSpDeviceInterfaceDataSize) return m_ctx.Fail(kErrorInvalidUserBuffer);
    if (!(interfaceClass == kGuidDevInterfaceUsbPrint) || memberIndex >= it->second.size())
        return m_ctx.Fail(kErrorNoMoreItems);
    data.InterfaceClassGuid = interfaceClass;
    data.Flags = 1;  // SPINT_ACTIVE
    data.Reserved = memberIndex + 1;
    return true;
}

bool UsbBus::SetupDiGetDeviceInterfaceDetailW(HdevInfo set, const SpDeviceInterfaceData& data,
                                              std::span<std::byte> detailBlock,
                                              SpDeviceInterfaceDetailData* detail,
                                              std::uint32_t* requiredBytes)
{
    const auto it = m_sets.find(set.value);
    if (it == m_sets.end()) return m_ctx.Fail(kErrorInvalidHandle);
    if (data.Reserved == 0 || data.Reserved > it->second.size())
        return m_ctx.Fail(kErrorInvalidParameter);
    const Member& member = it->second[data.Reserved - 1];
    if (m_ctx.Faulted("SetupDiGetDeviceInterfaceDetailW")) return false;
    if (member.detailError) return m_ctx.Fail(*member.detailError);

    const std::uint32_t needed = DeviceInterfaceDetailBytes(member.devicePath.size());
    if (requiredBytes) *requiredBytes = needed;
    if (!detail)
        return m_ctx.Fail(detailBlock.empty() ? kErrorInsufficientBuffer : kErrorInvalidUserBuffer);
    if (detail->cbSize != kSpDeviceInterfaceDetailDataFixedSize)
        return m_ctx.Fail(kErrorInvalidUserBuffer);
    if (detailBlock.size() < needed) return m_ctx.Fail(kErrorInsufficientBuffer);
    detail->DevicePath = member.devicePath;
    return true;
}

bool UsbBus::SetupDiDestroyDeviceInfoList(HdevInfo set)
{
    return m_sets.erase(set.value) ? true : m_ctx.Fail(kErrorInvalidHandle);
}

}  // namespace sim
