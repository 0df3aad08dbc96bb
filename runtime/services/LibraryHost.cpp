#include "LibraryHost.h"

#include <runtime/image/LibraryInfo.h>

#include <atomic>

namespace runtime {

namespace {

std::atomic<HostNotifyFunction> g_library_host{nullptr};

} // namespace

std::intptr_t library_host_call(std::int32_t code, std::intptr_t argument1,
                                std::intptr_t argument2) {
    HostNotifyFunction entry = g_library_host.load(std::memory_order_relaxed);
    if (!entry)
        entry = host_notify;
    return entry(code, argument1, argument2);
}

void set_library_host(HostNotifyFunction entry) {
    g_library_host.store(entry, std::memory_order_relaxed);
}

std::intptr_t keep_library_host(std::int32_t code, std::intptr_t argument1, std::intptr_t) {
    if (code == LibraryNotifyStartUp)
        set_library_host(reinterpret_cast<HostNotifyFunction>(argument1));
    else if (code == LibraryNotifyShutdown)
        set_library_host(nullptr);
    return 0;
}

} // namespace runtime
