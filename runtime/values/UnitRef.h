#pragma once

// A unit of a loaded window as a program names it: its window id, its unit
// id and its type code. As a value it is what every unit method takes as its
// argument 0. The design compiler names the units of a design by these.

#include "TypedValue.h"

#include <cstdint>

namespace runtime {

struct UnitRef {
    std::uint32_t window = 0;
    std::uint32_t unit = 0;
    std::uint32_t type = 0;

    TypedValue value() const {
        TypedValue v;
        v.set_words(window, unit);
        v.type = type;
        return v;
    }
};

} // namespace runtime
