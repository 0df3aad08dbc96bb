#include "TemplateStreamWriter.h"

#include <cassert>
#include <utility>

namespace runtime {

void TemplateStreamWriter::write_word(std::uint32_t word) {
    for (int shift = 0; shift < 32; shift += 8)
        m_bytes.push_back(static_cast<std::uint8_t>(word >> shift));
}

void TemplateStreamWriter::write_text(std::string_view text) {
    write_word(static_cast<std::uint32_t>(text.size()));
    m_bytes.insert(m_bytes.end(), text.begin(), text.end());
}

void TemplateStreamWriter::write_buffer(std::span<const std::uint8_t> bytes) {
    write_word(static_cast<std::uint32_t>(bytes.size()));
    write_bytes(bytes);
}

void TemplateStreamWriter::write_bytes(std::span<const std::uint8_t> bytes) {
    m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
}

void TemplateStreamWriter::write_terminated_text(std::string_view text) {
    // A zero inside would end the text early when read back.
    assert(text.find('\0') == std::string_view::npos);
    m_bytes.insert(m_bytes.end(), text.begin(), text.end());
    m_bytes.push_back(0);
}

} // namespace runtime
