#include <tests/support/ScopedEnv.h>

#include <gtest/gtest.h>

namespace test_support {
namespace {

TEST(ScopedEnv, PutsBackValuesAndAbsencesInTheStateBeforeIt) {
    ScopedEnv outer{{"ARMCTL_PROBE_SET", "before"}, {"ARMCTL_PROBE_UNSET", std::nullopt}};
    {
        ScopedEnv env{{"ARMCTL_PROBE_SET", std::nullopt}, {"ARMCTL_PROBE_UNSET", "during"}};
        EXPECT_EQ(std::getenv("ARMCTL_PROBE_SET"), nullptr);
        EXPECT_STREQ(std::getenv("ARMCTL_PROBE_UNSET"), "during");
        // A second change keeps the first saved state.
        env.set("ARMCTL_PROBE_UNSET", "again");
        env.set("ARMCTL_PROBE_SET", "again");
        EXPECT_STREQ(std::getenv("ARMCTL_PROBE_SET"), "again");
    }
    EXPECT_STREQ(std::getenv("ARMCTL_PROBE_SET"), "before");
    EXPECT_EQ(std::getenv("ARMCTL_PROBE_UNSET"), nullptr);
}

} // namespace
} // namespace test_support
