// Reading design sources: the fields of a unit entry, texts and their GBK
// form, comments and continued lines, constants, and the lines that cannot
// be read.

#include <DesignSource.h>

#include <tests/support/TestSupport.h>

#include <gtest/gtest.h>

namespace {

using designc::DesignConstant;
using designc::parse_design;
using test_support::gbk;

std::string parse_errors(std::string_view source) {
    std::string out;
    for (auto& error : parse_design(source).errors)
        out += std::to_string(error.line) + ": " + error.message + "\n";
    return out;
}

TEST(DesignSource, ReadsEveryFieldOfAUnitEntry) {
    auto parsed = parse_design("namespace app::ui\n"
                               "window 0x52010001\n"
                               "unit 0x06010000 窗口1 window\n"
                               "  rect 50, 60, 985, 665\n"
                               "unit 0x16010193 \"按钮 7\" 1:11\n"
                               "  rect -4 5 80 32\n"
                               "  parent 分组框2\n"
                               "  redirect 0x16010191\n"
                               "  flags tabstop disabled\n"
                               "  tag \"标记\"\n"
                               "  on 0 import\n"
                               "  on -8 lost(a, b)\n"
                               "  on 3 none\n"
                               "  Data = 01 02  FF\n"
                               "  Caption = \"载入\" \" load\"\n");
    ASSERT_EQ(parsed.errors.size(), 0u) << parsed.errors[0].message;
    EXPECT_EQ(parsed.design.name_space, "app::ui");
    ASSERT_EQ(parsed.design.windows.size(), 1u);
    auto& window = parsed.design.windows[0];
    EXPECT_EQ(window.id, 0x52010001u);
    ASSERT_EQ(window.units.size(), 2u);
    EXPECT_EQ(window.units[0].flags, 1u) << "a unit is visible unless its flags say otherwise";
    EXPECT_EQ(window.units[0].rect, (std::array<std::int32_t, 4>{50, 60, 985, 665}));

    auto& unit = window.units[1];
    EXPECT_EQ(unit.line, 5);
    EXPECT_EQ(unit.id, 0x16010193u);
    EXPECT_EQ(unit.name, gbk("按钮 7"));
    EXPECT_EQ(unit.type_name, "1:11");
    EXPECT_EQ(unit.rect, (std::array<std::int32_t, 4>{-4, 5, 80, 32}));
    ASSERT_TRUE(unit.parent && unit.redirect);
    EXPECT_EQ(unit.parent->name, gbk("分组框2"));
    EXPECT_FALSE(unit.parent->id);
    EXPECT_EQ(unit.redirect->id, 0x16010191u);
    EXPECT_EQ(unit.flags, 6u);
    EXPECT_EQ(unit.tag, gbk("标记"));

    ASSERT_EQ(unit.bindings.size(), 3u);
    EXPECT_EQ(unit.bindings[0].event, 0);
    EXPECT_EQ(unit.bindings[0].handler, "import");
    EXPECT_EQ(unit.bindings[1].event, -8);
    EXPECT_EQ(unit.bindings[1].parameters, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(unit.bindings[2].handler, "") << "none stores no handler";
    EXPECT_EQ(unit.bindings[2].line, 13);

    ASSERT_EQ(unit.settings.size(), 2u);
    EXPECT_EQ(unit.settings[0].value, "01 02  FF") << "an unquoted value is kept as written";
    EXPECT_EQ(unit.settings[1].value, gbk("载入 load")) << "quoted texts are joined and made GBK";
}

TEST(DesignSource, CommentsAndContinuedLinesKeepLineNumbers) {
    auto parsed = parse_design("# a comment\n"
                               "window 1  # the window\r\n"
                               "unit 0x06010000 w window\n"
                               "  Title = \"a # b\" \\\n"
                               "          \"c\"\n"
                               "  rect 1 2 3 4 5\n");
    ASSERT_EQ(parsed.errors.size(), 1u);
    EXPECT_EQ(parsed.errors[0].line, 6) << "the continued line still counts";
    auto& unit = parsed.design.windows.at(0).units.at(0);
    ASSERT_EQ(unit.settings.size(), 1u);
    EXPECT_EQ(unit.settings[0].line, 4);
    EXPECT_EQ(unit.settings[0].value, "a # bc");
}

TEST(DesignSource, AContinuedLineNeedsALineAfterIt) {
    auto parsed = parse_design("window 1\nunit 0x06010000 w window\n"
                               "  Title = \"a\" \\\n"
                               "          \"b\" \\\n");
    ASSERT_EQ(parsed.errors.size(), 1u);
    EXPECT_EQ(parsed.errors[0].line, 3) << "reported where the continued line starts";
    EXPECT_EQ(parsed.errors[0].message, "the line is continued with \\ but the design ends there");
    EXPECT_EQ(parse_errors("window 1\\"),
              "1: the line is continued with \\ but the design ends there\n")
        << "also without a final line break";
}

TEST(DesignSource, ANamespaceIsGivenOnce) {
    auto parsed = parse_design("namespace app\nwindow 1\nnamespace other\n");
    ASSERT_EQ(parsed.errors.size(), 1u);
    EXPECT_EQ(parsed.errors[0].line, 3);
    EXPECT_EQ(parsed.design.name_space, "app") << "the first one stands";
}

TEST(DesignSource, TextEscapesAndTheirFaults) {
    auto parsed = parse_design("window 1\nunit 0x06010000 w window\n"
                               "  tag \"\\r\\n\\t\\\"\\\\\\xB0\\xA1甲\"\n");
    ASSERT_TRUE(parsed.errors.empty());
    EXPECT_EQ(parsed.design.windows[0].units[0].tag, "\r\n\t\"\\\xB0\xA1" + gbk("甲"))
        << "\\x gives the byte itself, the rest is converted";

    EXPECT_EQ(parse_errors("window 1\nunit 0x06010000 w window\n  tag \"\\q\"\n"),
              "3: unknown escape \\q\n");
    EXPECT_EQ(parse_errors("window 1\nunit 0x06010000 w window\n  tag \"\\x00\"\n"),
              "3: \\x needs two hexadecimal digits that are not 00\n");
    EXPECT_EQ(parse_errors("window 1\nunit 0x06010000 w window\n  tag \"open\n"),
              "3: text without its closing quote\n");
    EXPECT_EQ(parse_errors("window 1\nunit 0x06010000 w window\n  tag \"\xF0\x9F\x98\x80\"\n"),
              "3: text \"\xF0\x9F\x98\x80\" is not UTF-8 that GBK can hold\n");
    EXPECT_EQ(parse_errors("window 1\nunit 0x06010000 \xFF\xFE window\n"),
              "2: '\xFF\xFE' is not a name GBK can hold\n");
}

TEST(DesignSource, ConstantsOfEachKind) {
    auto parsed = parse_design("const text help = \"帮助\"\n"
                               "const float ten = 10.5\n"
                               "const array empty = int {}\n"
                               "const array words = int {1, -2, 0x10}\n"
                               "const array halves = float {0.5 -1.5}\n");
    ASSERT_TRUE(parsed.errors.empty()) << parsed.errors[0].message;
    auto& constants = parsed.design.constants;
    ASSERT_EQ(constants.size(), 5u);
    EXPECT_EQ(constants[0].kind, DesignConstant::Kind::Text);
    EXPECT_EQ(constants[0].text, gbk("帮助"));
    EXPECT_EQ(constants[1].number, 10.5);
    EXPECT_EQ(constants[2].kind, DesignConstant::Kind::IntArray);
    EXPECT_TRUE(constants[2].ints.empty());
    EXPECT_EQ(constants[3].ints, (std::vector<std::int32_t>{1, -2, 16}));
    EXPECT_EQ(constants[4].floats, (std::vector<double>{0.5, -1.5}));

    EXPECT_EQ(parse_errors("const text t = bare\n"), "1: a text constant is quoted\n");
    EXPECT_EQ(parse_errors("const float f = ten\n"), "1: 'ten' is not a number\n");
    EXPECT_EQ(parse_errors("const array a = int {1, 2.5}\n"),
              "1: '2.5' is not an element of an int array\n");
    EXPECT_EQ(parse_errors("const array a = text {\"x\"}\n"),
              "1: an array constant reads: int {1, 2} or float {0.5}\n");
    EXPECT_EQ(parse_errors("const text 9lives = \"x\"\n"), "1: '9lives' is not a constant name\n");
    EXPECT_EQ(parse_errors("const pointer p = 1\n"),
              "1: a constant reads: const text|float|array NAME = VALUE\n");
}

TEST(DesignSource, LinesOutOfPlaceOrMalformed) {
    EXPECT_EQ(parse_errors("unit 0x06010000 w window\n"), "1: unit outside a window\n");
    EXPECT_EQ(parse_errors("window 1\nrect 0 0 1 1\n"), "2: 'rect' outside a unit\n");
    EXPECT_EQ(parse_errors("Title = \"x\"\n"), "1: 'Title' outside a unit\n");
    EXPECT_EQ(parse_errors("window 0\n"),
              "1: a window reads: window ID (a nonzero number), then as ALIAS if it has one\n");
    EXPECT_EQ(parse_errors("window 1\nunit 0x06010000 w\n"),
              "2: a unit reads: unit ID NAME TYPE, then as ALIAS if it has one\n");
    EXPECT_EQ(parse_errors("window 1\nunit 0x06010000 w window\n  rect 0 0 1 1\n  rect 0 0 1 1\n"),
              "4: a second rect for the unit\n");
    EXPECT_EQ(parse_errors("window 1\nunit 0x06010000 w window\n  rect 0 0 1 99999999999\n"),
              "3: bad rectangle: rect LEFT TOP WIDTH HEIGHT takes four whole numbers\n");
    EXPECT_EQ(parse_errors("window 1\nunit 0x06010000 w window\n  on x go\n"),
              "3: a binding reads: on EVENT HANDLER, or on EVENT HANDLER(ARGS)\n");
    EXPECT_EQ(parse_errors("window 1\nunit 0x06010000 w window\n  on 0 class\n"),
              "3: 'class' is not a handler name\n");
    EXPECT_EQ(parse_errors("window 1\nunit 0x06010000 w window\n  on 0 designc_entry\n"),
              "3: 'designc_entry' is not a handler name\n")
        << "the generated code's own names are kept apart";
    EXPECT_EQ(parse_errors("window 1\nunit 0x06010000 w window\n  on 0 go(a b\n"),
              "3: a handler's arguments read: HANDLER(a, b)\n");
    EXPECT_EQ(parse_errors("window 1\nunit 0x06010000 w window\n  flags visible hidden\n"),
              "3: unknown flag 'hidden' (visible, disabled, tabstop)\n");
    EXPECT_EQ(parse_errors("grid 3\n"), "1: unknown keyword 'grid'\n");
}

TEST(DesignSource, FlagsWithoutWordsLeaveTheUnitHiddenAndEnabled) {
    auto parsed = parse_design("window 1\nunit 0x06010000 w window\n  flags\n");
    ASSERT_TRUE(parsed.errors.empty());
    EXPECT_EQ(parsed.design.windows[0].units[0].flags, 0u);
}

} // namespace
