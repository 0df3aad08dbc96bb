#pragma once

// Figures of another process read from /proc, for the benchmarks that set
// the arm controller beside the X server or a reference program: processor
// time and memory. The parsers take the files' text so they can be checked
// without a process.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace bench {

// utime + stime, in clock ticks, from the text of /proc/PID/stat. The
// program's name (second field) is in parentheses and may hold spaces and
// parentheses itself, so the fields are counted from the last ')'.
std::optional<std::int64_t> stat_cpu_ticks(std::string_view stat_text);
// The number of a "Name:   1234 kB" line of /proc/PID/status or
// /proc/PID/smaps_rollup, in kB.
std::optional<std::int64_t> kb_field(std::string_view text, std::string_view name);

// The whole text of a (small) file; empty when it cannot be read.
std::string read_text_file(const std::string& path);

// Processor time that process `pid` has used so far, in milliseconds: its
// process clock where the kernel lets us read it, else /proc/PID/stat's
// ticks. Nothing when the process is gone.
std::optional<double> process_cpu_ms_of(pid_t pid);

} // namespace bench
