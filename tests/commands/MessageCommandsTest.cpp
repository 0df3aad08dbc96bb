#include "HeadlessCommandTest.h"

#include <commands/MessageCommands.h>
#include <platform/dialogs/Dialogs.h>

using namespace test_support;
namespace type_code = runtime::type_code;

namespace {

struct ShownBox {
    std::string text;
    std::string caption;
    platform::UINT type;
};
std::vector<ShownBox> g_shown;

// Records what ShowMessage hands the platform, then shows it there.
int recording_message_box(platform::HWND owner, std::string_view text, std::string_view caption,
                          platform::UINT type) {
    g_shown.push_back({std::string(text), std::string(caption), type});
    return platform::message_box(owner, text, caption, type);
}

class ShowMessage : public HeadlessCommandTest {
  protected:
    void SetUp() override {
        HeadlessCommandTest::SetUp();
        g_shown.clear();
        commands::set_message_box_function(recording_message_box);
    }
    std::int32_t show(std::vector<TypedValue> args) {
        TypedValue result = call(commands::ShowMessage, std::move(args));
        EXPECT_EQ(result.type, type_code::Integer);
        return static_cast<std::int32_t>(result.low());
    }
};

TEST_F(ShowMessage, FlagsCaptionAndAnswers) {
    HeapBalance balance;
    const std::string info = gbk("信息：");
    const std::string title = gbk("标题");
    struct Case {
        const char* what;
        TypedValue flags;
        TypedValue caption;
        int answer; // the button the box is closed with
        platform::UINT expected_type;
        std::string expected_caption;
        std::int32_t expected_result;
    } cases[] = {
        {"plain OK box, no caption", TypedValue::of_integer(0), omitted, platform::IDOK, 0x2000,
         info, 0},
        {"flags omitted", omitted, omitted, platform::IDOK, 0x2000, info, 0},
        {"Yes", TypedValue::of_integer(4), omitted, platform::IDYES, 0x2004, info, 5},
        {"No", TypedValue::of_integer(4), omitted, platform::IDNO, 0x2004, info, 6},
        {"already task-modal", TypedValue::of_integer(0x2000), omitted, platform::IDOK, 0x2000,
         info, 0},
        {"system-modal stays so", TypedValue::of_integer(0x1000), omitted, platform::IDOK, 0x1000,
         info, 0},
        {"system-modal Yes/No with an icon", TypedValue::of_integer(0x1024), omitted,
         platform::IDYES, 0x1024, info, 5},
        {"Cancel", TypedValue::of_integer(1), omitted, platform::IDCANCEL, 0x2001, info, 1},
        {"Abort", TypedValue::of_integer(2), omitted, platform::IDABORT, 0x2002, info, 2},
        {"Retry", TypedValue::of_integer(2), omitted, platform::IDRETRY, 0x2002, info, 3},
        {"Ignore", TypedValue::of_integer(2), omitted, platform::IDIGNORE, 0x2002, info, 4},
        {"flags as a double", TypedValue::of_double(4.9), omitted, platform::IDNO, 0x2004, info, 6},
        {"given caption", TypedValue::of_integer(0), TypedValue::of_text(title.c_str()),
         platform::IDOK, 0x2000, title, 0},
        {"empty caption given", TypedValue::of_integer(0), TypedValue::of_text(""), platform::IDOK,
         0x2000, "", 0},
    };
    for (const auto& c : cases) {
        g_shown.clear();
        m_backend.queue_message_box_answer(c.answer);
        EXPECT_EQ(show({TypedValue::of_text("Stop"), c.flags, c.caption}), c.expected_result)
            << c.what;
        ASSERT_EQ(g_shown.size(), 1u) << c.what;
        EXPECT_EQ(g_shown[0].type, c.expected_type) << c.what;
        EXPECT_EQ(g_shown[0].caption, c.expected_caption) << c.what;
        EXPECT_EQ(g_shown[0].text, "Stop") << c.what;
    }
    // The boxes really showed, with the caption and the text.
    ASSERT_EQ(m_backend.message_boxes().size(), std::size(cases));
    EXPECT_EQ(m_backend.message_boxes()[0].caption, info);
    EXPECT_EQ(m_backend.message_boxes()[0].text, "Stop");
}

TEST_F(ShowMessage, ContentOfEveryKind) {
    HeapBalance balance;
    void* bytes = runtime::make_byte_set(std::vector<std::uint8_t>{'A', 'B'});
    const std::string help = gbk(
        "1、选择与机械手对应的端口号，点击 打开串口。\r\n2、滑动四个滑动条，调整每个舵机的位置。");
    struct Case {
        const char* what;
        TypedValue content;
        std::string expected;
    } cases[] = {
        {"integer", TypedValue::of_integer(-5), "-5"},
        {"byte", TypedValue::of_byte(200), "200"},
        {"double with a wide exponent", TypedValue::of_double(2.5e-5), "2.5e-005"},
        {"float rounded for display", TypedValue::of_float(0.1f), "0.1"},
        {"true", TypedValue::of_boolean(true), gbk("真")},
        {"false", TypedValue::of_boolean(false), gbk("假")},
        {"date-time", TypedValue::of_date_time(0.5), gbk("1899年12月30日12时")},
        {"long text shown whole", TypedValue::of_text(help.c_str()), help},
        {"null text", TypedValue::of_text(nullptr), ""},
        {"byte set shows as empty", TypedValue::of_pointer(type_code::ByteSet, bytes), ""},
        {"subprogram pointer shows as empty", TypedValue::of(type_code::SubprogramPointer, 0x1234),
         ""},
    };
    for (const auto& c : cases) {
        g_shown.clear();
        m_backend.queue_message_box_answer(platform::IDOK);
        EXPECT_EQ(show({c.content}), 0) << c.what;
        ASSERT_EQ(g_shown.size(), 1u) << c.what;
        EXPECT_EQ(g_shown[0].text, c.expected) << c.what;
    }
    runtime::RuntimeHeap::the().release(bytes);
}

TEST_F(ShowMessage, BadArgumentsShowNothing) {
    EXPECT_EQ(show({TypedValue::of_text("x"), TypedValue::of_text("4")}), 0);
    EXPECT_EQ(
        show({TypedValue::of_text("x"), TypedValue::of_integer(0), TypedValue::of_integer(7)}), 0);
    EXPECT_TRUE(g_shown.empty());
}

TEST_F(ShowMessage, AnswersZeroWhenTheBoxCannotBeShown) {
    platform::shutdown(); // no display at all
    EXPECT_EQ(show({TypedValue::of_text("x"), TypedValue::of_integer(4)}), 0);
    ASSERT_TRUE(platform::initialize(&m_backend));
}

} // namespace
