// The unit gallery as a program: the window of UnitGallery.design, filled by
// its start-up handler through the runtime's call table (grid cells, status
// bar panels, a picture of the arm drawn here), then drawn once on the
// headless display and saved as a PNG. Standard output gets one line per
// visible unit window: its class and its rectangle in the picture.
//
// Usage: armctl_unit_gallery --backend=headless <picture.png>

#include "UnitGallery_design.h"

#include <program/LibraryTable.h>

#include <runtime/image/ProgramImage.h>
#include <runtime/services/RuntimeCallTable.h>
#include <runtime/values/ArrayBlock.h>
#include <runtime/values/TypedValue.h>

#include <units/WindowUnit.h>
#include <units/grid/GridUnit.h>

#include <platform/window/Painting.h>
#include <platform/window/WindowSystem.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

using runtime::TypedValue;
using unit_gallery::StartWindowId;

constexpr std::uint32_t ArmPicture = 0x1601000D;
constexpr std::uint32_t Actions = 0x1601000E;
constexpr std::uint32_t Status = 0x16010010;
constexpr std::int32_t PictureIndex = 10;
constexpr std::uintptr_t SaveTimer = 1;

std::string g_picture_path;

// A command of library `library` (from 1) at `index`, with the unit as its
// first argument, as the program's handlers call it.
TypedValue call_method(std::size_t library, std::size_t index, std::uint32_t type,
                       std::uint32_t unit_id, std::vector<TypedValue> more) {
    const runtime::LibraryInfo& info = *program::LibraryTable::the().libraries()[library - 1];
    std::vector<TypedValue> args(1);
    args[0].set_words(StartWindowId, unit_id);
    args[0].type = type;
    args.insert(args.end(), more.begin(), more.end());
    return runtime::runtime_call_table().call_library_command(
        info.commands[index], static_cast<std::int32_t>(library - 1),
        static_cast<std::int32_t>(args.size()), args.data());
}

TypedValue integer(std::int32_t value) {
    return TypedValue::of_integer(value);
}

// A 24-bit bottom-up picture of the arm on its base against the sky: the
// base, two limbs and the gripper, each a thick stroke between two joints.
std::vector<std::uint8_t> arm_picture(int width, int height) {
    int stride = (width * 3 + 3) & ~3;
    std::vector<std::uint8_t> dib(40 + static_cast<std::size_t>(stride * height), 0);
    auto put = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            dib[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    put(0, 40);
    put(4, static_cast<std::uint32_t>(width));
    put(8, static_cast<std::uint32_t>(height));
    dib[12] = 1;
    dib[14] = 24;
    struct Limb {
        double x0, y0, x1, y1, thickness;
    };
    const double w = width, h = height;
    const Limb limbs[] = {
        {w * 0.30, h * 0.80, w * 0.42, h * 0.38, h * 0.09}, // upper arm
        {w * 0.42, h * 0.38, w * 0.72, h * 0.30, h * 0.07}, // forearm
        {w * 0.72, h * 0.30, w * 0.78, h * 0.48, h * 0.04}, // gripper
    };
    auto distance = [](double px, double py, const Limb& l) {
        double dx = l.x1 - l.x0, dy = l.y1 - l.y0;
        double t = ((px - l.x0) * dx + (py - l.y0) * dy) / (dx * dx + dy * dy);
        t = std::fmax(0, std::fmin(1, t));
        return std::hypot(px - (l.x0 + t * dx), py - (l.y0 + t * dy));
    };
    for (int row = 0; row < height; ++row) {
        int y = height - 1 - row;
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = dib.data() + 40 + row * stride + x * 3;
            // Sky fading towards the ground line, then the ground.
            std::uint8_t r = static_cast<std::uint8_t>(0xB8 + 0x30 * y / height);
            std::uint8_t g = static_cast<std::uint8_t>(0xD8 + 0x20 * y / height);
            std::uint8_t b = 0xF4;
            if (y >= height * 0.86) {
                r = 0x9A, g = 0xB0, b = 0x8C;
            }
            bool base =
                y >= height * 0.74 && y < height * 0.88 && std::abs(x - w * 0.30) < w * 0.16;
            if (base)
                r = 0x44, g = 0x4C, b = 0x58;
            for (const Limb& limb : limbs) {
                if (distance(x + 0.5, y + 0.5, limb) < limb.thickness / 2)
                    r = 0xF0, g = 0x8C, b = 0x1E;
            }
            for (const Limb& limb : limbs) {
                if (std::hypot(x + 0.5 - limb.x0, y + 0.5 - limb.y0) < limb.thickness * 0.35)
                    r = 0x30, g = 0x30, b = 0x30;
            }
            p[0] = b;
            p[1] = g;
            p[2] = r;
        }
    }
    return dib;
}

void fill_status_bar() {
    call_method(4, 0, 0x40002, Status,
                {TypedValue::of_text("\xBE\xCD\xD0\xF7 Ready"), integer(240)}); // 就绪
    call_method(4, 0, 0x40002, Status, {TypedValue::of_text("COM3  9600"), integer(-1)});
}

void fill_grid() {
    const char* headings[] = {"", "Base", "Shoulder", "Elbow", "Gripper"};
    const int poses[][4] = {
        {90, 45, 120, 30}, {60, 50, 110, 30}, {60, 80, 70, 75}, {120, 80, 70, 75}};
    for (int column = 1; column < 5; ++column)
        call_method(
            6, 1, 0x60001, Actions,
            {integer(0), integer(column), integer(1), TypedValue::of_text(headings[column])});
    for (int row = 1; row <= 4; ++row) {
        std::string number = std::to_string(row);
        call_method(6, 1, 0x60001, Actions,
                    {integer(row), integer(0), integer(1), TypedValue::of_text(number.c_str())});
        for (int column = 1; column < 5; ++column)
            call_method(
                6, 1, 0x60001, Actions,
                {integer(row), integer(column), integer(1), integer(poses[row - 1][column - 1])});
    }
    call_method(6, 0, 0x60001, Actions, {integer(2), integer(3)});
}

void show_picture() {
    std::vector<std::uint8_t> dib = arm_picture(120, 88);
    void* block = runtime::make_byte_set(dib);
    auto& table = runtime::runtime_call_table();
    table.write_property(StartWindowId, ArmPicture, PictureIndex, -1,
                         reinterpret_cast<std::uintptr_t>(block));
    table.release(block);
}

platform::HWND gallery_window() {
    for (auto top : platform::top_level_windows())
        if (platform::get_class_name(top) == units::WindowUnit::ClassName)
            return top;
    return nullptr;
}

void print_units(platform::HWND top, platform::HWND parent) {
    for (auto child : platform::get_children(parent)) {
        if (!platform::is_window_visible(child))
            continue;
        platform::Rect r;
        platform::get_window_rect(child, r);
        platform::Point origin{r.left, r.top};
        platform::screen_to_client(top, origin);
        std::printf("%s %d %d %d %d\n", platform::get_class_name(child).c_str(), origin.x, origin.y,
                    r.width(), r.height());
        print_units(top, child);
    }
}

platform::HWND find_class(platform::HWND parent, const std::string& name) {
    for (auto child : platform::get_children(parent)) {
        if (platform::get_class_name(child) == name)
            return child;
        if (platform::HWND found = find_class(child, name))
            return found;
    }
    return nullptr;
}

// Runs once the window is shown: gives the grid the focus so that its
// current cell shows as it does in use, paints, keeps the picture, and closes.
void save_and_close(platform::HWND hwnd, platform::UINT, std::uintptr_t id, std::uint32_t) {
    platform::kill_timer(hwnd, id);
    if (platform::HWND grid = find_class(hwnd, units::GridUnit::ClassName))
        platform::set_focus(grid);
    bool saved = platform::save_window_png(hwnd, g_picture_path.c_str());
    std::printf("saved %d\n", saved ? 1 : 0);
    print_units(hwnd, hwnd);
    std::fflush(stdout);
    platform::post_message(hwnd, platform::WM_CLOSE);
}

int program_entry() {
    auto& table = runtime::runtime_call_table();
    table.runtime_notify(6, 0, 0, 0, 0, 0);
    table.load_window(StartWindowId);
    table.run_message_loop();
    return 0;
}

} // namespace

namespace unit_gallery {

runtime::HandlerResult started() {
    fill_status_bar();
    fill_grid();
    show_picture();
    platform::HWND window = gallery_window();
    platform::set_timer(window, SaveTimer, 10, save_and_close);
    return {};
}

} // namespace unit_gallery

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--", 2) != 0)
            g_picture_path = argv[i];
    if (g_picture_path.empty())
        return 2;
    return runtime::program_main(argc, argv, program_entry);
}
