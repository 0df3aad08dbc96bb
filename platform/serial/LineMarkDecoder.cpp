#include "LineMarkDecoder.h"

namespace platform::serial {

std::optional<LineItem> LineMarkDecoder::feed(std::uint8_t byte) {
    switch (m_state) {
    case State::Plain:
        if (byte == 0xFF) {
            m_state = State::AfterFF;
            return std::nullopt;
        }
        return LineItem{LineItem::Kind::Byte, byte};
    case State::AfterFF:
        if (byte == 0x00) {
            m_state = State::AfterFF00;
            return std::nullopt;
        }
        m_state = State::Plain;
        // 0xFF 0xFF is a data byte 0xFF. Anything else after a lone 0xFF
        // cannot come from the terminal; the byte is passed on as data.
        return LineItem{LineItem::Kind::Byte, byte};
    case State::AfterFF00:
        m_state = State::Plain;
        if (byte == 0x00)
            return LineItem{LineItem::Kind::Break, 0};
        return LineItem{LineItem::Kind::ErrorByte, byte};
    }
    return std::nullopt;
}

} // namespace platform::serial
