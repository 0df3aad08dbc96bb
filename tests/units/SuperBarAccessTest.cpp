// The bar as an assistive client sees it: a slider whose value is the
// position, set as a key would set it, and a value event for every move.

#include "SuperBarFixture.h"

#include <platform/access/Access.h>
#include <platform/access/AccessEvents.h>

namespace test_support {
namespace {

using namespace platform::access;

class ValueEvents final : public Listener {
  public:
    ValueEvents() { set_listener(this); }
    ~ValueEvents() override { set_listener(nullptr); }
    void on_access_event(const Event& e) override {
        if (e.kind == EventKind::Value)
            ++count;
    }
    int count = 0;
};

TEST_F(SuperBarTest, ASliderReadsItsPositionAndRangeAndLeavesItsPartsOut) {
    SuperBarUnit* bar = make_servo(100);
    ASSERT_NE(bar, nullptr);
    Node node = platform::access::describe({bar->hwnd(), 0});
    EXPECT_EQ(node.role, Role::Slider);
    EXPECT_TRUE(node.states & Horizontal);
    EXPECT_TRUE(node.states & Focusable);
    ASSERT_TRUE(node.has_value);
    EXPECT_EQ(node.value.current, 100);
    EXPECT_EQ(node.value.minimum, 0);
    EXPECT_EQ(node.value.maximum, 179);
    EXPECT_EQ(node.value.step, 1);
    EXPECT_TRUE(children({bar->hwnd(), 0}).empty()) << "the arrow, track and thumb windows";

    SuperBarUnit::Settings plain = servo_settings(10);
    plain.set_word(SuperBarUnit::SliderBehaviour, 0);
    SuperBarUnit* scroll = make(plain, {10, 200, 210, 220});
    ASSERT_NE(scroll, nullptr);
    EXPECT_EQ(platform::access::describe({scroll->hwnd(), 0}).role, Role::ScrollBar);
}

TEST_F(SuperBarTest, AClientsValueIsPostedAndMovesTheBarAsAKeyWould) {
    SuperBarUnit* bar = make_servo(100);
    ASSERT_NE(bar, nullptr);
    ValueEvents values;
    raised().clear();
    ASSERT_TRUE(platform::access::set_value({bar->hwnd(), 0}, 90.4));
    EXPECT_EQ(bar->position(), 100) << "nothing moves inside the client's call";
    m_backend.pump();
    EXPECT_EQ(bar->position(), 90);
    EXPECT_EQ(events(), std::vector<std::int32_t>{SuperBarUnit::PositionChanged});
    ASSERT_TRUE(platform::access::set_value({bar->hwnd(), 0}, 1000));
    m_backend.pump();
    EXPECT_EQ(bar->position(), 179) << "kept inside the range";

    platform::set_focus(bar->hwnd());
    key(platform::VK_LEFT);
    write(bar, SuperBarUnit::Maximum, 150);
    EXPECT_EQ(values.count, 5) << "two client moves, a key, and the range cut with its move";
}

} // namespace
} // namespace test_support
