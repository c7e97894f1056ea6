// The installer's dialog: language, title, start states, radio buttons and painting.

#include "tests/sim_fixture.h"

using namespace testing_support;

namespace {

const int kStepLines[] = {IDC_STEP1, IDC_STEP2, IDC_STEP3, IDC_STEP4,
                          IDC_STEP5, IDC_STEP6, IDC_STEP7};

// Runs the dialog until the user cancels it at 1 s.
InstallerRun& ShownAndCancelled(InstallerRun& run)
{
    run.windows.At(1000, Kind::Press, kIdCancel);
    run.Run();
    return run;
}

struct LanguageCase {
    std::uint16_t langId;
    InstallTexts (*texts)();
    int banner;
};

class Language : public ::testing::TestWithParam<LanguageCase> {};

TEST_P(Language, ChoosesTextsAndBannerByThePrimaryLanguage)
{
    sim::World world;
    world.userLangId = GetParam().langId;
    InstallerRun run(world);
    ShownAndCancelled(run);

    const InstallTexts texts = GetParam().texts();
    EXPECT_EQ(run.Text(kIdCancel), texts.strCancel);
    EXPECT_EQ(run.Text(IDC_NEXT), texts.strNext);
    EXPECT_EQ(run.Text(IDC_PORT_OTHER), texts.strOther);
    EXPECT_EQ(run.Text(IDC_PORT_USB), u"USB");
    EXPECT_EQ(run.Text(IDC_PORT_GROUP), texts.strPortType);
    EXPECT_EQ(run.Text(IDC_REMINDER), texts.strReminder);
    EXPECT_EQ(run.Control(IDC_BANNER).imageId, GetParam().banner);
}

INSTANTIATE_TEST_SUITE_P(
    Locales, Language,
    ::testing::Values(LanguageCase{0x040C, FrenchTexts, IDB_BANNER_FR},   // France
                      LanguageCase{0x0C0C, FrenchTexts, IDB_BANNER_FR},   // Canada
                      LanguageCase{0x100C, FrenchTexts, IDB_BANNER_FR},   // Switzerland
                      LanguageCase{0x0804, ChineseTexts, IDB_BANNER_ZH},  // simplified
                      LanguageCase{0x0404, ChineseTexts, IDB_BANNER_ZH},  // traditional
                      LanguageCase{0x0C04, ChineseTexts, IDB_BANNER_ZH},  // Hong Kong
                      LanguageCase{0x0409, EnglishTexts, IDB_BANNER_EN},
                      LanguageCase{0x0809, EnglishTexts, IDB_BANNER_EN},
                      LanguageCase{0x0407, EnglishTexts, IDB_BANNER_EN},  // German
                      LanguageCase{0x0C0A, EnglishTexts, IDB_BANNER_EN},  // Spanish
                      LanguageCase{0x0000, EnglishTexts, IDB_BANNER_EN}));

TEST(Texts, EveryLanguageHasAllThirteenTextsAndStepTextsBeginWithTheMarker)
{
    for (InstallTexts (*language)() : {FrenchTexts, EnglishTexts, ChineseTexts}) {
        const InstallTexts t = language();
        for (const std::u16string* text :
             {&t.strCancel, &t.strPortType, &t.strNext, &t.strOther, &t.strReminder})
            EXPECT_FALSE(text->empty());
        for (const std::u16string* step :
             {&t.strDeleting, &t.strFirmware, &t.strPreparing, &t.strInstalling, &t.strConnect,
              &t.strSelectPort, &t.strSwitchOff, &t.strSwitchOn})
            EXPECT_TRUE(step->starts_with(u">   ")) << Utf8(*step);
    }
    EXPECT_NE(ChineseTexts().strReminder.find(u"setup.exe"), std::u16string::npos);
}

TEST(Texts, StepTextsReadAsTheyShouldInEachLanguage)
{
    EXPECT_EQ(FrenchTexts().strSwitchOff, u">   Mettre la machine hors tension");
    EXPECT_EQ(FrenchTexts().strPreparing, u">   Préparation de l'installation ...");
    EXPECT_EQ(EnglishTexts().strConnect, u">   Connect the machine to the port, switch it on");
    EXPECT_EQ(EnglishTexts().strFirmware, u">   Firmware update ...");
    EXPECT_EQ(ChineseTexts().strSwitchOn, u">   开闭机器");
    EXPECT_EQ(ChineseTexts().strSelectPort, u">   点击下一步，选择与机器通信的端口");
}

struct TitleCase {
    std::array<std::uint16_t, 4> version;
    const char16_t* title;
};

class Title : public ::testing::TestWithParam<TitleCase> {};

TEST_P(Title, ShowsTheLowBytesOfTheLastThreeVersionFields)
{
    sim::World world;
    world.version.productVersion = GetParam().version;
    InstallerRun run(world);
    ShownAndCancelled(run);
    EXPECT_EQ(run.Dialog().title, GetParam().title);
}

INSTANTIATE_TEST_SUITE_P(Versions, Title,
                         ::testing::Values(TitleCase{{0, 1, 3, 6}, u"QX Lumenthread Setup 1.36"},
                                           TitleCase{{0, 2, 14, 3}, u"QX Lumenthread Setup 2.143"},
                                           TitleCase{{0, 300, 1, 2}, u"QX Lumenthread Setup 44.12"},
                                           TitleCase{{9, 0, 0, 0}, u"QX Lumenthread Setup 0.00"},
                                           TitleCase{{0, 255, 256, 257},
                                                     u"QX Lumenthread Setup 255.01"}));

TEST(Title, StaysInstallWhenTheVersionRecordCannotBeRead)
{
    const std::vector<std::pair<std::string, std::function<void(InstallerRun&)>>> cases{
        {"no record", [](InstallerRun&) {}},
        {"malformed record", [](InstallerRun&) {}},
        {"size query fails",
         [](InstallerRun& r) { r.windows.context.faults.Fail("GetFileVersionInfoSizeW", 1813); }},
        {"no memory",
         [](InstallerRun& r) {
             r.windows.context.faults.Fail("GlobalAlloc", kErrorNotEnoughMemory);
         }},
        {"read fails",
         [](InstallerRun& r) {
             r.windows.context.faults.Fail("GetFileVersionInfoW", kErrorAccessDenied);
         }},
        {"query fails",
         [](InstallerRun& r) {
             r.windows.context.faults.Fail("VerQueryValueW", kErrorInvalidData);
         }},
    };
    for (const auto& [name, setUp] : cases) {
        SCOPED_TRACE(name);
        sim::World world;
        world.version.present = name != "no record";
        world.version.malformed = name == "malformed record";
        InstallerRun run(world);
        setUp(run);
        ShownAndCancelled(run);
        EXPECT_EQ(run.Dialog().title, u"Install");
        EXPECT_EQ(run.windows.user.MessageBoxesShown(), 0);
        run.ExpectNothingLeftOpen();
    }
}

TEST(StartState, InteractiveHasEveryControlEnabledAndUsbChecked)
{
    InstallerRun run;
    run.windows.Call(500, [&] {
        EXPECT_EQ(RunningDialog().m_nStep, 1);
        EXPECT_TRUE(RunningDialog().m_bUsbPort);
        EXPECT_FALSE(RunningDialog().m_bSilent);
        EXPECT_FALSE(run.windows.user.TimerPending(1));
    });
    ShownAndCancelled(run);
    for (const int id : {IDC_PORT_USB, IDC_PORT_OTHER, IDC_NEXT, kIdCancel})
        EXPECT_TRUE(run.Control(id).enabled) << id;
    EXPECT_TRUE(run.Control(IDC_PORT_USB).checked);
    EXPECT_FALSE(run.Control(IDC_PORT_OTHER).checked);
    for (const int line : kStepLines) EXPECT_EQ(run.Text(line), u"") << line;
    EXPECT_EQ(run.Dialog().bigIcon.value, run.Dialog().smallIcon.value);
    EXPECT_TRUE(run.Dialog().bigIcon);
}

struct ArgumentsCase {
    const char16_t* arguments;
    bool silent;
};

class SilentArgument : public ::testing::TestWithParam<ArgumentsCase> {};

TEST_P(SilentArgument, IsTheWholeArgumentTextInAnyCase)
{
    sim::World world;
    world.arguments = GetParam().arguments;
    InstallerRun run(world);
    run.windows.At(1000, Kind::Press, kIdCancel);  // ends an interactive start
    run.Run();
    EXPECT_EQ(run.Control(kIdCancel).enabled, !GetParam().silent);
    EXPECT_EQ(run.exitCode, GetParam().silent ? kExitInstalled : kExitCancelled);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, SilentArgument,
    ::testing::Values(ArgumentsCase{u"silent", true}, ArgumentsCase{u"SILENT", true},
                      ArgumentsCase{u"Silent", true}, ArgumentsCase{u"sIlEnT", true},
                      ArgumentsCase{u"silent ", false}, ArgumentsCase{u"/silent", false},
                      ArgumentsCase{u"-silent", false}, ArgumentsCase{u"\"silent\"", false},
                      ArgumentsCase{u"silent now", false}, ArgumentsCase{u"silentt", false},
                      ArgumentsCase{u"", false}));

TEST(SilentArgument, BlanksBetweenTheProgramAndTheArgumentDoNotCount)
{
    for (const char16_t* line :
         {u"\"C:\\Kit\\Driver\\Install.exe\"    silent", u"C:\\Kit\\Driver\\Install.exe\tsilent"}) {
        sim::World world;
        world.commandLine = line;
        InstallerRun run(world);
        EXPECT_EQ(run.Run(), kExitInstalled) << Utf8(line);
    }
}

TEST(StartState, SilentDisablesTheFourControlsSoNoneCanBeOperated)
{
    sim::World world;
    world.arguments = u"silent";
    InstallerRun run(world);
    for (const int id : {IDC_PORT_USB, IDC_PORT_OTHER, IDC_NEXT, kIdCancel})
        run.windows.At(100, Kind::Press, id);
    run.windows.At(200, Kind::Close);
    run.windows.At(300, Kind::Enter);
    run.Run();
    for (const int id : {IDC_PORT_USB, IDC_PORT_OTHER, IDC_NEXT, kIdCancel})
        EXPECT_FALSE(run.Control(id).enabled) << id;
    EXPECT_TRUE(run.Control(IDC_PORT_USB).checked);
    EXPECT_EQ(run.Events("ignored").size(), 5u);
    // Enter reaches the dialog as IDOK, but only the sequence ends it: after the staging.
    EXPECT_EQ(run.TimeOf("dialog", 0, "ended with OK"), 1000u);
    EXPECT_EQ(run.exitCode, kExitInstalled);
}

TEST(Keyboard, EnterAfterNextHasLostTheFocusDoesNotEndTheInstallation)
{
    InstallerRun run(WorldWithMachine());
    run.windows.At(1000, Kind::Press, IDC_NEXT);
    run.windows.At(1500, Kind::Enter);
    run.windows.At(2500, Kind::Close);
    run.Run();
    EXPECT_EQ(run.Dialog().result, kIdCancel);
}

TEST(RadioButtons, OnlyAClickOnTheOtherButtonMovesTheCheck)
{
    InstallerRun run;
    run.windows.At(100, Kind::Press, IDC_PORT_USB);  // already chosen: nothing
    run.windows.Call(150, [] { EXPECT_TRUE(RunningDialog().m_bUsbPort); });
    run.windows.At(200, Kind::Press, IDC_PORT_OTHER);
    run.windows.Call(250, [] { EXPECT_FALSE(RunningDialog().m_bUsbPort); });
    run.windows.At(300, Kind::Press, IDC_PORT_OTHER);  // already chosen: nothing
    run.windows.At(400, Kind::Press, IDC_PORT_USB);
    run.windows.Call(450, [] { EXPECT_TRUE(RunningDialog().m_bUsbPort); });
    ShownAndCancelled(run);

    std::vector<std::pair<std::string, int>> changes;
    for (const sim::Event& event : run.windows.Events())
        if ((event.kind == "check" || event.kind == "uncheck") && event.timeMs > 0)
            changes.emplace_back(event.kind, event.control);
    const std::vector<std::pair<std::string, int>> expected{
        {"uncheck", IDC_PORT_USB},
        {"check", IDC_PORT_OTHER},  // at 200 ms
        {"check", IDC_PORT_USB},
        {"uncheck", IDC_PORT_OTHER}  // at 400 ms
    };
    EXPECT_EQ(changes, expected);
}

TEST(Keyboard, EnterRightAfterTheDialogShowsActivatesCancel)
{
    InstallerRun run;
    run.windows.At(100, Kind::Enter);
    EXPECT_EQ(run.Run(), kExitCancelled);
    EXPECT_EQ(run.Dialog().result, kIdCancel);
}

TEST(Keyboard, CloseAndEscapeReachCancelWhileItIsEnabled)
{
    InstallerRun run;
    run.windows.At(100, Kind::Close);
    EXPECT_EQ(run.Run(), kExitCancelled);
}

TEST(MissingResources, LeaveThePictureEmptyAndTheWindowWithoutIconUnreported)
{
    sim::World world;
    world.missingResources = {IDB_BANNER_EN, IDR_MAINFRAME};
    InstallerRun run(world);
    ShownAndCancelled(run);
    EXPECT_EQ(run.Control(IDC_BANNER).imageId, 0);
    EXPECT_FALSE(run.Dialog().bigIcon);
    EXPECT_FALSE(run.Dialog().smallIcon);
    EXPECT_EQ(run.windows.user.MessageBoxesShown(), 0);
}

TEST(Painting, AMinimisedWindowDrawsItsIconCentred)
{
    InstallerRun run;
    run.windows.At(100, Kind::Minimise);
    run.windows.At(200, Kind::Restore);
    ShownAndCancelled(run);
    // The simulated minimised window has a 37 x 36 client area and 32 x 32 icons.
    const std::vector<sim::Event> paints = run.Events("paint");
    ASSERT_EQ(paints.size(), 2u);
    EXPECT_EQ(paints[0].text, "icon background erased");
    EXPECT_EQ(paints[1].text, "icon 128 drawn at (3, 2)");
}

TEST(Painting, DragIconIsTheApplicationIcon)
{
    InstallerRun run;
    run.windows.Call(100, [&] {
        const std::intptr_t icon =
            run.windows.user.SendMessageW(RunningDialog().m_hWnd, kWmQueryDragIcon, 0, 0);
        EXPECT_EQ(static_cast<std::uintptr_t>(icon), RunningDialog().m_hIcon.value);
        EXPECT_NE(icon, 0);
    });
    ShownAndCancelled(run);
}

}  // namespace
