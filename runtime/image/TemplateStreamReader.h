#pragma once

// Reads the window template stream and the records inside it: 32-bit
// little-endian words, counted texts and buffers ({word n, n bytes}) and the
// zero-terminated texts of unit records. Every read is checked against the
// bytes that are left; a read past the end, or a count that claims more
// bytes than there are, is the error "载入窗口模板数据段出错!".

#include <runtime/values/ErrorOr.h>

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace runtime {

class TemplateStreamReader {
  public:
    explicit TemplateStreamReader(std::span<const std::uint8_t> data) : m_data(data) {}

    ErrorOr<std::uint32_t> read_word();
    ErrorOr<std::string> read_text();
    ErrorOr<std::vector<std::uint8_t>> read_buffer();
    ErrorOr<std::span<const std::uint8_t>> read_bytes(std::size_t count);
    // Up to and including the next zero byte; the zero is not part of the result.
    ErrorOr<std::string> read_terminated_text();

    std::size_t position() const { return m_position; }
    std::size_t remaining() const { return m_data.size() - m_position; }
    bool at_end() const { return m_position == m_data.size(); }

  private:
    std::span<const std::uint8_t> m_data;
    std::size_t m_position = 0;
};

// The error every malformation of the template data turns into.
RuntimeError template_data_error();

} // namespace runtime
