#include <tests/support/TestSupport.h>

#include <runtime/AppRuntime.h>
#include <runtime/services/DllCommandTable.h>
#include <runtime/services/RuntimeCallTable.h>

#include <gtest/gtest.h>

#include <cstring>
#include <dlfcn.h>
#include <filesystem>

using namespace runtime;
using test_support::gbk;

namespace {

const std::string fixture_path = ARMCTL_TEST_DLL;
const std::string fixture_dir = ARMCTL_TEST_DLL_DIR;
const std::string fixture_name = std::filesystem::path(fixture_path).filename().string();

TEST(DllCommandTable, SearchOrder) {
    struct Case {
        const char* what;
        std::string file;
        std::string program_directory;
        std::string dll_directory;
        bool found;
    } cases[] = {
        {"absolute path", fixture_path, "", "", true},
        {"program directory", fixture_name, fixture_dir, "", true},
        {"program directory with separator", fixture_name, fixture_dir + "/", "", true},
        {"DLL directory first", fixture_name, "/nonexistent", fixture_dir, true},
        {"nowhere", fixture_name, "/nonexistent", "/also/nonexistent", false},
        {"absolute path ignores the directories", "/nonexistent/" + fixture_name, fixture_dir,
         fixture_dir, false},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.what);
        DllCommandTable table;
        table.set_commands({c.file}, {"armctl_fixture_negate"});
        auto resolved = table.resolve(0, c.program_directory, c.dll_directory);
        ASSERT_EQ(!resolved.is_error(), c.found);
        if (!c.found) {
            EXPECT_EQ(resolved.error().message, gbk("无法找到指定DLL库文件“" + c.file +
                                                    "”中的输出命令“armctl_fixture_negate”"));
            continue;
        }
        auto negate = reinterpret_cast<std::int64_t (*)(std::int64_t)>(resolved.value());
        EXPECT_EQ(negate(5), -5);
    }
}

TEST(DllCommandTable, EmptyFileNameSearchesTheProcessAndTheCLibrary) {
    DllCommandTable table;
    table.set_commands({"", "", ""}, {"strlen", "no_such_export_anywhere", "#3"});
    auto strlen_address = table.resolve(0, "", "");
    ASSERT_FALSE(strlen_address.is_error());
    EXPECT_EQ(strlen_address.value(), dlsym(RTLD_DEFAULT, "strlen"));

    auto missing = table.resolve(1, "", "");
    ASSERT_TRUE(missing.is_error());
    EXPECT_EQ(missing.error().message,
              gbk("无法找到指定DLL库文件中的输出命令“no_such_export_anywhere”"));

    // Shared libraries export no ordinals.
    auto ordinal = table.resolve(2, "", "");
    ASSERT_TRUE(ordinal.is_error());
    EXPECT_EQ(ordinal.error().message, gbk("无法找到指定DLL库文件中的输出命令“#3”"));
}

TEST(DllCommandTable, MissingExportInAnExistingLibrary) {
    DllCommandTable table;
    table.set_commands({fixture_path}, {"armctl_fixture_absent"});
    auto resolved = table.resolve(0, "", "");
    ASSERT_TRUE(resolved.is_error());
    EXPECT_EQ(resolved.error().message, gbk("无法找到指定DLL库文件“" + fixture_path +
                                            "”中的输出命令“armctl_fixture_absent”"));
}

TEST(DllCommandTable, ResolutionIsCached) {
    DllCommandTable table;
    table.set_commands({fixture_name}, {"armctl_fixture_negate"});
    auto first = table.resolve(0, fixture_dir, "");
    ASSERT_FALSE(first.is_error());
    // The directories no longer lead to the library, but the address is kept.
    auto second = table.resolve(0, "/nonexistent", "");
    ASSERT_FALSE(second.is_error());
    EXPECT_EQ(first.value(), second.value());
}

TEST(DllCommandTable, SlotOnePassesWordArgumentsInOrder) {
    auto& app = AppRuntime::the();
    app.dll_commands().set_commands({fixture_path, fixture_path},
                                    {"armctl_fixture_sum", "armctl_fixture_negate"});
    const std::uint64_t args[] = {1, 2, 3, 4, 5, 6, 7, 8};
    auto slot = runtime_call_table().call_dll_command;
    EXPECT_EQ(slot(0, 8, args), 87654321u);
    EXPECT_EQ(slot(0, 3, args), 321u);
    const std::uint64_t one[] = {9};
    EXPECT_EQ(static_cast<std::int64_t>(slot(1, 1, one)), -9);
    app.dll_commands().set_commands({}, {});
}

} // namespace
