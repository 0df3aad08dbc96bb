// armctl-play's command line and what a pass of a table sends.

#include <tools/play/PlayOptions.h>
#include <tools/play/PlaySteps.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace play;

PlayOptions read(std::vector<std::string> args) {
    args.insert(args.begin(), "armctl-play");
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    return read_play_options(static_cast<int>(argv.size()), argv.data());
}

TEST(PlayOptions, TheSpeedRuleClampsAndCutsToWholeMilliseconds) {
    EXPECT_EQ(interval_for_speed(10), 550u);
    EXPECT_EQ(interval_for_speed(1), 1000u);
    EXPECT_EQ(interval_for_speed(20), 50u);
    EXPECT_EQ(interval_for_speed(0), 1000u);
    EXPECT_EQ(interval_for_speed(-5), 1000u);
    EXPECT_EQ(interval_for_speed(99), 50u);
    EXPECT_EQ(interval_for_speed(10.5), 525u);
    EXPECT_EQ(interval_for_speed(10.333), 533u);
}

TEST(PlayOptions, ReadsEveryFormAndDefaultsAsTheWindow) {
    PlayOptions plain = read({"poses.txt"});
    EXPECT_EQ(plain.error, "");
    EXPECT_EQ(plain.file, "poses.txt");
    EXPECT_EQ(plain.port_number(), 1);
    EXPECT_FALSE(plain.device);
    EXPECT_EQ(plain.interval_ms, 550u);
    EXPECT_EQ(plain.cycles, 1);

    PlayOptions full = read({"--com=COM3", "--speed", "20", "--cycles", "4", "--json", "f"});
    EXPECT_EQ(full.error, "");
    EXPECT_EQ(full.port_number(), 3);
    EXPECT_EQ(full.interval_ms, 50u);
    EXPECT_EQ(full.cycles, 4);
    EXPECT_TRUE(full.json);

    PlayOptions other = read(
        {"--device", "/dev/ttyUSB0", "--interval=0", "--forever", "--dry-run", "--", "-odd name"});
    EXPECT_EQ(other.error, "");
    EXPECT_EQ(other.device, "/dev/ttyUSB0");
    EXPECT_EQ(other.interval_ms, 0u);
    EXPECT_FALSE(other.cycles);
    EXPECT_TRUE(other.dry_run);
    EXPECT_EQ(other.file, "-odd name");
}

TEST(PlayOptions, RefusesWhatItCannotUseWithAReason) {
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"a", "b"},
        {"f", "--com", "0"},
        {"f", "--com", "COMx"},
        {"f", "--com", "1", "--device", "/dev/null"},
        {"f", "--speed", "fast"},
        {"f", "--speed", "nan"},
        {"f", "--speed", "5", "--interval", "100"},
        {"f", "--interval", "-1"},
        {"f", "--interval", "1.5"},
        {"f", "--cycles", "0"},
        {"f", "--cycles", "2", "--forever"},
        {"f", "--device="},
        {"f", "--speed"},
        {"f", "--loud"},
    };
    for (const auto& args : bad) {
        std::string joined;
        for (const auto& a : args)
            joined += a + " ";
        EXPECT_NE(read(args).error, "") << joined;
    }
}

TEST(PlaySteps, APassSendsEachRowWithItsLettersUpToTheFirstBlankRow) {
    std::vector<commands::ActionRow> rows = {
        {"80", "100", "80", "120"},
        {"", "90", "", ""}, // not blank: a row with one cell is sent
        {"", "", "", ""},
        {"1", "2", "3", "4"},
    };
    std::vector<Step> steps = pass_steps(rows);
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[0].row, 1);
    EXPECT_EQ(steps[0].command, "80a100b80c120d");
    EXPECT_EQ(steps[1].row, 2);
    EXPECT_EQ(steps[1].command, "a90bcd");
    EXPECT_TRUE(pass_steps({{"", "", "", ""}, {"1", "2", "3", "4"}}).empty());
}

TEST(PlaySteps, JsonStringsShowEveryByte) {
    EXPECT_EQ(json_string("90a"), "\"90a\"");
    EXPECT_EQ(json_string("a\"b\\c"), "\"a\\\"b\\\\c\"");
    EXPECT_EQ(json_string("\xB6\xCB\r"), "\"\\u00b6\\u00cb\\u000d\"");
}

} // namespace
