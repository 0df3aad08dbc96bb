// The action table: record a pose, clear, play back at a speed, stop.

#include "AppState.h"
#include "ArmController_design.h"
#include "Units.h"

#include <array>
#include <string>

namespace app {

namespace {

constexpr std::int32_t TextKind = 1;
// "数据或数组类型不匹配"
constexpr std::int32_t TypeMismatchError = 5;
constexpr double Tolerance = 0.0000001;

// The text of a data cell; a cell that gives anything but a text is the
// runtime's type-mismatch error, which does not return.
Text cell_text(std::int32_t row, std::int32_t column) {
    runtime::TypedValue value =
        call(CommandId::GetCellData, {ActionTable.value(), integer(row), integer(column)});
    if (value.type != runtime::type_code::Text)
        calls().report_error(TypeMismatchError);
    return take_text(value);
}

std::array<Text, ServoCount> row_cells(std::int32_t row) {
    std::array<Text, ServoCount> cells;
    for (std::int32_t column = 1; column <= ServoCount; ++column)
        cells[column - 1] = cell_text(row, column);
    return cells;
}

void set_current_cell(std::int32_t row, std::int32_t column) {
    call(CommandId::SetCurrentCell, {ActionTable.value(), integer(row), integer(column)});
}

double speed_box_number() {
    return number_of(read_text(SpeedBox, EditBox::Content).view());
}

} // namespace

runtime::HandlerResult record() {
    AppState& s = state();
    if (s.recorded_rows == TableRows) {
        show_message(memory_full());
        return {};
    }
    std::int32_t row = ++s.recorded_rows;
    for (std::int32_t column = 1; column <= ServoCount; ++column) {
        std::int32_t position = read_integer(Servos[column - 1].slider, SuperBar::Position);
        call(CommandId::SetCellData, {ActionTable.value(), integer(row), integer(column),
                                      integer(TextKind), integer(position)});
    }
    set_current_cell(row, 0);
    std::array<Text, ServoCount> cells = row_cells(row);
    std::string line;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i > 0)
            line += ",";
        line += cells[i].view();
    }
    s.record_log += line + "\r\n";
    return {};
}

runtime::HandlerResult clear_table() {
    call(CommandId::Reset, {ActionTable.value()});
    state().recorded_rows = 0;
    initialise_table();
    state().recorded_rows = 0;
    return {};
}

runtime::HandlerResult speed_changed() {
    // A clamping write fires this handler again, which runs to completion
    // before this one goes on; both end with the same interval.
    if (speed_box_number() - 20.0 > Tolerance)
        write_text(SpeedBox, EditBox::Content, "20");
    if (speed_box_number() - 1.0 < -Tolerance)
        write_text(SpeedBox, EditBox::Content, "1");
    state().step_interval = truncate((21.0 - speed_box_number()) * 50.0);
    return {};
}

runtime::HandlerResult run() {
    AppState& s = state();
    std::int32_t passes = truncate(number_of(read_text(CyclesBox, EditBox::Content).view()));
    s.stop = 0;
    set_status(status_running());
    const std::string empty_row = "abcd";
    for (std::int32_t pass = 1; pass <= passes; ++pass) {
        for (std::int32_t row = 1; row <= TableRows; ++row) {
            std::array<Text, ServoCount> cells = row_cells(row);
            std::string row_command;
            for (std::size_t i = 0; i < cells.size(); ++i)
                row_command += std::string(cells[i].view()) + Servos[i].letter;
            bool row_empty = row_command == empty_row;
            if (!row_empty) {
                call(CommandId::SendData, {Port.value(), text(row_command.c_str())});
                // Read at every wait: a speed change during a playback takes
                // effect at the next step.
                call(CommandId::Delay, {integer(s.step_interval)});
                // Other handlers ran during the wait; if one closed the
                // window, its units are gone and the playback ends here.
                if (!window_exists(MainWindow))
                    return {};
                set_current_cell(row, 1);
            }
            if (s.stop == 1) {
                show_message(stopped());
                return {};
            }
            if (row_empty)
                break;
        }
    }
    show_message(stopped());
    return {};
}

runtime::HandlerResult stop() {
    state().stop = 1;
    set_status(status_port_open_stopped());
    return {};
}

} // namespace app
