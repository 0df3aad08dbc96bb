#pragma once

// A support library's descriptor, one per library in the program header's
// library table; its position there gives the library number (from 1) of its
// types and the index (from 0) passed with its command calls.

#include <runtime/services/LibraryCommand.h>

#include <array>
#include <cstdint>

namespace runtime {

struct UnitTypeInfo;

inline constexpr std::uint32_t LibraryFormatNumber = 20000101; // 0x01312D65

// Called by the runtime: code 1 at start-up with the address of HostNotify,
// code 6 at shutdown with the library's data word.
using LibraryNotify = std::intptr_t (*)(std::int32_t code, std::intptr_t argument1,
                                        std::intptr_t argument2);
inline constexpr std::int32_t LibraryNotifyStartUp = 1;
inline constexpr std::int32_t LibraryNotifyShutdown = 6;

struct LibraryInfo {
    std::uint32_t format_number = LibraryFormatNumber;
    const char* identifier = nullptr;
    std::uint32_t major_version = 0;
    std::uint32_t minor_version = 0;
    std::uint32_t build_number = 0;
    std::array<std::uint32_t, 4> version_words{};
    const char* display_name = nullptr;
    std::array<std::uint32_t, 11> attribute_words{}; // [2] holds the flags
    std::uint32_t unit_type_count = 0;
    const UnitTypeInfo* unit_types = nullptr; // unit_type_count entries, numbered from 1
    std::array<std::uint32_t, 2> reserved1{};
    std::uint32_t command_count = 0;
    std::uint32_t reserved2 = 0;
    const LibraryCommand* commands = nullptr; // the commands the program calls
    std::array<std::uint32_t, 2> reserved3{};
    LibraryNotify notify = nullptr;
    std::array<std::uint32_t, 5> reserved4{};

    std::uint32_t flags() const { return attribute_words[2]; }
};

} // namespace runtime
