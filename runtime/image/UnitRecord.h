#pragma once

// One unit of a window as stored in the window template data, parsed. The
// stored bytes are kept exact by the writer; the run-time object and cursor,
// which on 64-bit do not fit the stored 32-bit slots, live beside them.
//
// Record bytes (ordinary units and the window unit):
//   0 type code, 4 redirect unit id, 8 four reserved words,
//   24 name\0, second text\0,
//   S object slot, S+4 left, top, width, height, S+20 cursor slot,
//   S+24 parent unit id, S+28 child count c, S+32 c child ids,
//   pointer block length p, p bytes, tag\0, reserved word, flags,
//   focus order word, binding count m, m {event, handler},
//   five reserved words, then the unit type's own stored data.
// Menu item records (type 0x10003):
//   type, redirect, four reserved words, name\0, second text\0,
//   two words, flags, caption\0, one handler word.

#include "EventBinding.h"
#include <runtime/values/ErrorOr.h>
#include <runtime/values/TypedValue.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace runtime {

// Where the variable-position fields of an ordinary record lie.
struct UnitRecordLayout {
    std::size_t object_slot = 0;   // S
    std::size_t pointer_block = 0; // the length word of the pointer block
    std::size_t tag = 0;
    std::size_t flags = 0;     // the reserved word before it is at flags - 4
    std::size_t bindings = 0;  // the binding count word
    std::size_t type_data = 0; // 20 bytes after the last binding
    std::uint32_t child_count = 0;
    std::uint32_t binding_count = 0;
};

// Finds the fields of an ordinary record; an error when the record is too short for them.
ErrorOr<UnitRecordLayout> find_unit_record_fields(std::span<const std::uint8_t> record);

struct MenuItemFields {
    std::array<std::uint32_t, 2> words{};
    std::uint32_t flags = 0;
    std::string caption;
    std::uint32_t stored_handler = NoHandler;
    const void* handler = nullptr;
};

struct UnitRecord {
    std::uint32_t id = 0; // from the window's id array, not part of the record bytes
    std::uint32_t type = 0;
    std::uint32_t redirect_id = 0;
    std::array<std::uint32_t, 4> reserved{};
    std::string name;
    std::string second_text;

    std::uint32_t object_slot = 0;
    void* object = nullptr; // the live unit object
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint32_t cursor_slot = 0;
    void* cursor = nullptr; // the live cursor made from the pointer block
    std::uint32_t parent_id = 0;
    std::vector<std::uint32_t> child_ids;
    std::vector<std::uint8_t> pointer_block;
    std::string tag;
    std::uint32_t reserved_after_tag = 0;
    std::uint32_t flags = 0;
    std::uint32_t focus_order = 0;
    std::vector<EventBinding> bindings;
    std::array<std::uint32_t, 5> reserved_after_bindings{};
    // The unit type's own stored data; for a menu item, any bytes after its handler word.
    std::vector<std::uint8_t> type_data;

    MenuItemFields menu; // menu item records only

    static constexpr std::uint32_t FlagVisible = 1u << 0;
    static constexpr std::uint32_t FlagDisabled = 1u << 1;
    static constexpr std::uint32_t FlagTabStop = 1u << 2;

    bool is_menu_item() const { return type == type_code::MenuItem; }
    bool is_visible() const { return flags & FlagVisible; }
    bool is_disabled() const { return flags & FlagDisabled; }
    bool is_tab_stop() const { return flags & FlagTabStop; }

    // The handler for an event: a menu item's only handler, else the first
    // binding of that event number. Null when none.
    const void* handler_for(std::int32_t event) const;

    void relocate(const void* code_base);

    static ErrorOr<UnitRecord> parse(std::uint32_t id, std::span<const std::uint8_t> bytes);
    std::vector<std::uint8_t> serialize() const;
};

// Menu items are the ids whose top byte is 0x26.
constexpr bool is_menu_item_id(std::uint32_t id) {
    return (id >> 24) == 0x26;
}

// A unit id is valid when neither its low 24 bits nor bits 24..27 are all 0.
constexpr bool is_valid_unit_id(std::uint32_t id) {
    return (id & 0xFFFFFFu) != 0 && (id & 0x0F000000u) != 0;
}

} // namespace runtime
