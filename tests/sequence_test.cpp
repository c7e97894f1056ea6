// The installation sequence under virtual time: both modes through their states, with their
// intervals, the order in which step lines grey, and Cancel in every state.

#include <algorithm>

#include "tests/sim_fixture.h"

using namespace testing_support;

namespace {

const int kStepLines[] = {IDC_STEP1, IDC_STEP2, IDC_STEP3, IDC_STEP4,
                          IDC_STEP5, IDC_STEP6, IDC_STEP7};

std::vector<std::pair<int, std::uint64_t>> GreyedLines(const InstallerRun& run)
{
    std::vector<std::pair<int, std::uint64_t>> greyed;
    for (const sim::Event& event : run.Events("disable"))
        if (std::ranges::find(kStepLines, event.control) != std::end(kStepLines))
            greyed.emplace_back(event.control, event.timeMs);
    return greyed;
}

TEST(UsbSequence, GoesThroughEveryStateWithItsIntervals)
{
    InstallerRun run(WorldWithMachine());
    ScriptUsbInstallation(run);
    run.windows.At(2000, Kind::Press, IDC_NEXT);  // Next stays disabled for the whole run
    EXPECT_EQ(run.Run(), kExitInstalled);

    const InstallTexts texts = EnglishTexts();
    const auto shown = [&](int line, const std::u16string& text) {
        return run.TimeOf("caption", line, Utf8(text));
    };
    EXPECT_EQ(shown(IDC_STEP1, texts.strSwitchOff), 1000u);  // state 1, machine found
    EXPECT_EQ(shown(IDC_STEP2, texts.strDeleting), 4000u);   // first poll without it at 3 s
    EXPECT_EQ(shown(IDC_STEP3, texts.strPreparing), 4500u);
    EXPECT_EQ(shown(IDC_STEP4, texts.strConnect), 5000u);     // then polls at 11 s
    EXPECT_EQ(shown(IDC_STEP5, texts.strFirmware), 11000u);   // transfer at 17 s
    EXPECT_EQ(shown(IDC_STEP6, texts.strSwitchOff), 52000u);  // status 35 s after it
    EXPECT_EQ(shown(IDC_STEP7, texts.strSwitchOn), 56000u);   // machine gone at the 55 s poll
    EXPECT_EQ(run.TimeOf("dialog", 0, "ended with OK"), 57000u);

    const std::vector<std::pair<int, std::uint64_t>> greyed{{IDC_STEP1, 4000},  {IDC_STEP2, 4500},
                                                            {IDC_STEP3, 5000},  {IDC_STEP4, 11000},
                                                            {IDC_STEP5, 52000}, {IDC_STEP6, 56000}};
    EXPECT_EQ(GreyedLines(run), greyed);

    for (const int id : {IDC_PORT_USB, IDC_PORT_OTHER, IDC_NEXT}) {
        EXPECT_EQ(run.TimeOf("disable", id), 1000u);
        EXPECT_FALSE(run.TimeOf("enable", id).has_value());
    }
    EXPECT_TRUE(run.Control(kIdCancel).enabled);
    EXPECT_TRUE(run.Control(IDC_STEP7).enabled);
    EXPECT_EQ(run.Events("ignored", IDC_NEXT).size(), 1u);
    run.ExpectNothingLeftOpen();
}

TEST(UsbSequence, WithoutAMachineLineOneStaysEmptyAndTheRemovalFollowsOneSecondLater)
{
    InstallerRun run;
    run.windows.At(1000, Kind::Press, IDC_NEXT);
    run.windows.At(3000, Kind::Press, kIdCancel);
    run.Run();
    EXPECT_FALSE(run.TimeOf("caption", IDC_STEP1).has_value());
    EXPECT_EQ(run.TimeOf("disable", IDC_STEP1), 2000u);
    EXPECT_EQ(run.TimeOf("caption", IDC_STEP2), 2000u);
}

TEST(UsbSequence, LineOneAsksForTheSwitchOffForAsLongAsTheMachineIsFound)
{
    InstallerRun run(WorldWithMachine());
    run.windows.At(1000, Kind::Press, IDC_NEXT);
    run.windows.At(9400, MachineAction::Unplug);
    run.windows.At(20000, Kind::Press, kIdCancel);
    run.Run();
    EXPECT_EQ(run.Events("usb").size(), 9u);  // polls at 1 s to 9 s all find it
    EXPECT_EQ(run.TimeOf("caption", IDC_STEP2), 11000u);
}

TEST(UsbSequence, AMachineThatCannotBeOpenedCountsAsSwitchedOff)
{
    sim::World world = WorldWithMachine();
    world.machine->heldByOtherProgram = true;
    InstallerRun run(world);
    run.windows.At(1000, Kind::Press, IDC_NEXT);
    run.windows.At(5000, Kind::Press, kIdCancel);
    run.Run();
    EXPECT_FALSE(run.TimeOf("caption", IDC_STEP1).has_value());
    EXPECT_EQ(run.TimeOf("caption", IDC_STEP2), 2000u);
}

TEST(UsbSequence, AMachineWithTheMakersNameEndsTheInstallationWithoutFirmware)
{
    sim::World world = WorldWithMachine();
    world.machine->plugged = false;
    world.machine->instance = u"7&1f00a2&0&kestr0042";
    InstallerRun run(world);
    run.windows.At(1000, Kind::Press, IDC_NEXT);
    run.windows.At(5000, MachineAction::Plug);
    EXPECT_EQ(run.Run(), kExitInstalled);
    // State 4 runs at 3 s (absent) and at 9 s (found).
    EXPECT_EQ(run.TimeOf("dialog", 0, "ended with OK"), 9000u);
    EXPECT_EQ(run.Text(IDC_STEP5), u"");
    EXPECT_TRUE(run.Control(IDC_STEP4).enabled);
    run.ExpectNothingLeftOpen();
}

TEST(UsbSequence, ATimerOtherThanTheSequencesChangesNothing)
{
    InstallerRun run;
    run.windows.At(1000, Kind::Press, IDC_NEXT);  // no machine: state 4 waits from 3 s on
    std::size_t eventsBefore = 0;
    run.windows.Call(4000, [&] {
        eventsBefore = run.windows.Events().size();
        run.windows.user.SendMessageW(RunningDialog().m_hWnd, kWmTimer, 2, 0);
        EXPECT_EQ(run.windows.Events().size(), eventsBefore);
        EXPECT_EQ(RunningDialog().m_nStep, 4);
        EXPECT_TRUE(run.windows.user.TimerPending(1));
    });
    run.windows.At(10000, Kind::Press, kIdCancel);
    run.Run();
    // The pending expiry still comes at 9 s, and is the last run before the Cancel.
    EXPECT_EQ(run.Events("timer").back().timeMs, 9000u);
    EXPECT_EQ(run.Events("timer").back().text, "timer 1 in 6000 ms");
}

struct CancelCase {
    std::uint64_t atMs;
    int state;
};

class CancelInState : public ::testing::TestWithParam<CancelCase> {};

TEST_P(CancelInState, EndsTheDialogAndNothingRunsAfterIt)
{
    InstallerRun run(WorldWithMachine());
    ScriptUsbInstallation(run);
    run.windows.Call(GetParam().atMs,
                     [&] { EXPECT_EQ(RunningDialog().m_nStep, GetParam().state); });
    run.windows.At(GetParam().atMs, Kind::Press, kIdCancel);
    EXPECT_EQ(run.Run(), kExitCancelled);
    EXPECT_EQ(run.TimeOf("dialog", 0, "ended with Cancel"), GetParam().atMs);
    for (const sim::Event& event : run.windows.Events()) {
        if (event.kind == "dialog" || event.kind == "process" || event.kind == "world") continue;
        EXPECT_LE(event.timeMs, GetParam().atMs) << event.kind << " " << event.text;
    }
    run.ExpectNothingLeftOpen();
}

INSTANTIATE_TEST_SUITE_P(States, CancelInState,
                         ::testing::Values(CancelCase{500, 1}, CancelCase{1500, 1},
                                           CancelCase{3500, 2}, CancelCase{4200, 3},
                                           CancelCase{6000, 4}, CancelCase{12000, 5},
                                           CancelCase{30000, 6}, CancelCase{53500, 7},
                                           CancelCase{56500, 8}));

TEST(SilentSequence, StagesAndEndsWithoutEverLookingForTheMachine)
{
    sim::World world = WorldWithMachine();
    world.arguments = u"silent";
    InstallerRun run(world);
    EXPECT_EQ(run.Run(), kExitInstalled);
    EXPECT_EQ(run.TimeOf("timer", 0, "timer 1 in 500 ms"), 0u);
    EXPECT_EQ(run.TimeOf("caption", IDC_STEP2), 500u);
    EXPECT_EQ(run.TimeOf("caption", IDC_STEP3), 1000u);
    EXPECT_EQ(run.TimeOf("dialog", 0, "ended with OK"), 1000u);
    EXPECT_EQ(run.Text(IDC_STEP1), u"");
    EXPECT_EQ(run.windows.usb.Enumerations(), 0);
    EXPECT_EQ(run.windows.usb.OpenAttempts(), 0);
}

TEST(OtherSequence, WithoutAPortEndsRightAfterTheRemoval)
{
    sim::World world;
    world.ports = {u"USB001", u"USB002"};
    InstallerRun run(world);
    run.windows.At(1000, Kind::Press, IDC_PORT_OTHER);
    run.windows.At(2000, Kind::Press, IDC_NEXT);
    EXPECT_EQ(run.Run(), kExitInstalled);
    const InstallTexts texts = EnglishTexts();
    EXPECT_EQ(run.TimeOf("caption", IDC_STEP1, Utf8(texts.strDeleting)), 2000u);
    EXPECT_EQ(run.TimeOf("disable", IDC_STEP1), 2000u);
    EXPECT_EQ(run.TimeOf("caption", IDC_STEP2, Utf8(texts.strInstalling)), 2000u);
    EXPECT_EQ(run.TimeOf("box", 0, "[Install] No port exists"), 2000u);
    EXPECT_EQ(run.TimeOf("dialog", 0, "ended with OK"), 4000u);  // once the box is read
    EXPECT_EQ(run.Text(IDC_STEP3), u"");
    EXPECT_TRUE(run.windows.kernel.ProcessesStarted().empty());
    EXPECT_EQ(run.windows.usb.Enumerations(), 0);
}

// Other at 1 s, Next at 2 s: the printer is installed by 6 s, when line 3 asks for Next.
void ScriptOtherInstallation(InstallerRun& run)
{
    run.windows.At(1000, Kind::Press, IDC_PORT_OTHER);
    run.windows.At(2000, Kind::Press, IDC_NEXT);
}

TEST(OtherSequence, InstallsThePrinterThenWaitsForNextAndEndsThreeSecondsAfterTheProperties)
{
    InstallerRun run;
    ScriptOtherInstallation(run);
    run.windows.At(10000, Kind::Press, IDC_NEXT);
    EXPECT_EQ(run.Run(), kExitInstalled);
    const InstallTexts texts = EnglishTexts();
    EXPECT_EQ(run.TimeOf("disable", IDC_STEP2), 6000u);  // the print-UI process has ended
    EXPECT_EQ(run.TimeOf("caption", IDC_STEP3, Utf8(texts.strSelectPort)), 6000u);
    EXPECT_EQ(run.TimeOf("enable", IDC_NEXT), 6000u);
    EXPECT_EQ(run.TimeOf("timer", 0, "timer 1 in 3000 ms"), 11500u);  // properties ready
    EXPECT_EQ(run.TimeOf("dialog", 0, "ended with OK"), 14500u);
    ASSERT_EQ(run.windows.spooler.Printers().size(), 1u);
    EXPECT_EQ(run.windows.spooler.Printers()[0].port, u"COM1:");
    EXPECT_EQ(run.windows.kernel.ProcessesStarted().size(), 2u);
    run.ExpectNothingLeftOpen();  // the properties window lives on; our handles to it do not
}

TEST(OtherSequence, AFurtherNextEndsItAtOnce)
{
    InstallerRun run;
    ScriptOtherInstallation(run);
    run.windows.At(10000, Kind::Press, IDC_NEXT);
    run.windows.At(12000, Kind::Press, IDC_NEXT);
    EXPECT_EQ(run.Run(), kExitInstalled);
    EXPECT_EQ(run.TimeOf("dialog", 0, "ended with OK"), 12000u);
    run.ExpectNothingLeftOpen();
}

}  // namespace
