#include "tools/arm/CommandParser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace arm {
namespace {

// Commands written compactly: "90a" for a value, "_b" for an empty command.
std::string describe(const std::vector<ParsedCommand>& commands) {
    std::string out;
    for (const ParsedCommand& c : commands) {
        if (!out.empty())
            out += ',';
        out += c.empty ? "_" : std::to_string(c.value);
        out += servo_letter(c.servo);
    }
    return out;
}

struct Parsed {
    std::string commands;
    ParserCounts counts;
};

// Feeds the pieces in order, then ends the stream.
Parsed parse(const std::vector<std::string>& pieces) {
    CommandParser parser;
    std::vector<ParsedCommand> out;
    for (const std::string& piece : pieces)
        parser.feed(piece, out);
    parser.finish();
    return {describe(out), parser.counts()};
}

struct StreamCase {
    const char* name;
    std::string stream;
    const char* commands;
    ParserCounts counts; // commands, empty commands, garbage bytes
};

const StreamCase k_streams[] = {
    {"one command", "90a", "90a", {1, 0, 0}},
    {"playback row", "80a100b80c120d", "80a,100b,80c,120d", {4, 0, 0}},
    {"negative", "-5a", "-5a", {1, 0, 0}},
    {"zero", "0c", "0c", {1, 0, 0}},
    {"minus zero", "-0b", "0b", {1, 0, 0}},
    {"letters alone", "abcd", "_a,_b,_c,_d", {0, 4, 0}},
    {"half-filled row", "90abcd", "90a,_b,_c,_d", {1, 3, 0}},
    {"leading zeros", "007a00d", "7a,0d", {2, 0, 0}},
    {"largest", "2147483647d", "2147483647d", {1, 0, 0}},
    {"smallest", "-2147483648d", "-2147483648d", {1, 0, 0}},
    {"one past largest", "2147483648d5a", "5a", {1, 0, 11}},
    {"one past smallest", "-2147483649a", "", {0, 0, 12}},
    {"overlong then letters", "99999999999999999999999abc", "_b,_c", {0, 2, 24}},
    {"CR LF around", "\r\n90a\r\n", "90a", {1, 0, 4}},
    {"letter after garbage", "90a\r\nb7c", "90a,7c", {2, 0, 3}},
    {"high bytes",
     "\x80\xff"
     "12a",
     "12a",
     {1, 0, 2}},
    {"high byte inside number",
     "9\xb0"
     "a3b",
     "3b",
     {1, 0, 3}},
    {"minus restarts", "12-5a", "-5a", {1, 0, 2}},
    {"double minus", "--5a", "-5a", {1, 0, 1}},
    {"minus alone", "-a", "", {0, 0, 2}},
    {"upper case", "A90a", "90a", {1, 0, 1}},
    {"other letter", "e5a90f", "5a", {1, 0, 4}},
    {"unfinished at end", "80a12", "80a", {1, 0, 2}},
    {"nul bytes",
     std::string("\0"
                 "3d\0",
                 4),
     "3d",
     {1, 0, 2}},
    {"empty stream", "", "", {0, 0, 0}},
};

class ParserStreams : public ::testing::TestWithParam<StreamCase> {};

TEST_P(ParserStreams, WholeStream) {
    const StreamCase& c = GetParam();
    Parsed p = parse({c.stream});
    EXPECT_EQ(p.commands, c.commands);
    EXPECT_EQ(p.counts, c.counts);
}

TEST_P(ParserStreams, CutAtEveryByte) {
    const StreamCase& c = GetParam();
    for (std::size_t cut = 0; cut <= c.stream.size(); ++cut) {
        Parsed p = parse({c.stream.substr(0, cut), c.stream.substr(cut)});
        EXPECT_EQ(p.commands, c.commands) << "cut at " << cut;
        EXPECT_EQ(p.counts, c.counts) << "cut at " << cut;
    }
}

TEST_P(ParserStreams, ByteByByte) {
    const StreamCase& c = GetParam();
    std::vector<std::string> bytes;
    for (char ch : c.stream)
        bytes.emplace_back(1, ch);
    Parsed p = parse(bytes);
    EXPECT_EQ(p.commands, c.commands);
    EXPECT_EQ(p.counts, c.counts);
}

INSTANTIATE_TEST_SUITE_P(Streams, ParserStreams, ::testing::ValuesIn(k_streams),
                         [](const auto& param_info) {
                             std::string name = param_info.param.name;
                             for (char& ch : name)
                                 ch = std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
                             return name;
                         });

TEST(CommandParser, SeveralRowsInOneReadAndAcrossReads) {
    Parsed p = parse({"80a100b80c120d90a1", "00b80c120d", "90a100b80c"});
    EXPECT_EQ(p.commands, "80a,100b,80c,120d,90a,100b,80c,120d,90a,100b,80c");
    EXPECT_EQ(p.counts, (ParserCounts{11, 0, 0}));
}

TEST(CommandParser, KeepsStateBetweenPiecesUntilTheSenderCloses) {
    CommandParser parser;
    std::vector<ParsedCommand> out;
    parser.feed("12", out);
    EXPECT_EQ(parser.pending_bytes(), 2u);
    parser.finish();
    // The next sender's stream starts in step: a letter is an empty command.
    parser.feed("a", out);
    EXPECT_EQ(describe(out), "_a");
    EXPECT_EQ(parser.counts(), (ParserCounts{0, 1, 2}));
}

TEST(CommandParser, TenMegabytesWithoutALetterHoldNoMemory) {
    CommandParser parser;
    std::vector<ParsedCommand> out;
    std::string digits(1 << 20, '9');
    for (int i = 0; i < 10; ++i)
        parser.feed(digits, out);
    EXPECT_EQ(parser.pending_bytes(), 10u << 20);
    parser.feed("a5b", out);
    EXPECT_EQ(describe(out), "5b");
    EXPECT_EQ(parser.counts().garbage_bytes, (10u << 20) + 1);
    EXPECT_EQ(parser.pending_bytes(), 0u);
}

} // namespace
} // namespace arm
