#pragma once

// The libraries' road to the runtime's numbered services. The runtime hands
// every library its HostNotify entry at start-up (LibraryNotify code 1), and
// the units and the commands alike call their services through the one entry
// kept here; until then, after shut-down and in tests that never start the
// program, they call the runtime's own entry, which is the same function in
// this single image.

#include "HostNotify.h"

#include <cstdint>

namespace runtime {

// Calls a HostNotify service through the kept entry.
std::intptr_t library_host_call(std::int32_t code, std::intptr_t argument1 = 0,
                                std::intptr_t argument2 = 0);

// Replaces the entry (tests put a stand-in runtime here); nullptr restores
// the runtime's own.
void set_library_host(HostNotifyFunction entry);

// A library's LibraryNotify entry: code 1 keeps the HostNotify address,
// code 6 forgets it. Always answers 0 (the library keeps no data word).
std::intptr_t keep_library_host(std::int32_t code, std::intptr_t argument1,
                                std::intptr_t argument2);

} // namespace runtime
