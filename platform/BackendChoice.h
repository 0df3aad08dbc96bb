#pragma once

// Which display a program runs on is chosen explicitly: the command-line
// option --backend=gtk|headless, else the environment variable
// ARMCTL_BACKEND, else gtk. A user without a display gets a clear error,
// never a silent switch to the headless display.

#include "DisplayBackend.h"

#include <memory>
#include <string>

namespace platform {

enum class BackendKind { Gtk, Headless };

struct BackendRequest {
    BackendKind kind = BackendKind::Gtk;
    std::string error; // non-empty: the choice could not be understood
};

// Reads the choice; a --backend option is removed from argv so the program
// does not see it again. `env` is the value of ARMCTL_BACKEND (or nullptr).
BackendRequest read_backend_request(int& argc, char** argv, const char* env);

struct OpenedBackend {
    std::unique_ptr<DisplayBackend> backend;
    std::string error; // why there is no backend, in a form fit for the user
};

// Reads the choice from the command line and the environment and opens
// that display.
OpenedBackend open_backend(int& argc, char** argv);

} // namespace platform
