#pragma once

// How keys of the GTK display become the platform's key messages: a GDK
// key value becomes a virtual-key code, and the character a key types
// becomes its GBK code. Plain functions of numbers, so they can be checked
// without a display.

#include <platform/Types.h>

#include <cstdint>

namespace platform::gtk_keys {

// The virtual-key code of a key, from the key value it has without any
// modifier (so that Shift+1 is the '1' key, not '!'); 0 when the key has
// no code of its own.
UINT vk_from_keyval(unsigned keyval);

// The character a key types when no input method took it, as a GBK code
// (one byte, or lead byte << 8 | trail byte); 0 for none. With Control held
// a letter types its control character, as on the platform (Ctrl+C is 0x03).
std::uint32_t typed_char_from_keyval(unsigned keyval, bool control);

// A Unicode character as a GBK code; 0 when GBK has no such character.
std::uint32_t gbk_code_of(std::uint32_t unicode);

} // namespace platform::gtk_keys
