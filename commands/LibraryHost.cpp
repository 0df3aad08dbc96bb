#include "LibraryHost.h"

#include <runtime/image/LibraryInfo.h>

#include <atomic>

namespace commands {

namespace {

std::atomic<runtime::HostNotifyFunction> g_host_notify{nullptr};

} // namespace

std::intptr_t library_notify(std::int32_t code, std::intptr_t argument1, std::intptr_t) {
    if (code == runtime::LibraryNotifyStartUp)
        set_host_notify(reinterpret_cast<runtime::HostNotifyFunction>(argument1));
    else if (code == runtime::LibraryNotifyShutdown)
        set_host_notify(nullptr);
    return 0;
}

std::intptr_t host_call(std::int32_t code, std::intptr_t argument1, std::intptr_t argument2) {
    runtime::HostNotifyFunction entry = g_host_notify.load(std::memory_order_relaxed);
    if (!entry)
        entry = runtime::host_notify;
    return entry(code, argument1, argument2);
}

void set_host_notify(runtime::HostNotifyFunction entry) {
    g_host_notify.store(entry, std::memory_order_relaxed);
}

} // namespace commands
