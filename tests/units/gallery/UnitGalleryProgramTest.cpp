// Runs the unit gallery program on the headless display and checks the
// picture it keeps in the build folder: it is the window's size, and every
// visible unit window put more than one colour where it stands.

#include <platform/process/ChildProcess.h>

#include <gtest/gtest.h>

#include <cairo.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Shown {
    std::string window_class;
    int left = 0, top = 0, width = 0, height = 0;
};

std::vector<Shown> parse_units(const std::string& out) {
    std::vector<Shown> units;
    std::istringstream lines(out);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        Shown s;
        if (fields >> s.window_class >> s.left >> s.top >> s.width >> s.height)
            units.push_back(s);
    }
    return units;
}

int distinct_colours(cairo_surface_t* picture, const Shown& at) {
    int width = cairo_image_surface_get_width(picture);
    int height = cairo_image_surface_get_height(picture);
    const unsigned char* data = cairo_image_surface_get_data(picture);
    int stride = cairo_image_surface_get_stride(picture);
    std::set<std::uint32_t> seen;
    for (int y = std::max(0, at.top); y < std::min(height, at.top + at.height); ++y)
        for (int x = std::max(0, at.left); x < std::min(width, at.left + at.width); ++x)
            seen.insert(*reinterpret_cast<const std::uint32_t*>(data + y * stride + x * 4) &
                        0xFFFFFF);
    return static_cast<int>(seen.size());
}

TEST(UnitGallery, EveryUnitTypeDrawsIntoThePictureInTheBuildFolder) {
    std::filesystem::path png(ARMCTL_GALLERY_PNG);
    std::filesystem::create_directories(png.parent_path());
    std::remove(ARMCTL_GALLERY_PNG);
    // The time limit is the watchdog: a program that never closes fails.
    platform::ProcessOptions options;
    options.limit_ms = 20000;
    auto run = platform::run_process(
        {ARMCTL_UNIT_GALLERY, "--backend=headless", ARMCTL_GALLERY_PNG}, options);
    ASSERT_TRUE(run.finished) << run.error;
    ASSERT_EQ(run.exit_status, 0) << run.out << run.err;
    ASSERT_NE(run.out.find("saved 1\n"), std::string::npos) << run.out;

    cairo_surface_t* picture = cairo_image_surface_create_from_png(ARMCTL_GALLERY_PNG);
    ASSERT_EQ(cairo_surface_status(picture), CAIRO_STATUS_SUCCESS);
    // The window's client area: the grid and the status bar reach across it.
    EXPECT_GE(cairo_image_surface_get_width(picture), 470);
    EXPECT_GE(cairo_image_surface_get_height(picture), 450);

    std::vector<Shown> units = parse_units(run.out);
    std::set<std::string> classes;
    for (const Shown& unit : units) {
        classes.insert(unit.window_class);
        EXPECT_GE(distinct_colours(picture, unit), 2)
            << unit.window_class << " at " << unit.left << "," << unit.top << " drew nothing";
    }
    cairo_surface_destroy(picture);
    for (const char* expected : {"BUTTON", "EDIT", "COMBOBOX", "msctls_statusbar32"})
        EXPECT_TRUE(classes.count(expected)) << expected << " missing from\n" << run.out;
    EXPECT_GE(units.size(), 16u) << run.out;
}

} // namespace
