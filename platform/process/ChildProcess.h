#pragma once

// A program started beside this one: the virtual arm's controller, or a
// program a test runs and watches from outside. The child gets our
// environment with the given changes, every signal at its default and
// unblocked, and its output either captured through pipes or shared with
// ours. Every wait has a time limit, so a child that hangs cannot stall us.

#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace platform {

struct ProcessOptions {
    // "NAME=value" entries that replace or add to our environment.
    std::vector<std::string> set_env;
    // Names left out of the child's environment.
    std::vector<std::string> unset_env;
    // Captured: standard output and error each in a pipe of ours.
    // Merged: both in the one pipe that reads as standard output.
    // Inherited: the child writes where we do.
    enum class Output { Captured, Merged, Inherited };
    Output output = Output::Captured;
    // Called over and over while we wait for the child to end, for a caller
    // whose own message loop has to keep turning; it should wait a little
    // itself (on its display, say) rather than return at once.
    std::function<void()> pump;
    // The time limit of run_process.
    int limit_ms = 5000;
};

struct ProcessResult {
    bool started = false;
    bool finished = false; // false: killed at the time limit
    // The exit status, or 128 + the signal number when a signal ended it;
    // -1 when it did not finish.
    int exit_status = -1;
    std::string out;
    std::string err;
    std::string error; // why it did not start
};

class ChildProcess {
  public:
    ChildProcess() = default;
    // Starts at once; started() tells whether it did.
    explicit ChildProcess(const std::vector<std::string>& argv, const ProcessOptions& options = {});
    ~ChildProcess() { stop(3000); }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts `argv`, searched on PATH.
    bool start(const std::vector<std::string>& argv, const ProcessOptions& options,
               std::string& error);
    bool started() const { return m_started; }
    bool running() const { return m_pid > 0; }
    // Readable when the child has exited; -1 when none runs.
    int exit_fd() const { return m_pidfd; }
    // Collects the child if it has exited. True then; exit_status() tells
    // how it ended.
    bool reap();
    int exit_status() const { return m_exit_status; }
    // Sends the running child a signal; false when none runs.
    bool signal(int number);
    // Asks the child to end (SIGTERM), waits up to `grace_ms`, then kills it.
    void stop(int grace_ms);

    // Reads the captured standard output until `done` holds for all of it
    // read so far, for up to limit_ms. What was read stays part of the
    // output wait_for_exit reports.
    bool wait_for_output(const std::function<bool(const std::string&)>& done, int limit_ms);
    // Reads the captured output until the child has ended and closed it, for
    // up to limit_ms; kills the child when it is still running then.
    ProcessResult wait_for_exit(int limit_ms);

  private:
    void collect(int status);
    void close_pipes();

    pid_t m_pid = -1;
    int m_pidfd = -1;
    int m_out = -1;
    int m_err = -1;
    bool m_started = false;
    int m_exit_status = -1;
    std::string m_out_text;
    std::string m_err_text;
    std::function<void()> m_pump;
};

// Runs `argv` to its end within options.limit_ms and reports what it wrote.
ProcessResult run_process(const std::vector<std::string>& argv, const ProcessOptions& options = {});

} // namespace platform
