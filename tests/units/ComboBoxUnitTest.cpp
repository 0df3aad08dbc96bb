// The combo box unit: creation from its items, the current item, the
// selection the user makes (delivered through a posted message), and the
// properties that re-create it.

#include "BasicUnitFixture.h"

#include <tests/platform/MessageRecorder.h>

#include <units/ComboBoxUnit.h>

#include <platform/controls/Controls.h>
#include <platform/window/WindowSystem.h>

using namespace units_test;
using units::ComboBoxUnit;
using namespace platform::testing;

namespace {

constexpr std::uint32_t ComboId = 0x16010068;
// A marker the test records when a handler runs.
constexpr platform::UINT HandlerRan = platform::WM_APP + 0x300;

ComboBoxUnit::Settings ports(std::int32_t kind = 2) {
    ComboBoxUnit::Settings settings;
    std::string items;
    for (int i = 1; i <= 10; ++i)
        items += "COM" + std::to_string(i) + (i < 10 ? "\n" : "");
    EXPECT_TRUE(settings.set_by_name("Items", items));
    settings.set_word(ComboBoxUnit::Kind, kind);
    std::vector<std::uint8_t> values;
    for (std::uint8_t i = 1; i <= 10; ++i)
        values.insert(values.end(), {i, 0, 0, 0});
    settings.set_block(ComboBoxUnit::ItemValues, values);
    return settings;
}

class ComboBoxUnitTest : public BasicUnitTest {
  protected:
    void create_combo(ComboBoxUnit::Settings settings) {
        create({unit_record(ComboId, ComboBoxUnit::TypeCode, settings, 56, 46, 96, 20)});
        events().clear();
    }
    platform::HWND combo() const { return unit_window(ComboId); }
    platform::LRESULT cur_sel() const {
        return platform::send_message(combo(), platform::CB_GETCURSEL);
    }
};

TEST_F(ComboBoxUnitTest, CreationAddsTheItemsWithTheirValuesAndClampsTheCurrentItem) {
    auto settings = ports();
    settings.set_word(ComboBoxUnit::CurrentItem, 40);
    create_combo(settings);
    ASSERT_EQ(platform::send_message(combo(), platform::CB_GETCOUNT), 10);
    char text[16] = {};
    platform::send_message(combo(), platform::CB_GETLBTEXT, 9,
                           reinterpret_cast<platform::LPARAM>(text));
    EXPECT_STREQ(text, "COM10");
    EXPECT_EQ(platform::send_message(combo(), platform::CB_GETITEMDATA, 4), 5);
    EXPECT_EQ(cur_sel(), 9);
    EXPECT_EQ(read(ComboId, 19), 9u);
    platform::Rect rect;
    platform::get_window_placement_rect(combo(), rect);
    EXPECT_EQ(rect.left, 56);
    EXPECT_TRUE(events().empty());
}

TEST_F(ComboBoxUnitTest, CurrentItemWritesClampAndFireNothing) {
    create_combo(ports());
    const std::pair<std::int32_t, std::int32_t> table[] = {{25, 9}, {-5, -1}, {3, 3}, {0, 0}};
    for (auto [written, selected] : table) {
        write(ComboId, 19, static_cast<std::uint32_t>(written));
        EXPECT_EQ(cur_sel(), selected) << written;
        EXPECT_EQ(static_cast<std::int32_t>(read(ComboId, 19)), selected) << written;
    }
    m_backend.pump();
    EXPECT_TRUE(events().empty());
}

TEST_F(ComboBoxUnitTest, AUserChoiceFiresSelectionChangedOnceAfterThePostedMessage) {
    create_combo(ports());
    write(ComboId, 19, 0);
    platform::set_focus(combo());
    events().clear();

    MessageRecorder recorder;
    platform::HWND parent = window();
    platform::HHOOK hook = platform::set_windows_hook(
        platform::WH_CALLWNDPROC,
        [](int, platform::WPARAM, platform::LPARAM lp) -> platform::LRESULT {
            auto* info = reinterpret_cast<const platform::CallWndProcInfo*>(lp);
            if (info->message == platform::WM_COMMAND)
                MessageRecorder::current()->record(info->hwnd, info->message, info->wParam,
                                                   info->lParam, sent);
            return 0;
        });
    std::int32_t seen_item = -2;
    on_event_hook() = [&](const EventCall& call) {
        seen_item = static_cast<std::int32_t>(read(ComboId, 19));
        recorder.record(combo(), HandlerRan, static_cast<platform::WPARAM>(call.event), 0, sent);
    };
    m_backend.press_key(platform::VK_DOWN);
    platform::Msg msg;
    for (int guard = 0;
         guard < 100 && platform::peek_message(msg, nullptr, 0, 0, platform::PM_REMOVE); ++guard) {
        if (msg.message == ComboBoxUnit::MessageSelectionChanged)
            recorder.record(msg.hwnd, msg.message, msg.wParam, msg.lParam, posted);
        platform::translate_message(msg);
        platform::dispatch_message(msg);
    }
    platform::unhook_windows_hook(hook);

    auto command = [&](platform::UINT code) {
        return Expected{
            platform::WM_COMMAND, sent | wparam | lparam, parent,
            platform::make_wparam(platform::get_dlg_ctrl_id(combo()), static_cast<int>(code)),
            reinterpret_cast<platform::LPARAM>(combo())};
    };
    auto diff = recorder.compare({
        command(platform::CBN_SELENDOK),
        command(platform::CBN_SELCHANGE),
        {ComboBoxUnit::MessageSelectionChanged, posted, combo()},
        {HandlerRan, sent | wparam, combo(), 0},
    });
    EXPECT_FALSE(diff.has_value()) << *diff;
    EXPECT_EQ(seen_item, 1) << "the handler sees the new selection";
    EXPECT_EQ(events(), (std::vector<EventCall>{{0, ComboId, {}}}));
}

TEST_F(ComboBoxUnitTest, KindAndSortedRecreateOnlyWhenChanged) {
    create_combo(ports(1));
    write_text(ComboId, 9, "COM3");
    platform::HWND before = combo();
    write(ComboId, 8, 1);
    EXPECT_EQ(combo(), before) << "the same kind keeps the unit";
    write(ComboId, 14, 0);
    EXPECT_EQ(combo(), before);
    write(ComboId, 8, 2);
    ASSERT_NE(combo(), before);
    EXPECT_EQ(platform::get_style(combo()) & 3u, platform::CBS_DROPDOWNLIST);
    EXPECT_EQ(platform::send_message(combo(), platform::CB_GETCOUNT), 10) << "items carried over";
    before = combo();
    write(ComboId, 14, 1);
    EXPECT_NE(combo(), before);
    EXPECT_TRUE(platform::get_style(combo()) & platform::CBS_SORT);
}

TEST_F(ComboBoxUnitTest, EditTextWritesAreTheUnitsOwnAndFireNothing) {
    create_combo(ports(1));
    write_text(ComboId, 9, "COM7");
    EXPECT_EQ(read_text(ComboId, 9), "COM7");
    m_backend.pump();
    EXPECT_TRUE(events().empty());
}

TEST(ComboBoxItems, ItemListsRoundTripAndMalformedListsAreRejected) {
    std::vector<std::string> items = {"COM1", "", "\xB6\xCB\xBF\xDA"};
    auto block = ComboBoxUnit::encode_items(items);
    std::vector<std::string> back;
    ASSERT_TRUE(ComboBoxUnit::decode_items(block, back));
    EXPECT_EQ(back, items);
    for (std::size_t cut = 1; cut < block.size(); ++cut) {
        std::vector<std::uint8_t> shorter(block.begin(), block.begin() + cut);
        EXPECT_FALSE(ComboBoxUnit::decode_items(shorter, back)) << cut;
    }
    std::vector<std::uint8_t> lying = {0xFF, 0xFF, 0xFF, 0x7F};
    EXPECT_FALSE(ComboBoxUnit::decode_items(lying, back)) << "a count larger than the block";
}

} // namespace
