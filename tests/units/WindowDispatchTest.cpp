// Windows, units and event dispatch: creating the start window, property
// routing in both states of a unit, and handlers found and called.

#include "WindowFixture.h"
#include <tests/support/TestSupport.h>

#include <runtime/services/HostNotify.h>
#include <runtime/services/RuntimeCallTable.h>
#include <runtime/values/ArrayBlock.h>
#include <runtime/values/PropertyConversion.h>
#include <runtime/values/RuntimeHeap.h>
#include <runtime/windows/UnitObject.h>

#include <units/WindowUnit.h>
#include <units/framework/UnitMethod.h>

#include <platform/drawing/Font.h>
#include <platform/window/WindowSystem.h>

#include <cstring>

using namespace runtime_test;
using runtime::AppRuntime;

namespace {

std::uint64_t read(std::uint32_t unit, std::int32_t index, std::int32_t member = -1) {
    return runtime::runtime_call_table().read_property(TestWindowId, unit, index, member);
}

void write(std::uint32_t unit, std::int32_t index, std::uint64_t value, std::int32_t member = -1) {
    runtime::runtime_call_table().write_property(TestWindowId, unit, index, member, value);
}

std::uint64_t word_of(const void* p) {
    return static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(p));
}

// Takes a text a read returned, and releases it.
std::string take_text(std::uint64_t value) {
    auto* text = reinterpret_cast<char*>(static_cast<std::uintptr_t>(value));
    std::string copy(runtime::text_of(text));
    runtime::RuntimeHeap::the().release(text);
    return copy;
}

std::intptr_t raise(std::uint32_t unit, std::int32_t event, runtime::EventRequest* out = nullptr) {
    runtime::EventRequest request;
    request.window_id = TestWindowId;
    request.unit_id = unit;
    request.event = event;
    auto ran = runtime::host_notify(runtime::host_service::RaiseEvent,
                                    reinterpret_cast<std::intptr_t>(&request), 0);
    if (out)
        *out = request;
    return ran;
}

} // namespace

// ---- Common properties before and after creation --------------------------

TEST_F(WindowTest, CommonPropertiesOfAWindowNotYetCreatedComeFromTheRecordAndWritesClamp) {
    adopt();
    EXPECT_EQ(read(ProbeA, 2), 100u);
    EXPECT_EQ(read(ProbeA, 3), 30u);
    write(ProbeA, 2, 40000);
    write(ProbeA, 3, static_cast<std::uint32_t>(-5));
    write(ProbeA, 0, static_cast<std::uint32_t>(-40000));
    write(ProbeA, 1, 40000);
    EXPECT_EQ(read(ProbeA, 2), 32627u);
    EXPECT_EQ(read(ProbeA, 3), 0u);
    EXPECT_EQ(static_cast<std::int32_t>(read(ProbeA, 0)), -32627);
    EXPECT_EQ(read(ProbeA, 1), 32627u);
    EXPECT_EQ(read(SilentId, 5), 0u) << "stored invisible";
    EXPECT_EQ(read(ProbeA, 5), 1u);
}

TEST_F(WindowTest, TypeSpecificWriteBeforeCreationIsFatal) {
    adopt();
    EXPECT_EXIT(write(ProbeA, 8, 1), ::testing::ExitedWithCode(255), "指定窗口尚未载入");
    EXPECT_EXIT(read(ProbeA, 8), ::testing::ExitedWithCode(255), "指定窗口尚未载入");
}

TEST_F(WindowTest, AccessToAWindowNotInTheListIsFatal) {
    adopt();
    EXPECT_EXIT(runtime::runtime_call_table().read_property(0x52019999, ProbeA, 0, -1),
                ::testing::ExitedWithCode(255), "未载入欲访问窗口组件所在的窗口");
}

TEST_F(WindowTest, LiveCommonPropertiesFollowTheSystemWindow) {
    create();
    platform::HWND a = unit_window(ProbeA);
    ASSERT_TRUE(a);
    platform::move_window(a, 15, 25, 120, 40);
    EXPECT_EQ(read(ProbeA, 0), 15u);
    EXPECT_EQ(read(ProbeA, 1), 25u);
    EXPECT_EQ(read(ProbeA, 2), 120u);
    EXPECT_EQ(read(ProbeA, 3), 40u);
    write(ProbeA, 2, 50000);
    platform::Rect rect;
    platform::get_window_placement_rect(a, rect);
    EXPECT_EQ(rect, (platform::Rect{15, 25, 15 + 32627, 25 + 40})) << "width clamped, height kept";
    write(ProbeA, 0, 7);
    platform::get_window_placement_rect(a, rect);
    EXPECT_EQ(rect.left, 7);
    EXPECT_EQ(rect.width(), 32627) << "a move keeps the size";
    write(ProbeA, 6, 1);
    EXPECT_FALSE(platform::is_window_enabled(a));
    EXPECT_EQ(read(ProbeA, 6), 1u);
    write(ProbeA, 5, 0);
    EXPECT_FALSE(platform::is_window_visible(a));
    EXPECT_EQ(read(ProbeA, 5), 0u);
}

TEST_F(WindowTest, TagAndMousePointerRoundTripWithTheCursorTable) {
    adopt();
    write(ProbeA, 4, word_of("tag"));
    EXPECT_EQ(take_text(read(ProbeA, 4)), "tag");
    write(ProbeA, 4, 0);
    EXPECT_EQ(read(ProbeA, 4), 0u) << "an empty text reads as null";

    const std::uint8_t index_two[] = {2, 0, 0, 0};
    void* block = runtime::make_byte_set(index_two);
    write(ProbeA, 7, word_of(block));
    runtime::RuntimeHeap::the().release(block);
    auto& window = *AppRuntime::the().find_window(TestWindowId);
    EXPECT_EQ(window.find_unit(ProbeA)->pointer_block,
              (std::vector<std::uint8_t>{0x01, 0x7F, 0, 0}))
        << "index 2 is stored as the I-beam's system id";
    auto* read_back = reinterpret_cast<void*>(static_cast<std::uintptr_t>(read(ProbeA, 7)));
    auto bytes = runtime::byte_set_bytes(read_back);
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.end()),
              (std::vector<std::uint8_t>{2, 0, 0, 0}));
    runtime::RuntimeHeap::the().release(read_back);
}

// ---- Creation ---------------------------------------------------------------

TEST_F(WindowTest, CreationGivesControlIdsFromTheLastRecordAndRaisesWindowEvents) {
    auto& window = create();
    ASSERT_TRUE(window.has_live_window());
    EXPECT_EQ(platform::get_dlg_ctrl_id(unit_window(ProbeToSilent)), 100);
    EXPECT_EQ(platform::get_dlg_ctrl_id(unit_window(SilentId)), 110);
    EXPECT_EQ(platform::get_dlg_ctrl_id(unit_window(ProbeA)), 150);
    EXPECT_EQ(platform::get_parent(unit_window(ProbeA)), window.system_window());

    // Event 2 raised inside the probe's create reached no handler.
    ASSERT_TRUE(probe(ProbeA));
    EXPECT_FALSE(probe(ProbeA)->raised_during_creation());
    EXPECT_EQ(called_slots(),
              (std::vector<std::uint32_t>{SlotCreated, SlotWindowEvent, SlotWindowEvent}));
    EXPECT_EQ(handler_calls()[0].source_window, TestWindowId);
    EXPECT_EQ(handler_calls()[0].source_unit, TestWindowUnitId)
        << "unit 0 is named by the window's own id";
    EXPECT_EQ(AppRuntime::the().event_suppression(), 0);
    EXPECT_TRUE(platform::is_window_visible(window.system_window()));
    EXPECT_FALSE(platform::is_window_visible(unit_window(SilentId)));
    EXPECT_EQ(platform::get_window_text(window.system_window()), "Test");
}

TEST_F(WindowTest, LoadingAWindowThatIsNotThereIsFatal) {
    adopt();
    EXPECT_EXIT(runtime::runtime_call_table().load_window(0x52017777),
                ::testing::ExitedWithCode(255), "载入启动窗口失败");
}

TEST_F(WindowTest, ClosingTheWindowRestoresTheStoredUnitList) {
    auto& window = create();
    write(ProbeA, 2, 77);
    write(ProbeA, 4, word_of("changed"));
    platform::send_message(window.system_window(), platform::WM_CLOSE);
    EXPECT_FALSE(window.has_live_window());
    EXPECT_EQ(read(ProbeA, 2), 100u);
    EXPECT_EQ(read(ProbeA, 4), 0u);
    EXPECT_EQ(window.find_unit(ProbeA)->object, nullptr);
}

// ---- Own properties ---------------------------------------------------------

TEST_F(WindowTest, OwnPropertiesReachTheTypeAsIndexLessEightAndConvertByKind) {
    create();
    EXPECT_EQ(read(ProbeA, 8), 5u);
    write(ProbeA, 8, 9);
    EXPECT_EQ(ProbeUnit::set_calls(), (std::vector<std::int32_t>{ProbeUnit::Value}));
    EXPECT_EQ(read(ProbeA, 8), 9u);

    EXPECT_EQ(read(ProbeA, 9), 0u) << "a boolean the unit holds as 2 reads as false";
    write(ProbeA, 9, 7);
    EXPECT_EQ(probe(ProbeA)->settings().word(ProbeUnit::Flag), 1) << "writes are normalised";
    EXPECT_EQ(read(ProbeA, 9), 1u);

    EXPECT_EQ(take_text(read(ProbeA, 10)), "\xBC\xD7");
    write(ProbeA, 10, 0);
    EXPECT_EQ(probe(ProbeA)->settings().text(ProbeUnit::Caption), "");

    EXPECT_EQ(read(ProbeA, 12), 0u) << "empty custom data reads as null";
    const std::uint8_t data[] = {1, 2, 3};
    void* block = runtime::make_byte_set(data);
    write(ProbeA, 12, word_of(block));
    runtime::RuntimeHeap::the().release(block);
    EXPECT_EQ(probe(ProbeA)->settings().block(ProbeUnit::Data),
              (std::vector<std::uint8_t>{1, 2, 3}));
}

TEST_F(WindowTest, FontMembersOfAUnitWithoutAFontAreTheDefaultGuiFont) {
    create();
    auto font = platform::default_gui_log_font();
    EXPECT_EQ(take_text(read(ProbeA, 11, 6)), font.face_name);
    EXPECT_EQ(read(ProbeA, 11, 5), static_cast<std::uint64_t>(runtime::font_points(font)));
    EXPECT_EQ(read(ProbeA, 11, 1), 0u);

    write(ProbeA, 11, 1, 1);
    write(ProbeA, 11, static_cast<std::uint32_t>(-450), 0);
    write(ProbeA, 11, word_of("a face name longer than thirty-one bytes"), 6);
    EXPECT_EQ(read(ProbeA, 11, 1), 1u);
    EXPECT_EQ(read(ProbeA, 11, 0), 3150u) << "the angle is taken modulo 3600, made non-negative";
    EXPECT_EQ(take_text(read(ProbeA, 11, 6)), "\xCB\xCE\xCC\xE5") << "too long a face becomes 宋体";

    auto value = read(ProbeA, 11, -1);
    auto* record = reinterpret_cast<runtime::FontValue*>(static_cast<std::uintptr_t>(value));
    ASSERT_TRUE(record);
    EXPECT_EQ(record->bold, 1);
    EXPECT_STREQ(record->face_name, "\xCB\xCE\xCC\xE5");
    std::size_t blocks = runtime::RuntimeHeap::the().live_blocks();
    runtime::RuntimeHeap::the().release(record);
    EXPECT_EQ(runtime::RuntimeHeap::the().live_blocks(), blocks - 1)
        << "one release frees record and face";
}

TEST_F(WindowTest, ASetEntryAskingForRecreationMakesTheUnitAnewWithItsSettings) {
    create();
    write(ProbeA, 8, 33);
    platform::HWND before = unit_window(ProbeA);
    int id_before = platform::get_dlg_ctrl_id(before);
    write(ProbeA, 13, 1);
    platform::HWND after = unit_window(ProbeA);
    ASSERT_TRUE(after);
    EXPECT_NE(after, before);
    EXPECT_FALSE(platform::is_window(before));
    EXPECT_EQ(platform::get_dlg_ctrl_id(after), id_before);
    EXPECT_EQ(read(ProbeA, 8), 33u) << "the new unit starts from the old one's state";
    EXPECT_EQ(probe(ProbeA)->unit_id(), ProbeA);
    EXPECT_EQ(AppRuntime::the().event_suppression(), 0);
    EXPECT_TRUE(probe(ProbeA)->raised_during_creation() == false);
}

// ---- Events -------------------------------------------------------------------

TEST_F(WindowTest, ANotificationComesBackToTheControlAndRaisesItsEvent) {
    create();
    handler_calls().clear();
    probe(ProbeA)->click();
    ASSERT_EQ(handler_calls().size(), 1u);
    EXPECT_EQ(handler_calls()[0].slot, SlotClicked);
    EXPECT_EQ(handler_calls()[0].args, (std::vector<std::uint64_t>{7, 8}));
    EXPECT_TRUE(handler_calls()[0].had_source);
    EXPECT_EQ(handler_calls()[0].source_unit, ProbeA);

    std::uint32_t words[2] = {1, 1};
    EXPECT_EQ(runtime::host_notify(runtime::host_service::CurrentEventSource,
                                   reinterpret_cast<std::intptr_t>(words), 0),
              0)
        << "no event source outside a handler";
}

TEST_F(WindowTest, HandlersAreFoundThroughRedirectChains) {
    create();
    handler_calls().clear();
    probe(ProbeB)->click();
    EXPECT_EQ(called_slots(), (std::vector<std::uint32_t>{SlotClicked})) << "B uses A's handlers";
    EXPECT_EQ(handler_calls()[0].source_unit, ProbeB) << "the source stays the raising unit";

    handler_calls().clear();
    probe(ProbeC)->click();
    EXPECT_EQ(called_slots().size(), 1u) << "a chain that loops ends";

    handler_calls().clear();
    probe(ProbeToSilent)->click();
    EXPECT_EQ(called_slots(), (std::vector<std::uint32_t>{SlotPlain}))
        << "a redirect to another type is not followed";
}

TEST_F(WindowTest, ResultsUnboundEventsAndSuppression) {
    create();
    handler_calls().clear();
    runtime::EventRequest request;
    EXPECT_EQ(raise(ProbeA, 6, &request), 1);
    EXPECT_EQ(request.result_present, 1u);
    EXPECT_EQ(request.result, 42u);

    EXPECT_EQ(raise(ProbeA, 5), 0) << "a binding stored as -1 dispatches nothing";
    EXPECT_EQ(raise(ProbeA, 99), 0);

    AppRuntime::the().suppress_events();
    EXPECT_EQ(raise(ProbeA, 6), 0);
    AppRuntime::the().resume_events();
    EXPECT_EQ(called_slots(), (std::vector<std::uint32_t>{SlotAnswer}));
}

TEST_F(WindowTest, TypedEventsPassEachArgumentByItsType) {
    create();
    handler_calls().clear();
    runtime::TypedEventRequest request;
    request.window_id = TestWindowId;
    request.unit_id = ProbeA;
    request.event = 8;
    request.arg_count = 3;
    request.args[0] = {0xFFFFFF80, runtime::type_code::Byte, 0};
    request.args[1] = {0xFFFF8001, runtime::type_code::Short, 0};
    request.args[2] = {0x1234567890ull, runtime::type_code::Double, 0};
    EXPECT_EQ(runtime::host_notify(runtime::host_service::RaiseTypedEvent,
                                   reinterpret_cast<std::intptr_t>(&request), 0),
              1);
    ASSERT_EQ(handler_calls().size(), 1u);
    EXPECT_EQ(handler_calls()[0].args,
              (std::vector<std::uint64_t>{0x80, 0xFFFF8001, 0x1234567890ull}));
    EXPECT_EQ(request.result, 0x1122334455667788ull);
}

TEST_F(WindowTest, FocusEventsAreRaisedByUnitsThatTakeTheFocus) {
    create();
    handler_calls().clear();
    platform::set_focus(unit_window(ProbeA));
    EXPECT_EQ(called_slots(), (std::vector<std::uint32_t>{SlotPlain}))
        << "-7 is bound to the plain handler";
}

TEST_F(WindowTest, BadEventSourcesAreFatal) {
    create();
    EXPECT_EXIT(raise(SilentId, 0), ::testing::ExitedWithCode(255), "引发事件的窗口组件无效");
    EXPECT_EXIT(raise(0x16010077, 0), ::testing::ExitedWithCode(255), "未找到引发事件的窗口组件");
    runtime::EventRequest request;
    request.window_id = 0x52010099;
    EXPECT_EXIT(runtime::host_notify(runtime::host_service::RaiseEvent,
                                     reinterpret_cast<std::intptr_t>(&request), 0),
                ::testing::ExitedWithCode(255), "未找到引发事件的窗口");
}

TEST_F(WindowTest, TheRuntimeFindsAUnitObjectByAskingItsWindow) {
    create();
    platform::HWND a = unit_window(ProbeA);
    auto* object = reinterpret_cast<runtime::UnitObject*>(
        platform::send_message(a, runtime::MessageQueryObject));
    ASSERT_TRUE(object);
    EXPECT_EQ(object->unit_id(), ProbeA);
    EXPECT_EQ(runtime::host_notify(runtime::host_service::UnitWindowObject, TestWindowId, ProbeA),
              reinterpret_cast<std::intptr_t>(object));
    EXPECT_EQ(runtime::host_notify(runtime::host_service::WindowHandleAt, 0, 0),
              static_cast<std::intptr_t>(platform::handle_value(
                  AppRuntime::the().find_window(TestWindowId)->system_window())));
}

TEST_F(WindowTest, AMethodFindsItsUnitByTheReferenceInArgumentZero) {
    create();
    runtime::TypedValue args[3] = {};
    args[0].set_words(TestWindowId, ProbeA);
    args[0].type = ProbeType;
    args[1] = runtime::TypedValue::of(runtime::type_code::Integer, 42);
    args[2] = runtime::TypedValue::of_text("ok");
    EXPECT_EQ(units::method_unit<ProbeUnit>(3, args), probe(ProbeA));
    // Another type behind the reference, or no reference, gives no unit.
    EXPECT_EQ(units::method_unit<units::WindowUnit>(3, args), nullptr);
    EXPECT_EQ(units::method_unit<ProbeUnit>(0, args), nullptr);
    EXPECT_EQ(units::method_integer(3, args, 1), 42);
    EXPECT_EQ(units::method_text(3, args, 2), "ok");
    // Omitted (type 0), missing and mistyped arguments.
    args[1].type = 0;
    EXPECT_FALSE(units::method_integer(3, args, 1));
    EXPECT_FALSE(units::method_integer(3, args, 5));
    EXPECT_EQ(units::method_text(3, args, 0), "");
}
