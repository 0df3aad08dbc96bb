// English aliases of windows and units: what the source reads, the names the
// compiler takes from the unit types' own property tables, the header that
// declares them, the clashes it refuses, and a stream that aliases leave as
// it was.

#include "DesignTestTypes.h"

#include <DesignCompiler.h>
#include <GeneratedProgram.h>

#include <units/ButtonUnit.h>
#include <units/framework/PropertyTable.h>
#include <units/serialport/SerialPortUnit.h>
#include <units/superbar/SuperBarUnit.h>

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>

namespace {

std::string compile_errors(std::string_view source) {
    std::string out;
    for (auto& error : test_support::compile_test_design(source).errors)
        out += std::to_string(error.line) + ": " + error.message + "\n";
    return out;
}

// The window's own unit, a button, a bar and a port with aliases.
const std::string Aliased = "namespace app\n"
                            "window 0x52010001 as MainWindow\n"
                            "unit 0x06010000 窗口1 window\n"
                            "  rect 0 0 300 200\n"
                            "unit 0x16010067 按钮1 Button as PortButton\n"
                            "  rect 0 0 80 32\n"
                            "  on 0 open_port\n"
                            "  Caption = \"Open\"\n"
                            "unit 0x16010068 按钮2 Button as RunButton\n"
                            "  rect 0 40 80 32\n"
                            "unit 0x16010012 多功能条1 SuperBar as Slider\n"
                            "  rect 0 80 200 20\n"
                            "unit 0x16010002 端口1 SerialPort as Port\n"
                            "  rect 0 0 1 1\n"
                            "unit 0x16010003 x 1:12 as Unknown\n"
                            "  rect 0 0 1 1\n";

// The same design without its aliases.
std::string without_aliases(const std::string& source) {
    return std::regex_replace(source, std::regex(" as [A-Za-z_0-9]+\n"), "\n");
}

std::int32_t index_of(const designc::CompiledUnitType& type, std::string_view name) {
    for (auto& property : type.properties) {
        if (property.name == name)
            return property.index;
    }
    return -1;
}

TEST(DesignAlias, NamesTheWindowUnitsAndTheirTypesPropertiesFromTheUnitTables) {
    auto result = test_support::compile_test_design(Aliased);
    ASSERT_TRUE(result.errors.empty()) << result.errors[0].message;
    auto& aliases = result.design.aliases;
    ASSERT_EQ(aliases.size(), 6u);
    EXPECT_TRUE(aliases[0].is_window);
    EXPECT_EQ(aliases[0].name, "MainWindow");
    EXPECT_EQ(aliases[1].name, "PortButton");
    EXPECT_EQ(aliases[1].window_id, 0x52010001u);
    EXPECT_EQ(aliases[1].unit_id, 0x16010067u);
    EXPECT_EQ(aliases[1].type_code, units::ButtonUnit::TypeCode);
    EXPECT_EQ(aliases[5].type_name, "") << "a type known by number only has no name";
    EXPECT_EQ(aliases[5].type_code, 0x1000Cu);

    // Each type once, in order of first use, the indexes its own table gives.
    auto& types = result.design.alias_types;
    ASSERT_EQ(types.size(), 3u);
    EXPECT_EQ(types[0].name, "Button");
    EXPECT_EQ(types[1].name, "SuperBar");
    EXPECT_EQ(types[2].name, "SerialPort");
    constexpr auto common = static_cast<std::int32_t>(units::CommonPropertyCount);
    EXPECT_EQ(index_of(types[0], "Caption"), common + units::ButtonUnit::Caption);
    EXPECT_EQ(index_of(types[1], "Position"), common + units::SuperBarUnit::Position);
    EXPECT_EQ(index_of(types[1], "CentreThumb"), common + units::SuperBarUnit::CentreThumb)
        << "past the bar's empty slots";
    EXPECT_EQ(index_of(types[2], "OpenError"), common + units::SerialPortUnit::OpenError)
        << "a property a design cannot set is named too";
}

TEST(DesignAlias, ThePropertiesOnlyTheProgramSetsStayOutOfTheDesign) {
    EXPECT_EQ(compile_errors("window 1\nunit 0x06010000 w window\n  rect 0 0 1 1\n"
                             "unit 0x16010002 p SerialPort\n  rect 0 0 1 1\n  OpenError = x\n"),
              "6: unknown setting 'OpenError' for type SerialPort, or a value it does not take: "
              "'x'\n");
}

TEST(DesignAlias, TheHeaderDeclaresWindowTypesAndUnits) {
    auto result = test_support::compile_test_design(Aliased);
    ASSERT_TRUE(result.errors.empty());
    std::string header = designc::generated_header(result.design, "a.design");
    for (const char* line : {
             "#include <runtime/values/UnitRef.h>\n",
             "inline constexpr std::uint32_t MainWindow = 0x52010001;\n",
             "struct Button {\n    static constexpr std::uint32_t TypeCode = 0x0001000B;\n",
             "    static constexpr std::int32_t Caption = 10;\n",
             "    static constexpr std::int32_t Position = 17;\n",
             "inline constexpr runtime::UnitRef PortButton{0x52010001, 0x16010067, "
             "Button::TypeCode};\n",
             "inline constexpr runtime::UnitRef Unknown{0x52010001, 0x16010003, 0x0001000C};\n",
         })
        EXPECT_NE(header.find(line), std::string::npos) << line << "\nin:\n" << header;
    EXPECT_EQ(header.find("struct SuperBar"), header.rfind("struct SuperBar")) << "once";

    auto plain = test_support::compile_test_design(without_aliases(Aliased));
    ASSERT_TRUE(plain.errors.empty());
    EXPECT_EQ(designc::generated_header(plain.design, "a.design").find("struct"), std::string::npos)
        << "a design without aliases declares no types";
}

TEST(DesignAlias, AliasesLeaveTheStreamAsItWas) {
    auto aliased = test_support::compile_test_design(Aliased);
    auto plain = test_support::compile_test_design(without_aliases(Aliased));
    ASSERT_TRUE(aliased.errors.empty() && plain.errors.empty());
    EXPECT_EQ(aliased.design.template_data, plain.design.template_data);
}

TEST(DesignAlias, TheArmControllersStreamIsTheSameWithAndWithoutItsAliases) {
    std::ifstream file(ARMCTL_ARM_DESIGN, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    std::string source =
        std::regex_replace(text.str(), std::regex("@ARM_PICTURE@"), ARMCTL_ARM_PICTURE);
    auto aliased = test_support::compile_test_design(source);
    ASSERT_TRUE(aliased.errors.empty()) << aliased.errors[0].message;
    auto plain = test_support::compile_test_design(without_aliases(source));
    ASSERT_TRUE(plain.errors.empty());
    EXPECT_GT(aliased.design.aliases.size(), 30u);
    EXPECT_TRUE(plain.design.aliases.empty());
    EXPECT_EQ(aliased.design.template_data, plain.design.template_data);
    EXPECT_EQ(aliased.design.constant_area, plain.design.constant_area);
}

TEST(DesignAlias, BadAndClashingAliasesAreReportedWithTheirLine) {
    const std::string window = "window 1\nunit 0x06010000 w window\n  rect 0 0 1 1\n";
    const std::string button = "unit 0x16010001 b1 Button as Go\n  rect 0 0 1 1\n";
    EXPECT_EQ(compile_errors(window + "unit 0x16010001 b1 Button as 9go\n  rect 0 0 1 1\n"),
              "4: '9go' is not an alias (a C++ identifier)\n");
    EXPECT_EQ(compile_errors(window + "unit 0x16010001 b1 Button as class\n  rect 0 0 1 1\n"),
              "4: 'class' is not an alias (a C++ identifier)\n");
    EXPECT_EQ(compile_errors(window + "unit 0x16010001 b1 Button as\n"),
              "4: a unit reads: unit ID NAME TYPE, then as ALIAS if it has one\n");
    EXPECT_EQ(compile_errors(window + "unit 0x16010001 b1 Button as A B\n"),
              "4: a unit reads: unit ID NAME TYPE, then as ALIAS if it has one\n");
    EXPECT_EQ(compile_errors("window 1 as\n"),
              "1: the design has no window\n"
              "1: a window reads: window ID (a nonzero number), then as ALIAS if it has one\n");
    EXPECT_EQ(compile_errors(window + button + "unit 0x16010002 b2 Button as Go\n  rect 0 0 1 1\n"),
              "6: alias 'Go' is already the alias of unit 'b1' (line 4)\n");
    EXPECT_EQ(compile_errors(window + button +
                             "window 2 as Go\n"
                             "unit 0x06010000 w window\n  rect 0 0 1 1\n"),
              "6: alias 'Go' is already the alias of unit 'b1' (line 4)\n")
        << "all aliases share the design's namespace";
    EXPECT_EQ(compile_errors(window + "  on 0 go\n" +
                             "unit 0x16010001 b1 Button as go\n  rect 0 0 1 1\n"),
              "5: alias 'go' is already a handler\n");
    EXPECT_EQ(compile_errors(window + button + "const text Go = \"x\"\n"),
              "4: alias 'Go' is already a constant (line 6)\n");
    EXPECT_EQ(compile_errors(window + "unit 0x16010001 b1 Button as Button\n  rect 0 0 1 1\n"),
              "4: unit type Button, which the header names, is already the alias of unit 'b1' "
              "(line 4)\n");
    EXPECT_EQ(compile_errors(window + "unit 0x16010001 b1 Button\n  rect 0 0 1 1\n"
                                      "unit 0x16010002 b2 Button as Go\n  rect 0 0 1 1\n"),
              "")
        << "units without an alias need no name";
}

} // namespace
