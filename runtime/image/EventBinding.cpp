#include "EventBinding.h"

namespace runtime {

const void* relocate_handler(std::uint32_t stored_handler, const void* code_base) {
    if (stored_handler == NoHandler)
        return nullptr;
    return reinterpret_cast<const void*>(reinterpret_cast<std::uintptr_t>(code_base) +
                                         stored_handler);
}

void EventBinding::relocate(const void* code_base) {
    handler = relocate_handler(stored_handler, code_base);
}

} // namespace runtime
