// The label unit: its caption and the Feedback message.

#include "BasicUnitFixture.h"

#include <units/LabelUnit.h>

#include <platform/WindowSystem.h>

using namespace units_test;
using units::LabelUnit;

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

} // namespace
