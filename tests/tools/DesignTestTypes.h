#pragma once

// The unit types the test designs may name: the program's and the probe.

#include "ProbeTypePlace.h"

#include <DesignCompiler.h>
#include <DesignTypes.h>

#include <string_view>

namespace test_support {

inline designc::DesignTypes test_design_types() {
    auto types = designc::DesignTypes::standard();
    types.add<test_support::ProbeUnit>(ProbeTypeCode, test_support::ProbeUnit::type_info());
    return types;
}

inline designc::CompileResult compile_test_design(std::string_view source) {
    return designc::compile_design_source(source, test_design_types());
}

} // namespace test_support
