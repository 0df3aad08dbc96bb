#include <tests/support/TestSupport.h>

#include <runtime/services/ErrorReport.h>
#include <runtime/windows/RuntimeMessages.h>

#include <gtest/gtest.h>

using test_support::gbk;

namespace {

TEST(ErrorReport, NumberedMessagesAreTheSystemsTexts) {
    const char* expected[] = {
        "数组成员引用下标超出定义范围",
        "未得到所需要的数值型数据",
        "引用数组成员时维数不为1且不等于该数组目前所具有的维数",
        "数组成员引用下标必须大于等于1",
        "数据或数组类型不匹配",
        "调用DLL命令后发现堆栈错误",
        "子语句参数未返回数据或者返回了非系统基本类型或数组型数据",
        "被比较数据只能使用等于或不等于命令比较",
        "“多项选择”命令的索引值参数小于零或超出了所提供参数表范围",
        "“重定义数组”命令的数组维定义参数值必须大于零或单维时大于等于零",
        "所提供参数的数据类型不符合要求",
    };
    for (int number = 1; number <= 11; ++number)
        EXPECT_EQ(runtime::messages::numbered_message(number), gbk(expected[number - 1])) << number;
    EXPECT_EQ(runtime::messages::numbered_message(0), nullptr);
    EXPECT_EQ(runtime::messages::numbered_message(12), nullptr);
    EXPECT_EQ(runtime::messages::numbered_message(-1), nullptr);
}

TEST(ErrorReport, FixedMessagesAreTheSystemsTexts) {
    namespace m = runtime::messages;
    std::pair<const char*, const char*> cases[] = {
        {m::ErrorHeading, "运行时出错!"},
        {m::ErrorCodeLabel, "错误代码："},
        {m::ErrorInfoLabel, "错误信息："},
        {m::ErrorCaption, "错误"},
        {m::AllocationFailed, "分配 %d 字节内存失败!"},
        {m::NotNumeric, "欲转换数据类型不是数值"},
        {m::TemplateLoadFailed, "载入窗口模板数据段出错!"},
        {m::StartWindowLoadFailed, "载入启动窗口失败"},
        {m::EventWindowNotFound, "未找到引发事件的窗口"},
        {m::EventUnitNotFound, "未找到引发事件的窗口组件"},
        {m::EventUnitInvalid, "引发事件的窗口组件无效"},
        {m::UnitWindowNotLoaded, "未载入欲访问窗口组件所在的窗口"},
        {m::WindowNotLoaded, "指定窗口尚未载入"},
        {m::WindowOrUnitMissing, "指定窗口或窗口组件不存在或尚未载入"},
        {m::DllCommandNotFoundInFile, "无法找到指定DLL库文件“%s”中的输出命令“%s”"},
        {m::DllCommandNotFound, "无法找到指定DLL库文件中的输出命令“%s”"},
    };
    for (auto& [actual, utf8] : cases)
        EXPECT_EQ(actual, gbk(utf8)) << utf8;
}

TEST(ErrorReport, ComposedText) {
    struct Case {
        int number;
        std::string message;
        std::string expected;
    } cases[] = {
        {5, gbk("数据或数组类型不匹配"),
         gbk("运行时出错!\r\n\r\n错误代码：5\r\n\r\n错误信息：数据或数组类型不匹配\r\n")},
        {0, gbk("分配 12 字节内存失败!"),
         gbk("运行时出错!\r\n\r\n错误信息：分配 12 字节内存失败!\r\n")},
        {-3, "", gbk("运行时出错!\r\n\r\n错误代码：-3\r\n\r\n")},
        {0, "", gbk("运行时出错!\r\n\r\n")},
    };
    for (auto& c : cases)
        EXPECT_EQ(runtime::compose_error_text(c.number, c.message), c.expected) << c.number;
}

TEST(ErrorReport, StandardErrorTextIsUtf8WithPlainLineEnds) {
    auto text = runtime::compose_error_text(5, runtime::messages::numbered_message(5));
    EXPECT_EQ(runtime::error_text_for_stderr(text),
              "运行时出错!\n\n错误代码：5\n\n错误信息：数据或数组类型不匹配\n");
}

TEST(ErrorReport, FormattedMessages) {
    EXPECT_EQ(runtime::messages::allocation_failed(100), gbk("分配 100 字节内存失败!"));
    EXPECT_EQ(runtime::messages::allocation_failed(5000000000u),
              gbk("分配 5000000000 字节内存失败!"));
    EXPECT_EQ(runtime::messages::dll_command_not_found("", "MessageBoxA"),
              gbk("无法找到指定DLL库文件中的输出命令“MessageBoxA”"));
    EXPECT_EQ(runtime::messages::dll_command_not_found("libfoo.so", "bar"),
              gbk("无法找到指定DLL库文件“libfoo.so”中的输出命令“bar”"));
    // A name that itself holds "%s" is copied, not expanded.
    EXPECT_EQ(runtime::messages::dll_command_not_found("%s.so", "x"),
              gbk("无法找到指定DLL库文件“%s.so”中的输出命令“x”"));
}

} // namespace
