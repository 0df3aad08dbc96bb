#include "ProgramHeader.h"

#include "LibraryInfo.h"
#include "UnitTypeInfo.h"
#include <runtime/values/TypedValue.h>

namespace runtime {

const UnitTypeInfo* find_unit_type(const ProgramHeader& header, std::uint32_t type_code) {
    std::uint32_t library = library_number(type_code);
    std::uint32_t type = library_type_number(type_code);
    if (library < 1 || library > header.library_count || !header.libraries)
        return nullptr;
    const LibraryInfo* info = header.libraries[library - 1];
    if (!info || type < 1 || type > info->unit_type_count || !info->unit_types)
        return nullptr;
    return &info->unit_types[type - 1];
}

} // namespace runtime
