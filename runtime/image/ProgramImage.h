#pragma once

// The program as the build lays it down beside the runtime: the design
// compiler generates the program header (with the window template data, the
// constant area and the handler table it points at) and links it into the
// image, so the runtime finds the program without being handed anything.

#include <runtime/AppRuntime.h>

namespace runtime {

struct ProgramHeader;

// Defined by the generated code of the program's design.
const ProgramHeader& program_image_header();

// The platform's entry for a program built with its design: program_main
// over the linked header. The entry routine passes nothing to the runtime.
int program_main(int argc, char** argv, ProgramEntry entry);

} // namespace runtime
