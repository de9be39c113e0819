#include "storage/cp1250.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>

#include "lang/shown_text.h"

namespace {

// One pass of iconv over the whole text. With `lossy` an unconvertible byte
// becomes "?" and the pass goes on; otherwise it stops there.
bool convert(const char* to, const char* from, std::string_view in, std::string& out,
             std::size_t* bad_at, bool lossy) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        if (bad_at) *bad_at = 0;
        return false;
    }
    // UTF-8 needs at most three bytes for a Windows-1250 character, and the
    // other way one byte never grows.
    out.assign(in.size() * 3 + 1, '\0');
    char* src = const_cast<char*>(in.data());
    std::size_t src_left = in.size();
    char* dst = out.data();
    std::size_t dst_left = out.size();
    bool ok = true;
    while (src_left > 0 &&
           iconv(cd, &src, &src_left, &dst, &dst_left) == static_cast<std::size_t>(-1)) {
        if (!lossy || (errno != EILSEQ && errno != EINVAL) || dst_left == 0) {
            if (bad_at) *bad_at = static_cast<std::size_t>(src - in.data());
            ok = false;
            break;
        }
        *dst++ = '?';
        --dst_left;
        ++src;
        --src_left;
    }
    iconv_close(cd);
    out.resize(out.size() - dst_left);
    return ok;
}

}  // namespace

bool cp1250_to_utf8(std::string_view in, std::string& out, std::size_t* bad_at) {
    return convert("UTF-8", "WINDOWS-1250", in, out, bad_at, false);
}

bool utf8_to_cp1250(std::string_view in, std::string& out, std::size_t* bad_at) {
    return convert("WINDOWS-1250", "UTF-8", in, out, bad_at, false);
}

std::string cp1250_to_utf8_lossy(std::string_view in) {
    std::string out;
    if (!convert("UTF-8", "WINDOWS-1250", in, out, nullptr, true)) out = std::string(in);
    return out;
}

std::string shown_field_utf8(const char* field, std::size_t size) {
    std::string bytes(field, field == nullptr || size == 0 ? 0 : strnlen(field, size - 1));
    for (char& c : bytes)
        if (!shown_as_is(static_cast<unsigned char>(c))) c = '?';
    return cp1250_to_utf8_lossy(bytes);
}
