#include "CommandTestSupport.h"

#include <commands/TextCommands.h>

using namespace test_support;
namespace type_code = runtime::type_code;

namespace {

TypedValue limit_of(std::int32_t n) {
    return TypedValue::of_integer(n);
}

std::vector<OptionalText> split(std::vector<TypedValue> args) {
    TypedValue result = call(commands::SplitText, std::move(args));
    EXPECT_EQ(result.type, type_code::Text | type_code::ArrayFlag);
    return take_text_array(result.pointer<void>());
}

using Pieces = std::vector<OptionalText>;
const OptionalText null_piece = std::nullopt;

TEST(SplitText, Table) {
    HeapBalance balance;
    struct Case {
        const char* what;
        std::string text;
        std::optional<std::string> delimiter; // nullopt: omitted
        TypedValue limit;
        Pieces expected;
    } cases[] = {
        {"default delimiter", "a,b,,c,", std::nullopt, omitted, {"a", "b", null_piece, "c"}},
        {"one comma", ",", std::nullopt, omitted, {null_piece}},
        {"leading delimiter", ",a", ",", omitted, {null_piece, "a"}},
        {"limit 2", "a,b,c", ",", limit_of(2), {"a", "b"}},
        {"limit 0", "a,b,c", ",", limit_of(0), {}},
        {"negative limit counts as 0", "a,b,c", ",", limit_of(-4), {}},
        {"limit above the pieces", "a,b,c", ",", limit_of(9), {"a", "b", "c"}},
        {"limit as a double", "a,b,c", ",", TypedValue::of_double(2.9), {"a", "b"}},
        {"limit reached at the last delimiter", "a,b,", ",", limit_of(2), {"a", "b"}},
        {"lines", "a\r\nb\r\n", "\r\n", omitted, {"a", "b"}},
        {"lines without the last end", "10,20\r\n30,40", "\r\n", omitted, {"10,20", "30,40"}},
        {"empty text", "", ",", omitted, {}},
        {"empty text, empty delimiter", "", "", omitted, {}},
        {"empty delimiter keeps the text whole", "a,b", "", omitted, {"a,b"}},
        {"delimiter longer than the text", "ab", "abc", omitted, {"ab"}},
        {"delimiter equal to the text", "ab", "ab", omitted, {null_piece}},
        {"overlapping delimiters", "aaa", "aa", omitted, {null_piece, "a"}},
        {"text ending in a lead byte keeps it", "a,b\xB0", ",", omitted, {"a", "b\xB0"}},
        {"lead byte alone", "\xB0", ",", omitted, {"\xB0"}},
        {"delimiter as a second byte does not split", "x\x81@y@z", "@", omitted, {"x\x81@y", "z"}},
        {"double-byte delimiter", gbk("甲，乙，"), gbk("，"), omitted, {gbk("甲"), gbk("乙")}},
        {"double-byte delimiter not across characters",
         "\xB0\xA3\xAC\xB1",
         "\xA3\xAC",
         omitted,
         {"\xB0\xA3\xAC\xB1"}},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.what);
        TypedValue delimiter = c.delimiter ? TypedValue::of_text(c.delimiter->c_str()) : omitted;
        EXPECT_EQ(split({TypedValue::of_text(c.text.c_str()), delimiter, c.limit}), c.expected);
    }
}

TEST(SplitText, MissingArguments) {
    HeapBalance balance;
    EXPECT_EQ(split({TypedValue::of_text("a,b")}), (Pieces{"a", "b"}));
    EXPECT_EQ(split({TypedValue::of_text("a;b"), TypedValue::of_text(";")}), (Pieces{"a", "b"}));
    EXPECT_EQ(split({}), Pieces{});
    // The runtime hands a null text on as the empty text; a direct null reads the same.
    EXPECT_EQ(split({TypedValue::of_text(nullptr)}), Pieces{});
    EXPECT_EQ(split({TypedValue::of_text("a,b"), TypedValue::of_text(nullptr)}), (Pieces{"a,b"}));
    // A value that is no text splits nothing.
    EXPECT_EQ(split({TypedValue::of_integer(5)}), Pieces{});
}

TEST(SplitText, ActionFileLinesAndFields) {
    HeapBalance balance;
    std::string file;
    for (int row = 0; row < 100; ++row)
        file += std::to_string(row) + ",90,45," + std::to_string(180 - row) + "\r\n";
    auto lines = split({TypedValue::of_text(file.c_str()), TypedValue::of_text("\r\n"), omitted});
    ASSERT_EQ(lines.size(), 100u);
    for (int row = 0; row < 100; ++row) {
        ASSERT_TRUE(lines[row]);
        auto fields = split({TypedValue::of_text(lines[row]->c_str()), omitted, omitted});
        ASSERT_EQ(fields, (Pieces{std::to_string(row), "90", "45", std::to_string(180 - row)}));
    }
}

} // namespace
