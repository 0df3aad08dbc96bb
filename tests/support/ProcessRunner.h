#pragma once

// Runs a helper program (xdotool, the demo) as a child process while the
// test keeps its own message loop turning, with a time limit, so that a
// child that hangs fails the test instead of stalling it.

#include <functional>
#include <string>
#include <vector>

namespace platform::testing {

struct ProcessResult {
    bool started = false;
    bool finished = false; // false: killed at the time limit
    int exit_status = -1;  // the exit code, when it exited normally
    std::string out;
    std::string err;
};

struct ProcessOptions {
    int limit_ms = 5000;
    std::vector<std::string> unset_env;
    std::vector<std::string> set_env; // "NAME=value"
    // Called every few milliseconds while the child runs.
    std::function<void()> pump;
};

ProcessResult run_process(const std::vector<std::string>& argv, const ProcessOptions& options = {});

// A child that runs on until wait_for_exit; used for the demo program and
// the virtual arm.
class ChildProcess {
  public:
    explicit ChildProcess(const std::vector<std::string>& argv, const ProcessOptions& options = {});
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return m_pid > 0; }
    // Sends the running child a signal; false when it has been waited for.
    bool signal(int number);
    // Reads the child's standard output until `done` holds for all of it
    // read so far, for up to limit_ms. What was read stays part of the
    // output wait_for_exit reports.
    bool wait_for_output(const std::function<bool(const std::string&)>& done, int limit_ms);
    // Waits up to limit_ms; kills the child when it is still running then.
    ProcessResult wait_for_exit(int limit_ms);

  private:
    int m_pid = -1;
    int m_out = -1;
    int m_err = -1;
    std::string m_out_text;
    std::function<void()> m_pump;
};

} // namespace platform::testing
