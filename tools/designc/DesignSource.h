#pragma once

// A program's design as written in its design source: windows, each with
// its units (the window's own unit first), and the program's constants.
//
// The source is UTF-8 text read line by line; `#` starts a comment outside
// quotes and a line ending in `\` continues on the next (so the last line
// does not end in one). Texts (quoted, with \" \\ \n \r \t and \xHH
// escapes) and unit names are turned into GBK here.
//
//   namespace app                       handlers and constants are declared in it; once
//   window 0x52010001 as MainWindow     a window; its units follow
//   unit 0x06010000 窗口1 window         id, name, type (a type name or library:type)
//   unit 0x16010067 按钮1 Button as PortButton
//                                       `as ALIAS` (optional, after a window or a
//                                       unit): a C++ name for the generated header,
//                                       which declares by it the window's id, or the
//                                       unit's UnitRef (window id, unit id, type
//                                       code); then, once per type of an aliased
//                                       unit, a struct of that type's name with its
//                                       TypeCode and the index of each named
//                                       property (Button::Caption). An alias is not
//                                       another alias, a handler, a constant or
//                                       such a type name of the design.
//     rect 50 50 985 665                left, top, width, height
//     parent 分组框2                     the container unit, by name or id
//     redirect 按钮1                     the unit whose handlers this one uses
//     flags visible tabstop disabled    default: visible
//     tag "text"
//     access "Gripper"                  the name an assistive client reads for the unit
//                                       (not a property of its type: no index moves)
//     label-for 编辑框10                 this unit is the label that names that unit
//     on 0 start_up                     event number, handler name
//     on 1 feedback(x, y)               a handler that takes the event's word arguments
//     on 5 none                         a binding stored without a handler
//     Title = "Robotic arm"             a setting of the unit's type, by name
//   const text help = "line 1\r\n" "line 2"
//   const float ten = 10.0
//   const array empty = int {}           int or float elements

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace designc {

struct DesignError {
    int line = 0;
    std::string message;
};

struct DesignBinding {
    int line = 0;
    std::int32_t event = 0;
    std::string handler; // empty: stored without a handler
    std::vector<std::string> parameters;
};

struct DesignSetting {
    int line = 0;
    std::string name;
    std::string value; // GBK when it was quoted, else as written
};

// A reference to another unit of the same window, by name (GBK) or id.
struct UnitReference {
    int line = 0;
    std::string name;
    std::optional<std::uint32_t> id;
};

struct DesignUnit {
    int line = 0;
    std::uint32_t id = 0;
    std::string name;  // GBK
    std::string alias; // empty: none
    std::string type_name;
    std::optional<std::array<std::int32_t, 4>> rect;
    std::optional<UnitReference> parent;
    std::optional<UnitReference> redirect;
    std::uint32_t flags = 1; // visible
    std::string tag;         // GBK
    std::string access_name; // GBK; empty: none
    std::optional<UnitReference> label_for;
    std::vector<DesignBinding> bindings;
    std::vector<DesignSetting> settings;
};

struct DesignWindow {
    int line = 0;
    std::uint32_t id = 0;
    std::string alias; // empty: none
    std::vector<DesignUnit> units;
};

struct DesignConstant {
    enum class Kind { Text, Float, IntArray, FloatArray };
    int line = 0;
    Kind kind = Kind::Text;
    std::string name;
    std::string text; // GBK
    double number = 0;
    std::vector<std::int32_t> ints;
    std::vector<double> floats;
};

struct Design {
    std::string name_space;
    std::vector<DesignWindow> windows;
    std::vector<DesignConstant> constants;
};

struct ParsedDesign {
    Design design;
    std::vector<DesignError> errors;
};

// Reads a whole design source. Every line that cannot be read gives an
// error; the rest is still read, so that one run reports every bad line.
ParsedDesign parse_design(std::string_view source);

// A C++ identifier that is not a keyword the generated code would trip on.
bool is_identifier(std::string_view text);

} // namespace designc
