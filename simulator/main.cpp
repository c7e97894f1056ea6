// The simulator: runs Install.exe on a simulated Windows from a scenario and prints what happens.
//
//   qx_simulator                  the built-in scenario (a whole USB installation)
//   qx_simulator SCENARIO.json    a scenario of your own
//   qx_simulator --print-default  the built-in scenario's JSON, to start one of your own from
//
// Exit code: the installer's own (0 ended by the installation, 1 cancelled), or 2 for a bad
// scenario or bad arguments.

#include <cstdio>
#include <string>

#include "simulator/installer_run.h"
#include "simulator/scenario.h"
#include "simulator/transcript.h"

int main(int argc, char** argv)
{
    if (argc > 2) {
        std::fprintf(stderr, "usage: qx_simulator [SCENARIO.json | --print-default]\n");
        return 2;
    }
    const std::string argument = argc == 2 ? argv[1] : "";
    if (argument == "--print-default") {
        std::fputs(DefaultScenarioJson().c_str(), stdout);
        return 0;
    }

    Scenario scenario;
    try {
        scenario = argument.empty() ? ParseScenario(DefaultScenarioJson(), "built-in scenario")
                                    : LoadScenarioFile(argument);
    } catch (const ScenarioError& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 2;
    }

    sim::SimWindows windows(scenario.world, InstallerResources());
    ApplyScenario(scenario, windows);
    const int exitCode = RunInstaller(windows);
    std::fputs(Transcript(windows, exitCode).c_str(), stdout);
    return exitCode;
}
