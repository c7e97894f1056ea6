#pragma once
// Running Install.exe as a process of the simulated Windows.

#include "platform/sim/sim_windows.h"

// The resources of Install.exe: dialog 102, the three banners and the icon.
sim::ProgramResources InstallerResources();

// Starts the installer in the simulated world and runs it until its dialog ends or the
// simulation stops; returns the process's exit code.
int RunInstaller(sim::SimWindows& windows);
