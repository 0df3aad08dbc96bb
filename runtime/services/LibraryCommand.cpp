#include "LibraryCommand.h"

#include <algorithm>
#include <vector>

namespace runtime {

const char* empty_text() {
    static const char empty[1] = {0};
    return empty;
}

TypedValue call_library_command(LibraryCommand command, std::int32_t, std::int32_t arg_count,
                                const TypedValue* args) {
    TypedValue result;
    if (!command)
        return result;
    if (arg_count < 0 || !args)
        arg_count = 0;

    auto is_null_text = [](const TypedValue& v) {
        return v.type == type_code::Text && v.data == 0;
    };
    if (std::none_of(args, args + arg_count, is_null_text)) {
        command(&result, arg_count, args);
        return result;
    }
    std::vector<TypedValue> copy(args, args + arg_count);
    for (auto& value : copy) {
        if (is_null_text(value))
            value.set_pointer(empty_text());
    }
    command(&result, arg_count, copy.data());
    return result;
}

} // namespace runtime
