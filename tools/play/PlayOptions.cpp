#include "PlayOptions.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string_view>
#include <strings.h>

namespace play {

namespace {

template <typename Integer> bool read_integer(std::string_view text, Integer& out) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, out);
    return ec == std::errc() && ptr == end && !text.empty();
}

bool read_number(const std::string& text, double& out) {
    if (text.empty())
        return false;
    char* end = nullptr;
    out = std::strtod(text.c_str(), &end);
    return end == text.c_str() + text.size() && std::isfinite(out);
}

// "COM3", "com3" or "3".
bool read_com(std::string_view text, int& com) {
    if (text.size() > 3 && strncasecmp(text.data(), "COM", 3) == 0)
        text.remove_prefix(3);
    return read_integer(text, com) && com >= 1 && com <= 9999;
}

} // namespace

std::uint32_t interval_for_speed(double speed) {
    double clamped = std::min(std::max(speed, 1.0), 20.0);
    return static_cast<std::uint32_t>(std::trunc((21.0 - clamped) * 50.0));
}

const char* play_usage() {
    return "usage: armctl-play FILE [--com N | --device PATH] [--speed S | --interval MS]\n"
           "                   [--cycles N | --forever] [--dry-run] [--json]\n"
           "       armctl-play --help | --version\n";
}

PlayOptions read_play_options(int argc, char** argv) {
    PlayOptions options;
    bool speed_given = false, interval_given = false, cycles_given = false, forever = false;
    auto fail = [&](std::string message) {
        options.error = std::move(message);
        return options;
    };
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            continue;
        }
        if (arg == "--version") {
            options.version = true;
            continue;
        }
        if (arg == "--dry-run") {
            options.dry_run = true;
            continue;
        }
        if (arg == "--json") {
            options.json = true;
            continue;
        }
        if (arg == "--forever") {
            forever = true;
            continue;
        }
        if (arg == "--") {
            if (i + 2 != argc || !options.file.empty())
                return fail("expected one FILE after --");
            options.file = argv[++i];
            continue;
        }
        if (!arg.starts_with("-") || arg == "-") {
            if (!options.file.empty())
                return fail("more than one FILE: " + options.file + " and " + std::string(arg));
            options.file = std::string(arg);
            continue;
        }
        // The valued options take "--name value" or "--name=value".
        std::string_view name = arg.substr(0, arg.find('='));
        if (name != "--com" && name != "--device" && name != "--speed" && name != "--interval" &&
            name != "--cycles")
            return fail("unknown option " + std::string(arg));
        std::string value;
        if (name.size() < arg.size())
            value = std::string(arg.substr(name.size() + 1));
        else if (i + 1 < argc)
            value = argv[++i];
        else
            return fail(std::string(name) + " needs a value");

        if (name == "--com") {
            int com = 0;
            if (!read_com(value, com))
                return fail("--com takes a COM number from 1 to 9999, not \"" + value + "\"");
            options.com = com;
        } else if (name == "--device") {
            if (value.empty())
                return fail("--device needs a path");
            options.device = value;
        } else if (name == "--speed") {
            double speed = 0;
            if (!read_number(value, speed))
                return fail("--speed takes a number (1 to 20), not \"" + value + "\"");
            options.interval_ms = interval_for_speed(speed);
            speed_given = true;
        } else if (name == "--interval") {
            std::uint32_t ms = 0;
            if (!read_integer(std::string_view(value), ms) || ms > 86'400'000)
                return fail("--interval takes whole milliseconds from 0 to 86400000, not \"" +
                            value + "\"");
            options.interval_ms = ms;
            interval_given = true;
        } else {
            std::int64_t cycles = 0;
            if (!read_integer(std::string_view(value), cycles) || cycles < 1)
                return fail("--cycles takes a whole number of at least 1, not \"" + value + "\"");
            options.cycles = cycles;
            cycles_given = true;
        }
    }
    if (options.help || options.version)
        return options;
    if (options.com && options.device)
        return fail("--com and --device name the port twice; give one");
    if (speed_given && interval_given)
        return fail("--speed and --interval both set the wait; give one");
    if (cycles_given && forever)
        return fail("--cycles and --forever both set the passes; give one");
    if (forever)
        options.cycles.reset();
    if (options.file.empty())
        return fail("no FILE to play");
    return options;
}

} // namespace play
