#pragma once

// The arm's reading of its serial line. The controller sends servo commands
// with no separator and no terminator: a signed decimal number followed by a
// servo letter ("90a", "-5a", "80a100b80c120d"). The stream may arrive cut
// anywhere, so the parser keeps its state between pieces.
//
// - Digits with an optional leading minus, then a letter a to d, make a
//   command for that servo.
// - A letter with no number before it is an empty command: counted, not
//   applied. A half-filled playback row sends those.
// - A number that does not fit in 32 bits, or a minus with no digits, spoils
//   the command: its bytes and its letter are garbage.
// - Any other byte is garbage, and so is an unfinished number it cuts off.
//   Reading resumes at the next digit or minus; letters before it are
//   garbage too.
//
// The pending number is held as a value and a byte count, so memory stays
// the same whatever the stream holds.

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace arm {

constexpr int k_servo_count = 4;

// The command letter of servo 0 to 3: 'a' Gripper, 'b' Shoulder, 'c' Elbow,
// 'd' Base.
constexpr char servo_letter(int servo) {
    return static_cast<char>('a' + servo);
}
const char* servo_name(int servo);

struct ParsedCommand {
    std::uint8_t servo = 0; // 0 to 3
    bool empty = false;     // a letter with no number
    std::int32_t value = 0; // 0 when empty

    bool operator==(const ParsedCommand&) const = default;
};

struct ParserCounts {
    std::uint64_t commands = 0;
    std::uint64_t empty_commands = 0;
    std::uint64_t garbage_bytes = 0;

    bool operator==(const ParserCounts&) const = default;
};

class CommandParser {
  public:
    // Reads the next piece of the stream and appends every command it
    // completes to `out`.
    void feed(std::span<const std::uint8_t> bytes, std::vector<ParsedCommand>& out);
    void feed(std::string_view bytes, std::vector<ParsedCommand>& out) {
        feed(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), out);
    }
    // The sender went away: an unfinished number is garbage, and the next
    // piece starts a fresh stream.
    void finish();

    const ParserCounts& counts() const { return m_counts; }
    // Bytes held for a command that is not complete yet.
    std::uint64_t pending_bytes() const { return m_pending_bytes; }

  private:
    enum class State : std::uint8_t { Ready, Number, Garbage };

    void start_number(bool negative);
    void drop_pending();

    State m_state = State::Ready;
    bool m_negative = false;
    bool m_has_digits = false;
    bool m_too_long = false;
    std::int64_t m_magnitude = 0;
    std::uint64_t m_pending_bytes = 0;
    ParserCounts m_counts;
};

} // namespace arm
