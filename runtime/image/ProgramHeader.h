#pragma once

// The table the build lays down beside the program: where the handler code
// and the constants are, which support libraries the program uses, its window
// template data and its DLL commands. Field order is the stored order; on
// 64-bit the address fields are native pointers.

#include <cstdint>

namespace runtime {

struct LibraryInfo;
struct UnitTypeInfo;

// A name the design gives a unit for assistive clients, and the unit it is
// the label of. Not part of any unit's record: no property index moves.
struct AccessName {
    std::uint32_t window_id = 0;
    std::uint32_t unit_id = 0;
    const char* name = nullptr;  // GBK; null: none
    std::uint32_t label_for = 0; // unit id; 0: none
};

struct ProgramHeader {
    std::int32_t mode = 0;
    std::int32_t header_word2 = 0;
    std::int32_t header_version = 0; // the runtime keeps this plus 1
    const void* code_base = nullptr; // stored handler offsets are relative to it
    const void* constant_area = nullptr;
    std::uint32_t constant_length = 0;
    const std::uint8_t* template_data = nullptr;
    std::uint32_t template_length = 0;
    std::uint32_t library_count = 0;
    const LibraryInfo* const* libraries = nullptr;
    std::uint32_t dll_command_count = 0;
    const char* const* dll_file_names = nullptr; // "" searches the process and the C library
    const char* const* export_names = nullptr;   // "#n" names an ordinal
    // Added after the stored fields, for this platform's assistive clients.
    std::uint32_t access_name_count = 0;
    const AccessName* access_names = nullptr;
};

// The descriptor of a library-defined type code: library number (high 16
// bits) 1..library count, type number (low 16 bits) 1..that library's unit
// type count. Anything else gives null; an unused type's all-zero slot is
// returned as it is (it has no query function).
const UnitTypeInfo* find_unit_type(const ProgramHeader& header, std::uint32_t type_code);

} // namespace runtime
