#include "AppFixture.h"

#include <app/Units.h>

#include <platform/controls/Controls.h>
#include <platform/window/Styles.h>

#include <string>

using namespace app_test;
using namespace app;

namespace {

class ServoLinkTest : public AppTest {
  protected:
    std::int32_t position(ServoNumber servo) {
        return read_integer(Servos[servo].slider.unit, 0, property::SliderPosition);
    }
    std::string label(ServoNumber servo) {
        return read_text(Servos[servo].value_label.unit, 0, property::LabelCaption);
    }
    // The command a servo at its present position sends.
    std::string command(ServoNumber servo) {
        return std::to_string(position(servo)) + Servos[servo].letter;
    }
};

TEST_F(ServoLinkTest, SlidersSendOneCommandPerMoveOnlyWhileThePortIsOpen) {
    start();
    // Closed: the label follows the slider, the line stays silent (what
    // arrives first below is the first command sent after opening).
    key(Servos[Gripper].slider.unit, platform::VK_RIGHT);
    EXPECT_EQ(position(Gripper), 81);
    EXPECT_EQ(label(Gripper), "81");

    click(OpenButton);
    EXPECT_EQ(status_text(), gbk("Port：Open"));
    EXPECT_EQ(read_text(PortButton.unit, 0, property::ButtonCaption), "Open");
    key(Servos[Gripper].slider.unit, platform::VK_LEFT);
    EXPECT_TRUE(m_arm.next_is("80a"));
    // Nine steps up: nine commands, the last of them the three bytes of 90a.
    key(Servos[Gripper].slider.unit, platform::VK_RIGHT, 10);
    EXPECT_EQ(position(Gripper), 90);
    EXPECT_TRUE(m_arm.next_is("81a82a83a84a85a86a87a88a89a\x39\x30\x61"));
    EXPECT_EQ(label(Gripper), "90");

    // Base reaches 179 once its maximum allows it: 1 and 17 are refused as
    // maximums below the minimum 120, 179 is taken and moves nothing.
    type_into(Servos[Base].maximum_box.unit, "179");
    EXPECT_EQ(read_integer(Servos[Base].slider.unit, 0, property::SliderMaximum), 179);
    key(Servos[Base].slider.unit, platform::VK_END);
    EXPECT_EQ(position(Base), 179);
    EXPECT_TRUE(m_arm.next_is("179d"));

    click(OpenButton);
    EXPECT_EQ(status_text(), gbk("Port：Close"));
    EXPECT_EQ(read_text(PortButton.unit, 0, property::ButtonCaption), "Close");
    key(Servos[Gripper].slider.unit, platform::VK_HOME);
    EXPECT_EQ(label(Gripper), "40");
    click(OpenButton);
    key(Servos[Elbow].slider.unit, platform::VK_RIGHT);
    EXPECT_TRUE(m_arm.next_is("81c"));
}

TEST_F(ServoLinkTest, RangeBoxesNarrowTheirSliders) {
    start();
    click(OpenButton);
    // Each typed character is a content change: 4, 45, 45. and 45.9.
    type_into(Servos[Gripper].minimum_box.unit, "45.9");
    EXPECT_EQ(read_integer(Servos[Gripper].slider.unit, 0, property::SliderMinimum), 45);
    type_into(Servos[Gripper].minimum_box.unit, "abc");
    EXPECT_EQ(read_integer(Servos[Gripper].slider.unit, 0, property::SliderMinimum), 0);
    type_into(Servos[Gripper].minimum_box.unit, "-5");
    EXPECT_EQ(read_integer(Servos[Gripper].slider.unit, 0, property::SliderMinimum), -5);
    key(Servos[Gripper].slider.unit, platform::VK_HOME);
    EXPECT_TRUE(m_arm.next_is("-5a"));

    // A maximum not above the minimum changes nothing.
    type_into(Servos[Shoulder].maximum_box.unit, "30");
    EXPECT_EQ(read_integer(Servos[Shoulder].slider.unit, 0, property::SliderMaximum), 170);
    EXPECT_EQ(read_text(Servos[Shoulder].maximum_box.unit, 0, property::EditContent), "30");

    // A maximum below the position moves the slider, its label and the arm.
    type_into(Servos[Elbow].maximum_box.unit, "60");
    EXPECT_EQ(position(Elbow), 60);
    EXPECT_EQ(label(Elbow), "60");
    EXPECT_TRUE(m_arm.next_is("60c"));
}

TEST_F(ServoLinkTest, ThePortChosenIsOpenedAtTheNextPress) {
    start();
    // The user walks down the list to COM10, the last item; every step is
    // a choice and sets the number.
    key(PortSelector.unit, platform::VK_DOWN);
    EXPECT_EQ(read_integer(Port.unit, 0, property::PortNumber), 1);
    key(PortSelector.unit, platform::VK_DOWN, 2);
    EXPECT_EQ(read_integer(Port.unit, 0, property::PortNumber), 3);
    key(PortSelector.unit, platform::VK_DOWN, 7);
    EXPECT_EQ(read_integer(PortSelector.unit, 0, property::ComboCurrentItem), 9);
    EXPECT_EQ(read_integer(Port.unit, 0, property::PortNumber), 10);
    click(OpenButton);
    key(Servos[Shoulder].slider.unit, platform::VK_LEFT);
    EXPECT_TRUE(m_arm10.next_is("99b"));
}

TEST_F(ServoLinkTest, TheStatusTipNamesTheDeviceAndWhyItDidNotOpen) {
    setenv("ARMCTL_COM3", "/nonexistent/armctl-port", 1);
    start();
    click(OpenButton);
    EXPECT_EQ(status_tip(), gbk("COM1 → ") + m_arm.slave_path());
    click(OpenButton);
    key(PortSelector.unit, platform::VK_DOWN, 3);
    EXPECT_EQ(status_tip(), gbk("COM3 → /nonexistent/armctl-port"));
    click(OpenButton);
    // The status follows the press; the tip says what happened.
    EXPECT_EQ(status_text(), gbk("Port：Open"));
    EXPECT_EQ(status_tip(), gbk("COM3 → /nonexistent/armctl-port: no such device"));
    unsetenv("ARMCTL_COM3");
}

TEST_F(ServoLinkTest, TheToggleFollowsThePressesEvenWhenNoPortOpens) {
    setenv("ARMCTL_COM1", "/nonexistent/armctl-port", 1);
    start();
    const char* expected[] = {"Port：Open", "Port：Close", "Port：Open"};
    const char* captions[] = {"Open", "Close", "Open"};
    for (int press = 0; press < 3; ++press) {
        click(OpenButton);
        EXPECT_EQ(status_text(), gbk(expected[press])) << press;
        EXPECT_EQ(read_text(PortButton.unit, 0, property::ButtonCaption), captions[press]);
    }
    // Nothing was opened, so nothing can be sent; the label still follows.
    key(Servos[Base].slider.unit, platform::VK_RIGHT);
    EXPECT_EQ(label(Base), "121");
}

} // namespace
