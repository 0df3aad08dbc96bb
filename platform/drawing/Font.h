#pragma once

// Fonts are described by the platform's 60-byte logical-font record, the
// form in which the runtime's font properties store them.

#include <platform/Types.h>

#include <cstdint>
#include <memory>
#include <string>

typedef struct _PangoFontDescription PangoFontDescription;

namespace platform {

struct LogFont {
    std::int32_t height = 0; // < 0: character height in pixels; > 0: cell height
    std::int32_t width = 0;
    std::int32_t escapement = 0;
    std::int32_t orientation = 0;
    std::int32_t weight = 0; // 0 default, 400 normal, 700 bold
    std::uint8_t italic = 0;
    std::uint8_t underline = 0;
    std::uint8_t strike_out = 0;
    std::uint8_t char_set = 0;
    std::uint8_t out_precision = 0;
    std::uint8_t clip_precision = 0;
    std::uint8_t quality = 0;
    std::uint8_t pitch_and_family = 0;
    char face_name[32] = {}; // GBK, zero-terminated
};
static_assert(sizeof(LogFont) == 60, "the logical-font record is stored byte for byte");

constexpr std::int32_t FW_NORMAL = 400;
constexpr std::int32_t FW_BOLD = 700;
constexpr std::uint8_t GB2312_CHARSET = 134;
constexpr std::uint8_t DEFAULT_CHARSET = 1;

// A realised font: the record it was made from and the Pango description
// that draws it. Faces the machine lacks fall back to a CJK-capable sans face.
class Font {
  public:
    explicit Font(const LogFont& lf);
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    const LogFont& log_font() const { return m_log_font; }
    const PangoFontDescription* description() const { return m_description; }
    int pixel_size() const { return m_pixel_size; }
    bool underline() const { return m_log_font.underline != 0; }
    bool strike_out() const { return m_log_font.strike_out != 0; }
    // Unique to this font for the life of the process, unlike its address.
    std::uint64_t serial() const { return m_serial; }

  private:
    LogFont m_log_font;
    std::uint64_t m_serial;
    PangoFontDescription* m_description = nullptr;
    int m_pixel_size = 12;
};

HFONT create_font_indirect(const LogFont& lf);
void delete_font(HFONT font);
// The default GUI font: a CJK-capable sans face at 9 points (12 pixels at
// 96 dots per inch). Never delete it.
HFONT default_gui_font();
LogFont default_gui_log_font();

// The families tried for a face, in order: the face itself, then faces that
// hold both Latin and CJK glyphs.
std::string font_family_list(const std::string& face_utf8);

} // namespace platform
