// The key mapping of the GTK display needs no display: key values in,
// platform codes out.

#include <platform/gtk/GtkKeys.h>
#include <platform/window/Styles.h>

#include <gdk/gdkkeysyms.h>
#include <gtest/gtest.h>

namespace platform::gtk_keys {
namespace {

TEST(GtkKeys, LettersAndDigitsAreTheirUpperCaseCharacter) {
    EXPECT_EQ(vk_from_keyval(GDK_KEY_a), 'A');
    EXPECT_EQ(vk_from_keyval(GDK_KEY_z), 'Z');
    EXPECT_EQ(vk_from_keyval(GDK_KEY_Q), 'Q') << "Caps Lock or Shift does not change the key";
    EXPECT_EQ(vk_from_keyval(GDK_KEY_0), '0');
    EXPECT_EQ(vk_from_keyval(GDK_KEY_9), '9');
    EXPECT_EQ(vk_from_keyval(GDK_KEY_exclam), '1') << "a shifted digit of a US keyboard";
    EXPECT_EQ(vk_from_keyval(GDK_KEY_parenright), '0');
}

TEST(GtkKeys, FunctionAndKeypadKeysFollowThePlatformRanges) {
    EXPECT_EQ(vk_from_keyval(GDK_KEY_F1), VK_F1);
    EXPECT_EQ(vk_from_keyval(GDK_KEY_F10), VK_F10);
    EXPECT_EQ(vk_from_keyval(GDK_KEY_F12), VK_F12);
    EXPECT_EQ(vk_from_keyval(GDK_KEY_F24), 0x87u);
    EXPECT_EQ(vk_from_keyval(GDK_KEY_KP_0), VK_NUMPAD0);
    EXPECT_EQ(vk_from_keyval(GDK_KEY_KP_9), VK_NUMPAD0 + 9);
    EXPECT_EQ(vk_from_keyval(GDK_KEY_KP_Add), VK_ADD);
    EXPECT_EQ(vk_from_keyval(GDK_KEY_KP_Divide), VK_DIVIDE);
    EXPECT_EQ(vk_from_keyval(GDK_KEY_KP_Enter), VK_RETURN);
    EXPECT_EQ(vk_from_keyval(GDK_KEY_KP_End), VK_END) << "keypad without Num Lock";
}

TEST(GtkKeys, ModifiersOfBothSidesShareOneCode) {
    EXPECT_EQ(vk_from_keyval(GDK_KEY_Shift_L), VK_SHIFT);
    EXPECT_EQ(vk_from_keyval(GDK_KEY_Shift_R), VK_SHIFT);
    EXPECT_EQ(vk_from_keyval(GDK_KEY_Control_R), VK_CONTROL);
    EXPECT_EQ(vk_from_keyval(GDK_KEY_Alt_L), VK_MENU);
    EXPECT_EQ(vk_from_keyval(GDK_KEY_ISO_Left_Tab), VK_TAB) << "Shift+Tab is still the Tab key";
}

TEST(GtkKeys, PunctuationUsesTheOemCodes) {
    EXPECT_EQ(vk_from_keyval(GDK_KEY_semicolon), VK_OEM_1);
    EXPECT_EQ(vk_from_keyval(GDK_KEY_equal), VK_OEM_PLUS);
    EXPECT_EQ(vk_from_keyval(GDK_KEY_comma), VK_OEM_COMMA);
    EXPECT_EQ(vk_from_keyval(GDK_KEY_minus), VK_OEM_MINUS);
    EXPECT_EQ(vk_from_keyval(GDK_KEY_period), VK_OEM_PERIOD);
    EXPECT_EQ(vk_from_keyval(GDK_KEY_slash), VK_OEM_2);
    EXPECT_EQ(vk_from_keyval(GDK_KEY_grave), 0xC0u);
    EXPECT_EQ(vk_from_keyval(GDK_KEY_bracketleft), 0xDBu);
    EXPECT_EQ(vk_from_keyval(GDK_KEY_apostrophe), 0xDEu);
}

TEST(GtkKeys, KeysWithoutACodeGetNone) {
    EXPECT_EQ(vk_from_keyval(0x100673A), 0u) << "a Chinese character has no key of its own";
    EXPECT_EQ(vk_from_keyval(GDK_KEY_VoidSymbol), 0u);
}

TEST(GtkKeys, TypedCharactersAreGbkCodes) {
    EXPECT_EQ(typed_char_from_keyval(GDK_KEY_a, false), 'a');
    EXPECT_EQ(typed_char_from_keyval(GDK_KEY_A, false), 'A');
    EXPECT_EQ(typed_char_from_keyval(GDK_KEY_space, false), ' ');
    EXPECT_EQ(typed_char_from_keyval(0x100673A, false), 0xBBFAu) << "机 as lead << 8 | trail";
    EXPECT_EQ(typed_char_from_keyval(GDK_KEY_KP_5, false), '5');
    EXPECT_EQ(typed_char_from_keyval(0x101F600, false), 0u) << "GBK has no emoji";
}

TEST(GtkKeys, EditingKeysTypeTheirControlCharacters) {
    EXPECT_EQ(typed_char_from_keyval(GDK_KEY_Return, false), 0x0Du);
    EXPECT_EQ(typed_char_from_keyval(GDK_KEY_KP_Enter, false), 0x0Du);
    EXPECT_EQ(typed_char_from_keyval(GDK_KEY_Return, true), 0x0Au) << "Ctrl+Enter is a line feed";
    EXPECT_EQ(typed_char_from_keyval(GDK_KEY_BackSpace, false), 0x08u);
    EXPECT_EQ(typed_char_from_keyval(GDK_KEY_Tab, false), 0x09u);
    EXPECT_EQ(typed_char_from_keyval(GDK_KEY_Escape, false), 0x1Bu);
    EXPECT_EQ(typed_char_from_keyval(GDK_KEY_Delete, false), 0u);
    EXPECT_EQ(typed_char_from_keyval(GDK_KEY_Left, false), 0u);
    EXPECT_EQ(typed_char_from_keyval(GDK_KEY_F1, false), 0u);
}

TEST(GtkKeys, ControlWithALetterTypesItsControlCharacter) {
    EXPECT_EQ(typed_char_from_keyval(GDK_KEY_c, true), 0x03u);
    EXPECT_EQ(typed_char_from_keyval(GDK_KEY_C, true), 0x03u);
    EXPECT_EQ(typed_char_from_keyval(GDK_KEY_a, true), 0x01u);
    EXPECT_EQ(typed_char_from_keyval(GDK_KEY_bracketright, true), 0x1Du);
    EXPECT_EQ(typed_char_from_keyval(GDK_KEY_1, true), 0u);
    EXPECT_EQ(typed_char_from_keyval(0x100673A, true), 0u);
}

} // namespace
} // namespace platform::gtk_keys
