// The virtual arm: plays the far end of the controller's serial line on a
// pseudo-terminal, published in the COM port map, and shows what the arm
// does with what it receives.
//
//   armctl-arm [--com N] [--headless] [--travel MIN:MAX] [--speed SECONDS]
//              [--backend=gtk|headless] [-- PROGRAM [ARGS...]]

#include "ArmLink.h"
#include "ArmOptions.h"
#include "ArmWindow.h"
#include "HeadlessArm.h"
#include "PortEntry.h"

#include "platform/BackendChoice.h"
#include "platform/Encoding.h"
#include "platform/process/ChildProcess.h"
#include "platform/serial/Pty.h"
#include <platform/window/WindowSystem.h>

#include <ArmctlVersion.h>

#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

using namespace arm;

// Reads the link on its own thread and hands everything to the window.
// Returns the exit code for the run: the program's when it ended, 128 + the
// signal number for a stop signal, 0 otherwise.
void read_link(ArmLink& link, LinkInbox& inbox, platform::HWND window, int& exit_code) {
    for (;;) {
        LinkEvent event = link.wait();
        switch (event.kind) {
        case LinkEvent::Kind::Bytes:
        case LinkEvent::Kind::SenderClosed: {
            InboxItem item{event.time, std::move(event.bytes),
                           event.kind == LinkEvent::Kind::SenderClosed};
            if (inbox.put(std::move(item)))
                platform::post_message(window, ArmWindow::WM_ARM_INPUT);
            break;
        }
        case LinkEvent::Kind::Signal:
        case LinkEvent::Kind::ProgramExited:
            exit_code = event.kind == LinkEvent::Kind::Signal ? 128 + event.code : event.code;
            platform::post_message(window, platform::WM_CLOSE);
            return;
        case LinkEvent::Kind::Stopped:
            return;
        }
    }
}

int run_window(int argc, char** argv, const ArmOptions& options, ArmLink& link,
               const std::string& port) {
    platform::OpenedBackend opened = platform::open_backend(argc, argv);
    if (!opened.backend) {
        std::fprintf(stderr, "armctl-arm: %s\n", opened.error.c_str());
        return 1;
    }
    platform::initialize(opened.backend.get());
    int exit_code = 0;
    {
        std::unique_ptr<ArmWindow> window =
            ArmWindow::create(options.servo, platform::utf8_to_gbk(port), steady_now);
        if (!window) {
            std::fprintf(stderr, "armctl-arm: cannot create the window\n");
            platform::shutdown();
            return 1;
        }
        platform::HWND hwnd = window->hwnd();
        std::thread reader([&] { read_link(link, window->inbox(), hwnd, exit_code); });
        platform::Msg msg;
        while (platform::get_message(msg)) {
            platform::translate_message(msg);
            platform::dispatch_message(msg);
        }
        link.request_stop();
        window->inbox().close();
        reader.join();
    }
    platform::shutdown();
    return exit_code;
}

} // namespace

int main(int argc, char** argv) {
    ArmOptions options = read_arm_options(argc, argv);
    if (options.help) {
        std::fputs(arm_usage(), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("armctl-arm %s\n", ARMCTL_VERSION);
        return 0;
    }
    if (!options.error.empty()) {
        std::fprintf(stderr, "armctl-arm: %s\n%s", options.error.c_str(), arm_usage());
        return 2;
    }
    // Before any thread exists, so that every thread inherits the mask.
    block_stop_signals();
    Millis start = steady_now();

    std::string error;
    std::unique_ptr<platform::Pty> pty = platform::Pty::open(error);
    if (!pty) {
        std::fprintf(stderr, "armctl-arm: cannot open a pseudo-terminal: %s\n", error.c_str());
        return 1;
    }
    std::string com = "COM" + std::to_string(options.com);

    PortEntry entry;
    std::string entry_path =
        PortEntry::path_for(options.com, std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
    if (entry_path.empty() || !entry.publish(entry_path, pty->slave_path(), error)) {
        if (entry_path.empty())
            error = "no HOME or XDG_CONFIG_HOME for the port map";
        // A started program finds the line through its environment anyway.
        if (options.program.empty()) {
            std::fprintf(stderr, "armctl-arm: cannot publish %s: %s\n", com.c_str(), error.c_str());
            return 1;
        }
        std::fprintf(stderr, "armctl-arm: %s not in the port map (%s)\n", com.c_str(),
                     error.c_str());
    }

    platform::ChildProcess program;
    if (!options.program.empty()) {
        platform::ProcessOptions started;
        started.set_env = {"ARMCTL_" + com + "=" + pty->slave_path()};
        started.output = platform::ProcessOptions::Output::Inherited;
        if (!program.start(options.program, started, error)) {
            std::fprintf(stderr, "armctl-arm: cannot start %s\n", error.c_str());
            return 1;
        }
    }

    ArmLink link(*pty, &program);
    if (!link.open(error)) {
        std::fprintf(stderr, "armctl-arm: %s\n", error.c_str());
        return 1;
    }
    std::fprintf(stderr, "armctl-arm: %s is %s\n", com.c_str(), pty->slave_path().c_str());

    int exit_code = 0;
    if (options.headless) {
        ArmSession session(options.servo, start);
        exit_code = run_headless(link, session, start, stdout);
    } else {
        exit_code = run_window(argc, argv, options, link, com + " → " + pty->slave_path());
    }
    program.stop(3000);
    entry.withdraw();
    return exit_code;
}
