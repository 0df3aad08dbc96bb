#include "ControlLook.h"

#include <platform/controls/Controls.h>
#include <platform/drawing/Bitmap.h>
#include <platform/drawing/Font.h>
#include <platform/window/WindowSystem.h>

#include <cairo.h>

#include <algorithm>
#include <cstring>

namespace units {

UnitFont::~UnitFont() {
    if (m_font)
        platform::delete_font(m_font);
}

void UnitFont::apply(platform::HWND hwnd, std::span<const std::uint8_t> block, bool redraw) {
    platform::HFONT old = m_font;
    m_font = nullptr;
    if (block.size() == sizeof(platform::LogFont)) {
        platform::LogFont log_font;
        std::memcpy(&log_font, block.data(), sizeof log_font);
        log_font.face_name[sizeof log_font.face_name - 1] = 0;
        m_font = platform::create_font_indirect(log_font);
    }
    platform::send_message(hwnd, platform::WM_SETFONT, reinterpret_cast<platform::WPARAM>(handle()),
                           redraw ? 1 : 0);
    if (old)
        platform::delete_font(old);
}

platform::HFONT UnitFont::handle() const {
    return m_font ? m_font : platform::default_gui_font();
}

UnitPicture::~UnitPicture() {
    if (m_bitmap)
        platform::delete_bitmap(m_bitmap);
}

void UnitPicture::load(std::span<const std::uint8_t> dib) {
    if (m_bitmap)
        platform::delete_bitmap(m_bitmap);
    m_bitmap = dib.empty() ? nullptr : platform::bitmap_from_dib(dib.data(), dib.size());
}

void UnitPicture::draw(platform::Canvas& canvas, const platform::Rect& area,
                       std::int32_t layout) const {
    if (!m_bitmap || area.width() <= 0 || area.height() <= 0)
        return;
    double width = cairo_image_surface_get_width(m_bitmap);
    double height = cairo_image_surface_get_height(m_bitmap);
    double sx = 1, sy = 1;
    switch (layout) {
    case Stretch:
        sx = area.width() / width;
        sy = area.height() / height;
        break;
    case Fit:
        sx = sy = std::min(area.width() / width, area.height() / height);
        break;
    default:
        break;
    }
    double x = area.left, y = area.top;
    if (layout == Centre || layout == Fit) {
        x += (area.width() - width * sx) / 2;
        y += (area.height() - height * sy) / 2;
    }
    cairo_t* cr = canvas.cairo();
    cairo_save(cr);
    cairo_rectangle(cr, area.left, area.top, area.width(), area.height());
    cairo_clip(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, sx, sy);
    cairo_rectangle(cr, 0, 0, width, height);
    cairo_clip(cr);
    cairo_set_source_surface(cr, m_bitmap, 0, 0);
    // Scaled edges take the border pixels, not a fade into nothing.
    cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
    cairo_paint(cr);
    cairo_restore(cr);
}

std::string window_text_between(platform::HWND hwnd, std::uint32_t start, std::uint32_t end) {
    std::string text = platform::get_window_text(hwnd);
    auto size = static_cast<std::uint32_t>(text.size());
    start = std::min(start, size);
    end = std::clamp(end, start, size);
    return text.substr(start, end - start);
}

platform::LRESULT colour_answer(platform::WPARAM canvas, platform::COLORREF text,
                                platform::COLORREF background) {
    if (auto* target = reinterpret_cast<platform::Canvas*>(canvas)) {
        target->set_text_color(text);
        target->set_bk_color(background);
    }
    return reinterpret_cast<platform::LRESULT>(platform::create_solid_brush(background));
}

} // namespace units
