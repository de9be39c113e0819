#include <gtest/gtest.h>
#include <iconv.h>

#include <cctype>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "lang/catalogue.h"
#include "tests/support/cp1250.h"
#include "tests/support/language.h"

namespace {

constexpr std::int8_t MATERIALS = 126;
constexpr std::size_t NAME_WIDTH = 45;

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

struct Token {
    std::size_t column;
    std::string text;
};

std::vector<Token> tokens_from(const std::string& line, std::size_t from) {
    std::vector<Token> out;
    for (std::size_t i = from; i < line.size();) {
        if (line[i] == ' ') {
            ++i;
            continue;
        }
        std::size_t end = line.find(' ', i);
        if (end == std::string::npos) end = line.size();
        out.push_back({i, line.substr(i, end - i)});
        i = end;
    }
    return out;
}

// The four sections: where each begins, whether its rows carry a name, and
// how many value columns it has.
struct Section {
    const char* heading;  // UTF-8
    bool named;
    std::size_t columns;
};

struct Language {
    int index;
    const char* first_line;
    const char* second_line;
    Section sections[4];
};

const Language languages[] = {
    {LANG_ENGLISH,
     "Values of thermal conductivity coefficients Lambda",
     "and steam-permeability coefficients Delta of some materials:",
     {{"Non-ventilated air layer (acc. to PN-91/B-02020)", false, 5},
      {"Non-ventilated air layer (acc. to PN-EN ISO 6946:1999)", false, 4},
      {"Material or building component", true, 4},
      {"Material", true, 2}}},
    {LANG_POLISH,
     "Wartości współczynnikow przewodności cieplnej Lambda",
     "i współczynników przepuszczalności pary wodnej Delta niektórych materiałów:",
     {{"Niewentylowana warstwa powietrza (wg PN-91/B-02020)", false, 5},
      {"Niewentylowana warstwa powietrza (wg PN-EN ISO 6946:1999)", false, 4},
      {"Materiał lub element budowlany", true, 4},
      {"Materiał", true, 2}}},
};

void PrintTo(const Language& lang, std::ostream* os) {
    *os << (lang.index == LANG_ENGLISH ? "English" : "Polish");
}

// Value rows by section: a row is a line holding a number ("@" inside).
std::map<int, std::vector<std::string>> value_rows(const Language& lang,
                                                   const std::vector<std::string>& lines) {
    std::map<int, std::vector<std::string>> rows;
    int section = -1;
    for (const std::string& line : lines) {
        for (int s = 0; s < 4; ++s) {
            // A heading stands alone or is followed by its column heads.
            const std::string h = w1250(lang.sections[s].heading);
            if (line == h || line.rfind(h + "  ", 0) == 0) section = s;
        }
        if (section >= 0 && line.find('@') != std::string::npos) rows[section].push_back(line);
    }
    return rows;
}

class MaterialsTable : public ::testing::TestWithParam<Language> {
protected:
    void SetUp() override { language_.emplace(GetParam().index); }
    std::optional<LanguageScope> language_;
    std::string text() const { return catalogue_a_text(MATERIALS); }
};

TEST_P(MaterialsTable, OpensWithItsTitleAndFitsEightySixColumns) {
    std::vector<std::string> lines = lines_of(text());
    ASSERT_GT(lines.size(), 150u);
    EXPECT_EQ(lines[0], w1250(GetParam().first_line));
    EXPECT_EQ(lines[1], w1250(GetParam().second_line));
    EXPECT_EQ(lines[2], "");
    for (const std::string& line : lines) {
        EXPECT_LE(line.size(), 86u) << line;
        EXPECT_EQ(line.find('\t'), std::string::npos) << line;
        EXPECT_TRUE(line.empty() || line.back() != ' ') << line;
    }
}

TEST_P(MaterialsTable, EveryRowOfASectionHasItsValuesAtTheSameColumns) {
    auto rows = value_rows(GetParam(), lines_of(text()));
    ASSERT_EQ(rows.size(), 4u);
    for (int s = 0; s < 4; ++s) {
        const Section& section = GetParam().sections[s];
        SCOPED_TRACE(section.heading);
        std::set<std::size_t> starts;
        for (const std::string& row : rows[s]) {
            if (section.named) {
                // A name takes at most 45 characters and a space keeps it apart.
                ASSERT_GT(row.size(), NAME_WIDTH) << row;
                EXPECT_EQ(row[NAME_WIDTH], ' ') << row;
            }
            auto tokens = tokens_from(row, section.named ? NAME_WIDTH : 0);
            EXPECT_GE(tokens.size(), section.named ? 2u : section.columns) << row;
            EXPECT_LE(tokens.size(), section.columns) << row;
            for (const Token& t : tokens) starts.insert(t.column);
        }
        EXPECT_EQ(starts.size(), section.columns) << "values out of their columns";
    }
}

TEST_P(MaterialsTable, NumbersUseTheSeparatorMarkAndNothingElse) {
    const std::string t = text();
    for (std::size_t at = t.find('@'); at != std::string::npos; at = t.find('@', at + 1)) {
        ASSERT_GT(at, 0u);
        EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(t[at - 1])) &&
                    std::isdigit(static_cast<unsigned char>(t[at + 1])))
            << t.substr(at > 10 ? at - 10 : 0, 20);
    }
    for (const std::string& line : lines_of(t)) {
        for (const Token& tok : tokens_from(line, 0)) {
            bool digits_dot_digits = tok.text.size() > 2 &&
                                     std::isdigit(static_cast<unsigned char>(tok.text[0])) &&
                                     tok.text.find('.') != std::string::npos &&
                                     tok.text.find_first_not_of("0123456789.") == std::string::npos;
            EXPECT_FALSE(digits_dot_digits) << line;
        }
    }
}

// The rows the reference text quotes, and the marks of repeated names,
// variants and missing values.
TEST(MaterialsTableRows, HoldTheQuotedValues) {
    const LanguageScope english(LANG_ENGLISH);
    std::vector<std::string> lines = lines_of(catalogue_a_text(MATERIALS));
    auto values_of = [&](const std::string& name, std::size_t from) {
        for (const std::string& line : lines) {
            if (line.rfind(name, 0) == 0 && line.size() > NAME_WIDTH) {
                std::string joined;
                for (const Token& t : tokens_from(line, from)) joined += t.text + " ";
                return joined;
            }
        }
        return std::string("(no row)");
    };
    EXPECT_EQ(values_of("  0@005      0@04545", 0), "0@005 0@04545 0@05 0@04545 0@004412 ");
    EXPECT_EQ(values_of("  0@3 ", 0), "0@3 1@875 1@66667 1@30435 ");
    EXPECT_EQ(values_of("Reinforced concrete", NAME_WIDTH), "2500 1@7 1@8 0@003 ");
    EXPECT_EQ(values_of(" - in other cases", NAME_WIDTH), "20-40 0@045 0@05 0@0012 ");
    EXPECT_EQ(values_of("Structural steel", NAME_WIDTH), "7800 58@0 58@0 - ");
    EXPECT_EQ(values_of("Polyethylene sheeting", NAME_WIDTH), "0@0002 0@0000003 ");
    std::string all = catalogue_a_text(MATERIALS);
    EXPECT_NE(all.find("\nFoamed polystyrene\n - in other cases"), std::string::npos);
    EXPECT_NE(all.find("--||--"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, MaterialsTable, ::testing::ValuesIn(languages),
                         [](const auto& info) {
                             return info.param.index == LANG_ENGLISH ? "English" : "Polish";
                         });

}  // namespace
