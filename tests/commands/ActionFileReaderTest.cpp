// The rows an action file gives the table, read by the load button's rules.

#include <commands/ActionFileReader.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using commands::ActionRow;

std::vector<ActionRow> rows_of(const std::string& bytes) {
    return commands::read_action_rows(
        {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
}

TEST(ActionFileReader, CutsLinesAtCrLfAndFieldsAtCommasOnly) {
    struct Case {
        const char* name;
        std::string file;
        std::vector<ActionRow> rows;
    };
    const std::vector<Case> cases = {
        {"two lines",
         "80,100,80,120\r\n90,110,70,130\r\n",
         {{"80", "100", "80", "120"}, {"90", "110", "70", "130"}}},
        {"no line end at the end", "1,2,3,4", {{"1", "2", "3", "4"}}},
        {"a lone LF or CR is part of a field",
         "1\n2,3\r,4\r\n5",
         {{"1\n2", "3\r", "4", ""}, {"5", "", "", ""}}},
        {"blanks stay blanks, spaces stay", " 7 ,,x,\r\n", {{" 7 ", "", "x", ""}}},
        {"an empty line is a blank row",
         "1,2,3,4\r\n\r\n5,6,7,8\r\n",
         {{"1", "2", "3", "4"}, {"", "", "", ""}, {"5", "6", "7", "8"}}},
        {"fields past the fourth fall off", "1,2,3,4,5,6\r\n", {{"1", "2", "3", "4"}}},
        {"semicolons and tabs are no delimiters", "1;2\t3,4\r\n", {{"1;2\t3", "4", "", ""}}},
        // A lead byte takes the CR with it, so the CR LF is no line end there.
        {"no cut inside a double-byte character",
         "\xB6\r\n1,2\xB6,3,4\r\n",
         {{"\xB6\r\n1", "2\xB6,3", "4", ""}}},
        {"the text ends at the first zero byte",
         std::string("1,2\r\n3,4") + '\0' + ",5\r\n6",
         {{"1", "2", "", ""}, {"3", "4", "", ""}}},
        {"a zero byte first: nothing", '\0' + std::string("1,2,3,4\r\n"), {}},
        {"an empty file: nothing", "", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(rows_of(c.file), c.rows) << c.name;
}

TEST(ActionFileReader, KeepsTheFirstHundredLinesOfALongFile) {
    std::string file;
    for (int i = 1; i <= 10000; ++i)
        file += std::to_string(i) + ",0,0,0\r\n";
    std::vector<ActionRow> rows = rows_of(file);
    ASSERT_EQ(rows.size(), 100u);
    EXPECT_EQ(rows.front()[0], "1");
    EXPECT_EQ(rows.back()[0], "100");

    // One line of many megabytes, no line end at all.
    std::string one_line(5'000'000, '7');
    one_line[10] = ',';
    rows = rows_of(one_line);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0], "7777777777");
    EXPECT_EQ(rows[0][1].size(), 5'000'000u - 11);
}

} // namespace
