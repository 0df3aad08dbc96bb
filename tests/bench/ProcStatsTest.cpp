#include <bench/ProcStats.h>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

TEST(ProcStats, StatTicksAreCountedFromTheLastParenthesis) {
    // A name with spaces and a ')' of its own must not shift the fields.
    const char* stat = "4242 (we) ird (name) S 1 4242 4242 0 -1 4194560 100 0 0 0 "
                       "37 5 0 0 20 0 3 0 12345 1000 200";
    EXPECT_EQ(bench::stat_cpu_ticks(stat), 42);
    EXPECT_EQ(bench::stat_cpu_ticks("1 (Xvfb) R 1 1 1 0 -1 0 0 0 0 0 900 100 0 0"), 1000);
}

TEST(ProcStats, StatWithoutTheTimesIsNoAnswer) {
    EXPECT_FALSE(bench::stat_cpu_ticks(""));
    EXPECT_FALSE(bench::stat_cpu_ticks("12 no-parenthesis S 1 2 3"));
    EXPECT_FALSE(bench::stat_cpu_ticks("12 (short) S 1 2 3 4 5 6 7 8 9 10"));
    EXPECT_FALSE(bench::stat_cpu_ticks("12 (bad) S 1 2 3 4 5 6 7 8 9 10 x 0"));
}

TEST(ProcStats, KbFieldFindsTheWholeNameOnly) {
    const char* status = "Name:\tarmctl\nVmRSSX:\t1 kB\nVmHWM:\t  99000 kB\nVmRSS:\t  23712 kB\n";
    EXPECT_EQ(bench::kb_field(status, "VmRSS"), 23712);
    EXPECT_EQ(bench::kb_field(status, "VmHWM"), 99000);
    EXPECT_FALSE(bench::kb_field(status, "Pss"));
    EXPECT_FALSE(bench::kb_field(status, "Vm"));
    const char* rollup = "55d0-7ffe ---p 00000000 00:00 0  [rollup]\nRss: 101 kB\nPss:     "
                         "  84000 kB\nPss_Anon: 5 kB";
    EXPECT_EQ(bench::kb_field(rollup, "Pss"), 84000);
    EXPECT_EQ(bench::kb_field(rollup, "Pss_Anon"), 5);
}

TEST(ProcStats, OwnProcessIsReadable) {
    const std::string self = "/proc/" + std::to_string(getpid());
    EXPECT_TRUE(bench::stat_cpu_ticks(bench::read_text_file(self + "/stat")));
    std::optional<std::int64_t> rss =
        bench::kb_field(bench::read_text_file(self + "/status"), "VmRSS");
    ASSERT_TRUE(rss);
    EXPECT_GT(*rss, 0);
    std::optional<double> cpu = bench::process_cpu_ms_of(getpid());
    ASSERT_TRUE(cpu);
    EXPECT_GE(*cpu, 0.0);
    EXPECT_TRUE(bench::read_text_file("/proc/no-such-process/stat").empty());
}

} // namespace
