#pragma once

// Runs a shell command as a child process and collects its standard output
// and exit code, for tests that watch a whole program from outside.

#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace armctl::testing {

struct ChildRun {
    int exit_code = -1; // -1 when the child did not exit normally
    std::string out;
};

inline ChildRun run_child(const std::string& command) {
    ChildRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return run;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.out.append(buffer, n);
    int status = pclose(pipe);
    if (WIFEXITED(status))
        run.exit_code = WEXITSTATUS(status);
    return run;
}

} // namespace armctl::testing
