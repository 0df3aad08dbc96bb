#include "ArmSession.h"

namespace arm {

ArmSession::ArmSession(ServoSettings settings, Millis start) : m_model(settings, start) {}

void ArmSession::receive(std::string_view bytes, Millis time, std::vector<ReceivedCommand>& out) {
    m_parsed.clear();
    m_parser.feed(bytes, m_parsed);
    for (const ParsedCommand& command : m_parsed) {
        ReceivedCommand received;
        received.time = time;
        if (m_last_time)
            received.gap = time - *m_last_time;
        m_last_time = time;
        received.command = command;
        if (command.empty) {
            m_model.advance(time);
            received.effect.target = m_model.target(command.servo);
        } else {
            received.effect = m_model.command(command.servo, command.value, time);
            m_last_value[command.servo] = command.value;
        }
        out.push_back(received);
    }
}

void ArmSession::sender_closed() {
    m_parser.finish();
}

} // namespace arm
