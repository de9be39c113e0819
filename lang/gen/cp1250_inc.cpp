// Build-time converter: a UTF-8 catalogue source (C string literals) in,
// the same source in Windows-1250 out, written as pure ASCII with every
// byte from 0x80 up as a three-digit octal escape. Octal escapes end after
// three digits, so, unlike \x, they never swallow the character after them.
//
//   cp1250_inc <input.inc> <output.inc>
//
// Fails (exit 1, nothing written) on invalid UTF-8, on a character that has
// no Windows-1250 form, on non-ASCII outside literals and comments, and on
// hand-written escapes of high bytes: the sources keep their letters readable.
#include <iconv.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

namespace {

struct Position {
    int line = 1;
    int column = 1;
};

Position position_of(const std::string& text, std::size_t offset) {
    Position p;
    for (std::size_t i = 0; i < offset && i < text.size(); ++i) {
        if (text[i] == '\n') {
            ++p.line;
            p.column = 1;
        } else if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            ++p.column;
        }
    }
    return p;
}

// The UTF-8 sequence starting at `offset`, for the error message.
std::string sequence_at(const std::string& text, std::size_t offset) {
    std::size_t end = offset + 1;
    while (end < text.size() && end < offset + 4 &&
           (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
        ++end;
    }
    std::string hex;
    for (std::size_t i = offset; i < end; ++i) {
        char b[4];
        std::snprintf(b, sizeof b, "%02X", static_cast<unsigned char>(text[i]));
        if (!hex.empty()) hex += ' ';
        hex += b;
    }
    return "\"" + text.substr(offset, end - offset) + "\" (bytes " + hex + ")";
}

bool fail(const char* path, const std::string& text, std::size_t offset, const std::string& why) {
    Position p = position_of(text, offset);
    std::fprintf(stderr, "%s:%d:%d: error: %s\n", path, p.line, p.column, why.c_str());
    return false;
}

// Whole-file conversion; the offsets of the input are kept for messages.
bool to_cp1250(const char* path, const std::string& in, std::string& out) {
    iconv_t cd = iconv_open("WINDOWS-1250", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        std::fprintf(stderr, "%s: error: iconv has no UTF-8 to WINDOWS-1250 conversion\n", path);
        return false;
    }
    out.assign(in.size(), '\0');
    char* src = const_cast<char*>(in.data());
    std::size_t src_left = in.size();
    char* dst = out.data();
    std::size_t dst_left = out.size();
    bool ok = true;
    while (src_left > 0) {
        if (iconv(cd, &src, &src_left, &dst, &dst_left) != static_cast<std::size_t>(-1)) break;
        std::size_t at = static_cast<std::size_t>(src - in.data());
        if (errno == EILSEQ) {
            // Invalid UTF-8 and a valid character without a Windows-1250 form
            // both end here; tell them apart for the message.
            unsigned char lead = static_cast<unsigned char>(in[at]);
            bool valid_lead = lead >= 0xC2 && lead <= 0xF4;
            ok = fail(path, in, at,
                      valid_lead ? "character " + sequence_at(in, at) + " has no Windows-1250 form"
                                 : "invalid UTF-8 " + sequence_at(in, at));
        } else if (errno == EINVAL) {
            ok = fail(path, in, at, "truncated UTF-8 sequence at end of file");
        } else {
            ok = fail(path, in, at, std::string("iconv: ") + std::strerror(errno));
        }
        break;
    }
    iconv_close(cd);
    if (!ok) return false;
    out.resize(out.size() - dst_left);
    return true;
}

// Walks the converted text as C source, escaping high bytes inside string
// literals and comments, and refusing them anywhere else.
bool escape_high_bytes(const char* path, const std::string& utf8, const std::string& in,
                       std::string& out) {
    enum class State { code, string, character, line_comment, block_comment };
    State state = State::code;
    // Byte offsets differ between the two encodings; count lines for messages.
    auto report = [&](std::size_t at, const std::string& why) {
        int line = 1;
        for (std::size_t i = 0; i < at; ++i) line += in[i] == '\n';
        std::size_t offset = 0;
        for (int l = 1; l < line && offset < utf8.size(); offset++) l += utf8[offset] == '\n';
        return fail(path, utf8, offset, why);
    };
    out.clear();
    out.reserve(in.size() * 2);
    for (std::size_t i = 0; i < in.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(in[i]);
        char next = i + 1 < in.size() ? in[i + 1] : '\0';
        if (c >= 0x80) {
            if (state == State::code) return report(i, "non-ASCII character outside a literal");
            char esc[5];
            std::snprintf(esc, sizeof esc, "\\%03o", c);
            out += esc;
            continue;
        }
        out += static_cast<char>(c);
        switch (state) {
            case State::code:
                if (c == '"') state = State::string;
                if (c == '\'') state = State::character;
                if (c == '/' && next == '/') state = State::line_comment;
                if (c == '/' && next == '*') {
                    state = State::block_comment;
                    out += in[++i];
                }
                break;
            case State::string:
            case State::character:
                if (c == '\\') {
                    if (next == 'x' || next == 'X')
                        return report(i, "hex escape in a catalogue source: write the character");
                    if (next >= '0' && next <= '7') {
                        int value = 0, digits = 0;
                        while (digits < 3 && i + 1 + digits < in.size() &&
                               in[i + 1 + digits] >= '0' && in[i + 1 + digits] <= '7') {
                            value = value * 8 + (in[i + 1 + digits] - '0');
                            ++digits;
                        }
                        if (value >= 0x80)
                            return report(i,
                                          "escaped high byte in a catalogue source: "
                                          "write the character");
                    }
                    if (next == '\n') return report(i, "line continuation inside a literal");
                    if (next != '\0') out += in[++i];
                } else if ((state == State::string && c == '"') ||
                           (state == State::character && c == '\'')) {
                    state = State::code;
                } else if (c == '\n') {
                    return report(i, "unterminated literal");
                }
                break;
            case State::line_comment:
                if (c == '\n') state = State::code;
                break;
            case State::block_comment:
                if (c == '*' && next == '/') {
                    out += in[++i];
                    state = State::code;
                }
                break;
        }
    }
    if (state == State::string || state == State::character)
        return report(in.size(), "unterminated literal");
    if (state == State::block_comment) return report(in.size(), "unterminated comment");
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: cp1250_inc <input.inc> <output.inc>\n");
        return 2;
    }
    const char* in_path = argv[1];
    const char* out_path = argv[2];
    std::ifstream in(in_path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "%s: error: cannot read\n", in_path);
        return 1;
    }
    std::string utf8((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string cp1250, ascii;
    if (!to_cp1250(in_path, utf8, cp1250) || !escape_high_bytes(in_path, utf8, cp1250, ascii)) {
        std::remove(out_path);
        return 1;
    }
    // Write beside the target and rename, so a failed write never leaves a
    // half file that a later build would take as up to date.
    std::string tmp = std::string(out_path) + ".tmp";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        out << "// Generated in Windows-1250 from a UTF-8 catalogue source. Do not edit.\n"
            << ascii;
        out.close();
        if (!out) {
            std::fprintf(stderr, "%s: error: cannot write\n", tmp.c_str());
            std::remove(tmp.c_str());
            return 1;
        }
    }
    if (std::rename(tmp.c_str(), out_path) != 0) {
        std::fprintf(stderr, "%s: error: cannot rename to %s\n", tmp.c_str(), out_path);
        std::remove(tmp.c_str());
        return 1;
    }
    return 0;
}
