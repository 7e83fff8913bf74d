// The program's start and end.
#pragma once

#include <string>

namespace cj::app {

// Builds the program-wide state for runDirectory (the executable's folder,
// no trailing separator), opens the main window and runs until it is closed
// and the settings are saved. Returns the process exit code: 0, or 1 when no
// window could be made.
int RunProgram(std::string runDirectory);

// Ends the process. When no worker runs, the state is released in order;
// otherwise the process ends at once without waiting for the workers, which
// must not find their state freed under them.
[[noreturn]] void EndProcess(int exitCode);

}  // namespace cj::app
