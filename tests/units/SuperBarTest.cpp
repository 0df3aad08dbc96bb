// The bar as a slider: property writes and their range rules, the thumb
// that shows the position, keys, clicks on the track, dragging the thumb,
// the arrow buttons clicked and held, and a bar whose window a handler
// destroys in the middle of a move.

#include "SuperBarFixture.h"

#include <platform/window/Input.h>

namespace superbar_test {
namespace {

// The servo slider (200 x 48): arrow buttons of 20, a thumb of 18, so the
// thumb travels 142 pixels and its left edge stands at 20 + offset.
constexpr int TrackStart = 20;
constexpr int Travel = 142;
constexpr int Middle = 24; // across the bar

int thumb_left_for(std::int64_t position, std::int64_t minimum, std::int64_t maximum) {
    return TrackStart + static_cast<int>((position - minimum) * Travel / (maximum - minimum));
}

TEST_F(SuperBarTest, WritesFollowTheRangeRules) {
    struct Row {
        const char* what;
        std::int32_t minimum, maximum, position;
        std::int32_t own, value;
        std::int32_t want_minimum, want_maximum, want_position;
        int events;
    };
    const Row rows[] = {
        {"position above the range", 0, 179, 80, SuperBarUnit::Position, 500, 0, 179, 179, 1},
        {"the same position again", 0, 179, 179, SuperBarUnit::Position, 179, 0, 179, 179, 0},
        {"position below the range", 0, 179, 80, SuperBarUnit::Position, -5, 0, 179, 0, 1},
        {"minimum above the maximum", 0, 179, 80, SuperBarUnit::Minimum, 200, 0, 179, 80, 0},
        {"minimum equal to the maximum", 0, 179, 80, SuperBarUnit::Minimum, 179, 0, 179, 80, 0},
        {"minimum above the position", 0, 179, 30, SuperBarUnit::Minimum, 120, 120, 179, 120, 1},
        {"minimum below the position", 0, 179, 80, SuperBarUnit::Minimum, 40, 40, 179, 80, 0},
        {"negative minimum", 40, 120, 40, SuperBarUnit::Minimum, -5, -5, 120, 40, 0},
        {"maximum below the position", 0, 179, 100, SuperBarUnit::Maximum, 40, 0, 40, 40, 1},
        {"maximum equal to the minimum", 40, 179, 100, SuperBarUnit::Maximum, 40, 40, 179, 100, 0},
        {"maximum below zero minimum", 0, 179, 100, SuperBarUnit::Maximum, -1, 0, 179, 100, 0},
        {"maximum above the position", 0, 179, 100, SuperBarUnit::Maximum, 170, 0, 170, 100, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        SuperBarUnit::Settings settings;
        settings.set_word(SuperBarUnit::Minimum, row.minimum);
        settings.set_word(SuperBarUnit::Maximum, row.maximum);
        settings.set_word(SuperBarUnit::Position, row.position);
        SuperBarUnit* bar = make(settings);
        ASSERT_NE(bar, nullptr);
        raised().clear();
        write(bar, row.own, row.value);
        EXPECT_EQ(read(bar, SuperBarUnit::Minimum), row.want_minimum);
        EXPECT_EQ(read(bar, SuperBarUnit::Maximum), row.want_maximum);
        EXPECT_EQ(read(bar, SuperBarUnit::Position), row.want_position);
        ASSERT_EQ(count(SuperBarUnit::PositionChanged), row.events);
        if (row.events == 1) {
            EXPECT_EQ(raised()[0].position, row.want_position) << "stored before the event";
        }
        EXPECT_EQ(part_rect(bar, BarPart::Thumb).left,
                  thumb_left_for(row.want_position, row.want_minimum, row.want_maximum))
            << "the thumb shows the position";
        platform::destroy_window(bar->hwnd());
    }
}

TEST_F(SuperBarTest, ABarTooShortForATrackStoresButNeitherMovesNorFires) {
    // 30 long: two arrow buttons of 15 and a thumb of 18 leave no track.
    SuperBarUnit* bar = make_servo(80, {10, 10, 40, 30});
    ASSERT_NE(bar, nullptr);
    ASSERT_LT(bar->layout().track_length(), 1);
    Rect thumb = part_rect(bar, BarPart::Thumb);
    write(bar, SuperBarUnit::Position, 50);
    EXPECT_EQ(read(bar, SuperBarUnit::Position), 50);
    write(bar, SuperBarUnit::Minimum, 60);
    EXPECT_EQ(read(bar, SuperBarUnit::Position), 60);
    platform::set_focus(bar->hwnd());
    raised().clear();
    key(platform::VK_UP, 2);
    EXPECT_EQ(read(bar, SuperBarUnit::Position), 62);
    EXPECT_EQ(count(SuperBarUnit::PositionChanged), 0);
    EXPECT_EQ(part_rect(bar, BarPart::Thumb), thumb);
}

TEST_F(SuperBarTest, PresetsSwitchTheirFlags) {
    struct Row {
        std::int32_t preset;
        int slider, centre, fill;
    };
    // Starting from preset 1 (all three on); 0 leaves them as they are.
    const Row rows[] = {{0, 1, 1, 1}, {1, 1, 1, 1}, {2, 0, 0, 1}, {3, 0, 1, 1}, {4, 0, 0, 0}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.preset);
        SuperBarUnit* bar = make_servo(80);
        ASSERT_NE(bar, nullptr);
        write(bar, SuperBarUnit::BarKind, row.preset);
        EXPECT_EQ(read(bar, SuperBarUnit::BarKind), row.preset);
        EXPECT_EQ(read(bar, SuperBarUnit::SliderBehaviour), row.slider);
        EXPECT_EQ(read(bar, SuperBarUnit::CentreThumb), row.centre);
        EXPECT_EQ(read(bar, SuperBarUnit::ShowFill), row.fill);
        EXPECT_EQ(platform::is_window_visible(bar->part_window(BarPart::Fill)), row.fill == 1);
        platform::destroy_window(bar->hwnd());
    }
    SuperBarUnit* bar = make_servo(80);
    write(bar, SuperBarUnit::BarKind, 9);
    EXPECT_EQ(read(bar, SuperBarUnit::BarKind), 4) << "a choice is clamped";
}

TEST_F(SuperBarTest, KeysMoveByTheirStepsTimesTheRepeatCount) {
    struct Row {
        const char* what;
        platform::UINT vk;
        int repeat;
        std::int32_t from, to;
    };
    const Row rows[] = {
        {"PageUp twice", platform::VK_PRIOR, 2, 100, 80},
        {"PageDown", platform::VK_NEXT, 1, 100, 110},
        {"PageDown past the end", platform::VK_NEXT, 10, 100, 179},
        {"Home", platform::VK_HOME, 1, 100, 0},
        {"End", platform::VK_END, 1, 100, 179},
        {"Left three times", platform::VK_LEFT, 3, 100, 97},
        {"Down decreases", platform::VK_DOWN, 1, 100, 99},
        {"Right three times", platform::VK_RIGHT, 3, 100, 103},
        {"Up increases", platform::VK_UP, 1, 100, 101},
        {"Up at the end", platform::VK_UP, 1, 179, 179},
        {"a letter", 'A', 1, 100, 100},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        SuperBarUnit* bar = make_servo(row.from);
        ASSERT_NE(bar, nullptr);
        platform::set_focus(bar->hwnd());
        raised().clear();
        key(row.vk, row.repeat);
        EXPECT_EQ(bar->position(), row.to);
        EXPECT_EQ(count(SuperBarUnit::PositionChanged), row.from == row.to ? 0 : 1);
        EXPECT_EQ(part_rect(bar, BarPart::Thumb).left, thumb_left_for(row.to, 0, 179));
        platform::destroy_window(bar->hwnd());
    }
}

TEST_F(SuperBarTest, KeysAndTrackClicksNeedTheSliderBehaviour) {
    SuperBarUnit* bar = make_servo(100);
    ASSERT_NE(bar, nullptr);
    write(bar, SuperBarUnit::SliderBehaviour, 0);
    platform::set_focus(bar->hwnd());
    key(platform::VK_UP);
    key(platform::VK_END);
    press(bar, {170, Middle});
    release(bar, {170, Middle});
    EXPECT_EQ(bar->position(), 100);
    EXPECT_EQ(count(SuperBarUnit::PositionChanged), 0);
}

TEST_F(SuperBarTest, TrackClicksRoundHalvesUp) {
    struct Row {
        const char* what;
        int centre;
        std::int32_t from;
        int x;
        std::int32_t to;
    };
    // 71 of 142 pixels is 89.5 of 179: a click gives 90.
    const Row rows[] = {
        {"half way, thumb centred", 1, 0, TrackStart + 9 + 71, 90},
        {"half way, thumb not centred", 0, 0, TrackStart + 71, 90},
        {"just below half way", 1, 0, TrackStart + 9 + 70, 88},
        {"the end of the travel", 1, 0, TrackStart + 9 + 142, 179},
        {"past the end of the travel", 1, 0, 179, 179},
        {"on the filled part", 1, 179, TrackStart + 9 + 71, 90},
        {"before the start, thumb centred", 1, 179, TrackStart + 5, 0},
        {"the start, thumb not centred", 0, 179, TrackStart, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        SuperBarUnit* bar = make_servo(row.from);
        ASSERT_NE(bar, nullptr);
        write(bar, SuperBarUnit::CentreThumb, row.centre);
        ASSERT_FALSE(part_rect(bar, BarPart::Thumb).contains({row.x, Middle}));
        raised().clear();
        press(bar, {row.x, Middle});
        release(bar, {row.x, Middle});
        EXPECT_EQ(bar->position(), row.to);
        EXPECT_EQ(count(SuperBarUnit::PositionChanged), 1);
        EXPECT_EQ(part_rect(bar, BarPart::Thumb).left, thumb_left_for(row.to, 0, 179));
        platform::destroy_window(bar->hwnd());
    }
}

TEST_F(SuperBarTest, DraggingTheThumbTruncatesAndStaysBetweenTheArrows) {
    SuperBarUnit* bar = make_servo(0);
    ASSERT_NE(bar, nullptr);
    // Taken 5 pixels into the thumb.
    press(bar, {TrackStart + 5, Middle});
    EXPECT_EQ(platform::get_capture(), bar->hwnd());
    EXPECT_EQ(bar->held_part(), BarPart::Thumb);
    move(bar, {TrackStart + 5 + 71, Middle});
    EXPECT_EQ(bar->position(), 89) << "89.5 truncated";
    EXPECT_EQ(part_rect(bar, BarPart::Thumb).left, TrackStart + 71);
    move(bar, {400, Middle});
    EXPECT_EQ(bar->position(), 179);
    EXPECT_EQ(part_rect(bar, BarPart::Thumb).left, TrackStart + Travel);
    move(bar, {-50, Middle});
    EXPECT_EQ(bar->position(), 0);
    EXPECT_EQ(part_rect(bar, BarPart::Thumb).left, TrackStart);
    move(bar, {TrackStart + 5 + 40, Middle});
    release(bar, {TrackStart + 5 + 40, Middle});
    EXPECT_EQ(platform::get_capture(), nullptr);
    EXPECT_EQ(bar->held_part(), BarPart::None);
    std::vector<std::int32_t> positions;
    for (auto& r : raised()) {
        if (r.event == SuperBarUnit::PositionChanged)
            positions.push_back(r.position);
    }
    EXPECT_EQ(positions, (std::vector<std::int32_t>{89, 179, 0, 40 * 179 / 142}));
    EXPECT_EQ(events(), std::vector<std::int32_t>(4, SuperBarUnit::PositionChanged));
}

TEST_F(SuperBarTest, WithoutTrackingADragSetsThePositionOnRelease) {
    SuperBarUnit* bar = make_servo(0);
    ASSERT_NE(bar, nullptr);
    write(bar, SuperBarUnit::TrackWhileDragging, 0);
    press(bar, {TrackStart + 5, Middle});
    move(bar, {TrackStart + 5 + 100, Middle});
    move(bar, {TrackStart + 5 + 71, Middle});
    EXPECT_EQ(bar->position(), 0);
    EXPECT_TRUE(events().empty());
    release(bar, {TrackStart + 5 + 71, Middle});
    EXPECT_EQ(bar->position(), 89);
    EXPECT_EQ(count(SuperBarUnit::PositionChanged), 1);
}

TEST_F(SuperBarTest, AHandlerWritingThePositionDuringADragIsNotUndoneByTheThumb) {
    SuperBarUnit* bar = make_servo(0);
    ASSERT_NE(bar, nullptr);
    bool written = false;
    answer() = [&](const runtime::EventRequest& request) -> std::optional<std::uint32_t> {
        if (request.event == SuperBarUnit::PositionChanged && !written) {
            written = true;
            write(bar, SuperBarUnit::Position, 100);
        }
        return std::nullopt;
    };
    press(bar, {TrackStart + 5, Middle});
    move(bar, {TrackStart + 5 + 71, Middle});
    // The handler's write moves the thumb to 100's place (offset 79); that
    // move must not turn back into the position 99 that offset truncates to.
    EXPECT_EQ(bar->position(), 100);
    EXPECT_EQ(part_rect(bar, BarPart::Thumb).left, thumb_left_for(100, 0, 179));
    ASSERT_EQ(raised().size(), 3u);
    EXPECT_EQ(raised()[0].event, units::EventGotFocus);
    EXPECT_EQ(raised()[1].position, 89);
    EXPECT_EQ(raised()[2].position, 100);
    release(bar, {TrackStart + 5 + 71, Middle});
}

TEST_F(SuperBarTest, ArrowClicksRaiseTheirEventBeforeTheLineStep) {
    SuperBarUnit* bar = make_servo(100);
    ASSERT_NE(bar, nullptr);
    write(bar, SuperBarUnit::LineStep, 3);
    press(bar, {10, Middle});
    EXPECT_EQ(platform::get_capture(), bar->hwnd());
    release(bar, {10, Middle});
    EXPECT_EQ(bar->position(), 97);
    press(bar, {190, Middle});
    release(bar, {190, Middle});
    EXPECT_EQ(bar->position(), 100);
    EXPECT_EQ(events(), (std::vector<std::int32_t>{
                            SuperBarUnit::DecreaseClicked, SuperBarUnit::PositionChanged,
                            SuperBarUnit::IncreaseClicked, SuperBarUnit::PositionChanged}));
    EXPECT_EQ(raised()[1].position, 100) << "the event comes before the step";
}

TEST_F(SuperBarTest, AnArrowHandlerThatReturnsFalseCancelsTheStep) {
    struct Row {
        const char* what;
        std::optional<std::uint32_t> answer;
        std::int32_t to;
    };
    const Row rows[] = {
        {"false cancels", 0u, 100}, {"true steps", 1u, 101}, {"no value steps", std::nullopt, 101}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        SuperBarUnit* bar = make_servo(100);
        ASSERT_NE(bar, nullptr);
        raised().clear();
        answer() = [&](const runtime::EventRequest& request) -> std::optional<std::uint32_t> {
            if (request.event == SuperBarUnit::IncreaseClicked)
                return row.answer;
            return std::nullopt;
        };
        press(bar, {190, Middle});
        release(bar, {190, Middle});
        EXPECT_EQ(bar->position(), row.to);
        EXPECT_EQ(count(SuperBarUnit::IncreaseClicked), 1);
        EXPECT_EQ(count(SuperBarUnit::PositionChanged), row.to == 100 ? 0 : 1);
        platform::destroy_window(bar->hwnd());
    }
}

TEST_F(SuperBarTest, ArrowClicksWithoutSliderBehaviourOnlyRaiseTheEvent) {
    SuperBarUnit* bar = make_servo(100);
    ASSERT_NE(bar, nullptr);
    write(bar, SuperBarUnit::BarKind, 2);
    press(bar, {190, Middle});
    release(bar, {190, Middle});
    EXPECT_EQ(bar->position(), 100);
    EXPECT_EQ(events(), (std::vector<std::int32_t>{SuperBarUnit::IncreaseClicked}));
}

TEST_F(SuperBarTest, ReleasingAwayFromTheArrowIsNoClick) {
    SuperBarUnit* bar = make_servo(100);
    ASSERT_NE(bar, nullptr);
    press(bar, {10, Middle});
    move(bar, {100, 200});
    release(bar, {100, 200});
    EXPECT_EQ(bar->position(), 100);
    EXPECT_TRUE(events().empty());
    EXPECT_EQ(platform::get_capture(), nullptr);
}

TEST_F(SuperBarTest, HoldingAnArrowRepeatsByThePageStepUntilTheEnd) {
    struct Row {
        const char* what;
        std::int32_t from;
        int x; // on the decrease or the increase button
        int slider;
        std::uint32_t ms; // held this long before the repeat has stopped
        std::vector<std::int32_t> positions;
    };
    // Timer 1 waits 500 ms, then timer 2 steps every 100 ms until an end.
    const Row rows[] = {
        {"up from 170", 170, 190, 1, 600, {179}},
        {"down from 30", 30, 10, 1, 800, {20, 10, 0}},
        {"without the slider behaviour", 30, 10, 0, 800, {20, 10, 0}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        SuperBarUnit* bar = make_servo(row.from);
        ASSERT_NE(bar, nullptr);
        write(bar, SuperBarUnit::SliderBehaviour, row.slider);
        raised().clear();
        press(bar, {row.x, Middle});
        EXPECT_EQ(platform::get_capture(), bar->hwnd());
        m_backend.run_for(500);
        EXPECT_EQ(bar->position(), row.from) << "nothing before the first repeat";
        m_backend.run_for(row.ms - 500);
        EXPECT_EQ(platform::next_timer_due_ms(), -1) << "the repeat has stopped at the end";
        m_backend.run_for(1000);
        std::vector<std::int32_t> positions;
        for (auto& r : raised()) {
            if (r.event == SuperBarUnit::PositionChanged)
                positions.push_back(r.position);
        }
        EXPECT_EQ(positions, row.positions);
        release(bar, {row.x, Middle});
        EXPECT_EQ(platform::get_capture(), nullptr);
        // The release completes a click, whose line step has nowhere to go.
        EXPECT_EQ(events().back(),
                  row.x < 100 ? SuperBarUnit::DecreaseClicked : SuperBarUnit::IncreaseClicked);
        EXPECT_EQ(bar->position(), row.positions.back());
        platform::destroy_window(bar->hwnd());
    }
}

TEST_F(SuperBarTest, ReleasingEarlyStopsTheHoldBeforeItRepeats) {
    SuperBarUnit* bar = make_servo(100);
    ASSERT_NE(bar, nullptr);
    press(bar, {190, Middle});
    m_backend.run_for(499);
    release(bar, {190, Middle});
    EXPECT_EQ(platform::next_timer_due_ms(), -1);
    m_backend.run_for(1000);
    EXPECT_EQ(bar->position(), 101) << "one click, no repeat";
}

TEST_F(SuperBarTest, NothingMoreHappensWhenAHandlerDestroysTheBar) {
    struct Row {
        const char* what;
        std::function<void(SuperBarTest&, SuperBarUnit*)> act;
    };
    const Row rows[] = {
        {"a key", [](SuperBarTest& t, SuperBarUnit*) { t.key(platform::VK_UP); }},
        {"a minimum write",
         [](SuperBarTest& t, SuperBarUnit* bar) { t.write(bar, SuperBarUnit::Minimum, 120); }},
        {"a track click",
         [](SuperBarTest& t, SuperBarUnit* bar) {
             t.press(bar, {TrackStart + 9 + 121, Middle});
         }},
        {"a drag",
         [](SuperBarTest& t, SuperBarUnit* bar) {
             Rect thumb = t.part_rect(bar, BarPart::Thumb);
             t.press(bar, {thumb.left + 2, Middle});
             t.move(bar, {thumb.left + 40, Middle});
         }},
        {"an arrow click",
         [](SuperBarTest& t, SuperBarUnit* bar) {
             t.press(bar, {190, Middle});
             t.release(bar, {190, Middle});
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        SuperBarUnit* bar = make_servo(100);
        ASSERT_NE(bar, nullptr);
        HWND window = bar->hwnd();
        platform::set_focus(window);
        raised().clear();
        destroyed_notices().clear();
        answer() = [window](const runtime::EventRequest& request) -> std::optional<std::uint32_t> {
            if (request.event >= 0)
                platform::destroy_window(window);
            return std::nullopt;
        };
        row.act(*this, bar);
        EXPECT_FALSE(platform::is_window(window));
        EXPECT_EQ(events().size(), 1u) << "one event, then nothing";
        EXPECT_EQ(destroyed_notices().size(), 1u);
        EXPECT_EQ(platform::get_capture(), nullptr);
        answer() = nullptr;
    }
}

TEST_F(SuperBarTest, FocusEventsAndAVerticalBar) {
    SuperBarUnit::Settings settings = servo_settings(0);
    settings.set_word(SuperBarUnit::Orientation, 1);
    SuperBarUnit* bar = make(settings, {300, 20, 348, 220});
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->layout().vertical());
    // Along the height now: the thumb's top edge shows the position.
    press(bar, {Middle, TrackStart + 9 + 71});
    release(bar, {Middle, TrackStart + 9 + 71});
    EXPECT_EQ(bar->position(), 90);
    EXPECT_EQ(part_rect(bar, BarPart::Thumb).top, thumb_left_for(90, 0, 179));
    EXPECT_EQ(count(units::EventGotFocus), 1);
    EXPECT_EQ(events(), (std::vector<std::int32_t>{SuperBarUnit::PositionChanged}));
    // Turned back, the same position stands along the width.
    write(bar, SuperBarUnit::Orientation, 0);
    platform::move_window(bar->hwnd(), 77, 105, 200, 48);
    EXPECT_EQ(part_rect(bar, BarPart::Thumb).left, thumb_left_for(90, 0, 179));
    EXPECT_EQ(count(SuperBarUnit::PositionChanged), 1);
}

} // namespace
} // namespace superbar_test
