// The window's start-up, the help button and the exit routine.

#include "AppState.h"
#include "ArmController_design.h"
#include "Units.h"

#include <array>

namespace app {

runtime::HandlerResult start_up() {
    call(CommandId::SetInterfaceStyle, {integer(3)});
    AppState& s = state();
    s.port_open = 0;
    s.recorded_rows = 0;
    s.stop = 0;
    call(CommandId::AddPanel, {StatusLine.value(), text(status_closed_stopped()), integer(6200)});

    // Ten times the stored speed: 100 ms for the stored "10", whatever the
    // speed rule would say.
    Text speed = read_text(SpeedBox, EditBox::Content);
    s.step_interval = truncate(number_of(speed.view()) * 10.0);

    // Each write fires the box's handler, which narrows its slider.
    const std::array<const char*, 8> ranges = {"40", "120", "40", "170", "40", "150", "120", "170"};
    for (std::size_t i = 0; i < Servos.size(); ++i) {
        write_text(Servos[i].minimum_box, EditBox::Content, ranges[2 * i]);
        write_text(Servos[i].maximum_box, EditBox::Content, ranges[2 * i + 1]);
    }
    write_integer(Port, SerialPort::BaudRate, 9600);
    for (const Servo& servo : Servos) {
        Text position = text_of(read_integer(servo.slider, SuperBar::Position));
        write_text(servo.value_label, Label::Caption, position.c_str());
    }
    initialise_table();
    return {};
}

runtime::HandlerResult show_help() {
    show_message(help_text());
    return {};
}

runtime::HandlerResult serial_label_feedback(std::uint64_t, std::uint64_t) {
    return {};
}

void exit_routine() {
    AppState& s = state();
    s.record_log.clear();
    s.record_log.shrink_to_fit();
}

} // namespace app
