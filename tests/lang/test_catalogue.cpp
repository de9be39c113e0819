#include <gtest/gtest.h>
#include <iconv.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "lang/catalogue.h"
#include "tests/support/cp1250.h"
#include "tests/support/language.h"

namespace {

class Catalogue : public ::testing::Test {
protected:
    const LanguageScope language_;
};

TEST(CatalogueStart, SpeaksPolishBeforeAnyChoice) { EXPECT_EQ(get_language(), LANG_POLISH); }

TEST_F(Catalogue, EveryIdHasATextInBothLanguages) {
    for (int lang : {LANG_ENGLISH, LANG_POLISH}) {
        set_language(lang);
        for (int id = 0; id < CATALOGUE_A_SIZE; ++id)
            EXPECT_STRNE(catalogue_a_text(static_cast<std::int8_t>(id)), "") << "A " << id;
        for (int id = 0; id < CATALOGUE_B_SIZE; ++id)
            EXPECT_STRNE(catalogue_b_text(static_cast<std::int8_t>(id)), "") << "B " << id;
    }
}

TEST_F(Catalogue, IdsOutsideACatalogueGiveTheEmptyText) {
    for (int lang : {LANG_ENGLISH, LANG_POLISH}) {
        set_language(lang);
        for (int id : {127, -1, -128}) EXPECT_STREQ(catalogue_a_text(std::int8_t(id)), "");
        for (int id : {12, -1, 127}) EXPECT_STREQ(catalogue_b_text(std::int8_t(id)), "");
    }
}

TEST_F(Catalogue, OnlyZeroAndOneAreLanguages) {
    set_language(LANG_ENGLISH);
    set_language(2);
    EXPECT_EQ(get_language(), LANG_ENGLISH);
    EXPECT_STREQ(catalogue_b_text(0), "Sunday");
    set_language(LANG_POLISH);
    set_language(-1);
    EXPECT_EQ(get_language(), LANG_POLISH);
    EXPECT_STREQ(catalogue_b_text(0), "Niedziela");
}

TEST_F(Catalogue, AccessorsHandOutTheSameConstantText) {
    EXPECT_EQ(catalogue_a_text(57), catalogue_a_text(57));
    const char* pl = catalogue_a_text(57);
    set_language(LANG_ENGLISH);
    EXPECT_NE(catalogue_a_text(57), pl);
    EXPECT_STREQ(catalogue_a_text(57), "Thickness");
}

TEST_F(Catalogue, InvalidEndingsAgreeInEnglishAndFollowGenderInPolish) {
    set_language(LANG_ENGLISH);
    for (std::int8_t id : {3, 4, 5}) EXPECT_STREQ(catalogue_a_text(id), " is invalid.");
    set_language(LANG_POLISH);
    EXPECT_EQ(catalogue_a_text(3), w1250(" jest niepoprawny."));
    EXPECT_EQ(catalogue_a_text(4), w1250(" jest niepoprawna."));
    EXPECT_EQ(catalogue_a_text(5), w1250(" jest niepoprawne."));
}

// Texts whose bytes matter: code-page letters and signs, pieces with their
// spaces, the report's padded lines, and the system's own spellings.
TEST_F(Catalogue, TextsAreTheSystemsOwnBytes) {
    struct Case {
        int lang;
        bool b;
        int id;
        const char* utf8;
    };
    const Case cases[] = {
        {LANG_POLISH, true, 3, "Środa"},
        {LANG_POLISH, true, 7, "BŁĄD"},
        {LANG_POLISH, true, 11, "Drukowanie nie powiodło się."},
        {LANG_ENGLISH, true, 8, "Warning"},
        {LANG_ENGLISH, false, 0, "PARIETA ver. 1.1"},
        {LANG_ENGLISH, false, 6, " for layer"},
        {LANG_ENGLISH, false, 12,
         "Current data have not been saved to disk.\nDo you want to save it?"},
        {LANG_ENGLISH, false, 30,
         "Export current data & results to the text file under current name with TXT "
         "extention"},
        {LANG_ENGLISH, false, 53,
         "Resistance of taking up the heat for ixternal side of the partition"},
        {LANG_POLISH, false, 40, "temperatura (°C)"},
        {LANG_POLISH, false, 42, "opór przejmow. ciepła (m2·K/W)"},
        {LANG_ENGLISH, false, 68, "  Layer"},
        {LANG_ENGLISH, false, 74, " Add"},
        {LANG_POLISH, false, 74, "Dodaj"},
        {LANG_POLISH, false, 76,
         "plik danych programu PARIETA (*.PAR)|*.PAR|plik danych pr. PARIETA o dowolnej "
         "nazwie|*.*"},
        {LANG_ENGLISH, false, 85, " °C"},
        {LANG_POLISH, false, 97, "wilgotność względna zewnętrzna            = "},
        {LANG_POLISH, false, 112,
         "płaszczyzna   temperatura   ciśn. pary nasyc.   ciśn. rzeczywiste"},
        {LANG_ENGLISH, false, 117,
         "The PN-91/B-02020 standard does not specify an advisable value of relative "
         "external humidity.\n\nThe PN-82/B-02020 standard suggested to apply 85%."},
        {LANG_POLISH, false, 117,
         "Norma PN-91/B-02020 nie specyfikuje zalecanej wartości wilgotności względnej "
         "zewnętrznej.\n\nNorma PN-82/B-02020 sugerowała wartość 85%."},
    };
    for (const Case& c : cases) {
        set_language(c.lang);
        std::int8_t id = static_cast<std::int8_t>(c.id);
        EXPECT_EQ(c.b ? catalogue_b_text(id) : catalogue_a_text(id), w1250(c.utf8))
            << (c.b ? "B " : "A ") << c.id << " language " << c.lang;
    }
}

TEST_F(Catalogue, LongHelpTextsHaveTheirLengths) {
    struct Case {
        int id, english, polish;
    };
    for (Case c : {Case{116, 521, 553}, Case{118, 561, 561}, Case{119, 953, 931},
                   Case{120, 232, 204}, Case{121, 232, 206}}) {
        set_language(LANG_ENGLISH);
        EXPECT_EQ(std::strlen(catalogue_a_text(std::int8_t(c.id))), std::size_t(c.english)) << c.id;
        set_language(LANG_POLISH);
        EXPECT_EQ(std::strlen(catalogue_a_text(std::int8_t(c.id))), std::size_t(c.polish)) << c.id;
    }
}

TEST_F(Catalogue, LongTextsBreakWithBareLineFeeds) {
    for (int lang : {LANG_ENGLISH, LANG_POLISH}) {
        set_language(lang);
        for (int id = 0; id < CATALOGUE_A_SIZE; ++id) {
            std::string t = catalogue_a_text(std::int8_t(id));
            EXPECT_EQ(t.find('\r'), std::string::npos) << id;
            EXPECT_NE(t.back(), '\n') << id;
            bool may_hold_at = (id >= 118 && id <= 121) || id == 126;
            if (!may_hold_at) {
                EXPECT_EQ(t.find('@'), std::string::npos) << id;
            }
        }
    }
}

TEST_F(Catalogue, AboutAndNotesOpenAsTheProgramsOwn) {
    set_language(LANG_ENGLISH);
    std::string about = catalogue_a_text(18);
    EXPECT_EQ(about.rfind("\t\tPARIETA ver. 1.1", 0), 0u);
    EXPECT_NE(about.find("\n\t\t"), std::string::npos);
    EXPECT_NE(about.find("\n\nThe programme determines thermal conduction coefficient through a "
                         "partition\nand also temperature and steam-pressure distribution\nin a "
                         "multi-layered partition without taking into account heat leakage "
                         "bridges."),
              std::string::npos);
    EXPECT_EQ(std::string(catalogue_a_text(125))
                  .rfind("The programme requires at least 800x600 screen resolution mode.\n", 0),
              0u);
    set_language(LANG_POLISH);
    about = catalogue_a_text(18);
    EXPECT_EQ(about.rfind("\t\tPARIETA wer. 1.1", 0), 0u);
    EXPECT_NE(about.find(w1250("\n\nProgram wyznacza współczynnik przenikania ciepła przez "
                               "przegrodę\noraz rozkład temperatury i ciśnienia pary wodnej\nw "
                               "wielowarstwowej przegrodzie bez uwzględnienia mostków "
                               "termicznych.")),
              std::string::npos);
    EXPECT_EQ(std::string(catalogue_a_text(125))
                  .rfind(w1250("Program wymaga przynajmniej trybu 800x600 rozdzielczości "
                               "ekranu.\n"),
                         0),
              0u);
}

// The build-time converter: a character outside the code page must stop the
// build, and what it writes must be plain ASCII with octal escapes.
class Converter : public ::testing::Test {
protected:
    std::string tool = std::string(PARIETA_BUILD_DIR) + "/lang/cp1250_inc";
    // A folder of its own: ctest runs these cases in parallel processes.
    std::string dir;
    std::string in;
    std::string out;

    void SetUp() override {
        if (!std::ifstream(tool)) GTEST_SKIP() << "no host converter in this build";
        std::string tmpl = ::testing::TempDir() + "parieta_conv_XXXXXX";
        ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
        dir = tmpl;
        in = dir + "/in.inc";
        out = dir + "/out.inc";
    }
    void TearDown() override {
        std::remove(in.c_str());
        std::remove(out.c_str());
        if (!dir.empty()) rmdir(dir.c_str());
    }
    int run(const std::string& source, std::string& messages) {
        std::ofstream(in, std::ios::binary) << source;
        std::string cmd = "'" + tool + "' '" + in + "' '" + out + "' 2>&1";
        FILE* p = popen(cmd.c_str(), "r");
        char buf[256];
        messages.clear();
        while (std::fgets(buf, sizeof buf, p)) messages += buf;
        return pclose(p);
    }
    std::string output() {
        std::ifstream f(out, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), {});
    }
};

TEST_F(Converter, WritesPolishLettersAndSignsAsOctalEscapes) {
    std::string messages;
    ASSERT_EQ(run("// zażółć\n/* 1 */ \"Łódź 5°C 2·K 7\",\n", messages), 0) << messages;
    std::string text = output();
    EXPECT_NE(text.find("\"\\243\\363d\\237 5\\260C 2\\267K 7\","), std::string::npos) << text;
    for (char c : text) EXPECT_LT(static_cast<unsigned char>(c), 0x80);
}

TEST_F(Converter, RefusesWhatTheCodePageLacksAndWritesNothing) {
    struct Case {
        const char* source;
        const char* says;
    };
    const Case cases[] = {
        {"/* 1 */ \"1 m\xC2\xB3\",\n", "no Windows-1250 form"},  // superscript three
        {"/* 1 */ \"\xCE\xBB\",\n", "no Windows-1250 form"},     // Greek lambda
        {"/* 1 */ \"a\xFF\",\n", "invalid UTF-8"},
        {"/* 1 */ \"\\271\",\n", "write the character"},
        {"/* 1 */ \"\\xB9\",\n", "write the character"},
    };
    for (const Case& c : cases) {
        std::string messages;
        EXPECT_NE(run(c.source, messages), 0) << c.source;
        EXPECT_NE(messages.find(c.says), std::string::npos) << messages;
        EXPECT_FALSE(std::ifstream(out)) << c.source;
    }
}

}  // namespace
