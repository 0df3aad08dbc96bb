#include "BackendChoice.h"

#include <platform/gtk/GtkBackend.h>
#include <platform/headless/HeadlessBackend.h>

#include <cstdlib>
#include <string_view>

namespace platform {

namespace {

bool parse_kind(std::string_view name, BackendKind& kind) {
    if (name == "gtk") {
        kind = BackendKind::Gtk;
        return true;
    }
    if (name == "headless") {
        kind = BackendKind::Headless;
        return true;
    }
    return false;
}

std::string unknown(std::string_view name) {
    return "unknown backend '" + std::string(name) + "' (use gtk or headless)";
}

} // namespace

BackendRequest read_backend_request(int& argc, char** argv, const char* env) {
    BackendRequest request;
    bool from_command_line = false;
    constexpr std::string_view option = "--backend";
    int out = 1;
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        std::string_view value;
        bool matched = false;
        if (arg.starts_with(option) && arg.size() > option.size() && arg[option.size()] == '=') {
            value = arg.substr(option.size() + 1);
            matched = true;
        } else if (arg == option) {
            if (i + 1 >= argc) {
                request.error = "--backend needs a value (gtk or headless)";
                continue;
            }
            value = argv[++i];
            matched = true;
        }
        if (!matched) {
            argv[out++] = argv[i];
            continue;
        }
        from_command_line = true;
        if (!parse_kind(value, request.kind))
            request.error = unknown(value);
    }
    if (out < argc)
        argv[out] = nullptr;
    argc = out;
    if (!from_command_line && request.error.empty() && env && *env &&
        !parse_kind(env, request.kind))
        request.error = unknown(env) + " in ARMCTL_BACKEND";
    return request;
}

OpenedBackend open_backend(int& argc, char** argv) {
    OpenedBackend opened;
    BackendRequest request = read_backend_request(argc, argv, std::getenv("ARMCTL_BACKEND"));
    if (!request.error.empty()) {
        opened.error = request.error;
        return opened;
    }
    if (request.kind == BackendKind::Headless) {
        auto headless = std::make_unique<HeadlessBackend>();
        const char* quit = std::getenv("ARMCTL_EXIT_AFTER_FIRST_FRAME");
        if (quit && *quit && std::string_view(quit) != "0")
            headless->quit_after_first_frame();
        opened.backend = std::move(headless);
        return opened;
    }
    if (!GtkBackend::open_display(&argc, &argv, opened.error))
        return opened;
    opened.backend = std::make_unique<GtkBackend>();
    return opened;
}

} // namespace platform
