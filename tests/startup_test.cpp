// Start-up: the working directory, the exit code, and what a bad module path does.

#include "app/install_app.h"
#include "tests/sim_fixture.h"

using namespace testing_support;

namespace {

struct FolderCase {
    const char16_t* modulePath;
    std::optional<std::u16string> folder;
};

class SetupFolder : public ::testing::TestWithParam<FolderCase> {};

TEST_P(SetupFolder, IsTheParentOfTheInstallersFolderWithinItsRoot)
{
    EXPECT_EQ(SetupFolderOf(GetParam().modulePath), GetParam().folder);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, SetupFolder,
    ::testing::Values(FolderCase{u"E:\\Media\\Driver\\Install.exe", u"E:\\Media"},
                      FolderCase{u"\\\\server\\share\\kit\\driver\\Install.exe",
                                 u"\\\\server\\share\\kit"},
                      FolderCase{u"C:\\A\\B\\C\\Driver\\Install.exe", u"C:\\A\\B\\C"},
                      // Never above the root, and never the drive-relative "E:".
                      FolderCase{u"E:\\Driver\\Install.exe", u"E:\\"},
                      FolderCase{u"E:\\Install.exe", u"E:\\"},
                      FolderCase{u"\\\\server\\share\\Driver\\Install.exe", u"\\\\server\\share\\"},
                      FolderCase{u"\\\\server\\share\\Install.exe", u"\\\\server\\share\\"},
                      FolderCase{u"\\\\?\\C:\\Kit\\Driver\\Install.exe", u"\\\\?\\C:\\Kit"},
                      // No folder at all: nothing to change to.
                      FolderCase{u"Install.exe", std::nullopt}, FolderCase{u"", std::nullopt}));

TEST(SetupFolder, IsNoneForAPathCutShortByTheBuffer)
{
    EXPECT_EQ(SetupFolderOf(u"C:\\Kit\\Driver\\Inst", true), std::nullopt);
}

TEST(Startup, WorksInTheParentOfItsOwnFolderWhateverDirectoryItWasStartedIn)
{
    sim::World world;
    world.installerPath = u"E:\\Media\\Driver\\Install.exe";
    world.startDirectory = u"C:\\Windows\\System32";
    InstallerRun run(world);
    run.windows.At(100, Kind::Press, kIdCancel);
    run.Run();
    EXPECT_EQ(run.windows.kernel.CurrentDirectory(), u"E:\\Media");
}

TEST(Startup, AModulePathLongerThanThePathBufferLeavesTheDirectoryAlone)
{
    sim::World world;
    world.installerPath = u"C:\\" + std::u16string(150, u'k') + u"\\" + std::u16string(150, u'd') +
                          u"\\Driver\\Install.exe";
    world.startDirectory = u"C:\\Started\\Here";
    InstallerRun run(world);
    run.windows.At(100, Kind::Press, kIdCancel);
    run.Run();
    EXPECT_EQ(run.windows.kernel.CurrentDirectory(), u"C:\\Started\\Here");
    // The cut path names no file, so the title keeps the template's caption.
    EXPECT_EQ(run.Dialog().title, u"Install");
}

TEST(Startup, AFailedChangeOfDirectoryIsNotReported)
{
    sim::World world;
    world.startDirectory = u"C:\\Started\\Here";
    InstallerRun run(world);
    run.windows.context.faults.Fail("SetCurrentDirectoryW", kErrorAccessDenied);
    run.windows.At(100, Kind::Press, kIdCancel);
    run.Run();
    EXPECT_EQ(run.windows.kernel.CurrentDirectory(), u"C:\\Started\\Here");
    EXPECT_EQ(run.windows.user.MessageBoxesShown(), 0);
    EXPECT_EQ(run.exitCode, kExitCancelled);
}

TEST(Startup, ExitCodeTellsAnInstallationFromACancel)
{
    InstallerRun cancelled;
    cancelled.windows.At(500, Kind::Press, kIdCancel);
    EXPECT_EQ(cancelled.Run(), kExitCancelled);

    sim::World silent;
    silent.arguments = u"silent";
    InstallerRun installed(silent);
    EXPECT_EQ(installed.Run(), kExitInstalled);
}

TEST(Startup, ADialogThatCannotBeCreatedEndsTheProcessAsNotInstalled)
{
    sim::World world;
    world.missingResources = {IDD_INSTALL_DIALOG};
    InstallerRun run(world);
    EXPECT_EQ(run.Run(), kExitCancelled);
    EXPECT_EQ(run.windows.user.LastDialog(), nullptr);
}

}  // namespace
