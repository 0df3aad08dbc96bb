#include "Font.h"

#include <atomic>
#include <platform/Encoding.h>

#include <cstring>
#include <pango/pango.h>

namespace platform {

namespace {
constexpr const char* k_fallback_families =
    "WenQuanYi Micro Hei,Noto Sans CJK SC,Droid Sans Fallback,sans-serif";
}

std::string font_family_list(const std::string& face_utf8) {
    // Faces of the original platform that this one does not have are known
    // by name; mapping them to nothing lets the CJK sans face serve.
    static const char* const k_foreign[] = {
        "MS Sans Serif", "MS Shell Dlg", "MS Shell Dlg 2", "System",          "宋体",    "新宋体",
        "SimSun",        "NSimSun",      "Tahoma",         "Microsoft YaHei", "微软雅黑"};
    bool foreign = face_utf8.empty();
    for (const char* f : k_foreign)
        if (face_utf8 == f)
            foreign = true;
    if (foreign)
        return k_fallback_families;
    return face_utf8 + "," + k_fallback_families;
}

Font::Font(const LogFont& lf) : m_log_font(lf) {
    static std::atomic<std::uint64_t> fonts_made{0};
    m_serial = ++fonts_made;
    m_log_font.face_name[sizeof m_log_font.face_name - 1] = '\0';
    std::string face =
        gbk_to_utf8(std::string_view(m_log_font.face_name, strnlen(m_log_font.face_name, 32)));
    m_description = pango_font_description_new();
    pango_font_description_set_family(m_description, font_family_list(face).c_str());
    // A negative height is the character height; a positive one the cell
    // height, of which the character takes about 80 %.
    if (lf.height < 0)
        m_pixel_size = -lf.height;
    else if (lf.height > 0)
        m_pixel_size = lf.height * 4 / 5 > 0 ? lf.height * 4 / 5 : 1;
    else
        m_pixel_size = 12;
    pango_font_description_set_absolute_size(m_description, m_pixel_size * PANGO_SCALE);
    int weight = lf.weight <= 0 ? FW_NORMAL : (lf.weight > 1000 ? 1000 : lf.weight);
    pango_font_description_set_weight(m_description, static_cast<PangoWeight>(weight));
    pango_font_description_set_style(m_description,
                                     lf.italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
}

Font::~Font() {
    pango_font_description_free(m_description);
}

HFONT create_font_indirect(const LogFont& lf) {
    return new Font(lf);
}

void delete_font(HFONT font) {
    if (font && font != default_gui_font())
        delete font;
}

LogFont default_gui_log_font() {
    LogFont lf;
    lf.height = -12;
    lf.weight = FW_NORMAL;
    lf.char_set = GB2312_CHARSET;
    std::strcpy(lf.face_name, "WenQuanYi Micro Hei");
    return lf;
}

HFONT default_gui_font() {
    static Font* font = new Font(default_gui_log_font());
    return font;
}

} // namespace platform
