// The simulator program: scenarios read from JSON, and what a bad one is told.

#include <filesystem>
#include <fstream>
#include <map>

#include "simulator/scenario.h"
#include "simulator/transcript.h"
#include "tests/sim_fixture.h"

using namespace testing_support;

namespace {

int RunScenario(const Scenario& scenario, std::string* transcript = nullptr)
{
    sim::SimWindows windows(scenario.world, InstallerResources());
    ApplyScenario(scenario, windows);
    const int exitCode = RunInstaller(windows);
    if (transcript) *transcript = Transcript(windows, exitCode);
    return exitCode;
}

TEST(DefaultScenario, IsAWholeUsbInstallationEndingWithOk)
{
    std::string transcript;
    EXPECT_EQ(RunScenario(ParseScenario(DefaultScenarioJson(), "built-in"), &transcript), 0);
    for (const char* expected :
         {"step line 1: \">   Switch off the machine\"", "step line 5: \">   Firmware update ...\"",
          "step line 7: \">   Switch on the machine\"", "ended with OK",
          "left open     0 handles, 0 memory blocks"})
        EXPECT_NE(transcript.find(expected), std::string::npos) << expected;
}

TEST(ExampleScenarios, EndAsTheirDescriptionsSay)
{
    const std::map<std::string, int> expectedExitCodes{
        {"usb_installation.json", 0},       {"silent.json", 0},
        {"maker_machine.json", 0},          {"cancel_while_waiting.json", 1},
        {"tarvon_reports_trouble.json", 0}, {"other_port.json", 0}};
    const std::filesystem::path folder =
        std::filesystem::path(QX_SOURCE_DIR) / "simulator/scenarios";
    std::size_t seen = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        ASSERT_TRUE(expectedExitCodes.contains(name)) << "a new example: say here how it ends";
        std::string transcript;
        EXPECT_EQ(RunScenario(LoadScenarioFile(entry.path().string()), &transcript),
                  expectedExitCodes.at(name));
        EXPECT_EQ(transcript.find("still open"), std::string::npos);
        ++seen;
    }
    EXPECT_EQ(seen, expectedExitCodes.size());
}

TEST(Scenario, ReadsTheMachinesBehaviourAndTheFiles)
{
    const Scenario s = ParseScenario(R"({
        "world": { "machine": { "identity": [1, 2, 3, 4, 5, 6, 7], "status": 9,
                                "replyFaults": [ { "kind": "short", "length": 3 }, { "kind": "late", "delayMs": 700 } ],
                                "failFirmwareWrite": 2, "zeroByteWrites": 1, "unplugAtFirmwareWrite": 5 },
                   "files": [ { "path": "C:\\Kit\\FirmwareTarvon.dos", "kitFile": "FirmwareTarvon.dos" },
                              { "path": "C:\\Kit\\Big.dos", "size": 3, "reportedSize": 6000000000, "locked": true } ],
                   "memoryLimitBytes": 1000 } })",
                                     "inline");
    const sim::MachineBehaviour& b = s.world.machine->behaviour;
    EXPECT_EQ(b.identity, (std::array<std::uint8_t, 7>{1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(b.status, 9);
    ASSERT_EQ(b.replyFaults.size(), 2u);
    EXPECT_EQ(b.replyFaults[0].kind, sim::ReplyFault::Kind::Short);
    EXPECT_EQ(b.replyFaults[0].length, 3u);
    EXPECT_EQ(b.replyFaults[1].delayMs, 700u);
    EXPECT_EQ(b.failFirmwareWrite, 2);
    EXPECT_EQ(b.zeroByteWrites, 1);
    EXPECT_EQ(b.unplugAtFirmwareWrite, 5);
    ASSERT_EQ(s.world.files.size(), 2u);
    EXPECT_EQ(s.world.files[0].bytes.size(), 12345u);  // the kit's sample image
    EXPECT_EQ(s.world.files[1].bytes.size(), 3u);
    EXPECT_EQ(s.world.files[1].reportedSize, 6000000000u);
    EXPECT_TRUE(s.world.files[1].locked);
    EXPECT_EQ(s.world.memoryLimitBytes, 1000u);
}

TEST(Scenario, ReadsTheWorldAndTheTimeline)
{
    const Scenario s = ParseScenario(R"({
        "world": { "language": "0x0c0c", "arguments": "silent", "version": null,
                   "tickCountStart": 4294967000, "boxReadingMs": 500,
                   "machine": { "instance": "1&kestr", "upperCaseIds": true, "detailError": 13 },
                   "otherPrinters": [ { "vendor": "04f9", "product": "0042" } ] },
        "faults": [ { "call": "GlobalAlloc", "error": 8, "times": 1, "skip": 2 } ],
        "timeline": [ { "at": 10, "do": "press", "control": "Other" }, { "at": 20, "do": "unplug" } ]
    })",
                                     "inline");
    EXPECT_EQ(s.world.userLangId, 0x0C0C);
    EXPECT_EQ(s.world.arguments, u"silent");
    EXPECT_FALSE(s.world.version.present);
    EXPECT_EQ(s.world.tickCountStart, 4294967000u);
    ASSERT_TRUE(s.world.machine.has_value());
    EXPECT_EQ(s.world.machine->instance, u"1&kestr");
    EXPECT_TRUE(s.world.machine->upperCaseIds);
    EXPECT_EQ(s.world.machine->detailError, 13u);
    ASSERT_EQ(s.world.otherPrinters.size(), 1u);
    EXPECT_EQ(s.world.otherPrinters[0].vendor, u"04f9");
    ASSERT_EQ(s.faults.size(), 1u);
    EXPECT_EQ(s.faults[0].skip, 2);
    ASSERT_EQ(s.timeline.size(), 2u);
    EXPECT_EQ(s.timeline[0].control, IDC_PORT_OTHER);
    EXPECT_EQ(s.timeline[1].action, "unplug");
}

struct BadScenario {
    const char* json;
    const char* message;  // the start of what follows the file's name
};

class BadScenarios : public ::testing::TestWithParam<BadScenario> {};

TEST_P(BadScenarios, AreRefusedWithTheFileAndTheField)
{
    try {
        ParseScenario(GetParam().json, "bad.json");
        FAIL() << "accepted";
    } catch (const ScenarioError& error) {
        EXPECT_EQ(
            std::string(error.what()).rfind(std::string("bad.json: ") + GetParam().message, 0), 0u)
            << error.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Mistakes, BadScenarios,
    ::testing::Values(
        BadScenario{"{ \"world\": ", "not valid JSON"},
        BadScenario{"[]", "the scenario: expected an object"},
        BadScenario{R"({ "wrold": {} })", "wrold: unknown field"},
        BadScenario{R"({ "world": { "language": "xx-XX" } })",
                    "world.language: expected a language tag"},
        BadScenario{R"({ "world": { "language": 1036 } })", "world.language: expected a text"},
        BadScenario{R"({ "world": { "version": "1.2.3" } })",
                    "world.version: expected four numbers"},
        BadScenario{R"({ "world": { "version": "0.70000.1.2" } })",
                    "world.version: expected four numbers"},
        BadScenario{R"({ "world": { "boxReadingMs": -5 } })",
                    "world.boxReadingMs: expected a whole number"},
        BadScenario{R"({ "world": { "machine": { "on": "yes" } } })",
                    "world.machine.on: expected true or false"},
        BadScenario{R"({ "world": { "otherPrinters": [ { "vendr": "x" } ] } })",
                    "world.otherPrinters[0].vendr: unknown field"},
        BadScenario{R"({ "timeline": [ { "do": "press" } ] })", "timeline[0].at: missing"},
        BadScenario{R"({ "timeline": [ { "at": 5, "do": "dance" } ] })",
                    "timeline[0].do: unknown action"},
        BadScenario{R"({ "timeline": [ { "at": 5, "do": "press", "control": "OK" } ] })",
                    "timeline[0].control: unknown control"},
        BadScenario{R"({ "faults": [ { "call": "CreateFileW" } ] })", "faults[0].error: missing"},
        BadScenario{R"({ "world": { "machine": { "replyFaults": [ { "kind": "rude" } ] } } })",
                    "world.machine.replyFaults[0].kind: expected one of"},
        BadScenario{R"({ "world": { "machine": { "identity": [1, 2, 3] } } })",
                    "world.machine.identity: expected seven values"},
        BadScenario{R"({ "world": { "files": [ { "path": "C:\\a", "kitFile": "../secret" } ] } })",
                    "world.files[0].kitFile: expected a file name of the kit folder"},
        BadScenario{
            R"({ "world": { "files": [ { "path": "C:\\a", "kitFile": "nothing.dos" } ] } })",
            "world.files[0].kitFile: no such file in the kit"}));

}  // namespace
