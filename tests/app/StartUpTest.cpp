#include "AppFixture.h"

#include <app/Units.h>

#include <platform/controls/Controls.h>

using namespace app_test;
using namespace app;

namespace {

TEST_F(AppTest, StartUpShowsTheStoredStateAndSendsNothing) {
    start();
    EXPECT_EQ(status_text(), gbk("Port：Close          Statu：Stop"));
    const char* values[] = {"80", "100", "80", "120"};
    for (std::size_t i = 0; i < Servos.size(); ++i) {
        EXPECT_EQ(read_text(Servos[i].value_label.unit, 0, property::LabelCaption), values[i]);
        EXPECT_EQ(read_integer(Servos[i].slider.unit, 0, property::SliderPosition),
                  std::stoi(values[i]));
    }
    const char* ranges[] = {"40", "120", "40", "170", "40", "150", "120", "170"};
    for (std::size_t i = 0; i < Servos.size(); ++i) {
        EXPECT_EQ(read_text(Servos[i].minimum_box.unit, 0, property::EditContent), ranges[2 * i]);
        EXPECT_EQ(read_text(Servos[i].maximum_box.unit, 0, property::EditContent),
                  ranges[2 * i + 1]);
        EXPECT_EQ(read_integer(Servos[i].slider.unit, 0, property::SliderMinimum),
                  std::stoi(ranges[2 * i]));
        EXPECT_EQ(read_integer(Servos[i].slider.unit, 0, property::SliderMaximum),
                  std::stoi(ranges[2 * i + 1]));
    }
    EXPECT_EQ(read_text(PortButton.unit, 0, property::ButtonCaption), "Open");
    EXPECT_EQ(read_integer(Port.unit, 0, property::BaudRate), 9600);
    EXPECT_EQ(read_integer(Port.unit, 0, property::PortNumber), 1);
    const char* headings[] = {"", "Gripper", "Shoulder", "Elbow", "Base"};
    for (int column = 1; column <= 4; ++column)
        EXPECT_EQ(cell(0, column), headings[column]);
    for (int row = 1; row <= 100; ++row) {
        EXPECT_EQ(cell(row, 0), "Action " + std::to_string(row));
        for (int column = 1; column <= 4; ++column)
            EXPECT_EQ(cell(row, column), "") << row << "," << column;
    }
}

TEST_F(AppTest, HelpShowsTheSevenLinesInAPlainBox) {
    start();
    click(0x160101e0);
    ASSERT_EQ(m_backend.message_boxes().size(), 1u);
    const auto& box = m_backend.message_boxes().back();
    EXPECT_EQ(box.caption, gbk("信息："));
    EXPECT_EQ(box.text, gbk("1、选择与机械手对应的端口号，点击 打开串口。\r\n"
                            "2、滑动四个滑动条，调整每个舵机的位置。\r\n"
                            "3、点击记录按钮记录当前的位置，在右侧列表中出现。\r\n"
                            "4、记录多个位置后，点击运行可以重复之前所保存的动作位置。\r\n"
                            "5、点击保存动作按钮，将当前的动作组保存到文本中。\r\n"
                            "6、点击导入动作按钮，可以载入之前保存的动作组文件。\r\n"
                            "7、运行速度为1-20可调，数字越小运行越慢。"));
    EXPECT_EQ(box.default_id, platform::IDOK);
}

} // namespace
