#pragma once

// The stored data of a unit: the type-specific tail of its record, which the
// unit type alone reads. Numbers are 32-bit little-endian words; a text is a
// word byte count and that many bytes, without terminator. Most types start
// with a format version word; a version above the type's own fails the load.
//
// These are the template stream's own primitives, so the reader and writer
// are the runtime's, with the version rule added.

#include <runtime/image/TemplateStreamReader.h>
#include <runtime/image/TemplateStreamWriter.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace units {

class StoredDataReader {
  public:
    explicit StoredDataReader(std::span<const std::uint8_t> data) : m_reader(data) {}

    bool is_empty() const { return m_reader.remaining() == 0 && m_reader.position() == 0; }
    bool at_end() const { return m_reader.at_end(); }

    // Reads the version word; false when it is missing or above `own_version`.
    bool read_version(std::uint32_t own_version, std::uint32_t& version);
    bool read_word(std::uint32_t& word);
    bool read_int(std::int32_t& value);
    bool read_bool(bool& value);
    bool read_text(std::string& text);
    bool read_block(std::vector<std::uint8_t>& block);

  private:
    runtime::TemplateStreamReader m_reader;
};

class StoredDataWriter {
  public:
    void write_version(std::uint32_t version) { m_writer.write_word(version); }
    void write_word(std::uint32_t word) { m_writer.write_word(word); }
    void write_int(std::int32_t value) { m_writer.write_int(value); }
    void write_bool(bool value) { m_writer.write_word(value ? 1 : 0); }
    void write_text(std::string_view text) { m_writer.write_text(text); }
    void write_block(std::span<const std::uint8_t> block) { m_writer.write_buffer(block); }

    std::vector<std::uint8_t> take() { return m_writer.take(); }

  private:
    runtime::TemplateStreamWriter m_writer;
};

} // namespace units
