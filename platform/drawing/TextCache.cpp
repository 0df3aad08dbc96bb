#include "TextCache.h"

#include "Font.h"
#include "Pixels.h"
#include <platform/Encoding.h>

#include <cairo.h>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <iterator>
#include <list>
#include <pango/pangocairo.h>
#include <string>
#include <unordered_map>
#include <utility>

namespace platform {

namespace {

// Removes the '&' mnemonic markers ("&&" is a literal '&') and returns where
// the underlined character starts, or -1.
std::string strip_prefix(std::string_view gbk, int& underline_at) {
    std::string out;
    underline_at = -1;
    for (std::size_t i = 0; i < gbk.size(); ++i) {
        if (gbk[i] == '&' && i + 1 < gbk.size()) {
            ++i;
            if (gbk[i] != '&' && underline_at < 0)
                underline_at = static_cast<int>(out.size());
        }
        std::size_t len = gbk_char_length(gbk, i);
        out.append(gbk.substr(i, len));
        i += len - 1;
    }
    return out;
}

} // namespace

PangoLayout* make_layout(PangoContext* context, HFONT font, std::string_view gbk, UINT format) {
    PangoLayout* layout = pango_layout_new(context);
    pango_layout_set_font_description(layout, font->description());
    int underline_at = -1;
    std::string text = (format & DT_NOPREFIX) ? std::string(gbk) : strip_prefix(gbk, underline_at);
    std::string utf8;
    if (underline_at >= 0) {
        // The byte offset of the mnemonic in UTF-8.
        underline_at = static_cast<int>(
            gbk_to_utf8(std::string_view(text).substr(0, static_cast<std::size_t>(underline_at)))
                .size());
    }
    utf8 = gbk_to_utf8(text);
    pango_layout_set_text(layout, utf8.c_str(), static_cast<int>(utf8.size()));
    PangoAttrList* attrs = pango_attr_list_new();
    if (font->underline())
        pango_attr_list_insert(attrs, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
    if (font->strike_out())
        pango_attr_list_insert(attrs, pango_attr_strikethrough_new(TRUE));
    if (underline_at >= 0 && static_cast<std::size_t>(underline_at) < utf8.size()) {
        PangoAttribute* u = pango_attr_underline_new(PANGO_UNDERLINE_SINGLE);
        u->start_index = static_cast<guint>(underline_at);
        u->end_index =
            static_cast<guint>(g_utf8_next_char(utf8.c_str() + underline_at) - utf8.c_str());
        pango_attr_list_insert(attrs, u);
    }
    pango_layout_set_attributes(layout, attrs);
    pango_attr_list_unref(attrs);
    return layout;
}

bool whole_pixel_origin(cairo_t* cr, int& x, int& y) {
    cairo_matrix_t m;
    cairo_get_matrix(cr, &m);
    if (m.xx != 1 || m.yy != 1 || m.xy != 0 || m.yx != 0 || m.x0 != std::floor(m.x0) ||
        m.y0 != std::floor(m.y0))
        return false;
    x = static_cast<int>(m.x0);
    y = static_cast<int>(m.y0);
    return true;
}

bool draws_whole_pixels(cairo_t* cr) {
    int x = 0;
    int y = 0;
    return cairo_surface_get_type(cairo_get_target(cr)) == CAIRO_SURFACE_TYPE_IMAGE &&
           cairo_get_operator(cr) == CAIRO_OPERATOR_OVER && whole_pixel_origin(cr, x, y);
}

namespace text_cache {

// A text's coverage: what its glyphs cover of each pixel, in a picture
// whose top left corner lies at (x, y) from the layout's.
struct Coverage {
    cairo_surface_t* mask = nullptr;
    int x = 0;
    int y = 0;
};

struct Text {
    std::size_t hash = 0;
    std::uint64_t font = 0;
    UINT format = 0;
    int width = 0;
    std::string gbk;
    PangoLayout* layout = nullptr;
    // The context's serial when the text was last drawn, and how often it
    // was drawn since that changed: a picture is made at the second.
    guint serial = 0;
    int draws = 0;
    Coverage coverage;
    // With underlines or strike-through lines, which a picture gives a shade
    // apart.
    bool decorated = false;
    // Drawn through Pango: decorated, or (until the context changes) too
    // big to keep or not in grey.
    bool through_pango = false;
};

namespace {

// Beyond this many pixels a text (a wrapped paragraph) is drawn through
// Pango each time; a grid cell or a label takes a few hundred.
constexpr int k_most_pixels = 16 * 1024;
// Ink may stray a pixel past Pango's rounded extents under anti-aliasing.
constexpr int k_margin = 2;

void release(Coverage& c) {
    if (c.mask)
        cairo_surface_destroy(std::exchange(c.mask, nullptr));
}

// The picture of what the glyphs cover, made by drawing them in opaque white
// onto transparent pixels; none when a pixel's colour is not its coverage
// (glyphs anti-aliased per colour channel, which a mask cannot carry).
bool make_coverage(PangoLayout* layout, Coverage& out) {
    PangoRectangle ink{};
    pango_layout_get_pixel_extents(layout, &ink, nullptr);
    const int w = std::max(1, ink.width) + 2 * k_margin;
    const int h = std::max(1, ink.height) + 2 * k_margin;
    if (w * h > k_most_pixels)
        return false;
    cairo_surface_t* drawn = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_t* cr = cairo_create(drawn);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_move_to(cr, k_margin - ink.x, k_margin - ink.y);
    pango_cairo_show_layout(cr, layout);
    cairo_destroy(cr);
    cairo_surface_flush(drawn);

    cairo_surface_t* mask = cairo_image_surface_create(CAIRO_FORMAT_A8, w, h);
    const unsigned char* from = cairo_image_surface_get_data(drawn);
    unsigned char* to = cairo_image_surface_get_data(mask);
    const int from_stride = cairo_image_surface_get_stride(drawn);
    const int to_stride = cairo_image_surface_get_stride(mask);
    bool grey = true;
    for (int y = 0; y < h && grey; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(from + y * from_stride);
        for (int x = 0; x < w; ++x) {
            const std::uint32_t p = row[x];
            const std::uint32_t a = p >> 24;
            if (((p >> 16) & 0xFF) != a || ((p >> 8) & 0xFF) != a || (p & 0xFF) != a) {
                grey = false;
                break;
            }
            to[y * to_stride + x] = static_cast<unsigned char>(a);
        }
    }
    cairo_surface_destroy(drawn);
    if (!grey) {
        cairo_surface_destroy(mask);
        return false;
    }
    cairo_surface_mark_dirty(mask);
    out.mask = mask;
    out.x = ink.x - k_margin;
    out.y = ink.y - k_margin;
    return true;
}

// Pango fills underlines and strike-through lines itself, at fractions of a
// pixel; their coverage, filled into a picture, comes out a shade apart.
bool is_decorated(PangoLayout* layout) {
    PangoAttrList* attrs = pango_layout_get_attributes(layout);
    if (!attrs)
        return false;
    GSList* list = pango_attr_list_get_attributes(attrs);
    const bool any = list != nullptr;
    g_slist_free_full(list, reinterpret_cast<GDestroyNotify>(pango_attribute_destroy));
    return any;
}

// The texts laid out for drawing on this thread, most recently drawn first.
// The layouts share one context, brought up to the canvas's transformation
// before each use; Pango lays a layout out again when that changes.
class Cache {
  public:
    ~Cache() {
        for (Text& t : m_texts) {
            release(t.coverage);
            g_object_unref(t.layout);
        }
        if (m_context)
            g_object_unref(m_context);
    }

    Text& find(cairo_t* cr, HFONT font, std::string_view gbk, UINT format, int width) {
        if (!m_context) {
            m_context = pango_font_map_create_context(pango_cairo_font_map_get_default());
            pango_cairo_context_set_resolution(m_context, 96.0);
        }
        bring_up_to(cr);
        const std::size_t hash = hash_of(font->serial(), format, width, gbk);
        for (auto [at, end] = m_index.equal_range(hash); at != end; ++at) {
            auto it = at->second;
            if (it->font == font->serial() && it->format == format && it->width == width &&
                it->gbk == gbk) {
                m_texts.splice(m_texts.begin(), m_texts, it);
                return *it;
            }
        }
        if (m_texts.size() >= k_most)
            drop_oldest();
        Text& text = m_texts.emplace_front();
        text.hash = hash;
        text.font = font->serial();
        text.format = format;
        text.width = width;
        text.gbk = std::string(gbk);
        text.layout = make_layout(m_context, font, gbk, format);
        text.decorated = is_decorated(text.layout);
        text.through_pango = text.decorated;
        m_index.emplace(hash, m_texts.begin());
        return text;
    }

    guint serial() const { return pango_context_get_serial(m_context); }

  private:
    static std::size_t hash_of(std::uint64_t font, UINT format, int width, std::string_view gbk) {
        std::size_t h = std::hash<std::string_view>{}(gbk);
        for (std::uint64_t v : {font, std::uint64_t{format}, static_cast<std::uint64_t>(width)})
            h = (h ^ std::hash<std::uint64_t>{}(v)) * 0x100000001B3ull;
        return h;
    }

    void drop_oldest() {
        auto last = std::prev(m_texts.end());
        for (auto [at, end] = m_index.equal_range(last->hash); at != end; ++at)
            if (at->second == last) {
                m_index.erase(at);
                break;
            }
        release(last->coverage);
        g_object_unref(last->layout);
        m_texts.pop_back();
    }

    // Only the canvas's scale and the surface's font options shape a text.
    // A window's canvas is moved to its origin, a whole number of pixels,
    // which leaves every glyph where it was; telling Pango of each move
    // would have it lay every text out again.
    void bring_up_to(cairo_t* cr) {
        cairo_matrix_t m;
        cairo_get_matrix(cr, &m);
        PangoMatrix scale = PANGO_MATRIX_INIT;
        scale.xx = m.xx;
        scale.yx = m.yx;
        scale.xy = m.xy;
        scale.yy = m.yy;
        const PangoMatrix* now = pango_context_get_matrix(m_context);
        PangoMatrix current = now ? *now : PangoMatrix(PANGO_MATRIX_INIT);
        bool whole_move = m.x0 == std::floor(m.x0) && m.y0 == std::floor(m.y0);
        if (!whole_move) {
            pango_cairo_update_context(cr, m_context);
            return;
        }
        if (current.xx != scale.xx || current.yx != scale.yx || current.xy != scale.xy ||
            current.yy != scale.yy || current.x0 != 0 || current.y0 != 0)
            pango_context_set_matrix(m_context, &scale);
        cairo_font_options_t* options = cairo_font_options_create();
        cairo_surface_get_font_options(cairo_get_target(cr), options);
        const cairo_font_options_t* set = pango_cairo_context_get_font_options(m_context);
        if (!set || !cairo_font_options_equal(options, set))
            pango_cairo_context_set_font_options(m_context, options);
        cairo_font_options_destroy(options);
    }

    // More than a screenful of grid cells and labels.
    static constexpr std::size_t k_most = 256;
    PangoContext* m_context = nullptr;
    std::list<Text> m_texts; // most recently drawn first
    std::unordered_multimap<std::size_t, std::list<Text>::iterator> m_index;
};

thread_local Cache t_cache;

} // namespace

Text& find(cairo_t* cr, HFONT font, std::string_view gbk, UINT format, int width) {
    return t_cache.find(cr, font, gbk, format, width);
}

PangoLayout* layout_of(Text& text) {
    return text.layout;
}

void show(cairo_t* cr, Text& text, int x, int y, const Rect* clip, const Direct& direct) {
    // A text is laid out anew, and its picture goes stale, when the
    // context's scale or font options change.
    const guint serial = t_cache.serial();
    if (text.serial != serial) {
        release(text.coverage);
        text.serial = serial;
        text.draws = 0;
        text.through_pango = text.decorated;
    }
    ++text.draws;
    const bool whole_pixels = draws_whole_pixels(cr);
    if (!text.coverage.mask && !text.through_pango && text.draws >= 2 && whole_pixels)
        text.through_pango = !make_coverage(text.layout, text.coverage);
    cairo_surface_t* mask = whole_pixels ? text.coverage.mask : nullptr;
    Rect covered;
    if (mask)
        covered = {x + text.coverage.x, y + text.coverage.y,
                   x + text.coverage.x + cairo_image_surface_get_width(mask),
                   y + text.coverage.y + cairo_image_surface_get_height(mask)};
    // Most texts drawn from their picture lie well inside their cells: no
    // clip to set up.
    const bool clipped = clip && (!mask || covered.intersect(*clip) != covered);
    if (mask && direct.clip) {
        thread_local std::vector<Rect> parts;
        const std::vector<Rect>* inside = direct.clip;
        if (clipped) {
            const Rect cell = clip->offset(direct.ox, direct.oy);
            parts.clear();
            for (const Rect& c : *direct.clip)
                if (Rect part = c.intersect(cell); !part.is_empty())
                    parts.push_back(part);
            inside = &parts;
        }
        pixels::fill_mask(cairo_get_target(cr), *inside, mask, covered.left + direct.ox,
                          covered.top + direct.oy, direct.rgb);
        return;
    }
    if (clipped) {
        cairo_save(cr);
        cairo_rectangle(cr, clip->left, clip->top, clip->width(), clip->height());
        cairo_clip(cr);
    }
    if (mask) {
        cairo_mask_surface(cr, mask, covered.left, covered.top);
    } else {
        cairo_move_to(cr, x, y);
        pango_cairo_show_layout(cr, text.layout);
    }
    if (clipped)
        cairo_restore(cr);
}

} // namespace text_cache

} // namespace platform
