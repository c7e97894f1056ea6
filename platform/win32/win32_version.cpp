#include <cstring>

#include "platform/win32/text.h"
#include "platform/win32/win32_services.h"

std::uint32_t Win32Version::GetFileVersionInfoSizeW(const std::u16string& path)
{
    if (!m_getSize) return ::SetLastError(ERROR_PROC_NOT_FOUND), 0;
    DWORD ignored = 0;
    return m_getSize(Wide(path), &ignored);
}

bool Win32Version::GetFileVersionInfoW(const std::u16string& path, std::span<std::byte> block)
{
    if (!m_getInfo) return ::SetLastError(ERROR_PROC_NOT_FOUND), false;
    return m_getInfo(Wide(path), 0, static_cast<DWORD>(block.size()), block.data()) != FALSE;
}

bool Win32Version::VerQueryValueW(std::span<const std::byte> block, const std::u16string& subBlock,
                                  VsFixedFileInfo& fixedInfo)
{
    if (!m_query) return ::SetLastError(ERROR_PROC_NOT_FOUND), false;
    void* value = nullptr;
    UINT length = 0;
    if (!m_query(block.data(), Wide(subBlock), &value, &length) || !value ||
        length < sizeof(VS_FIXEDFILEINFO))
        return false;
    VS_FIXEDFILEINFO info;
    std::memcpy(&info, value, sizeof info);
    fixedInfo = {info.dwSignature,     info.dwStrucVersion,     info.dwFileVersionMS,
                 info.dwFileVersionLS, info.dwProductVersionMS, info.dwProductVersionLS,
                 info.dwFileFlagsMask, info.dwFileFlags,        info.dwFileOS,
                 info.dwFileType,      info.dwFileSubtype,      info.dwFileDateMS,
                 info.dwFileDateLS};
    return true;
}
