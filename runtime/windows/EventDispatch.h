#pragma once

// Finding the program's handler for a unit's event and calling it.

#include "EventRequest.h"

#include <cstdint>

namespace runtime {

// The handler bound to event `event` of unit `unit_id` (0: the window) of
// window `window_id`, following the unit's redirect chain; null when events
// are suppressed or nothing is bound. A window or unit that does not exist,
// or a unit whose type raises no events, is fatal. When a handler is found
// it becomes the current event source.
ProgramHandler find_event_handler(std::uint32_t window_id, std::uint32_t unit_id,
                                  std::int32_t event);

// Service 2008: 1 when a handler ran.
std::intptr_t raise_event(EventRequest& request);
// Service 2031: 1 when a handler ran.
std::intptr_t raise_typed_event(TypedEventRequest& request);

// The word a typed argument passes to the handler.
std::uint64_t typed_event_word(const EventArg& arg);

} // namespace runtime
