#include "ProcessRunner.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace platform::testing {

namespace {

std::vector<std::string> child_environment(const ProcessOptions& options) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        std::string entry = *e;
        std::string name = entry.substr(0, entry.find('='));
        bool drop = false;
        for (const std::string& u : options.unset_env)
            drop = drop || u == name;
        for (const std::string& s : options.set_env)
            drop = drop || s.substr(0, s.find('=')) == name;
        if (!drop)
            env.push_back(entry);
    }
    env.insert(env.end(), options.set_env.begin(), options.set_env.end());
    return env;
}

std::vector<char*> pointers(std::vector<std::string>& strings) {
    std::vector<char*> p;
    for (std::string& s : strings)
        p.push_back(s.data());
    p.push_back(nullptr);
    return p;
}

int spawn(const std::vector<std::string>& argv, const ProcessOptions& options, int& out_fd,
          int& err_fd) {
    int out[2], err[2];
    if (pipe2(out, O_CLOEXEC) != 0)
        return -1;
    if (pipe2(err, O_CLOEXEC) != 0) {
        close(out[0]);
        close(out[1]);
        return -1;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    std::vector<std::string> args = argv;
    std::vector<std::string> env = child_environment(options);
    std::vector<char*> arg_p = pointers(args);
    std::vector<char*> env_p = pointers(env);
    pid_t pid = -1;
    int rc = posix_spawnp(&pid, arg_p[0], &actions, nullptr, arg_p.data(), env_p.data());
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    close(err[1]);
    if (rc != 0) {
        close(out[0]);
        close(err[0]);
        return -1;
    }
    out_fd = out[0];
    err_fd = err[0];
    return pid;
}

// Reads what is ready from the pipes; closes a pipe at its end.
void drain(int& fd, std::string& into) {
    if (fd < 0)
        return;
    char buffer[4096];
    ssize_t n = read(fd, buffer, sizeof buffer);
    if (n > 0)
        into.append(buffer, static_cast<std::size_t>(n));
    else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
        close(fd);
        fd = -1;
    }
}

ProcessResult collect(int pid, int& out_fd, int& err_fd, int limit_ms,
                      const std::function<void()>& pump) {
    ProcessResult r;
    r.started = true;
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limit_ms);
    int status = 0;
    bool exited = false;
    while (!exited || out_fd >= 0 || err_fd >= 0) {
        if (std::chrono::steady_clock::now() >= end) {
            kill(pid, SIGKILL);
            break;
        }
        // The pump waits on the display itself, so that input is handled the
        // moment it arrives (xdotool takes back a key mapping it borrowed
        // for a character right after typing it).
        if (pump)
            pump();
        pollfd fds[2] = {{out_fd, POLLIN, 0}, {err_fd, POLLIN, 0}};
        int ready = poll(fds, 2, pump ? 0 : 5);
        if (ready > 0) {
            if (fds[0].revents)
                drain(out_fd, r.out);
            if (fds[1].revents)
                drain(err_fd, r.err);
        }
        if (!exited && waitpid(pid, &status, WNOHANG) == pid)
            exited = true;
    }
    if (!exited)
        waitpid(pid, &status, 0);
    for (int* fd : {&out_fd, &err_fd}) {
        if (*fd >= 0)
            close(*fd);
        *fd = -1;
    }
    r.finished = exited;
    if (exited && WIFEXITED(status))
        r.exit_status = WEXITSTATUS(status);
    return r;
}

} // namespace

ProcessResult run_process(const std::vector<std::string>& argv, const ProcessOptions& options) {
    int out = -1, err = -1;
    int pid = spawn(argv, options, out, err);
    if (pid <= 0)
        return {};
    return collect(pid, out, err, options.limit_ms, options.pump);
}

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const ProcessOptions& options)
    : m_pump(options.pump) {
    m_pid = spawn(argv, options, m_out, m_err);
}

ChildProcess::~ChildProcess() {
    if (m_pid > 0) {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
    }
    for (int fd : {m_out, m_err})
        if (fd >= 0)
            close(fd);
}

bool ChildProcess::signal(int number) {
    return m_pid > 0 && kill(m_pid, number) == 0;
}

bool ChildProcess::wait_for_output(const std::function<bool(const std::string&)>& done,
                                   int limit_ms) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limit_ms);
    while (!done(m_out_text)) {
        auto left =
            std::chrono::ceil<std::chrono::milliseconds>(end - std::chrono::steady_clock::now())
                .count();
        if (m_out < 0 || left <= 0)
            return false;
        pollfd ready{m_out, POLLIN, 0};
        if (poll(&ready, 1, static_cast<int>(left)) > 0)
            drain(m_out, m_out_text);
    }
    return true;
}

ProcessResult ChildProcess::wait_for_exit(int limit_ms) {
    if (m_pid <= 0)
        return {};
    ProcessResult r = collect(m_pid, m_out, m_err, limit_ms, m_pump);
    r.out.insert(0, m_out_text);
    m_out_text.clear();
    m_pid = -1;
    return r;
}

} // namespace platform::testing
