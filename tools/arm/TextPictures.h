#pragma once

// Pictures of short texts, each drawn once into a bitmap on its solid
// background and copied into later paints. Laying a text out costs far more
// than copying its pixels, and the arm's window shows the same few numbers
// and log lines over and over while the arm moves. The least recently used
// pictures go once there are more than the limit.

#include <platform/drawing/Bitmap.h>
#include <platform/drawing/Canvas.h>

#include <cstddef>
#include <list>
#include <string>
#include <unordered_map>

namespace arm {

class TextPictures {
  public:
    explicit TextPictures(std::size_t limit = 512) : m_limit(limit) {}
    ~TextPictures();
    TextPictures(const TextPictures&) = delete;
    TextPictures& operator=(const TextPictures&) = delete;

    // Shows what c.draw_text(gbk, r, format) would draw in the canvas's font
    // and `color` over r filled with `background`: the picture covers all
    // of r. The canvas's font is used; its text colour is left alone.
    void draw(platform::Canvas& c, const std::string& gbk, const platform::Rect& r,
              platform::UINT format, platform::COLORREF color, platform::COLORREF background);

    // Draws a short line right-aligned and centred upright in r, over r
    // filled with `background`, each digit from a picture of its own and
    // each run of other characters from one: numbers that change every
    // frame, or with every command, then need no new picture. The pieces
    // stand at their own widths, without the kerning a laid-out line has
    // between a digit and its neighbours.
    void draw_characters(platform::Canvas& c, const std::string& gbk, const platform::Rect& r,
                         platform::COLORREF color, platform::COLORREF background);

    std::size_t size() const { return m_pictures.size(); }
    // How many pictures were drawn rather than found.
    std::size_t drawn() const { return m_drawn; }

  private:
    struct Picture {
        std::string key;
        platform::HBITMAP bitmap = nullptr;
    };
    // The picture of what c.draw_text(gbk, {0, 0, width, height}, format)
    // draws over `background`, drawn now if it is not kept.
    platform::HBITMAP picture(platform::Canvas& c, const std::string& gbk, int width, int height,
                              platform::UINT format, platform::COLORREF color,
                              platform::COLORREF background);
    int width_of(platform::Canvas& c, const std::string& piece);

    std::size_t m_limit;
    std::size_t m_drawn = 0;
    std::list<Picture> m_pictures; // most recently used first
    std::unordered_map<std::string, std::list<Picture>::iterator> m_index;
    std::unordered_map<std::string, int> m_widths;
};

} // namespace arm
