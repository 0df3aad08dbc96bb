#pragma once

// Reading and writing whole files. File names are GBK texts; they are
// converted to the file system's UTF-8 here, at the platform's edge, and a
// name that cannot be converted fails like a missing file.
//
// Sharing. The platform these commands were designed for opens a file for
// reading with read sharing only and for writing with no sharing, so that a
// file one program is writing cannot be read or rewritten by another. Linux
// has no share modes; we take the nearest thing, open-file-description
// (OFD) advisory locks, which hold between processes and between separate
// opens inside one process:
//   - a reader takes a shared lock: it fails while one of our writers holds
//     the file, and readers never exclude each other;
//   - a writer takes an exclusive lock before it empties the file: it fails
//     while any reader or writer of ours holds the file.
// What cannot be had: a program that takes no such locks (an editor, a
// shell redirection) is neither seen nor kept out, and a file system that
// refuses locks (some network and FUSE mounts) is read and written without
// them.

#include <runtime/values/TypedValue.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace commands {

// ReadFileBytes(name): a byte set of the whole file; empty for an empty
// name, a missing, unreadable, empty or non-regular file, or one that a
// writer of ours holds.
void ReadFileBytes(runtime::TypedValue* result, std::int32_t arg_count,
                   const runtime::TypedValue* args);

// WriteFileBytes(name, byte set...): creates or empties the file and writes
// the byte sets in order; true when all were written and the file closed.
// An argument after the name that is not a byte set (or array of bytes)
// gives false before anything is touched; an omitted one writes nothing.
void WriteFileBytes(runtime::TypedValue* result, std::int32_t arg_count,
                    const runtime::TypedValue* args);

// The file system's name for a GBK file name, or nothing when it cannot be
// converted.
std::optional<std::string> file_system_name(std::string_view gbk);

// Opens a file for writing the way WriteFileBytes does, creating it and
// taking the exclusive lock, without emptying it. Returns the descriptor, or
// -1 when the file cannot be opened or someone of ours holds it. Only system
// calls, so a forked child may use it.
int open_exclusive_for_writing(const char* file_system_path);

} // namespace commands
