#pragma once

// The design compiler's command line:
//   designc [--stream=FILE] DESIGN OUT.cpp OUT.h
// Compiles DESIGN with the given unit types and writes the generated source
// and header (and, when asked, the bare template stream). Every error goes
// to standard error as "DESIGN:LINE: error: MESSAGE"; nothing is written
// then and the result is 1.

#include "DesignTypes.h"

namespace designc {

int run_design_compiler(int argc, char** argv, const DesignTypes& types);

} // namespace designc
