#pragma once

// The program's DLL commands: functions exported by shared libraries, named
// in the program header by library file name and export name. Each is
// resolved on first use and cached with the library that holds it.
//
// Search order for a command with library file name F and export name E:
// - F empty: the process itself, then the C library; the first that exports E.
// - F not an absolute path: the DLL directory set at run time joined with F,
//   the program directory joined with F, then F alone (the system's search).
// - F absolute: F alone.
// A library that loads but lacks E is released and the search goes on.
// Shared libraries have no ordinals, so an export name "#n" is never found.

#include <runtime/values/ErrorOr.h>

#include <cstdint>
#include <string>
#include <vector>

namespace runtime {

class DllCommandTable {
  public:
    DllCommandTable() = default;
    ~DllCommandTable();
    DllCommandTable(const DllCommandTable&) = delete;
    DllCommandTable& operator=(const DllCommandTable&) = delete;

    // Replaces the table; earlier resolutions are dropped and their libraries released.
    void set_commands(std::vector<std::string> file_names, std::vector<std::string> export_names);
    std::size_t size() const { return m_entries.size(); }

    // The address of command i, or the fatal message for it.
    ErrorOr<void*> resolve(std::size_t index, const std::string& program_directory,
                           const std::string& dll_directory);

    void release_all();

  private:
    struct Entry {
        std::string file_name;
        std::string export_name;
        void* address = nullptr;
        void* module = nullptr;
    };

    std::vector<Entry> m_entries;
};

// Slot 1 of the call table: resolves command i (fatal when it cannot be
// found) and calls it with up to eight word-sized arguments.
std::uint64_t call_dll_command(std::int32_t command, std::int32_t arg_count,
                               const std::uint64_t* args);

} // namespace runtime
