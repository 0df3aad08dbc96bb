#include <platform/serial/Timeout.h>

#include <gtest/gtest.h>

using platform::serial::Timeout;

TEST(Timeout, ZeroMeansNoLimit) {
    Timeout timeout;
    timeout.start(0, std::chrono::milliseconds(50));
    EXPECT_FALSE(timeout.has_limit());
    EXPECT_FALSE(timeout.expired());
    EXPECT_EQ(timeout.remaining_ms(), -1) << "poll's wait without limit";
}

TEST(Timeout, ALimitCountsDownFromItsStartAndItsAllowance) {
    Timeout timeout;
    timeout.start(60000, std::chrono::milliseconds(5000));
    EXPECT_TRUE(timeout.has_limit());
    EXPECT_FALSE(timeout.expired());
    EXPECT_GT(timeout.remaining_ms(), 60000);
    EXPECT_LE(timeout.remaining_ms(), 65000);
}
