// The serial link: choosing and opening the port, one command per slider
// movement, and the range boxes that narrow the sliders.

#include "AppState.h"
#include "ArmController_design.h"
#include "Units.h"

#include <string>

namespace app {

namespace {

void servo_moved(const Servo& servo) {
    std::int32_t position = read_integer(servo.slider, property::SliderPosition);
    std::string command_text = std::string(text_of(position).view()) + servo.letter;
    call(command::SendData, {Port.value(), text(command_text.c_str())});
    Text shown = text_of(read_integer(servo.slider, property::SliderPosition));
    write_text(servo.value_label, property::LabelCaption, shown.c_str());
}

// The status panel's tool-tip says which device the chosen COM number
// stands for, and after a failed open why it failed; the status texts
// themselves follow the presses.
void show_port_tip() {
    Text failure = read_text(Port, property::PortOpenError);
    std::string tip(failure.view());
    if (tip.empty()) {
        Text number = text_of(read_integer(Port, property::PortNumber));
        Text device = read_text(Port, property::PortDevice);
        tip = std::string(port_prefix()) + std::string(number.view());
        tip += device.view().empty() ? std::string(port_no_device())
                                     : std::string(port_arrow()) + std::string(device.view());
    }
    call(command::SetPanelTip, {StatusLine.value(), integer(0), text(tip.c_str())});
}

void limit_changed(const UnitRef& box, const UnitRef& slider, std::int32_t limit) {
    Text content = read_text(box, property::EditContent);
    write_integer(slider, limit, truncate(number_of(content.view())));
}

} // namespace

runtime::HandlerResult port_chosen() {
    std::int32_t item = read_integer(PortSelector, property::ComboCurrentItem);
    write_integer(Port, property::PortNumber, truncate(item + 1.0));
    show_port_tip();
    return {};
}

runtime::HandlerResult port_toggle() {
    AppState& s = state();
    s.port_open = (s.port_open & 1) ^ 1;
    // The status follows the presses, not the port: the result of OpenPort
    // is not looked at.
    if (s.port_open == 1) {
        call(command::OpenPort, {Port.value()});
        set_status(status_port_open());
        write_text(PortButton, property::ButtonCaption, caption_open());
    } else {
        call(command::ClosePort, {Port.value()});
        set_status(status_port_closed());
        write_text(PortButton, property::ButtonCaption, caption_close());
    }
    show_port_tip();
    return {};
}

runtime::HandlerResult gripper_moved() {
    servo_moved(Servos[Gripper]);
    return {};
}
runtime::HandlerResult shoulder_moved() {
    servo_moved(Servos[Shoulder]);
    return {};
}
runtime::HandlerResult elbow_moved() {
    servo_moved(Servos[Elbow]);
    return {};
}
runtime::HandlerResult base_moved() {
    servo_moved(Servos[Base]);
    return {};
}

runtime::HandlerResult gripper_minimum_changed() {
    limit_changed(Servos[Gripper].minimum_box, Servos[Gripper].slider, property::SliderMinimum);
    return {};
}
runtime::HandlerResult gripper_maximum_changed() {
    limit_changed(Servos[Gripper].maximum_box, Servos[Gripper].slider, property::SliderMaximum);
    return {};
}
runtime::HandlerResult shoulder_minimum_changed() {
    limit_changed(Servos[Shoulder].minimum_box, Servos[Shoulder].slider, property::SliderMinimum);
    return {};
}
runtime::HandlerResult shoulder_maximum_changed() {
    limit_changed(Servos[Shoulder].maximum_box, Servos[Shoulder].slider, property::SliderMaximum);
    return {};
}
runtime::HandlerResult elbow_minimum_changed() {
    limit_changed(Servos[Elbow].minimum_box, Servos[Elbow].slider, property::SliderMinimum);
    return {};
}
runtime::HandlerResult elbow_maximum_changed() {
    limit_changed(Servos[Elbow].maximum_box, Servos[Elbow].slider, property::SliderMaximum);
    return {};
}
runtime::HandlerResult base_minimum_changed() {
    limit_changed(Servos[Base].minimum_box, Servos[Base].slider, property::SliderMinimum);
    return {};
}
runtime::HandlerResult base_maximum_changed() {
    limit_changed(Servos[Base].maximum_box, Servos[Base].slider, property::SliderMaximum);
    return {};
}

} // namespace app
