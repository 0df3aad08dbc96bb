#pragma once

// A window of basic units for their tests: the program's own library table,
// one window whose units the test lists, and handlers that record which
// event of which unit ran, with what arguments.

#include <runtime/AppRuntime.h>
#include <runtime/image/ProgramHeader.h>
#include <runtime/image/UnitRecord.h>
#include <runtime/windows/EventRequest.h>

#include <units/framework/Unit.h>
#include <units/framework/UnitType.h>

#include <platform/headless/HeadlessBackend.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace test_support {

inline constexpr std::uint32_t WindowId = 0x52010001;
// Colours as the surface holds them: 0xRRGGBB.
inline constexpr std::uint32_t Red = 0xFF0000;
inline constexpr std::uint32_t Face = 0xF0F0F0;
inline constexpr std::uint32_t WindowUnitId = 0x06010000;

// What a handler saw: the event it is bound to, the unit that raised it and
// the event's word arguments.
struct EventCall {
    std::int32_t event = 0;
    std::uint32_t unit = 0;
    std::vector<std::uint64_t> args;

    bool operator==(const EventCall&) const = default;
};

// Events of the unit types bound by the fixture: 0 to 4 and the focus events
// take no arguments; event 0 of a label takes two and answers their sum.
inline constexpr std::int32_t BoundEvents[] = {0, 1, 2, 3, 4, -7, -8};

// Called after a handler recorded its call, while the event is running.
std::function<void(const EventCall&)>& on_event_hook();

// A 24-bit bitmap (its info header and bottom-up rows) of one colour.
std::vector<std::uint8_t> solid_bitmap(int width, int height, std::uint8_t r, std::uint8_t g,
                                       std::uint8_t b);

// A unit of the test window, from its settings.
template <typename Settings>
runtime::UnitRecord unit_record(std::uint32_t id, std::uint32_t type, const Settings& settings,
                                int left = 10, int top = 10, int width = 100, int height = 24) {
    runtime::UnitRecord record;
    record.id = id;
    record.type = type;
    record.name = "u" + std::to_string(id & 0xFFFF);
    record.left = left;
    record.top = top;
    record.width = width;
    record.height = height;
    record.pointer_block = {0, 0, 0, 0};
    record.flags = runtime::UnitRecord::FlagVisible | runtime::UnitRecord::FlagTabStop;
    record.type_data = units::write_stored_settings(settings);
    return record;
}

class BasicUnitTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Creates the window (400 x 300) with `units` in it, every event of
    // BoundEvents bound; the label answers Feedback with a value.
    void create(std::vector<runtime::UnitRecord> units, bool label_feedback = false);
    platform::HWND window() const;
    platform::HWND unit_window(std::uint32_t unit_id) const;
    template <typename T> T* unit(std::uint32_t unit_id) const {
        return dynamic_cast<T*>(units::Unit::from_window(unit_window(unit_id)));
    }

    // Property access through the runtime's call table.
    std::uint64_t read(std::uint32_t unit_id, std::int32_t index) const;
    std::string read_text(std::uint32_t unit_id, std::int32_t index) const;
    void write(std::uint32_t unit_id, std::int32_t index, std::uint64_t value) const;
    void write_text(std::uint32_t unit_id, std::int32_t index, const char* text) const;
    // Writes a byte block (a byte set made for the call).
    void write_block(std::uint32_t unit_id, std::int32_t index,
                     const std::vector<std::uint8_t>& bytes) const;

    // The colour (0xRRGGBB) at a point of the window's client area, from
    // the window's picture as painted by now.
    std::uint32_t window_pixel(int x, int y) const;

    // The events recorded since creation (or the last clear).
    std::vector<EventCall>& events();
    std::vector<EventCall> events_of(std::uint32_t unit_id);

    platform::HeadlessBackend m_backend;

  private:
    std::vector<std::uint8_t> m_stream;
    runtime::ProgramHeader m_header;
};

} // namespace test_support
