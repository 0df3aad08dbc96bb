#include "AppHarness.h"

#include "AnsweringGtkDisplay.h"

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

#include <platform/window/Input.h>
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

AppHarness::AppHarness(const std::string& arm_device, Display display) {
    char pattern[] = "/tmp/armctl-bench-XXXXXX";
    if (!mkdtemp(pattern)) {
        m_error = "cannot make a scratch home";
        return;
    }
    m_home = pattern;
    m_env.set("HOME", m_home);
    m_env.set("XDG_CONFIG_HOME", m_home + "/config");
    m_env.set("XDG_DATA_HOME", m_home + "/data");
    std::filesystem::create_directories(m_home + "/data");
    m_env.set("ARMCTL_COM1", arm_device);
    platform::DisplayBackend* backend = &m_backend;
    if (display == Display::Gtk) {
        if (!AnsweringGtkDisplay::open(m_error))
            return;
        m_gtk = std::make_unique<AnsweringGtkDisplay>();
        backend = m_gtk.get();
    }
    if (!platform::initialize(backend)) {
        m_error = "the window system did not start";
        return;
    }
    if (!test_support::start_program_in_process()) {
        m_error = "the program's header was not adopted";
        return;
    }
    pump();
    m_started = unit_window(app::PortButton) != nullptr;
    if (!m_started)
        m_error = "the program's window has no port button";
}

AppHarness::~AppHarness() {
    test_support::end_program_in_process();
    std::error_code error;
    if (!m_home.empty())
        std::filesystem::remove_all(m_home, error);
}

platform::HWND AppHarness::unit_window(const runtime::UnitRef& unit) const {
    auto* object = runtime::AppRuntime::the().find_window(unit.window);
    auto* record = object ? object->find_unit_or_window(unit.unit) : nullptr;
    return record ? runtime::WindowObject::live_window_of(*record) : nullptr;
}

void AppHarness::queue_click(const runtime::UnitRef& unit) {
    platform::HWND hwnd = unit_window(unit);
    if (!hwnd)
        return;
    platform::Rect client;
    platform::get_client_rect(hwnd, client);
    platform::Point middle{client.width() / 2, client.height() / 2};
    if (!m_gtk) {
        m_backend.click(hwnd, middle);
        return;
    }
    platform::HWND top = platform::get_ancestor_root(hwnd);
    platform::map_window_points(hwnd, top, &middle, 1);
    platform::input::mouse_move(top, middle);
    platform::input::mouse_button(top, middle, platform::input::Button::Left, true);
    platform::input::mouse_button(top, middle, platform::input::Button::Left, false);
}

void AppHarness::click(const runtime::UnitRef& unit) {
    queue_click(unit);
    pump();
}

void AppHarness::write_text(const runtime::UnitRef& unit, std::int32_t index,
                            const char* gbk_text) {
    runtime::write_property(unit.window, unit.unit, index, -1,
                            static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(gbk_text)));
    pump();
}

void AppHarness::pump() {
    while (platform::dispatch_ready_messages() > 0) {
    }
}

void AppHarness::run_for_ms(int ms) {
    const std::int64_t end = monotonic_ns() + static_cast<std::int64_t>(ms) * 1'000'000;
    for (std::int64_t now = monotonic_ns(); now < end; now = monotonic_ns()) {
        platform::wait_message(static_cast<int>((end - now) / 1'000'000) + 1);
        pump();
    }
}

} // namespace bench
