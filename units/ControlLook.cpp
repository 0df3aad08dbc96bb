#include "ControlLook.h"

#include <platform/Controls.h>
#include <platform/Font.h>
#include <platform/WindowSystem.h>

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

platform::LRESULT colour_answer(platform::WPARAM canvas, platform::COLORREF text,
                                platform::COLORREF background) {
    if (auto* target = reinterpret_cast<platform::Canvas*>(canvas)) {
        target->set_text_color(text);
        target->set_bk_color(background);
    }
    return reinterpret_cast<platform::LRESULT>(platform::create_solid_brush(background));
}

} // namespace units
