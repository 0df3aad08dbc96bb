#include "AppHarness.h"

#include <tests/app/InProcessProgram.h>

#include "ArmController_design.h"

#include <app/Units.h>

#include <runtime/AppRuntime.h>
#include <runtime/image/LibraryInfo.h>
#include <runtime/image/ProgramHeader.h>
#include <runtime/image/ProgramImage.h>
#include <runtime/services/HostNotify.h>
#include <runtime/windows/PropertyRouting.h>
#include <runtime/windows/WindowObject.h>

#include <platform/window/WindowSystem.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <unistd.h>

namespace bench {

std::int64_t monotonic_ns() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

namespace {
double clock_ms(clockid_t clock) {
    timespec ts{};
    clock_gettime(clock, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}
} // namespace

double thread_cpu_ms() {
    return clock_ms(CLOCK_THREAD_CPUTIME_ID);
}

double process_cpu_ms() {
    return clock_ms(CLOCK_PROCESS_CPUTIME_ID);
}

double percentile(std::vector<double> values, double p) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    auto index = static_cast<std::size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(index, values.size() - 1)];
}

AppHarness::AppHarness(const std::string& arm_device) {
    char pattern[] = "/tmp/armctl-bench-XXXXXX";
    if (!mkdtemp(pattern))
        return;
    m_home = pattern;
    setenv("HOME", m_home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (m_home + "/config").c_str(), 1);
    setenv("XDG_DATA_HOME", (m_home + "/data").c_str(), 1);
    std::filesystem::create_directories(m_home + "/data");
    setenv("ARMCTL_COM1", arm_device.c_str(), 1);
    if (!platform::initialize(&m_backend))
        return;
    if (!app_test::start_program_in_process())
        return;
    pump();
    m_started = unit_window(OpenButton) != nullptr;
}

AppHarness::~AppHarness() {
    app_test::end_program_in_process();
    unsetenv("ARMCTL_COM1");
    std::error_code error;
    if (!m_home.empty())
        std::filesystem::remove_all(m_home, error);
}

platform::HWND AppHarness::unit_window(std::uint32_t unit_id) const {
    auto* object = runtime::AppRuntime::the().find_window(app::MainWindow);
    auto* record = object ? object->find_unit_or_window(unit_id) : nullptr;
    return record ? runtime::WindowObject::live_window_of(*record) : nullptr;
}

void AppHarness::queue_click(std::uint32_t unit_id) {
    platform::HWND hwnd = unit_window(unit_id);
    if (!hwnd)
        return;
    platform::Rect client;
    platform::get_client_rect(hwnd, client);
    m_backend.click(hwnd, {client.width() / 2, client.height() / 2});
}

void AppHarness::click(std::uint32_t unit_id) {
    queue_click(unit_id);
    pump();
}

void AppHarness::write_text(std::uint32_t unit_id, std::int32_t index, const char* gbk_text) {
    runtime::write_property(app::MainWindow, unit_id, index, -1,
                            static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(gbk_text)));
    pump();
}

void AppHarness::pump() {
    while (m_backend.pump() > 0) {
    }
}

} // namespace bench
