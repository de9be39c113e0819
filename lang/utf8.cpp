#include "lang/utf8.h"

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
