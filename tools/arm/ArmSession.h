#pragma once

// What the arm does with the bytes it receives: parse them into commands,
// point the servos, and remember what came when. Both the window and the
// headless mode run one session on one thread.

#include "ArmModel.h"
#include "CommandParser.h"

#include <array>
#include <optional>
#include <string_view>
#include <vector>

namespace arm {

struct ReceivedCommand {
    Millis time = 0;           // when its last byte arrived
    std::optional<Millis> gap; // since the command before it (none for the first)
    ParsedCommand command;
    CommandEffect effect; // for an empty command: nothing was applied
};

class ArmSession {
  public:
    explicit ArmSession(ServoSettings settings = {}, Millis start = 0);

    // Takes bytes that arrived at `time`; appends the commands they complete.
    void receive(std::string_view bytes, Millis time, std::vector<ReceivedCommand>& out);
    // The sender closed the line; an unfinished command is dropped as garbage.
    void sender_closed();

    ArmModel& model() { return m_model; }
    const ArmModel& model() const { return m_model; }
    const ParserCounts& counts() const { return m_parser.counts(); }
    // The last value each servo was sent, as sent (before clamping).
    std::optional<std::int32_t> last_value(int servo) const { return m_last_value[servo]; }

  private:
    CommandParser m_parser;
    ArmModel m_model;
    std::optional<Millis> m_last_time;
    std::array<std::optional<std::int32_t>, k_servo_count> m_last_value;
    std::vector<ParsedCommand> m_parsed;
};

} // namespace arm
