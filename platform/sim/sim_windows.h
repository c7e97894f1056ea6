#pragma once
// The simulated Windows as a whole: one world, one clock, and the services the installer calls.

#include <optional>

#include "platform/services.h"
#include "platform/sim/context.h"
#include "platform/sim/sim_kernel.h"
#include "platform/sim/sim_setupapi.h"
#include "platform/sim/sim_spooler.h"
#include "platform/sim/sim_user.h"
#include "platform/sim/sim_version.h"
#include "platform/sim/usb_bus.h"
#include "platform/sim/world.h"

namespace sim {

// What a person does to the machine at a virtual time.
enum class MachineAction { Plug, Unplug, SwitchOn, SwitchOff };

class SimWindows {
public:
    SimWindows(World world, ProgramResources resources);
    SimWindows(const SimWindows&) = delete;
    SimWindows& operator=(const SimWindows&) = delete;

    // Timeline: inputs to the dialog, and what happens to the machine.
    void At(std::uint64_t timeMs, DialogInput::Kind kind, int control = 0);
    void Call(std::uint64_t timeMs, std::function<void()> step);
    void At(std::uint64_t timeMs, MachineAction action);

    const std::vector<Event>& Events() const { return context.log.Events(); }
    // The machine on the bus, when the world has one.
    UsbDevice* Machine();
    EngravingMachine& MachineModel() { return *Machine()->machine; }

    const World world;
    Context context;
    UsbBus usb{context};
    SimSpooler spooler{context, world};
    SimKernel kernel{context, world, usb, spooler};
    SimUser user;
    SimVersion version{context, world};
    SimSetupApi setupApi{context, world, usb, kernel};
    Windows windows{kernel, user, version, setupApi, spooler};

private:
    std::optional<std::size_t> m_machine;
};

}  // namespace sim
