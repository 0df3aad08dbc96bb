#include "AppFixture.h"
#include "InProcessProgram.h"

#include "ArmController_design.h"

#include <app/Units.h>

#include <program/LibraryCommands.h>

#include <runtime/AppRuntime.h>
#include <runtime/image/LibraryInfo.h>
#include <runtime/image/ProgramHeader.h>
#include <runtime/image/ProgramImage.h>
#include <runtime/services/HostNotify.h>
#include <runtime/services/LibraryCommand.h>
#include <runtime/windows/PropertyRouting.h>
#include <runtime/windows/WindowObject.h>

#include <units/grid/GridUnit.h>

#include <platform/Encoding.h>
#include <platform/controls/Controls.h>
#include <platform/window/Messages.h>
#include <platform/window/WindowSystem.h>

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace test_support {

void AppTest::SetUp() {
    char pattern[] = "/tmp/armctl-app-XXXXXX";
    ASSERT_TRUE(mkdtemp(pattern));
    m_home = pattern;
    m_env.set("HOME", m_home);
    m_env.set("XDG_CONFIG_HOME", m_home + "/config");
    m_env.set("XDG_DATA_HOME", m_home + "/data");
    std::filesystem::create_directories(m_home + "/data");
    ASSERT_FALSE(m_arm.slave_path().empty());
    m_env.set("ARMCTL_COM1", m_arm.slave_path());
    m_env.set("ARMCTL_COM10", m_arm10.slave_path());
    ASSERT_TRUE(platform::initialize(&m_backend));
}

void AppTest::TearDown() {
    end_program_in_process();
    std::error_code error;
    std::filesystem::remove_all(m_home, error);
}

void AppTest::start() {
    ASSERT_TRUE(start_program_in_process());
    pump();
}

platform::HWND AppTest::window() const {
    auto* object = runtime::AppRuntime::the().find_window(app::MainWindow);
    return object ? object->system_window() : nullptr;
}

platform::HWND AppTest::unit_window(const runtime::UnitRef& unit) const {
    auto* object = runtime::AppRuntime::the().find_window(unit.window);
    auto* record = object ? object->find_unit_or_window(unit.unit) : nullptr;
    return record ? runtime::WindowObject::live_window_of(*record) : nullptr;
}

void AppTest::click(const runtime::UnitRef& unit) {
    platform::HWND hwnd = unit_window(unit);
    ASSERT_TRUE(hwnd) << std::hex << unit.unit;
    platform::Rect client;
    platform::get_client_rect(hwnd, client);
    m_backend.click(hwnd, {client.width() / 2, client.height() / 2});
    pump();
}

void AppTest::key(const runtime::UnitRef& unit, platform::UINT vk, int times) {
    platform::HWND hwnd = unit_window(unit);
    ASSERT_TRUE(hwnd) << std::hex << unit.unit;
    platform::set_focus(hwnd);
    for (int i = 0; i < times; ++i) {
        m_backend.press_key(vk);
        pump();
    }
}

void AppTest::type_into(const runtime::UnitRef& unit, std::string_view utf8) {
    platform::HWND hwnd = unit_window(unit);
    ASSERT_TRUE(hwnd) << std::hex << unit.unit;
    platform::set_focus(hwnd);
    platform::send_message(hwnd, platform::EM_SETSEL, 0, -1);
    if (utf8.empty())
        m_backend.press_key(platform::VK_DELETE);
    else
        m_backend.type_text(utf8);
    pump();
}

void AppTest::pump() {
    while (m_backend.pump() > 0) {
    }
}

std::int32_t AppTest::read_integer(const runtime::UnitRef& unit, std::int32_t index) {
    return static_cast<std::int32_t>(runtime::read_property(unit.window, unit.unit, index, -1));
}

std::string AppTest::read_text(const runtime::UnitRef& unit, std::int32_t index) {
    auto* text = reinterpret_cast<char*>(
        static_cast<std::uintptr_t>(runtime::read_property(unit.window, unit.unit, index, -1)));
    std::string copy = text ? text : "";
    if (text)
        runtime::runtime_call_table().release(text);
    return copy;
}

std::string AppTest::status_text() {
    char buffer[256] = {};
    platform::send_message(unit_window(app::StatusLine), platform::SB_GETTEXTA, 0,
                           reinterpret_cast<platform::LPARAM>(buffer));
    return buffer;
}

std::string AppTest::status_tip() {
    char buffer[256] = {};
    platform::send_message(unit_window(app::StatusLine), platform::SB_GETTIPTEXTA,
                           platform::make_wparam(0, sizeof buffer),
                           reinterpret_cast<platform::LPARAM>(buffer));
    return buffer;
}

std::string AppTest::cell(std::int32_t row, std::int32_t column) {
    const runtime::ProgramHeader& header = runtime::program_image_header();
    auto get_cell_data = program::command_place(program::CommandId::GetCellData);
    const runtime::LibraryInfo* grid_library = header.libraries[get_cell_data.library - 1];
    runtime::TypedValue args[3] = {app::ActionTable.value(), runtime::TypedValue::of_integer(row),
                                   runtime::TypedValue::of_integer(column)};
    runtime::TypedValue result = runtime::call_library_command(
        grid_library->commands[get_cell_data.entry],
        static_cast<std::int32_t>(get_cell_data.library - 1), 3, args);
    char* text = result.type == runtime::type_code::Text ? result.pointer<char>() : nullptr;
    std::string copy = text ? text : "";
    if (text)
        runtime::runtime_call_table().release(text);
    return copy;
}

std::pair<int, int> AppTest::current_cell() {
    auto* object = runtime::AppRuntime::the().find_window(app::MainWindow);
    auto* record = object ? object->find_unit_or_window(app::ActionTable.unit) : nullptr;
    auto* grid = record ? dynamic_cast<units::GridUnit*>(runtime::WindowObject::object_of(*record))
                        : nullptr;
    if (!grid)
        return {-1, -1};
    return {grid->model().current().row, grid->model().current().column};
}

void AppTest::write_text(const runtime::UnitRef& unit, std::int32_t index, const char* gbk_text) {
    runtime::write_property(unit.window, unit.unit, index, -1,
                            static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(gbk_text)));
    pump();
}

std::vector<std::string> AppTest::message_texts() const {
    std::vector<std::string> texts;
    for (const auto& box : m_backend.message_boxes())
        texts.push_back(box.text);
    return texts;
}

} // namespace test_support
