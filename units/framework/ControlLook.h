#pragma once

// What the basic units share about their look: the font a 60-byte font
// property selects, held for as long as the unit shows it, and the answer to
// a control's colour question.

#include <platform/Types.h>
#include <platform/drawing/Bitmap.h>
#include <platform/drawing/Canvas.h>

#include <cstdint>
#include <span>
#include <string>

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

// A picture a unit shows: the bitmap its picture property holds (a packed
// DIB), made when the property changes and kept until the next change.
class UnitPicture {
  public:
    // How the picture lies in its area.
    enum Layout : std::int32_t { TopLeft = 0, Stretch = 1, Centre = 2, Fit = 3 };

    UnitPicture() = default;
    ~UnitPicture();
    UnitPicture(const UnitPicture&) = delete;
    UnitPicture& operator=(const UnitPicture&) = delete;

    // Bytes that are empty or no bitmap leave no picture.
    void load(std::span<const std::uint8_t> dib);
    // Null when there is no picture.
    platform::HBITMAP bitmap() const { return m_bitmap; }
    // Draws the picture clipped to `area`, at its own size or scaled as
    // `layout` says; nothing when there is none.
    void draw(platform::Canvas& canvas, const platform::Rect& area, std::int32_t layout) const;

  private:
    platform::HBITMAP m_bitmap = nullptr; // owned
};

// The part of a window's text between two offsets, kept within the text.
std::string window_text_between(platform::HWND hwnd, std::uint32_t start, std::uint32_t end);

// Fills in the canvas a WM_CTLCOLOR* message carries and returns the brush
// of `background`, as the parent's answer.
platform::LRESULT colour_answer(platform::WPARAM canvas, platform::COLORREF text,
                                platform::COLORREF background);

// The face colour of windows and the default background of most units.
inline constexpr platform::COLORREF FaceColour = 0x00F0F0F0;
inline constexpr platform::COLORREF WhiteColour = 0x00FFFFFF;

} // namespace units
