#pragma once

// The records with which a unit raises an event, and the convention by which
// the program's handlers are called.

#include <cstddef>
#include <cstdint>

namespace runtime {

// Word arguments (service 2008).
struct EventRequest {
    std::uint32_t window_id = 0;
    std::uint32_t unit_id = 0; // 0: the window itself
    std::int32_t event = 0;
    std::uint32_t arg_count = 0; // 0..5
    std::uint32_t args[5] = {};
    std::uint32_t result_present = 0;
    std::uint32_t result = 0;
};
static_assert(sizeof(EventRequest) == 44);

// One typed argument. On 64-bit the two data words are one field, so that
// an address passed with flag AsAddress fits; the record keeps its 16 bytes.
struct EventArg {
    std::uint64_t data = 0;
    std::uint32_t type = 0;
    std::uint32_t flags = 0;

    static constexpr std::uint32_t AsAddress = 1u << 0;
    static constexpr std::uint32_t BothWords = 1u << 1;
};
static_assert(sizeof(EventArg) == 16);

// Typed arguments (service 2031).
struct TypedEventRequest {
    std::uint32_t window_id = 0;
    std::uint32_t unit_id = 0;
    std::int32_t event = 0;
    std::uint32_t arg_count = 0; // 0..12
    EventArg args[12] = {};
    std::uint32_t result_present = 0;
    std::uint64_t result = 0;
};

// The events the runtime raises on a window itself (unit id 0).
namespace window_event {
inline constexpr std::int32_t Created = 0; // the program's start-up handler
// Raised after Created, in this order, while the window still exists.
inline constexpr std::int32_t CreatedSecond = 3;
inline constexpr std::int32_t CreatedThird = 4;
// While the loop is idle; one word argument, the milliseconds idle so far.
inline constexpr std::int32_t Idle = 7;
} // namespace window_event

inline constexpr std::uint32_t MaxEventWordArgs = 5;
inline constexpr std::uint32_t MaxEventTypedArgs = 12;

// What a handler reports: whether it returned a value, and the value. A
// handler declared without a result returns {}.
struct HandlerResult {
    bool has_value = false;
    std::uint64_t value = 0;
};

// A program handler is a free function of its event's arguments, one machine
// word each (an 8-byte value is one word on 64-bit):
//   HandlerResult handler();  HandlerResult handler(std::uint64_t, std::uint64_t); ...
// The handler table holds them as this generic type; a relocated handler
// address points at the table entry that holds the handler.
using ProgramHandler = void (*)();

// Calls the handler with `count` words (at most MaxEventTypedArgs).
HandlerResult call_program_handler(ProgramHandler handler, const std::uint64_t* words,
                                   std::size_t count);

} // namespace runtime
