#include "platform/sim/sim_spooler.h"

namespace sim {

bool SimSpooler::EnumPortsW(std::uint32_t level, std::span<std::byte> buffer,
                            std::vector<PortInfo1>& ports, std::uint32_t& bytesNeeded,
                            std::uint32_t& returned)
{
    returned = 0;
    if (m_ctx.Faulted("EnumPortsW")) return false;
    if (level != 1) return m_ctx.Fail(kErrorInvalidParameter);
    std::vector<PortInfo1> all;
    for (const std::u16string& name : m_world.ports) all.push_back({name});
    bytesNeeded = PortInfo1Bytes(all);
    if (buffer.size() < bytesNeeded) return m_ctx.Fail(kErrorInsufficientBuffer);
    ports = std::move(all);
    returned = static_cast<std::uint32_t>(ports.size());
    return true;
}

}  // namespace sim
