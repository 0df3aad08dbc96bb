#include "MessageCommands.h"

#include "ValueFormat.h"

#include <platform/dialogs/Dialogs.h>
#include <runtime/values/ArrayBlock.h>
#include <runtime/values/ValueConversion.h>

#include <atomic>
#include <string>

namespace commands {

using runtime::TypedValue;
namespace type_code = runtime::type_code;

namespace {

// 信息：
constexpr const char* default_caption = "\xD0\xC5\xCF\xA2\xA3\xBA";

std::atomic<MessageBoxFunction> g_message_box{nullptr};

std::string content_text(const TypedValue& value) {
    if (runtime::is_numeric_type(value.type)) {
        char buffer[FormatBufferSize];
        FormatValue(value, buffer);
        return buffer;
    }
    switch (value.type) {
    case type_code::Text:
        return std::string(runtime::text_of(value.pointer<const char>()));
    case type_code::Boolean:
        return value.low() != 0 ? TrueText : FalseText;
    case type_code::DateTime: {
        char buffer[FormatBufferSize];
        format_date_time(value.as_double(), buffer);
        return buffer;
    }
    default:
        return {};
    }
}

std::int32_t result_of_answer(int answer) {
    switch (answer) {
    case platform::IDCANCEL:
        return 1;
    case platform::IDABORT:
        return 2;
    case platform::IDRETRY:
        return 3;
    case platform::IDIGNORE:
        return 4;
    case platform::IDYES:
        return 5;
    case platform::IDNO:
        return 6;
    default:
        return 0;
    }
}

} // namespace

void set_message_box_function(MessageBoxFunction function) {
    g_message_box.store(function, std::memory_order_relaxed);
}

void ShowMessage(TypedValue* result, std::int32_t arg_count, const TypedValue* args) {
    *result = TypedValue::of_integer(0);
    std::string content = arg_count >= 1 ? content_text(args[0]) : std::string();

    platform::UINT flags = 0;
    if (arg_count >= 2 && args[1].type != type_code::None) {
        auto value = runtime::try_integer_from_value(args[1]);
        if (!value)
            return;
        flags = static_cast<platform::UINT>(*value);
    }
    if (!(flags & platform::MB_SYSTEMMODAL))
        flags |= platform::MB_TASKMODAL;

    std::string caption = default_caption;
    if (arg_count >= 3 && args[2].type != type_code::None) {
        if (args[2].type != type_code::Text)
            return;
        caption = runtime::text_of(args[2].pointer<const char>());
    }

    MessageBoxFunction show = g_message_box.load(std::memory_order_relaxed);
    if (!show)
        show = platform::message_box;
    *result = TypedValue::of_integer(result_of_answer(show(nullptr, content, caption, flags)));
}

} // namespace commands
