// armctl-play: plays an action file on the arm without the window, as the
// window's Run plays the table the file loads into.

#include "PlayFile.h"
#include "PlayOptions.h"
#include "PlaySteps.h"
#include "Playback.h"

#include <ArmctlVersion.h>

#include <csignal>
#include <cstdio>

int main(int argc, char** argv) {
    using namespace play;
    PlayOptions options = read_play_options(argc, argv);
    if (!options.error.empty()) {
        std::fprintf(stderr, "armctl-play: %s\n%s", options.error.c_str(), play_usage());
        return exit_code::BadArguments;
    }
    if (options.help) {
        std::fputs(play_usage(), stdout);
        std::fputs(
            "\nPlays an action file (lines of \"gripper,shoulder,elbow,base\" ending in CR LF)\n"
            "on the arm, one row command per step, as the controller's Run does.\n"
            "  --com N        the port map's COMn (default COM1)\n"
            "  --device PATH  this device instead\n"
            "  --speed S      1 to 20; the wait is (21 - S) x 50 ms (default 10: 550 ms)\n"
            "  --interval MS  the wait after each row, in milliseconds\n"
            "  --cycles N     passes over the table (default 1); --forever: until stopped\n"
            "  --dry-run      print the row commands and their times; open no port\n"
            "  --json         one line of JSON per step on standard output\n"
            "Exit: 0 played, 1 bad arguments or file, 2 port not opened, 3 line lost,\n"
            "128 + N stopped by signal N.\n",
            stdout);
        return exit_code::Played;
    }
    if (options.version) {
        std::printf("armctl-play %s\n", ARMCTL_VERSION);
        return exit_code::Played;
    }

    PlayFile file = read_play_file(options.file);
    if (!file.ok) {
        std::fprintf(stderr, "armctl-play: %s\n", file.error.c_str());
        return exit_code::BadArguments;
    }
    std::vector<Step> steps = pass_steps(file.rows);
    if (steps.empty()) {
        std::fprintf(stderr, "armctl-play: %s: no row to play\n", options.file.c_str());
        return exit_code::Played;
    }
    if (options.dry_run) {
        print_dry_run(options, steps, stdout);
        return exit_code::Played;
    }
    // Before the port's threads start, so that only the playback's own
    // waits take the stop signals, between writes.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    return play_on_port(options, steps, stdout, stderr);
}
