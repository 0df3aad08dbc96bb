// The arm controller as an assistive client sees it: every visible unit by
// its role and name (the design's names where it has no caption), the
// values of the sliders, and the window driven by accessibility alone.

#include "AppFixture.h"

#include <app/Units.h>

#include <runtime/AppRuntime.h>

#include <platform/access/Access.h>
#include <platform/access/TextUnits.h>
#include <platform/window/WindowSystem.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

using namespace test_support;
using namespace app;
using namespace platform::access;

namespace {

class AccessTreeTest : public AppTest {
  protected:
    // As the program's loop does: the window's pre-translation (Tab and
    // Shift+Tab) first.
    void pump_through_the_loop() {
        platform::Msg msg;
        while (platform::peek_message(msg, nullptr, 0, 0, platform::PM_REMOVE)) {
            if (runtime::AppRuntime::the().pre_translate_message(msg))
                continue;
            platform::translate_message(msg);
            platform::dispatch_message(msg);
        }
    }
    Object find(Role role, std::string_view name, Object under = {}) {
        if (!under.hwnd)
            under = {window(), 0};
        for (Object o : children(under)) {
            Node n = describe(o);
            if (n.role == role && n.name == name)
                return o;
            if (Object deeper = find(role, name, o); deeper.hwnd)
                return deeper;
        }
        return {};
    }
    void list(Object o, std::vector<std::string>& out) {
        for (Object c : children(o)) {
            Node n = describe(c);
            if (n.role == Role::TableCell || n.role == Role::RowHeader ||
                n.role == Role::ColumnHeader)
                continue;
            out.push_back(std::string(role_name(n.role)) + " '" + n.name + "'");
            list(c, out);
        }
    }
};

TEST_F(AccessTreeTest, EveryVisibleUnitHasItsRoleAndName) {
    start();
    Node frame = describe({window(), 0});
    EXPECT_EQ(frame.role, Role::Frame);
    std::vector<std::string> tree;
    list({window(), 0}, tree);
    // In the design's stored order; the serial port and the file dialog
    // unit are not there, nor the sliders' part windows.
    EXPECT_EQ(tree, (std::vector<std::string>{
                        "push button '帮助'",
                        "push button 'Save'",
                        "image 'Arm'",
                        "push button 'Stop'",
                        "label 'Cycle'",
                        "label 'Speed'",
                        "text 'Cycle'",
                        "text 'Speed'",
                        "table 'Actions'",
                        "push button 'Clean'",
                        "push button 'Run'",
                        "push button 'Add'",
                        "label 'Serial'",
                        "push button 'Open'",
                        "combo box 'Serial'",
                        "text 'Serial'",
                        "list ''",
                        "list item 'COM1'",
                        "list item 'COM2'",
                        "list item 'COM3'",
                        "list item 'COM4'",
                        "list item 'COM5'",
                        "list item 'COM6'",
                        "list item 'COM7'",
                        "list item 'COM8'",
                        "list item 'COM9'",
                        "list item 'COM10'",
                        "panel 'Port'",
                        "text 'Base maximum'",
                        "text 'Base minimum'",
                        "text 'Elbow maximum'",
                        "text 'Elbow minimum'",
                        "text 'Shoulder maximum'",
                        "text 'Shoulder minimum'",
                        "text 'Gripper maximum'",
                        "text 'Gripper minimum'",
                        "label 'Base'",
                        "label 'Elbow'",
                        "label 'Shoulder'",
                        "label 'Gripper'",
                        "label 'Base angle'",
                        "label 'Elbow angle'",
                        "label 'Shoulder angle'",
                        "status bar 'Port：Close          Statu：Stop'",
                        "label 'Port：Close          Statu：Stop'",
                        "label 'Gripper angle'",
                        "slider 'Base'",
                        "slider 'Elbow'",
                        "slider 'Shoulder'",
                        "slider 'Gripper'",
                        "panel 'Record and play'",
                        "push button 'load'",
                        "panel 'Servos'",
                    }));

    const char* names[] = {"Gripper", "Shoulder", "Elbow", "Base"};
    double values[] = {80, 100, 80, 120};
    double minimums[] = {40, 40, 40, 120};
    double maximums[] = {120, 170, 150, 170};
    for (int i = 0; i < 4; ++i) {
        Node slider = describe(find(Role::Slider, names[i]));
        ASSERT_TRUE(slider.has_value) << names[i];
        EXPECT_EQ(slider.value.current, values[i]) << names[i];
        EXPECT_EQ(slider.value.minimum, minimums[i]) << names[i];
        EXPECT_EQ(slider.value.maximum, maximums[i]) << names[i];
        EXPECT_TRUE(slider.states & Horizontal);
    }
    Node speed = describe(find(Role::Text, "Speed"));
    Object speed_label = find(Role::Label, "Speed");
    EXPECT_EQ(speed.labelled_by, speed_label.hwnd);
    EXPECT_EQ(describe(speed_label).label_for, unit_window(SpeedBox));

    Object table = find(Role::Table, "Actions");
    Node t = describe(table);
    EXPECT_EQ(t.rows, 101);
    EXPECT_EQ(t.columns, 5);
    const char* headings[] = {"", "Gripper", "Shoulder", "Elbow", "Base"};
    for (int column = 0; column < 5; ++column) {
        Node heading = describe({table.hwnd, 1 + column});
        EXPECT_EQ(heading.role, Role::ColumnHeader);
        EXPECT_EQ(heading.name, headings[column]);
    }
    EXPECT_EQ(describe({table.hwnd, 1 + 5 * 3}).role, Role::RowHeader);
    EXPECT_EQ(describe({table.hwnd, 1 + 5 * 3}).name, "Action 3");
}

TEST_F(AccessTreeTest, TheWindowIsDrivenByAccessibilityAlone) {
    start();
    Object combo = find(Role::ComboBox, "Serial");
    ASSERT_TRUE(select_child(combo, 1, true)) << "COM2";
    pump();
    EXPECT_EQ(read_integer(Port, SerialPort::PortNumber), 2);
    ASSERT_TRUE(select_child(combo, 0, true)) << "back to COM1, where the arm is";
    pump();

    ASSERT_TRUE(do_action(find(Role::PushButton, "Open"), 0));
    pump();
    EXPECT_EQ(status_text(), gbk("Port：Open"));
    ASSERT_TRUE(set_value(find(Role::Slider, "Gripper"), 90));
    pump();
    EXPECT_TRUE(m_arm.next_is("90a"));
    EXPECT_EQ(read_text(Servos[Gripper].value_label, Label::Caption), "90");

    Object minimum = find(Role::Text, "Gripper minimum");
    TextState was;
    ASSERT_TRUE(text(minimum, was));
    ASSERT_TRUE(replace_text(minimum, 0, utf8_length(was.text), "45"));
    pump();
    EXPECT_EQ(read_integer(Servos[Gripper].slider, SuperBar::Minimum), 45)
        << "the box's change event ran as for typing";

    ASSERT_TRUE(select_child(find(Role::Table, "Actions"), 5 * 2 + 1, true));
    pump();
    EXPECT_EQ(current_cell(), (std::pair<int, int>{2, 1}));
}

TEST_F(AccessTreeTest, TabReachesEveryControlAndTheFocusedOneSaysSo) {
    start();
    std::vector<Object> stops;
    std::vector<Object> all;
    std::function<void(Object)> walk = [&](Object o) {
        for (Object c : children(o)) {
            Node n = describe(c);
            if (c.part == 0 && (n.states & Focusable) && (n.states & Showing) &&
                n.role != Role::List) {
                // A combo box's edit field is part of the combo box.
                stops.push_back(c);
                continue;
            }
            walk(c);
        }
    };
    walk({window(), 0});
    platform::set_focus(stops.front().hwnd);
    std::vector<Object> reached{{platform::get_focus(), 0}};
    ASSERT_EQ(stops.size(), 24u);
    for (std::size_t i = 1; i < stops.size(); ++i) {
        m_backend.press_key(platform::VK_TAB);
        pump_through_the_loop();
        platform::HWND focus = platform::get_focus();
        EXPECT_TRUE(describe({focus, 0}).states & Focused);
        if (describe({platform::get_parent(focus), 0}).role == Role::ComboBox)
            focus = platform::get_parent(focus);
        reached.push_back({focus, 0});
    }
    std::sort(stops.begin(), stops.end(), [](Object a, Object b) { return a.hwnd < b.hwnd; });
    std::sort(reached.begin(), reached.end(), [](Object a, Object b) { return a.hwnd < b.hwnd; });
    EXPECT_EQ(reached, stops) << "Tab visits each tab stop once";
}

} // namespace
