#include "CommandTestSupport.h"

#include <commands/FullWidth.h>

using commands::DropSpaces;
using commands::NormalizeFullWidth;
using test_support::gbk;

namespace {

TEST(NormalizeFullWidth, Table) {
    struct Case {
        std::string input;
        DropSpaces drop;
        std::string expected;
    } cases[] = {
        {"plain 12", DropSpaces::No, "plain 12"},
        {"plain 12", DropSpaces::Yes, "plain12"},
        {gbk("１２．５"), DropSpaces::No, "12.5"},
        {gbk("！～"), DropSpaces::No, "!~"},
        {"\xA3\xA1\xA3\xFE", DropSpaces::No, "!~"},
        {gbk("ＡＢｃ"), DropSpaces::No, "ABc"},
        {gbk("　1　"), DropSpaces::No, " 1 "},
        {gbk("　1 "), DropSpaces::Yes, "1"},
        {"\xA1\xAB", DropSpaces::No, "~"},
        {"\xA1\xEE\xA1\xEF", DropSpaces::No, "**"},
        // Not converted: other full-width punctuation and Chinese characters.
        {gbk("中文，"), DropSpaces::No, gbk("中文") + ","},
        {gbk("中文、"), DropSpaces::No, gbk("中文、")},
        {"\xA3\xA0", DropSpaces::No, "\xA3\xA0"},
        {"\xA3\xFF", DropSpaces::No, "\xA3\xFF"},
        // The second byte of a pair is never read as a character of its own.
        {"\x81\xA3\xA3\xB1", DropSpaces::No,
         "\x81\xA3"
         "1"},
        {"\xA1\x20", DropSpaces::Yes, "\xA1\x20"},
        // A lead byte at the end is dropped.
        {"12\xA3", DropSpaces::No, "12"},
        {"\xB0", DropSpaces::No, ""},
        {"", DropSpaces::No, ""},
    };
    for (auto& c : cases)
        EXPECT_EQ(NormalizeFullWidth(c.input, c.drop), c.expected) << c.input;
}

} // namespace
