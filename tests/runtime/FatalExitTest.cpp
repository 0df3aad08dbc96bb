// The fatal report ends the process: these tests run a probe program as a
// child and look at its exit status, its observations and its standard error.

#include <tests/support/TestSupport.h>

#include <platform/process/ChildProcess.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using test_support::gbk;
using test_support::hex;

namespace {

platform::ProcessResult run_probe(const std::vector<std::string>& arguments) {
    std::vector<std::string> argv = {ARMCTL_FATAL_PROBE};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    platform::ProcessOptions options;
    // A sanitizer build must let the huge allocation fail instead of aborting.
    options.set_env = {"ASAN_OPTIONS=allocator_may_return_null=1"};
    options.limit_ms = 10000;
    platform::ProcessResult run = platform::run_process(argv, options);
    EXPECT_TRUE(run.finished) << run.error;
    return run;
}

std::string box_line(std::string_view text) {
    return "box " + hex(gbk("错误")) + " 16 " + hex(text) + "\n";
}

TEST(FatalExit, NumberedErrorShowsCodeAndMessageAndSkipsExitRoutine) {
    auto run = run_probe({"numbered", "5"});
    EXPECT_EQ(run.exit_status, 255);
    std::string text =
        gbk("运行时出错!\r\n\r\n错误代码：5\r\n\r\n错误信息：数据或数组类型不匹配\r\n");
    EXPECT_EQ(run.out, box_line(text));
    EXPECT_EQ(run.err, "错误\n运行时出错!\n\n错误代码：5\n\n错误信息：数据或数组类型不匹配\n");
}

TEST(FatalExit, NumberOutsideTheTableShowsOnlyTheCode) {
    auto run = run_probe({"numbered", "12"});
    EXPECT_EQ(run.exit_status, 255);
    EXPECT_EQ(run.out, box_line(gbk("运行时出错!\r\n\r\n错误代码：12\r\n\r\n")));
}

TEST(FatalExit, AllocationFailureHasNoCodeLine) {
    auto run = run_probe({"allocation"});
    EXPECT_EQ(run.exit_status, 255);
    EXPECT_EQ(
        run.out,
        box_line(gbk("运行时出错!\r\n\r\n错误信息：分配 4611686018427387904 字节内存失败!\r\n")));
}

TEST(FatalExit, HandlerThatHandlesTheErrorSuppressesTheBox) {
    auto run = run_probe({"handler-handles", "2"});
    EXPECT_EQ(run.exit_status, 255);
    EXPECT_EQ(run.out, "handler 2 " + hex(gbk("未得到所需要的数值型数据")) + "\n");
    EXPECT_EQ(run.err, "");
}

TEST(FatalExit, HandlerThatDeclinesLeavesTheBox) {
    auto run = run_probe({"handler-declines", "1"});
    EXPECT_EQ(run.exit_status, 255);
    std::string message = gbk("数组成员引用下标超出定义范围");
    EXPECT_EQ(run.out, "handler 1 " + hex(message) + "\n" +
                           box_line(gbk("运行时出错!\r\n\r\n错误代码：1\r\n\r\n错误信息：") +
                                    message + "\r\n"));
}

TEST(FatalExit, ErrorInsideTheHandlerShowsTheBoxWithoutCallingItAgain) {
    auto run = run_probe({"handler-reentry", "1"});
    EXPECT_EQ(run.exit_status, 255);
    std::string first = gbk("数组成员引用下标超出定义范围");
    std::string second = gbk("“多项选择”命令的索引值参数小于零或超出了所提供参数表范围");
    EXPECT_EQ(run.out, "handler 1 " + hex(first) + "\n" +
                           box_line(gbk("运行时出错!\r\n\r\n错误代码：9\r\n\r\n错误信息：") +
                                    second + "\r\n"));
}

TEST(FatalExit, EndProgramRunsTheExitRoutineOnceAndUsesTheCode) {
    auto run = run_probe({"end", "7"});
    EXPECT_EQ(run.exit_status, 7);
    EXPECT_EQ(run.out, "exit routine\n");
}

TEST(FatalExit, StartWindowMissingFromEmptyTemplateData) {
    auto run = run_probe({"load-window"});
    EXPECT_EQ(run.exit_status, 255);
    EXPECT_EQ(run.out, box_line(gbk("运行时出错!\r\n\r\n错误信息：载入启动窗口失败\r\n")));
}

TEST(FatalExit, MalformedTemplateDataAtInitialisation) {
    auto run = run_probe({"bad-templates"});
    EXPECT_EQ(run.exit_status, 255);
    EXPECT_EQ(run.out, box_line(gbk("运行时出错!\r\n\r\n错误信息：载入窗口模板数据段出错!\r\n")));
}

TEST(FatalExit, DllCommandInMissingLibrary) {
    auto run = run_probe({"dll-missing"});
    EXPECT_EQ(run.exit_status, 255);
    EXPECT_EQ(run.out, box_line(gbk("运行时出错!\r\n\r\n错误信息：无法找到指定DLL库文件“armctl_no_"
                                    "such_library.so”中的输出命令“missing”\r\n")));
}

TEST(FatalExit, LibraryReportsThroughHostService) {
    auto run = run_probe({"host-fatal"});
    EXPECT_EQ(run.exit_status, 255);
    EXPECT_EQ(run.out, box_line(gbk("运行时出错!\r\n\r\n错误信息：library says no\r\n")));
}

TEST(FatalExit, PropertyAccessBeforeAnyWindowIsLoaded) {
    auto run = run_probe({"read-property"});
    EXPECT_EQ(run.exit_status, 255);
    EXPECT_EQ(run.out,
              box_line(gbk("运行时出错!\r\n\r\n错误信息：未载入欲访问窗口组件所在的窗口\r\n")));
}

} // namespace
