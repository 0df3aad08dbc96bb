#include "tools/arm/JsonLines.h"

#include <gtest/gtest.h>

namespace arm {
namespace {

std::vector<std::string> lines_of(const std::vector<ReceivedCommand>& received, Millis start) {
    std::vector<std::string> lines;
    for (const ReceivedCommand& r : received)
        lines.push_back(command_json(r, start));
    return lines;
}

TEST(ArmSession, TimesGapsClampsAndEmptyCommandsAsJsonLines) {
    ArmSession session({}, 1000);
    std::vector<ReceivedCommand> received;
    session.receive("80a10", 1010, received);
    session.receive("0b", 1012, received);
    session.receive("c200d", 1052, received);
    EXPECT_EQ(lines_of(received, 1000),
              (std::vector<std::string>{
                  R"({"t_ms":10,"servo":"a","value":80,"clamped":false,"gap_ms":null})",
                  R"({"t_ms":12,"servo":"b","value":100,"clamped":false,"gap_ms":2})",
                  R"({"t_ms":52,"servo":"c","value":null,"clamped":false,"gap_ms":40})",
                  R"({"t_ms":52,"servo":"d","value":200,"clamped":true,"gap_ms":0})",
              }));
    EXPECT_EQ(received[3].effect.target, 180);
    // The empty command left the elbow where it was.
    EXPECT_EQ(session.model().target(2), 90);
    EXPECT_EQ(session.model().target(1), 100);
}

TEST(ArmSession, SummaryCountsAndLastValues) {
    ArmSession session;
    std::vector<ReceivedCommand> received;
    session.receive("90abcd\r\n-5a", 0, received);
    session.receive("12", 5, received);
    session.sender_closed();
    EXPECT_EQ(summary_json(session),
              R"({"summary":{"commands":2,"empty_commands":3,"garbage_bytes":4,)"
              R"("last":{"a":-5,"b":null,"c":null,"d":null}}})");
}

} // namespace
} // namespace arm
