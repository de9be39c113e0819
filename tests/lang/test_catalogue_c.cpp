// Catalogue C (UTF-8) and the UTF-8 helpers.
#include <gtest/gtest.h>

#include <string>

#include "lang/catalogue.h"
#include "lang/catalogue_c.h"
#include "lang/shown_text.h"
#include "lang/utf8.h"
#include "tests/support/language.h"

namespace {

class CatalogueC : public ::testing::Test {
protected:
    const LanguageScope language_;
};

TEST_F(CatalogueC, EveryTextInBothLanguagesIsValidUtf8) {
    for (int lang : {LANG_ENGLISH, LANG_POLISH}) {
        set_language(lang);
        for (int id = 0; id < CATALOGUE_C_SIZE; ++id) {
            const std::string t = catalogue_c_text(id);
            EXPECT_FALSE(t.empty()) << lang << " " << id;
            EXPECT_EQ(utf8_repaired(t), t) << lang << " " << id;
        }
        EXPECT_STREQ(catalogue_c_text(-1), "");
        EXPECT_STREQ(catalogue_c_text(CATALOGUE_C_SIZE), "");
    }
    set_language(LANG_ENGLISH);
    EXPECT_STREQ(catalogue_c_text(C_MONTH_3), "March");
    EXPECT_EQ(catalogue_c_decimal_separator(), '.');
    set_language(LANG_POLISH);
    EXPECT_STREQ(catalogue_c_text(C_MONTH_3), "marzec");
    EXPECT_STREQ(catalogue_c_text(C_COL_THETA_E), "θe [°C]");
    EXPECT_EQ(catalogue_c_decimal_separator(), ',');
}

TEST(FillText, ReplacesNumberedPlaceholders) {
    EXPECT_EQ(fill_text("%2 before %1", {"a", "b"}), "b before a");
    EXPECT_EQ(fill_text("%1 and %3", {"x"}), "x and ");
    EXPECT_EQ(fill_text("100 % and %", {"x"}), "100 % and %");
    EXPECT_EQ(fill_text("%1%1", {"ż"}), "żż");
}

TEST(Utf8, SequencesAndRepair) {
    struct Case {
        const char* bytes;
        std::size_t length;
    } cases[] = {
        {"a", 1},        {"\xC5\x81", 2},     {"\xE2\x88\x92", 3}, {"\xF0\x9F\x98\x80", 4},
        {"\xC0\x80", 0}, {"\xE0\x80\x80", 0}, {"\xED\xA0\x80", 0}, {"\xF4\x90\x80\x80", 0},
        {"\x80", 0},     {"\xE2\x88", 0},     {"\xFF", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(utf8_sequence_length(c.bytes, 0), c.length) << c.bytes;
    }
    EXPECT_EQ(utf8_repaired("caf\xE9!"), "caf\xEF\xBF\xBD!");
    EXPECT_EQ(utf8_characters("Łączne sd"), 9u);
}

TEST(ShownText, ControlsAndInvalidUtf8ShowAsQuestionMarks) {
    const struct {
        std::string in, out, with_breaks;
    } cases[] = {
        {"plain", "plain", "plain"},
        {"Łączne sd θe", "Łączne sd θe", "Łączne sd θe"},
        {"a\nb\r\n", "a?b??", "a\nb?\n"},
        {std::string("nul\0here", 8), "nul?here", "nul?here"},
        {"\x1b[31mred\x1b[0m", "?[31mred?[0m", "?[31mred?[0m"},
        {"tab\tdel\x7f", "tab?del?", "tab?del?"},
        {"C1 \xC2\x85 \xC2\x9F, not \xC2\xA0", "C1 ? ?, not \xC2\xA0", "C1 ? ?, not \xC2\xA0"},
        {"caf\xE9!", "caf?!", "caf?!"},
        {"cut \xE2\x88", "cut ??", "cut ??"},
        {"overlong \xC0\x80", "overlong ??", "overlong ??"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(shown_text(c.in), c.out) << c.in;
        EXPECT_EQ(shown_text(c.in, true), c.with_breaks) << c.in;
    }
    for (int b = 0; b < 256; ++b) {
        const bool control = b < 0x20 || b == 0x7F;
        const bool undefined = b == 0x81 || b == 0x83 || b == 0x88 || b == 0x90 || b == 0x98;
        EXPECT_EQ(shown_as_is(static_cast<unsigned char>(b)), !control && !undefined) << b;
    }
}

}  // namespace
