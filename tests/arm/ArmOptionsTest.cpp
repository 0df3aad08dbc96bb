#include "tools/arm/ArmOptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace arm {
namespace {

ArmOptions read(std::vector<std::string> args) {
    args.insert(args.begin(), "armctl-arm");
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    return read_arm_options(static_cast<int>(argv.size()), argv.data());
}

TEST(ArmOptions, Defaults) {
    ArmOptions o = read({});
    EXPECT_EQ(o.com, 1);
    EXPECT_FALSE(o.headless);
    EXPECT_EQ(o.servo.min_angle, 0);
    EXPECT_EQ(o.servo.max_angle, 180);
    EXPECT_DOUBLE_EQ(o.servo.ms_per_degree, 2.5);
    EXPECT_TRUE(o.program.empty());
    EXPECT_EQ(o.error, "");
}

TEST(ArmOptions, Values) {
    ArmOptions o = read(
        {"--com", "3", "--headless", "--travel=10:170", "--speed", "0.3", "--backend=headless"});
    EXPECT_EQ(o.error, "");
    EXPECT_EQ(o.com, 3);
    EXPECT_TRUE(o.headless);
    EXPECT_EQ(o.servo.min_angle, 10);
    EXPECT_EQ(o.servo.max_angle, 170);
    EXPECT_DOUBLE_EQ(o.servo.ms_per_degree, 5.0);
    EXPECT_EQ(read({"--com=10"}).com, 10);
    EXPECT_EQ(read({"--travel", "-90:90"}).servo.min_angle, -90);
}

TEST(ArmOptions, EverythingAfterTheSeparatorIsTheProgram) {
    ArmOptions o = read({"--com", "2", "--", "armctl", "--com", "5", "--"});
    EXPECT_EQ(o.error, "");
    EXPECT_EQ(o.com, 2);
    EXPECT_EQ(o.program, (std::vector<std::string>{"armctl", "--com", "5", "--"}));
}

TEST(ArmOptions, BadCommandLines) {
    const std::vector<std::vector<std::string>> bad = {
        {"--com", "0"},    {"--com", "100"},       {"--com", "x"},     {"--com"},
        {"--com=3x"},      {"--travel", "170:10"}, {"--travel", "90"}, {"--travel", "a:b"},
        {"--speed", "-1"}, {"--speed", "fast"},    {"--speed", "nan"}, {"--frobnicate"},
    };
    for (const auto& args : bad)
        EXPECT_NE(read(args).error, "") << args[0] << " " << (args.size() > 1 ? args[1] : "");
}

} // namespace
} // namespace arm
