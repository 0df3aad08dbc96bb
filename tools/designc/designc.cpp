// The design compiler over the unit types of the program's libraries.

#include "DesignCompilerTool.h"

int main(int argc, char** argv) {
    return designc::run_design_compiler(argc, argv, designc::DesignTypes::standard());
}
