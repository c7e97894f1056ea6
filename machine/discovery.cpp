// Finding the engraving machine among the present USB printing interfaces, and opening it.

#include "app/install_dlg.h"
#include "app/text.h"

namespace {

// A device path holding these ids, exactly so, is the machine (vendor FFFD, product 0001).
constexpr std::u16string_view kMachineNeedle = u"vid_fffd&pid_0001";
// The maker's short name in the machine's instance name: such a machine needs no firmware.
constexpr std::u16string_view kMakerNeedle = u"kestr";

enum class DetailRead { Read, Skipped, Failed };

// Reads the device path of one interface. The path is held whole, however long it is.
DetailRead ReadDevicePath(Windows& windows, HdevInfo devices, const SpDeviceInterfaceData& iface,
                          std::u16string& devicePath)
{
    std::uint32_t requiredBytes = 0;
    windows.setupApi.SetupDiGetDeviceInterfaceDetailW(devices, iface, {}, nullptr, &requiredBytes);
    const Hglobal block = windows.kernel.GlobalAlloc(kGptr, requiredBytes);
    if (!block) return DetailRead::Skipped;

    SpDeviceInterfaceDetailData detail;
    detail.cbSize = kSpDeviceInterfaceDetailDataFixedSize;
    const bool read = windows.setupApi.SetupDiGetDeviceInterfaceDetailW(
        devices, iface, windows.kernel.GlobalLock(block), &detail, nullptr);
    if (read) devicePath = std::move(detail.DevicePath);
    windows.kernel.GlobalUnlock(block);
    windows.kernel.GlobalFree(block);
    return read ? DetailRead::Read : DetailRead::Failed;
}

}  // namespace

Handle CInstallDlg::OpenMachine()
{
    m_bKestrSerial = false;
    SetupApi& setupApi = m_windows.setupApi;
    const HdevInfo devices = setupApi.SetupDiGetClassDevsW(kGuidDevInterfaceUsbPrint,
                                                           kDigcfPresent | kDigcfDeviceInterface);
    if (devices == kInvalidDevInfo) return Handle{};

    Handle machine;
    for (std::uint32_t index = 0;; ++index) {
        SpDeviceInterfaceData iface;
        iface.cbSize = kSpDeviceInterfaceDataSize;
        if (!setupApi.SetupDiEnumDeviceInterfaces(devices, kGuidDevInterfaceUsbPrint, index, iface))
            break;

        std::u16string devicePath;
        const DetailRead outcome = ReadDevicePath(m_windows, devices, iface, devicePath);
        if (outcome == DetailRead::Skipped) continue;
        if (outcome == DetailRead::Failed) break;
        if (!Contains(devicePath, kMachineNeedle)) continue;

        // The first machine found is the one; no later interface is looked at.
        if (Contains(devicePath, kMakerNeedle)) m_bKestrSerial = true;
        const Handle opened = m_windows.kernel.CreateFileW(
            devicePath, kGenericRead | kGenericWrite, kFileShareRead, kOpenAlways,
            kFileAttributeNormal | kFileFlagSequentialScan);
        if (opened != kInvalidHandle) machine = opened;
        break;
    }
    setupApi.SetupDiDestroyDeviceInfoList(devices);
    return machine;
}
