#include "ChildProgram.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace arm {

bool ChildProgram::start(const std::vector<std::string>& argv,
                         const std::vector<std::string>& environment, std::string& error) {
    if (argv.empty()) {
        error = "no program to start";
        return false;
    }
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    std::vector<char*> env;
    for (char** e = environ; *e; ++e) {
        bool replaced = false;
        for (const std::string& added : environment) {
            std::size_t name = added.find('=') + 1;
            replaced = replaced || std::strncmp(*e, added.c_str(), name) == 0;
        }
        if (!replaced)
            env.push_back(*e);
    }
    for (const std::string& added : environment)
        env.push_back(const_cast<char*>(added.c_str()));
    env.push_back(nullptr);

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
    pid_t pid = -1;
    int rc = posix_spawnp(&pid, args[0], nullptr, &attr, args.data(), env.data());
    posix_spawnattr_destroy(&attr);
    if (rc != 0) {
        error = argv[0] + ": " + std::strerror(rc);
        return false;
    }
    m_pid = pid;
    m_pidfd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
    if (m_pidfd < 0) {
        error = std::string("pidfd_open: ") + std::strerror(errno);
        stop(0);
        return false;
    }
    return true;
}

void ChildProgram::collect(int status) {
    m_exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    m_pid = -1;
    if (m_pidfd >= 0)
        close(m_pidfd);
    m_pidfd = -1;
}

bool ChildProgram::reap() {
    if (m_pid <= 0)
        return false;
    int status = 0;
    pid_t r = waitpid(m_pid, &status, WNOHANG);
    if (r != m_pid)
        return false;
    collect(status);
    return true;
}

void ChildProgram::stop(int grace_ms) {
    if (m_pid <= 0 || reap())
        return;
    kill(m_pid, SIGTERM);
    if (m_pidfd >= 0 && grace_ms > 0) {
        pollfd pfd{m_pidfd, POLLIN, 0};
        while (poll(&pfd, 1, grace_ms) < 0 && errno == EINTR) {
        }
    }
    if (reap())
        return;
    kill(m_pid, SIGKILL);
    int status = 0;
    while (waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
    }
    collect(status);
}

} // namespace arm
