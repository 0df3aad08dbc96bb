#pragma once

// Turns a design into what the program embeds: the window template stream
// (written by the runtime's own stream writer), the constant area and the
// list of handlers that make up the handler table.
//
// Handler table: entry 0 returns 0, entry 1 only returns (the runtime's
// place-holder callbacks), the program's handlers follow in order of first
// use. A stored handler word is its entry's offset from the table's start,
// which the program header names as the code base.
//
// Constant area: each constant at an 8-byte boundary, in source order;
// texts zero-terminated GBK, floats 8 bytes, arrays {1, count, elements}.
//
// Aliases: each aliased window and unit by its alias, and the types of the
// aliased units with the index of each named property of theirs, for the
// generated header to name them by.

#include "DesignSource.h"
#include "DesignTypes.h"

#include <runtime/image/WindowTemplate.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace designc {

inline constexpr std::uint32_t FirstHandlerEntry = 2;
inline constexpr std::uint32_t HandlerEntrySize = sizeof(void (*)());
inline constexpr std::uint32_t TemplateWord1 = 0x01390A84;
inline constexpr std::uint32_t TemplateWord2 = 0x19010005;

struct CompiledHandler {
    std::string name;
    std::vector<std::string> parameters;
};

struct CompiledConstant {
    DesignConstant::Kind kind = DesignConstant::Kind::Text;
    std::string name;
    std::size_t offset = 0;
};

struct CompiledProperty {
    std::string name;
    std::int32_t index = 0; // the property index: own index + CommonPropertyCount
};

// A unit type that an aliased unit is of, when the compiler knows it by a name
// that can be a C++ name.
struct CompiledUnitType {
    std::string name;
    std::uint32_t code = 0;
    std::vector<CompiledProperty> properties;
};

struct CompiledAlias {
    std::string name;
    std::uint32_t window_id = 0;
    bool is_window = false; // else a unit:
    std::uint32_t unit_id = 0;
    std::uint32_t type_code = 0;
    std::string type_name; // the CompiledUnitType's; empty when there is none
};

// What the design says to assistive clients about a unit, beside its
// record (the record's bytes stay as the runtime reads them).
struct CompiledAccessName {
    std::uint32_t window_id = 0;
    std::uint32_t unit_id = 0;
    std::string name;            // GBK; empty: none
    std::uint32_t label_for = 0; // the unit this one names; 0: none
};

struct CompiledDesign {
    std::string name_space;
    std::uint32_t start_window_id = 0; // the first window
    std::vector<runtime::WindowTemplate> windows;
    std::vector<std::uint8_t> template_data;
    std::vector<std::uint8_t> constant_area;
    std::vector<CompiledConstant> constants;
    std::vector<CompiledHandler> handlers;        // entries from FirstHandlerEntry on
    std::vector<CompiledAlias> aliases;           // in source order
    std::vector<CompiledUnitType> alias_types;    // in order of first use
    std::vector<CompiledAccessName> access_names; // in source order
};

struct CompileResult {
    CompiledDesign design;
    std::vector<DesignError> errors; // in line order; empty when the design compiled
};

CompileResult compile_design(const Design& design, const DesignTypes& types);
// Reads and compiles a design source; errors of both steps.
CompileResult compile_design_source(std::string_view source, const DesignTypes& types);

} // namespace designc
