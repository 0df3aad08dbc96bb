#include "AppFixture.h"
#include "InProcessProgram.h"

#include "ArmController_design.h"

#include <app/Units.h>

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

namespace app_test {

std::string gbk(std::string_view utf8) {
    return platform::utf8_to_gbk(utf8);
}

void AppTest::SetUp() {
    char pattern[] = "/tmp/armctl-app-XXXXXX";
    ASSERT_TRUE(mkdtemp(pattern));
    m_home = pattern;
    setenv("HOME", m_home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (m_home + "/config").c_str(), 1);
    setenv("XDG_DATA_HOME", (m_home + "/data").c_str(), 1);
    std::filesystem::create_directories(m_home + "/data");
    ASSERT_FALSE(m_arm.slave_path().empty());
    setenv("ARMCTL_COM1", m_arm.slave_path().c_str(), 1);
    setenv("ARMCTL_COM10", m_arm10.slave_path().c_str(), 1);
    ASSERT_TRUE(platform::initialize(&m_backend));
}

void AppTest::TearDown() {
    end_program_in_process();
    unsetenv("ARMCTL_COM1");
    unsetenv("ARMCTL_COM10");
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

platform::HWND AppTest::unit_window(std::uint32_t unit_id) const {
    auto* object = runtime::AppRuntime::the().find_window(app::MainWindow);
    auto* record = object ? object->find_unit_or_window(unit_id) : nullptr;
    return record ? runtime::WindowObject::live_window_of(*record) : nullptr;
}

void AppTest::click(std::uint32_t unit_id) {
    platform::HWND hwnd = unit_window(unit_id);
    ASSERT_TRUE(hwnd) << std::hex << unit_id;
    platform::Rect client;
    platform::get_client_rect(hwnd, client);
    m_backend.click(hwnd, {client.width() / 2, client.height() / 2});
    pump();
}

void AppTest::key(std::uint32_t unit_id, platform::UINT vk, int times) {
    platform::HWND hwnd = unit_window(unit_id);
    ASSERT_TRUE(hwnd) << std::hex << unit_id;
    platform::set_focus(hwnd);
    for (int i = 0; i < times; ++i) {
        m_backend.press_key(vk);
        pump();
    }
}

void AppTest::type_into(std::uint32_t unit_id, std::string_view utf8) {
    platform::HWND hwnd = unit_window(unit_id);
    ASSERT_TRUE(hwnd) << std::hex << unit_id;
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

std::int32_t AppTest::read_integer(std::uint32_t unit_id, std::uint32_t, std::int32_t index) {
    return static_cast<std::int32_t>(runtime::read_property(app::MainWindow, unit_id, index, -1));
}

std::string AppTest::read_text(std::uint32_t unit_id, std::uint32_t, std::int32_t index) {
    auto* text = reinterpret_cast<char*>(
        static_cast<std::uintptr_t>(runtime::read_property(app::MainWindow, unit_id, index, -1)));
    std::string copy = text ? text : "";
    if (text)
        runtime::runtime_call_table().release(text);
    return copy;
}

std::string AppTest::status_text() {
    char buffer[256] = {};
    platform::send_message(unit_window(app::StatusLine.unit), platform::SB_GETTEXTA, 0,
                           reinterpret_cast<platform::LPARAM>(buffer));
    return buffer;
}

std::string AppTest::status_tip() {
    char buffer[256] = {};
    platform::send_message(unit_window(app::StatusLine.unit), platform::SB_GETTIPTEXTA,
                           platform::make_wparam(0, sizeof buffer),
                           reinterpret_cast<platform::LPARAM>(buffer));
    return buffer;
}

std::string AppTest::cell(std::int32_t row, std::int32_t column) {
    const runtime::ProgramHeader& header = runtime::program_image_header();
    const runtime::LibraryInfo* grid_library =
        header.libraries[app::command::GetCellData.library - 1];
    runtime::TypedValue args[3] = {app::ActionTable.value(), runtime::TypedValue::of_integer(row),
                                   runtime::TypedValue::of_integer(column)};
    runtime::TypedValue result = runtime::call_library_command(
        grid_library->commands[app::command::GetCellData.entry],
        static_cast<std::int32_t>(app::command::GetCellData.library - 1), 3, args);
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

void AppTest::write_text(std::uint32_t unit_id, std::int32_t index, const char* gbk_text) {
    runtime::write_property(app::MainWindow, unit_id, index, -1,
                            static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(gbk_text)));
    pump();
}

std::vector<std::string> AppTest::message_texts() const {
    std::vector<std::string> texts;
    for (const auto& box : m_backend.message_boxes())
        texts.push_back(box.text);
    return texts;
}

} // namespace app_test
