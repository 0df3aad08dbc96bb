#pragma once

// A program the arm starts beside itself (the controller, typically), with
// the line's path in its environment. The two end together: the arm stops
// when the program exits, and asks the program to stop when the arm does.

#include <string>
#include <sys/types.h>
#include <vector>

namespace arm {

class ChildProgram {
  public:
    ChildProgram() = default;
    ~ChildProgram() { stop(3000); }
    ChildProgram(const ChildProgram&) = delete;
    ChildProgram& operator=(const ChildProgram&) = delete;

    // Starts `argv` (searched on PATH) with `environment` entries
    // ("NAME=value") added to ours and every signal at its default and
    // unblocked.
    bool start(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
               std::string& error);
    bool running() const { return m_pid > 0; }
    // Readable when the program has exited; -1 when none runs.
    int exit_fd() const { return m_pidfd; }
    // Collects the program if it has exited. True then; exit_code() tells
    // how it ended (128 + signal number when a signal ended it).
    bool reap();
    int exit_code() const { return m_exit_code; }
    // Asks the program to end (SIGTERM), waits up to `grace_ms`, then kills it.
    void stop(int grace_ms);

  private:
    void collect(int status);

    pid_t m_pid = -1;
    int m_pidfd = -1;
    int m_exit_code = 0;
};

} // namespace arm
