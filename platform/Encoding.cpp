#include "Encoding.h"

#include <cerrno>
#include <iconv.h>

namespace platform {
namespace {

// One iconv descriptor per direction and thread; iconv_t is not thread-safe,
// and opening one costs more than most conversions.
class Converter {
  public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter() {
        if (m_cd != reinterpret_cast<iconv_t>(-1))
            iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts in full or stops at the first bad sequence. Returns the number
    // of input bytes consumed; `bad` tells whether it stopped early.
    std::size_t run(std::string_view in, std::string& out, bool& bad) {
        bad = false;
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in.data());
        std::size_t src_left = in.size();
        char buffer[1024];
        while (src_left > 0) {
            char* dst = buffer;
            std::size_t dst_left = sizeof buffer;
            std::size_t r = iconv(m_cd, &src, &src_left, &dst, &dst_left);
            out.append(buffer, static_cast<std::size_t>(dst - buffer));
            if (r != static_cast<std::size_t>(-1))
                continue;
            if (errno == E2BIG)
                continue;
            bad = true; // EILSEQ or EINVAL (cut at the end)
            break;
        }
        return in.size() - src_left;
    }

    bool valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

  private:
    iconv_t m_cd;
};

Converter& gbk_to_utf8_converter() {
    // GB18030 is a superset of GBK that also maps the few code points glibc's
    // GBK table lacks (0x80 euro sign, user-defined area), so valid GBK never fails.
    thread_local Converter c("UTF-8", "GB18030");
    return c;
}

Converter& utf8_to_gbk_converter() {
    thread_local Converter c("GBK", "UTF-8");
    return c;
}

bool convert(Converter& c, std::string_view in, std::string& out, InvalidBytes mode,
             std::string_view replacement, bool gbk_source) {
    out.clear();
    out.reserve(in.size() * 3 / 2);
    while (!in.empty()) {
        bool bad = false;
        std::size_t used = c.run(in, out, bad);
        in.remove_prefix(used);
        if (!bad)
            break;
        if (mode == InvalidBytes::Fail) {
            out.clear();
            return false;
        }
        out.append(replacement);
        // Skip one source character: one byte of GBK, or one UTF-8 sequence.
        std::size_t skip = 1;
        if (!gbk_source) {
            auto lead = static_cast<unsigned char>(in[0]);
            std::size_t want = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
            while (skip < want && skip < in.size() &&
                   (static_cast<unsigned char>(in[skip]) & 0xC0) == 0x80)
                ++skip;
        }
        in.remove_prefix(skip);
    }
    return true;
}

} // namespace

bool gbk_to_utf8(std::string_view gbk, std::string& out, InvalidBytes mode) {
    // Walk the text by GBK's own rules and hand iconv only runs of well-formed
    // characters: GB18030 (used for its fuller table) would otherwise accept
    // four-byte sequences that are not GBK.
    out.clear();
    out.reserve(gbk.size() * 3 / 2);
    std::size_t run_start = 0;
    auto flush = [&](std::size_t end) {
        if (end <= run_start)
            return true;
        std::string piece;
        bool ok = convert(gbk_to_utf8_converter(), gbk.substr(run_start, end - run_start), piece,
                          mode, "\xEF\xBF\xBD", true);
        out += piece;
        return ok;
    };
    std::size_t i = 0;
    while (i < gbk.size()) {
        auto c = static_cast<unsigned char>(gbk[i]);
        bool valid = true;
        std::size_t len = 1;
        if (c >= 0x80) {
            auto t = i + 1 < gbk.size() ? static_cast<unsigned char>(gbk[i + 1]) : 0;
            valid = is_gbk_lead_byte(c) && t >= 0x40 && t != 0x7F && t != 0xFF;
            len = valid ? 2 : 1;
        }
        if (!valid) {
            if (mode == InvalidBytes::Fail || !flush(i)) {
                out.clear();
                return false;
            }
            out += "\xEF\xBF\xBD";
            run_start = i + 1;
        }
        i += len;
    }
    if (!flush(gbk.size())) {
        out.clear();
        return false;
    }
    return true;
}

std::string gbk_to_utf8(std::string_view gbk) {
    std::string out;
    gbk_to_utf8(gbk, out, InvalidBytes::Replace);
    return out;
}

bool utf8_to_gbk(std::string_view utf8, std::string& out, InvalidBytes mode) {
    return convert(utf8_to_gbk_converter(), utf8, out, mode, "?", false);
}

std::string utf8_to_gbk(std::string_view utf8) {
    std::string out;
    utf8_to_gbk(utf8, out, InvalidBytes::Replace);
    return out;
}

std::size_t gbk_char_start(std::string_view text, std::size_t i) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t len = gbk_char_length(text, pos);
        if (i < pos + len)
            return pos;
        pos += len;
    }
    return text.size();
}

} // namespace platform
