#include "CommandParser.h"

namespace arm {

namespace {

// The largest magnitude a 32-bit command value can have (the negative end).
constexpr std::int64_t k_magnitude_limit = 2147483648LL;

bool is_digit(std::uint8_t c) {
    return c >= '0' && c <= '9';
}

bool is_letter(std::uint8_t c) {
    return c >= 'a' && c <= 'd';
}

} // namespace

const char* servo_name(int servo) {
    static const char* const names[k_servo_count] = {"Gripper", "Shoulder", "Elbow", "Base"};
    return servo >= 0 && servo < k_servo_count ? names[servo] : "?";
}

void CommandParser::start_number(bool negative) {
    m_state = State::Number;
    m_negative = negative;
    m_has_digits = false;
    m_too_long = false;
    m_magnitude = 0;
    m_pending_bytes = 1;
}

void CommandParser::drop_pending() {
    m_counts.garbage_bytes += m_pending_bytes;
    m_pending_bytes = 0;
}

void CommandParser::feed(std::span<const std::uint8_t> bytes, std::vector<ParsedCommand>& out) {
    const std::uint8_t* p = bytes.data();
    const std::uint8_t* end = p + bytes.size();
    while (p < end) {
        std::uint8_t c = *p++;
        switch (m_state) {
        case State::Number:
            if (is_digit(c)) {
                ++m_pending_bytes;
                m_has_digits = true;
                if (!m_too_long) {
                    m_magnitude = m_magnitude * 10 + (c - '0');
                    m_too_long =
                        m_magnitude > (m_negative ? k_magnitude_limit : k_magnitude_limit - 1);
                }
                continue;
            }
            if (is_letter(c)) {
                if (m_has_digits && !m_too_long) {
                    std::int64_t value = m_negative ? -m_magnitude : m_magnitude;
                    out.push_back({static_cast<std::uint8_t>(c - 'a'), false,
                                   static_cast<std::int32_t>(value)});
                    ++m_counts.commands;
                    m_pending_bytes = 0;
                } else {
                    ++m_pending_bytes;
                    drop_pending();
                }
                m_state = State::Ready;
                continue;
            }
            drop_pending();
            if (c == '-') {
                start_number(true);
                continue;
            }
            ++m_counts.garbage_bytes;
            m_state = State::Garbage;
            continue;
        case State::Ready:
            if (is_letter(c)) {
                out.push_back({static_cast<std::uint8_t>(c - 'a'), true, 0});
                ++m_counts.empty_commands;
                continue;
            }
            [[fallthrough]];
        case State::Garbage:
            if (is_digit(c)) {
                start_number(false);
                m_has_digits = true;
                m_magnitude = c - '0';
                continue;
            }
            if (c == '-') {
                start_number(true);
                continue;
            }
            ++m_counts.garbage_bytes;
            m_state = State::Garbage;
            continue;
        }
    }
}

void CommandParser::finish() {
    drop_pending();
    m_state = State::Ready;
}

} // namespace arm
