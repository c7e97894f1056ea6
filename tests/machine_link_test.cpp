// The machine link: replies and their acceptance, the identification and status exchanges with
// the simulated machine, and the firmware transfer.

#include <algorithm>
#include <cstring>

#include "machine/machine_reply.h"
#include "tests/sim_fixture.h"

using namespace testing_support;

namespace {

using Reply = std::array<std::byte, kReplyBufferBytes>;

Reply ReplyOf(std::initializer_list<int> bytes)
{
    Reply reply{};
    std::ranges::transform(bytes, reply.begin(), [](int b) { return std::byte(b); });
    return reply;
}

Reply ReplyOf(std::string_view head, std::initializer_list<int> groups)
{
    Reply reply{};
    std::memcpy(reply.data(), head.data(), head.size());
    std::ranges::transform(groups, reply.begin() + static_cast<std::ptrdiff_t>(head.size()),
                           [](int b) { return std::byte(b); });
    return reply;
}

TEST(Reply, FieldsAreTheLastBytesOfTheGroupsAfterTheFirstSemicolon)
{
    // k = 5: value 0 at byte 9, the model code (group 4) at byte 25.
    const Reply reply =
        ReplyOf("QX!ID;", {0, 0, 0, 7, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 9, 9, 1, 4});
    ASSERT_EQ(AcceptedTagEnd(reply, "!ID"), 5u);
    EXPECT_EQ(GroupByte(reply, 5, 0), 7);
    EXPECT_EQ(GroupByte(reply, 5, 4), 4);
    EXPECT_EQ(std::to_integer<int>(reply[25]), 4);
}

TEST(Reply, GroupsAreReadByTheirLastByteOnly)
{
    const auto modelCode = [](int a, int b, int c, int d) {
        const Reply reply =
            ReplyOf("!ID;", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, a, b, c, d});
        return GroupByte(reply, *AcceptedTagEnd(reply, "!ID"), 4);
    };
    EXPECT_EQ(modelCode(0, 0, 1, 4), 4);
    EXPECT_EQ(modelCode(0, 0, 4, 0), 0);
    const auto status = [](int a, int b, int c, int d) {
        const Reply reply = ReplyOf("!BE;", {a, b, c, d});
        return GroupByte(reply, *AcceptedTagEnd(reply, "!BE"), 0);
    };
    EXPECT_EQ(status(0, 0, 0, 1), 1);
    EXPECT_EQ(status(0, 0, 1, 0), 0);
}

TEST(Reply, IsRefusedUnlessTheTagStandsBeforeTheFirstSemicolon)
{
    const std::pair<const char*, Reply> refused[] = {
        {"';' first", ReplyOf(";!ID;", {0, 0, 0, 4})},
        {"tag after ';'", ReplyOf("OK;!ID;", {0, 0, 0, 4})},
        {"zero byte before the tag", ReplyOf({0, '!', 'I', 'D', ';', 0, 0, 0, 4})},
        {"lower-case tag", ReplyOf("!id;", {0, 0, 0, 4})},
        {"other tag", ReplyOf("!BE;", {0, 0, 0, 4})},
        {"no ';' in ten bytes", ReplyOf("!ID:xxxxxx;", {0, 0, 0, 4})},
        {"nothing", Reply{}},
    };
    for (const auto& [name, reply] : refused) EXPECT_FALSE(AcceptedTagEnd(reply, "!ID")) << name;
    EXPECT_EQ(AcceptedTagEnd(ReplyOf("xx!IDyy;", {}), "!ID"), 7u);
    // The tenth byte, position 9, is the last that may hold the ';'.
    EXPECT_EQ(AcceptedTagEnd(ReplyOf("abcdefgh!;", {}), "!"), 9u);
}

// A dialog over a world with the machine, for calling the machine link directly.
struct Link {
    explicit Link(sim::World world) : windows(std::move(world), InstallerResources()) {}
    static sim::World WithMachine(sim::MachineBehaviour behaviour = {})
    {
        sim::World world = WorldWithMachine();
        world.machine->behaviour = std::move(behaviour);
        return world;
    }
    sim::EngravingMachine& Machine() { return windows.MachineModel(); }

    sim::SimWindows windows;
    CInstallDlg dlg{windows.windows, nullptr};
};

using Fault = sim::ReplyFault;

TEST(Exchange, ResendsTheFrameAfterARefusedReplyAndTakesTheNextOne)
{
    for (const Fault::Kind kind :
         {Fault::Kind::SemicolonFirst, Fault::Kind::TagAfterSemicolon, Fault::Kind::ZeroBeforeTag,
          Fault::Kind::LowerCaseTag, Fault::Kind::NoSemicolon, Fault::Kind::None}) {
        sim::MachineBehaviour behaviour;
        behaviour.identity = {9, 8, 7, 6, 4, 2, 1};
        behaviour.replyFaults = {Fault{kind}};
        Link link(Link::WithMachine(behaviour));
        MachineIdentity identity;
        EXPECT_TRUE(link.dlg.QueryMachineIdentity(identity));
        EXPECT_EQ(identity.values, (std::array<std::uint32_t, 7>{9, 8, 7, 6, 4, 2, 1}));
        EXPECT_EQ(link.Machine().CommandsReceived(), 2);
        EXPECT_EQ(link.windows.kernel.OpenHandles(), 0u);
    }
}

TEST(Exchange, GivesUpAfterTheBoundWithAnAnswerThatStopsTheInstallation)
{
    sim::MachineBehaviour silent;
    silent.replyFaults.assign(20, Fault{Fault::Kind::None});
    Link link(Link::WithMachine(silent));
    MachineIdentity identity;
    identity.values.fill(4);
    EXPECT_FALSE(link.dlg.QueryMachineIdentity(identity));
    EXPECT_EQ(identity.ModelCode(), 0u);
    EXPECT_EQ(link.Machine().CommandsReceived(), 5);  // the frame and four resends
    // Each read waited its three seconds: a machine that never answers holds the window 15 s.
    EXPECT_EQ(link.windows.context.clock.Now(), 15000u);
    EXPECT_EQ(link.dlg.QueryMachineStatus(), kStatusUnanswered);
    EXPECT_EQ(link.windows.kernel.OpenHandles(), 0u);
}

TEST(Exchange, WithoutAMachineNothingIsSentAndTheAnswersAreThoseOfNoReply)
{
    Link link(sim::World{});
    MachineIdentity identity;
    EXPECT_FALSE(link.dlg.QueryMachineIdentity(identity));
    EXPECT_EQ(link.dlg.QueryMachineStatus(), kStatusUnanswered);
}

TEST(Exchange, BytesBeyondAShortReplyReadAsZeroNeverAsAnEarlierReply)
{
    sim::MachineBehaviour behaviour;
    behaviour.status = 9;
    // A refused reply carrying the status 9 at byte 7, then an accepted one of four bytes.
    behaviour.replyFaults = {Fault{Fault::Kind::LowerCaseTag}, Fault{Fault::Kind::Short, 4}};
    Link link(Link::WithMachine(behaviour));
    EXPECT_EQ(link.dlg.QueryMachineStatus(), 0);
}

TEST(Exchange, ALateReplyIsWaitedForWithinTheTimeLimit)
{
    sim::MachineBehaviour behaviour;
    behaviour.status = 1;
    behaviour.replyFaults = {Fault{Fault::Kind::Late, 0, 2500}};
    Link link(Link::WithMachine(behaviour));
    EXPECT_EQ(link.dlg.QueryMachineStatus(), 1);
    EXPECT_EQ(link.windows.context.clock.Now(), 2500u);
    EXPECT_EQ(link.Machine().CommandsReceived(), 1);
}

// Firmware transfers: the set-up folder holds both images, the machine is an R5100 unless told.
struct Transfer : Link {
    static sim::World World(std::size_t r5100Bytes, sim::MachineBehaviour behaviour = {})
    {
        sim::World world = WithMachine(std::move(behaviour));
        world.installerPath = u"C:\\Kit\\Driver\\Install.exe";
        world.files.push_back({u"C:\\Kit\\FirmwareR5100.dos", Bytes(r5100Bytes, 1), {}, false});
        world.files.push_back({u"C:\\Kit\\FirmwareTarvon.dos", Bytes(3000, 2), {}, false});
        return world;
    }
    static std::vector<std::byte> Bytes(std::size_t n, int seed)
    {
        std::vector<std::byte> bytes(n);
        for (std::size_t i = 0; i < n; ++i)
            bytes[i] = std::byte((i * 31 + seed * 7 + i / 256) & 0xFF);
        return bytes;
    }

    explicit Transfer(sim::World world) : Link(std::move(world))
    {
        windows.kernel.SetCurrentDirectoryW(u"C:\\Kit");
    }
    std::vector<std::string> Boxes() const { return BoxTexts(windows); }
    void Run()
    {
        CInstallApp app;  // the Error boxes take its name
        app.m_pszAppName = u"Install";
        dlg.TransferFirmware();
        EXPECT_EQ(windows.kernel.OpenHandles(), 0u);
        EXPECT_EQ(windows.kernel.LiveMemoryBlocks(), 0u);
    }
};

TEST(FirmwareTransfer, SendsTheImageInPiecesOf2048Bytes)
{
    const std::pair<std::size_t, std::vector<std::uint32_t>> cases[] = {
        {0, {}},
        {1, {1}},
        {2048, {2048}},
        {2049, {2048, 1}},
        {4096, {2048, 2048}},
        {10240, {2048, 2048, 2048, 2048, 2048}}};
    for (const auto& [length, writes] : cases) {
        Transfer transfer(Transfer::World(length));
        transfer.Run();
        EXPECT_EQ(transfer.Machine().FirmwareWrites(), writes) << length;
        EXPECT_EQ(transfer.Machine().Firmware(), Transfer::Bytes(length, 1)) << length;
        EXPECT_TRUE(transfer.Boxes().empty());
    }
}

TEST(FirmwareTransfer, ChoosesTheImageByTheModelCode)
{
    for (const std::uint8_t model : {4, 0, 3, 5, 255}) {
        sim::MachineBehaviour behaviour;
        behaviour.identity[4] = model;
        Transfer transfer(Transfer::World(5000, behaviour));
        transfer.Run();
        EXPECT_EQ(transfer.Machine().Firmware(),
                  model == 4 ? Transfer::Bytes(3000, 2) : Transfer::Bytes(5000, 1))
            << int(model);
    }
}

TEST(FirmwareTransfer, AFailedPieceStopsThePiecesAndTheRestGoesInOneWrite)
{
    sim::MachineBehaviour behaviour;
    behaviour.failFirmwareWrite = 2;
    behaviour.failFirmwareWriteError = kErrorGenFailure;
    Transfer transfer(Transfer::World(10240, behaviour));
    transfer.Run();
    EXPECT_EQ(transfer.Boxes(), std::vector<std::string>{"[Install] WriteFile error = 31"});
    EXPECT_EQ(transfer.Machine().FirmwareWrites(), (std::vector<std::uint32_t>{2048, 8192}));
    EXPECT_EQ(transfer.Machine().Firmware(), Transfer::Bytes(10240, 1));
}

TEST(FirmwareTransfer, AMachineGoneInTheMiddleGetsNoMoreAndTwoBoxesSayIt)
{
    sim::MachineBehaviour behaviour;
    behaviour.unplugAtFirmwareWrite = 3;
    Transfer transfer(Transfer::World(10240, behaviour));
    transfer.Run();
    EXPECT_EQ(transfer.Boxes(), (std::vector<std::string>{"[Install] WriteFile error = 1167",
                                                          "[Install] WriteFile error = 1167"}));
    EXPECT_EQ(transfer.Machine().FirmwareWrites(), (std::vector<std::uint32_t>{2048, 2048}));
}

TEST(FirmwareTransfer, AMachineThatCannotBeOpenedAfterItsIdentificationFailsEveryWrite)
{
    // Identified, then gone before the transfer opens it: the writes go to no handle.
    Transfer transfer(Transfer::World(10240));
    transfer.windows.context.faults.Fail("CreateFileW", kErrorFileNotFound, 1, 2);
    transfer.Run();
    EXPECT_EQ(transfer.Boxes(), (std::vector<std::string>{"[Install] WriteFile error = 6",
                                                          "[Install] WriteFile error = 6"}));
    EXPECT_EQ(transfer.Machine().FirmwareBytes(), 0u);
}

TEST(FirmwareTransfer, WhatTheMachineTakesDecidesWhereTheNextWriteStarts)
{
    const std::vector<std::pair<std::string, std::function<void(sim::MachineBehaviour&)>>> cases{
        {"takes part of each write", [](sim::MachineBehaviour& b) { b.takeAtMost = 1000; }},
        {"reports more than it took", [](sim::MachineBehaviour& b) { b.overReportBytes = 16; }},
        {"takes nothing now and then, never eight times running",
         [](sim::MachineBehaviour& b) { b.emptyWrites = {1, 3, 5, 7, 9, 11, 13, 15, 17, 19}; }},
    };
    for (const auto& [name, change] : cases) {
        sim::MachineBehaviour behaviour;
        change(behaviour);
        Transfer transfer(Transfer::World(10000, behaviour));
        transfer.Run();
        EXPECT_EQ(transfer.Machine().Firmware(), Transfer::Bytes(10000, 1)) << name;
        EXPECT_TRUE(transfer.Boxes().empty()) << name;
    }
}

TEST(FirmwareTransfer, WritesOfZeroBytesAreRetriedWithinABound)
{
    sim::MachineBehaviour some;
    some.zeroByteWrites = 3;
    Transfer retried(Transfer::World(6000, some));
    retried.Run();
    EXPECT_EQ(retried.Machine().FirmwareWrites(), (std::vector<std::uint32_t>{2048, 2048, 1904}));
    EXPECT_TRUE(retried.Boxes().empty());

    sim::MachineBehaviour stuck;
    stuck.zeroByteWrites = 1000;
    Transfer refused(Transfer::World(6000, stuck));
    refused.Run();
    // The piece fails, and so does the one write of the rest that follows a failed piece.
    EXPECT_EQ(refused.Boxes(), (std::vector<std::string>{"[Install] WriteFile error = 29",
                                                         "[Install] WriteFile error = 29"}));
    EXPECT_EQ(refused.Machine().FirmwareBytes(), 0u);
}

TEST(FirmwareTransfer, SendsNothingAndSaysNothingWhenTheImageCannotBeHadWhole)
{
    const std::vector<std::pair<std::string, std::function<void(sim::World&)>>> cases{
        {"missing file", [](sim::World& w) { w.files.clear(); }},
        {"locked file", [](sim::World& w) { w.files[0].locked = true; }},
        {"larger than 4 GiB", [](sim::World& w) { w.files[0].reportedSize = (5ull << 30); }},
        {"larger than memory", [](sim::World& w) { w.memoryLimitBytes = 4096; }},
        {"shorter than its size", [](sim::World& w) { w.files[0].reportedSize = 20000; }},
        {"size unreadable", [](sim::World& w) { w.files[0].reportedSize.reset(); }},
        {"machine never identified",
         [](sim::World& w) {
             w.machine->behaviour.replyFaults.assign(5, Fault{Fault::Kind::None});
         }},
    };
    for (const auto& [name, change] : cases) {
        sim::World world = Transfer::World(10240);
        change(world);
        Transfer transfer(world);
        if (name == "size unreadable")
            transfer.windows.context.faults.Fail("GetFileSize", kErrorAccessDenied);
        transfer.Run();
        EXPECT_EQ(transfer.Machine().FirmwareBytes(), 0u) << name;
        EXPECT_TRUE(transfer.Boxes().empty()) << name;
    }
}

TEST(FirmwareTransfer, APathThatWouldNotFitTheBufferIsNotCut)
{
    // A set-up folder of 245 characters: with "\FirmwareR5100.dos" the path needs 263. A file
    // stands where the path cut at 259 characters would lead.
    const std::u16string folder = u"C:\\" + std::u16string(242, u'k');
    const std::u16string full = folder + u"\\FirmwareR5100.dos";
    sim::World world = Transfer::World(100);
    world.files[0].path = full;
    world.files.push_back({full.substr(0, kMaxPath - 1), Transfer::Bytes(100, 3), {}, false});
    Transfer transfer(world);
    ASSERT_TRUE(transfer.windows.kernel.SetCurrentDirectoryW(folder));
    transfer.Run();
    EXPECT_EQ(transfer.Machine().FirmwareBytes(), 0u);
}

// Whole installations.
struct Installation {
    static sim::World World(sim::MachineBehaviour behaviour)
    {
        sim::World world = Transfer::World(9000, std::move(behaviour));
        world.installerPath = u"C:\\Kit\\Driver\\Install.exe";
        return world;
    }
};

TEST(UsbInstallation, StreamsTheImageOfTheModelAndEndsAfterTheSwitchOffAndOn)
{
    for (const std::uint8_t model : {4, 1}) {
        sim::MachineBehaviour behaviour;
        behaviour.identity[4] = model;
        InstallerRun run(Installation::World(behaviour));
        ScriptUsbInstallation(run);
        EXPECT_EQ(run.Run(), kExitInstalled);
        EXPECT_EQ(run.windows.MachineModel().Firmware(),
                  model == 4 ? Transfer::Bytes(3000, 2) : Transfer::Bytes(9000, 1));
        EXPECT_EQ(run.TimeOf("machine", 0, "status asked"), 52000u);
        EXPECT_EQ(run.TimeOf("caption", IDC_STEP7), 56000u);
        run.ExpectNothingLeftOpen();
    }
}

TEST(UsbInstallation, ANonZeroOrMissingStatusEndsItAfterTheFirmware)
{
    sim::MachineBehaviour trouble;
    trouble.status = 3;
    sim::MachineBehaviour mute;  // answers the identification, then never again
    mute.replyFaults = {Fault{Fault::Kind::Late}};
    mute.replyFaults.resize(6, Fault{Fault::Kind::None});
    for (const sim::MachineBehaviour& behaviour : {trouble, mute}) {
        InstallerRun run(Installation::World(behaviour));
        ScriptUsbInstallation(run);
        EXPECT_EQ(run.Run(), kExitInstalled);
        EXPECT_EQ(run.Text(IDC_STEP6), u"");
        EXPECT_FALSE(run.Control(IDC_STEP5).enabled);
        EXPECT_GE(*run.TimeOf("dialog", 0, "ended with OK"), 52000u);
        EXPECT_LT(*run.TimeOf("dialog", 0, "ended with OK"), 70000u);
    }
}

}  // namespace
