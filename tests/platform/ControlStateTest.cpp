#include "PlatformTest.h"

#include "platform/controls/ControlState.h"
#include <platform/controls/Controls.h>
#include <platform/drawing/Font.h>

#include <vector>

namespace platform::testing {
namespace {

using controls::control_proc;
using controls::control_state;

// What the probe control's states report to the test that made them.
struct Tally {
    int made = 0;
    int freed = 0;
    bool refuse = false; // WM_NCCREATE answers 0
    bool state_seen_on_nc_create = false;
    bool state_seen_on_nc_destroy = false;
    std::vector<UINT> handled;
};

struct ProbeState {
    ProbeState(HWND window, const CreateStruct& cs)
        : self(window), tally(static_cast<Tally*>(cs.create_params)) {
        ++tally->made;
    }
    ~ProbeState() { ++tally->freed; }
    ProbeState(const ProbeState&) = delete;
    ProbeState& operator=(const ProbeState&) = delete;

    HWND self;
    Tally* tally;
};

LRESULT probe_messages(ProbeState& st, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    st.tally->handled.push_back(msg);
    switch (msg) {
    case WM_NCCREATE:
        st.tally->state_seen_on_nc_create = control_state<ProbeState>(hwnd) == &st;
        if (st.tally->refuse)
            return 0;
        break;
    case WM_NCDESTROY:
        st.tally->state_seen_on_nc_destroy = control_state<ProbeState>(hwnd) == &st;
        break;
    default:
        break;
    }
    return def_window_proc(hwnd, msg, wp, lp);
}

constexpr const char* ProbeClass = "ControlStateProbe";
constexpr const char* CrampedClass = "ControlStateCramped";

class ControlState : public PlatformTest {
  protected:
    void SetUp() override {
        PlatformTest::SetUp();
        WindowClass cls;
        cls.proc = control_proc<ProbeState, probe_messages>;
        cls.name = ProbeClass;
        cls.extra_bytes = controls::k_control_extra_bytes;
        ASSERT_TRUE(register_class(cls));
        cls.name = CrampedClass;
        cls.extra_bytes = 0;
        ASSERT_TRUE(register_class(cls));
        m_top = make_top();
    }
    void TearDown() override {
        PlatformTest::TearDown();
        unregister_class(ProbeClass);
        unregister_class(CrampedClass);
    }
    HWND probe(Tally& tally, const char* cls = ProbeClass) {
        return create_window_ex(0, cls, "", WS_CHILD | WS_VISIBLE, 0, 0, 20, 20, m_top, 7, &tally);
    }
    HWND m_top = nullptr;
};

TEST_F(ControlState, LivesFromNcCreateToNcDestroy) {
    Tally tally;
    HWND h = probe(tally);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(tally.made, 1);
    EXPECT_TRUE(tally.state_seen_on_nc_create) << "the state is in place before WM_NCCREATE";
    ASSERT_NE(control_state<ProbeState>(h), nullptr);
    EXPECT_EQ(control_state<ProbeState>(h)->self, h);
    ASSERT_FALSE(tally.handled.empty());
    EXPECT_EQ(tally.handled.front(), WM_NCCREATE) << "no message reaches the handler before it";

    destroy_window(h);
    EXPECT_TRUE(tally.state_seen_on_nc_destroy) << "WM_NCDESTROY still sees the state";
    EXPECT_EQ(tally.handled.back(), WM_NCDESTROY);
    EXPECT_EQ(tally.freed, 1);
}

TEST_F(ControlState, EachWindowHasItsOwnState) {
    Tally first, second;
    HWND a = probe(first);
    HWND b = probe(second);
    ASSERT_NE(control_state<ProbeState>(a), nullptr);
    ASSERT_NE(control_state<ProbeState>(b), nullptr);
    EXPECT_NE(control_state<ProbeState>(a), control_state<ProbeState>(b));
    destroy_window(m_top); // takes both children with it
    EXPECT_EQ(first.freed, 1);
    EXPECT_EQ(second.freed, 1);
}

TEST_F(ControlState, RefusedCreationFreesTheState) {
    Tally tally;
    tally.refuse = true;
    EXPECT_EQ(probe(tally), nullptr);
    EXPECT_EQ(tally.made, 1);
    EXPECT_EQ(tally.freed, 1);
}

TEST_F(ControlState, AClassWithoutRoomLeavesEverythingToTheDefaultProcedure) {
    Tally tally;
    HWND h = probe(tally, CrampedClass);
    ASSERT_NE(h, nullptr) << "the default procedure accepts the creation";
    EXPECT_EQ(control_state<ProbeState>(h), nullptr);
    EXPECT_EQ(tally.made, tally.freed) << "the state that could not be kept is not leaked";
    send_message(h, WM_USER, 0, 0);
    EXPECT_TRUE(tally.handled.empty());
}

// Every standard control that takes a font keeps its own, next to its state.
TEST_F(ControlState, StandardControlsKeepTheirFontPerWindow) {
    register_standard_controls();
    LogFont lf;
    lf.height = -14;
    HFONT font = create_font_indirect(lf);
    ASSERT_NE(font, nullptr);
    for (const char* cls : {WC_BUTTON, WC_STATIC, WC_EDIT, WC_COMBOBOX, STATUSCLASSNAME}) {
        SCOPED_TRACE(cls);
        HWND a = create_window_ex(0, cls, "", WS_CHILD | WS_VISIBLE, 0, 0, 80, 24, m_top, 1);
        HWND b = create_window_ex(0, cls, "", WS_CHILD | WS_VISIBLE, 0, 30, 80, 24, m_top, 2);
        ASSERT_NE(a, nullptr);
        ASSERT_NE(b, nullptr);
        EXPECT_NE(send_message(a, WM_GETFONT), reinterpret_cast<LRESULT>(font));
        send_message(a, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
        EXPECT_EQ(send_message(a, WM_GETFONT), reinterpret_cast<LRESULT>(font));
        EXPECT_NE(send_message(b, WM_GETFONT), reinterpret_cast<LRESULT>(font))
            << "the other window keeps its own";
        destroy_window(a);
        destroy_window(b);
    }
    delete_font(font);
}

// The redraw flag is the low word of lParam alone: a set high word asks for
// nothing.
TEST_F(ControlState, StandardControlsRedrawOnANewFontOnlyWhenAsked) {
    register_standard_controls();
    LogFont lf;
    lf.height = -14;
    HFONT font = create_font_indirect(lf);
    ASSERT_NE(font, nullptr);
    for (const char* cls : {WC_BUTTON, WC_STATIC, WC_EDIT, WC_COMBOBOX, STATUSCLASSNAME}) {
        SCOPED_TRACE(cls);
        HWND h = create_window_ex(0, cls, "", WS_CHILD | WS_VISIBLE, 0, 0, 80, 24, m_top, 1);
        ASSERT_NE(h, nullptr);
        Rect pending;
        update_window(m_top);
        send_message(h, WM_SETFONT, reinterpret_cast<WPARAM>(font), make_lparam(1, 0));
        EXPECT_TRUE(get_update_rect(h, pending) && !pending.is_empty()) << "a redraw was asked for";

        // The same font again, so that nothing else about the control changes.
        update_window(m_top);
        send_message(h, WM_SETFONT, reinterpret_cast<WPARAM>(font), make_lparam(0, 1));
        EXPECT_FALSE(get_update_rect(h, pending) && !pending.is_empty())
            << "no redraw was asked for";
        destroy_window(h);
    }
    delete_font(font);
}

} // namespace
} // namespace platform::testing
