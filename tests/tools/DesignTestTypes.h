#pragma once

// The unit types the test designs may name: the program's and the probe.

#include "ProbeTypePlace.h"

#include <DesignTypes.h>

namespace test_support {

inline designc::DesignTypes test_design_types() {
    auto types = designc::DesignTypes::standard();
    types.add<test_support::ProbeUnit>(ProbeTypeCode, test_support::ProbeUnit::type_info());
    return types;
}

} // namespace test_support
