#include <memory>
#include <new>

#include "platform/win32/text.h"
#include "platform/win32/win32_services.h"

namespace {

// The seam's record sizes are those of the 32-bit program; a 64-bit build states its own.
DWORD NativeSize(std::uint32_t size, std::uint32_t size32, DWORD native)
{
    return size == size32 ? native : size;
}

SP_DEVICE_INTERFACE_DATA ToNative(const SpDeviceInterfaceData& data)
{
    SP_DEVICE_INTERFACE_DATA native{};
    native.cbSize =
        NativeSize(data.cbSize, kSpDeviceInterfaceDataSize, sizeof(SP_DEVICE_INTERFACE_DATA));
    native.InterfaceClassGuid = ToGuid(data.InterfaceClassGuid);
    native.Flags = data.Flags;
    native.Reserved = data.Reserved;
    return native;
}

}  // namespace

HdevInfo Win32SetupApi::SetupDiGetClassDevsW(const Guid& classGuid, std::uint32_t flags)
{
    if (!m_getClassDevs) return ::SetLastError(ERROR_PROC_NOT_FOUND), kInvalidDevInfo;
    const GUID guid = ToGuid(classGuid);
    return FromHandle<HdevInfo>(m_getClassDevs(&guid, nullptr, nullptr, flags));
}

bool Win32SetupApi::SetupDiEnumDeviceInterfaces(HdevInfo set, const Guid& interfaceClass,
                                                std::uint32_t memberIndex,
                                                SpDeviceInterfaceData& data)
{
    if (!m_enumInterfaces) return ::SetLastError(ERROR_PROC_NOT_FOUND), false;
    SP_DEVICE_INTERFACE_DATA native = ToNative(data);
    const GUID guid = ToGuid(interfaceClass);
    if (!m_enumInterfaces(ToHdevInfo(set), nullptr, &guid, memberIndex, &native)) return false;
    data.InterfaceClassGuid = FromGuid(native.InterfaceClassGuid);
    data.Flags = native.Flags;
    data.Reserved = native.Reserved;
    return true;
}

bool Win32SetupApi::SetupDiGetDeviceInterfaceDetailW(HdevInfo set,
                                                     const SpDeviceInterfaceData& data,
                                                     SpDeviceInterfaceDetailData* detail,
                                                     std::uint32_t detailBytes,
                                                     std::uint32_t* requiredBytes)
{
    if (!m_getDetail) return ::SetLastError(ERROR_PROC_NOT_FOUND), false;
    SP_DEVICE_INTERFACE_DATA native = ToNative(data);
    DWORD required = 0;
    if (!detail) {
        const BOOL ok =
            m_getDetail(ToHdevInfo(set), &native, nullptr, detailBytes, &required, nullptr);
        if (requiredBytes) *requiredBytes = required;
        return ok != FALSE;
    }
    // The record is read into a block of the size the caller holds, then its path copied out.
    const std::size_t bytes = detailBytes < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)
                                  ? sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)
                                  : detailBytes;
    std::unique_ptr<BYTE[]> block(new (std::nothrow) BYTE[bytes]());
    if (!block) return ::SetLastError(ERROR_NOT_ENOUGH_MEMORY), false;
    auto* record = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(block.get());
    record->cbSize = NativeSize(detail->cbSize, kSpDeviceInterfaceDetailDataFixedSize,
                                sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W));
    if (!m_getDetail(ToHdevInfo(set), &native, record, detailBytes, &required, nullptr))
        return false;
    if (requiredBytes) *requiredBytes = required;
    const std::size_t pathUnits =
        (detailBytes - offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath)) / 2;
    detail->DevicePath = FromWide(record->DevicePath, wcsnlen(record->DevicePath, pathUnits));
    return true;
}

bool Win32SetupApi::SetupDiDestroyDeviceInfoList(HdevInfo set)
{
    if (!m_destroyList) return ::SetLastError(ERROR_PROC_NOT_FOUND), false;
    return m_destroyList(ToHdevInfo(set)) != FALSE;
}
