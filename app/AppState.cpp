#include "AppState.h"

#include "ArmController_design.h"
#include "Units.h"

#include <array>

namespace app {

AppState& state() {
    static AppState the_state;
    return the_state;
}

double number_of(std::string_view value) {
    std::string copy(value);
    return call(CommandId::ToNumber, {text(copy.c_str())}).as_double();
}

Text text_of(std::int32_t value) {
    return take_text(call(CommandId::ToText, {integer(value)}));
}

void set_status(const char* value) {
    call(CommandId::SetPanelText, {StatusLine.value(), integer(0), text(value)});
}

void show_message(const char* value) {
    call(CommandId::ShowMessage, {text(value), integer(0)});
}

void initialise_table() {
    const std::array<const char*, ServoCount> headings = {heading_gripper(), heading_shoulder(),
                                                          heading_elbow(), heading_base()};
    constexpr std::int32_t TextKind = 1;
    for (std::int32_t column = 1; column <= ServoCount; ++column)
        call(CommandId::SetCellData, {ActionTable.value(), integer(0), integer(column),
                                      integer(TextKind), text(headings[column - 1])});
    for (std::int32_t row = 1; row <= TableRows; ++row) {
        Text number = text_of(row);
        std::string name = std::string(action_prefix()) + std::string(number.view());
        call(CommandId::SetCellData, {ActionTable.value(), integer(row), integer(0),
                                      integer(TextKind), text(name.c_str())});
    }
}

} // namespace app
