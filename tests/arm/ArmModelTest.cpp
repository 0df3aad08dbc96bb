#include "tools/arm/ArmModel.h"

#include <gtest/gtest.h>

namespace arm {
namespace {

constexpr Millis Frame = 16;

// Steps the clock a frame at a time until the servo stops; returns when.
Millis arrival_by_frames(ArmModel& model, Millis from) {
    Millis t = from;
    while (model.is_moving() && t < from + 10000) {
        t += Frame;
        model.advance(t);
    }
    return t;
}

TEST(ArmModel, StartsStillInTheMiddleOfTheTravel) {
    ArmModel model;
    for (int i = 0; i < k_servo_count; ++i) {
        EXPECT_EQ(model.angle(i), 90);
        EXPECT_EQ(model.target(i), 90);
    }
    EXPECT_FALSE(model.is_moving());
    ArmModel narrow({20, 100, 2.5});
    EXPECT_EQ(narrow.angle(3), 60);
}

TEST(ArmModel, SixtyDegreesAtTheDefaultSpeedTakeOneHundredFiftyMilliseconds) {
    for (int target : {150, 30}) {
        ArmModel model;
        model.command(1, target, 0);
        EXPECT_TRUE(model.is_moving());
        EXPECT_EQ(model.arrival_time(), 150);
        Millis arrived = arrival_by_frames(model, 0);
        EXPECT_GE(arrived, 150 - Frame) << target;
        EXPECT_LE(arrived, 150 + Frame) << target;
        EXPECT_EQ(model.angle(1), target);
    }
}

TEST(ArmModel, MovesAtAConstantSpeedTowardsTheTarget) {
    ArmModel model;
    model.command(0, 150, 1000);
    model.advance(1075); // half way
    EXPECT_DOUBLE_EQ(model.angle(0), 120);
    model.advance(1149);
    EXPECT_LT(model.angle(0), 150);
    model.advance(1150);
    EXPECT_EQ(model.angle(0), 150);
    EXPECT_FALSE(model.is_moving());
    // The other servos stayed where they were.
    EXPECT_EQ(model.angle(1), 90);
}

TEST(ArmModel, ANewCommandTurnsAServoFromWhereItIs) {
    ArmModel model;
    model.command(2, 150, 0);
    model.command(2, 60, 75); // at 120 by now: 60 degrees back
    EXPECT_DOUBLE_EQ(model.angle(2), 120);
    EXPECT_EQ(model.arrival_time(), 75 + 150);
}

TEST(ArmModel, SpeedIsConfigurable) {
    ArmModel slow({0, 180, 300.0 / 60.0});
    slow.command(3, 150, 0);
    EXPECT_EQ(slow.arrival_time(), 300);
    ArmModel instant({0, 180, 0});
    instant.command(3, 150, 0);
    instant.advance(1);
    EXPECT_EQ(instant.angle(3), 150);
}

TEST(ArmModel, CommandsOutsideTheTravelAreClampedAndFlagged) {
    struct Case {
        ServoSettings settings;
        int value;
        int target;
        bool clamped;
    } cases[] = {
        {{0, 180, 2.5}, 200, 180, true},     {{0, 180, 2.5}, -5, 0, true},
        {{0, 180, 2.5}, 180, 180, false},    {{0, 180, 2.5}, 0, 0, false},
        {{10, 170, 2.5}, 5, 10, true},       {{10, 170, 2.5}, 171, 170, true},
        {{0, 180, 2.5}, INT32_MIN, 0, true}, {{0, 180, 2.5}, INT32_MAX, 180, true},
    };
    for (const Case& c : cases) {
        ArmModel model(c.settings);
        CommandEffect effect = model.command(0, c.value, 0);
        EXPECT_EQ(effect.target, c.target) << c.value;
        EXPECT_EQ(effect.clamped, c.clamped) << c.value;
        EXPECT_EQ(model.target(0), c.target);
    }
}

TEST(ArmModel, TimeThatRunsBackwardsChangesNothing) {
    ArmModel model({0, 180, 2.5}, 500);
    model.command(0, 150, 500);
    model.advance(530);
    double angle = model.angle(0);
    model.advance(400);
    model.command(0, 150, 450);
    EXPECT_EQ(model.angle(0), angle);
    EXPECT_EQ(model.time(), 530);
}

} // namespace
} // namespace arm
