#include "ProbeUnit.h"

#include <platform/window/MessageParams.h>
#include <platform/window/WindowSystem.h>

namespace runtime_test {

namespace {

using namespace runtime::value_kind;

using P = ProbeUnit;
constexpr units::PropertyTable Properties{{
    {P::Value, "Value", Integer},
    {P::Flag, "Flag", Boolean},
    {P::Caption, "Caption", Text},
    {P::Font, "Font", runtime::value_kind::Font},
    {P::Data, "Data", CustomData},
    {P::Rebuild, "Rebuild", Integer},
}};
constexpr platform::UINT ProbeNotification = 0x77;

} // namespace

ProbeUnit::Settings::Settings() : PropertyBag(Properties.rows(), StoredVersion) {}

std::vector<std::int32_t>& ProbeUnit::set_calls() {
    static std::vector<std::int32_t> calls;
    return calls;
}

const runtime::UnitTypeInfo& ProbeUnit::type_info() {
    static const runtime::UnitTypeInfo info = [] {
        runtime::UnitTypeInfo type;
        type.english_name = "Probe";
        type.flags = 0x04;
        type.property_count = Properties.info_count();
        type.properties = Properties.info();
        type.query = &units::UnitTypeEntries<ProbeUnit>::query;
        return type;
    }();
    return info;
}

const runtime::UnitTypeInfo& ProbeUnit::silent_type_info() {
    static const runtime::UnitTypeInfo info = [] {
        runtime::UnitTypeInfo type = type_info();
        type.english_name = "SilentProbe";
        type.flags = 0;
        return type;
    }();
    return info;
}

bool ProbeUnit::create_window(const units::CreateParameters& parameters) {
    if (!create_system_window(0, "STATIC", m_settings.text(Caption),
                              parameters.style | platform::WS_CHILD, parameters.left,
                              parameters.top, parameters.width, parameters.height,
                              parameters.parent, parameters.control_id))
        return false;
    m_raised_during_creation = raise_event(EventCreating);
    return true;
}

int ProbeUnit::get_property(std::int32_t own_index, runtime::PropertyValue& value) {
    return m_settings.get(own_index, value) ? 1 : 0;
}

int ProbeUnit::set_property(std::int32_t own_index, const runtime::PropertyValue& value) {
    set_calls().push_back(own_index);
    if (!m_settings.set(own_index, value))
        return 0;
    return own_index == Rebuild ? 1 : 0;
}

void ProbeUnit::click() {
    platform::send_message(
        platform::get_parent(hwnd()), platform::WM_COMMAND,
        platform::make_wparam(platform::get_dlg_ctrl_id(hwnd()), ProbeNotification),
        reinterpret_cast<LPARAM>(hwnd()));
}

bool ProbeUnit::on_notification(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (msg != platform::WM_COMMAND || platform::command_params(wp, lp).code != ProbeNotification)
        return false;
    raise_event(EventClicked, {7, 8});
    result = 0;
    return true;
}

} // namespace runtime_test
