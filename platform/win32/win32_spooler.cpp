#include <memory>
#include <new>

#include "platform/win32/text.h"
#include "platform/win32/win32_services.h"

bool Win32Spooler::EnumPortsW(std::uint32_t level, std::uint32_t bufferBytes,
                              std::vector<PortInfo1>& ports, std::uint32_t& bytesNeeded,
                              std::uint32_t& returned)
{
    returned = 0;
    if (!m_enumPorts) return ::SetLastError(ERROR_PROC_NOT_FOUND), false;
    std::unique_ptr<BYTE[]> buffer(bufferBytes ? new (std::nothrow) BYTE[bufferBytes]() : nullptr);
    if (bufferBytes && !buffer) return ::SetLastError(ERROR_NOT_ENOUGH_MEMORY), false;
    DWORD needed = 0, count = 0;
    const BOOL listed = m_enumPorts(nullptr, level, buffer.get(), bufferBytes, &needed, &count);
    bytesNeeded = needed;
    if (!listed) return false;
    const auto* records = reinterpret_cast<const PORT_INFO_1W*>(buffer.get());
    ports.clear();
    for (DWORD i = 0; i < count; ++i) ports.push_back({FromWide(records[i].pName)});
    returned = count;
    return true;
}
