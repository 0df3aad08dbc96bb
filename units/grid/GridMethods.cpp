// Library 6's commands: the grid's methods. Argument 0 names the grid.

#include "GridUnit.h"
#include <units/framework/UnitMethod.h>

#include <array>

namespace units {

namespace {

void set_current_cell(runtime::TypedValue*, std::int32_t count, const runtime::TypedValue* args) {
    auto* grid = method_unit<GridUnit>(count, args);
    auto row = method_integer(count, args, 1);
    auto column = method_integer(count, args, 2);
    if (grid && row && column)
        grid->set_current_cell(*row, *column);
}

void set_cell_data(runtime::TypedValue* result, std::int32_t count,
                   const runtime::TypedValue* args) {
    *result = runtime::TypedValue::of_boolean(false);
    auto* grid = method_unit<GridUnit>(count, args);
    auto row = method_integer(count, args, 1);
    auto column = method_integer(count, args, 2);
    auto kind = method_integer(count, args, 3);
    const runtime::TypedValue* value = method_argument(count, args, 4);
    if (!grid || !row || !column || !kind)
        return;
    runtime::TypedValue none;
    *result = runtime::TypedValue::of_boolean(
        grid->set_cell_data(*row, *column, *kind, value ? *value : none));
}

void get_cell_data(runtime::TypedValue* result, std::int32_t count,
                   const runtime::TypedValue* args) {
    auto* grid = method_unit<GridUnit>(count, args);
    auto row = method_integer(count, args, 1);
    auto column = method_integer(count, args, 2);
    if (!grid)
        return;
    // A row or column that is not a number lies outside the table.
    *result = grid->get_cell_data(row.value_or(-1), column.value_or(-1));
}

void reset(runtime::TypedValue*, std::int32_t count, const runtime::TypedValue* args) {
    if (auto* grid = method_unit<GridUnit>(count, args))
        grid->reset();
}

constexpr std::array<runtime::LibraryCommand, 4> Commands = {set_current_cell, set_cell_data,
                                                             get_cell_data, reset};

} // namespace

std::span<const runtime::LibraryCommand> grid_commands() {
    return Commands;
}

} // namespace units
