#include "platform/process/ChildProcess.h"

#include <tests/support/ScopedEnv.h>

#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <poll.h>

namespace test_support {
namespace {

using platform::ChildProcess;
using platform::ProcessOptions;
using platform::ProcessResult;
using platform::run_process;

TEST(ChildProcess, OutputAndErrorAreKeptApartUnlessMerged) {
    std::vector<std::string> script = {"sh", "-c", "printf out; printf err >&2; exit 4"};
    ProcessResult apart = run_process(script);
    ASSERT_TRUE(apart.finished) << apart.error;
    EXPECT_EQ(apart.exit_status, 4);
    EXPECT_EQ(apart.out, "out");
    EXPECT_EQ(apart.err, "err");

    ProcessOptions merged;
    merged.output = ProcessOptions::Output::Merged;
    ProcessResult one = run_process(script, merged);
    EXPECT_EQ(one.out, "outerr");
    EXPECT_EQ(one.err, "");
}

TEST(ChildProcess, EnvironmentChangesReachOnlyTheChild) {
    ScopedEnv kept("ARMCTL_PROBE_KEPT", "ours");
    ScopedEnv dropped("ARMCTL_PROBE_DROPPED", "ours");
    ProcessOptions options;
    options.set_env = {"ARMCTL_PROBE_KEPT=theirs", "ARMCTL_PROBE_NEW=new"};
    options.unset_env = {"ARMCTL_PROBE_DROPPED"};
    ProcessResult r =
        run_process({"sh", "-c",
                     "printf '%s,%s,%s' \"$ARMCTL_PROBE_KEPT\" \"${ARMCTL_PROBE_DROPPED-unset}\" "
                     "\"$ARMCTL_PROBE_NEW\""},
                    options);
    EXPECT_EQ(r.out, "theirs,unset,new");
    EXPECT_STREQ(std::getenv("ARMCTL_PROBE_KEPT"), "ours");
    EXPECT_EQ(std::getenv("ARMCTL_PROBE_NEW"), nullptr);
}

TEST(ChildProcess, AProgramThatCannotStartSaysWhy) {
    ProcessResult r = run_process({"/nonexistent/armctl-probe"});
    EXPECT_FALSE(r.started);
    EXPECT_FALSE(r.finished);
    EXPECT_NE(r.error.find("/nonexistent/armctl-probe"), std::string::npos) << r.error;
}

TEST(ChildProcess, AChildPastTheTimeLimitIsKilledAndReportedUnfinished) {
    ProcessOptions options;
    options.limit_ms = 200;
    int pumped = 0;
    options.pump = [&] {
        ++pumped;
        poll(nullptr, 0, 5);
    };
    auto start = std::chrono::steady_clock::now();
    ProcessResult r = run_process({"sh", "-c", "printf begun; exec sleep 600"}, options);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_TRUE(r.started);
    EXPECT_FALSE(r.finished);
    EXPECT_EQ(r.exit_status, -1);
    EXPECT_EQ(r.out, "begun") << "what it wrote before the limit is kept";
    EXPECT_GT(pumped, 5) << "the caller's loop turned while it waited";
}

TEST(ChildProcess, StopEndsAProgramThatKeepsRunningAndSaysBySignal) {
    ChildProcess program;
    std::string error;
    ASSERT_TRUE(program.start({"sh", "-c", "exec sleep 600"}, {}, error)) << error;
    EXPECT_TRUE(program.running());
    EXPECT_GE(program.exit_fd(), 0);
    program.stop(5000);
    EXPECT_FALSE(program.running());
    EXPECT_EQ(program.exit_fd(), -1);
    EXPECT_EQ(program.exit_status(), 128 + SIGTERM);
}

TEST(ChildProcess, OutputCanBeAwaitedWhileTheChildRunsOn) {
    ChildProcess child({"sh", "-c", "printf ready; exec sleep 600"});
    ASSERT_TRUE(child.started());
    EXPECT_TRUE(child.wait_for_output([](const std::string& s) { return s == "ready"; }, 5000));
    EXPECT_TRUE(child.running());
    ASSERT_TRUE(child.signal(SIGTERM));
    ProcessResult r = child.wait_for_exit(5000);
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.exit_status, 128 + SIGTERM);
    EXPECT_EQ(r.out, "ready") << "output read while waiting is part of the result";
}

TEST(ChildProcess, TheExitDescriptorBecomesReadableWhenTheChildEnds) {
    ChildProcess child;
    ProcessOptions options;
    options.output = ProcessOptions::Output::Inherited;
    std::string error;
    ASSERT_TRUE(child.start({"sh", "-c", "exit 7"}, options, error)) << error;
    pollfd exited{child.exit_fd(), POLLIN, 0};
    ASSERT_EQ(poll(&exited, 1, 5000), 1);
    EXPECT_TRUE(child.reap());
    EXPECT_EQ(child.exit_status(), 7);
    EXPECT_FALSE(child.reap()) << "a reaped child is not reaped again";
}

} // namespace
} // namespace test_support
