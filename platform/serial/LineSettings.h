#pragma once

// The settings of a serial line and their termios form. `store` fills a
// termios in raw mode (no echo, no line editing, no translation of bytes,
// the receiver on, modem control lines ignored) with the settings;
// `load` reads them back. Neither touches a device, so the mapping is
// tested on plain structures.
//
// Some settings of the platform the units were designed for have no termios
// form and are taken as off: DTR/DSR hardware flow control (output held by
// DSR, input flow signalled on DTR) and DSR sensitivity. One and a half
// stop bits become two: termios knows one or two, and the UARTs that offer
// one and a half do so only with five data bits.
//
// Breaks and, when parity checking is on, parity and framing errors are
// marked in the input stream (PARMRK); LineMarkDecoder reads the marks.

#include <cstdint>
#include <optional>
#include <termios.h>

namespace platform::serial {

enum class Parity { None, Odd, Even, Mark, Space };
enum class StopBits { One, OneAndHalf, Two };
enum class FlowControl { None, RtsCts, XonXoff };

inline constexpr unsigned char XonChar = 0x11;
inline constexpr unsigned char XoffChar = 0x13;

struct LineSettings {
    std::uint32_t baud_rate = 9600;
    int data_bits = 8;
    StopBits stop_bits = StopBits::One;
    Parity parity = Parity::None;
    bool parity_check = false;
    FlowControl flow = FlowControl::None;

    // False, leaving `t` as it was, for a setting termios cannot express:
    // a baud rate of 0 (which would hang the line up) or data bits outside
    // 5 to 8. A rate with no speed constant of its own is not stored here;
    // the device sets it through the arbitrary-rate interface.
    bool store(termios& t) const;
    // Reads the settings from `t`. The baud rate is the one of the speed
    // constant; for an arbitrary rate the device reads it separately.
    void load(const termios& t);

    bool operator==(const LineSettings&) const = default;
};

// The speed constant for a rate, when the rate has one.
std::optional<speed_t> speed_constant(std::uint32_t baud_rate);
// The rate of a speed constant; 0 for B0 and for anything unknown.
std::uint32_t rate_of_speed(speed_t speed);

// The time one character takes on the line at these settings, in
// microseconds (start bit, data bits, parity bit, stop bits).
std::uint64_t character_time_us(const LineSettings& settings);

} // namespace platform::serial
