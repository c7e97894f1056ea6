#pragma once
// SetupAPI: enumeration of device interfaces.

#include <cstdint>
#include <span>
#include <string>

#include "platform/types.h"

// GUID_DEVINTERFACE_USBPRINT {28d78fad-5a12-11d1-ae5b-0000f803a8c2}
inline constexpr Guid kGuidDevInterfaceUsbPrint{
    0x28d78fad, 0x5a12, 0x11d1, {0xae, 0x5b, 0x00, 0x00, 0xf8, 0x03, 0xa8, 0xc2}};

inline constexpr std::uint32_t kSpostPath = 1;
inline constexpr std::uint32_t kDigcfPresent = 0x02;
inline constexpr std::uint32_t kDigcfDeviceInterface = 0x10;

// SP_DEVICE_INTERFACE_DATA; its cbSize is 28 in a 32-bit program.
inline constexpr std::uint32_t kSpDeviceInterfaceDataSize = 28;
struct SpDeviceInterfaceData {
    std::uint32_t cbSize = 0;
    Guid InterfaceClassGuid;
    std::uint32_t Flags = 0;
    std::uintptr_t Reserved = 0;
};

// SP_DEVICE_INTERFACE_DETAIL_DATA_W: a 32-bit cbSize followed by the device path. Its fixed part
// (cbSize and one UTF-16 unit) is 6 bytes in a 32-bit program; a record holding a path of n units
// needs 4 + 2 * (n + 1) bytes.
inline constexpr std::uint32_t kSpDeviceInterfaceDetailDataFixedSize = 6;
struct SpDeviceInterfaceDetailData {
    std::uint32_t cbSize = 0;
    std::u16string DevicePath;
};

inline constexpr std::uint32_t DeviceInterfaceDetailBytes(std::size_t pathUnits)
{
    return static_cast<std::uint32_t>(4 + 2 * (pathUnits + 1));
}

class SetupApi {
public:
    virtual ~SetupApi() = default;

    // Enumerator and parent window are always null in this program. Fails with kInvalidDevInfo.
    virtual HdevInfo SetupDiGetClassDevsW(const Guid& classGuid, std::uint32_t flags) = 0;
    // No device information element is given. Fails with ERROR_NO_MORE_ITEMS past the last
    // member, and with ERROR_INVALID_USER_BUFFER when data.cbSize is wrong.
    virtual bool SetupDiEnumDeviceInterfaces(HdevInfo set, const Guid& interfaceClass,
                                             std::uint32_t memberIndex,
                                             SpDeviceInterfaceData& data) = 0;
    // With no record and an empty block, reports the size the record needs and fails with
    // ERROR_INSUFFICIENT_BUFFER. With a record, reads it into the caller's zero-filled block, whose
    // size is the buffer size Windows is given, and hands its path back in detail; detail->cbSize
    // must be the fixed size.
    virtual bool SetupDiGetDeviceInterfaceDetailW(HdevInfo set, const SpDeviceInterfaceData& data,
                                                  std::span<std::byte> detailBlock,
                                                  SpDeviceInterfaceDetailData* detail,
                                                  std::uint32_t* requiredBytes) = 0;
    virtual bool SetupDiDestroyDeviceInfoList(HdevInfo set) = 0;

    // SetupCopyOEMInfW with no source media location and no copy-style flags: stages the INF
    // into the driver store as oemN.inf. The destination name (at most destinationChars
    // characters) is handed back.
    virtual bool SetupCopyOEMInfW(const std::u16string& sourceInf, std::uint32_t mediaType,
                                  std::uint32_t copyStyle, std::uint32_t destinationChars,
                                  std::u16string& destinationName) = 0;
};
