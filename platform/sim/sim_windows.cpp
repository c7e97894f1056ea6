#include "platform/sim/sim_windows.h"

namespace sim {

namespace {

UsbDevice DeviceFrom(const UsbDeviceSetup& setup, std::string name)
{
    UsbDevice device;
    device.name = std::move(name);
    device.devicePath = setup.devicePath ? *setup.devicePath
                                         : UsbPrintDevicePath(setup.vendor, setup.product,
                                                              setup.instance, setup.upperCaseIds);
    device.plugged = setup.plugged;
    device.on = setup.on;
    device.heldByOtherProgram = setup.heldByOtherProgram;
    device.detailError = setup.detailError;
    return device;
}

}  // namespace

SimWindows::SimWindows(World worldSetup, ProgramResources resources)
    : world(std::move(worldSetup)), user(context, world, std::move(resources))
{
    const auto addMachine = [this] {
        UsbDevice device = DeviceFrom(*world.machine, "machine");
        device.machine = std::make_shared<EngravingMachine>(context, world.machine->behaviour);
        m_machine = usb.Add(std::move(device));
    };
    if (world.machine && world.machineFirst) addMachine();
    for (const UsbDeviceSetup& printer : world.otherPrinters)
        usb.Add(
            DeviceFrom(printer, "printer " + Utf8(printer.vendor) + ":" + Utf8(printer.product)));
    if (world.machine && !world.machineFirst) addMachine();
    user.waitForInputIdle = [this](Handle process, std::uint32_t timeoutMs) {
        return kernel.WaitForInputIdle(process, timeoutMs);
    };
}

void SimWindows::At(std::uint64_t timeMs, DialogInput::Kind kind, int control)
{
    user.Queue({timeMs, kind, control, {}});
}

void SimWindows::Call(std::uint64_t timeMs, std::function<void()> step)
{
    user.Queue({timeMs, DialogInput::Kind::Call, 0, std::move(step)});
}

void SimWindows::At(std::uint64_t timeMs, MachineAction action)
{
    context.clock.At(timeMs, [this, action] {
        if (!m_machine) {
            context.log.Add("world", "no machine in this world");
            return;
        }
        switch (action) {
            case MachineAction::Plug: usb.Plug(*m_machine, true); break;
            case MachineAction::Unplug: usb.Plug(*m_machine, false); break;
            case MachineAction::SwitchOn: usb.Power(*m_machine, true); break;
            case MachineAction::SwitchOff: usb.Power(*m_machine, false); break;
        }
    });
}

UsbDevice* SimWindows::Machine()
{
    return m_machine ? &usb.Device(*m_machine) : nullptr;
}

}  // namespace sim
