#include "HeadlessCommandTest.h"

#include <commands/FolderCommands.h>
#include <runtime/services/HostNotify.h>
#include <runtime/services/LibraryHost.h>
#include <tests/support/ScopedEnv.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

using namespace test_support;
namespace fs = std::filesystem;
namespace type_code = runtime::type_code;

namespace {

OptionalText special_folder(TypedValue number) {
    TypedValue result = call(commands::GetSpecialFolder, {number});
    EXPECT_EQ(result.type, type_code::Text);
    return take_text(result.pointer<char>());
}

OptionalText special_folder(int number) {
    return special_folder(TypedValue::of_integer(number));
}

TEST(GetSpecialFolder, NumbersWithoutAFolderGiveTheEmptyText) {
    HeapBalance balance;
    for (int number : {0, 12, -1, 2})
        EXPECT_EQ(special_folder(number), std::nullopt) << number;
    EXPECT_EQ(special_folder(TypedValue::of_text("11")), std::nullopt) << "a text is not a number";
    EXPECT_EQ(take_text(call(commands::GetSpecialFolder, {}).pointer<char>()), std::nullopt);
}

TEST(GetSpecialFolder, TemporaryFolderEndsInExactlyOneSeparator) {
    HeapBalance balance;
    ScopedEnv env;
    struct Case {
        std::optional<std::string> tmpdir;
        OptionalText expected;
    } cases[] = {
        {"/var/tmp/arm", "/var/tmp/arm/"},
        {"/var/tmp/arm/", "/var/tmp/arm/"},
        {"/var/tmp/arm///", "/var/tmp/arm/"},
        {"/", "/"},
        {std::nullopt, "/tmp/"},
        {"", "/tmp/"},
        {"/tmp/\xE5\x8A\xA8\xE4\xBD\x9C", gbk("/tmp/动作/")},
        // An emoji has no GBK form; the program could not use the path.
        {"/tmp/\xF0\x9F\x98\x80", std::nullopt},
        // 258 bytes and the separator: 259 plus the terminator is the limit.
        {"/" + std::string(257, 'a'), "/" + std::string(257, 'a') + "/"},
        {"/" + std::string(258, 'a'), std::nullopt},
    };
    for (const auto& c : cases) {
        env.set("TMPDIR", c.tmpdir);
        EXPECT_EQ(special_folder(11), c.expected) << (c.tmpdir ? *c.tmpdir : "(unset)");
    }
    env.set("TMPDIR", std::nullopt);
    EXPECT_EQ(special_folder(TypedValue::of_double(11.7)), "/tmp/") << "numbers are truncated";
}

TEST(GetSpecialFolder, XdgFolders) {
    HeapBalance balance;
    ScopedEnv env;
    std::string config = (fs::temp_directory_path() / "armctl-xdg-config").string();
    fs::create_directories(config);
    env.set("HOME", "/home/arm");
    env.set("XDG_CONFIG_HOME", std::nullopt);
    env.set("XDG_DATA_HOME", std::nullopt);

    struct Case {
        int number;
        OptionalText expected;
    } defaults[] = {
        {1, "/home/arm/Documents/"},
        {3, "/home/arm/Desktop/"},
        {4, "/home/arm/.local/share/fonts/"},
        {5, "/home/arm/.local/share/applications/"},
        {6, "/home/arm/.local/share/applications/"},
        {7, "/home/arm/.config/autostart/"},
        {8, "/home/arm/.local/share/"},
        {9, "/usr/"},
        {10, "/usr/bin/"},
    };
    for (const auto& c : defaults)
        EXPECT_EQ(special_folder(c.number), c.expected) << "default " << c.number;

    env.set("XDG_DATA_HOME", "/data/arm/");
    EXPECT_EQ(special_folder(8), "/data/arm/");
    EXPECT_EQ(special_folder(4), "/data/arm/fonts/");
    env.set("XDG_DATA_HOME", "relative/share");
    EXPECT_EQ(special_folder(8), "/home/arm/.local/share/") << "a relative XDG path is ignored";

    std::ofstream(config + "/user-dirs.dirs")
        << "# written by xdg-user-dirs-update\n"
        << "XDG_DESKTOP_DIR=\"/srv/desk\"\n"
        << "XDG_DOCUMENTS_DIR=\"$HOME/\xE6\x96\x87\xE6\xA1\xA3\"\n";
    env.set("XDG_CONFIG_HOME", config);
    EXPECT_EQ(special_folder(1), gbk("/home/arm/文档/"));
    EXPECT_EQ(special_folder(3), "/srv/desk/");
    EXPECT_EQ(special_folder(7), config + "/autostart/");
    fs::remove_all(config);
}

// A stand-in runtime whose window list holds the test's windows.
std::vector<platform::HWND> g_window_list;

std::intptr_t window_list_host(std::int32_t code, std::intptr_t argument1,
                               std::intptr_t argument2) {
    if (code == runtime::host_service::WindowCount)
        return static_cast<std::intptr_t>(g_window_list.size());
    if (code == runtime::host_service::WindowHandleAt) {
        if (argument1 < 0 || static_cast<std::size_t>(argument1) >= g_window_list.size())
            return 0;
        return static_cast<std::intptr_t>(platform::handle_value(g_window_list[argument1]));
    }
    return runtime::host_notify(code, argument1, argument2);
}

// Records each WM_ENABLE a window sees.
std::map<platform::HWND, std::vector<bool>> g_enable_log;

platform::LRESULT enable_logging_proc(platform::HWND hwnd, platform::UINT message,
                                      platform::WPARAM wp, platform::LPARAM lp) {
    if (message == platform::WM_ENABLE)
        g_enable_log[hwnd].push_back(wp != 0);
    return platform::def_window_proc(hwnd, message, wp, lp);
}

class BrowseForFolder : public HeadlessCommandTest {
  protected:
    void SetUp() override {
        HeadlessCommandTest::SetUp();
        platform::WindowClass logging;
        logging.name = "EnableLogging";
        logging.proc = enable_logging_proc;
        platform::register_class(logging);
        g_enable_log.clear();
        runtime::set_library_host(window_list_host);
    }
    void TearDown() override {
        g_window_list.clear();
        HeadlessCommandTest::TearDown();
        platform::unregister_class("EnableLogging");
    }
    platform::HWND logging_top(std::uint32_t extra_style = 0) {
        return platform::create_window_ex(0, "EnableLogging", "w",
                                          platform::WS_OVERLAPPEDWINDOW | platform::WS_VISIBLE |
                                              extra_style,
                                          0, 0, 200, 100, nullptr, 0);
    }
    OptionalText browse(std::vector<TypedValue> args) {
        TypedValue result = call(commands::BrowseForFolder, std::move(args));
        EXPECT_EQ(result.type, type_code::Text);
        return take_text(result.pointer<char>());
    }
};

TEST_F(BrowseForFolder, CancelledLeavesEveryWindowAsItWas) {
    HeapBalance balance;
    platform::HWND main = logging_top();
    platform::HWND disabled = logging_top(platform::WS_DISABLED);
    platform::HWND child = platform::create_window_ex(
        0, "EnableLogging", "c", platform::WS_CHILD | platform::WS_VISIBLE, 0, 0, 20, 20, main, 1);
    platform::HWND outside = logging_top(); // not in the runtime's window list
    g_window_list = {main, disabled, child, nullptr};
    platform::set_active_window(main);
    g_enable_log.clear();

    m_backend.queue_folder_answer(std::nullopt);
    std::string title = "Open file";
    EXPECT_EQ(browse({TypedValue::of_text(title.c_str()), TypedValue::of_boolean(true)}),
              std::nullopt);

    ASSERT_EQ(m_backend.folder_requests().size(), 1u);
    const auto& request = m_backend.folder_requests()[0];
    EXPECT_EQ(request.title, "Open file");
    EXPECT_TRUE(request.include_files);
    EXPECT_EQ(request.owner, main) << "the active window owns the dialog";

    EXPECT_EQ(g_enable_log[main], (std::vector<bool>{false, true}))
        << "disabled while it showed, then enabled";
    EXPECT_TRUE(g_enable_log[disabled].empty()) << "stays disabled";
    EXPECT_TRUE(g_enable_log[child].empty()) << "only windows without a parent";
    EXPECT_TRUE(g_enable_log[outside].empty()) << "only the runtime's windows";
    EXPECT_TRUE(platform::is_window_enabled(main));
    EXPECT_FALSE(platform::is_window_enabled(disabled));
    EXPECT_EQ(platform::get_active_window(), main);
}

TEST_F(BrowseForFolder, ChosenPathIsReturnedAsGiven) {
    HeapBalance balance;
    std::string chosen = gbk("/home/arm/动作.txt");
    m_backend.queue_folder_answer(chosen);
    EXPECT_EQ(browse({TypedValue::of_text(gbk("选择").c_str())}), chosen);
    ASSERT_EQ(m_backend.folder_requests().size(), 1u);
    EXPECT_FALSE(m_backend.folder_requests()[0].include_files) << "files only when asked for";
    EXPECT_EQ(m_backend.folder_requests()[0].title, gbk("选择"));
}

TEST_F(BrowseForFolder, BadArgumentsShowNoDialog) {
    HeapBalance balance;
    EXPECT_EQ(browse({TypedValue::of_integer(1)}), std::nullopt);
    EXPECT_EQ(browse({TypedValue::of_text("t"), TypedValue::of_integer(1)}), std::nullopt);
    EXPECT_EQ(browse({}), std::nullopt);
    EXPECT_TRUE(m_backend.folder_requests().empty());
}

} // namespace
