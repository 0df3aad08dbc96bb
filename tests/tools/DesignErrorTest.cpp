// The design compiler run as the build runs it, on small bad designs: each
// fault is reported as FILE:LINE: error: ..., the run fails and writes
// nothing.

#include <platform/process/ChildProcess.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// What the compiler reports, with its standard error folded into the output.
struct CommandRun {
    int exit_code = -1;
    std::string err;
};

CommandRun run_command(const std::vector<std::string>& argv) {
    platform::ProcessOptions options;
    options.output = platform::ProcessOptions::Output::Merged;
    options.limit_ms = 10000;
    platform::ProcessResult child = platform::run_process(argv, options);
    EXPECT_TRUE(child.finished) << child.error;
    return {child.exit_status, child.out};
}

class DesignErrors : public ::testing::Test {
  protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() / ("designc_test_" + std::to_string(getpid()));
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    std::string write_design(const std::string& text) {
        auto path = (m_dir / "bad.design").string();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    CommandRun compile(const std::string& design_path, const std::string& extra = "") {
        std::vector<std::string> argv = {ARMCTL_DESIGNC};
        if (!extra.empty())
            argv.push_back(extra);
        argv.insert(argv.end(), {design_path, out_cpp(), out_h()});
        return run_command(argv);
    }

    std::string out_cpp() const { return (m_dir / "out_design.cpp").string(); }
    std::string out_h() const { return (m_dir / "out_design.h").string(); }

    fs::path m_dir;
};

// A window with its own unit, to which each case adds its fault.
const std::string Window = "window 0x52010001\n"
                           "unit 0x06010000 窗口1 window\n"
                           "  rect 0 0 300 200\n";

struct Case {
    const char* what;
    std::string design;
    std::string expected; // after "FILE:"; each further "@" stands for "FILE:"
};

TEST_F(DesignErrors, EachFaultIsReportedWithItsLine) {
    const Case cases[] = {
        {"unknown type", Window + "unit 0x16010001 b1 Gadget\n  rect 0 0 1 1\n",
         "4: error: unknown unit type 'Gadget' (a type name, or library:type such as 1:5)\n"},
        {"unknown setting", Window + "  Border = 1\n  Colour = 5\n",
         "5: error: unknown setting 'Colour' for type window, or a value it does not take: '5'\n"},
        {"bad setting value", Window + "  Border = wide\n",
         "4: error: unknown setting 'Border' for type window, or a value it does not take: "
         "'wide'\n"},
        {"duplicate id",
         Window +
             "unit 0x16010001 a 1:11\n  rect 0 0 1 1\nunit 0x16010001 b 1:11\n  rect 0 0 1 1\n",
         "6: error: duplicate unit id 0x16010001 (first at line 4)\n"},
        {"duplicate name",
         Window + "unit 0x16010001 按钮 1:11\n  rect 0 0 1 1\nunit 0x16010002 按钮 1:11\n  rect 0 "
                  "0 1 1\n",
         "6: error: duplicate unit name '按钮' (first at line 4)\n"},
        {"parent missing", Window + "unit 0x16010001 b 1:11\n  rect 0 0 1 1\n  parent 分组框9\n",
         "6: error: parent '分组框9' is not a unit of this window\n"},
        {"parent id missing",
         Window + "unit 0x16010001 b 1:11\n  rect 0 0 1 1\n  parent 0x16019999\n",
         "6: error: parent 0x16019999 is not a unit of this window\n"},
        {"parent loop",
         Window + "unit 0x16010001 a 1:9\n  rect 0 0 1 1\n  parent b\n"
                  "unit 0x16010002 b 1:9\n  rect 0 0 1 1\n  parent a\n",
         "6: error: unit 'a' is inside itself\n@9: error: unit 'b' is inside itself\n"},
        {"parent loop of three and a unit placed in it",
         Window + "unit 0x16010001 a 1:9\n  rect 0 0 1 1\n  parent c\n"
                  "unit 0x16010002 b 1:9\n  rect 0 0 1 1\n  parent a\n"
                  "unit 0x16010003 c 1:9\n  rect 0 0 1 1\n  parent b\n"
                  "unit 0x16010004 d 1:11\n  rect 0 0 1 1\n  parent a\n",
         "6: error: unit 'a' is inside itself\n@9: error: unit 'b' is inside itself\n"
         "@12: error: unit 'c' is inside itself\n@15: error: unit 'd' is inside itself\n"},
        {"rectangle short", Window + "unit 0x16010001 b 1:11\n  rect 0 0 1\n",
         "5: error: bad rectangle: rect LEFT TOP WIDTH HEIGHT takes four whole numbers\n"},
        {"rectangle negative", Window + "unit 0x16010001 b 1:11\n  rect 0 0 -1 5\n",
         "5: error: bad rectangle: width and height are not negative\n"},
        {"rectangle missing", Window + "unit 0x16010001 b 1:11\n",
         "4: error: bad rectangle: unit 'b' has no rect LEFT TOP WIDTH HEIGHT\n"},
        {"invalid unit id", Window + "unit 0x10000000 b 1:11\n  rect 0 0 1 1\n",
         "4: error: unit id 0x10000000 is not valid (its low 24 bits and bits 24 to 27 are not "
         "zero)\n"},
        {"first unit not the window", "window 1\nunit 0x16010001 b 1:11\n  rect 0 0 1 1\n",
         "2: error: the first unit of a window is the window itself, of type window\n"},
        {"second window unit", Window + "unit 0x16010001 w2 window\n  rect 0 0 1 1\n",
         "4: error: only the first unit of a window is of type window\n"},
        {"redirect to another type",
         Window + "unit 0x16010001 a 1:11\n  rect 0 0 1 1\nunit 0x16010002 b 1:10\n"
                  "  rect 0 0 1 1\n  redirect a\n",
         "8: error: redirect unit 'a' is not of the same type\n"},
        {"redirect to itself", Window + "unit 0x16010001 a 1:11\n  rect 0 0 1 1\n  redirect a\n",
         "6: error: a unit does not redirect to itself\n"},
        {"redirect loop",
         Window + "unit 0x16010001 a 1:11\n  rect 0 0 1 1\n  redirect b\n"
                  "unit 0x16010002 b 1:11\n  rect 0 0 1 1\n  redirect 0x16010001\n",
         "6: error: the redirects from unit 'a' go round in a loop\n"
         "@9: error: the redirects from unit 'b' go round in a loop\n"},
        {"event bound twice", Window + "  on 0 a\n  on 0 b\n",
         "5: error: event 0 is bound twice (first at line 4)\n"},
        {"handler arguments differ", Window + "  on 0 go\n  on 3 go(x)\n",
         "5: error: handler 'go' takes 0 arguments where it was first bound\n"},
        {"constant named like a handler", Window + "  on 0 go\nconst float go = 1\n",
         "5: error: 'go' is already a handler\n"},
        {"alias given twice",
         Window + "unit 0x16010001 a Button as Go\n  rect 0 0 1 1\n"
                  "unit 0x16010002 b Button as Go\n  rect 0 0 1 1\n",
         "6: error: alias 'Go' is already the alias of unit 'a' (line 4)\n"},
        {"alias not a name", Window + "unit 0x16010001 a Button as go-on\n  rect 0 0 1 1\n",
         "4: error: 'go-on' is not an alias (a C++ identifier)\n"},
        {"no window", "const float f = 1\n", "1: error: the design has no window\n"},
        {"namespace twice", "namespace app\n" + Window + "namespace app::ui\n",
         "5: error: a second namespace for the design (first at line 1)\n"},
        {"continued past the end", Window + "  tag \"x\" \\\n",
         "4: error: the line is continued with \\ but the design ends there\n"},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto path = write_design(c.design);
        auto run = compile(path);
        EXPECT_EQ(run.exit_code, 1);
        std::string expected = path + ":" + c.expected;
        for (auto at = expected.find('@'); at != std::string::npos; at = expected.find('@', at))
            expected.replace(at, 1, path + ":");
        EXPECT_EQ(run.err, expected);
        EXPECT_FALSE(fs::exists(out_cpp()) || fs::exists(out_h())) << "a failed run writes nothing";
    }
}

TEST_F(DesignErrors, EveryBadLineOfOneRunIsReportedInLineOrder) {
    auto path = write_design(Window + "  flags loud\nunit 0x16010001 b Nope\n  rect 0 0 -1 1\n");
    auto run = compile(path);
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.err, path + ":4: error: unknown flag 'loud' (visible, disabled, tabstop)\n" +
                           path +
                           ":5: error: unknown unit type 'Nope' (a type name, or "
                           "library:type such as 1:5)\n" +
                           path + ":6: error: bad rectangle: width and height are not negative\n");
}

TEST_F(DesignErrors, MissingDesignAndBadCommandLine) {
    auto missing = (m_dir / "none.design").string();
    auto run = compile(missing);
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.err, missing + ": error: cannot read the design\n");

    auto folder = m_dir.string();
    run = compile(folder);
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.err, folder + ": error: cannot read the design\n");

    auto usage = run_command({ARMCTL_DESIGNC, "only-one"});
    EXPECT_EQ(usage.exit_code, 2);
    EXPECT_EQ(usage.err, "usage: designc [--stream=FILE] DESIGN OUT.cpp OUT.h\n");
}

TEST_F(DesignErrors, AGoodDesignWritesTheSourceHeaderAndStream) {
    auto path = write_design(Window + "  on 0 start\n");
    auto stream = (m_dir / "stream.bin").string();
    auto run = compile(path, "--stream=" + stream);
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_TRUE(fs::exists(out_cpp()));
    std::ifstream header(out_h());
    std::string text((std::istreambuf_iterator<char>(header)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("runtime::HandlerResult start();"), std::string::npos) << text;
    EXPECT_NE(text.find("StartWindowId = 0x52010001;"), std::string::npos) << text;
    // The list buffer (8 bytes: one id, one place holder) leads the stream.
    EXPECT_GT(fs::file_size(stream), 12u);
}

} // namespace
