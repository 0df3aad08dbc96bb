#pragma once

// The commands' road to the runtime's numbered services. The runtime hands
// every library its HostNotify entry at start-up (LibraryNotify code 1);
// until then, and in tests that never run start-up, the commands call the
// runtime's own entry, which is the same function in this single image.

#include <runtime/services/HostNotify.h>

#include <cstdint>

namespace commands {

// The library's LibraryNotify entry: code 1 keeps the HostNotify address,
// code 6 forgets it. Always answers 0 (the library keeps no data word).
std::intptr_t library_notify(std::int32_t code, std::intptr_t argument1, std::intptr_t argument2);

// Calls a HostNotify service through the entry the runtime handed over.
std::intptr_t host_call(std::int32_t code, std::intptr_t argument1 = 0,
                        std::intptr_t argument2 = 0);

// Replaces the entry (tests put a stand-in runtime here); nullptr restores
// the runtime's own.
void set_host_notify(runtime::HostNotifyFunction entry);

} // namespace commands
