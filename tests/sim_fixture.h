#pragma once
// Helpers shared by the tests: worlds, whole runs of the installer, and questions about what the
// run showed.

#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/install_app.h"
#include "app/install_dlg.h"
#include "app/resources/resource.h"
#include "framework/app.h"
#include "platform/sim/sim_windows.h"
#include "simulator/installer_run.h"

namespace testing_support {

using Kind = sim::DialogInput::Kind;
using sim::MachineAction;

// A world with the machine plugged in and switched on.
inline sim::World WorldWithMachine()
{
    sim::World world;
    world.machine.emplace();
    return world;
}

// The bytes of a file of the kit folder.
inline std::vector<std::byte> KitFile(const std::string& name)
{
    std::ifstream in(std::string(QX_SOURCE_DIR) + "/kit/" + name, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::byte> out(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) out[i] = std::byte(bytes[i]);
    return out;
}

// The world with the kit's INF in the set-up folder, as a technician's copy of the kit has it.
inline sim::World WithKit(sim::World world)
{
    if (const std::optional<std::u16string> folder = SetupFolderOf(world.installerPath)) {
        std::u16string path = *folder;
        if (!path.ends_with(u'\\')) path += u'\\';
        world.files.push_back(
            {path + u"QX_Lumenthread.inf", KitFile("QX_Lumenthread.inf"), {}, false});
    }
    return world;
}

// The texts of the message boxes shown, as "[caption] text".
inline std::vector<std::string> BoxTexts(const sim::SimWindows& windows)
{
    std::vector<std::string> boxes;
    for (const sim::Event& e : windows.Events())
        if (e.kind == "box" && e.text != "OK pressed") boxes.push_back(e.text);
    return boxes;
}

// One simulated Windows and the run of the installer in it, the kit's INF in its set-up folder.
class InstallerRun {
public:
    explicit InstallerRun(sim::World world = {})
        : windows(WithKit(std::move(world)), InstallerResources())
    {
    }

    int Run()
    {
        exitCode = RunInstaller(windows);
        return exitCode;
    }

    // The events of one kind, optionally about one control.
    std::vector<sim::Event> Events(const std::string& kind, int control = 0) const
    {
        std::vector<sim::Event> found;
        for (const sim::Event& event : windows.Events())
            if (event.kind == kind && (control == 0 || event.control == control))
                found.push_back(event);
        return found;
    }

    // When the first event of a kind (about a control, with a text) happened.
    std::optional<std::uint64_t> TimeOf(const std::string& kind, int control = 0,
                                        const std::string& text = "") const
    {
        for (const sim::Event& event : windows.Events())
            if (event.kind == kind && (control == 0 || event.control == control) &&
                (text.empty() || event.text == text))
                return event.timeMs;
        return std::nullopt;
    }

    const sim::SimUser::Control& Control(int id) const
    {
        const sim::SimUser::Control* control = windows.user.FindControl(id);
        EXPECT_NE(control, nullptr) << "control " << id;
        static const sim::SimUser::Control none;
        return control ? *control : none;
    }

    std::u16string Text(int id) const { return Control(id).text; }
    const sim::SimUser::Dialog& Dialog() const { return *windows.user.LastDialog(); }

    // Nothing the installer opened or allocated is left behind.
    void ExpectNothingLeftOpen() const
    {
        EXPECT_EQ(windows.kernel.OpenHandles(), 0u);
        EXPECT_EQ(windows.kernel.LiveMemoryBlocks(), 0u);
        EXPECT_EQ(windows.usb.OpenDeviceInfoSets(), 0u);
    }

    sim::SimWindows windows;
    int exitCode = -100;
};

// A USB installation in which the technician does everything when asked: the machine is on at
// Next (1 s), switched off at 2.5 s, on at 8 s, off again at 54.5 s and on at 57 s.
inline void ScriptUsbInstallation(InstallerRun& run)
{
    run.windows.At(1000, Kind::Press, IDC_NEXT);
    run.windows.At(2500, MachineAction::SwitchOff);
    run.windows.At(8000, MachineAction::SwitchOn);
    run.windows.At(54500, MachineAction::SwitchOff);
    run.windows.At(57000, MachineAction::SwitchOn);
}

// The installer's dialog while it runs, for steps a test takes in the middle of a run.
inline CInstallDlg& RunningDialog()
{
    return *static_cast<CInstallDlg*>(AfxGetApp()->m_pMainWnd);
}

inline std::string Utf8(const std::u16string& text)
{
    return sim::Utf8(text);
}

}  // namespace testing_support
