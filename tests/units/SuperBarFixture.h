#pragma once

// Bars on a headless frame window on stepped time, made through the type's
// own create entry, with the runtime's service entry replaced by one that
// records every event a bar raises (with the position at that moment) and
// answers it as the test asks.

#include <units/superbar/SuperBarUnit.h>

#include <runtime/services/HostNotify.h>
#include <runtime/windows/EventRequest.h>

#include <platform/headless/HeadlessBackend.h>
#include <platform/window/WindowSystem.h>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <vector>

namespace superbar_test {

using platform::HWND;
using platform::Point;
using platform::Rect;
using units::BarPart;
using units::SuperBarUnit;

struct Raised {
    std::int32_t event = 0;
    std::int32_t position = 0; // the bar's position when the event was raised
};

class SuperBarTest : public ::testing::Test {
  public:
    static constexpr const char* FrameClass = "SuperBarTestFrame";

    void SetUp() override;
    void TearDown() override;

    // A bar on the frame at `r`, made from `settings` as stored data; null
    // when the create entry refused it.
    SuperBarUnit* make(const SuperBarUnit::Settings& settings, Rect r = {77, 105, 277, 153});
    SuperBarUnit* make_from(const std::vector<std::uint8_t>& data, Rect r = {77, 105, 277, 153});
    // The servo slider of the arm controller: 200 x 48, 0 to 179, page 10.
    SuperBarUnit* make_servo(std::int32_t position, Rect r = {77, 105, 277, 153});
    static SuperBarUnit::Settings servo_settings(std::int32_t position);

    void write(SuperBarUnit* bar, std::int32_t own, std::int32_t value);
    std::int32_t read(SuperBarUnit* bar, std::int32_t own);
    Rect part_rect(SuperBarUnit* bar, BarPart part);
    // A point of a part, in the part's client coordinates, from one in the bar's.
    Point in_part(SuperBarUnit* bar, BarPart part, Point bar_point);

    // The bar's own events in order, without the focus events.
    std::vector<std::int32_t> events() const;
    int count(std::int32_t event) const;

    // Mouse and keys go through the queue as real input does.
    void press(SuperBarUnit* bar, Point bar_point);
    void move(SuperBarUnit* bar, Point bar_point);
    void release(SuperBarUnit* bar, Point bar_point);
    void key(platform::UINT vk, int repeat = 1);

    // Time stands still until a test lets it pass (run_for).
    platform::HeadlessBackend m_backend{platform::HeadlessTime::Stepped};
    HWND m_frame = nullptr;
    static std::vector<Raised>& raised();
    // Answers an event: a value to hand back as the handler's result, or
    // nothing (a handler without a result). May act on the bar.
    static std::function<std::optional<std::uint32_t>(const runtime::EventRequest&)>& answer();
    static std::vector<std::uint32_t>& destroyed_notices();

  private:
    static std::intptr_t host(std::int32_t code, std::intptr_t a, std::intptr_t b);
};

} // namespace superbar_test
