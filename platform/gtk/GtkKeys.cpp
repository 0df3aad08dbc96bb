#include "GtkKeys.h"

#include <platform/Encoding.h>
#include <platform/window/Styles.h>

#include <gdk/gdk.h>

namespace platform::gtk_keys {

namespace {

// Codes that Styles.h does not name yet, with the platform's values.
constexpr UINT VK_CLEAR = 0x0C;
constexpr UINT VK_SELECT = 0x29;
constexpr UINT VK_EXECUTE = 0x2B;
constexpr UINT VK_SNAPSHOT = 0x2C;
constexpr UINT VK_HELP = 0x2F;
constexpr UINT VK_LWIN = 0x5B;
constexpr UINT VK_RWIN = 0x5C;
constexpr UINT VK_APPS = 0x5D;
constexpr UINT VK_SEPARATOR = 0x6C;
constexpr UINT VK_NUMLOCK = 0x90;
constexpr UINT VK_SCROLL = 0x91;
constexpr UINT VK_OEM_3 = 0xC0;
constexpr UINT VK_OEM_4 = 0xDB;
constexpr UINT VK_OEM_5 = 0xDC;
constexpr UINT VK_OEM_6 = 0xDD;
constexpr UINT VK_OEM_7 = 0xDE;
constexpr UINT VK_OEM_102 = 0xE2;

struct KeyPair {
    unsigned keyval;
    UINT vk;
};

constexpr KeyPair k_keys[] = {
    {GDK_KEY_BackSpace, VK_BACK},
    {GDK_KEY_Tab, VK_TAB},
    {GDK_KEY_ISO_Left_Tab, VK_TAB},
    {GDK_KEY_Clear, VK_CLEAR},
    {GDK_KEY_Return, VK_RETURN},
    {GDK_KEY_KP_Enter, VK_RETURN},
    {GDK_KEY_Shift_L, VK_SHIFT},
    {GDK_KEY_Shift_R, VK_SHIFT},
    {GDK_KEY_Control_L, VK_CONTROL},
    {GDK_KEY_Control_R, VK_CONTROL},
    {GDK_KEY_Alt_L, VK_MENU},
    {GDK_KEY_Alt_R, VK_MENU},
    {GDK_KEY_Meta_L, VK_MENU},
    {GDK_KEY_Meta_R, VK_MENU},
    {GDK_KEY_ISO_Level3_Shift, VK_MENU},
    {GDK_KEY_Pause, VK_PAUSE},
    {GDK_KEY_Break, VK_CANCEL},
    {GDK_KEY_Caps_Lock, VK_CAPITAL},
    {GDK_KEY_Escape, VK_ESCAPE},
    {GDK_KEY_space, VK_SPACE},
    {GDK_KEY_KP_Space, VK_SPACE},
    {GDK_KEY_Page_Up, VK_PRIOR},
    {GDK_KEY_Page_Down, VK_NEXT},
    {GDK_KEY_End, VK_END},
    {GDK_KEY_Home, VK_HOME},
    {GDK_KEY_Left, VK_LEFT},
    {GDK_KEY_Up, VK_UP},
    {GDK_KEY_Right, VK_RIGHT},
    {GDK_KEY_Down, VK_DOWN},
    {GDK_KEY_KP_Page_Up, VK_PRIOR},
    {GDK_KEY_KP_Page_Down, VK_NEXT},
    {GDK_KEY_KP_End, VK_END},
    {GDK_KEY_KP_Home, VK_HOME},
    {GDK_KEY_KP_Left, VK_LEFT},
    {GDK_KEY_KP_Up, VK_UP},
    {GDK_KEY_KP_Right, VK_RIGHT},
    {GDK_KEY_KP_Down, VK_DOWN},
    {GDK_KEY_KP_Begin, VK_CLEAR},
    {GDK_KEY_Select, VK_SELECT},
    {GDK_KEY_Execute, VK_EXECUTE},
    {GDK_KEY_Print, VK_SNAPSHOT},
    {GDK_KEY_Sys_Req, VK_SNAPSHOT},
    {GDK_KEY_Insert, VK_INSERT},
    {GDK_KEY_KP_Insert, VK_INSERT},
    {GDK_KEY_Delete, VK_DELETE},
    {GDK_KEY_KP_Delete, VK_DELETE},
    {GDK_KEY_Help, VK_HELP},
    {GDK_KEY_Super_L, VK_LWIN},
    {GDK_KEY_Super_R, VK_RWIN},
    {GDK_KEY_Menu, VK_APPS},
    {GDK_KEY_KP_Multiply, VK_MULTIPLY},
    {GDK_KEY_KP_Add, VK_ADD},
    {GDK_KEY_KP_Separator, VK_SEPARATOR},
    {GDK_KEY_KP_Subtract, VK_SUBTRACT},
    {GDK_KEY_KP_Decimal, VK_DECIMAL},
    {GDK_KEY_KP_Divide, VK_DIVIDE},
    {GDK_KEY_Num_Lock, VK_NUMLOCK},
    {GDK_KEY_Scroll_Lock, VK_SCROLL},
    {GDK_KEY_semicolon, VK_OEM_1},
    {GDK_KEY_colon, VK_OEM_1},
    {GDK_KEY_equal, VK_OEM_PLUS},
    {GDK_KEY_plus, VK_OEM_PLUS},
    {GDK_KEY_comma, VK_OEM_COMMA},
    {GDK_KEY_minus, VK_OEM_MINUS},
    {GDK_KEY_underscore, VK_OEM_MINUS},
    {GDK_KEY_period, VK_OEM_PERIOD},
    {GDK_KEY_greater, VK_OEM_PERIOD},
    {GDK_KEY_slash, VK_OEM_2},
    {GDK_KEY_question, VK_OEM_2},
    {GDK_KEY_grave, VK_OEM_3},
    {GDK_KEY_asciitilde, VK_OEM_3},
    {GDK_KEY_bracketleft, VK_OEM_4},
    {GDK_KEY_braceleft, VK_OEM_4},
    {GDK_KEY_backslash, VK_OEM_5},
    {GDK_KEY_bar, VK_OEM_5},
    {GDK_KEY_bracketright, VK_OEM_6},
    {GDK_KEY_braceright, VK_OEM_6},
    {GDK_KEY_apostrophe, VK_OEM_7},
    {GDK_KEY_quotedbl, VK_OEM_7},
    // The extra key of a 102-key keyboard.
    {GDK_KEY_less, VK_OEM_102},
    // The shifted digits of a US keyboard, for a key whose unshifted value
    // could not be found.
    {GDK_KEY_exclam, '1'},
    {GDK_KEY_at, '2'},
    {GDK_KEY_numbersign, '3'},
    {GDK_KEY_dollar, '4'},
    {GDK_KEY_percent, '5'},
    {GDK_KEY_asciicircum, '6'},
    {GDK_KEY_ampersand, '7'},
    {GDK_KEY_asterisk, '8'},
    {GDK_KEY_parenleft, '9'},
    {GDK_KEY_parenright, '0'},
};

} // namespace

UINT vk_from_keyval(unsigned keyval) {
    if (keyval >= GDK_KEY_a && keyval <= GDK_KEY_z)
        return 'A' + (keyval - GDK_KEY_a);
    if (keyval >= GDK_KEY_A && keyval <= GDK_KEY_Z)
        return keyval;
    if (keyval >= GDK_KEY_0 && keyval <= GDK_KEY_9)
        return keyval;
    if (keyval >= GDK_KEY_KP_0 && keyval <= GDK_KEY_KP_9)
        return VK_NUMPAD0 + (keyval - GDK_KEY_KP_0);
    if (keyval >= GDK_KEY_F1 && keyval <= GDK_KEY_F24)
        return VK_F1 + (keyval - GDK_KEY_F1);
    for (const KeyPair& k : k_keys)
        if (k.keyval == keyval)
            return k.vk;
    return 0;
}

std::uint32_t gbk_code_of(std::uint32_t unicode) {
    if (unicode == 0 || unicode > 0x10FFFF)
        return 0;
    if (unicode < 0x80)
        return unicode;
    char utf8[8];
    int n = g_unichar_to_utf8(static_cast<gunichar>(unicode), utf8);
    std::string gbk;
    if (!utf8_to_gbk(std::string_view(utf8, static_cast<std::size_t>(n)), gbk, InvalidBytes::Fail))
        return 0;
    if (gbk.size() == 1)
        return static_cast<unsigned char>(gbk[0]);
    if (gbk.size() == 2)
        return (static_cast<std::uint32_t>(static_cast<unsigned char>(gbk[0])) << 8) |
               static_cast<unsigned char>(gbk[1]);
    return 0; // four-byte GB18030 sequences are not GBK
}

std::uint32_t typed_char_from_keyval(unsigned keyval, bool control) {
    // Keys that type a control character; Delete types none on the platform.
    switch (keyval) {
    case GDK_KEY_BackSpace:
        return 0x08;
    case GDK_KEY_Tab:
    case GDK_KEY_ISO_Left_Tab:
        return control ? 0 : 0x09;
    case GDK_KEY_Return:
    case GDK_KEY_KP_Enter:
        return control ? 0x0A : 0x0D;
    case GDK_KEY_Escape:
        return 0x1B;
    case GDK_KEY_Delete:
    case GDK_KEY_KP_Delete:
        return 0;
    default:
        break;
    }
    std::uint32_t unicode = gdk_keyval_to_unicode(keyval);
    if (control) {
        if ((unicode >= 'a' && unicode <= 'z') || (unicode >= 'A' && unicode <= 'Z'))
            return unicode & 0x1F;
        switch (unicode) {
        case '[':
            return 0x1B;
        case '\\':
            return 0x1C;
        case ']':
            return 0x1D;
        default:
            return 0;
        }
    }
    if (unicode < 0x20 || unicode == 0x7F)
        return 0;
    return gbk_code_of(unicode);
}

} // namespace platform::gtk_keys
