// The demo program as a user runs it.

#include "XRequests.h"
#include <tests/support/ProcessRunner.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

namespace platform::testing {
namespace {

bool have_display() {
    const char* d = std::getenv("DISPLAY");
    return d && *d;
}

std::uint32_t big_endian(const std::string& s, std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i)
        v = (v << 8) | static_cast<unsigned char>(s[at + i]);
    return v;
}

TEST(DemoProgram, WithoutADisplayItSaysSoAndFails) {
    ProcessOptions options;
    options.unset_env = {"DISPLAY", "WAYLAND_DISPLAY", "ARMCTL_BACKEND"};
    ProcessResult r = run_process({ARMCTL_DEMO_PATH}, options);
    ASSERT_TRUE(r.finished);
    EXPECT_NE(r.exit_status, 0);
    EXPECT_EQ(r.err,
              "armctl-demo: no display available; set DISPLAY or run with --backend=headless\n");
}

TEST(DemoProgram, HeadlessScreenshotIsAPngOfTheClientArea) {
    std::string path = ::testing::TempDir() + "armctl-demo-" + std::to_string(getpid()) + ".png";
    std::remove(path.c_str());
    ProcessOptions options;
    options.set_env = {"ARMCTL_DEMO_SCREENSHOT=" + path};
    ProcessResult r = run_process({ARMCTL_DEMO_PATH, "--backend=headless"}, options);
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.exit_status, 0) << r.err;
    std::ifstream in(path, std::ios::binary);
    std::string png((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(png.size(), 24u);
    EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
    // 640 x 400 outside, less the frame of a sizable captioned window.
    EXPECT_EQ(big_endian(png, 16), 632u);
    EXPECT_EQ(big_endian(png, 20), 369u);
    std::remove(path.c_str());
}

TEST(DemoProgram, HeadlessWithoutAScreenshotExplainsInsteadOfWaitingForever) {
    ProcessOptions options;
    options.set_env = {"ARMCTL_BACKEND=headless"};
    options.unset_env = {"ARMCTL_DEMO_SCREENSHOT"};
    ProcessResult r = run_process({ARMCTL_DEMO_PATH}, options);
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.exit_status, 2);
    EXPECT_NE(r.err.find("ARMCTL_DEMO_SCREENSHOT"), std::string::npos) << r.err;
}

TEST(DemoProgram, ClosingTheWindowEndsTheProgramWithZero) {
    if (!have_display())
        GTEST_SKIP() << "needs an X display; run under xvfb-run";
    ProcessOptions options;
    options.unset_env = {"ARMCTL_BACKEND", "ARMCTL_DEMO_SCREENSHOT"};
    ChildProcess demo({ARMCTL_DEMO_PATH}, options);
    ASSERT_TRUE(demo.started());
    ProcessResult found =
        run_process({"xdotool", "search", "--sync", "--onlyvisible", "--name", "Platform demo"});
    ASSERT_TRUE(found.finished) << "the demo window never appeared";
    ASSERT_EQ(found.exit_status, 0);
    unsigned long xid = std::stoul(found.out);
    // Some use first: a click on a pad and typing into the text pad.
    run_process({"xdotool", "mousemove", "--window", std::to_string(xid), "100", "78", "click", "1",
                 "mousemove", "--window", std::to_string(xid), "100", "150", "click", "1", "type",
                 "ok"});
    ASSERT_TRUE(send_delete_request(xid));
    ProcessResult r = demo.wait_for_exit(5000);
    ASSERT_TRUE(r.finished) << "the demo did not end after the close request";
    EXPECT_EQ(r.exit_status, 0) << r.err;
}

} // namespace
} // namespace platform::testing
