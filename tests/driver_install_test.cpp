// Driver installation: staging the INF, choosing the port, and the print-UI command lines.

#include "tests/sim_fixture.h"

using namespace testing_support;

namespace {

// A dialog over a world with the kit's INF, for calling the operations directly.
struct Install {
    explicit Install(sim::World world = {})
        : windows(WithKit(std::move(world)), InstallerResources())
    {
        windows.kernel.SetCurrentDirectoryW(u"C:\\QX Lumenthread");
        app.m_pszAppName = u"Install";
    }
    std::vector<std::string> Boxes() const { return BoxTexts(windows); }

    sim::SimWindows windows;
    CInstallApp app;
    CInstallDlg dlg{windows.windows, nullptr};
};

struct PortCase {
    std::vector<std::u16string> ports;
    std::optional<std::u16string> chosen;
};

TEST(ChoosePrinterPort, TakesCom1FirstOtherwiseTheLastPortThatIsNotUsb)
{
    const PortCase cases[] = {
        {{u"LPT1:", u"COM1:", u"COM2:"}, u"COM1:"},
        {{u"LPT1:", u"com1:"}, u"com1:"},
        {{u"COM10:", u"USB001"}, u"COM10:"},  // COM10: is not COM1:, and comes last but USB
        {{u"COM1", u"LPT1:"}, u"LPT1:"},      // COM1 without its colon is not COM1:
        {{u"LPT1:", u"FILE:", u"USB001", u"usb002"}, u"FILE:"},
        {{u"USB001", u"USB002"}, std::nullopt},
        {{}, std::nullopt},
        // A port whose name holds a double quote never goes into a command line.
        {{u"LPT1:", u"COM1:\" /x \"evil"}, u"LPT1:"},
        {{u"bad\"port"}, std::nullopt},
    };
    for (const PortCase& c : cases) {
        sim::World world;
        world.ports = c.ports;
        Install install(world);
        EXPECT_EQ(install.dlg.ChoosePrinterPort(), c.chosen)
            << Utf8(c.ports.empty() ? u"" : c.ports[0]);
        EXPECT_EQ(install.Boxes(), c.chosen ? std::vector<std::string>{}
                                            : std::vector<std::string>{"[Install] No port exists"});
        EXPECT_EQ(install.windows.kernel.LiveMemoryBlocks(), 0u);
    }
}

TEST(PrintUi, TheCommandLinesArePieceForPiece)
{
    Install install;
    install.dlg.InstallPrinterOnPort(u"COM1:");
    install.dlg.OpenPrinterProperties();
    const std::vector<std::u16string>& started = install.windows.kernel.ProcessesStarted();
    ASSERT_EQ(started.size(), 2u);
    EXPECT_EQ(started[0],
              u"C:\\Windows\\system32\\rundll32 printui.dll,PrintUIEntry /if  /f "
              u"\"C:\\QX Lumenthread\\QX_Lumenthread.inf\" /m \"QX Lumenthread\" /r \"COM1:\"");
    EXPECT_EQ(started[1],
              u"C:\\Windows\\system32\\rundll32 printui.dll,PrintUIEntry /n \"QX Lumenthread\" /p");
    // The installation was waited for to its end; the properties until they take input.
    ASSERT_EQ(install.windows.spooler.Printers().size(), 1u);
    EXPECT_EQ(install.windows.spooler.Printers()[0].name, u"QX Lumenthread");
    EXPECT_EQ(install.windows.context.clock.Now(), 4000u + 1500u);
    EXPECT_TRUE(install.dlg.m_piProperties.hProcess);
    EXPECT_TRUE(install.dlg.m_piProperties.hThread);
    EXPECT_NE(install.dlg.m_piProperties.dwProcessId, 0u);
    EXPECT_EQ(install.windows.kernel.OpenHandles(), 2u);  // those of m_piProperties only
    // Both waits are without a time limit: the end of the installation, the properties' input.
    EXPECT_EQ(install.windows.kernel.WaitLimits(),
              (std::vector<std::uint32_t>{kInfinite, kInfinite}));
}

TEST(PrintUi, AnInstallerAtTheRootOfADriveNamesItsInfWithOneBackslash)
{
    sim::World world;
    world.installerPath = u"E:\\Driver\\Install.exe";  // the set-up folder is E:\ itself
    Install install(world);
    install.windows.kernel.SetCurrentDirectoryW(u"E:\\");
    install.dlg.StageDriverPackage();
    install.dlg.InstallPrinterOnPort(u"COM1:");
    EXPECT_TRUE(install.Boxes().empty());
    ASSERT_EQ(install.windows.setupApi.OemInfCalls().size(), 1u);
    EXPECT_EQ(install.windows.setupApi.OemInfCalls()[0].sourceInf, u"E:\\QX_Lumenthread.inf");
    ASSERT_EQ(install.windows.kernel.ProcessesStarted().size(), 1u);
    EXPECT_NE(install.windows.kernel.ProcessesStarted()[0].find(u"/f \"E:\\QX_Lumenthread.inf\""),
              std::u16string::npos);
    EXPECT_EQ(install.windows.spooler.Printers().size(), 1u);
}

TEST(PrintUi, WithoutTheCurrentDirectoryNoCommandNamesAnInfElsewhere)
{
    Install install;
    install.windows.context.faults.Fail("GetCurrentDirectoryW", kErrorAccessDenied);
    install.dlg.InstallPrinterOnPort(u"COM1:");
    install.dlg.StageDriverPackage();
    EXPECT_TRUE(install.windows.kernel.ProcessesStarted().empty());
    EXPECT_TRUE(install.windows.setupApi.OemInfCalls().empty());
    EXPECT_EQ(install.Boxes(), (std::vector<std::string>{"[Install] Process error",
                                                         "[Install] Copy OEM error = 5"}));
}

TEST(PrintUi, ACommandLongerThanThePathBufferIsStartedWhole)
{
    sim::World world;
    const std::u16string deep = u"C:\\" + std::u16string(200, u'k');
    world.installerPath = deep + u"\\Driver\\Install.exe";
    Install install(world);
    install.windows.kernel.SetCurrentDirectoryW(deep);
    install.dlg.InstallPrinterOnPort(u"COM1:");
    ASSERT_EQ(install.windows.kernel.ProcessesStarted().size(), 1u);
    const std::u16string& command = install.windows.kernel.ProcessesStarted()[0];
    EXPECT_GT(command.size(), 260u);
    EXPECT_TRUE(command.ends_with(u"\\QX_Lumenthread.inf\" /m \"QX Lumenthread\" /r \"COM1:\""));
    EXPECT_EQ(install.windows.spooler.Printers().size(), 1u);
}

TEST(PrintUi, AProcessThatCannotStartIsReportedAndNotWaitedFor)
{
    Install install;
    install.windows.context.faults.Fail("CreateProcessW", kErrorFileNotFound);
    install.dlg.InstallPrinterOnPort(u"COM1:");
    install.dlg.OpenPrinterProperties();
    EXPECT_EQ(install.Boxes(),
              (std::vector<std::string>{"[Install] Process error", "[Install] Process error"}));
    EXPECT_FALSE(install.dlg.m_piProperties.hProcess);
    EXPECT_EQ(install.dlg.m_piProperties.dwProcessId, 0u);
    EXPECT_EQ(install.windows.kernel.OpenHandles(), 0u);
}

TEST(PrintUi, WithoutTheSystemDirectoryNoCommandIsStarted)
{
    Install install;
    install.windows.context.faults.Fail("GetSystemDirectoryW", kErrorAccessDenied);
    install.dlg.InstallPrinterOnPort(u"COM1:");
    install.dlg.OpenPrinterProperties();
    EXPECT_EQ(install.Boxes(), std::vector<std::string>{"[Install] System Directory error"});
    EXPECT_TRUE(install.windows.kernel.ProcessesStarted().empty());
    EXPECT_FALSE(install.dlg.m_piProperties.hProcess);
}

TEST(StageDriverPackage, StagesTheInfAsTheNextFreeOemInf)
{
    sim::World world;
    world.files.push_back({u"C:\\Windows\\INF\\oem0.inf", {std::byte{1}}, {}, false});
    Install install(world);
    install.dlg.StageDriverPackage();
    EXPECT_TRUE(install.Boxes().empty());
    // From the INF's own folder (SPOST_PATH with no location), with no copy-style flags.
    ASSERT_EQ(install.windows.setupApi.OemInfCalls().size(), 1u);
    EXPECT_EQ(install.windows.setupApi.OemInfCalls()[0].sourceInf,
              u"C:\\QX Lumenthread\\QX_Lumenthread.inf");
    EXPECT_EQ(install.windows.setupApi.OemInfCalls()[0].mediaType, kSpostPath);
    EXPECT_EQ(install.windows.setupApi.OemInfCalls()[0].copyStyle, 0u);
    std::vector<std::u16string> staged;
    for (const sim::FileSetup& f : install.windows.kernel.Files())
        if (f.path.starts_with(u"C:\\Windows\\INF\\oem1")) staged.push_back(f.path);
    EXPECT_EQ(staged, (std::vector<std::u16string>{u"C:\\Windows\\INF\\oem1.inf",
                                                   u"C:\\Windows\\INF\\oem1.pnf"}));
}

TEST(StageDriverPackage, AMissingOrBrokenInfIsReportedWithItsCode)
{
    {
        Install noInf;
        noInf.windows.kernel.SetCurrentDirectoryW(u"D:\\Nowhere");  // the kit's INF is not there
        noInf.dlg.StageDriverPackage();
        EXPECT_EQ(noInf.Boxes(), std::vector<std::string>{"[Install] Copy OEM error = 2"});
    }
    {
        sim::World broken;
        broken.installerPath = u"D:\\Elsewhere\\Driver\\Install.exe";
        // Put before the kit's own INF, which WithKit adds behind the world's files.
        broken.files.push_back({u"D:\\Elsewhere\\QX_Lumenthread.inf", {std::byte{'x'}}, {}, false});
        Install badInf(broken);
        badInf.windows.kernel.SetCurrentDirectoryW(u"D:\\Elsewhere");
        badInf.dlg.StageDriverPackage();
        EXPECT_EQ(badInf.Boxes(),
                  std::vector<std::string>{"[Install] Copy OEM error = -536870909"});
    }
}

TEST(KitInf, IsAPrinterInfInUtf16WithThePackageNameAndTheModel)
{
    const std::vector<std::byte> bytes = KitFile("QX_Lumenthread.inf");
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes[0], std::byte{0xFF});
    EXPECT_EQ(bytes[1], std::byte{0xFE});
    const std::u16string text = sim::TextOfUtf16File(bytes);
    for (const char16_t* expected :
         {u"Signature=\"$Windows NT$\"", u"Class=Printer",
          u"ClassGuid={4D36E979-E325-11CE-BFC1-08002BE10318}",
          u"DriverPackageDisplayName=%PackageName%", u"PackageName=\"package QX Lumenthread\"",
          u"\"QX Lumenthread\"="})
        EXPECT_NE(text.find(expected), std::u16string::npos) << Utf8(expected);
    // The USB device itself stays with the system's USB printing driver, which gives the
    // machine the printing interface the installer finds it by: the INF names only USBPRINT ids.
    EXPECT_EQ(text.find(u"USB\\VID_"), std::u16string::npos);
}

}  // namespace
