// Finding and opening the machine among the USB printing interfaces.

#include "tests/sim_fixture.h"

using namespace testing_support;

namespace {

sim::MachineSetup Machine(const char16_t* instance = u"6&2c8b0e4&0&1")
{
    sim::MachineSetup machine;
    machine.instance = instance;
    return machine;
}

sim::UsbDeviceSetup OtherPrinter(const char16_t* instance = u"5&3a1f2c7&0&2")
{
    sim::UsbDeviceSetup printer;
    printer.instance = instance;
    return printer;
}

// A dialog over a world, for calling OpenMachine directly.
struct Discovery {
    explicit Discovery(sim::World world) : windows(std::move(world), InstallerResources()) {}

    Handle Open() { return dlg.OpenMachine(); }
    const std::u16string& MachinePath() { return windows.Machine()->devicePath; }

    sim::SimWindows windows;
    CInstallDlg dlg{windows.windows, nullptr};
};

struct DiscoveryCase {
    const char* name;
    std::function<void(sim::World&)> world;
    std::function<void(sim::Faults&)> faults;
    bool opened;       // a handle comes back
    bool kestr;        // m_bKestrSerial after the call
    int machineIndex;  // which device is opened, in bus order (when opened)
};

// Test names and failure messages show the case by its name.
void PrintTo(const DiscoveryCase& c, std::ostream* out)
{
    *out << c.name;
}

class OpenMachine : public ::testing::TestWithParam<DiscoveryCase> {};

TEST_P(OpenMachine, FindsTheFirstMachineAndOpensItOrReturnsNull)
{
    const DiscoveryCase& c = GetParam();
    sim::World world;
    c.world(world);
    Discovery discovery(world);
    if (c.faults) c.faults(discovery.windows.context.faults);
    discovery.dlg.m_bKestrSerial = true;  // every call starts by clearing it

    const Handle machine = discovery.Open();
    EXPECT_EQ(static_cast<bool>(machine), c.opened);
    EXPECT_NE(machine, kInvalidHandle);
    EXPECT_EQ(discovery.dlg.m_bKestrSerial, c.kestr);
    if (c.opened) {
        const auto& opens = discovery.windows.kernel.DeviceOpens();
        ASSERT_FALSE(opens.empty());
        EXPECT_EQ(opens.back().path, discovery.windows.usb.Device(c.machineIndex).devicePath);
        EXPECT_EQ(discovery.windows.kernel.OpenHandles(), 1u);
        EXPECT_TRUE(discovery.windows.kernel.CloseHandle(machine));
    }
    EXPECT_EQ(discovery.windows.kernel.OpenHandles(), 0u);
    EXPECT_EQ(discovery.windows.kernel.LiveMemoryBlocks(), 0u);
    EXPECT_EQ(discovery.windows.usb.OpenDeviceInfoSets(), 0u);
}

std::string CaseName(const ::testing::TestParamInfo<DiscoveryCase>& info)
{
    return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(
    Situations, OpenMachine,
    ::testing::Values(
        DiscoveryCase{"NoUsbPrinter", [](sim::World&) {}, nullptr, false, false, 0},
        DiscoveryCase{"OtherVendorOnly", [](sim::World& w) { w.otherPrinters = {OtherPrinter()}; },
                      nullptr, false, false, 0},
        DiscoveryCase{"MachineWithMakerName",
                      [](sim::World& w) { w.machine = Machine(u"7&1f00a2&0&kestr0042"); }, nullptr,
                      true, true, 0},
        DiscoveryCase{"MachineWithoutMakerName", [](sim::World& w) { w.machine = Machine(); },
                      nullptr, true, false, 0},
        DiscoveryCase{"MakerNameOnAnotherVendorsPrinter",
                      [](sim::World& w) { w.otherPrinters = {OtherPrinter(u"7&1&0&kestr")}; },
                      nullptr, false, false, 0},
        DiscoveryCase{"IdsInUpperCase",
                      [](sim::World& w) {
                          w.machine = Machine();
                          w.machine->upperCaseIds = true;
                      },
                      nullptr, false, false, 0},
        DiscoveryCase{"MakerNameInUpperCase",
                      [](sim::World& w) { w.machine = Machine(u"7&1f00a2&0&KESTR0042"); }, nullptr,
                      true, false, 0},
        DiscoveryCase{"MachineAfterOtherPrinters",
                      [](sim::World& w) {
                          w.machine = Machine();
                          w.otherPrinters = {OtherPrinter(), OtherPrinter(u"5&9&0&3")};
                          w.machineFirst = false;
                      },
                      nullptr, true, false, 2},
        DiscoveryCase{"MachineSwitchedOff",
                      [](sim::World& w) {
                          w.machine = Machine();
                          w.machine->on = false;
                      },
                      nullptr, false, false, 0},
        DiscoveryCase{"MachineUnplugged",
                      [](sim::World& w) {
                          w.machine = Machine();
                          w.machine->plugged = false;
                      },
                      nullptr, false, false, 0},
        DiscoveryCase{"HeldByAnotherProgram",
                      [](sim::World& w) {
                          w.machine = Machine(u"7&1f00a2&0&kestr0042");
                          w.machine->heldByOtherProgram = true;
                      },
                      nullptr, false, true, 0},
        // The first machine is the one, even when a second one could have been opened.
        DiscoveryCase{"FirstOfTwoMachinesHeld",
                      [](sim::World& w) {
                          w.machine = Machine();
                          w.machine->heldByOtherProgram = true;
                          sim::UsbDeviceSetup second = Machine(u"6&2c8b0e4&0&9");
                          w.otherPrinters = {second};
                      },
                      nullptr, false, false, 0},
        DiscoveryCase{"FirstOfTwoMachinesOpened",
                      [](sim::World& w) {
                          w.machine = Machine();
                          w.otherPrinters = {Machine(u"6&2c8b0e4&0&kestr9")};
                      },
                      nullptr, true, false, 0},
        DiscoveryCase{"InterfaceSetCannotBeBuilt", [](sim::World& w) { w.machine = Machine(); },
                      [](sim::Faults& f) { f.Fail("SetupDiGetClassDevsW", kErrorNotEnoughMemory); },
                      false, false, 0},
        // An unreadable detail record ends the search, a machine after it is never seen.
        DiscoveryCase{"DetailRecordUnreadable",
                      [](sim::World& w) {
                          w.machine = Machine();
                          w.otherPrinters = {OtherPrinter()};
                          w.otherPrinters[0].detailError = kErrorNoSuchDeviceInterface;
                          w.machineFirst = false;
                      },
                      nullptr, false, false, 0},
        // A block that cannot be allocated skips that interface only.
        DiscoveryCase{"DetailBlockNotAllocated",
                      [](sim::World& w) {
                          w.machine = Machine();
                          w.otherPrinters = {OtherPrinter()};
                          w.machineFirst = false;
                      },
                      [](sim::Faults& f) { f.Fail("GlobalAlloc", kErrorNotEnoughMemory, 1); }, true,
                      false, 1},
        DiscoveryCase{"OpenFails", [](sim::World& w) { w.machine = Machine(u"1&kestr"); },
                      [](sim::Faults& f) { f.Fail("CreateFileW", kErrorAccessDenied); }, false,
                      true, 0}),
    CaseName);

TEST(OpenMachine, OpensTheDevicePathForSynchronousReadAndWrite)
{
    sim::World world;
    world.machine = Machine();
    Discovery discovery(world);
    const Handle machine = discovery.Open();
    ASSERT_TRUE(machine);
    const sim::SimKernel::DeviceOpen& open = discovery.windows.kernel.DeviceOpens().back();
    EXPECT_EQ(open.path,
              u"\\\\?\\usb#vid_fffd&pid_0001#6&2c8b0e4&0&1#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}");
    EXPECT_EQ(open.access, kGenericRead | kGenericWrite);
    EXPECT_EQ(open.shareMode, kFileShareRead);
    EXPECT_EQ(open.disposition, kOpenAlways);
    EXPECT_EQ(open.flags, kFileAttributeNormal | kFileFlagSequentialScan);
    discovery.windows.kernel.CloseHandle(machine);
}

TEST(OpenMachine, HoldsADevicePathLongerThan2048CharactersWhole)
{
    sim::World world;
    world.machine = Machine();
    world.machine->instance = std::u16string(3000, u'x') + u"kestr";
    Discovery discovery(world);
    const Handle machine = discovery.Open();
    ASSERT_TRUE(machine);
    EXPECT_TRUE(discovery.dlg.m_bKestrSerial);
    EXPECT_GT(discovery.windows.kernel.DeviceOpens().back().path.size(), 3000u);
    EXPECT_EQ(discovery.windows.kernel.DeviceOpens().back().path, discovery.MachinePath());
    discovery.windows.kernel.CloseHandle(machine);
}

TEST(OpenMachine, AFailedSearchClearsTheMakerFlagOfAnEarlierOne)
{
    sim::World world;
    world.machine = Machine(u"7&1f00a2&0&kestr0042");
    Discovery discovery(world);
    const Handle machine = discovery.Open();
    ASSERT_TRUE(machine);
    EXPECT_TRUE(discovery.dlg.m_bKestrSerial);
    discovery.windows.kernel.CloseHandle(machine);

    discovery.windows.usb.Power(0, false);
    EXPECT_FALSE(discovery.Open());
    EXPECT_FALSE(discovery.dlg.m_bKestrSerial);
}

TEST(OpenMachine, TheOtherProgramHoldingTheMachineLetsOnlyOpensThatShareWritingIn)
{
    sim::World world;
    world.machine = Machine();
    world.machine->heldByOtherProgram = true;
    Discovery discovery(world);
    EXPECT_FALSE(discovery.Open());
    EXPECT_EQ(discovery.windows.kernel.GetLastError(), kErrorSharingViolation);
    // An open that lets others write, unlike the installer's, gets through.
    const Handle shared = discovery.windows.kernel.CreateFileW(
        discovery.MachinePath(), kGenericRead | kGenericWrite, kFileShareRead | kFileShareWrite,
        kOpenExisting, kFileAttributeNormal);
    EXPECT_NE(shared, kInvalidHandle);
    discovery.windows.kernel.CloseHandle(shared);
}

TEST(OpenMachine, AHandleLeftOpenWouldKeepTheNextOpenOut)
{
    // The share mode lets nobody else write: a caller that forgot to close its handle would
    // find the machine "absent" at the next poll. Closing makes it openable again.
    sim::World world;
    world.machine = Machine();
    Discovery discovery(world);
    const Handle first = discovery.Open();
    ASSERT_TRUE(first);
    EXPECT_FALSE(discovery.Open());
    discovery.windows.kernel.CloseHandle(first);
    const Handle again = discovery.Open();
    EXPECT_TRUE(again);
    discovery.windows.kernel.CloseHandle(again);
}

}  // namespace
