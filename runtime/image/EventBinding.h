#pragma once

#include <cstdint>

namespace runtime {

// Stored handler word meaning "no handler".
inline constexpr std::uint32_t NoHandler = 0xFFFFFFFFu;

// One event of a unit bound to one handler of the program.
struct EventBinding {
    // Index into the unit type's event list; negative numbers are events
    // common to several unit types.
    std::int32_t event = 0;
    // As stored: the handler's offset from the program's code base, or NoHandler.
    std::uint32_t stored_handler = NoHandler;
    // After relocation: the handler's address, or null for none.
    const void* handler = nullptr;

    void relocate(const void* code_base);
};

// A stored handler word made an address: NoHandler becomes null, anything
// else the code base plus the word.
const void* relocate_handler(std::uint32_t stored_handler, const void* code_base);

} // namespace runtime
