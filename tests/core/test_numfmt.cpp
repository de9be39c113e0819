#include <gtest/gtest.h>

#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include "core/numfmt.h"

namespace {

// Words for the symbols that masks and typed numbers use.
std::string symbol_word(char ch) {
    static const struct {
        char ch;
        const char* word;
    } kWords[] = {{',', "comma"},     {'-', "minus"}, {'+', "plus"}, {'#', "hash"},
                  {';', "semicolon"}, {' ', "space"}, {'\t', "tab"}};
    for (const auto& w : kWords) {
        if (w.ch == ch) return w.word;
    }
    return "char" + std::to_string(static_cast<unsigned char>(ch));
}

// Test names from a row's content: runs of letters and digits stay, a run of one symbol
// becomes its word ("minus", "hashx3"), and the pieces are joined by "_". The decimal point
// is spelled `point`; an empty `point` only splits, so "-1.5" reads "minus_1_5".
std::string spell(const std::string& text, const std::string& point) {
    std::vector<std::string> pieces;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t run = 1;
        if (isalnum(static_cast<unsigned char>(text[i]))) {
            while (i + run < text.size() && isalnum(static_cast<unsigned char>(text[i + run]))) {
                ++run;
            }
            pieces.push_back(text.substr(i, run));
            i += run;
            continue;
        }
        while (i + run < text.size() && text[i + run] == text[i]) ++run;
        std::string word = text[i] == '.' ? point : symbol_word(text[i]);
        if (!word.empty()) pieces.push_back(run > 1 ? word + "x" + std::to_string(run) : word);
        i += run;
    }
    std::string out;
    for (const std::string& piece : pieces) {
        if (!out.empty()) out += '_';
        out += piece;
    }
    return out.empty() ? "empty" : out;
}

// The shortest text that reads back as the same double, e.g. "0.34650000000000003".
std::string shortest(double v) {
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
    return ec == std::errc() ? std::string(buf, end) : "unprintable";
}

// Makes names unique: a name already taken gets a counter, "_2" for its second row.
std::vector<std::string> unique_names(std::vector<std::string> names) {
    const std::set<std::string> bases(names.begin(), names.end());
    std::set<std::string> taken;
    for (std::string& n : names) {
        std::string candidate = n;
        for (int i = 2; taken.count(candidate) || (candidate != n && bases.count(candidate)); ++i) {
            candidate = n + "_" + std::to_string(i);
        }
        taken.insert(candidate);
        n = candidate;
    }
    return names;
}

struct FormatCase {
    const char* mask;
    double value;
    const char* text;  // with "." as separator
};

const FormatCase kFormatCases[] = {
    // half away from zero on the 18-digit expansion
    {"0.00", 0.125, "0.13"},
    {"0.0", 0.15, "0.1"},  // 0.149999999999999994
    {"0.0", 0.25, "0.3"},
    {"0.0", -0.25, "-0.3"},
    {"0.00", 2.675, "2.67"},  // 2.67499999999999982
    {"0.00", 1.005, "1.00"},
    {"0.0", 9.96, "10.0"},
    {"0.0", 99.95, "100.0"},  // 99.9500000000000028
    {"0.0", -5, "-5.0"},
    {"0.0", 0, "0.0"},
    {"0.000", 1.5, "1.500"},
    {"0.0000", 0.04, "0.0400"},
    {"0.0000", 0.00005, "0.0001"},
    {"0.0000", 0.00004, "0.0000"},
    // negative values that round to zero carry no sign
    {"0.00", -0.001, "0.00"},
    {"0.00", -0.0, "0.00"},
    {"+0.00;-0.00", -0.001, "+0.00"},
    {"+0.00;-0.00", 0, "+0.00"},
    {"+0.00;-0.00", -4.1608392, "-4.16"},
    {"+0.00;-0.00", 17.4825175, "+17.48"},
    {"+0.00;-0.00", -0.005, "-0.01"},
    {" 0.00", 0.8391608, " 0.84"},
    {" 0.00", 12.5, " 12.50"},
    {"0.0###", 0.15, "0.15"},
    {"0.0###", 1, "1.0"},
    {"0.0###", 0.123456, "0.1235"},
    {"0.0###", 0.015, "0.015"},
    {"0.0###", 2, "2.0"},
    {"0.0###", 0.00001, "0.0"},
    {"0.0##########", 0.0225, "0.0225"},
    {"0.0##########", 0.00000001, "0.00000001"},
    {"0.0##########", 3, "3.0"},
    {"0.0##########", 1.0 / 3, "0.33333333333"},  // one "0" and ten "#": eleven decimals
    {"0.#", 20, "20"},
    {"0.#", -5, "-5"},
    {"0.#", 0.04, "0"},
    {"0.#", -0.04, "0"},
    {"0.#", 0.05, "0.1"},
    {"0.##", 0.12, "0.12"},
    {"0.##", 1.5, "1.5"},
    {"0.##", 0.999, "1"},
    {"0.###", 0.3465, "0.346"},  // 0.346499999999999975
    {"0.###", 0.0625, "0.063"},
    {"0.####", 0.0225, "0.0225"},
    {"0.###########", 0.00001, "0.00001"},
    {"0.###########", 2, "2"},
    {"0.###########", 0.3465, "0.3465"},
    {"0.###########", 1.05 * 0.33, "0.3465"},
    {"0.###########", 0.00000001, "0.00000001"},
    {"0.###########", -40, "-40"},
    {"0.###########", 1.2 * 0.33, "0.396"},
    // the 18-digit expansion reaches beyond 17 integer digits
    {"0.0", 1e20, "100000000000000000000.0"},
    {"0.00", 123456789012345678.0, "123456789012345680.00"},
    {"0.#", 1e-300, "0"},
    {"0.0", std::numeric_limits<double>::denorm_min(), "0.0"},
};

class Format : public testing::TestWithParam<FormatCase> {};

TEST_P(Format, BothSeparators) {
    const FormatCase& c = GetParam();
    EXPECT_EQ(format_number(c.mask, c.value, '.'), c.text);
    std::string comma = c.text;
    for (char& ch : comma) {
        if (ch == '.') ch = ',';
    }
    EXPECT_EQ(format_number(c.mask, c.value, ','), comma);
}

const std::vector<std::string>& format_names() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> n;
        for (const FormatCase& c : kFormatCases) {
            n.push_back("mask_" + spell(c.mask, "") + "_value_" + spell(shortest(c.value), ""));
        }
        return unique_names(n);
    }();
    return names;
}

// What ctest shows of a row beside its name, in place of a dump of its bytes.
void PrintTo(const FormatCase& c, std::ostream* os) {
    *os << "mask " << c.mask << ", value " << shortest(c.value);
}

INSTANTIATE_TEST_SUITE_P(Masks, Format, testing::ValuesIn(kFormatCases),
                         [](const auto& info) { return format_names()[info.index]; });

TEST(Format, NeverWritesGroupSeparators) {
    EXPECT_EQ(format_number("0.00", 1234567.891, ','), "1234567,89");
    EXPECT_EQ(format_number("0.#", -1234567, '.'), "-1234567");
    EXPECT_EQ(format_number("0.0", 1e308, '.').size(), 309u + 2u);
}

TEST(Format, NonFiniteValuesAreShownAsSuch) {
    EXPECT_EQ(format_number("0.00", std::nan(""), '.'), "nan");
    EXPECT_EQ(format_number("0.00", INFINITY, '.'), "inf");
    EXPECT_EQ(format_number("+0.00;-0.00", -INFINITY, '.'), "-inf");
}

struct ParseCase {
    const char* text;
    char sep;
    bool ok;
    double value;
};

const ParseCase kParseCases[] = {
    {"0.040", '.', true, 0.04},
    {"0,040", ',', true, 0.04},
    {"0,040", '.', false, 0},  // never a group separator: this is not 40
    {"0.040", ',', false, 0},
    {"1,000.5", '.', false, 0},
    {"1.000,5", ',', false, 0},
    {"-5", '.', true, -5},
    {"+5", '.', true, 5},
    {"20", ',', true, 20},
    {"1e-3", '.', true, 0.001},
    {"1E3", ',', true, 1000},
    {"2,5e+2", ',', true, 250},
    {".5", '.', true, 0.5},
    {"5.", '.', true, 5},
    {",5", ',', true, 0.5},
    {"-0", '.', true, 0},
    {"  1.5\t", '.', true, 1.5},  // surrounding blanks are dropped
    {"1 .5", '.', false, 0},
    {"1 000", '.', false, 0},
    {"", '.', false, 0},
    {"   ", '.', false, 0},
    {".", '.', false, 0},
    {"-", '.', false, 0},
    {"e5", '.', false, 0},
    {"1e", '.', false, 0},
    {"1e+", '.', false, 0},
    {"1.2.3", '.', false, 0},
    {"--1", '.', false, 0},
    {"12abc", '.', false, 0},
    {"nan", '.', false, 0},
    {"NaN", ',', false, 0},
    {"inf", '.', false, 0},
    {"-infinity", '.', false, 0},
    {"0x10", '.', false, 0},
    {"0x1p3", '.', false, 0},
    {"1e309", '.', false, 0},
    {"-1e400", '.', false, 0},
    {"1e99999999999999999999", '.', false, 0},
    {"0e99999999999999999999", '.', true, 0},
    {"1.7976931348623157e308", '.', true, 1.7976931348623157e308},
    {"0.00000001", '.', true, 0.00000001},
    {"1e-400", '.', false, 0},  // would silently become 0
};

class Parse : public testing::TestWithParam<ParseCase> {};

TEST_P(Parse, Classifies) {
    const ParseCase& c = GetParam();
    double v = 12345.0;
    EXPECT_EQ(parse_number(c.text, c.sep, v), c.ok) << '"' << c.text << "\" sep " << c.sep;
    EXPECT_EQ(v, c.ok ? c.value : 12345.0) << c.text;  // untouched on failure
}

const std::vector<std::string>& parse_names() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> n;
        for (const ParseCase& c : kParseCases) {
            n.push_back("text_" + spell(c.text, "point") + "_sep_" +
                        spell(std::string(1, c.sep), "point"));
        }
        return unique_names(n);
    }();
    return names;
}

void PrintTo(const ParseCase& c, std::ostream* os) {
    *os << "text [" << c.text << "], separator " << c.sep;
}

INSTANTIATE_TEST_SUITE_P(Texts, Parse, testing::ValuesIn(kParseCases),
                         [](const auto& info) { return parse_names()[info.index]; });

TEST(Parse, NullTextAndAmbiguousSeparators) {
    double v = 0;
    EXPECT_FALSE(parse_number(nullptr, '.', v));
    EXPECT_FALSE(parse_number("1e3", 'e', v));
    EXPECT_FALSE(parse_number("105", '0', v));
}

// What the grids show must read back as the same number.
TEST(Parse, ReadsBackWhatTheMasksWrite) {
    for (char sep : {'.', ','}) {
        for (double v : {0.0225, -40.0, 0.00000001, 1.5, 499.99, 0.3465}) {
            double back = 0;
            ASSERT_TRUE(parse_number(format_number("0.###########", v, sep).c_str(), sep, back));
            EXPECT_EQ(back, v);
        }
    }
}

}  // namespace
