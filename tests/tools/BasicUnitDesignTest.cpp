// The basic unit types written by name in a design source: the compiler
// stores their settings with each type's own writer, and each type reads
// them back.

#include <DesignCompiler.h>
#include <DesignTypes.h>

#include <runtime/image/TemplateLoader.h>
#include <units/ButtonUnit.h>
#include <units/ComboBoxUnit.h>
#include <units/CommonDlgUnit.h>
#include <units/EditBoxUnit.h>
#include <units/LabelUnit.h>

#include <tests/support/TestSupport.h>

#include <gtest/gtest.h>

namespace {

using test_support::gbk;

constexpr const char* Source = R"(namespace basic
window 0x52010001
unit 0x06010000 窗口1 window
  rect 50 50 985 665
unit 0x160101e0 按钮8 Button
  rect 280 40 80 32
  Caption = "帮助"
unit 0x16010066 标签5 Label
  rect 14 43 42 24
  on 0 feedback(x, y)
  Caption = "Serial"
unit 0x16010073 编辑框9 EditBox
  rect 88 536 80 20
  Content = "10"
unit 0x16010068 组合框1 ComboBox
  rect 56 46 96 20
  Kind = 2
  Items = "COM1\nCOM2\nCOM3"
unit 0x1601019a 通用对话框1 CommonDlg
  rect 408 240 26 26
  DialogKind = 1
  Filter = "Text|*.txt"
)";

template <typename Settings> Settings settings_of(const runtime::UnitRecord& record) {
    Settings settings;
    EXPECT_TRUE(units::read_stored_settings(record.type_data, settings)) << record.name;
    return settings;
}

TEST(BasicUnitDesign, SettingsWrittenByNameReadBackInEachType) {
    auto result = designc::compile_design_source(Source, designc::DesignTypes::standard());
    ASSERT_TRUE(result.errors.empty()) << result.errors[0].message;
    const char code[64] = {};
    auto loaded = runtime::load_window_templates(result.design.template_data, code);
    ASSERT_FALSE(loaded.is_error());
    const auto& records = loaded.value().at(0).units;
    ASSERT_EQ(records.size(), 6u);

    EXPECT_EQ(records[1].type, units::ButtonUnit::TypeCode);
    EXPECT_EQ(settings_of<units::ButtonUnit::Settings>(records[1]).text(units::ButtonUnit::Caption),
              gbk("帮助"));
    EXPECT_EQ(settings_of<units::LabelUnit::Settings>(records[2]).text(units::LabelUnit::Caption),
              "Serial");
    EXPECT_EQ(
        settings_of<units::EditBoxUnit::Settings>(records[3]).text(units::EditBoxUnit::Content),
        "10");
    auto combo = settings_of<units::ComboBoxUnit::Settings>(records[4]);
    EXPECT_EQ(combo.word(units::ComboBoxUnit::Kind), 2);
    std::vector<std::string> items;
    ASSERT_TRUE(
        units::ComboBoxUnit::decode_items(combo.block(units::ComboBoxUnit::ItemTexts), items));
    EXPECT_EQ(items, (std::vector<std::string>{"COM1", "COM2", "COM3"}));
    auto dialog = settings_of<units::CommonDlgUnit::Settings>(records[5]);
    EXPECT_EQ(records[5].type, units::CommonDlgUnit::TypeCode);
    EXPECT_EQ(dialog.word(units::CommonDlgUnit::DialogKind), 1);
    EXPECT_EQ(dialog.text(units::CommonDlgUnit::Filter), "Text|*.txt");
}

TEST(BasicUnitDesign, AnUnknownSettingNamesTheType) {
    auto result = designc::compile_design_source(
        "namespace basic\nwindow 0x52010001\nunit 0x06010000 w window\n  rect 0 0 9 9\n"
        "unit 0x16010001 b Button\n  rect 0 0 9 9\n  Colour = 3\n",
        designc::DesignTypes::standard());
    ASSERT_EQ(result.errors.size(), 1u) << result.errors[0].message;
    EXPECT_NE(result.errors[0].message.find("Button"), std::string::npos)
        << result.errors[0].message;
}

} // namespace
