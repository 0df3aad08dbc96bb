#include "DllCommandTable.h"

#include "ErrorReport.h"
#include <runtime/AppRuntime.h>
#include <runtime/windows/RuntimeMessages.h>

#include <dlfcn.h>

namespace runtime {

namespace {

std::string join_path(const std::string& directory, const std::string& name) {
    if (directory.empty())
        return name;
    if (directory.back() == '/')
        return directory + name;
    return directory + '/' + name;
}

// Loads a library and looks the export up; on a miss the library is released.
void* find_export(const std::string& path, const std::string& export_name, void*& module_out) {
    void* module = dlopen(path.empty() ? nullptr : path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module)
        return nullptr;
    void* address = dlsym(module, export_name.c_str());
    if (!address) {
        dlclose(module);
        return nullptr;
    }
    module_out = module;
    return address;
}

} // namespace

DllCommandTable::~DllCommandTable() {
    release_all();
}

void DllCommandTable::set_commands(std::vector<std::string> file_names,
                                   std::vector<std::string> export_names) {
    release_all();
    m_entries.clear();
    std::size_t count = std::min(file_names.size(), export_names.size());
    for (std::size_t i = 0; i < count; ++i)
        m_entries.push_back(
            {std::move(file_names[i]), std::move(export_names[i]), nullptr, nullptr});
}

void DllCommandTable::release_all() {
    for (auto& entry : m_entries) {
        if (entry.module)
            dlclose(entry.module);
        entry.module = nullptr;
        entry.address = nullptr;
    }
}

ErrorOr<void*> DllCommandTable::resolve(std::size_t index, const std::string& program_directory,
                                        const std::string& dll_directory) {
    if (index >= m_entries.size())
        return RuntimeError{messages::dll_command_not_found("", "")};
    Entry& entry = m_entries[index];
    if (entry.address)
        return entry.address;

    auto not_found = [&entry] {
        return RuntimeError{messages::dll_command_not_found(entry.file_name, entry.export_name)};
    };
    if (entry.export_name.empty() || entry.export_name.front() == '#')
        return not_found();

    std::vector<std::string> candidates;
    if (entry.file_name.empty()) {
        candidates = {std::string(), "libc.so.6"};
    } else if (entry.file_name.front() != '/') {
        if (!dll_directory.empty())
            candidates.push_back(join_path(dll_directory, entry.file_name));
        if (!program_directory.empty())
            candidates.push_back(join_path(program_directory, entry.file_name));
        candidates.push_back(entry.file_name);
    } else {
        candidates.push_back(entry.file_name);
    }

    for (auto& candidate : candidates) {
        void* module = nullptr;
        if (void* address = find_export(candidate, entry.export_name, module)) {
            entry.address = address;
            entry.module = module;
            return address;
        }
    }
    return not_found();
}

std::uint64_t call_dll_command(std::int32_t command, std::int32_t arg_count,
                               const std::uint64_t* args) {
    auto& app = AppRuntime::the();
    auto resolved = app.dll_commands().resolve(static_cast<std::size_t>(command < 0 ? -1 : command),
                                               app.program_directory(), app.dll_directory());
    if (resolved.is_error())
        report_runtime_error(resolved.error().message);

    // The command's own signature is unknown here; word-sized arguments go in
    // registers and on the stack the same way for any count up to the one
    // called with, so calling through the widest form passes them on intact.
    using Command8 = std::uint64_t (*)(std::uint64_t, std::uint64_t, std::uint64_t, std::uint64_t,
                                       std::uint64_t, std::uint64_t, std::uint64_t, std::uint64_t);
    std::uint64_t a[8] = {};
    for (std::int32_t i = 0; i < arg_count && i < 8 && args; ++i)
        a[i] = args[i];
    auto function = reinterpret_cast<Command8>(resolved.value());
    return function(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7]);
}

} // namespace runtime
