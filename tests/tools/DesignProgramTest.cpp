// The program built from ProbeProgram.design, run as a child on the headless
// display: the runtime finds the design through the linked program header,
// creates the window with its units, and runs the bound handlers.

#include "DesignTestTypes.h"

#include <DesignCompiler.h>

#include <platform/process/ChildProcess.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace {

platform::ProcessResult run_program(const std::string& argument) {
    // The time limit is the watchdog: a loop that never ends fails the test.
    platform::ProcessOptions options;
    options.limit_ms = 10000;
    platform::ProcessResult run =
        platform::run_process({ARMCTL_DESIGN_PROGRAM_PROBE, argument}, options);
    EXPECT_TRUE(run.finished) << run.error;
    return run;
}

TEST(DesignProgram, StartsOnTheHeadlessDisplayWithItsWindowAndUnits) {
    auto run = run_program("--backend=headless");
    EXPECT_EQ(run.exit_status, 0);
    // Units are created last to second and keep their design order among
    // siblings; the frame holds the probe placed in it.
    EXPECT_EQ(run.out, "title 设计探针 Design probe\n"
                       "frame value 7 caption 甲乙\n"
                       "probe value -3 flag 1 tag 标记 at 5,20 100x30\n"
                       "window \"甲乙\" 10,10 200x150 visible\n"
                       "  window \"\" 5,20 100x30 visible\n"
                       "window \"\" 10,200 100x30 visible disabled\n"
                       "greeting 你好，机械手\r\nsecond line\n"
                       "ten 10\n"
                       "empty {1, 0}\n"
                       "steps {1, 2, 0.5, -1.25}\n"
                       "clicked 7 8 from 0x16010003\n"
                       "exit routine\n");
}

TEST(DesignProgram, EmbeddedStreamIsTheCompilersStreamByteForByte) {
    auto run = run_program("stream");
    ASSERT_EQ(run.exit_status, 0);

    std::ifstream file(ARMCTL_PROBE_DESIGN, std::ios::binary);
    std::stringstream source;
    source << file.rdbuf();
    auto result = designc::compile_design_source(source.str(), test_support::test_design_types());
    ASSERT_TRUE(result.errors.empty());
    std::string expected(result.design.template_data.begin(), result.design.template_data.end());
    EXPECT_EQ(run.out.size(), expected.size());
    EXPECT_TRUE(run.out == expected);
}

} // namespace
