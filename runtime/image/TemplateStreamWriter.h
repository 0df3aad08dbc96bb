#pragma once

// Writes the window template stream in the form TemplateStreamReader reads.
// The design compiler builds the program's template data with it.

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace runtime {

class TemplateStreamWriter {
  public:
    void write_word(std::uint32_t word);
    void write_int(std::int32_t value) { write_word(static_cast<std::uint32_t>(value)); }
    void write_text(std::string_view text);
    void write_buffer(std::span<const std::uint8_t> bytes);
    void write_bytes(std::span<const std::uint8_t> bytes);
    void write_terminated_text(std::string_view text);

    const std::vector<std::uint8_t>& bytes() const { return m_bytes; }
    std::vector<std::uint8_t> take() { return std::move(m_bytes); }
    std::size_t size() const { return m_bytes.size(); }

  private:
    std::vector<std::uint8_t> m_bytes;
};

} // namespace runtime
