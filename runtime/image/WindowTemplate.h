#pragma once

// One window of the program's stored design: two words and two texts carried
// through unchanged, and the window's unit records in stored order (the
// window's own unit first).
//
// Stream form: W1, W2, T1, T2, unit count n, then the unit buffer
// {n unit ids, n record offsets (from the end of the offset array), records
// each a word L and L record bytes}.

#include "UnitRecord.h"
#include <runtime/values/ErrorOr.h>

#include <cstdint>
#include <string>
#include <vector>

namespace runtime {

class TemplateStreamReader;
class TemplateStreamWriter;

struct WindowTemplate {
    std::uint32_t window_id = 0;
    std::uint32_t w1 = 0;
    std::uint32_t w2 = 0;
    std::string t1;
    std::string t2;
    std::vector<UnitRecord> units;

    // An invalid id is not found; the first unit is compared first.
    const UnitRecord* find_unit(std::uint32_t unit_id) const;
    UnitRecord* find_unit(std::uint32_t unit_id);

    void relocate(const void* code_base);

    static ErrorOr<WindowTemplate> read(TemplateStreamReader& reader, std::uint32_t window_id);
    void write(TemplateStreamWriter& writer) const;
};

} // namespace runtime
