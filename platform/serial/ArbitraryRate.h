#pragma once

// Baud rates through the kernel's termios2 interface, which takes any rate
// as a number. Its structure and the C library's termios cannot be included
// together, so this interface is kept in a file of its own.

#include <cstdint>
#include <optional>

namespace platform::serial {

// Sets input and output rate of an open terminal to `rate`; false when the
// kernel refuses it.
bool set_arbitrary_rate(int fd, std::uint32_t rate);
// The output rate the kernel holds for the terminal, whatever its form.
std::optional<std::uint32_t> read_rate(int fd);

} // namespace platform::serial
