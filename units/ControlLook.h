#pragma once

// What the basic units share about their look: the font a 60-byte font
// property selects, held for as long as the unit shows it, and the answer to
// a control's colour question.

#include <platform/Canvas.h>
#include <platform/Types.h>

#include <cstdint>
#include <span>

namespace units {

// A unit's own font. An empty or wrong-sized block selects the default GUI
// font, which is never deleted.
class UnitFont {
  public:
    UnitFont() = default;
    ~UnitFont();
    UnitFont(const UnitFont&) = delete;
    UnitFont& operator=(const UnitFont&) = delete;

    // Makes the font of `block` and hands it to `hwnd` with WM_SETFONT.
    void apply(platform::HWND hwnd, std::span<const std::uint8_t> block, bool redraw);
    platform::HFONT handle() const;

  private:
    platform::HFONT m_font = nullptr; // owned; null means the default GUI font
};

// Fills in the canvas a WM_CTLCOLOR* message carries and returns the brush
// of `background`, as the parent's answer.
platform::LRESULT colour_answer(platform::WPARAM canvas, platform::COLORREF text,
                                platform::COLORREF background);

// The face colour of windows and the default background of most units.
inline constexpr platform::COLORREF FaceColour = 0x00F0F0F0;
inline constexpr platform::COLORREF WhiteColour = 0x00FFFFFF;

} // namespace units
