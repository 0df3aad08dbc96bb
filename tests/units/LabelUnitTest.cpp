// The label unit: its caption, its picture's layout and the Feedback
// message.

#include "BasicUnitFixture.h"

#include <units/LabelUnit.h>

#include <platform/window/WindowSystem.h>

#include <utility>
#include <vector>

using namespace test_support;
using units::LabelUnit;
using units::UnitPicture;

namespace {

constexpr std::uint32_t LabelId = 0x16010066;

LabelUnit::Settings caption(const char* text) {
    LabelUnit::Settings settings;
    settings.set_text(LabelUnit::Caption, text);
    return settings;
}

TEST_F(BasicUnitTest, LabelFeedbackHandsTheHandlersResultBack) {
    create({unit_record(LabelId, LabelUnit::TypeCode, caption("Serial"))}, true);
    auto answer = platform::send_message(unit_window(LabelId), LabelUnit::MessageFeedback, 30, 12);
    EXPECT_EQ(answer, 42);
    EXPECT_EQ(events(), (std::vector<EventCall>{{0, LabelId, {30, 12}}}));
}

TEST_F(BasicUnitTest, LabelFeedbackAnswersZeroWhenTheHandlerReturnsNothing) {
    create({unit_record(LabelId, LabelUnit::TypeCode, caption("Serial"))});
    EXPECT_EQ(platform::send_message(unit_window(LabelId), LabelUnit::MessageFeedback, 30, 12), 0);
    EXPECT_EQ(events().size(), 1u);
}

TEST_F(BasicUnitTest, LabelCaptionWriteSetsTheWindowTextAndReadsBack) {
    create({unit_record(LabelId, LabelUnit::TypeCode, caption("\xB1\xEA\xC7\xA9"))}); // 标签
    platform::HWND hwnd = unit_window(LabelId);
    EXPECT_EQ(platform::get_window_text(hwnd), "\xB1\xEA\xC7\xA9");
    write_text(LabelId, 8, "80");
    EXPECT_EQ(unit_window(LabelId), hwnd);
    EXPECT_EQ(platform::get_window_text(hwnd), "80");
    EXPECT_EQ(read_text(LabelId, 8), "80");
    write_text(LabelId, 8, nullptr);
    EXPECT_EQ(read_text(LabelId, 8), "");
    EXPECT_TRUE(events().empty()) << "a caption write raises nothing";
}

TEST_F(BasicUnitTest, LabelPictureLiesAsItsLayoutSays) {
    // An 8 by 4 picture in a 40 by 40 label without a caption.
    LabelUnit::Settings settings;
    settings.set_block(LabelUnit::Picture, solid_bitmap(8, 4, 0xFF, 0, 0));
    create({unit_record(LabelId, LabelUnit::TypeCode, settings, 100, 100, 40, 40)});
    using Points = std::vector<std::pair<int, int>>;
    struct Case {
        std::int32_t layout;
        Points red, face;
    };
    const Case cases[] = {
        {UnitPicture::Stretch, {{1, 1}, {20, 5}, {38, 38}}, {}},
        // Five times its size: 40 by 20, from 10 to 30 down.
        {UnitPicture::Fit, {{2, 20}, {38, 20}}, {{20, 5}, {20, 35}}},
        {UnitPicture::Centre, {{20, 20}}, {{2, 2}, {20, 10}, {10, 20}}},
        {UnitPicture::TopLeft, {{1, 1}, {6, 2}}, {{20, 20}, {20, 5}}},
    };
    for (const auto& c : cases) {
        write(LabelId, 8 + LabelUnit::PictureLayout, static_cast<std::uint64_t>(c.layout));
        m_backend.pump();
        for (auto [x, y] : c.red)
            EXPECT_EQ(window_pixel(100 + x, 100 + y), Red) << c.layout << " at " << x << "," << y;
        for (auto [x, y] : c.face)
            EXPECT_EQ(window_pixel(100 + x, 100 + y), Face) << c.layout << " at " << x << "," << y;
    }
}

} // namespace
