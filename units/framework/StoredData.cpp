#include "StoredData.h"

namespace units {

bool StoredDataReader::read_version(std::uint32_t own_version, std::uint32_t& version) {
    return read_word(version) && version <= own_version;
}

bool StoredDataReader::read_word(std::uint32_t& word) {
    auto read = m_reader.read_word();
    if (read.is_error())
        return false;
    word = read.value();
    return true;
}

bool StoredDataReader::read_int(std::int32_t& value) {
    std::uint32_t word = 0;
    if (!read_word(word))
        return false;
    value = static_cast<std::int32_t>(word);
    return true;
}

bool StoredDataReader::read_bool(bool& value) {
    std::uint32_t word = 0;
    if (!read_word(word))
        return false;
    value = word != 0;
    return true;
}

bool StoredDataReader::read_text(std::string& text) {
    auto read = m_reader.read_text();
    if (read.is_error())
        return false;
    text = read.release_value();
    return true;
}

bool StoredDataReader::read_block(std::vector<std::uint8_t>& block) {
    auto read = m_reader.read_buffer();
    if (read.is_error())
        return false;
    block = read.release_value();
    return true;
}

} // namespace units
