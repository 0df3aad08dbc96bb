#pragma once

// The units of the arm controller's window as the handlers name them, with
// the property indexes and commands they use.

#include "Runtime.h"

#include <array>
#include <cstdint>

namespace app {

inline constexpr std::uint32_t MainWindow = 0x52010001;

namespace type {
inline constexpr std::uint32_t EditBox = 0x10005;
inline constexpr std::uint32_t Label = 0x1000A;
inline constexpr std::uint32_t Button = 0x1000B;
inline constexpr std::uint32_t ComboBox = 0x1000E;
inline constexpr std::uint32_t CommonDlg = 0x1001F;
inline constexpr std::uint32_t SerialPort = 0x10027;
inline constexpr std::uint32_t SuperBar = 0x20001;
inline constexpr std::uint32_t StatusBar = 0x40002;
inline constexpr std::uint32_t Grid = 0x60001;
} // namespace type

constexpr UnitRef unit(std::uint32_t id, std::uint32_t unit_type) {
    return {MainWindow, id, unit_type};
}

inline constexpr UnitRef PortButton = unit(0x16010067, type::Button);     // 按钮1
inline constexpr UnitRef PortSelector = unit(0x16010068, type::ComboBox); // 组合框1
inline constexpr UnitRef SpeedBox = unit(0x16010073, type::EditBox);      // 编辑框9
inline constexpr UnitRef CyclesBox = unit(0x16010074, type::EditBox);     // 编辑框10
inline constexpr UnitRef ActionTable = unit(0x1601006f, type::Grid);      // 高级表格1
inline constexpr UnitRef StatusLine = unit(0x1601001e, type::StatusBar);  // 状态条1
inline constexpr UnitRef Port = unit(0x16010002, type::SerialPort);       // 端口1
inline constexpr UnitRef SaveDialog = unit(0x1601019a, type::CommonDlg);  // 通用对话框1

// One servo: its slider, value label, range boxes and command letter.
struct Servo {
    UnitRef slider;
    UnitRef value_label;
    UnitRef minimum_box;
    UnitRef maximum_box;
    const char* letter;
};

enum ServoNumber : std::size_t { Gripper = 0, Shoulder = 1, Elbow = 2, Base = 3 };

inline constexpr std::array<Servo, 4> Servos = {{
    {unit(0x16010012, type::SuperBar), unit(0x1601001a, type::Label),
     unit(0x16010053, type::EditBox), unit(0x16010054, type::EditBox), "a"},
    {unit(0x16010014, type::SuperBar), unit(0x1601001f, type::Label),
     unit(0x16010055, type::EditBox), unit(0x16010056, type::EditBox), "b"},
    {unit(0x16010015, type::SuperBar), unit(0x16010020, type::Label),
     unit(0x16010057, type::EditBox), unit(0x16010058, type::EditBox), "c"},
    {unit(0x16010016, type::SuperBar), unit(0x16010021, type::Label),
     unit(0x16010059, type::EditBox), unit(0x1601005a, type::EditBox), "d"},
}};

// Property indexes.
namespace property {
inline constexpr std::int32_t SliderMinimum = 15;
inline constexpr std::int32_t SliderMaximum = 16;
inline constexpr std::int32_t SliderPosition = 17;
inline constexpr std::int32_t EditContent = 8;
inline constexpr std::int32_t LabelCaption = 8;
inline constexpr std::int32_t ButtonCaption = 10;
inline constexpr std::int32_t ComboCurrentItem = 19;
inline constexpr std::int32_t PortNumber = 8;
inline constexpr std::int32_t BaudRate = 9;
// Read-only additions after the port's own settings.
inline constexpr std::int32_t PortDevice = 20;
inline constexpr std::int32_t PortOpenError = 21;
inline constexpr std::int32_t DialogKind = 8;
inline constexpr std::int32_t DialogFileName = 10;
inline constexpr std::int32_t DialogInitialFolder = 13;
} // namespace property

// Commands and unit methods, by library and entry.
namespace command {
inline constexpr Command ToNumber{1, 0};
inline constexpr Command ToText{1, 1};
inline constexpr Command ShowMessage{1, 2};
inline constexpr Command ToByteSet{1, 3};
inline constexpr Command WriteFileBytes{1, 4};
inline constexpr Command ReadFileBytes{1, 5};
inline constexpr Command SplitText{1, 6};
inline constexpr Command OpenPort{1, 7};
inline constexpr Command ClosePort{1, 8};
inline constexpr Command SendData{1, 9};
inline constexpr Command ShowDialog{1, 10};
inline constexpr Command SetInterfaceStyle{3, 0};
inline constexpr Command AddPanel{4, 0};
inline constexpr Command SetPanelText{4, 1};
inline constexpr Command SetPanelTip{4, 2};
inline constexpr Command Delay{5, 0};
inline constexpr Command SetCurrentCell{6, 0};
inline constexpr Command SetCellData{6, 1};
inline constexpr Command GetCellData{6, 2};
inline constexpr Command Reset{6, 3};
inline constexpr Command GetSpecialFolder{7, 0};
inline constexpr Command BrowseForFolder{7, 1};
} // namespace command

} // namespace app
