
#include <vector>

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
                                                     std::span<std::byte> detailBlock,
                                                     SpDeviceInterfaceDetailData* detail,
                                                     std::uint32_t* requiredBytes)
{
    if (!m_getDetail) return ::SetLastError(ERROR_PROC_NOT_FOUND), false;
    SP_DEVICE_INTERFACE_DATA native = ToNative(data);
    DWORD required = 0;
    constexpr std::size_t kPathOffset = offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath);
    SP_DEVICE_INTERFACE_DETAIL_DATA_W* record = nullptr;
    if (detail) {
        if (detailBlock.size() < kPathOffset)
            return ::SetLastError(ERROR_INSUFFICIENT_BUFFER), false;
        // The caller's block is the record Windows fills in.
        record = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(detailBlock.data());
        record->cbSize = NativeSize(detail->cbSize, kSpDeviceInterfaceDetailDataFixedSize,
                                    sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W));
    }
    const BOOL read = m_getDetail(ToHdevInfo(set), &native, record,
                                  static_cast<DWORD>(detailBlock.size()), &required, nullptr);
    if (requiredBytes) *requiredBytes = required;
    if (!read || !detail) return read != FALSE;
    const std::size_t pathUnits = (detailBlock.size() - kPathOffset) / sizeof(WCHAR);
    detail->DevicePath = FromWide(record->DevicePath, wcsnlen(record->DevicePath, pathUnits));
    return true;
}

bool Win32SetupApi::SetupDiDestroyDeviceInfoList(HdevInfo set)
{
    if (!m_destroyList) return ::SetLastError(ERROR_PROC_NOT_FOUND), false;
    return m_destroyList(ToHdevInfo(set)) != FALSE;
}

bool Win32SetupApi::SetupCopyOEMInfW(const std::u16string& sourceInf, std::uint32_t mediaType,
                                     std::uint32_t copyStyle, std::uint32_t destinationChars,
                                     std::u16string& destinationName)
{
    if (!m_copyOemInf) return ::SetLastError(ERROR_PROC_NOT_FOUND), false;
    std::vector<wchar_t> destination(destinationChars + 1, L'\0');
    DWORD required = 0;
    PWSTR component = nullptr;
    const BOOL copied = m_copyOemInf(Wide(sourceInf), nullptr, mediaType, copyStyle,
                                     destination.data(), destinationChars, &required, &component);
    const DWORD error = ::GetLastError();
    if (copied) destinationName = FromWide(destination.data());
    ::SetLastError(error);
    return copied != FALSE;
}
