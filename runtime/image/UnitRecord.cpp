#include "UnitRecord.h"

#include "TemplateStreamReader.h"
#include "TemplateStreamWriter.h"

namespace runtime {

namespace {

constexpr std::size_t names_offset = 24;

// Skips the four words of the rectangle and the slots around it.
constexpr std::size_t parent_from_object_slot = 24;

ErrorOr<std::array<std::uint32_t, 4>> read_four(TemplateStreamReader& reader) {
    std::array<std::uint32_t, 4> words{};
    for (auto& word : words)
        word = RUNTIME_TRY(reader.read_word());
    return words;
}

} // namespace

ErrorOr<UnitRecordLayout> find_unit_record_fields(std::span<const std::uint8_t> record) {
    UnitRecordLayout layout;
    TemplateStreamReader reader(record);
    RUNTIME_TRY(reader.read_bytes(names_offset));
    RUNTIME_TRY(reader.read_terminated_text());
    RUNTIME_TRY(reader.read_terminated_text());
    layout.object_slot = reader.position();

    RUNTIME_TRY(reader.read_bytes(parent_from_object_slot + 4));
    layout.child_count = RUNTIME_TRY(reader.read_word());
    if (layout.child_count > reader.remaining() / 4)
        return template_data_error();
    RUNTIME_TRY(reader.read_bytes(std::size_t{layout.child_count} * 4));

    layout.pointer_block = reader.position();
    std::uint32_t pointer_length = RUNTIME_TRY(reader.read_word());
    RUNTIME_TRY(reader.read_bytes(pointer_length));
    layout.tag = reader.position();
    RUNTIME_TRY(reader.read_terminated_text());
    RUNTIME_TRY(reader.read_word());
    layout.flags = reader.position();
    RUNTIME_TRY(reader.read_word());
    RUNTIME_TRY(reader.read_word());
    layout.bindings = reader.position();
    layout.binding_count = RUNTIME_TRY(reader.read_word());
    if (layout.binding_count > reader.remaining() / 8)
        return template_data_error();
    RUNTIME_TRY(reader.read_bytes(std::size_t{layout.binding_count} * 8));
    RUNTIME_TRY(reader.read_bytes(20));
    layout.type_data = reader.position();
    return layout;
}

ErrorOr<UnitRecord> UnitRecord::parse(std::uint32_t id, std::span<const std::uint8_t> bytes) {
    UnitRecord record;
    record.id = id;
    TemplateStreamReader reader(bytes);
    record.type = RUNTIME_TRY(reader.read_word());
    record.redirect_id = RUNTIME_TRY(reader.read_word());
    record.reserved = RUNTIME_TRY(read_four(reader));
    record.name = RUNTIME_TRY(reader.read_terminated_text());
    record.second_text = RUNTIME_TRY(reader.read_terminated_text());

    if (record.is_menu_item()) {
        record.menu.words[0] = RUNTIME_TRY(reader.read_word());
        record.menu.words[1] = RUNTIME_TRY(reader.read_word());
        record.menu.flags = RUNTIME_TRY(reader.read_word());
        record.menu.caption = RUNTIME_TRY(reader.read_terminated_text());
        record.menu.stored_handler = RUNTIME_TRY(reader.read_word());
        auto rest = RUNTIME_TRY(reader.read_bytes(reader.remaining()));
        record.type_data.assign(rest.begin(), rest.end());
        return record;
    }

    record.object_slot = RUNTIME_TRY(reader.read_word());
    record.left = static_cast<std::int32_t>(RUNTIME_TRY(reader.read_word()));
    record.top = static_cast<std::int32_t>(RUNTIME_TRY(reader.read_word()));
    record.width = static_cast<std::int32_t>(RUNTIME_TRY(reader.read_word()));
    record.height = static_cast<std::int32_t>(RUNTIME_TRY(reader.read_word()));
    record.cursor_slot = RUNTIME_TRY(reader.read_word());
    record.parent_id = RUNTIME_TRY(reader.read_word());

    std::uint32_t child_count = RUNTIME_TRY(reader.read_word());
    // Checked before reserving, so a lying count cannot ask for gigabytes.
    if (child_count > reader.remaining() / 4)
        return template_data_error();
    record.child_ids.reserve(child_count);
    for (std::uint32_t i = 0; i < child_count; ++i)
        record.child_ids.push_back(RUNTIME_TRY(reader.read_word()));

    std::uint32_t pointer_length = RUNTIME_TRY(reader.read_word());
    auto pointer_block = RUNTIME_TRY(reader.read_bytes(pointer_length));
    record.pointer_block.assign(pointer_block.begin(), pointer_block.end());
    record.tag = RUNTIME_TRY(reader.read_terminated_text());
    record.reserved_after_tag = RUNTIME_TRY(reader.read_word());
    record.flags = RUNTIME_TRY(reader.read_word());
    record.focus_order = RUNTIME_TRY(reader.read_word());

    std::uint32_t binding_count = RUNTIME_TRY(reader.read_word());
    if (binding_count > reader.remaining() / 8)
        return template_data_error();
    record.bindings.reserve(binding_count);
    for (std::uint32_t i = 0; i < binding_count; ++i) {
        EventBinding binding;
        binding.event = static_cast<std::int32_t>(RUNTIME_TRY(reader.read_word()));
        binding.stored_handler = RUNTIME_TRY(reader.read_word());
        record.bindings.push_back(binding);
    }
    for (auto& word : record.reserved_after_bindings)
        word = RUNTIME_TRY(reader.read_word());
    auto rest = RUNTIME_TRY(reader.read_bytes(reader.remaining()));
    record.type_data.assign(rest.begin(), rest.end());
    return record;
}

std::vector<std::uint8_t> UnitRecord::serialize() const {
    TemplateStreamWriter writer;
    writer.write_word(type);
    writer.write_word(redirect_id);
    for (auto word : reserved)
        writer.write_word(word);
    writer.write_terminated_text(name);
    writer.write_terminated_text(second_text);

    if (is_menu_item()) {
        writer.write_word(menu.words[0]);
        writer.write_word(menu.words[1]);
        writer.write_word(menu.flags);
        writer.write_terminated_text(menu.caption);
        writer.write_word(menu.stored_handler);
        writer.write_bytes(type_data);
        return writer.take();
    }

    writer.write_word(object_slot);
    writer.write_int(left);
    writer.write_int(top);
    writer.write_int(width);
    writer.write_int(height);
    writer.write_word(cursor_slot);
    writer.write_word(parent_id);
    writer.write_word(static_cast<std::uint32_t>(child_ids.size()));
    for (auto child : child_ids)
        writer.write_word(child);
    writer.write_buffer(pointer_block);
    writer.write_terminated_text(tag);
    writer.write_word(reserved_after_tag);
    writer.write_word(flags);
    writer.write_word(focus_order);
    writer.write_word(static_cast<std::uint32_t>(bindings.size()));
    for (auto& binding : bindings) {
        writer.write_int(binding.event);
        writer.write_word(binding.stored_handler);
    }
    for (auto word : reserved_after_bindings)
        writer.write_word(word);
    writer.write_bytes(type_data);
    return writer.take();
}

void UnitRecord::relocate(const void* code_base) {
    if (is_menu_item()) {
        menu.handler = relocate_handler(menu.stored_handler, code_base);
        return;
    }
    for (auto& binding : bindings)
        binding.relocate(code_base);
}

const void* UnitRecord::handler_for(std::int32_t event) const {
    if (is_menu_item())
        return menu.handler;
    for (auto& binding : bindings) {
        if (binding.event == event)
            return binding.handler;
    }
    return nullptr;
}

} // namespace runtime
