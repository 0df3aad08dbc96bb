#include "ArmOptions.h"

#include <charconv>
#include <cmath>
#include <string_view>

namespace arm {

namespace {

bool read_int(std::string_view text, int& out) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, out);
    return ec == std::errc() && ptr == end && !text.empty();
}

bool read_travel(std::string_view text, ServoSettings& servo) {
    std::size_t colon = text.find(':', 1);
    if (colon == std::string_view::npos)
        return false;
    int low = 0, high = 0;
    if (!read_int(text.substr(0, colon), low) || !read_int(text.substr(colon + 1), high))
        return false;
    if (low >= high)
        return false;
    servo.min_angle = low;
    servo.max_angle = high;
    return true;
}

bool read_speed(const std::string& text, ServoSettings& servo) {
    std::size_t used = 0;
    double seconds = 0;
    try {
        seconds = std::stod(text, &used);
    } catch (...) {
        return false;
    }
    if (used != text.size() || !std::isfinite(seconds) || seconds < 0 || seconds > 60)
        return false;
    servo.ms_per_degree = seconds * 1000.0 / 60.0;
    return true;
}

} // namespace

const char* arm_usage() {
    return "usage: armctl-arm [--com N] [--headless] [--travel MIN:MAX] [--speed SECONDS]\n"
           "                  [--backend=gtk|headless] [-- PROGRAM [ARGS...]]\n"
           "       armctl-arm --help | --version\n";
}

ArmOptions read_arm_options(int argc, char** argv) {
    ArmOptions options;
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg == "--") {
            for (++i; i < argc; ++i)
                options.program.emplace_back(argv[i]);
            break;
        }
        if (arg == "--headless") {
            options.headless = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            continue;
        }
        if (arg == "--version") {
            options.version = true;
            continue;
        }
        if (arg.starts_with("--backend"))
            continue;
        // The valued options take "--name value" or "--name=value".
        std::string_view name = arg.substr(0, arg.find('='));
        if (name != "--com" && name != "--travel" && name != "--speed") {
            options.error = "unknown option " + std::string(arg);
            return options;
        }
        std::string value;
        if (name.size() < arg.size()) {
            value = std::string(arg.substr(name.size() + 1));
        } else if (i + 1 < argc) {
            value = argv[++i];
        } else {
            options.error = std::string(name) + " needs a value";
            return options;
        }
        bool good = false;
        if (name == "--com")
            good = read_int(value, options.com) && options.com >= 1 && options.com <= 99;
        else if (name == "--travel")
            good = read_travel(value, options.servo);
        else
            good = read_speed(value, options.servo);
        if (!good) {
            options.error = "bad value for " + std::string(name) + ": " + value;
            return options;
        }
    }
    return options;
}

} // namespace arm
