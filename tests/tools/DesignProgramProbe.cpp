// A program built from ProbeProgram.design, run as a child by the design
// tests. Its start-up handler reports on standard output what the runtime
// made of the design (properties read through the call table, the units'
// system windows, the constants), raises a click on the unit that borrows
// another's handlers, and closes the window.
//
// Usage: armctl_design_program_probe --backend=headless
//        armctl_design_program_probe stream   (writes the embedded template stream)

#include "ProbeProgram_design.h"
#include "ProbeTypePlace.h"

#include <runtime/image/ProgramHeader.h>
#include <runtime/image/ProgramImage.h>
#include <runtime/services/HostNotify.h>
#include <runtime/services/RuntimeCallTable.h>

#include <platform/Encoding.h>
#include <platform/window/WindowSystem.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

using probe_program::StartWindowId;

void exit_routine() {
    std::printf("exit routine\n");
}

std::string read_text(std::uint32_t unit_id, std::int32_t index) {
    auto& table = runtime::runtime_call_table();
    auto* text = reinterpret_cast<char*>(table.read_property(StartWindowId, unit_id, index, -1));
    std::string utf8 = platform::gbk_to_utf8(text ? text : "");
    table.release(text);
    return utf8;
}

std::int32_t read_word(std::uint32_t unit_id, std::int32_t index) {
    return static_cast<std::int32_t>(
        runtime::runtime_call_table().read_property(StartWindowId, unit_id, index, -1));
}

platform::HWND main_window() {
    for (auto top : platform::top_level_windows()) {
        if (platform::get_window_text(top).find("Design probe") != std::string::npos)
            return top;
    }
    return nullptr;
}

// The created event comes before the window is shown, so a unit's own
// visibility is its style bit, not whether it can be seen yet.
void print_children(platform::HWND parent, int depth) {
    for (auto child : platform::get_children(parent)) {
        platform::Rect rect;
        platform::get_window_placement_rect(child, rect);
        std::printf("%*swindow \"%s\" %d,%d %dx%d%s%s\n", depth * 2, "",
                    platform::gbk_to_utf8(platform::get_window_text(child)).c_str(), rect.left,
                    rect.top, rect.width(), rect.height(),
                    (platform::get_style(child) & platform::WS_VISIBLE) ? " visible" : "",
                    platform::is_window_enabled(child) ? "" : " disabled");
        print_children(child, depth + 1);
    }
}

// Sends the probe unit's notification from the unit placed at (left, top).
void click_unit_at(platform::HWND window, int left, int top) {
    for (auto child : platform::get_children(window)) {
        platform::Rect rect;
        platform::get_window_placement_rect(child, rect);
        if (rect.left != left || rect.top != top)
            continue;
        platform::send_message(window, platform::WM_COMMAND,
                               platform::make_wparam(platform::get_dlg_ctrl_id(child), 0x77),
                               reinterpret_cast<platform::LPARAM>(child));
    }
}

} // namespace

namespace probe_program {

runtime::HandlerResult started() {
    std::printf("title %s\n", read_text(0, 8).c_str());
    std::printf("frame value %d caption %s\n", read_word(0x16010001, 8),
                read_text(0x16010001, 10).c_str());
    std::printf("probe value %d flag %d tag %s at %d,%d %dx%d\n", read_word(0x16010002, 8),
                read_word(0x16010002, 9), read_text(0x16010002, 4).c_str(),
                read_word(0x16010002, 0), read_word(0x16010002, 1), read_word(0x16010002, 2),
                read_word(0x16010002, 3));
    auto window = main_window();
    print_children(window, 0);

    std::printf("greeting %s\n", platform::gbk_to_utf8(greeting()).c_str());
    std::printf("ten %g\n", *ten());
    std::uint32_t empty_words[2];
    std::memcpy(empty_words, empty(), sizeof empty_words);
    std::printf("empty {%u, %u}\n", empty_words[0], empty_words[1]);
    std::uint32_t steps_words[2];
    double step_values[2];
    std::memcpy(steps_words, steps(), sizeof steps_words);
    std::memcpy(step_values, static_cast<const std::uint8_t*>(steps()) + 8, sizeof step_values);
    std::printf("steps {%u, %u, %g, %g}\n", steps_words[0], steps_words[1], step_values[0],
                step_values[1]);

    click_unit_at(window, 10, 200);
    platform::post_message(window, platform::WM_CLOSE);
    return {};
}

runtime::HandlerResult clicked(std::uint64_t first, std::uint64_t second) {
    std::uint32_t source[2] = {};
    runtime::host_notify(runtime::host_service::CurrentEventSource,
                         reinterpret_cast<std::intptr_t>(source), 0);
    std::printf("clicked %llu %llu from 0x%08X\n", static_cast<unsigned long long>(first),
                static_cast<unsigned long long>(second), source[1]);
    return {};
}

} // namespace probe_program

namespace {

int program_entry() {
    auto& table = runtime::runtime_call_table();
    table.runtime_notify(6, 0, 0, 0, 0, 0);
    table.runtime_notify(3, reinterpret_cast<std::intptr_t>(exit_routine), 0, 0, 0, 0);
    table.load_window(StartWindowId);
    table.run_message_loop();
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "stream") == 0) {
        auto& header = runtime::program_image_header();
        std::fwrite(header.template_data, 1, header.template_length, stdout);
        return 0;
    }
    design_test::register_probe_type();
    return runtime::program_main(argc, argv, program_entry);
}
