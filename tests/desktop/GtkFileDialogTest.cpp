// The native file choosers on a real X display, answered with xdotool while
// our own message loop runs underneath them.

#include "DesktopProbe.h"
#include "platform/Encoding.h"
#include <platform/dialogs/Dialogs.h>

#include <tests/support/ScopedEnv.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtk/gtk.h>
#include <unistd.h>

namespace test_support {

using namespace platform;
namespace {

namespace fs = std::filesystem;

constexpr std::uintptr_t Tick = 7;
constexpr UINT TickMs = 40;
constexpr std::uintptr_t DialogWatchdog = 8;
constexpr int WatchdogQuit = 99;

void end_with_quit(HWND, UINT, std::uintptr_t, std::uint32_t) {
    post_quit_message(WatchdogQuit);
}

// GTK reports misuse of its objects (a dialog used after it was destroyed,
// say) as critical log messages and carries on; the tests count them.
std::atomic<int> g_gtk_criticals{0};

GLogWriterOutput count_criticals(GLogLevelFlags level, const GLogField* fields, gsize count,
                                 gpointer) {
    if (level & G_LOG_LEVEL_CRITICAL)
        ++g_gtk_criticals;
    return g_log_writer_default(level, fields, count, nullptr);
}

class GtkFileDialogTest : public DesktopProbe {
  protected:
    void SetUp() override {
        // The chooser keeps its size and places in GSettings; a test run must
        // not write them into the user's settings (or need a session bus).
        if (!std::getenv("GSETTINGS_BACKEND"))
            m_env.set("GSETTINGS_BACKEND", "memory");
        // A writer can be set once per process.
        static bool writer_set = [] {
            g_log_set_writer_func(count_criticals, nullptr, nullptr);
            return true;
        }();
        (void)writer_set;
        m_criticals_before = g_gtk_criticals;
        DesktopProbe::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        std::string unique = std::to_string(getpid()) + "-" +
                             ::testing::UnitTest::GetInstance()->current_test_info()->name();
        m_folder = fs::temp_directory_path() / ("armctl-fd-" + unique);
        fs::create_directories(m_folder / "机械臂");
        m_dialog_title = "保存动作 " + unique;
    }

    void TearDown() override {
        EXPECT_EQ(g_gtk_criticals - m_criticals_before, 0) << "GTK reported misuse (see the log)";
        std::error_code ignored;
        if (!m_folder.empty())
            fs::remove_all(m_folder, ignored);
        DesktopProbe::TearDown();
    }

    FileDialogRequest save_request() const {
        FileDialogRequest r;
        r.kind = FileDialogKind::Save;
        r.owner = m_left; // a child: its top-level window is the owner
        r.title = utf8_to_gbk(m_dialog_title);
        r.initial_folder = utf8_to_gbk(m_folder.string());
        r.filters = {{utf8_to_gbk("动作文件 (*.act)"), "*.act"}, {"All files", "*.*"}};
        r.filter_index = 1;
        r.default_extension = "act";
        r.flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
        return r;
    }

    // xdotool waits for the dialog and gives it the keyboard, then each step
    // runs as one xdotool command line ("type" ends a chain). When
    // ARMCTL_DESKTOP_SHOTS names a folder, a shot() step saves a picture of
    // the screen there, for a person to look at.
    std::unique_ptr<ChildProcess>
    drive_dialog(const std::vector<std::vector<std::string>>& steps) const {
        std::string script = "timeout 8 xdotool search --sync --onlyvisible --limit 1 --name " +
                             quoted(m_dialog_title) +
                             " windowfocus --sync %1 sleep 0.3 || exit 3\n";
        for (const auto& step : steps) {
            if (step.size() == 2 && step[0] == Shot) {
                script += "if [ -n \"$ARMCTL_DESKTOP_SHOTS\" ]; then import -window root "
                          "\"$ARMCTL_DESKTOP_SHOTS\"/" +
                          quoted(step[1] + ".png") + "; fi\n";
                continue;
            }
            script += "timeout 8 xdotool";
            for (const std::string& arg : step)
                script += " " + quoted(arg);
            script += " || exit 4\n";
        }
        return std::make_unique<ChildProcess>(std::vector<std::string>{"sh", "-c", script});
    }

    static constexpr const char* Shot = "#shot";
    static std::vector<std::string> shot(const std::string& name) { return {Shot, name}; }

    // Enter, once the chooser has caught up with the typing (it looks the
    // typed folder up before it answers, as it does for a person).
    static std::vector<std::string> enter() { return {"sleep", "0.3", "key", "Return"}; }

    // Focuses the chooser again, after a window above it went away.
    std::vector<std::string> refocus() const {
        return {"search",       "--onlyvisible", "--limit", "1", "--name",
                m_dialog_title, "windowfocus",   "--sync",  "%1"};
    }

    static std::string quoted(const std::string& arg) {
        std::string out = "'";
        for (char c : arg)
            out += c == '\'' ? std::string("'\\''") : std::string(1, c);
        return out + "'";
    }

    // Runs the dialog with a timer of ours ticking, and a watchdog that ends
    // it with a quit request when nobody answers in time.
    std::optional<FileDialogAnswer> run_dialog(const FileDialogRequest& request,
                                               UINT watchdog_ms = 9000) {
        set_timer(m_top, Tick, TickMs);
        set_timer(m_top, DialogWatchdog, watchdog_ms, end_with_quit);
        auto answer = run_file_dialog(request);
        kill_timer(m_top, DialogWatchdog);
        kill_timer(m_top, Tick);
        settle();
        return answer;
    }

    // The ticks the owner received between being disabled and enabled again.
    int ticks_while_disabled() const {
        int ticks = 0;
        int state = 0; // 0 before, 1 disabled, 2 enabled again
        for (const Seen& s : seen(m_top, {WM_ENABLE, WM_TIMER})) {
            if (s.message == WM_ENABLE)
                state = s.wp == 0 && state == 0 ? 1 : (s.wp == 1 && state == 1 ? 2 : -1);
            else if (s.wp == Tick && state == 1)
                ++ticks;
        }
        return state == 2 ? ticks : -1;
    }

    void expect_driver_finished(ChildProcess& driver) const {
        ProcessResult r = driver.wait_for_exit(3000);
        EXPECT_TRUE(r.finished && r.exit_status == 0) << "xdotool: " << r.err;
    }

    fs::path m_folder;
    std::string m_dialog_title; // UTF-8
    int m_criticals_before = 0;
    ScopedEnv m_env;
};

TEST_F(GtkFileDialogTest, SaveReturnsTheTypedPathInGbkWithTheDefaultExtension) {
    // The chooser opens in the Chinese folder and only the plain name is
    // typed: xdotool types a character outside the keymap by remapping a
    // spare key, which a busy machine can deliver as the wrong character,
    // and a wrong folder name makes GTK open an error box of its own that
    // nothing here would answer.
    fs::path folder = m_folder / "机械臂";
    FileDialogRequest request = save_request();
    request.initial_folder = utf8_to_gbk(folder.string());
    auto driver = drive_dialog(
        {shot("save-dialog"), {"type", "--delay", "15", "pose1"}, shot("save-typed"), enter()});
    auto answer = run_dialog(request);
    expect_driver_finished(*driver);
    ASSERT_FALSE(m_quit_seen) << "the watchdog ended the dialog";
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->path, utf8_to_gbk((folder / "pose1.act").string()));
    EXPECT_EQ(answer->filter_index, 1);

    // The owner is disabled for as long as the dialog shows, and our timer
    // keeps firing meanwhile: the dialog runs inside our loop.
    EXPECT_GE(ticks_while_disabled(), 5) << "disable, ticks, enable again, in that order";
    EXPECT_TRUE(is_window_enabled(m_top));
}

TEST_F(GtkFileDialogTest, EscapeCancelsAndEnablesTheOwnerAgain) {
    auto driver = drive_dialog({{"key", "Escape"}});
    auto answer = run_dialog(save_request());
    expect_driver_finished(*driver);
    ASSERT_FALSE(m_quit_seen) << "the watchdog ended the dialog";
    EXPECT_FALSE(answer);
    EXPECT_GE(ticks_while_disabled(), 1);
    EXPECT_TRUE(is_window_enabled(m_top));
}

TEST_F(GtkFileDialogTest, QuitRequestCancelsTheDialogAndReachesTheOuterLoop) {
    auto answer = run_dialog(save_request(), 600);
    EXPECT_FALSE(answer);
    EXPECT_TRUE(m_quit_seen) << "the quit request must survive the dialog's loop";
    EXPECT_EQ(m_quit_code, WatchdogQuit);
    EXPECT_TRUE(is_window_enabled(m_top));
    ProcessResult still = xdotool({"search", "--onlyvisible", "--name", m_dialog_title});
    EXPECT_EQ(still.exit_status, 1) << "the chooser is still on the screen";
}

TEST_F(GtkFileDialogTest, ReplacingAFileAsksFirstAndADeclineKeepsTheChooserOpen) {
    fs::path existing = m_folder / "old.act";
    std::ofstream(existing) << "x";
    std::string other = (m_folder / "new.act").string();
    // Enter on an existing name asks; Escape declines; the chooser then
    // takes another name.
    auto driver = drive_dialog({{"type", "--delay", "15", existing.string()},
                                enter(),
                                {"sleep", "0.5"},
                                shot("replace-question"),
                                {"key", "Escape", "sleep", "0.3"},
                                refocus(),
                                {"key", "ctrl+a"},
                                {"type", "--delay", "15", other},
                                enter()});
    auto answer = run_dialog(save_request());
    expect_driver_finished(*driver);
    ASSERT_FALSE(m_quit_seen) << "the watchdog ended the dialog";
    ASSERT_TRUE(answer) << "declining the replacement must not cancel the dialog";
    EXPECT_EQ(answer->path, utf8_to_gbk(other))
        << "the first Enter must not take the existing file";
}

TEST_F(GtkFileDialogTest, FolderDialogThatShowsFilesCanChooseTheFolderItself) {
    fs::path folder = m_folder / "机械臂";
    FolderDialogRequest request;
    request.owner = m_top;
    request.title = utf8_to_gbk(m_dialog_title);
    request.initial_folder = utf8_to_gbk(folder.string());
    request.include_files = true;
    // Alt+F is the mnemonic of "Choose this folder".
    auto driver = drive_dialog({shot("folder-dialog"), {"key", "alt+f"}});
    set_timer(m_top, DialogWatchdog, 9000, end_with_quit);
    auto answer = run_folder_dialog(request);
    kill_timer(m_top, DialogWatchdog);
    settle();
    expect_driver_finished(*driver);
    ASSERT_FALSE(m_quit_seen) << "the watchdog ended the dialog";
    ASSERT_TRUE(answer);
    EXPECT_EQ(*answer, utf8_to_gbk(folder.string()));
}

} // namespace
} // namespace test_support
