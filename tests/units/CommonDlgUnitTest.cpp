// The file dialog unit: the request ShowDialog builds from its settings, and
// what confirming, cancelling and an unusable answer leave behind. The
// headless display answers the dialogs from a queue.

#include "BasicUnitFixture.h"

#include <program/LibraryTable.h>
#include <runtime/services/LibraryCommand.h>

#include <units/ButtonUnit.h>
#include <units/CommonDlgUnit.h>

#include <platform/window/WindowSystem.h>

using namespace test_support;
using units::CommonDlgUnit;

namespace {

constexpr std::uint32_t DialogId = 0x1601019a;
constexpr std::uint32_t PlainButtonId = 0x16010191;

class CommonDlgUnitTest : public BasicUnitTest {
  protected:
    void create_dialog(CommonDlgUnit::Settings settings) {
        create({unit_record(DialogId, CommonDlgUnit::TypeCode, settings, 408, 240, 26, 26),
                unit_record(PlainButtonId, units::ButtonUnit::TypeCode,
                            units::ButtonUnit::Settings{})});
    }

    // ShowDialog as the program calls it: the last command of library 1.
    bool show(std::uint32_t unit_id = DialogId, std::uint32_t type = CommonDlgUnit::TypeCode) {
        const auto& library = *program::LibraryTable::the().libraries()[0];
        runtime::TypedValue reference;
        reference.type = type;
        reference.set_words(WindowId, unit_id);
        auto result = runtime::call_library_command(library.commands[library.command_count - 1], 1,
                                                    1, &reference);
        EXPECT_EQ(result.type, runtime::type_code::Boolean);
        return result.low() != 0;
    }
};

CommonDlgUnit::Settings save_dialog() {
    CommonDlgUnit::Settings settings;
    settings.set_word(CommonDlgUnit::DialogKind, CommonDlgUnit::SaveFile);
    settings.set_text(CommonDlgUnit::Title, "Save actions");
    settings.set_text(CommonDlgUnit::FileName, "actions");
    settings.set_text(CommonDlgUnit::Filter, "Text|*.txt|All|*.*");
    settings.set_word(CommonDlgUnit::FilterIndex, 1);
    settings.set_text(CommonDlgUnit::DefaultExtension, "txt");
    settings.set_text(CommonDlgUnit::InitialFolder, "/home/arm");
    settings.set_word(CommonDlgUnit::CreatePrompt, 1);
    return settings;
}

TEST_F(CommonDlgUnitTest, ConfirmingStoresTheFullPathAndTheRequestCarriesEverySetting) {
    create_dialog(save_dialog());
    EXPECT_FALSE(platform::is_window_visible(unit_window(DialogId))) << "invisible at run time";
    m_backend.queue_file_answer("/home/arm/poses.txt");
    EXPECT_TRUE(show());
    EXPECT_EQ(read_text(DialogId, 10), "/home/arm/poses.txt");

    ASSERT_EQ(m_backend.file_requests().size(), 1u);
    const auto& request = m_backend.file_requests().front();
    EXPECT_EQ(request.kind, platform::FileDialogKind::Save);
    EXPECT_EQ(request.title, "Save actions");
    EXPECT_EQ(request.file_name, "actions");
    EXPECT_EQ(request.initial_folder, "/home/arm");
    EXPECT_EQ(request.default_extension, "txt");
    EXPECT_EQ(request.filter_index, 2) << "the stored index counts from 0";
    EXPECT_EQ(request.flags, platform::OFN_HIDEREADONLY | platform::OFN_CREATEPROMPT);
    using Filters = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(request.filters, (Filters{{"Text", "*.txt"}, {"All", "*.*"}}));
    EXPECT_EQ(request.owner, window());
}

TEST_F(CommonDlgUnitTest, FilterTextAndIndexFollowTheClosingRule) {
    struct Row {
        const char* filter;
        std::int32_t index;
        std::size_t filters;
        int expected_index;
    };
    const Row table[] = {
        {"", 3, 0, 0},
        {"Text|*.txt", 0, 1, 1},
        {"Text|*.txt||", 0, 1, 1},
        {"A|*.a|B|*.b", 1, 2, 2},
        {"Text|*.txt|", 0, 1, 1},
    };
    CommonDlgUnit::Settings settings;
    create_dialog(settings);
    for (const auto& row : table) {
        write_text(DialogId, 11, row.filter);
        write(DialogId, 12, static_cast<std::uint32_t>(row.index));
        auto request = unit<CommonDlgUnit>(DialogId)->file_request();
        EXPECT_EQ(request.filters.size(), row.filters) << row.filter;
        EXPECT_EQ(request.filter_index, row.expected_index) << row.filter;
    }
    write(DialogId, 12, static_cast<std::uint32_t>(-4));
    EXPECT_EQ(read(DialogId, 12), 0u) << "a negative index becomes 0";
}

TEST_F(CommonDlgUnitTest, CancelAndUnusableAnswersLeaveTheNameUnchanged) {
    create_dialog(save_dialog());
    m_backend.queue_file_answer(std::nullopt);
    EXPECT_FALSE(show());
    EXPECT_EQ(read_text(DialogId, 10), "actions");

    m_backend.queue_file_answer(std::string("/home/arm/\xFF\xFE.txt"));
    EXPECT_FALSE(show()) << "a path that is not GBK is no choice";
    EXPECT_EQ(read_text(DialogId, 10), "actions");
}

TEST_F(CommonDlgUnitTest, OtherKindsAndOtherUnitsShowNothing) {
    auto settings = save_dialog();
    settings.set_word(CommonDlgUnit::DialogKind, CommonDlgUnit::FontDialog);
    create_dialog(settings);
    EXPECT_FALSE(show());
    EXPECT_FALSE(show(PlainButtonId, units::ButtonUnit::TypeCode)) << "a button has no dialog";
    EXPECT_TRUE(m_backend.file_requests().empty());
    write(DialogId, 8, 0);
    m_backend.queue_file_answer("/tmp/a.txt");
    EXPECT_TRUE(show());
    EXPECT_EQ(m_backend.file_requests().back().kind, platform::FileDialogKind::Open);
}

} // namespace
