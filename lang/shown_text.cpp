#include "lang/shown_text.h"

#include "lang/utf8.h"

bool shown_as_is(unsigned char byte) {
    switch (byte) {
        case 0x7F:
        case 0x81:
        case 0x83:
        case 0x88:
        case 0x90:
        case 0x98:
            return false;
        default:
            return byte >= 0x20;
    }
}

std::string shown_text(std::string_view utf8, bool keep_line_breaks) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const std::size_t len = utf8_sequence_length(utf8, i);
        // U+0080 to U+009F, the C1 controls, are C2 80 to C2 9F.
        const bool c1 = len == 2 && lead == 0xC2 && static_cast<unsigned char>(utf8[i + 1]) < 0xA0;
        const bool control = len == 1 && (lead < 0x20 || lead == 0x7F);
        if (len == 0 || c1 || (control && !(keep_line_breaks && lead == '\n'))) {
            out += '?';
            i += len == 0 ? 1 : len;
        } else {
            out.append(utf8.substr(i, len));
            i += len;
        }
    }
    return out;
}
