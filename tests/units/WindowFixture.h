#pragma once

// A program for the window and dispatch tests: one library whose types are
// the window unit (0x10001), the probe unit (0x10002), an empty slot and the
// probe type without event flags (0x10004); one window of probe units; a
// handler table whose handlers record what they were called with.

#include "ProbeUnit.h"

#include <runtime/AppRuntime.h>
#include <runtime/image/LibraryInfo.h>
#include <runtime/image/ProgramHeader.h>
#include <runtime/image/WindowTemplate.h>
#include <runtime/windows/EventRequest.h>

#include <platform/headless/HeadlessBackend.h>

#include <tests/support/PumpUntil.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace test_support {

inline constexpr std::uint32_t TestWindowId = 0x52010001;
inline constexpr std::uint32_t TestWindowUnitId = 0x06010000;
inline constexpr std::uint32_t ProbeA = 0x16010001; // bindings of its own
inline constexpr std::uint32_t ProbeB = 0x16010002; // redirects to A
inline constexpr std::uint32_t ProbeC = 0x16010003; // redirects to D, which redirects back
inline constexpr std::uint32_t ProbeD = 0x16010004;
inline constexpr std::uint32_t SilentId = 0x16010005;      // a type without event flags
inline constexpr std::uint32_t ProbeToSilent = 0x16010006; // redirects to another type

inline constexpr std::uint32_t ProbeType = 0x10002;
inline constexpr std::uint32_t SilentType = 0x10004;

// Positions in the handler table.
enum HandlerSlot : std::uint32_t {
    SlotReturnZero = 0,
    SlotReturnNothing = 1,
    SlotCreated = 2,
    SlotClicked = 3,
    SlotPlain = 4,
    SlotWindowEvent = 5,
    SlotAnswer = 6,
    SlotTyped = 7,
    SlotD = 8,
};

struct HandlerCall {
    std::uint32_t slot = 0;
    std::vector<std::uint64_t> args;
    bool had_source = false;
    std::uint32_t source_window = 0;
    std::uint32_t source_unit = 0;
};

std::vector<HandlerCall>& handler_calls();
std::vector<std::uint32_t> called_slots();

// The window of the tests, with the probe's stored settings.
runtime::WindowTemplate test_window();

class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Loads the tables into the runtime (no window is created).
    void adopt();
    // Creates the test window as the start window.
    runtime::WindowObject& create();
    platform::HWND unit_window(std::uint32_t unit_id);
    ProbeUnit* probe(std::uint32_t unit_id);

    bool pump_until(const std::function<bool()>& done, int limit_ms = 10000) {
        return test_support::pump_until(m_backend, done, limit_ms);
    }

    platform::HeadlessBackend m_backend{platform::HeadlessTime::Stepped};
    std::vector<std::uint8_t> m_stream;
    runtime::ProgramHeader m_header;
};

} // namespace test_support
