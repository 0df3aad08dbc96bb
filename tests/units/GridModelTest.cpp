#include <units/grid/GridModel.h>

#include <gtest/gtest.h>

#include <bit>
#include <optional>
#include <string>

namespace {

using runtime::TypedValue;
using units::ColumnFormat;
using units::ColumnKind;
using units::GridModel;

TypedValue text(const char* t) {
    return TypedValue::of_text(t);
}

TEST(GridModel, DisplayTextOfEachValueType) {
    GridModel grid(101, 5, 1, 1);
    struct Case {
        const char* name;
        TypedValue value;
        std::optional<std::string> want;
    } cases[] = {
        {"integer", TypedValue::of_integer(45), "45"},
        {"negative integer", TypedValue::of_integer(-7), "-7"},
        {"byte", TypedValue::of_byte(200), "200"},
        {"short", TypedValue::of_short(-300), "-300"},
        {"long", TypedValue::of_long(-9000000000LL), "-9000000000"},
        {"float", TypedValue::of_float(0.1f), "0.1"},
        {"double", TypedValue::of_double(12.5), "12.5"},
        {"double with many digits", TypedValue::of_double(1.0 / 3.0), "0.3333333333333"},
        {"text", text("Gripper"), "Gripper"},
        {"null text", text(nullptr), ""},
        {"boolean", TypedValue::of_boolean(true), std::nullopt},
        {"byte set", TypedValue::of(runtime::type_code::ByteSet, 0), std::nullopt},
        {"date-time", TypedValue::of_date_time(1.0), std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(grid.display_text(3, 2, c.value), c.want) << c.name;
}

TEST(GridModel, NumberColumnsRefuseZeroLikeTextsAndFormatDecimals) {
    GridModel grid(10, 4, 1, 1);
    grid.set_column_format(1, {ColumnKind::Number, 2, ""});
    grid.set_column_format(2, {ColumnKind::Text, 0, "#0.0"}); // a format text alone counts
    struct Case {
        const char* name;
        int row, column;
        TypedValue value;
        bool show_zero;
        std::optional<std::string> want;
    } cases[] = {
        {"number, two decimals", 2, 1, text("3.14159"), false, "3.14"},
        {"integer gets decimals", 2, 1, TypedValue::of_integer(7), false, "7.00"},
        {"zero hidden", 2, 1, text("0"), false, ""},
        {"zero shown", 2, 1, text("0"), true, "0.00"},
        {"empty stays empty", 2, 1, text(""), false, ""},
        {"reads as zero but is not 0", 2, 1, text("abc"), true, std::nullopt},
        {"0.0 is refused too", 2, 1, text("0.0"), true, std::nullopt},
        {"format text column", 2, 2, text("2.5"), false, "2"},
        {"header cell of a number column keeps text", 0, 1, text("abc"), false, "abc"},
        {"plain column", 2, 3, text("abc"), false, "abc"},
    };
    for (const Case& c : cases) {
        grid.set_show_zero(c.show_zero);
        EXPECT_EQ(grid.display_text(c.row, c.column, c.value), c.want) << c.name;
    }
}

TEST(GridModel, CheckAndPictureDataCellsTakeNoText) {
    GridModel grid(5, 3, 1, 1);
    grid.set_column_format(1, {ColumnKind::CheckBox, 0, ""});
    grid.set_column_format(2, {ColumnKind::Picture, 0, ""});
    EXPECT_EQ(grid.display_text(2, 1, text("x")), std::nullopt);
    EXPECT_EQ(grid.display_text(2, 2, text("x")), std::nullopt);
    // Their header cells are text cells.
    EXPECT_EQ(grid.display_text(0, 1, text("Done")), "Done");
    EXPECT_EQ(grid.display_text(99, 1, text("x")), std::nullopt);
}

TEST(GridModel, CurrentCellMovesOnlyInsideTheTable) {
    GridModel grid(101, 5, 1, 1);
    EXPECT_TRUE(grid.set_current_cell(1, 0));
    EXPECT_FALSE(grid.set_current_cell(1, 0)); // the same cell: no move
    EXPECT_EQ(grid.current(), (units::CellPosition{1, 0}));
    // Outside: no current cell, no selection, and no move to report.
    grid.set_whole_row(true);
    EXPECT_TRUE(grid.set_current_cell(4, 2));
    EXPECT_TRUE(grid.selection().contains(4, 0));
    EXPECT_TRUE(grid.selection().contains(4, 4));
    EXPECT_FALSE(grid.set_current_cell(200, 1));
    EXPECT_FALSE(grid.current().is_set());
    EXPECT_TRUE(grid.selection().is_empty());
    EXPECT_FALSE(grid.set_current_cell(-1, -1));
    // From none to a cell is a move.
    EXPECT_TRUE(grid.set_current_cell(4, 2));
}

TEST(GridModel, ResetKeepsTheSizeAndEmptiesEverything) {
    GridModel grid(101, 5, 1, 1);
    grid.set_column_format(2, {ColumnKind::Number, 1, ""});
    grid.set_text(0, 1, "Gripper");
    grid.set_text(100, 4, "120");
    grid.set_current_cell(3, 3);
    grid.set_fixed(2, 2);
    grid.reset(1, 1);
    EXPECT_EQ(grid.rows(), 101);
    EXPECT_EQ(grid.columns(), 5);
    EXPECT_EQ(grid.fixed_rows(), 1);
    EXPECT_EQ(grid.fixed_columns(), 1);
    EXPECT_EQ(grid.column_format(2).kind, ColumnKind::Text);
    EXPECT_FALSE(grid.current().is_set());
    for (int r = 0; r < grid.rows(); ++r)
        for (int c = 0; c < grid.columns(); ++c)
            ASSERT_TRUE(grid.cell(r, c).text.empty()) << r << "," << c;
}

TEST(GridModel, ResizeKeepsCellsThatStayAndDropsACurrentCellThatGoes) {
    GridModel grid(10, 3, 1, 1);
    grid.set_text(2, 2, "kept");
    grid.set_text(9, 2, "dropped");
    grid.set_current_cell(9, 1);
    grid.resize(5, 4);
    EXPECT_EQ(grid.cell(2, 2).text, "kept");
    EXPECT_FALSE(grid.current().is_set());
    grid.resize(10, 4);
    EXPECT_TRUE(grid.cell(9, 2).text.empty());
    grid.resize(0, 0);
    EXPECT_EQ(grid.fixed_rows(), 0);
    EXPECT_FALSE(grid.contains(0, 0));
}

} // namespace
