#include "simulator/transcript.h"

#include <cstdio>
#include <map>

#include "app/resources/resource.h"

std::string ControlName(int controlId)
{
    static const std::map<int, std::string> names{
        {2, "Cancel"},
        {IDC_PORT_GROUP, "port group"},
        {IDC_PORT_USB, "USB"},
        {IDC_PORT_OTHER, "Other"},
        {IDC_STEP1, "step line 1"},
        {IDC_STEP2, "step line 2"},
        {IDC_STEP3, "step line 3"},
        {IDC_STEP4, "step line 4"},
        {IDC_STEP5, "step line 5"},
        {IDC_STEP6, "step line 6"},
        {IDC_STEP7, "step line 7"},
        {IDC_NEXT, "Next"},
        {IDC_BANNER, "banner"},
        {IDC_REMINDER, "reminder"},
    };
    const auto it = names.find(controlId);
    return it == names.end() ? "control " + std::to_string(controlId) : it->second;
}

namespace {

std::string Seconds(std::uint64_t ms)
{
    char text[32];
    std::snprintf(text, sizeof text, "%9.3f s", static_cast<double>(ms) / 1000.0);
    return text;
}

std::string Padded(std::string text, std::size_t width)
{
    if (text.size() < width) text.resize(width, ' ');
    return text;
}

}  // namespace

std::string FormatEvent(const sim::Event& event)
{
    std::string what = event.text;
    if (event.kind == "caption") {
        what = ControlName(event.control) + ": \"" + event.text + "\"";
    } else if (event.control != 0) {
        what = ControlName(event.control);
        if (event.kind == "banner") what += ": " + event.text;
    }
    return Seconds(event.timeMs) + "  " + Padded(event.kind, 10) + " " + what + "\n";
}

std::string Transcript(sim::SimWindows& windows, int exitCode)
{
    const sim::World& world = windows.world;
    std::string out = "Install.exe on a simulated Windows\n";
    out += "  installer     " + sim::Utf8(world.installerPath) + "\n";
    out += "  command line  " + sim::Utf8(windows.kernel.GetCommandLineW()) + "\n\n";
    for (const sim::Event& event : windows.Events()) out += FormatEvent(event);

    out += "\nSummary\n";
    const sim::SimUser::Dialog* dialog = windows.user.LastDialog();
    std::string ending = "never shown";
    if (dialog)
        ending = !dialog->ended            ? "still open when the simulation stopped"
                 : dialog->result == kIdOk ? "ended with OK"
                                           : "ended with Cancel";
    out += "  dialog        " + ending + "\n";
    out += "  exit code     " + std::to_string(exitCode) + "\n";
    if (dialog) {
        out += "  title         " + sim::Utf8(dialog->title) + "\n";
        for (const int id :
             {IDC_STEP1, IDC_STEP2, IDC_STEP3, IDC_STEP4, IDC_STEP5, IDC_STEP6, IDC_STEP7}) {
            const sim::SimUser::Control* line = windows.user.FindControl(id);
            if (!line || line->text.empty()) continue;
            out += "  " + Padded(ControlName(id), 13) + " " + (line->enabled ? "" : "(grey) ") +
                   sim::Utf8(line->text) + "\n";
        }
    }
    out += "  working dir   " + sim::Utf8(windows.kernel.CurrentDirectory()) + "\n";
    if (const sim::UsbDevice* machine = windows.Machine()) {
        out += std::string("  machine       ") + (machine->plugged ? "plugged in" : "unplugged") +
               ", " + (machine->on ? "switched on" : "switched off") + "\n";
        const sim::EngravingMachine& model = *machine->machine;
        out +=
            "  firmware      " +
            (model.FirmwareBytes() ? std::to_string(model.FirmwareBytes()) + " bytes in " +
                                         std::to_string(model.FirmwareWrites().size()) + " writes"
                                   : std::string("none received")) +
            "\n";
    } else {
        out += "  machine       none\n";
    }
    for (const sim::Printer& printer : windows.spooler.Printers())
        out += "  printer       \"" + sim::Utf8(printer.name) + "\" on " + sim::Utf8(printer.port) +
               "\n";
    for (const sim::FileSetup& file : windows.kernel.Files())
        if (file.path.starts_with(sim::SimSetupApi::kInfFolder) && file.path.ends_with(u".inf"))
            out += "  driver store  " + sim::Utf8(file.path) + "\n";
    out += "  left open     " + std::to_string(windows.kernel.OpenHandles()) + " handles, " +
           std::to_string(windows.kernel.LiveMemoryBlocks()) + " memory blocks, " +
           std::to_string(windows.usb.OpenDeviceInfoSets()) + " device information sets\n";
    out += "  virtual time  " + Seconds(windows.context.clock.Now()) + "\n";
    return out;
}
