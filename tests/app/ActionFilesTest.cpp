// Saving the record log through the save dialog, and importing action files
// into the table through the browse dialog (answers queued on the headless
// display).

#include "AppFixture.h"

#include <tests/support/SteppedTime.h>

#include <app/AppState.h>
#include <app/Units.h>

#include <platform/dialogs/Dialogs.h>
#include <platform/window/Styles.h>
#include <platform/window/WindowSystem.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

using namespace app_test;
using namespace app;

namespace {

class ActionFilesTest : public AppTest {
  protected:
    std::string path(const char* name) { return m_home + "/" + name; }
    static std::string contents(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    static void write_file(const std::string& file, const std::string& bytes) {
        std::ofstream(file, std::ios::binary) << bytes;
    }
    void save_as(const std::string& file) {
        m_backend.queue_file_answer(file);
        click(SaveButton);
    }
    void import(const std::string& bytes) {
        std::string file = path("import.txt");
        write_file(file, bytes);
        m_backend.queue_folder_answer(file);
        click(LoadButton);
    }
    std::string row(int r) {
        return cell(r, 1) + "," + cell(r, 2) + "," + cell(r, 3) + "," + cell(r, 4);
    }
    void nudge_gripper() { key(Servos[Gripper].slider.unit, platform::VK_RIGHT); }
};

TEST_F(ActionFilesTest, SaveWritesTheWholeRecordLogEvenRowsAClearRemoved) {
    start();
    for (int i = 0; i < 3; ++i) {
        click(RecordButton);
        nudge_gripper();
    }
    click(ClearButton);
    click(RecordButton);
    nudge_gripper();
    click(RecordButton);
    std::string file = path("poses");
    save_as(file);
    EXPECT_EQ(contents(file), "80,100,80,120\r\n81,100,80,120\r\n82,100,80,120\r\n"
                              "83,100,80,120\r\n84,100,80,120\r\n");
    ASSERT_EQ(m_backend.file_requests().size(), 1u);
    const platform::FileDialogRequest& request = m_backend.file_requests().back();
    EXPECT_EQ(request.kind, platform::FileDialogKind::Save);
    EXPECT_FALSE(request.initial_folder.empty());
    // The dialog keeps the name chosen last; no extension was added.
    EXPECT_EQ(read_text(SaveDialog.unit, 0, property::DialogFileName), file);
    EXPECT_FALSE(std::filesystem::exists(file + ".txt"));
}

TEST_F(ActionFilesTest, SaveBeforeAnyRecordMakesAnEmptyFileAndCancelWritesNothing) {
    start();
    std::string file = path("empty");
    save_as(file);
    ASSERT_TRUE(std::filesystem::exists(file));
    EXPECT_EQ(std::filesystem::file_size(file), 0u);

    click(RecordButton);
    m_backend.queue_file_answer(std::nullopt);
    click(SaveButton);
    EXPECT_EQ(std::filesystem::file_size(file), 0u);
    ASSERT_EQ(m_backend.file_requests().size(), 2u);
    EXPECT_EQ(m_backend.file_requests().back().file_name, file);

    // A folder that does not exist: nothing is reported, the log stays.
    save_as(path("missing/poses"));
    EXPECT_TRUE(m_backend.message_boxes().empty());
    EXPECT_EQ(state().record_log, "80,100,80,120\r\n");
}

TEST_F(ActionFilesTest, ImportFillsRowsFromLinesAndKeepsTheCountAndTheLog) {
    start();
    import("80,100,80,120\r\n90,110,70,130\r\n");
    ASSERT_EQ(m_backend.folder_requests().size(), 1u);
    EXPECT_EQ(m_backend.folder_requests().back().title, "Open file");
    EXPECT_TRUE(m_backend.folder_requests().back().include_files);
    EXPECT_EQ(row(1), "80,100,80,120");
    EXPECT_EQ(row(2), "90,110,70,130");
    EXPECT_EQ(row(3), ",,,");
    EXPECT_EQ(state().recorded_rows, 0);
    EXPECT_EQ(state().record_log, "");
    // The next record overwrites the first imported row.
    nudge_gripper();
    click(RecordButton);
    EXPECT_EQ(row(1), "81,100,80,120");
    EXPECT_EQ(state().record_log, "81,100,80,120\r\n");
}

TEST_F(ActionFilesTest, ImportTakesWhatFitsTheTableAsText) {
    struct Case {
        const char* name;
        std::string file;
        std::vector<std::pair<int, std::string>> rows;
    };
    std::string long_file;
    for (int i = 1; i <= 120; ++i)
        long_file += std::to_string(i) + ",1,2,3\r\n";
    const Case cases[] = {
        {"a fifth field is dropped", "1,2,3,4,5\r\n", {{1, "1,2,3,4"}}},
        {"a short line changes only its own columns", "7\r\n", {{1, "7,100,80,120"}}},
        {"an empty line leaves its row",
         "1,1,1,1\r\n\r\n3,3,3,3",
         {{1, "1,1,1,1"}, {2, "80,100,80,120"}, {3, "3,3,3,3"}}},
        {"LF alone does not end a line",
         "10,20,30,40\n50,60,70,80\n",
         {{1, "10,20,30,40\n50"}, {2, "80,100,80,120"}}},
        {"blanks are kept", " 90,100,80,120\r\n", {{1, " 90,100,80,120"}}},
        {"a zero byte ends the file",
         std::string("11,12,13,14\r\n\0"
                     "15,16,17,18\r\n",
                     28),
         {{1, "11,12,13,14"}, {2, "80,100,80,120"}}},
        {"lines past the table change nothing", long_file, {{1, "1,1,2,3"}, {100, "100,1,2,3"}}},
        {"an empty file changes nothing", "", {{1, "80,100,80,120"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        start();
        // Rows 1 and 2 hold a recorded pose first.
        click(RecordButton);
        click(RecordButton);
        import(c.file);
        for (const auto& [r, expected] : c.rows)
            EXPECT_EQ(row(r), expected) << "row " << r;
        EXPECT_TRUE(m_backend.message_boxes().empty());
        TearDown();
        SetUp();
    }
}

TEST_F(ActionFilesTest, ACancelledBrowseOrAMissingFileLeavesTheTable) {
    start();
    click(RecordButton);
    m_backend.queue_folder_answer(std::nullopt);
    click(LoadButton);
    EXPECT_EQ(row(1), "80,100,80,120");
    m_backend.queue_folder_answer(path("no-such-file"));
    click(LoadButton);
    EXPECT_EQ(row(1), "80,100,80,120");
    EXPECT_TRUE(m_backend.message_boxes().empty());
}

TEST_F(ActionFilesTest, APlaybackSendsImportedTextsAsTheyAre) {
    start();
    import("90\r\n");
    click(OpenButton);
    write_text(CyclesBox.unit, property::EditContent, "1");
    {
        test_support::LetTimeRun run;
        click(RunButton);
    }
    // A row with only its first cell filled is not empty.
    EXPECT_TRUE(m_arm.next_is("90abcd"));
    EXPECT_EQ(message_texts(), std::vector<std::string>{"Stop"});
}

} // namespace
