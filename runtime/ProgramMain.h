#pragma once

// The platform's entry for a program built on the runtime: opens the display
// the command line or environment names, puts the platform's message box
// behind the fatal report, hands the runtime the program's header and entry
// routine, and runs the application object, whose instance-initialisation
// hook calls the entry routine. Returns the process's exit code.

#include "AppRuntime.h"

namespace runtime {

struct ProgramHeader;

int program_main(int argc, char** argv, const ProgramHeader& header, ProgramEntry entry);

} // namespace runtime
