#include "SuperBarFixture.h"

#include <units/framework/Unit.h>

#include <platform/window/Input.h>

#include <map>

namespace superbar_test {

namespace {

constexpr std::uint32_t WindowId = 0x52010001;

std::map<std::uint32_t, SuperBarUnit*>& bars() {
    static std::map<std::uint32_t, SuperBarUnit*> made;
    return made;
}

std::uint32_t g_next_unit_id = 0x16010012;

} // namespace

std::vector<Raised>& SuperBarTest::raised() {
    static std::vector<Raised> list;
    return list;
}

std::function<std::optional<std::uint32_t>(const runtime::EventRequest&)>& SuperBarTest::answer() {
    static std::function<std::optional<std::uint32_t>(const runtime::EventRequest&)> fn;
    return fn;
}

std::vector<std::uint32_t>& SuperBarTest::destroyed_notices() {
    static std::vector<std::uint32_t> list;
    return list;
}

std::intptr_t SuperBarTest::host(std::int32_t code, std::intptr_t a, std::intptr_t b) {
    if (code == runtime::host_service::UnitDestroyed) {
        destroyed_notices().push_back(static_cast<std::uint32_t>(b));
        bars().erase(static_cast<std::uint32_t>(b));
        return 0;
    }
    if (code != runtime::host_service::RaiseEvent)
        return 0;
    auto* request = reinterpret_cast<runtime::EventRequest*>(a);
    auto it = bars().find(request->unit_id);
    raised().push_back({request->event, it == bars().end() ? 0 : it->second->position()});
    if (answer()) {
        if (auto value = answer()(*request)) {
            request->result_present = 1;
            request->result = *value;
        }
    }
    return 1;
}

void SuperBarTest::SetUp() {
    ASSERT_TRUE(platform::initialize(&m_backend));
    raised().clear();
    answer() = nullptr;
    destroyed_notices().clear();
    bars().clear();
    units::set_host(&SuperBarTest::host);
    platform::WindowClass frame;
    frame.name = FrameClass;
    frame.proc = platform::def_window_proc;
    frame.background = 0xF0F0F0;
    platform::register_class(frame);
    m_frame =
        platform::create_window_ex(0, FrameClass, "bars", platform::WS_POPUP | platform::WS_VISIBLE,
                                   0, 0, 420, 360, nullptr, 0);
    ASSERT_NE(m_frame, nullptr);
}

void SuperBarTest::TearDown() {
    platform::shutdown();
    platform::unregister_class(FrameClass);
    units::set_host(nullptr);
    answer() = nullptr;
}

SuperBarUnit::Settings SuperBarTest::servo_settings(std::int32_t position) {
    SuperBarUnit::Settings settings;
    settings.set_word(SuperBarUnit::Maximum, 179);
    settings.set_word(SuperBarUnit::Position, position);
    return settings;
}

SuperBarUnit* SuperBarTest::make(const SuperBarUnit::Settings& settings, Rect r) {
    return make_from(units::write_stored_settings(settings), r);
}

SuperBarUnit* SuperBarTest::make_from(const std::vector<std::uint8_t>& data, Rect r) {
    std::uint32_t unit_id = g_next_unit_id++;
    auto* object = SuperBarUnit::Entries::create(
        data.data(), static_cast<std::uint32_t>(data.size()),
        platform::WS_VISIBLE | platform::WS_TABSTOP, m_frame, unit_id & 0xFFFF, nullptr, r.left,
        r.top, r.width(), r.height(), WindowId, unit_id, 0, 0);
    auto* bar = static_cast<SuperBarUnit*>(object);
    if (bar)
        bars()[unit_id] = bar;
    return bar;
}

SuperBarUnit* SuperBarTest::make_servo(std::int32_t position, Rect r) {
    return make(servo_settings(position), r);
}

void SuperBarTest::write(SuperBarUnit* bar, std::int32_t own, std::int32_t value) {
    runtime::PropertyValue v;
    v.data = static_cast<std::uint32_t>(value);
    std::uint32_t result = 7;
    EXPECT_EQ(SuperBarUnit::Entries::set_property(bar, own, &v, &result), 0)
        << "no write of this type asks to be re-created";
    EXPECT_EQ(result, 0u);
}

std::int32_t SuperBarTest::read(SuperBarUnit* bar, std::int32_t own) {
    runtime::PropertyValue v;
    EXPECT_EQ(SuperBarUnit::Entries::get_property(bar, own, &v), 1);
    return v.word();
}

Rect SuperBarTest::part_rect(SuperBarUnit* bar, BarPart part) {
    Rect r;
    platform::get_window_placement_rect(bar->part_window(part), r);
    return r;
}

Point SuperBarTest::in_part(SuperBarUnit* bar, BarPart part, Point bar_point) {
    Rect r = part_rect(bar, part);
    return {bar_point.x - r.left, bar_point.y - r.top};
}

std::vector<std::int32_t> SuperBarTest::events() const {
    std::vector<std::int32_t> list;
    for (auto& r : raised()) {
        if (r.event >= 0)
            list.push_back(r.event);
    }
    return list;
}

int SuperBarTest::count(std::int32_t event) const {
    int n = 0;
    for (auto& r : raised())
        n += r.event == event ? 1 : 0;
    return n;
}

void SuperBarTest::press(SuperBarUnit* bar, Point bar_point) {
    m_backend.mouse_down(bar->hwnd(), bar_point);
    m_backend.pump();
}

void SuperBarTest::move(SuperBarUnit* bar, Point bar_point) {
    m_backend.mouse_move(bar->hwnd(), bar_point);
    m_backend.pump();
}

void SuperBarTest::release(SuperBarUnit* bar, Point bar_point) {
    m_backend.mouse_up(bar->hwnd(), bar_point);
    m_backend.pump();
}

void SuperBarTest::key(platform::UINT vk, int repeat) {
    platform::input::key(vk, true, 0, repeat);
    platform::input::key(vk, false);
    m_backend.pump();
}

} // namespace superbar_test
