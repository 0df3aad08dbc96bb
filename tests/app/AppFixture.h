#pragma once

// The arm controller run in-process on the headless display: the program's
// own design and handlers, its window created as at start-up, input injected
// at the units' design positions, and a pseudo-terminal standing in for the
// arm behind COM1 (and COM10).

#include <gtest/gtest.h>

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

    platform::HWND window() const;
    platform::HWND unit_window(std::uint32_t unit_id) const;
    // Clicks the middle of a unit.
    void click(std::uint32_t unit_id);
    // Gives a unit the focus and presses a key on it.
    void key(std::uint32_t unit_id, platform::UINT vk, int times = 1);
    // Replaces an edit box's text as a user would: select all, type.
    void type_into(std::uint32_t unit_id, std::string_view utf8);
    // Dispatches everything that is ready.
    void pump();

    // Property reads and texts through the program's own road.
    std::int32_t read_integer(std::uint32_t unit_id, std::uint32_t type, std::int32_t index);
    std::string read_text(std::uint32_t unit_id, std::uint32_t type, std::int32_t index);
    std::string status_text();
    std::string status_tip();
    std::string cell(std::int32_t row, std::int32_t column);
    // The action table's current cell, {-1, -1} when there is none.
    std::pair<int, int> current_cell();
    // Writes a unit's text property through the program's own road (its
    // event fires as for any program write).
    void write_text(std::uint32_t unit_id, std::int32_t index, const char* gbk_text);
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

// The window's buttons.
inline constexpr std::uint32_t HelpButton = 0x160101e0;
inline constexpr std::uint32_t LoadButton = 0x16010193;
inline constexpr std::uint32_t SaveButton = 0x16010191;
inline constexpr std::uint32_t StopButton = 0x16010166;
inline constexpr std::uint32_t ClearButton = 0x1601006d;
inline constexpr std::uint32_t RunButton = 0x1601006b;
inline constexpr std::uint32_t RecordButton = 0x1601006a;
inline constexpr std::uint32_t OpenButton = 0x16010067;

} // namespace test_support
