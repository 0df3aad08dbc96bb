#include "JsonLines.h"

namespace arm {

namespace {

std::string number_or_null(const std::optional<std::int64_t>& value) {
    return value ? std::to_string(*value) : std::string("null");
}

} // namespace

std::string command_json(const ReceivedCommand& received, Millis start) {
    const ParsedCommand& c = received.command;
    std::string line = "{\"t_ms\":" + std::to_string(received.time - start);
    line += ",\"servo\":\"";
    line += servo_letter(c.servo);
    line += "\",\"value\":";
    line += c.empty ? std::string("null") : std::to_string(c.value);
    line += ",\"clamped\":";
    line += received.effect.clamped ? "true" : "false";
    line += ",\"gap_ms\":" + number_or_null(received.gap) + "}";
    return line;
}

std::string summary_json(const ArmSession& session) {
    const ParserCounts& counts = session.counts();
    std::string line = "{\"summary\":{\"commands\":" + std::to_string(counts.commands);
    line += ",\"empty_commands\":" + std::to_string(counts.empty_commands);
    line += ",\"garbage_bytes\":" + std::to_string(counts.garbage_bytes);
    line += ",\"last\":{";
    for (int i = 0; i < k_servo_count; ++i) {
        if (i)
            line += ',';
        line += '"';
        line += servo_letter(i);
        line += "\":" + number_or_null(session.last_value(i));
    }
    line += "}}}";
    return line;
}

} // namespace arm
