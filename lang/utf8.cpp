#include "lang/utf8.h"

#include <iconv.h>

#include <cerrno>

std::string utf8_from_cp1250(std::string_view text) {
    std::string out;
    iconv_t cd = iconv_open("UTF-8", "WINDOWS-1250");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        // No converter: keep ASCII, mark the rest.
        for (char c : text) out += static_cast<unsigned char>(c) < 0x80 ? c : '?';
        return out;
    }
    std::string in(text);
    out.resize(in.size() * 3 + 4);
    char* src = in.data();
    std::size_t src_left = in.size();
    char* dst = out.data();
    std::size_t dst_left = out.size();
    while (src_left > 0 &&
           iconv(cd, &src, &src_left, &dst, &dst_left) == static_cast<std::size_t>(-1)) {
        if ((errno != EILSEQ && errno != EINVAL) || dst_left == 0) break;
        // A byte without a character in the code page.
        *dst++ = '?';
        --dst_left;
        ++src;
        --src_left;
    }
    out.resize(out.size() - dst_left);
    iconv_close(cd);
    return out;
}

std::size_t utf8_sequence_length(std::string_view t, std::size_t i) {
    const auto at = [&](std::size_t k) { return static_cast<unsigned char>(t[k]); };
    const unsigned char c = at(i);
    if (c < 0x80) return 1;
    std::size_t len;
    unsigned char low = 0x80, high = 0xBF;
    if (c >= 0xC2 && c <= 0xDF) {
        len = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        len = 3;
        if (c == 0xE0) low = 0xA0;
        if (c == 0xED) high = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        len = 4;
        if (c == 0xF0) low = 0x90;
        if (c == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (i + len > t.size()) return 0;
    if (at(i + 1) < low || at(i + 1) > high) return 0;
    for (std::size_t k = 2; k < len; ++k) {
        if ((at(i + k) & 0xC0) != 0x80) return 0;
    }
    return len;
}

std::string utf8_repaired(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t len = utf8_sequence_length(text, i);
        if (len == 0) {
            out += "\xEF\xBF\xBD";
            ++i;
        } else {
            out.append(text.substr(i, len));
            i += len;
        }
    }
    return out;
}

std::size_t utf8_characters(std::string_view text) {
    std::size_t n = 0;
    for (char c : text) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}
