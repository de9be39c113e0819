// Catalogue C (UTF-8) and the UTF-8 helpers.
#include <gtest/gtest.h>

#include <string>

#include "lang/catalogue.h"
#include "lang/catalogue_c.h"
#include "lang/utf8.h"

namespace {

class CatalogueC : public ::testing::Test {
protected:
    void TearDown() override { set_language(LANG_POLISH); }
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

}  // namespace
