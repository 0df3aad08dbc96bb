#pragma once

// Reads the marks the terminal puts into received data (PARMRK): a data
// byte 0xFF arrives doubled (0xFF 0xFF), a break as 0xFF 0x00 0x00, and a
// byte received with a parity or framing error as 0xFF 0x00 and the byte.
// A parity error on a received 0x00 looks like a break; it is taken as one.
//
// The decoder keeps its state between chunks, so a mark split across two
// reads is still read as one.

#include <cstdint>
#include <optional>

namespace platform::serial {

struct LineItem {
    enum class Kind { Byte, Break, ErrorByte };
    Kind kind = Kind::Byte;
    // The data byte for Byte, the byte received in error for ErrorByte.
    std::uint8_t byte = 0;

    bool operator==(const LineItem&) const = default;
};

class LineMarkDecoder {
  public:
    // One received byte in; an item out once it is complete.
    std::optional<LineItem> feed(std::uint8_t byte);
    // True while a mark has begun and not ended.
    bool in_mark() const { return m_state != State::Plain; }

  private:
    enum class State { Plain, AfterFF, AfterFF00 };
    State m_state = State::Plain;
};

} // namespace platform::serial
