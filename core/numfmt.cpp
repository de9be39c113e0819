// Number masks and the parsing of typed numbers, independent of the C locale.
#include "core/numfmt.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace {

struct MaskSection {
    std::string_view prefix;  // literal text before the digits (" ", "+", "-")
    int int_digits = 1;       // "0"s before the point
    int min_decimals = 0;     // "0"s after the point
    int max_decimals = 0;     // "0"s and "#"s after the point
};

MaskSection parse_section(std::string_view s) {
    MaskSection m;
    std::size_t i = 0;
    while (i < s.size() && s[i] != '0' && s[i] != '#' && s[i] != '.') ++i;
    m.prefix = s.substr(0, i);
    int zeros = 0;
    for (; i < s.size() && s[i] != '.'; ++i) zeros += s[i] == '0';
    m.int_digits = zeros > 0 ? zeros : 1;
    if (i < s.size()) ++i;
    for (; i < s.size(); ++i) {
        if (s[i] == '0') {
            ++m.min_decimals;
            ++m.max_decimals;
        } else if (s[i] == '#') {
            ++m.max_decimals;
        }
    }
    return m;
}

// Digits of |value| at places 10^top down to 10^-decimals, taken from its 18-digit
// expansion and rounded half away from zero on that digit string.
std::string rounded_digits(double magnitude, int decimals, int& top) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.17e", magnitude);
    char digits[18];
    digits[0] = buf[0];
    std::memcpy(digits + 1, buf + 2, 17);
    const int exp = std::atoi(std::strchr(buf, 'e') + 1);

    top = exp > 0 ? exp : 0;
    std::string out;
    out.reserve(static_cast<std::size_t>(top + decimals + 2));
    for (int place = top; place >= -decimals; --place) {
        const int k = exp - place;
        out.push_back(k >= 0 && k < 18 ? digits[k] : '0');
    }
    const int dropped = exp + decimals + 1;
    if (dropped >= 0 && dropped < 18 && digits[dropped] >= '5') {
        std::size_t i = out.size();
        while (i > 0 && out[i - 1] == '9') out[--i] = '0';
        if (i == 0) {
            out.insert(out.begin(), '1');
            ++top;
        } else {
            ++out[i - 1];
        }
    }
    return out;
}

}  // namespace

std::string format_number(const char* mask, double value, char decimal_sep) {
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
    std::string_view m = mask ? mask : "0.#";
    const std::size_t semi = m.find(';');
    const MaskSection pos = parse_section(m.substr(0, semi));

    int top = 0;
    const std::string digits = rounded_digits(std::fabs(value), pos.max_decimals, top);
    const bool zero = digits.find_first_not_of('0') == std::string::npos;
    const bool negative = value < 0 && !zero;

    std::string_view int_part(digits.data(), static_cast<std::size_t>(top + 1));
    std::string_view frac(digits.data() + top + 1, static_cast<std::size_t>(pos.max_decimals));
    while (int_part.size() > 1 && int_part.front() == '0') int_part.remove_prefix(1);
    while (frac.size() > static_cast<std::size_t>(pos.min_decimals) && frac.back() == '0') {
        frac.remove_suffix(1);
    }

    std::string out;
    if (negative && semi != std::string_view::npos) {
        out += parse_section(m.substr(semi + 1)).prefix;
    } else {
        out += pos.prefix;
        if (negative) out += '-';
    }
    for (int i = static_cast<int>(int_part.size()); i < pos.int_digits; ++i) out += '0';
    out += int_part;
    if (!frac.empty()) {
        out += decimal_sep;
        out += frac;
    }
    return out;
}

bool parse_number(const char* text, char decimal_sep, double& out) {
    return text != nullptr && parse_number(std::string_view(text), decimal_sep, out);
}

bool parse_number(std::string_view s, char decimal_sep, double& out) {
    // A separator that could be read as part of a number would make the grammar ambiguous.
    if ((decimal_sep >= '0' && decimal_sep <= '9') || decimal_sep == '+' || decimal_sep == '-' ||
        decimal_sep == 'e' || decimal_sep == 'E' || decimal_sep == ' ' || decimal_sep == '\t' ||
        decimal_sep == '\0') {
        return false;
    }
    auto is_blank = [](char c) { return c == ' ' || c == '\t'; };
    auto is_digit = [](char c) { return c >= '0' && c <= '9'; };
    while (!s.empty() && is_blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && is_blank(s.back())) s.remove_suffix(1);

    // sign? digits* (sep digits*)? ([eE] sign? digits+)?, with at least one mantissa digit.
    std::string norm;
    norm.reserve(s.size() + 2);
    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    std::size_t mantissa_digits = 0;
    for (; i < s.size() && is_digit(s[i]); ++i, ++mantissa_digits) norm += s[i];
    if (i < s.size() && s[i] == decimal_sep) {
        ++i;
        norm += '.';
        for (; i < s.size() && is_digit(s[i]); ++i, ++mantissa_digits) norm += s[i];
    }
    if (mantissa_digits == 0) return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        norm += 'e';
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) norm += s[i++];
        std::size_t exp_digits = 0;
        for (; i < s.size() && is_digit(s[i]); ++i, ++exp_digits) norm += s[i];
        if (exp_digits == 0) return false;
    }
    if (i != s.size()) return false;

    double v = 0.0;
    const char* end = norm.data() + norm.size();
    const auto [ptr, ec] = std::from_chars(norm.data(), end, v, std::chars_format::general);
    if (ec != std::errc() || ptr != end || !std::isfinite(v)) return false;
    out = negative ? -v : v;
    return true;
}
