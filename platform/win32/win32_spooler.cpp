#include "platform/win32/text.h"
#include "platform/win32/win32_services.h"

bool Win32Spooler::EnumPortsW(std::uint32_t level, std::span<std::byte> buffer,
                              std::vector<PortInfo1>& ports, std::uint32_t& bytesNeeded,
                              std::uint32_t& returned)
{
    returned = 0;
    if (!m_enumPorts) return ::SetLastError(ERROR_PROC_NOT_FOUND), false;
    // The caller's block is the buffer Windows fills with the records and their names.
    auto* bytes = buffer.empty() ? nullptr : reinterpret_cast<BYTE*>(buffer.data());
    DWORD needed = 0, count = 0;
    const BOOL listed =
        m_enumPorts(nullptr, level, bytes, static_cast<DWORD>(buffer.size()), &needed, &count);
    bytesNeeded = needed;
    if (!listed) return false;
    const auto* records = reinterpret_cast<const PORT_INFO_1W*>(bytes);
    ports.clear();
    for (DWORD i = 0; i < count; ++i) ports.push_back({FromWide(records[i].pName)});
    returned = count;
    return true;
}
