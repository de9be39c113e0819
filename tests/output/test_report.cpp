// The text report, byte for byte, and its two destinations.
#include <dirent.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/Quil_c.h"
#include "lang/catalogue.h"
#include "output/report.h"
#include "tests/support/language.h"
#include "tests/support/other_user.h"

namespace {

const LocalTime MONDAY{2000, 7, 3, 9, 5, 1};

std::string read_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void write_bytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::vector<std::string> split_crlf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0, end;
    while ((end = text.find("\r\n", start)) != std::string::npos) {
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    EXPECT_EQ(start, text.size()) << "the report ends with a line end";
    return lines;
}

std::vector<std::string> folder_entries(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* d = opendir(folder.c_str())) {
        while (dirent* e = readdir(d)) {
            if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0) {
                names.push_back(e->d_name);
            }
        }
        closedir(d);
    }
    return names;
}

// A layer table whose results are fixed by hand, so the layout tests do not
// depend on the calculation.
Partition with_results(int layers, int mode, int wall) {
    Partition p;
    p.layer_count = static_cast<std::int16_t>(layers);
    p.calc_mode = static_cast<std::int16_t>(mode);
    p.wall_type = static_cast<std::int16_t>(wall);
    p.k = 1.23456;
    for (int j = 0; j < MAX_PLANES; ++j) {
        p.temp[j] = -4.5 + 2.25 * j;
        p.press_sat[j] = 4.0 + j;
        p.press_real[j] = 3.5 + j;
    }
    return p;
}

class ReportTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/parieta-report-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
    }
    void TearDown() override {
        std::string command = "rm -rf '" + dir_ + "'";
        std::system(command.c_str());
    }

    std::string path(const char* name) const { return dir_ + "/" + name; }

    // The report as the file destination writes it.
    std::string report(const Partition& p, char sep = '.', LocalTime when = MONDAY) {
        FixedClock clock(when);
        ReportContext ctx{sep, &clock};
        std::string file = path("out.TXT");
        EXPECT_EQ(write_report(p, file.c_str(), ctx), 0);
        return read_bytes(file);
    }

    const LanguageScope language_{LANG_ENGLISH};
    std::string dir_;
};

struct SampleCase {
    const char* name;
    std::int8_t language;
    char sep;
    const char* expected_file;
};
void PrintTo(const SampleCase& c, std::ostream* os) { *os << c.name; }

class DefaultRecordSample : public ReportTest, public ::testing::WithParamInterface<SampleCase> {};

TEST_P(DefaultRecordSample, MatchesByteForByte) {
    const SampleCase& c = GetParam();
    set_language(c.language);
    Partition p;
    ASSERT_TRUE(calculate_partition(p));
    std::string expected = read_bytes(std::string(PARIETA_TEST_DATA) + "/" + c.expected_file);
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(report(p, c.sep), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Languages, DefaultRecordSample,
    ::testing::Values(SampleCase{"english_point", LANG_ENGLISH, '.', "report_default_en.txt"},
                      SampleCase{"polish_comma", LANG_POLISH, ',', "report_default_pl.txt"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReportTest, ThermalStraightHasNoHumidityDeltaOrPressures) {
    Partition p = with_results(2, 0, 0);
    p.press_sat[0] = 1.0;  // stale pressures that would condense are not reported
    p.press_real[0] = 9.0;
    std::string expected =
        read_bytes(std::string(PARIETA_TEST_DATA) + "/report_thermal_straight_en.txt");
    EXPECT_EQ(report(p), expected);
}

TEST_F(ReportTest, DampnessCurvedWithTitle) {
    Partition p = with_results(3, 1, 1);
    set_title(p, "Sciana zewnetrzna, budynek B");
    set_layer_description(p, "tynk", 0);
    std::string expected =
        read_bytes(std::string(PARIETA_TEST_DATA) + "/report_curved_title_en.txt");
    EXPECT_EQ(report(p), expected);
}

TEST_F(ReportTest, ElevenLayersNameEveryLayerAndPlane) {
    Partition p = with_results(11, 1, 0);
    std::vector<std::string> lines = split_crlf(report(p));
    auto first_row = std::find_if(lines.begin(), lines.end(),
                                  [](const std::string& l) { return l.rfind("  1-2 ", 0) == 0; });
    ASSERT_NE(first_row, lines.end());
    for (int i = 0; i < 11; ++i) {
        char name[8];
        std::snprintf(name, sizeof name, "%3d-%-2d", i + 1, i + 2);
        EXPECT_EQ(first_row[i].substr(0, 6), name);
    }
    EXPECT_EQ(first_row[9].substr(0, 6), " 10-11");
    EXPECT_EQ(first_row[10].substr(0, 6), " 11-12");
    EXPECT_EQ(first_row[11], "");
    // The plane rows close the report: twelve of them, numbered 1 to 12.
    ASSERT_GE(lines.size(), 12u);
    for (int j = 0; j < 12; ++j) {
        EXPECT_EQ(std::atoi(lines[lines.size() - 12 + j].substr(0, 6).c_str()), j + 1);
    }
    EXPECT_EQ(lines.back().substr(0, 6), "    12");
}

TEST_F(ReportTest, DescriptionEndsTheRowAndColumnsStayAligned) {
    Partition p = with_results(3, 1, 0);
    const char* longest = "Mur z cegly pelnej na zaprawie wapie";  // 36 characters
    ASSERT_EQ(std::strlen(longest), 36u);
    set_layer_description(p, longest, 1);
    p.layers[0].thickness = 0.015;
    p.layers[1].thickness = 0.15;
    p.layers[2].thickness = 1.25;
    std::vector<std::string> lines = split_crlf(report(p));
    auto row = std::find_if(lines.begin(), lines.end(),
                            [](const std::string& l) { return l.rfind("  1-2 ", 0) == 0; });
    ASSERT_NE(row, lines.end());
    EXPECT_EQ(row[0], "  1-2     0.015       1.0            0.045 ");
    EXPECT_EQ(row[1], "  2-3     0.15        0.3            0.0225   " + std::string(longest));
    EXPECT_EQ(row[2], "  3-4     1.25        0.3            0.0225");
}

TEST_F(ReportTest, CondensationMarkComparesStoredPressures) {
    struct Case {
        double sat, real;
        const char* ending;
    } cases[] = {
        {12.34, 12.35, "12.34                12.35  !!!"},
        {12.35, 12.35, "12.35                12.35"},
        {12.349, 12.351, "12.35                12.35  !!!"},  // alike in print, not on disk
        {12.36, 12.35, "12.36                12.35"},
    };
    for (const Case& c : cases) {
        Partition p = with_results(1, 1, 0);
        p.press_sat[1] = c.sat;
        p.press_real[1] = c.real;
        std::vector<std::string> lines = split_crlf(report(p));
        ASSERT_GE(lines.size(), 2u);
        const std::string& row = lines.back();
        EXPECT_EQ(row.substr(row.size() - std::strlen(c.ending)), c.ending) << c.sat;
        EXPECT_EQ(row.find("!!!") != std::string::npos, c.sat < c.real) << c.sat;
    }
}

TEST_F(ReportTest, SignsOfPlaneTemperaturesAndTheKLine) {
    Partition p = with_results(2, 0, 0);
    p.temp[0] = -3.5;
    p.temp[1] = 0.0;
    p.temp[2] = 12.5;
    p.k = 0.8391608;
    std::vector<std::string> lines = split_crlf(report(p));
    std::size_t n = lines.size();
    EXPECT_EQ(lines[n - 3], "     1           -3.50");
    EXPECT_EQ(lines[n - 2], "     2           +0.00");
    EXPECT_EQ(lines[n - 1], "     3          +12.50");
    EXPECT_NE(
        std::find(lines.begin(), lines.end(),
                  "Thermal conduction coefficient through the partition k =  0.84 W/(m2\xB7K)"),
        lines.end());
}

TEST_F(ReportTest, DateLineWeekdaysAndLeadingZeros) {
    struct Case {
        LocalTime when;
        std::int8_t language;
        const char* line;
    } cases[] = {
        {{2024, 1, 7, 0, 0, 0}, LANG_ENGLISH, "Sunday 2024.01.07 00:00"},
        {{1999, 12, 31, 23, 59, 5}, LANG_ENGLISH, "Friday 1999.12.31 23:59"},
        {{2024, 3, 9, 7, 3, 6}, LANG_POLISH, "Sobota 2024.03.09 07:03"},
        {{2024, 3, 6, 7, 3, 3}, LANG_POLISH, "\x8Croda 2024.03.06 07:03"},
    };
    for (const Case& c : cases) {
        set_language(c.language);
        std::vector<std::string> lines = split_crlf(report(Partition(), '.', c.when));
        ASSERT_GE(lines.size(), 3u);
        EXPECT_EQ(lines[2], c.line);
    }
}

TEST_F(ReportTest, UnderlinesFollowTheHeadingsOfTheLanguage) {
    set_language(LANG_POLISH);
    Partition p = with_results(1, 0, 0);
    std::vector<std::string> lines = split_crlf(report(p, ','));
    EXPECT_EQ(lines[0],
              "ROZK\xA3"
              "AD TEMPERATURY W PRZEGRODZIE");
    EXPECT_EQ(lines[1], std::string(lines[0].size(), '-'));
    auto results = std::find(lines.begin(), lines.end(), "Wyniki:");
    ASSERT_NE(results, lines.end());
    EXPECT_EQ(results[1], "=======");
}

TEST_F(ReportTest, NumberThatIsNotFiniteIsRefused) {
    Partition p = with_results(2, 1, 0);
    std::string target = path("old.TXT");
    write_bytes(target, "earlier report\r\n");
    for (double bad : {NAN, INFINITY}) {
        p.press_real[1] = bad;
        FixedClock clock(MONDAY);
        EXPECT_EQ(write_report(p, target.c_str(), ReportContext{'.', &clock}), 1);
        EXPECT_EQ(read_bytes(target), "earlier report\r\n");
        std::string text = "left over";
        EXPECT_EQ(write_report_text(p, text, ReportContext{'.', &clock}), 1);
        EXPECT_EQ(text, "");
    }
    EXPECT_EQ(folder_entries(dir_).size(), 1u);
}

TEST_F(ReportTest, TheClipboardsTextIsTheFilesBytes) {
    Partition titled = with_results(3, 1, 1);
    set_title(titled,
              "\x8c"
              "ciana");
    for (const Partition& p : {with_results(1, 0, 0), titled}) {
        FixedClock clock(MONDAY);
        std::string text;
        ASSERT_EQ(write_report_text(p, text, ReportContext{',', &clock}), 0);
        EXPECT_EQ(text, report(p, ','));
    }
}

// --- the file destination ----------------------------------------------------

TEST_F(ReportTest, ExportIntoMissingFolderFailsWithoutTrace) {
    FixedClock clock(MONDAY);
    std::string target = path("missing/WALL.TXT");
    EXPECT_EQ(write_report(Partition(), target.c_str(), ReportContext{'.', &clock}), 1);
    EXPECT_TRUE(folder_entries(dir_).empty());
    EXPECT_EQ(write_report(Partition(), dir_.c_str(), ReportContext{'.', &clock}), 1)
        << "a folder is not a report";
    EXPECT_EQ(write_report(Partition(), nullptr, ReportContext{'.', &clock}), 1);
}

TEST_F(ReportTest, ExportOverReadOnlyReportIsRefused) {
    if (!as_ordinary_user()) return;  // root may write any file
    std::string target = path("old.TXT");
    write_bytes(target, "kept");
    chmod(target.c_str(), 0444);
    FixedClock clock(MONDAY);
    EXPECT_EQ(write_report(Partition(), target.c_str(), ReportContext{'.', &clock}), 1);
    EXPECT_EQ(read_bytes(target), "kept");
}

TEST_F(ReportTest, WriteFailingMidwayLeavesTheEarlierReport) {
    std::string target = path("WALL.TXT");
    std::string earlier = "an earlier report that must survive\r\n";
    write_bytes(target, earlier);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // 100 bytes let the heading through, then every write fails with EFBIG.
        signal(SIGXFSZ, SIG_IGN);
        rlimit limit{100, 100};
        setrlimit(RLIMIT_FSIZE, &limit);
        FixedClock clock(MONDAY);
        _exit(write_report(Partition(), target.c_str(), ReportContext{'.', &clock}));
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(read_bytes(target), earlier);
    EXPECT_EQ(folder_entries(dir_), std::vector<std::string>{"WALL.TXT"}) << "no temporary file";
}

TEST_F(ReportTest, FullDeviceFails) {
    FixedClock clock(MONDAY);
    EXPECT_EQ(write_report(Partition(), "/dev/full", ReportContext{'.', &clock}), 1);
}

TEST_F(ReportTest, ReplacingKeepsPermissionsAndLinks) {
    std::string real = path("real.TXT");
    std::string link = path("link.TXT");
    write_bytes(real, "old");
    chmod(real.c_str(), 0640);
    ASSERT_EQ(symlink("real.TXT", link.c_str()), 0);

    FixedClock clock(MONDAY);
    ASSERT_EQ(write_report(Partition(), link.c_str(), ReportContext{'.', &clock}), 0);

    struct stat st;
    ASSERT_EQ(lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    ASSERT_EQ(stat(real.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(read_bytes(real).substr(0, 4), "TEMP");
    EXPECT_EQ(folder_entries(dir_).size(), 2u);
}

// --- the printer destination -------------------------------------------------

struct Drawn {
    int x, y;
    std::string text;
    bool bold;
};

class RecordingPrinter : public PrinterLineSink {
public:
    RecordingPrinter(int points, int dpi_x, int dpi_y) : s_(points), rx_(dpi_x), ry_(dpi_y) {}
    int font_point_size() const override { return s_; }
    int resolution_x() const override { return rx_; }
    int resolution_y() const override { return ry_; }
    void draw_text(int x, int y, const char* text, bool bold) override {
        drawn.push_back({x, y, text, bold});
    }
    std::vector<Drawn> drawn;

private:
    int s_, rx_, ry_;
};

TEST_F(ReportTest, PrinterLinesStandOnTheLineGrid) {
    Partition p = with_results(2, 1, 0);
    set_title(p, "Title in bold");
    RecordingPrinter printer(9, 600, 600);
    FixedClock clock(MONDAY);
    ASSERT_EQ(write_report(p, printer, ReportContext{'.', &clock}), 0);

    // Lines: heading 3, rule 4, date 5, empty 6, title 7, empty 8, "Data:" 9,
    // rule 10 with two breaks, first data line 12.
    ASSERT_GE(printer.drawn.size(), 7u);
    const auto& d = printer.drawn;
    EXPECT_EQ(d[0].y, 258);
    EXPECT_EQ(d[0].text, "TEMPERATURE AND STEAM-PRESSURE DISTRIBUTION IN A PARTITION");
    EXPECT_EQ(d[1].y, 344);
    EXPECT_EQ(d[2].y, 430);
    EXPECT_EQ(d[3].y, 7 * 86);
    EXPECT_EQ(d[3].text, "Title in bold");
    EXPECT_EQ(d[4].y, 9 * 86);
    EXPECT_EQ(d[5].y, 10 * 86);
    EXPECT_EQ(d[6].y, 12 * 86);
    for (std::size_t i = 0; i < d.size(); ++i) {
        EXPECT_EQ(d[i].x, 375);
        EXPECT_EQ(d[i].bold, i == 3) << d[i].text;
        EXPECT_FALSE(d[i].text.empty()) << "empty lines only advance";
    }
    // The file holds the same lines, one per text line.
    std::vector<std::string> file_lines = split_crlf(report(p));
    std::size_t non_empty = std::count_if(file_lines.begin(), file_lines.end(),
                                          [](const std::string& l) { return !l.empty(); });
    EXPECT_EQ(d.size(), non_empty);
    EXPECT_EQ(d.back().text, file_lines.back());
}

TEST_F(ReportTest, PrinterGeometryFollowsFontAndResolution) {
    struct Case {
        int points, rx, ry, x, h;
    } cases[] = {
        {9, 600, 600, 375, 86},
        {9, 300, 300, 185, 42},     // 37 pixels a point size, 42.55 truncated
        {10, 300, 1200, 205, 190},  // the axes apart: 166 × 1.15 = 190.9
        {-9, 600, 600, 375, 86},    // the magnitude of the size counts
    };
    for (const Case& c : cases) {
        RecordingPrinter printer(c.points, c.rx, c.ry);
        FixedClock clock(MONDAY);
        write_report(Partition(), printer, ReportContext{'.', &clock});
        ASSERT_GE(printer.drawn.size(), 2u);
        EXPECT_EQ(printer.drawn[0].x, c.x) << c.points << "pt " << c.rx;
        EXPECT_EQ(printer.drawn[0].y, 3 * c.h) << c.points << "pt " << c.ry;
        EXPECT_EQ(printer.drawn[1].y - printer.drawn[0].y, c.h);
    }
}

// A crafted title must not forge a "Results:" block nor clear a terminal:
// C0 controls, DEL and the bytes Windows-1250 leaves undefined show as "?"
// in the file and on the page, while the record keeps them for its file.
TEST_F(ReportTest, ControlAndUndefinedBytesOfTextsShowAsQuestionMarks) {
    Partition p = with_results(2, 1, 0);
    copy_bounded(p.title,
                 "\r\nResults:\r\nk = 9.99\x1b[2J\x07\x81\x83\x88\x90\x98\x7f\t \xb9\x80\x9a",
                 TITLE_SIZE);
    copy_bounded(p.layers[1].description, "a\nb\x1b", DESCRIPTION_SIZE);
    const Partition stored = p;
    const std::string shown_title = "??Results:??k = 9.99?[2J???????? \xb9\x80\x9a";

    const std::vector<std::string> lines = split_crlf(report(p));
    ASSERT_EQ(lines.size(), split_crlf(report(with_results(2, 1, 0))).size() + 2);
    EXPECT_EQ(lines[4], shown_title);
    for (const std::string& line : lines) {
        for (unsigned char c : line)
            EXPECT_TRUE(shown_as_is(c)) << "byte " << int(c) << " in '" << line << "'";
    }
    EXPECT_NE(std::find_if(lines.begin(), lines.end(),
                           [](const std::string& l) { return l.ends_with("   a?b?"); }),
              lines.end());

    RecordingPrinter printer(9, 600, 600);
    FixedClock clock(MONDAY);
    ASSERT_EQ(write_report(p, printer, ReportContext{'.', &clock}), 0);
    EXPECT_EQ(printer.drawn[3].text, shown_title);
    EXPECT_EQ(std::memcmp(&p, &stored, sizeof p), 0) << "the record keeps its bytes";
}

}  // namespace
