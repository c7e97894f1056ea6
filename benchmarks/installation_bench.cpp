// How fast whole installations run under virtual time. A USB installation holds more than 50
// seconds of timers; simulated, it should take a small fraction of a millisecond to a few
// milliseconds of real time.

#include <benchmark/benchmark.h>

#include "simulator/installer_run.h"
#include "simulator/scenario.h"

namespace {

void RunOnce(const Scenario& scenario, benchmark::State& state, std::uint64_t& virtualMs)
{
    sim::SimWindows windows(scenario.world, InstallerResources());
    ApplyScenario(scenario, windows);
    if (RunInstaller(windows) != 0) state.SkipWithError("the installation did not end with OK");
    virtualMs = windows.context.clock.Now();
}

void WholeUsbInstallation(benchmark::State& state)
{
    const Scenario scenario = ParseScenario(DefaultScenarioJson(), "built-in scenario");
    std::uint64_t virtualMs = 0;
    for (auto _ : state) RunOnce(scenario, state, virtualMs);
    // Virtual seconds simulated per second of real time.
    state.counters["virtual_s"] = static_cast<double>(virtualMs) / 1000.0;
    state.counters["speedup"] = benchmark::Counter(static_cast<double>(virtualMs) / 1000.0,
                                                   benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(WholeUsbInstallation)->Unit(benchmark::kMicrosecond);

// A technician who takes half an hour to connect the machine: 300 polls of state 4.
void LongWaitForTheMachine(benchmark::State& state)
{
    Scenario scenario = ParseScenario(DefaultScenarioJson(), "built-in scenario");
    for (TimelineEntry& entry : scenario.timeline)
        if (entry.atMs >= 12000) entry.atMs += 30 * 60 * 1000;
    scenario.world.limitMs = 2 * 60 * 60 * 1000;
    std::uint64_t virtualMs = 0;
    for (auto _ : state) RunOnce(scenario, state, virtualMs);
    state.counters["virtual_s"] = static_cast<double>(virtualMs) / 1000.0;
}
BENCHMARK(LongWaitForTheMachine)->Unit(benchmark::kMicrosecond);

}  // namespace
