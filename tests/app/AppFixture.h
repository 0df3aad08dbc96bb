#pragma once

// The arm controller run in-process on the headless display: the program's
// own design and handlers, its window created as at start-up, input injected
// at the units' design positions, and a pseudo-terminal standing in for the
// arm behind COM1 (and COM10).

#include <gtest/gtest.h>

#include <runtime/values/UnitRef.h>

#include <platform/Types.h>
#include <platform/headless/HeadlessBackend.h>

#include <tests/support/PtyPair.h>
#include <tests/support/ScopedEnv.h>
#include <tests/support/TestSupport.h>

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace test_support {

class AppTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the program: its window is created and its start-up has run.
    void start();

    // The units are the design's, by alias (ArmController_design.h).
    platform::HWND window() const;
    platform::HWND unit_window(const runtime::UnitRef& unit) const;
    // Clicks the middle of a unit.
    void click(const runtime::UnitRef& unit);
    // Gives a unit the focus and presses a key on it.
    void key(const runtime::UnitRef& unit, platform::UINT vk, int times = 1);
    // Replaces an edit box's text as a user would: select all, type.
    void type_into(const runtime::UnitRef& unit, std::string_view utf8);
    // Dispatches everything that is ready.
    void pump();

    // Property reads and texts through the program's own road.
    std::int32_t read_integer(const runtime::UnitRef& unit, std::int32_t index);
    std::string read_text(const runtime::UnitRef& unit, std::int32_t index);
    std::string status_text();
    std::string status_tip();
    std::string cell(std::int32_t row, std::int32_t column);
    // The action table's current cell, {-1, -1} when there is none.
    std::pair<int, int> current_cell();
    // Writes a unit's text property through the program's own road (its
    // event fires as for any program write).
    void write_text(const runtime::UnitRef& unit, std::int32_t index, const char* gbk_text);
    // The texts of the message boxes shown so far.
    std::vector<std::string> message_texts() const;

    platform::HeadlessBackend m_backend{platform::HeadlessTime::Stepped};
    // The arms' ends of the lines. The program opens and closes its port
    // as it likes; the pairs keep the line up in between.
    test_support::PtyPair m_arm{test_support::PtyPair::SlaveEnd::KeptOpen};
    test_support::PtyPair m_arm10{test_support::PtyPair::SlaveEnd::KeptOpen};
    std::string m_home;
    // HOME and the XDG folders point into m_home, COM1 and COM10 at the
    // pairs, until the fixture goes.
    ScopedEnv m_env;
};

} // namespace test_support
