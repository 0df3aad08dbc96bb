#include "RuntimeNotify.h"

#include <runtime/AppRuntime.h>
#include <runtime/values/ArrayBlock.h>
#include <runtime/values/RuntimeHeap.h>
#include <runtime/windows/PropertyRouting.h>
#include <runtime/windows/WindowObject.h>

#include <cstring>

namespace runtime {

void copy_static_array(std::size_t element_size, void** array_pointer) {
    auto& heap = RuntimeHeap::the();
    if (!array_pointer || !*array_pointer || !heap.is_static(*array_pointer))
        return;
    const void* source = *array_pointer;
    auto elements = array_elements(source, element_size);
    std::size_t readable = heap.readable_size(source);
    std::size_t size =
        elements.data
            ? static_cast<std::size_t>(elements.data - static_cast<const std::uint8_t*>(source)) +
                  elements.count * element_size
            : std::min<std::size_t>(readable, 8);
    void* copy = heap.allocate(size);
    std::memcpy(copy, source, size);
    *array_pointer = copy;
}

std::intptr_t runtime_notify(std::int32_t service, std::intptr_t argument1, std::intptr_t argument2,
                             std::intptr_t argument3, std::intptr_t argument4,
                             std::intptr_t argument5) {
    switch (static_cast<RuntimeService>(service)) {
    case RuntimeService::CopyStaticArray:
        copy_static_array(static_cast<std::size_t>(argument1), reinterpret_cast<void**>(argument2));
        return 0;
    case RuntimeService::RegisterExitRoutine:
        AppRuntime::the().set_exit_routine(reinterpret_cast<ExitRoutine>(argument1));
        return 0;
    case RuntimeService::Initialize:
        AppRuntime::the().initialize();
        return 0;
    case RuntimeService::WindowLoaded: {
        WindowObject* window = AppRuntime::the().find_window(static_cast<std::uint32_t>(argument1));
        return window && window->has_live_window() ? 1 : 0;
    }
    case RuntimeService::ReadUnitObjectProperty:
        return static_cast<std::intptr_t>(read_object_property(
            static_cast<std::uint32_t>(argument1), reinterpret_cast<UnitObject*>(argument2),
            static_cast<std::int32_t>(argument3), static_cast<std::int32_t>(argument4)));
    case RuntimeService::WriteUnitObjectProperty:
        write_object_property(
            static_cast<std::uint32_t>(argument1), reinterpret_cast<UnitObject*>(argument2),
            static_cast<std::int32_t>(argument3), static_cast<std::int32_t>(argument4),
            static_cast<std::uint64_t>(argument5));
        return 0;
    // Directory searches serve commands this program does not use; they answer "nothing".
    case RuntimeService::FindFile:
    case RuntimeService::CloseFind:
        return 0;
    }
    return 0;
}

} // namespace runtime
