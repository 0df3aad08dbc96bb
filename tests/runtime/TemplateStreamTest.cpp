#include <runtime/image/TemplateStreamReader.h>
#include <runtime/image/TemplateStreamWriter.h>
#include <runtime/windows/RuntimeMessages.h>

#include <gtest/gtest.h>

#include <vector>

using namespace runtime;
using Bytes = std::vector<std::uint8_t>;

namespace {

TEST(TemplateStream, WriterPrimitivesAreLittleEndianAndCounted) {
    TemplateStreamWriter writer;
    writer.write_word(0x01390A84);
    writer.write_text("");
    writer.write_text("ab");
    writer.write_buffer(Bytes{});
    writer.write_buffer(Bytes{9, 8, 7});
    writer.write_terminated_text("x");
    writer.write_int(-2);
    Bytes expected = {0x84, 0x0A, 0x39, 0x01, 0, 0, 0, 0, 2, 0,   0, 0,    'a',  'b',  0,   0,
                      0,    0,    3,    0,    0, 0, 9, 8, 7, 'x', 0, 0xFE, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(writer.bytes(), expected);
}

TEST(TemplateStream, ReaderReadsWhatTheWriterWrote) {
    Bytes data = {0x84, 0x0A, 0x39, 0x01, 0, 0, 0, 0, 2, 0,   0,   0,
                  'a',  'b',  3,    0,    0, 0, 9, 8, 7, 'x', 'y', 0};
    TemplateStreamReader reader(data);
    EXPECT_EQ(reader.read_word().value(), 0x01390A84u);
    EXPECT_EQ(reader.read_text().value(), "");
    EXPECT_EQ(reader.read_text().value(), "ab");
    EXPECT_EQ(reader.read_buffer().value(), (Bytes{9, 8, 7}));
    EXPECT_EQ(reader.read_terminated_text().value(), "xy");
    EXPECT_TRUE(reader.at_end());
}

template <typename Result> std::string error_of(const Result& result) {
    return result.is_error() ? result.error().message : std::string("no error");
}

TEST(TemplateStream, ShortOrLyingDataIsAnError) {
    using Read = std::string (*)(TemplateStreamReader&);
    Read word = [](TemplateStreamReader& r) { return error_of(r.read_word()); };
    Read text = [](TemplateStreamReader& r) { return error_of(r.read_text()); };
    Read buffer = [](TemplateStreamReader& r) { return error_of(r.read_buffer()); };
    Read terminated = [](TemplateStreamReader& r) { return error_of(r.read_terminated_text()); };
    struct Case {
        const char* what;
        Bytes data;
        Read read;
    } cases[] = {
        {"word from three bytes", {1, 2, 3}, word},
        {"word from nothing", {}, word},
        {"text longer than the rest", {5, 0, 0, 0, 'a', 'b'}, text},
        {"text with a huge count", {0xFF, 0xFF, 0xFF, 0xFF, 'a'}, text},
        {"buffer count cut short", {1, 0}, buffer},
        {"buffer longer than the rest", {2, 0, 0, 0, 1}, buffer},
        {"terminated text without its zero", {'a', 'b'}, terminated},
        {"terminated text at the end", {}, terminated},
    };
    for (auto& c : cases) {
        TemplateStreamReader reader(c.data);
        EXPECT_EQ(c.read(reader), messages::TemplateLoadFailed) << c.what;
    }
}

} // namespace
