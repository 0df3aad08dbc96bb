#pragma once

// The arm program's command line:
//
//   armctl-arm [--com N] [--headless] [--travel MIN:MAX] [--speed SECONDS]
//              [--backend=gtk|headless] [-- PROGRAM [ARGS...]]
//
// --com N        the COM number the line is published as (1 to 99, default 1)
// --headless     no window: JSON lines on standard output
// --travel       each servo's travel in degrees (default 0:180)
// --speed        seconds a servo takes for 60 degrees (default 0.15)
// -- PROGRAM     starts PROGRAM with ARMCTL_COMn set to the line; the arm
//                stops when it ends, and ends it when the arm stops
//
// --backend is left in place for the display choice.

#include "ArmModel.h"

#include <string>
#include <vector>

namespace arm {

struct ArmOptions {
    int com = 1;
    bool headless = false;
    ServoSettings servo;
    std::vector<std::string> program; // empty: no program to start
    bool help = false;
    bool version = false;
    std::string error; // non-empty: the command line could not be read
};

// Reads argv[1..argc-1]; --backend options stay for the display to read.
ArmOptions read_arm_options(int argc, char** argv);

const char* arm_usage();

} // namespace arm
