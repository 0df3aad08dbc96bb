#include "ChildProcess.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;

std::string name_of(const std::string& entry) {
    return entry.substr(0, entry.find('='));
}

std::vector<std::string> child_environment(const ProcessOptions& options) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        std::string entry = *e;
        std::string name = name_of(entry);
        bool drop = false;
        for (const std::string& u : options.unset_env)
            drop = drop || u == name;
        for (const std::string& s : options.set_env)
            drop = drop || name_of(s) == name;
        if (!drop)
            env.push_back(std::move(entry));
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

int left_ms(Clock::time_point end) {
    auto left = std::chrono::ceil<std::chrono::milliseconds>(end - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// Reads what is ready from a pipe; closes the pipe at its end.
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

} // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const ProcessOptions& options) {
    std::string ignored;
    start(argv, options, ignored);
}

bool ChildProcess::start(const std::vector<std::string>& argv, const ProcessOptions& options,
                         std::string& error) {
    if (m_pid > 0) {
        error = "a program is running already";
        return false;
    }
    if (argv.empty()) {
        error = "no program to start";
        return false;
    }
    int out[2] = {-1, -1}, err[2] = {-1, -1};
    bool capture = options.output != ProcessOptions::Output::Inherited;
    bool separate = options.output == ProcessOptions::Output::Captured;
    if ((capture && pipe2(out, O_CLOEXEC) != 0) || (separate && pipe2(err, O_CLOEXEC) != 0)) {
        error = std::string("pipe: ") + std::strerror(errno);
        for (int fd : {out[0], out[1]})
            if (fd >= 0)
                close(fd);
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (capture) {
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_adddup2(&actions, separate ? err[1] : out[1], 2);
    }
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    for (int s : {SIGINT, SIGTERM, SIGHUP, SIGPIPE, SIGCHLD})
        sigaddset(&defaults, s);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &defaults);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    std::vector<std::string> args = argv;
    std::vector<std::string> env = child_environment(options);
    std::vector<char*> arg_p = pointers(args);
    std::vector<char*> env_p = pointers(env);
    pid_t pid = -1;
    int rc = posix_spawnp(&pid, arg_p[0], &actions, &attr, arg_p.data(), env_p.data());
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&actions);
    for (int fd : {out[1], err[1]})
        if (fd >= 0)
            close(fd);
    if (rc != 0) {
        for (int fd : {out[0], err[0]})
            if (fd >= 0)
                close(fd);
        error = argv[0] + ": " + std::strerror(rc);
        return false;
    }
    m_pid = pid;
    m_out = out[0];
    m_err = err[0];
    m_out_text.clear();
    m_err_text.clear();
    m_pump = options.pump;
    m_exit_status = -1;
    m_started = true;
    m_pidfd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
    if (m_pidfd < 0) {
        error = std::string("pidfd_open: ") + std::strerror(errno);
        stop(0);
        close_pipes();
        m_started = false;
        return false;
    }
    return true;
}

void ChildProcess::collect(int status) {
    m_exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    m_pid = -1;
    if (m_pidfd >= 0)
        close(m_pidfd);
    m_pidfd = -1;
}

void ChildProcess::close_pipes() {
    for (int* fd : {&m_out, &m_err}) {
        if (*fd >= 0)
            close(*fd);
        *fd = -1;
    }
}

bool ChildProcess::reap() {
    if (m_pid <= 0)
        return false;
    int status = 0;
    if (waitpid(m_pid, &status, WNOHANG) != m_pid)
        return false;
    collect(status);
    return true;
}

bool ChildProcess::signal(int number) {
    return m_pid > 0 && kill(m_pid, number) == 0;
}

void ChildProcess::stop(int grace_ms) {
    if (m_pid > 0 && !reap()) {
        kill(m_pid, SIGTERM);
        if (m_pidfd >= 0 && grace_ms > 0) {
            pollfd pfd{m_pidfd, POLLIN, 0};
            while (poll(&pfd, 1, grace_ms) < 0 && errno == EINTR) {
            }
        }
        if (!reap()) {
            kill(m_pid, SIGKILL);
            int status = 0;
            while (waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
            }
            collect(status);
        }
    }
    close_pipes();
}

bool ChildProcess::wait_for_output(const std::function<bool(const std::string&)>& done,
                                   int limit_ms) {
    auto end = Clock::now() + std::chrono::milliseconds(limit_ms);
    while (!done(m_out_text)) {
        int left = left_ms(end);
        if (m_out < 0 || left <= 0)
            return false;
        pollfd ready{m_out, POLLIN, 0};
        if (poll(&ready, 1, left) > 0)
            drain(m_out, m_out_text);
    }
    return true;
}

ProcessResult ChildProcess::wait_for_exit(int limit_ms) {
    ProcessResult r;
    if (!m_started)
        return r;
    r.started = true;
    auto end = Clock::now() + std::chrono::milliseconds(limit_ms);
    while (m_pid > 0 || m_out >= 0 || m_err >= 0) {
        if (Clock::now() >= end) {
            if (m_pid > 0)
                kill(m_pid, SIGKILL);
            break;
        }
        // The pump waits on its display itself, so that what arrives there
        // is handled the moment it does (xdotool takes back a key mapping it
        // borrowed for a character right after typing it).
        if (m_pump)
            m_pump();
        pollfd fds[3] = {{m_out, POLLIN, 0}, {m_err, POLLIN, 0}, {m_pidfd, POLLIN, 0}};
        if (poll(fds, 3, m_pump ? 0 : left_ms(end)) > 0) {
            if (fds[0].revents)
                drain(m_out, m_out_text);
            if (fds[1].revents)
                drain(m_err, m_err_text);
        }
        reap();
    }
    r.finished = m_pid <= 0;
    if (m_pid > 0) {
        int status = 0;
        while (waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
        }
        collect(status);
    } else {
        r.exit_status = m_exit_status;
    }
    close_pipes();
    r.out = std::move(m_out_text);
    r.err = std::move(m_err_text);
    m_out_text.clear();
    m_err_text.clear();
    m_started = false;
    return r;
}

ProcessResult run_process(const std::vector<std::string>& argv, const ProcessOptions& options) {
    ChildProcess child;
    ProcessResult r;
    if (!child.start(argv, options, r.error))
        return r;
    return child.wait_for_exit(options.limit_ms);
}

} // namespace platform
