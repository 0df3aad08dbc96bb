#include "platform/Encoding.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

struct RoundTrip {
    const char* utf8;
    const char* gbk;
};

TEST(Encoding, ValidGbkRoundTripsExactly) {
    const RoundTrip cases[] = {
        {"", ""},
        {"Close", "Close"},
        {"\xEF\xBC\x9A", "\xA3\xBA"}, // full-width colon
        {"端口：Close", "\xB6\xCB\xBF\xDA\xA3\xBA"
                        "Close"}, // mixed
        {"机械臂", "\xBB\xFA\xD0\xB5\xB1\xDB"},
        {"运行时出错!", "\xD4\xCB\xD0\xD0\xCA\xB1\xB3\xF6\xB4\xED!"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(utf8_to_gbk(c.utf8), c.gbk) << c.utf8;
        EXPECT_EQ(gbk_to_utf8(c.gbk), c.utf8) << c.utf8;
    }
}

TEST(Encoding, BadGbkBecomesReplacementMarksOrFails) {
    const std::string mark = "\xEF\xBF\xBD";
    EXPECT_EQ(gbk_to_utf8(std::string_view("\xB6", 1)), mark) << "a lead byte cut off at the end";
    EXPECT_EQ(gbk_to_utf8(std::string_view("a\xB6\xCB\xBF", 4)), "a\xE7\xAB\xAF" + mark);
    EXPECT_EQ(gbk_to_utf8(std::string_view("\xFF"
                                           "b",
                                           2)),
              mark + "b");
    EXPECT_EQ(gbk_to_utf8(std::string_view("\x81\x30\x81\x30", 4)), mark + "0" + mark + "0")
        << "four-byte GB18030 forms are not GBK";
    std::string out = "stale";
    EXPECT_FALSE(gbk_to_utf8(std::string_view("\xB6", 1), out, InvalidBytes::Fail));
    EXPECT_TRUE(out.empty());
}

TEST(Encoding, CharactersGbkCannotHoldBecomeQuestionMarks) {
    EXPECT_EQ(utf8_to_gbk("a\xF0\x9F\x98\x80"
                          "b"),
              "a?b"); // an emoji
    EXPECT_EQ(utf8_to_gbk(std::string_view("a\xC3", 2)), "a?") << "a cut UTF-8 sequence";
    std::string out;
    EXPECT_FALSE(utf8_to_gbk("\xF0\x9F\x98\x80", out, InvalidBytes::Fail));
}

TEST(Encoding, CharacterBoundariesFollowTheDoubleByteRule) {
    std::string_view t("a\xB6\xCB"
                       "b\xBF",
                       5);
    EXPECT_EQ(gbk_char_length(t, 0), 1u);
    EXPECT_EQ(gbk_char_length(t, 1), 2u);
    EXPECT_EQ(gbk_char_length(t, 4), 1u) << "a lead byte at the end stands alone";
    EXPECT_EQ(gbk_char_start(t, 2), 1u) << "the trail byte belongs to the character at 1";
    EXPECT_EQ(gbk_char_start(t, 3), 3u);
}

} // namespace
} // namespace platform
