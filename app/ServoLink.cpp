// The serial link: choosing and opening the port, one command per slider
// movement, and the range boxes that narrow the sliders.

#include "AppState.h"
#include "ArmController_design.h"
#include "Units.h"

#include <string>

namespace app {

namespace {

void servo_moved(const Servo& servo) {
    std::int32_t position = read_integer(servo.slider, SuperBar::Position);
    std::string command_text = std::string(text_of(position).view()) + servo.letter;
    call(CommandId::SendData, {Port.value(), text(command_text.c_str())});
    Text shown = text_of(read_integer(servo.slider, SuperBar::Position));
    write_text(servo.value_label, Label::Caption, shown.c_str());
}

// The status panel's tool-tip says which device the chosen COM number
// stands for, after a failed open why it failed, and while the port is open
// whether its device was unplugged or came back; the status texts
// themselves follow the presses.
void show_port_tip() {
    Text failure = read_text(Port, SerialPort::OpenError);
    std::string tip(failure.view());
    if (tip.empty()) {
        Text link = read_text(Port, SerialPort::LinkState);
        tip = link.view();
    }
    if (tip.empty()) {
        Text number = text_of(read_integer(Port, SerialPort::PortNumber));
        Text device = read_text(Port, SerialPort::Device);
        tip = std::string(port_prefix()) + std::string(number.view());
        tip += device.view().empty() ? std::string(port_no_device())
                                     : std::string(port_arrow()) + std::string(device.view());
    }
    call(CommandId::SetPanelTip, {StatusLine.value(), integer(0), text(tip.c_str())});
}

void limit_changed(const UnitRef& box, const UnitRef& slider, std::int32_t limit) {
    Text content = read_text(box, EditBox::Content);
    write_integer(slider, limit, truncate(number_of(content.view())));
}

} // namespace

runtime::HandlerResult port_chosen() {
    std::int32_t item = read_integer(PortSelector, ComboBox::CurrentItem);
    write_integer(Port, SerialPort::PortNumber, truncate(item + 1.0));
    show_port_tip();
    return {};
}

runtime::HandlerResult port_toggle() {
    AppState& s = state();
    s.port_open = (s.port_open & 1) ^ 1;
    // The status follows the presses, not the port: the result of OpenPort
    // is not looked at.
    if (s.port_open == 1) {
        call(CommandId::OpenPort, {Port.value()});
        set_status(status_port_open());
        write_text(PortButton, Button::Caption, caption_open());
    } else {
        call(CommandId::ClosePort, {Port.value()});
        set_status(status_port_closed());
        write_text(PortButton, Button::Caption, caption_close());
    }
    show_port_tip();
    return {};
}

// The open port's device went away or came back: only the tool-tip
// changes, the status line and the button keep what the last press set.
runtime::HandlerResult port_link_changed(std::uint64_t) {
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
    limit_changed(Servos[Gripper].minimum_box, Servos[Gripper].slider, SuperBar::Minimum);
    return {};
}
runtime::HandlerResult gripper_maximum_changed() {
    limit_changed(Servos[Gripper].maximum_box, Servos[Gripper].slider, SuperBar::Maximum);
    return {};
}
runtime::HandlerResult shoulder_minimum_changed() {
    limit_changed(Servos[Shoulder].minimum_box, Servos[Shoulder].slider, SuperBar::Minimum);
    return {};
}
runtime::HandlerResult shoulder_maximum_changed() {
    limit_changed(Servos[Shoulder].maximum_box, Servos[Shoulder].slider, SuperBar::Maximum);
    return {};
}
runtime::HandlerResult elbow_minimum_changed() {
    limit_changed(Servos[Elbow].minimum_box, Servos[Elbow].slider, SuperBar::Minimum);
    return {};
}
runtime::HandlerResult elbow_maximum_changed() {
    limit_changed(Servos[Elbow].maximum_box, Servos[Elbow].slider, SuperBar::Maximum);
    return {};
}
runtime::HandlerResult base_minimum_changed() {
    limit_changed(Servos[Base].minimum_box, Servos[Base].slider, SuperBar::Minimum);
    return {};
}
runtime::HandlerResult base_maximum_changed() {
    limit_changed(Servos[Base].maximum_box, Servos[Base].slider, SuperBar::Maximum);
    return {};
}

} // namespace app
