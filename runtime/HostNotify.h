#pragma once

// The runtime's numbered service entry for the support libraries, handed to
// each of them at start-up. Codes that no service answers return 0.

#include <cstdint>

namespace runtime {

using HostNotifyFunction = std::intptr_t (*)(std::int32_t code, std::intptr_t argument1,
                                             std::intptr_t argument2);

namespace host_service {

inline constexpr std::int32_t UnitTypeDescriptor = 1002;
inline constexpr std::int32_t ProgramPathText = 1006;
inline constexpr std::int32_t IntegerFromValue = 2001;
inline constexpr std::int32_t ProgramDirectory = 2003;
inline constexpr std::int32_t ProgramFileName = 2004;
inline constexpr std::int32_t LoadWindow = 2005;
inline constexpr std::int32_t UnitWindowObject = 2006;
inline constexpr std::int32_t UnitWindowObjectOrFail = 2007;
inline constexpr std::int32_t SuspendEvents = 2009;
inline constexpr std::int32_t ResumeEvents = 2010;
inline constexpr std::int32_t CurrentEventSource = 2017;
inline constexpr std::int32_t ReleaseArray = 2023;
inline constexpr std::int32_t Allocate = 2024;
inline constexpr std::int32_t Release = 2025;
inline constexpr std::int32_t Reallocate = 2026;
inline constexpr std::int32_t FatalError = 2027;
inline constexpr std::int32_t EndProgram = 2028;
inline constexpr std::int32_t Mode = 2030;
inline constexpr std::int32_t WindowCount = 2032;

} // namespace host_service

// Size of the caller's buffer that service 1006 fills, terminator included.
inline constexpr std::size_t ProgramPathBufferSize = 260;

std::intptr_t host_notify(std::int32_t code, std::intptr_t argument1, std::intptr_t argument2);

} // namespace runtime
