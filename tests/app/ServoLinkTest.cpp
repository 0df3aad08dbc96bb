#include "AppFixture.h"

#include <app/Units.h>

#include <platform/Styles.h>

using namespace app_test;
using namespace app;

namespace {

constexpr std::uint32_t OpenButton = 0x16010067;

TEST_F(AppTest, SlidersSendOneCommandPerMoveOnceThePortIsOpen) {
    start();
    // Closed: the labels follow, the line stays silent.
    key(Servos[Gripper].slider.unit, platform::VK_NEXT);
    EXPECT_EQ(read_text(Servos[Gripper].value_label.unit, 0, property::LabelCaption), "90");
    EXPECT_EQ(m_arm.take(), "");
    click(OpenButton);
    EXPECT_EQ(status_text(), gbk("Port：Open"));
    EXPECT_EQ(read_text(PortButton.unit, 0, property::ButtonCaption), "Open");
    key(Servos[Gripper].slider.unit, platform::VK_PRIOR);
    EXPECT_EQ(m_arm.take(), "80a");
    key(Servos[Gripper].slider.unit, platform::VK_NEXT);
    EXPECT_EQ(m_arm.take(), std::string("\x39\x30\x61"));
    // Base reaches 179 once its maximum allows it.
    type_into(Servos[Base].maximum_box.unit, "179");
    key(Servos[Base].slider.unit, platform::VK_END);
    EXPECT_EQ(m_arm.take(), "179d");
    click(OpenButton);
    EXPECT_EQ(status_text(), gbk("Port：Close"));
    EXPECT_EQ(read_text(PortButton.unit, 0, property::ButtonCaption), "Close");
    key(Servos[Gripper].slider.unit, platform::VK_HOME);
    EXPECT_EQ(m_arm.take(), "");
}

TEST_F(AppTest, RangeBoxesNarrowTheirSliders) {
    start();
    click(OpenButton);
    type_into(Servos[Gripper].minimum_box.unit, "45.9");
    EXPECT_EQ(read_integer(Servos[Gripper].slider.unit, 0, property::SliderMinimum), 45);
    type_into(Servos[Gripper].minimum_box.unit, "abc");
    EXPECT_EQ(read_integer(Servos[Gripper].slider.unit, 0, property::SliderMinimum), 0);
    type_into(Servos[Gripper].minimum_box.unit, "-5");
    m_arm.take();
    key(Servos[Gripper].slider.unit, platform::VK_HOME);
    EXPECT_EQ(m_arm.take(), "-5a");
    // A maximum not above the minimum changes nothing.
    type_into(Servos[Shoulder].maximum_box.unit, "30");
    EXPECT_EQ(read_integer(Servos[Shoulder].slider.unit, 0, property::SliderMaximum), 170);
    // A maximum below the position moves the slider and sends it.
    m_arm.take();
    type_into(Servos[Elbow].maximum_box.unit, "60");
    EXPECT_EQ(read_integer(Servos[Elbow].slider.unit, 0, property::SliderPosition), 60);
    EXPECT_EQ(read_text(Servos[Elbow].value_label.unit, 0, property::LabelCaption), "60");
    EXPECT_EQ(m_arm.take(), "60c");
}

TEST_F(AppTest, TheToggleFollowsThePressesEvenWhenNoPortOpens) {
    setenv("ARMCTL_COM1", "/nonexistent/armctl-port", 1);
    start();
    click(OpenButton);
    EXPECT_EQ(status_text(), gbk("Port：Open"));
    click(OpenButton);
    EXPECT_EQ(status_text(), gbk("Port：Close"));
    click(OpenButton);
    EXPECT_EQ(status_text(), gbk("Port：Open"));
}

} // namespace
