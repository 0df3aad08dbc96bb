#include "ProgramImage.h"

#include <runtime/ProgramMain.h>

namespace runtime {

// Kept apart from ProgramMain.cpp: only programs that call this entry need a
// linked header, so the tests that build their headers by hand link without one.
int program_main(int argc, char** argv, ProgramEntry entry) {
    return program_main(argc, argv, program_image_header(), entry);
}

} // namespace runtime
