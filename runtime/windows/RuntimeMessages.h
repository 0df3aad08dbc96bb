#pragma once

// The runtime's fixed texts, as the GBK bytes the error box shows.

#include <string>
#include <string_view>

namespace runtime::messages {

// The report's frame. Each is GBK; the comment beside the definition gives the text.
extern const char* const ErrorHeading;   // 运行时出错!
extern const char* const ErrorCodeLabel; // 错误代码：
extern const char* const ErrorInfoLabel; // 错误信息：
extern const char* const ErrorCaption;   // 错误

// Fatal messages of the runtime core (reported with error number 0).
extern const char* const AllocationFailed; // 分配 %d 字节内存失败!
extern const char* const NotNumeric;       // 欲转换数据类型不是数值
extern const char* const TemplateLoadFailed;
extern const char* const StartWindowLoadFailed;
extern const char* const EventWindowNotFound;
extern const char* const EventUnitNotFound;
extern const char* const EventUnitInvalid;
extern const char* const UnitWindowNotLoaded;
extern const char* const WindowNotLoaded;
extern const char* const WindowOrUnitMissing;
extern const char* const DllCommandNotFoundInFile; // two %s: file name, export name
extern const char* const DllCommandNotFound;       // one %s: export name

// Messages reported by number (1..11); 0 and numbers outside give null.
inline constexpr int FirstNumberedMessage = 1;
inline constexpr int LastNumberedMessage = 11;
const char* numbered_message(int number);

// The allocation failure text for a byte count.
std::string allocation_failed(std::size_t byte_count);
std::string dll_command_not_found(std::string_view file_name, std::string_view export_name);

} // namespace runtime::messages
