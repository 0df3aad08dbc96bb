#include <platform/serial/LineMarkDecoder.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace platform::serial;

namespace {

using Kind = LineItem::Kind;

std::string show(const std::vector<LineItem>& items) {
    std::string out;
    for (auto& item : items) {
        switch (item.kind) {
        case Kind::Byte:
            out += "b" + std::to_string(item.byte) + " ";
            break;
        case Kind::Break:
            out += "BREAK ";
            break;
        case Kind::ErrorByte:
            out += "E" + std::to_string(item.byte) + " ";
            break;
        }
    }
    return out;
}

std::vector<LineItem> decode(LineMarkDecoder& decoder, const std::vector<std::uint8_t>& bytes) {
    std::vector<LineItem> items;
    for (auto byte : bytes) {
        if (auto item = decoder.feed(byte))
            items.push_back(*item);
    }
    return items;
}

} // namespace

TEST(LineMarkDecoder, ReadsMarkedStreams) {
    struct Case {
        const char* what;
        std::vector<std::uint8_t> in;
        std::string out;
    };
    const Case cases[] = {
        {"plain bytes", {'1', '2', 'a'}, "b49 b50 b97 "},
        {"a doubled 0xFF is one data byte", {0xFF, 0xFF, 0x41}, "b255 b65 "},
        {"break", {0x41, 0xFF, 0x00, 0x00, 0x42}, "b65 BREAK b66 "},
        {"byte with a parity or framing error", {0xFF, 0x00, 0x37}, "E55 "},
        {"error byte 0xFF", {0xFF, 0x00, 0xFF}, "E255 "},
        {"zero bytes outside marks are data", {0x00, 0x00}, "b0 b0 "},
        {"two breaks in a row", {0xFF, 0, 0, 0xFF, 0, 0}, "BREAK BREAK "},
        {"a mark after a doubled 0xFF", {0xFF, 0xFF, 0xFF, 0x00, 0x00}, "b255 BREAK "},
    };
    for (auto& c : cases) {
        LineMarkDecoder decoder;
        EXPECT_EQ(show(decode(decoder, c.in)), c.out) << c.what;
        EXPECT_FALSE(decoder.in_mark()) << c.what;
    }
}

TEST(LineMarkDecoder, KeepsAMarkSplitAcrossReads) {
    LineMarkDecoder decoder;
    EXPECT_EQ(show(decode(decoder, {0x31, 0xFF})), "b49 ");
    EXPECT_TRUE(decoder.in_mark());
    EXPECT_EQ(show(decode(decoder, {0x00})), "");
    EXPECT_EQ(show(decode(decoder, {0x00, 0x32})), "BREAK b50 ");
    EXPECT_EQ(show(decode(decoder, {0xFF})), "");
    EXPECT_EQ(show(decode(decoder, {0xFF})), "b255 ");
}
