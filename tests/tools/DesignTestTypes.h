#pragma once

// The unit types the test designs may name: the program's and the probe.

#include "ProbeTypePlace.h"

#include <DesignTypes.h>

namespace design_test {

inline designc::DesignTypes test_design_types() {
    auto types = designc::DesignTypes::standard();
    types.add<runtime_test::ProbeUnit>(ProbeTypeCode, runtime_test::ProbeUnit::type_info());
    return types;
}

} // namespace design_test
