#pragma once
// The transcript of a simulated installation: every observable event with its virtual time,
// then a summary of the world as the installer left it.

#include <string>

#include "platform/sim/sim_windows.h"

// What a person calls a control of the installer's dialog: "Next", "step line 3", ...
std::string ControlName(int controlId);

std::string FormatEvent(const sim::Event& event);
std::string Transcript(sim::SimWindows& windows, int exitCode);
