#include "TextPictures.h"

#include <platform/window/Painting.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace arm {

using platform::Canvas;
using platform::Rect;

namespace {

// Everything that decides the picture's pixels.
std::string key_of(platform::HFONT font, const std::string& gbk, const Rect& r,
                   platform::UINT format, platform::COLORREF color, platform::COLORREF background) {
    std::string key;
    auto add = [&](std::uint64_t v) { key.append(reinterpret_cast<const char*>(&v), sizeof v); };
    add(reinterpret_cast<std::uintptr_t>(font));
    add(static_cast<std::uint64_t>(r.width()) << 32 | static_cast<std::uint32_t>(r.height()));
    add(format);
    add(static_cast<std::uint64_t>(color) << 32 | background);
    key += gbk;
    return key;
}

} // namespace

TextPictures::~TextPictures() {
    for (Picture& p : m_pictures)
        platform::delete_bitmap(p.bitmap);
}

void TextPictures::draw(Canvas& c, const std::string& gbk, const Rect& r, platform::UINT format,
                        platform::COLORREF color, platform::COLORREF background) {
    if (r.is_empty())
        return;
    c.draw_surface(picture(c, gbk, r.width(), r.height(), format, color, background), r.left,
                   r.top);
}

void TextPictures::draw_characters(Canvas& c, const std::string& gbk, const Rect& r,
                                   platform::COLORREF color, platform::COLORREF background) {
    if (r.is_empty())
        return;
    // Each digit stands alone; a run of anything else is one piece. GBK: a
    // byte below 0x80 is a character, any other leads a pair.
    std::vector<std::string> pieces;
    bool last_digit = false;
    for (std::size_t i = 0; i < gbk.size();) {
        const std::size_t length = static_cast<unsigned char>(gbk[i]) < 0x80 ? 1 : 2;
        const bool digit = gbk[i] >= '0' && gbk[i] <= '9';
        if (digit || last_digit || pieces.empty())
            pieces.emplace_back();
        pieces.back().append(gbk, i, length);
        last_digit = digit;
        i += length;
    }
    c.fill_rect(r, background);
    constexpr platform::UINT k_format =
        platform::DT_LEFT | platform::DT_VCENTER | platform::DT_SINGLELINE | platform::DT_NOPREFIX;
    c.push_clip(r);
    int x = r.right;
    for (auto piece = pieces.rbegin(); piece != pieces.rend(); ++piece) {
        const int width = width_of(c, *piece);
        x -= width;
        c.draw_surface(picture(c, *piece, width, r.height(), k_format, color, background), x,
                       r.top);
    }
    c.pop_clip();
}

int TextPictures::width_of(Canvas& c, const std::string& piece) {
    std::string key = key_of(c.font(), piece, {}, 0, 0, 0);
    auto found = m_widths.find(key);
    if (found != m_widths.end())
        return found->second;
    int width = std::max(1, c.measure_text(piece).cx);
    // Only a handful of fonts and pieces are ever measured.
    if (m_widths.size() < 4 * m_limit)
        m_widths.emplace(key, width);
    return width;
}

platform::HBITMAP TextPictures::picture(Canvas& c, const std::string& gbk, int width, int height,
                                        platform::UINT format, platform::COLORREF color,
                                        platform::COLORREF background) {
    std::string key = key_of(c.font(), gbk, {0, 0, width, height}, format, color, background);
    auto found = m_index.find(key);
    if (found != m_index.end()) {
        m_pictures.splice(m_pictures.begin(), m_pictures, found->second);
        return m_pictures.front().bitmap;
    }
    Picture p{key, platform::create_bitmap(width, height)};
    if (std::unique_ptr<Canvas> pc = platform::bitmap_canvas(p.bitmap)) {
        Rect at{0, 0, width, height};
        pc->fill_rect(at, background);
        pc->set_font(c.font());
        pc->set_bk_mode(platform::BkMode::Transparent);
        pc->set_text_color(color);
        pc->draw_text(gbk, at, format);
    }
    ++m_drawn;
    m_pictures.push_front(std::move(p));
    m_index[key] = m_pictures.begin();
    while (m_pictures.size() > m_limit) {
        platform::delete_bitmap(m_pictures.back().bitmap);
        m_index.erase(m_pictures.back().key);
        m_pictures.pop_back();
    }
    return m_pictures.front().bitmap;
}

} // namespace arm
