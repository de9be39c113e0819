// The climate file: what it accepts, and every refusal with its line and column.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "lang/catalogue.h"
#include "storage/climate_csv.h"
#include "tests/support/language.h"

namespace {

// Twelve rows in calendar order under `header`; `fifth` is the last column of every row.
std::string rows(const char* fifth = "50") {
    std::string s;
    for (int m = 1; m <= 12; ++m) {
        s += std::to_string(m) + ",-" + std::to_string(m) + ".5,85," + "20," + fifth + "\n";
    }
    return s;
}
const std::string PHI_HEADER = "month,theta_e,phi_e,theta_i,phi_i\n";
const std::string CLASS_HEADER = "month,theta_e,phi_e,theta_i,humidity_class\n";

bool parse(const std::string& text, Climate& out, ClimateCsvResult& r) {
    return parse_climate_csv(text.data(), text.size(), out, r);
}

TEST(ClimateCsv, ReadsBothForms) {
    Climate c;
    ClimateCsvResult r;
    ASSERT_TRUE(parse(PHI_HEADER + rows(), c, r)) << climate_error_message(r, "x");
    EXPECT_EQ(c.humidity_class, 0);
    EXPECT_EQ(c.months[0].theta_e, -1.5);
    EXPECT_EQ(c.months[11].theta_e, -12.5);
    EXPECT_EQ(c.months[4].phi_e, 85.0);
    EXPECT_EQ(c.months[4].theta_i, 20.0);
    EXPECT_EQ(c.months[4].phi_i, 50.0);

    ASSERT_TRUE(parse(CLASS_HEADER + rows("3"), c, r)) << climate_error_message(r, "x");
    EXPECT_EQ(c.humidity_class, 3);
}

// The writer's file in both forms reads back as the climate, to the writer's four decimals.
TEST(ClimateCsv, TheWrittenFileReadsBack) {
    Climate phi;
    for (int m = 0; m < MONTHS; ++m) phi.months[m] = {-m - 0.25, 85.0, 20.0, 50.0 + m};
    phi.months[3].theta_e = 6.123456;
    Climate by_class = phi;
    by_class.humidity_class = 2;
    struct Case {
        const char* name;
        const Climate& climate;
        std::string start;
    };
    const Case cases[] = {
        {"phi_i given", phi, PHI_HEADER + "1,-0.25,85.0,20.0,50.0\n2,-1.25,"},
        {"humidity class", by_class, CLASS_HEADER + "1,-0.25,85.0,20.0,2\n2,-1.25,"},
    };
    for (const Case& c : cases) {
        const std::string text = climate_csv_text(c.climate);
        EXPECT_EQ(text.substr(0, c.start.size()), c.start) << c.name;
        Climate back;
        ClimateCsvResult r;
        ASSERT_TRUE(parse(text, back, r)) << c.name << ": " << climate_error_message(r, "x");
        EXPECT_EQ(back.humidity_class, c.climate.humidity_class) << c.name;
        for (int m = 0; m < MONTHS; ++m) {
            const ClimateMonth& want = c.climate.months[m];
            EXPECT_EQ(back.months[m].theta_e, m == 3 ? 6.1235 : want.theta_e) << c.name << m;
            EXPECT_EQ(back.months[m].phi_e, want.phi_e) << c.name << m;
            EXPECT_EQ(back.months[m].theta_i, want.theta_i) << c.name << m;
            if (c.climate.humidity_class == 0) EXPECT_EQ(back.months[m].phi_i, want.phi_i) << m;
        }
    }
}

// Comments anywhere, blank lines, CRLF, a byte-order mark, blanks around values, months out of
// order, "+" and exponents, and a last line without its line feed.
TEST(ClimateCsv, AcceptsTheUsualVariations) {
    std::string text = "\xEF\xBB\xBF# Test climate, made up; Zażółć gęślą jaźń\r\n\r\n";
    text += " month , theta_e,phi_e,theta_i,phi_i   # header\r\n";
    for (int m = 12; m >= 1; --m) {
        text += "\t" + std::to_string(m) + ", +1.5e1 ,60,2.0E1,4.5e+01\r\n";
        if (m == 6) text += "   # halfway\r\n\r\n";
    }
    text.resize(text.size() - 2);
    Climate c;
    ClimateCsvResult r;
    ASSERT_TRUE(parse(text, c, r)) << climate_error_message(r, "x");
    for (const ClimateMonth& m : c.months) {
        EXPECT_EQ(m.theta_e, 15.0);
        EXPECT_EQ(m.theta_i, 20.0);
        EXPECT_EQ(m.phi_i, 45.0);
    }
}

// Text after the header's line for each case, and where the refusal must point.
struct BadCase {
    const char* name;
    std::string text;
    ClimateCsvError error;
    int line, column, month;
};

std::string replace_row(std::string text, int month, const std::string& row) {
    const std::string start = "\n" + std::to_string(month) + ",";
    const std::size_t at = text.find(start) + 1;
    text.replace(at, text.find('\n', at) - at, row);
    return text;
}

TEST(ClimateCsv, RefusesABadFileWithLineAndColumn) {
    const std::string good = PHI_HEADER + rows();
    const std::string by_class = CLASS_HEADER + rows("2");
    std::string thirteen = good + "1,0,80,20,50\n";
    // Class 5 at θe = 5 °C, φe = 85 %: p_i = 741.1 + 1.1 * 1012.5 = 1854.8 Pa; at θi = 15 °C
    // saturation is only 1704.4 Pa.
    std::string saturating = CLASS_HEADER + rows("5");
    saturating = replace_row(saturating, 4, "4,5,85,15,5");
    const BadCase cases[] = {
        {"empty", "", ClimateCsvError::NoHeader, 0, 0, 0},
        {"only comments", "# nothing\n\n  # here\n", ClimateCsvError::NoHeader, 0, 0, 0},
        {"bad name", "month,theta_e,phi,theta_i,phi_i\n" + rows(), ClimateCsvError::BadHeader, 1,
         15, 0},
        {"short header", "month,theta_e,phi_e\n" + rows(), ClimateCsvError::BadHeader, 1, 20, 0},
        {"no header", rows(), ClimateCsvError::BadHeader, 1, 1, 0},
        {"six columns", "month,theta_e,phi_e,theta_i,phi_i,x\n" + rows(),
         ClimateCsvError::FieldCount, 1, 35, 0},
        {"short row", replace_row(good, 3, "3,-1,80,20"), ClimateCsvError::FieldCount, 4, 11, 0},
        {"long row", replace_row(good, 3, "3,-1,80,20,50,7"), ClimateCsvError::FieldCount, 4, 15,
         0},
        {"comma decimal", replace_row(good, 2, "2,-1,5,80,20,50"), ClimateCsvError::FieldCount, 3,
         14, 0},
        {"letters", replace_row(good, 5, "5,cold,80,20,50"), ClimateCsvError::BadNumber, 6, 3, 0},
        {"nan", replace_row(good, 5, "5,-1,nan,20,50"), ClimateCsvError::BadNumber, 6, 6, 0},
        {"inf", replace_row(good, 5, "5,-1,80,inf,50"), ClimateCsvError::BadNumber, 6, 9, 0},
        {"empty value", replace_row(good, 5, "5,-1,80, ,50"), ClimateCsvError::BadNumber, 6, 9, 0},
        {"huge", replace_row(good, 5, "5,-1,80,20,1e999"), ClimateCsvError::BadNumber, 6, 12, 0},
        {"NUL in a number", replace_row(good, 5, std::string("5,-1,8\0,20,50", 13)),
         ClimateCsvError::BadNumber, 6, 6, 0},
        {"month 13", replace_row(good, 7, "13,-1,80,20,50"), ClimateCsvError::BadMonth, 8, 1, 0},
        {"month 0", replace_row(good, 7, "0,-1,80,20,50"), ClimateCsvError::BadMonth, 8, 1, 0},
        {"month 1.0", replace_row(good, 7, "1.0,-1,80,20,50"), ClimateCsvError::BadMonth, 8, 1, 0},
        {"repeated", replace_row(good, 7, "6,-1,80,20,50"), ClimateCsvError::RepeatedMonth, 8, 1,
         6},
        {"thirteen rows", thirteen, ClimateCsvError::TooManyRows, 14, 1, 0},
        {"missing", PHI_HEADER + rows().substr(0, rows().find("\n11,") + 1),
         ClimateCsvError::MissingMonth, 12, 1, 11},
        {"missing, no line end", PHI_HEADER + "1,0,80,20,50", ClimateCsvError::MissingMonth, 2, 13,
         2},
        {"theta_e low", replace_row(good, 1, "1,-50.1,80,20,50"), ClimateCsvError::ThetaRange, 2, 3,
         0},
        {"theta_i high", replace_row(good, 1, "1,-5,80,60.5,50"), ClimateCsvError::ThetaRange, 2, 9,
         0},
        {"phi_e low", replace_row(good, 9, "9,-5,0.5,20,50"), ClimateCsvError::PhiRange, 10, 6, 0},
        {"phi_i high", replace_row(good, 9, "9,-5,80,20,100.01"), ClimateCsvError::PhiRange, 10, 12,
         0},
        {"class 6", replace_row(by_class, 12, "12,-5,80,20,6"), ClimateCsvError::BadClass, 13, 13,
         0},
        {"class 2.5", replace_row(by_class, 12, "12,-5,80,20,2.5"), ClimateCsvError::BadClass, 13,
         13, 0},
        {"classes differ", replace_row(by_class, 12, "12,-5,80,20,3"),
         ClimateCsvError::ClassDiffers, 13, 13, 0},
        {"class saturates", saturating, ClimateCsvError::ClassSaturates, 5, 11, 4},
        {"not UTF-8", PHI_HEADER + "# caf\xE9\n" + rows(), ClimateCsvError::NotUtf8, 2, 6, 0},
        {"lone CR line ends", "month,theta_e,phi_e,theta_i,phi_i\r1,0,80,20,50\r",
         ClimateCsvError::BadHeader, 1, 29, 0},
    };
    for (const BadCase& c : cases) {
        Climate climate;
        climate.months[0].theta_e = 7.0;  // must survive a refusal
        ClimateCsvResult r;
        EXPECT_FALSE(parse(c.text, climate, r)) << c.name;
        EXPECT_EQ(r.error, c.error) << c.name << ": " << climate_error_message(r, "x");
        EXPECT_EQ(r.line, c.line) << c.name;
        EXPECT_EQ(r.column, c.column) << c.name;
        EXPECT_EQ(r.month, c.month) << c.name;
        EXPECT_EQ(climate.months[0].theta_e, 7.0) << c.name;
    }
}

TEST(ClimateCsv, MessagesNameFileLineColumnAndMonth) {
    std::string text = CLASS_HEADER + rows("5");
    text = replace_row(text, 4, "4,5,85,15,5");
    Climate c;
    ClimateCsvResult r;
    ASSERT_FALSE(parse(text, c, r));
    const LanguageScope language(LANG_ENGLISH);
    EXPECT_EQ(climate_error_message(r, "kraków.csv"),
              "kraków.csv:5:11: Month 4 (April): humidity class 5 gives an internal vapour "
              "pressure of 1854.8 Pa, above saturation at θi (1704.4 Pa).");
    set_language(LANG_POLISH);
    EXPECT_EQ(climate_error_message(r, "kraków.csv"),
              "kraków.csv:5:11: Miesiąc 4 (kwiecień): klasa wilgotności 5 daje wewnętrzne "
              "ciśnienie pary wodnej 1854,8 Pa, wyższe od ciśnienia nasycenia przy θi "
              "(1704,4 Pa).");
    ASSERT_FALSE(parse("", c, r));
    EXPECT_EQ(climate_error_message(r, "a.csv"),
              "a.csv: Brak wiersza nagłówka: month,theta_e,phi_e,theta_i,phi_i lub "
              "month,theta_e,phi_e,theta_i,humidity_class.");
}

TEST(ClimateCsv, FilesThatCannotBeReadOrAreTooLarge) {
    Climate c;
    ClimateCsvResult r;
    EXPECT_FALSE(read_climate_file("/nonexistent/climate.csv", c, r));
    EXPECT_EQ(r.error, ClimateCsvError::CannotOpen);
    for (const char* not_regular : {"/", "/dev/null"}) {
        EXPECT_FALSE(read_climate_file(not_regular, c, r)) << not_regular;
        EXPECT_EQ(r.error, ClimateCsvError::CannotOpen) << not_regular;
    }

    // A pipe with no writer would block a plain open; it is refused at once.
    const std::string fifo = "/tmp/parieta-climate-fifo-" + std::to_string(getpid());
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(read_climate_file(fifo.c_str(), c, r));
    EXPECT_EQ(r.error, ClimateCsvError::CannotOpen);
    std::remove(fifo.c_str());

    const std::string big(CLIMATE_FILE_LIMIT + 1, '#');
    EXPECT_FALSE(parse(big, c, r));
    EXPECT_EQ(r.error, ClimateCsvError::TooLarge);

    char path[] = "/tmp/parieta-climate-XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    const std::string text = PHI_HEADER + rows();
    ASSERT_EQ(write(fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    close(fd);
    EXPECT_TRUE(read_climate_file(path, c, r));
    EXPECT_EQ(c.months[2].theta_e, -3.5);
    std::remove(path);
}

}  // namespace
