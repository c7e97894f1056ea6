#pragma once
// The print spooler of the simulated Windows: its ports and its printers, and the print-UI
// entry point that installs printers and shows their properties.

#include <string>
#include <vector>

#include "platform/sim/context.h"
#include "platform/sim/world.h"
#include "platform/spooler.h"

namespace sim {

struct Printer {
    std::u16string name;
    std::u16string driver;
    std::u16string port;
};

class SimSpooler : public Spooler {
public:
    SimSpooler(Context& context, const World& world) : m_ctx(context), m_world(world) {}

    bool EnumPortsW(std::uint32_t level, std::span<std::byte> buffer, std::vector<PortInfo1>& ports,
                    std::uint32_t& bytesNeeded, std::uint32_t& returned) override;

    const std::vector<Printer>& Printers() const { return m_printers; }
    void AddPrinter(Printer printer) { m_printers.push_back(std::move(printer)); }

private:
    Context& m_ctx;
    const World& m_world;
    std::vector<Printer> m_printers;
};

}  // namespace sim
