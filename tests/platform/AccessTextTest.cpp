// Character offsets and the text units an assistive client reads by.

#include <platform/access/TextUnits.h>

#include <gtest/gtest.h>

namespace {

using namespace platform::access;

TEST(AccessText, GbkOffsetsCountCharacters) {
    const std::string gbk = "a\xD6\xD0"
                            "b\xCE\xC4"; // a中b文
    EXPECT_EQ(gbk_char_count(gbk), 4);
    EXPECT_EQ(gbk_byte_of_char(gbk, 2), 3u);
    EXPECT_EQ(gbk_byte_of_char(gbk, 9), gbk.size()) << "past the end: the end";
    EXPECT_EQ(gbk_char_of_byte(gbk, 4), 3);
    EXPECT_EQ(gbk_char_of_byte(gbk, 2), 2) << "inside a character: after it";
}

TEST(AccessText, Utf8SlicesByCharacters) {
    EXPECT_EQ(utf8_length("中文 ab"), 5);
    EXPECT_EQ(utf8_slice("中文 ab", 1, 3), "文 ");
    EXPECT_EQ(utf8_slice("中文 ab", 3, -1), "ab");
    EXPECT_EQ(utf8_slice("中文", 5, 9), "");
    EXPECT_EQ(utf8_slice("abc", 2, 1), "");
}

TEST(AccessText, UnitsAtAnOffset) {
    const std::string text = "Port: open\r\nStop now";
    auto at = [&](int offset, TextUnit unit) {
        TextSpan s = text_unit_at(text, offset, unit);
        return text.substr(static_cast<std::size_t>(s.start),
                           static_cast<std::size_t>(s.end - s.start));
    };
    EXPECT_EQ(at(1, TextUnit::Character), "o");
    EXPECT_EQ(at(2, TextUnit::Word), "Port: ") << "a word takes the blanks after it";
    EXPECT_EQ(at(4, TextUnit::Word), "Port: ") << "in the blanks: the word before";
    EXPECT_EQ(at(6, TextUnit::Word), "open\r\n");
    EXPECT_EQ(at(3, TextUnit::Line), "Port: open\r\n") << "a line holds its break";
    EXPECT_EQ(at(14, TextUnit::Line), "Stop now");
    TextSpan end = text_unit_at(text, static_cast<int>(text.size()), TextUnit::Word);
    EXPECT_EQ(end.start, end.end) << "empty at the end";
    EXPECT_EQ(text_unit_at(text, -1, TextUnit::Line).start, -1);
    EXPECT_EQ(text_unit_at(text, 99, TextUnit::Character).end, -1);
}

} // namespace
