#include "TestTemplates.h"

#include <runtime/values/TypedValue.h>

namespace test_support {

using runtime::EventBinding;
using runtime::NoHandler;
using runtime::UnitRecord;

namespace {

UnitRecord unit(std::uint32_t id, std::uint32_t type, const char* name, std::int32_t left,
                std::int32_t top) {
    UnitRecord record;
    record.id = id;
    record.type = type;
    record.name = name;
    record.left = left;
    record.top = top;
    record.width = 75;
    record.height = 25;
    record.pointer_block = {0, 0, 0, 0};
    record.flags = UnitRecord::FlagVisible | UnitRecord::FlagTabStop;
    return record;
}

} // namespace

runtime::WindowTemplate sample_window(std::uint32_t window_id) {
    runtime::WindowTemplate window;
    window.window_id = window_id;
    window.w1 = 0x01390A84;
    window.w2 = 0x19010005;

    UnitRecord main = unit(WindowUnitId, 0x00010001,
                           "\xB4\xB0\xBF\xDA"
                           "1",
                           0, 0); // 窗口1
    main.width = 640;
    main.height = 480;
    main.bindings = {EventBinding{0, 0x10, nullptr}, EventBinding{7, NoHandler, nullptr}};
    main.type_data = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    window.units.push_back(main);

    UnitRecord group = unit(GroupId, 0x00010004, "group", 10, 10);
    group.child_ids = {ButtonId};
    window.units.push_back(group);

    UnitRecord button = unit(ButtonId, 0x00010006,
                             "\xB0\xB4\xC5\xA5"
                             "1",
                             5, 20); // 按钮1
    button.parent_id = GroupId;
    button.tag = "tag";
    button.bindings = {EventBinding{0, 0x40, nullptr}, EventBinding{-2, 0x80, nullptr},
                       EventBinding{0, 0x99, nullptr}};
    button.flags |= UnitRecord::FlagDisabled;
    button.type_data = {'O', 'K', 0, 0};
    window.units.push_back(button);

    UnitRecord label = unit(LabelId, 0x00010005, "label", 200, 10);
    label.pointer_block = {0x02, 0x7F, 0, 0, 0xAA, 0xBB};
    label.reserved = {1, 2, 3, 4};
    label.second_text = "second";
    label.reserved_after_tag = 5;
    label.focus_order = 6;
    label.reserved_after_bindings = {7, 8, 9, 10, 11};
    window.units.push_back(label);

    UnitRecord menu;
    menu.id = MenuItemId;
    menu.type = runtime::type_code::MenuItem;
    menu.name = "menu";
    menu.menu.words = {0x11, 0x22};
    menu.menu.flags = 5;
    menu.menu.caption = "&File";
    menu.menu.stored_handler = 0x200;
    window.units.push_back(menu);
    return window;
}

std::vector<runtime::WindowTemplate> sample_windows() {
    auto second = sample_window(SecondWindowId);
    second.t1 = "T1";
    second.units.resize(2);
    return {sample_window(MainWindowId), second};
}

} // namespace test_support
