// Compiling designs in the process: the stream the compiler writes is read
// back by the runtime's loader into the records the design describes, with
// the stored settings that the unit types read; the handler table and the
// constant area are laid out as the program header promises.

#include "DesignTestTypes.h"

#include <DesignCompiler.h>

#include <runtime/image/TemplateLoader.h>
#include <units/WindowUnit.h>
#include <units/framework/UnitType.h>

#include <tests/support/TestSupport.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

using runtime::NoHandler;
using runtime::UnitRecord;
using test_support::gbk;
using test_support::ProbeUnit;

std::string read_file(const char* path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string first_error(const designc::CompileResult& result) {
    return result.errors.empty() ? "" : result.errors[0].message;
}

class CompiledProbeDesign : public ::testing::Test {
  protected:
    void SetUp() override {
        m_result = test_support::compile_test_design(read_file(ARMCTL_PROBE_DESIGN));
        ASSERT_TRUE(m_result.errors.empty()) << first_error(m_result);
        auto loaded = runtime::load_window_templates(m_result.design.template_data, m_code);
        ASSERT_FALSE(loaded.is_error());
        m_windows = std::move(loaded.value());
        ASSERT_EQ(m_windows.size(), 1u);
    }

    const UnitRecord& unit(std::size_t i) { return m_windows[0].units.at(i); }

    const char m_code[64] = {};
    designc::CompileResult m_result;
    std::vector<runtime::WindowTemplate> m_windows;
};

TEST_F(CompiledProbeDesign, StreamReadsBackIntoTheDesignedRecords) {
    auto& window = m_windows[0];
    EXPECT_EQ(window.window_id, 0x52010001u);
    EXPECT_EQ(window.w1, 0x01390A84u);
    EXPECT_EQ(window.w2, 0x19010005u);
    ASSERT_EQ(window.units.size(), 4u);

    std::vector<std::uint32_t> ids;
    for (auto& record : window.units)
        ids.push_back(record.id);
    EXPECT_EQ(ids, (std::vector<std::uint32_t>{0x06010000, 0x16010001, 0x16010002, 0x16010003}));

    EXPECT_EQ(unit(0).type, units::WindowUnit::TypeCode);
    EXPECT_EQ(unit(0).name, gbk("窗口1"));
    EXPECT_EQ(unit(0).left, 40);
    EXPECT_EQ(unit(0).height, 320);
    EXPECT_EQ(unit(0).flags, UnitRecord::FlagVisible);

    EXPECT_EQ(unit(2).type, test_support::ProbeTypeCode);
    EXPECT_EQ(unit(2).name, gbk("探针2"));
    EXPECT_EQ((std::array{unit(2).left, unit(2).top, unit(2).width, unit(2).height}),
              (std::array{5, 20, 100, 30}));
    EXPECT_EQ(unit(2).tag, gbk("标记"));
    EXPECT_EQ(unit(2).pointer_block, (std::vector<std::uint8_t>{0, 0, 0, 0}))
        << "the default mouse pointer";
    EXPECT_EQ(unit(1).flags, UnitRecord::FlagVisible | UnitRecord::FlagTabStop);
    EXPECT_EQ(unit(3).flags, UnitRecord::FlagVisible | UnitRecord::FlagDisabled);
}

TEST_F(CompiledProbeDesign, ContainersListTheUnitsPlacedInThem) {
    EXPECT_EQ(unit(2).parent_id, 0x16010001u);
    EXPECT_EQ(unit(1).child_ids, (std::vector<std::uint32_t>{0x16010002}));
    EXPECT_EQ(unit(1).parent_id, 0u) << "placed in the window";
    EXPECT_TRUE(unit(0).child_ids.empty());
    EXPECT_EQ(unit(3).redirect_id, 0x16010002u);
    EXPECT_EQ(unit(2).redirect_id, 0u);
}

TEST_F(CompiledProbeDesign, BindingsNameHandlerTableEntries) {
    ASSERT_EQ(m_result.design.handlers.size(), 2u);
    EXPECT_EQ(m_result.design.handlers[0].name, "started");
    EXPECT_EQ(m_result.design.handlers[1].name, "clicked");
    EXPECT_EQ(m_result.design.handlers[1].parameters,
              (std::vector<std::string>{"first", "second"}));

    // Entries 0 and 1 are the place-holder routines; the handlers follow.
    ASSERT_EQ(unit(0).bindings.size(), 2u);
    EXPECT_EQ(unit(0).bindings[0].event, 0);
    EXPECT_EQ(unit(0).bindings[0].stored_handler, 2 * sizeof(void (*)()));
    EXPECT_EQ(unit(0).bindings[0].handler, m_code + 2 * sizeof(void (*)()))
        << "relocated against the code base";
    EXPECT_EQ(unit(0).bindings[1].stored_handler, NoHandler);
    EXPECT_EQ(unit(0).bindings[1].handler, nullptr);

    ASSERT_EQ(unit(2).bindings.size(), 2u);
    EXPECT_EQ(unit(2).bindings[0].event, 1);
    EXPECT_EQ(unit(2).bindings[0].stored_handler, 3 * sizeof(void (*)()));
    EXPECT_EQ(unit(2).bindings[1].event, -7);
    EXPECT_EQ(unit(2).bindings[1].stored_handler, NoHandler);
    EXPECT_TRUE(unit(3).bindings.empty());
}

TEST_F(CompiledProbeDesign, StoredSettingsAreWhatTheUnitTypesReadBack) {
    units::WindowUnit::Settings window;
    ASSERT_TRUE(units::read_stored_settings(unit(0).type_data, window));
    EXPECT_EQ(window.text(units::WindowUnit::Title), gbk("设计探针 Design probe"));
    EXPECT_EQ(window.word(units::WindowUnit::Border), 1);
    EXPECT_EQ(window.word(units::WindowUnit::MinimizeButton), 0);
    EXPECT_EQ(window.word(units::WindowUnit::ControlBox), 1) << "unnamed settings keep defaults";

    ProbeUnit::Settings probe;
    ASSERT_TRUE(units::read_stored_settings(unit(2).type_data, probe));
    EXPECT_EQ(probe.word(ProbeUnit::Value), -3);
    EXPECT_EQ(probe.word(ProbeUnit::Flag), 1);
    EXPECT_EQ(probe.block(ProbeUnit::Data), (std::vector<std::uint8_t>{0x01, 0x02, 0xFF}));

    // What the compiler stores is byte for byte what the unit writes when
    // asked for its stored data.
    EXPECT_EQ(unit(2).type_data, units::write_stored_settings(probe));
    EXPECT_TRUE(unit(3).type_data.empty()) << "no settings: an empty tail, every default";
}

TEST(DesignCompiler, ConstantAreaLaysEachConstantOnAnEightByteBoundary) {
    auto result =
        test_support::compile_test_design("window 1\nunit 0x06010000 w window\n  rect 0 0 1 1\n"
                                          "const text t = \"甲\"\n"
                                          "const float ten = 10.0\n"
                                          "const array empty = int {}\n"
                                          "const array two = int {-1, 2}\n"
                                          "const array half = float {0.5}\n");
    ASSERT_TRUE(result.errors.empty()) << first_error(result);
    const std::vector<std::uint8_t> expected = {
        0xBC, 0xD7, 0, 0, 0, 0, 0,    0,                                           // 甲\0, padding
        0,    0,    0, 0, 0, 0, 0x24, 0x40,                                        // 10.0
        1,    0,    0, 0, 0, 0, 0,    0,                                           // {1, 0}
        1,    0,    0, 0, 2, 0, 0,    0,    0xFF, 0xFF, 0xFF, 0xFF, 2, 0, 0,    0, // {1, 2, -1, 2}
        1,    0,    0, 0, 1, 0, 0,    0,    0,    0,    0,    0,    0, 0, 0xE0, 0x3F, // {1, 1, 0.5}
    };
    EXPECT_EQ(result.design.constant_area, expected);
    std::vector<std::size_t> offsets;
    for (auto& constant : result.design.constants)
        offsets.push_back(constant.offset);
    EXPECT_EQ(offsets, (std::vector<std::size_t>{0, 8, 16, 24, 40}));
}

TEST(DesignCompiler, HandlersShareOneEntryInOrderOfFirstUse) {
    auto result = test_support::compile_test_design(
        "window 1\nunit 0x06010000 w window\n  rect 0 0 1 1\n  on 0 b\n"
        "unit 0x16000001 p1 Probe\n  rect 0 0 1 1\n  on 1 a\n  on 2 b\n"
        "window 2\nunit 0x06010000 w window\n  rect 0 0 1 1\n  on 0 a\n");
    ASSERT_TRUE(result.errors.empty()) << first_error(result);
    ASSERT_EQ(result.design.handlers.size(), 2u);
    EXPECT_EQ(result.design.handlers[0].name, "b");
    EXPECT_EQ(result.design.start_window_id, 1u) << "the first window starts the program";
    auto& windows = result.design.windows;
    EXPECT_EQ(windows[0].units[0].bindings[0].stored_handler, 16u);
    EXPECT_EQ(windows[0].units[1].bindings[0].stored_handler, 24u);
    EXPECT_EQ(windows[0].units[1].bindings[1].stored_handler, 16u);
    EXPECT_EQ(windows[1].units[0].bindings[0].stored_handler, 24u);
}

TEST(DesignCompiler, ParentNamingTheWindowItselfPlacesTheUnitInTheWindow) {
    auto result =
        test_support::compile_test_design("window 1\nunit 0x06010000 w window\n  rect 0 0 1 1\n"
                                          "unit 0x16000001 p Probe\n  rect 0 0 1 1\n  parent w\n");
    ASSERT_TRUE(result.errors.empty()) << first_error(result);
    EXPECT_EQ(result.design.windows[0].units[1].parent_id, 0u);
    EXPECT_TRUE(result.design.windows[0].units[0].child_ids.empty());
}

TEST(DesignCompiler, LibraryAndTypeNumbersNameTypesTheCompilerHasNoWriterFor) {
    auto result = test_support::compile_test_design(
        "window 1\nunit 0x06010000 w 1:1\n  rect 0 0 1 1\n  Title = \"x\"\n"
        "unit 0x16000001 b 1:12\n  rect 0 0 1 1\n");
    ASSERT_TRUE(result.errors.empty()) << first_error(result);
    EXPECT_EQ(result.design.windows[0].units[0].type, 0x10001u) << "1:1 is the window";
    EXPECT_FALSE(result.design.windows[0].units[0].type_data.empty());
    EXPECT_EQ(result.design.windows[0].units[1].type, 0x1000Cu);

    auto with_settings = test_support::compile_test_design(
        "window 1\nunit 0x06010000 w window\n  rect 0 0 1 1\n"
        "unit 0x16000001 b 1:12\n  rect 0 0 1 1\n  Caption = x\n");
    EXPECT_EQ(first_error(with_settings), "unit type '1:12' has no settings this compiler knows");
    EXPECT_EQ(first_error(test_support::compile_test_design(
                  "window 1\nunit 0x06010000 w 8:1\n  rect 0 0 1 1\n")),
              "unknown unit type '8:1' (a type name, or library:type such as 1:5)");
}

TEST(DesignCompiler, AccessNamesAndLabelsGoBesideTheRecordsWhichStayAsTheyWere) {
    const char* plain = "window 1\nunit 0x06010000 w window\n  rect 0 0 1 1\n"
                        "unit 0x16000001 l Probe\n  rect 0 0 1 1\n"
                        "unit 0x16000002 b Probe\n  rect 0 0 1 1\n";
    std::string named = std::string(plain) + "  access \"夹子\"\n";
    named.insert(named.find("unit 0x16000002"), "  label-for b\n");
    auto without = test_support::compile_test_design(plain);
    auto with = test_support::compile_test_design(named);
    ASSERT_TRUE(with.errors.empty()) << first_error(with);
    EXPECT_EQ(with.design.template_data, without.design.template_data)
        << "no unit record and no property index moves";
    ASSERT_EQ(with.design.access_names.size(), 2u);
    const auto& label = with.design.access_names[0];
    EXPECT_EQ(label.unit_id, 0x16000001u);
    EXPECT_EQ(label.label_for, 0x16000002u);
    EXPECT_TRUE(label.name.empty());
    const auto& button = with.design.access_names[1];
    EXPECT_EQ(button.window_id, 1u);
    EXPECT_EQ(button.name, gbk("夹子"));
    EXPECT_EQ(button.label_for, 0u);

    std::string stray = std::string(plain) + "  label-for nobody\n";
    EXPECT_EQ(first_error(test_support::compile_test_design(stray)),
              "label-for unit 'nobody' is not a unit of this window");
    EXPECT_EQ(first_error(test_support::compile_test_design(std::string(plain) + "  access\n")),
              "access takes one quoted, non-empty name");
    EXPECT_EQ(first_error(test_support::compile_test_design(std::string(plain) +
                                                            "  access \"a\"\n  access \"b\"\n")),
              "a second access name for the unit");
}

} // namespace
