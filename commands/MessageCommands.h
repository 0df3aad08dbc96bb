#pragma once

// The message box command.

#include <platform/Types.h>
#include <runtime/values/TypedValue.h>

#include <cstdint>
#include <string_view>

namespace commands {

// ShowMessage(content, flags = 0, caption = "信息："): shows a message box
// with no owner and returns which button closed it: OK 0, Cancel 1, Abort 2,
// Retry 3, Ignore 4, Yes 5, No 6, anything else (or no box) 0.
// The content is any base-type value: numbers as FormatValue writes them,
// "真"/"假" for booleans, the date text for date-times, texts as they are;
// every other value (byte sets included) shows as empty. The flags keep
// their platform meaning, and the box is task-modal unless the caller asked
// for system-modal. A flags argument that is not a number, or a caption
// that is not a text, gives 0 without a box.
void ShowMessage(runtime::TypedValue* result, std::int32_t arg_count,
                 const runtime::TypedValue* args);

// The message box ShowMessage calls, platform::message_box unless a test
// puts a recording one in its place (nullptr restores it).
using MessageBoxFunction = int (*)(platform::HWND owner, std::string_view text,
                                   std::string_view caption, platform::UINT type);
void set_message_box_function(MessageBoxFunction function);

} // namespace commands
