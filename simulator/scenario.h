#pragma once
// Scenarios: a world and a timeline, read from JSON.

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/sim/sim_windows.h"

// A scenario that cannot be used; what() names the file and the field.
class ScenarioError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct TimelineEntry {
    std::uint64_t atMs = 0;
    std::string action;  // "press", "close", "enter", "answer", "minimise", "restore",
                         // "plug", "unplug", "switchOn", "switchOff"
    int control = 0;     // for "press"
};

struct FaultSetup {
    std::string call;
    std::uint32_t error = 0;
    int times = -1;
    int skip = 0;
};

struct Scenario {
    sim::World world;
    std::vector<FaultSetup> faults;
    std::vector<TimelineEntry> timeline;
};

// Reads a scenario from JSON text; source names it in error messages.
Scenario ParseScenario(const std::string& json, const std::string& source);
Scenario LoadScenarioFile(const std::string& path);
// The built-in scenario: an interactive USB installation, the machine connected and on,
// switched off when asked and switched on when asked.
const std::string& DefaultScenarioJson();

// Sets up the faults and the timeline of a scenario in a simulated Windows built from its world.
void ApplyScenario(const Scenario& scenario, sim::SimWindows& windows);
