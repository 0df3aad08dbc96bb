#include "TemplateStreamReader.h"

#include <runtime/windows/RuntimeMessages.h>

#include <cstring>

namespace runtime {

RuntimeError template_data_error() {
    return RuntimeError{messages::TemplateLoadFailed};
}

ErrorOr<std::span<const std::uint8_t>> TemplateStreamReader::read_bytes(std::size_t count) {
    if (count > remaining())
        return template_data_error();
    auto bytes = m_data.subspan(m_position, count);
    m_position += count;
    return bytes;
}

ErrorOr<std::uint32_t> TemplateStreamReader::read_word() {
    auto bytes = read_bytes(4);
    if (bytes.is_error())
        return bytes.error();
    auto& b = bytes.value();
    return static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
           static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
}

ErrorOr<std::string> TemplateStreamReader::read_text() {
    auto count = read_word();
    if (count.is_error())
        return count.error();
    auto bytes = read_bytes(count.value());
    if (bytes.is_error())
        return bytes.error();
    return std::string(bytes.value().begin(), bytes.value().end());
}

ErrorOr<std::vector<std::uint8_t>> TemplateStreamReader::read_buffer() {
    auto count = read_word();
    if (count.is_error())
        return count.error();
    auto bytes = read_bytes(count.value());
    if (bytes.is_error())
        return bytes.error();
    return std::vector<std::uint8_t>(bytes.value().begin(), bytes.value().end());
}

ErrorOr<std::string> TemplateStreamReader::read_terminated_text() {
    auto rest = m_data.subspan(m_position);
    if (rest.empty())
        return template_data_error();
    auto* zero = static_cast<const std::uint8_t*>(std::memchr(rest.data(), 0, rest.size()));
    if (!zero)
        return template_data_error();
    std::size_t length = static_cast<std::size_t>(zero - rest.data());
    std::string text(rest.begin(), rest.begin() + static_cast<std::ptrdiff_t>(length));
    m_position += length + 1;
    return text;
}

} // namespace runtime
