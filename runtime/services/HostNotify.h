#pragma once

// The runtime's numbered service entry for the support libraries, handed to
// each of them at start-up. Codes that no service answers return 0.

#include <cstddef>
#include <cstdint>

namespace runtime {

class UnitObject;

using HostNotifyFunction = std::intptr_t (*)(std::int32_t code, std::intptr_t argument1,
                                             std::intptr_t argument2);

namespace host_service {

inline constexpr std::int32_t WindowList = 1001;
inline constexpr std::int32_t UnitTypeDescriptor = 1002;
inline constexpr std::int32_t ConstantOne = 1004;  // answers 1
inline constexpr std::int32_t ConstantFive = 1005; // answers 5
inline constexpr std::int32_t ProgramPathText = 1006;
inline constexpr std::int32_t RegisterIdleCallback = 1012;
inline constexpr std::int32_t UnregisterIdleCallback = 1013;
inline constexpr std::int32_t UnitDestroyed = 2000;
inline constexpr std::int32_t IntegerFromValue = 2001;
inline constexpr std::int32_t ProgramDirectory = 2003;
inline constexpr std::int32_t ProgramFileName = 2004;
inline constexpr std::int32_t LoadWindow = 2005;
inline constexpr std::int32_t UnitWindowObject = 2006;
inline constexpr std::int32_t UnitWindowObjectOrFail = 2007;
inline constexpr std::int32_t RaiseEvent = 2008;
inline constexpr std::int32_t SuspendEvents = 2009;
inline constexpr std::int32_t ResumeEvents = 2010;
inline constexpr std::int32_t CurrentEventSource = 2017;
inline constexpr std::int32_t DispatchWaitingMessages = 2018;
inline constexpr std::int32_t ReleaseArray = 2023;
inline constexpr std::int32_t Allocate = 2024;
inline constexpr std::int32_t Release = 2025;
inline constexpr std::int32_t Reallocate = 2026;
inline constexpr std::int32_t FatalError = 2027;
inline constexpr std::int32_t EndProgram = 2028;
inline constexpr std::int32_t Mode = 2030;
inline constexpr std::int32_t RaiseTypedEvent = 2031;
inline constexpr std::int32_t WindowCount = 2032;
inline constexpr std::int32_t WindowHandleAt = 2033;

} // namespace host_service

// Service 2005: load a window; `parent` is the parent window's unit object or null.
struct LoadWindowRequest {
    std::uint32_t window_id = 0;
    UnitObject* parent = nullptr;
    std::uint32_t modal = 0;
};

// What service 1006 copies, chosen by its first argument; any other kind
// copies the empty text.
namespace program_path_kind {
inline constexpr std::intptr_t Directory = 1;
inline constexpr std::intptr_t DirectoryToo = 2001;
inline constexpr std::intptr_t FileName = 2002;
} // namespace program_path_kind

// Size of the caller's buffer that service 1006 fills, terminator included.
inline constexpr std::size_t ProgramPathBufferSize = 260;

std::intptr_t host_notify(std::int32_t code, std::intptr_t argument1, std::intptr_t argument2);

} // namespace runtime
