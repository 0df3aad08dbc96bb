#include "WindowTemplate.h"

#include "TemplateStreamReader.h"
#include "TemplateStreamWriter.h"

namespace runtime {

namespace {

ErrorOr<std::vector<UnitRecord>> parse_unit_buffer(std::span<const std::uint8_t> buffer,
                                                   std::uint32_t count) {
    // The window's own unit is always there; 8 bytes of id and offset per unit.
    if (count == 0 || count > buffer.size() / 8)
        return template_data_error();
    std::size_t records_start = std::size_t{count} * 8;
    TemplateStreamReader table(buffer.first(records_start));
    std::vector<std::uint32_t> ids(count);
    for (auto& id : ids)
        id = RUNTIME_TRY(table.read_word());

    std::vector<UnitRecord> units;
    units.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint32_t offset = RUNTIME_TRY(table.read_word());
        if (offset > buffer.size() - records_start)
            return template_data_error();
        TemplateStreamReader record_reader(buffer.subspan(records_start + offset));
        std::uint32_t length = RUNTIME_TRY(record_reader.read_word());
        auto bytes = RUNTIME_TRY(record_reader.read_bytes(length));
        units.push_back(RUNTIME_TRY(UnitRecord::parse(ids[i], bytes)));
    }
    return units;
}

} // namespace

ErrorOr<WindowTemplate> WindowTemplate::read(TemplateStreamReader& reader,
                                             std::uint32_t window_id) {
    WindowTemplate window;
    window.window_id = window_id;
    window.w1 = RUNTIME_TRY(reader.read_word());
    window.w2 = RUNTIME_TRY(reader.read_word());
    window.t1 = RUNTIME_TRY(reader.read_text());
    window.t2 = RUNTIME_TRY(reader.read_text());
    std::uint32_t unit_count = RUNTIME_TRY(reader.read_word());
    std::uint32_t buffer_length = RUNTIME_TRY(reader.read_word());
    auto buffer = RUNTIME_TRY(reader.read_bytes(buffer_length));
    window.units = RUNTIME_TRY(parse_unit_buffer(buffer, unit_count));
    return window;
}

void WindowTemplate::write(TemplateStreamWriter& writer) const {
    writer.write_word(w1);
    writer.write_word(w2);
    writer.write_text(t1);
    writer.write_text(t2);
    writer.write_word(static_cast<std::uint32_t>(units.size()));

    TemplateStreamWriter records;
    std::vector<std::uint32_t> offsets;
    for (auto& unit : units) {
        offsets.push_back(static_cast<std::uint32_t>(records.size()));
        records.write_buffer(unit.serialize());
    }
    TemplateStreamWriter buffer;
    for (auto& unit : units)
        buffer.write_word(unit.id);
    for (auto offset : offsets)
        buffer.write_word(offset);
    buffer.write_bytes(records.bytes());
    writer.write_buffer(buffer.bytes());
}

const UnitRecord* WindowTemplate::find_unit(std::uint32_t unit_id) const {
    if (!is_valid_unit_id(unit_id))
        return nullptr;
    for (auto& unit : units) {
        if (unit.id == unit_id)
            return &unit;
    }
    return nullptr;
}

UnitRecord* WindowTemplate::find_unit(std::uint32_t unit_id) {
    return const_cast<UnitRecord*>(static_cast<const WindowTemplate&>(*this).find_unit(unit_id));
}

void WindowTemplate::relocate(const void* code_base) {
    for (auto& unit : units)
        unit.relocate(code_base);
}

} // namespace runtime
