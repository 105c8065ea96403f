// fsim.exe's window: a top-level window of the FSUIPC server's class that serves the
// protocol to other processes and shows the scenario position and the transcript.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "sim/fsim_options.h"
#include "sim/scenario.h"

namespace aerolinker {

// Creates the window and runs the message loop until it is closed; the process exit code.
// Returns 2 after reporting when the window or the transcript file cannot be made. The caller
// has made sure that no other server of the class runs.
int RunFsimWindow(HINSTANCE instance, const FsimOptions& options,
                  std::shared_ptr<const Scenario> scenario, int show);

// Shows a start-up problem: on the standard error when there is one, else in a message box.
void ReportFsimProblem(const std::string& text);

// A speed as the pilot reads it: "16×".
std::wstring SpeedLabel(std::uint32_t speed);

}  // namespace aerolinker
