// The accessibility model over the standard controls: what each says of
// itself, what a client can do with it, and the events that follow.

#include "PlatformTest.h"

#include <platform/access/Access.h>
#include <platform/access/AccessEvents.h>
#include <platform/dialogs/Dialogs.h>

#include <string>
#include <vector>

namespace test_support {

using namespace platform;
using namespace platform::access;
namespace {

// The model's calls, over the recorder's names.
using platform::access::character_rect;
using platform::access::children;
using platform::access::describe;
using platform::access::do_action;
using platform::access::index_in_parent;
using platform::access::parent;
using platform::access::replace_text;
using platform::access::select_child;
using platform::access::set_selection;
using platform::access::set_value;
using platform::access::text;

// Keeps every event a client would hear, as a line of text.
class EventLog final : public Listener {
  public:
    EventLog() { set_listener(this); }
    ~EventLog() override { set_listener(nullptr); }
    void on_access_event(const Event& e) override {
        std::string line;
        switch (e.kind) {
        case EventKind::Focus:
            line = "focus";
            break;
        case EventKind::Value:
            line = "value";
            break;
        case EventKind::Name:
            line = "name";
            break;
        case EventKind::State:
            line = "state " + std::to_string(e.state) + (e.on ? " on" : " off");
            break;
        case EventKind::TextInserted:
            line = "insert " + std::to_string(e.offset) + " " + std::to_string(e.length) + " " +
                   e.text;
            break;
        case EventKind::TextRemoved:
            line = "remove " + std::to_string(e.offset) + " " + std::to_string(e.length) + " " +
                   e.text;
            break;
        case EventKind::Caret:
            line = "caret " + std::to_string(e.offset);
            break;
        case EventKind::ChildAdded:
            line = "child added";
            break;
        case EventKind::ChildRemoved:
            line = "child removed";
            break;
        case EventKind::Destroyed:
            line = "destroyed";
            break;
        case EventKind::Selection:
            line = "selection";
            break;
        case EventKind::Shown:
            line = "shown";
            break;
        }
        lines.push_back({e.object, line});
    }
    // The events about one object, in order.
    std::vector<std::string> about(HWND hwnd, int part = 0) const {
        std::vector<std::string> out;
        for (auto& [object, line] : lines)
            if (object == Object{hwnd, part})
                out.push_back(line);
        return out;
    }
    std::vector<std::pair<Object, std::string>> lines;
};

class Access : public PlatformTest {
  protected:
    void SetUp() override {
        PlatformTest::SetUp();
        register_standard_controls();
        m_top = create_window_ex(0, MessageRecorder::class_name, "Arm", WS_OVERLAPPEDWINDOW, 100,
                                 100, 400, 300, nullptr, 0);
        show_window(m_top, SW_SHOW);
        recorder().watch(m_top);
        recorder().ignore({WM_PARENTNOTIFY, WM_CTLCOLORBTN, WM_CTLCOLORSTATIC, WM_CTLCOLOREDIT,
                           WM_CTLCOLORLISTBOX, WM_SETCURSOR, WM_MOUSEMOVE, WM_PAINT, WM_ERASEBKGND,
                           WM_ACTIVATE, WM_NCACTIVATE, WM_KILLFOCUS, WM_GETOBJECT});
    }
    HWND control(const char* cls, const char* text, std::uint32_t style, Rect r = {10, 10, 110, 34},
                 int id = 10) {
        HWND h = create_window_ex(0, cls, text, WS_CHILD | WS_VISIBLE | style, r.left, r.top,
                                  r.width(), r.height(), m_top, static_cast<std::uintptr_t>(id));
        m_backend.pump();
        return h;
    }
    std::vector<std::string> tree_of(HWND parent) {
        std::vector<std::string> out;
        for (Object o : children({parent, 0})) {
            Node n = describe(o);
            out.push_back(std::string(role_name(n.role)) + " '" + n.name + "'");
        }
        return out;
    }
    HWND m_top = nullptr;
};

TEST_F(Access, EachControlAnswersWithItsRoleNameAndStates) {
    HWND button = control(WC_BUTTON, "Open", BS_PUSHBUTTON | WS_TABSTOP);
    HWND check = control(WC_BUTTON, "Loop", BS_AUTOCHECKBOX | WS_TABSTOP, {10, 40, 110, 60}, 11);
    HWND group = control(WC_BUTTON, "Servos", BS_GROUPBOX, {200, 10, 390, 200}, 12);
    HWND label = control(WC_STATIC, "Speed", SS_LEFT, {10, 70, 60, 90}, 13);
    HWND edit = control(WC_EDIT, "10", WS_TABSTOP | ES_AUTOHSCROLL, {70, 70, 150, 90}, 14);
    send_message(check, BM_SETCHECK, BST_CHECKED);

    Node top = describe({m_top, 0});
    EXPECT_EQ(top.role, Role::Frame);
    EXPECT_EQ(top.name, "Arm");
    EXPECT_TRUE(top.states & Showing);

    Node b = describe({button, 0});
    EXPECT_EQ(b.role, Role::PushButton);
    EXPECT_EQ(b.name, "Open");
    EXPECT_EQ(b.actions, std::vector<std::string>{"press"});
    EXPECT_EQ(b.states & (Showing | Visible | Enabled | Focusable),
              Showing | Visible | Enabled | Focusable);
    Point origin{10, 10};
    client_to_screen(m_top, origin);
    EXPECT_EQ(b.extents, (Rect{origin.x, origin.y, origin.x + 100, origin.y + 24}))
        << "the extents are the button's screen rectangle";

    EXPECT_EQ(describe({check, 0}).role, Role::CheckBox);
    EXPECT_TRUE(describe({check, 0}).states & Checked);
    Node g = describe({group, 0});
    EXPECT_EQ(g.role, Role::Panel);
    EXPECT_EQ(g.name, "Servos") << "a group box is named by its caption";
    EXPECT_FALSE(g.states & Focusable);

    Node l = describe({label, 0});
    EXPECT_EQ(l.role, Role::Label);
    EXPECT_TRUE(l.has_text);

    Node e = describe({edit, 0});
    EXPECT_EQ(e.role, Role::Text);
    EXPECT_EQ(e.name, "Speed") << "a box without a caption takes the label just before it";
    EXPECT_EQ(e.labelled_by, label);
    EXPECT_EQ(e.states & (Editable | SingleLine | Focusable), Editable | SingleLine | Focusable);
    EXPECT_FALSE(e.states & MultiLine);

    enable_window(button, false);
    EXPECT_FALSE(describe({button, 0}).states & Enabled);
    set_focus(edit);
    EXPECT_TRUE(describe({edit, 0}).states & Focused);
}

TEST_F(Access, TheTreeHoldsTheVisibleChildrenInOrderAndNothingHidden) {
    control(WC_STATIC, "Speed", SS_LEFT, {10, 10, 60, 30}, 1);
    HWND hidden = control(WC_BUTTON, "Secret", BS_PUSHBUTTON, {10, 40, 60, 60}, 2);
    control(WC_BUTTON, "Run", BS_PUSHBUTTON, {10, 70, 60, 90}, 3);
    show_window(hidden, SW_HIDE);
    EXPECT_EQ(tree_of(m_top), (std::vector<std::string>{"label 'Speed'", "push button 'Run'"}));

    std::vector<Object> kids = children({m_top, 0});
    ASSERT_EQ(kids.size(), 2u);
    EXPECT_EQ(parent(kids[1]), (Object{m_top, 0}));
    EXPECT_EQ(index_in_parent(kids[1]), 1);
    EXPECT_EQ(index_in_parent(Object{hidden, 0}), -1);
}

TEST_F(Access, ADestroyedControlIsDefunctAndRefusesEverything) {
    HWND button = control(WC_BUTTON, "Open", BS_PUSHBUTTON);
    HWND edit = control(WC_EDIT, "abc", 0, {10, 40, 110, 60}, 11);
    destroy_window(button);
    destroy_window(edit);
    EXPECT_EQ(describe({button, 0}).states, static_cast<std::uint32_t>(Defunct));
    EXPECT_TRUE(children({button, 0}).empty());
    EXPECT_FALSE(do_action({button, 0}, 0));
    TextState t;
    EXPECT_FALSE(text({edit, 0}, t));
    EXPECT_FALSE(replace_text({edit, 0}, 0, 0, "x"));
    EXPECT_TRUE(character_rect({edit, 0}, 0).is_empty());
    EXPECT_EQ(parent({edit, 0}), Object{});
}

TEST_F(Access, APressIsPostedSoTheClientsCallReturnsFirst) {
    HWND button = control(WC_BUTTON, "Open", BS_PUSHBUTTON);
    recorder().clear();
    ASSERT_TRUE(do_action({button, 0}, 0));
    EXPECT_TRUE(recorder().log().empty()) << "nothing happens inside the call";
    EXPECT_FALSE(do_action({button, 0}, 1)) << "a button has one action";
    m_backend.pump();
    EXPECT_SEQUENCE(recorder(), {{WM_COMMAND, sent | wparam | lparam, m_top,
                                  make_wparam(10, BN_CLICKED), reinterpret_cast<LPARAM>(button)}});
}

TEST_F(Access, EditTextCountsCharactersAndEditsGoInAsTyping) {
    // "中文 ab": two double-byte characters, a space and two letters.
    HWND edit = control(WC_EDIT, "\xD6\xD0\xCE\xC4 ab", ES_AUTOHSCROLL, {10, 10, 200, 34});
    TextState t;
    ASSERT_TRUE(text({edit, 0}, t));
    EXPECT_EQ(t.text, "中文 ab");
    send_message(edit, EM_SETSEL, 2, 5); // bytes: after 中, through the space
    ASSERT_TRUE(text({edit, 0}, t));
    EXPECT_EQ(t.selection_start, 1) << "offsets count characters, not GBK bytes";
    EXPECT_EQ(t.selection_end, 3);
    EXPECT_EQ(t.caret, 3);

    Rect first = character_rect({edit, 0}, 0);
    Rect second = character_rect({edit, 0}, 1);
    EXPECT_FALSE(first.is_empty());
    EXPECT_GT(second.left, first.left);
    EXPECT_GE(first.left, 110) << "screen coordinates: the top window stands at 100";
    EXPECT_TRUE(character_rect({edit, 0}, 5).is_empty()) << "past the last character";

    recorder().clear();
    ASSERT_TRUE(replace_text({edit, 0}, 3, 5, "45"));
    ASSERT_TRUE(text({edit, 0}, t));
    EXPECT_EQ(t.text, "中文 45");
    EXPECT_EQ(t.caret, 5);
    EXPECT_SEQUENCE(recorder(), {{WM_COMMAND, sent | wparam, m_top, make_wparam(10, EN_UPDATE)},
                                 {WM_COMMAND, sent | wparam, m_top, make_wparam(10, EN_CHANGE)}});
    EXPECT_FALSE(replace_text({edit, 0}, 9, 9, "x")) << "an offset out of range";
    ASSERT_TRUE(set_selection({edit, 0}, 0, 2));
    EXPECT_EQ(send_message(edit, EM_GETSEL), make_lparam(0, 4));

    send_message(edit, EM_SETREADONLY, 1);
    EXPECT_FALSE(describe({edit, 0}).states & Editable);
    EXPECT_FALSE(replace_text({edit, 0}, 0, 0, "x")) << "a read-only box takes no typing";
}

TEST_F(Access, AComboBoxOwnsItsListAndChoosesAnItemAsAClickWould) {
    control(WC_STATIC, "Port", SS_LEFT, {10, 10, 50, 30}, 1);
    HWND combo = control(WC_COMBOBOX, "", CBS_DROPDOWNLIST | WS_TABSTOP, {60, 10, 160, 200}, 20);
    for (const char* item : {"COM1", "COM2", "COM3"})
        send_message(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    send_message(combo, CB_SETCURSEL, 0);

    Node c = describe({combo, 0});
    EXPECT_EQ(c.role, Role::ComboBox);
    EXPECT_EQ(c.name, "Port");
    EXPECT_EQ(c.states & (Expandable | Expanded), static_cast<std::uint32_t>(Expandable));
    EXPECT_EQ(c.actions, std::vector<std::string>{"open"});
    std::vector<Object> kids = children({combo, 0});
    ASSERT_EQ(kids.size(), 1u) << "the list, which is not the combo box's child window";
    HWND list = kids[0].hwnd;
    EXPECT_EQ(describe({list, 0}).role, Role::List);
    EXPECT_EQ(parent({list, 0}), (Object{combo, 0}));
    EXPECT_EQ(tree_of(list), (std::vector<std::string>{"list item 'COM1'", "list item 'COM2'",
                                                       "list item 'COM3'"}));
    EXPECT_TRUE(describe({list, 1}).states & Selected);
    EXPECT_EQ(index_in_parent({list, 2}), 1);

    recorder().clear();
    ASSERT_TRUE(select_child({list, 0}, 1, true));
    EXPECT_TRUE(recorder().log().empty()) << "posted";
    m_backend.pump();
    EXPECT_SEQUENCE(recorder(),
                    {{WM_COMMAND, sent | wparam, m_top, make_wparam(20, CBN_DROPDOWN)},
                     {WM_COMMAND, sent | wparam, m_top, make_wparam(20, CBN_SELENDOK)},
                     {WM_COMMAND, sent | wparam, m_top, make_wparam(20, CBN_CLOSEUP)},
                     {WM_COMMAND, sent | wparam, m_top, make_wparam(20, CBN_SELCHANGE)}});
    EXPECT_EQ(send_message(combo, CB_GETCURSEL), 1);
    EXPECT_TRUE(describe({list, 2}).states & Selected);
    EXPECT_FALSE(select_child({combo, 0}, 7, true)) << "no eighth item";

    ASSERT_TRUE(do_action({combo, 0}, 0));
    m_backend.pump();
    EXPECT_TRUE(describe({combo, 0}).states & Expanded);
    EXPECT_TRUE(describe({list, 0}).states & Showing);
}

TEST_F(Access, StatusBarPanelsReadAsTextAndValuesHaveTheirRanges) {
    HWND bar = control(STATUSCLASSNAME, "", 0, {0, 0, 0, 0}, 30);
    int edges[] = {120, -1};
    send_message(bar, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(edges));
    send_message(bar, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>("Port: Close"));
    send_message(bar, SB_SETTEXTA, 1, reinterpret_cast<LPARAM>("Stop"));
    Node s = describe({bar, 0});
    EXPECT_EQ(s.role, Role::StatusBar);
    EXPECT_EQ(s.name, "Port: Close");
    EXPECT_EQ(tree_of(bar), (std::vector<std::string>{"label 'Port: Close'", "label 'Stop'"}));
    TextState t;
    ASSERT_TRUE(text({bar, 2}, t));
    EXPECT_EQ(t.text, "Stop");
    EXPECT_TRUE(describe({bar, 3}).states & Defunct) << "no third panel";

    HWND spin = control(UPDOWN_CLASS, "", 0, {10, 50, 30, 70}, 31);
    send_message(spin, UDM_SETRANGE32, 1, 20);
    send_message(spin, UDM_SETPOS32, 0, 7);
    Node u = describe({spin, 0});
    EXPECT_EQ(u.role, Role::SpinButton);
    ASSERT_TRUE(u.has_value);
    EXPECT_EQ(u.value.current, 7);
    EXPECT_EQ(u.value.minimum, 1);
    EXPECT_EQ(u.value.maximum, 20);
    ASSERT_TRUE(set_value({spin, 0}, 12));
    EXPECT_EQ(send_message(spin, UDM_GETPOS32), 12);

    HWND scroll = control(WC_SCROLLBAR, "", SBS_VERT, {300, 10, 317, 200}, 32);
    ScrollInfo info;
    info.fMask = SIF_ALL;
    info.nMin = 0;
    info.nMax = 99;
    info.nPage = 10;
    info.nPos = 30;
    set_scroll_info(scroll, SB_CTL, info);
    Node v = describe({scroll, 0});
    EXPECT_EQ(v.role, Role::ScrollBar);
    EXPECT_TRUE(v.states & Vertical);
    EXPECT_EQ(v.value.current, 30);
    EXPECT_EQ(v.value.maximum, 90) << "the last position a page can start at";
}

TEST_F(Access, EventsFollowFocusNamesTextsAndChildren) {
    EventLog log;
    HWND button = control(WC_BUTTON, "Open", BS_PUSHBUTTON | WS_TABSTOP);
    HWND edit = control(WC_EDIT, "12", WS_TABSTOP, {10, 40, 110, 60}, 11);
    EXPECT_EQ(log.about(m_top), std::vector<std::string>({"child added", "child added"}));

    set_focus(button);
    set_window_text(button, "Close");
    enable_window(button, false);
    EXPECT_EQ(
        log.about(button),
        (std::vector<std::string>{"focus", "name", "state " + std::to_string(Enabled) + " off"}));

    TextState seen;
    text({edit, 0}, seen); // a client reads the box: what it hears next starts from here
    set_focus(edit);
    send_message(edit, EM_SETSEL, 2, 2);
    send_message(edit, EM_REPLACESEL, 1, reinterpret_cast<LPARAM>("3"));
    send_message(edit, EM_SETSEL, 0, 1);
    send_message(edit, EM_REPLACESEL, 1, reinterpret_cast<LPARAM>(""));
    EXPECT_EQ(log.about(edit),
              (std::vector<std::string>{"focus", "caret 2", "insert 2 1 3", "caret 3", "caret 1",
                                        "remove 0 1 1", "caret 0"}));

    log.lines.clear();
    destroy_window(edit);
    EXPECT_EQ(log.about(edit), std::vector<std::string>{"destroyed"});
}

TEST_F(Access, AMessageBoxIsAnAlertWhoseTextIsReadable) {
    Node seen;
    std::vector<std::string> buttons;
    TextState said;
    m_backend.queue_message_box_action([&](HWND box) {
        seen = describe({box, 0});
        for (Object o : children({box, 0})) {
            Node n = describe(o);
            if (n.role == Role::PushButton)
                buttons.push_back(n.name);
        }
        text({box, 1}, said);
        // The press arrives through the box's own loop.
        std::vector<Object> kids = children({box, 0});
        ASSERT_TRUE(do_action(kids[1], 0));
    });
    int answer = message_box(m_top, "Stop", "armctl", MB_OKCANCEL);
    EXPECT_EQ(seen.role, Role::Alert);
    EXPECT_EQ(seen.name, "armctl");
    EXPECT_TRUE(seen.states & Modal);
    EXPECT_EQ(said.text, "Stop");
    EXPECT_EQ(buttons, (std::vector<std::string>{"确定", "取消"}));
    EXPECT_EQ(answer, IDCANCEL);
}

} // namespace
} // namespace test_support
