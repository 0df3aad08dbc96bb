#pragma once

// The runtime's numbered services for the program (slot 12 of the call table).

#include <cstdint>

namespace runtime {

enum class RuntimeService : std::int32_t {
    FindFile = 0,
    CloseFind = 1,
    CopyStaticArray = 2,
    RegisterExitRoutine = 3,
    ReadUnitObjectProperty = 4,
    WriteUnitObjectProperty = 5,
    Initialize = 6,
    // 1 when the window (argument 1: window id) is loaded and has its system
    // window, else 0. A handler that waited may use it before touching units.
    WindowLoaded = 7,
};

std::intptr_t runtime_notify(std::int32_t service, std::intptr_t argument1, std::intptr_t argument2,
                             std::intptr_t argument3, std::intptr_t argument4,
                             std::intptr_t argument5);

// Service 2: when the array at *array_pointer lies in a static range, replace
// it by a writable heap copy of the same layout. Other arrays are left alone.
void copy_static_array(std::size_t element_size, void** array_pointer);

} // namespace runtime
