// The design compiler over the program's unit types and the test probe type.

#include "DesignTestTypes.h"

#include <DesignCompilerTool.h>

int main(int argc, char** argv) {
    return designc::run_design_compiler(argc, argv, test_support::test_design_types());
}
