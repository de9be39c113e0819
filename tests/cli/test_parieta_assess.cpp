// parieta-assess end to end: exit statuses and messages, the JSON keys and numbers, the
// text report. Each test runs a copy of the built program in a folder of its own.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "core/Quil_c.h"
#include "core/assessment.h"
#include "lang/shown_text.h"
#include "storage/climate_csv.h"
#include "storage/datafile.h"
#include "storage/project_file.h"

namespace fs = std::filesystem;

namespace {

struct Outcome {
    int status = -1;
    std::string out, err;
};

std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void put(const fs::path& p, const std::string& text) { std::ofstream(p, std::ios::binary) << text; }

// Winter months condense in the default record's inner plaster joint, summer months dry it.
std::string climate_csv() {
    std::string s = "# made up for the tests\nmonth,theta_e,phi_e,theta_i,phi_i\n";
    const double theta_e[12] = {-8, -6, -1, 6, 12, 16, 18, 17, 13, 7, 2, -4};
    for (int m = 0; m < 12; ++m) {
        s += std::to_string(m + 1) + "," + std::to_string(theta_e[m]) + ",85,20," +
             (theta_e[m] < 5 ? "65" : "50") + "\n";
    }
    return s;
}

class AssessCli : public ::testing::Test {
protected:
    fs::path dir;
    fs::path tool;

    void SetUp() override {
        char tmpl[] = "/tmp/parieta-assess-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
        fs::create_directory(dir / "bin");
        tool = dir / "bin" / "parieta-assess";
        fs::copy_file(PARIETA_ASSESS, tool);
        put(dir / "climate.csv", climate_csv());
        make("default.PAR", {});
        // A tight external layer: condensation behind it in winter.
        make("tight.PAR", {"delta.1=0.0005"});
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string path(const char* name) const { return (dir / name).string(); }

    // The default record with key=value changes, written even when out of limits.
    void make(const char* name, std::vector<std::string> changes) {
        std::string command = std::string(PARIETA_MAKE_DATA_FILE) + " '" + path(name) + "'";
        for (const std::string& c : changes) command += " '" + c + "'";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }

    // tight.PAR and climate.csv read in this process.
    void read_tight(Partition& p, Climate& climate) const {
        ASSERT_EQ(read_data_file(p, path("tight.PAR").c_str()), 0);
        ClimateCsvResult csv;
        ASSERT_TRUE(read_climate_file(path("climate.csv").c_str(), climate, csv));
    }

    Outcome run(const std::vector<std::string>& args) {
        Outcome r;
        const std::string out = path("stdout"), err = path("stderr");
        const pid_t pid = fork();
        if (pid == 0) {
            const int o = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            const int e = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            dup2(o, STDOUT_FILENO);
            dup2(e, STDERR_FILENO);
            std::vector<char*> argv{const_cast<char*>(tool.c_str())};
            for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            execv(tool.c_str(), argv.data());
            _exit(127);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.out = slurp(out);
        r.err = slurp(err);
        return r;
    }
};

TEST_F(AssessCli, ExitStatusesAndMessages) {
    make("thick.PAR", {"thickness.2=3"});
    // Saved in thermal mode with a Delta out of limits: still refused, it is assessed wet.
    make("thermal.PAR", {"mode=0", "delta.1=0"});
    put(dir / "text.PAR", "not a data file\n");
    put(dir / "bad.csv", "month,theta_e,phi_e,theta_i,phi_i\n1,-5,85,20\n");
    put(dir / "not-a-project.json", "{}");

    struct Case {
        const char* name;
        std::vector<std::string> args;
        int status;
        std::string err;  // standard error exactly, when not empty
    } cases[] = {
        {"text report", {"--lang", "en", path("default.PAR"), path("climate.csv")}, 0, ""},
        {"json", {"--json", path("default.PAR"), path("climate.csv")}, 0, ""},
        {"no data file",
         {"--lang", "en", path("none.PAR"), path("climate.csv")},
         1,
         "Cannot open data file.\n"},
        {"not a data file",
         {"--lang", "pl", path("text.PAR"), path("climate.csv")},
         2,
         "Plik danych jest niepoprawny.\n"},
        {"out of limits",
         {"--lang", "en", path("thick.PAR"), path("climate.csv")},
         3,
         "Thickness for layer 2-3 is out of allowable limits.\n(min=0.00001; max=2)\n"},
        {"delta in thermal mode",
         {"--lang", "en", path("thermal.PAR"), path("climate.csv")},
         3,
         "Steam-permeability coefficient Delta for layer 1-2 is out of allowable limits.\n"
         "(min=0.00000001; max=3)\n"},
        {"data checked first", {"--lang", "en", path("thick.PAR"), path("none.csv")}, 3, ""},
        {"no climate file",
         {"--lang", "en", path("default.PAR"), path("none.csv")},
         1,
         path("none.csv") + ": Cannot open the climate file.\n"},
        {"bad climate file",
         {"--lang", "en", path("default.PAR"), path("bad.csv")},
         5,
         path("bad.csv") + ":2:11: A row holds five values separated by commas.\n"},
        {"no project", {"--lang", "en", path("none.json")}, 1, ""},
        {"not a project", {"--lang", "en", path("not-a-project.json")}, 2, ""},
        {"no folder",
         {"--lang", "en", "-o", path("no/such/R.txt"), path("default.PAR"), path("climate.csv")},
         4,
         "Cannot save results.\n"},
        {"full", {"-o", "/dev/full", path("default.PAR"), path("climate.csv")}, 4, ""},
        {"help", {"--help"}, 0, ""},
        {"nothing", {}, 64, ""},
        {"three files", {path("default.PAR"), path("climate.csv"), path("climate.csv")}, 64, ""},
        {"language", {"--lang", "de", path("default.PAR"), path("climate.csv")}, 64, ""},
        {"kind", {"--kind=wall", path("default.PAR"), path("climate.csv")}, 64, ""},
        {"option", {"--bogus", path("default.PAR"), path("climate.csv")}, 64, ""},
        {"-o alone", {"-o"}, 64, ""},
    };
    for (const Case& c : cases) {
        const Outcome r = run(c.args);
        EXPECT_EQ(r.status, c.status) << c.name << ": " << r.err;
        if (!c.err.empty()) {
            EXPECT_EQ(r.err, c.err) << c.name;
        }
        if (c.status == 64) {
            EXPECT_NE(r.err.find("Usage: parieta-assess"), std::string::npos) << c.name;
        }
        if (c.status != 0) {
            EXPECT_EQ(r.out, "") << c.name;
        }
    }
    EXPECT_NE(run({"--help"}).out.find("Usage: parieta-assess"), std::string::npos);
}

TEST_F(AssessCli, JsonHasExactlyTheKeysAndRoundTripNumbers) {
    const Outcome r = run({"--json", path("tight.PAR"), path("climate.csv")});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto j = nlohmann::ordered_json::parse(r.out);

    std::vector<std::string> keys;
    for (const auto& [k, v] : j.items()) keys.push_back(k);
    EXPECT_EQ(keys,
              (std::vector<std::string>{"U", "f_Rsi", "start_month", "M_a_max", "M_a_max_month",
                                        "interstitial", "f_Rsi_max", "f_Rsi_max_month", "surface",
                                        "f_Rsi_072", "U_max", "U_ok", "months"}));
    ASSERT_EQ(j["months"].size(), 12u);
    for (int m = 0; m < 12; ++m) {
        const auto& month = j["months"][m];
        std::vector<std::string> month_keys;
        for (const auto& [k, v] : month.items()) month_keys.push_back(k);
        EXPECT_EQ(month_keys,
                  (std::vector<std::string>{"month", "theta_e", "phi_e", "theta_i", "phi_i", "p_e",
                                            "p_i", "f_Rsi_min", "condensing", "g", "M_a"}));
        EXPECT_TRUE(month["month"].is_number_integer());
        EXPECT_EQ(month["month"], m + 1);
        ASSERT_EQ(month["g"].size(), 5u);  // four layers: planes 0 to 4
        ASSERT_EQ(month["M_a"].size(), 5u);
        for (const char* key : {"g", "M_a"}) {
            EXPECT_EQ(month[key][0], 0.0);
            EXPECT_EQ(month[key][4], 0.0);
        }
        for (const auto& plane : month["condensing"]) EXPECT_GT(month["g"][plane.get<int>()], 0.0);
    }
    EXPECT_TRUE(j["U_max"].is_null());
    EXPECT_TRUE(j["U_ok"].is_null());

    // The same record and climate in this process: every number reads back bit for bit.
    Partition p;
    Climate climate;
    ASSERT_NO_FATAL_FAILURE(read_tight(p, climate));
    Assessment a;
    ASSERT_TRUE(assess_partition(p, climate, AssessmentSettings{}, a));
    EXPECT_EQ(j["U"].get<double>(), a.u);
    EXPECT_EQ(j["f_Rsi"].get<double>(), a.f_rsi);
    EXPECT_EQ(j["interstitial"], interstitial_verdict_name(a.interstitial));
    EXPECT_NE(a.interstitial, InterstitialVerdict::None);  // the climate must make it condense
    EXPECT_EQ(j["start_month"], a.start_month);
    EXPECT_EQ(j["M_a_max"].get<double>(), a.m_a_max);
    EXPECT_EQ(j["M_a_max_month"], a.m_a_max_month);
    EXPECT_EQ(j["f_Rsi_max"].get<double>(), a.f_rsi_max);
    EXPECT_EQ(j["surface"], a.surface_ok ? "ok" : "fails");
    EXPECT_EQ(j["f_Rsi_072"], a.f_rsi_072);
    for (int m = 0; m < 12; ++m) {
        const auto& month = j["months"][m];
        EXPECT_EQ(month["p_e"].get<double>(), a.months[m].p_e);
        for (int plane = 0; plane <= 4; ++plane) {
            EXPECT_EQ(month["g"][plane].get<double>(), a.months[m].g[plane]);
            EXPECT_EQ(month["M_a"][plane].get<double>(), a.months[m].m_a[plane]);
        }
    }
    // Summer months have θi <= θe for none here, but the JSON says null where there is none.
    const Outcome kind =
        run({"--json", "--kind", "external_wall", path("default.PAR"), path("climate.csv")});
    const auto k = nlohmann::json::parse(kind.out);
    EXPECT_EQ(k["U_max"], 0.2);
    EXPECT_EQ(k["U_ok"], false);
}

TEST_F(AssessCli, NoneWithNoCondensationAndNoHeatedMonth) {
    std::string warm = "month,theta_e,phi_e,theta_i,phi_i\n";
    for (int m = 1; m <= 12; ++m) warm += std::to_string(m) + ",25,50,20,50\n";
    put(dir / "warm.csv", warm);
    const Outcome r = run({"--json", path("default.PAR"), path("warm.csv")});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["interstitial"], "none");
    EXPECT_TRUE(j["start_month"].is_null());
    EXPECT_EQ(j["M_a_max"], 0);
    EXPECT_TRUE(j["M_a_max_month"].is_null());
    EXPECT_TRUE(j["f_Rsi_max"].is_null());
    EXPECT_TRUE(j["f_Rsi_max_month"].is_null());
    EXPECT_EQ(j["surface"], "ok");
    for (const auto& month : j["months"]) {
        EXPECT_TRUE(month["f_Rsi_min"].is_null());
        EXPECT_TRUE(month["condensing"].empty());
    }
}

TEST_F(AssessCli, TextReportInBothLanguagesAndToAFile) {
    // "Ściana północna" in Windows-1250, as the data file holds it.
    make("titled.PAR", {"title=\x8C"
                        "ciana p\xF3\xB3nocna"});
    const Outcome en = run({"--lang", "en", path("titled.PAR"), path("climate.csv")});
    ASSERT_EQ(en.status, 0) << en.err;
    EXPECT_EQ(en.out.rfind("YEAR-ROUND MOISTURE ASSESSMENT", 0), 0u);
    EXPECT_NE(en.out.find("Title: Ściana północna\n"), std::string::npos) << en.out;
    EXPECT_NE(en.out.find("θe [°C]"), std::string::npos);
    EXPECT_NE(en.out.find("\nJanuary "), std::string::npos);
    EXPECT_NE(en.out.find("Surface mould check: fRsi = "), std::string::npos);
    EXPECT_EQ(en.out.find('\r'), std::string::npos);

    const Outcome pl = run({"--lang", "pl", path("titled.PAR"), path("climate.csv")});
    ASSERT_EQ(pl.status, 0) << pl.err;
    EXPECT_EQ(pl.out.rfind("CAŁOROCZNA OCENA WILGOTNOŚCIOWA", 0), 0u);
    EXPECT_NE(pl.out.find("\nstyczeń "), std::string::npos);
    EXPECT_NE(pl.out.find("Łączne sd"), std::string::npos);

    // Without --lang: the saved language, Polish when there is no settings file.
    EXPECT_EQ(run({path("titled.PAR"), path("climate.csv")}).out, pl.out);

    put(dir / "old.txt", "old report\n");
    const Outcome file =
        run({"--lang", "en", "-o", path("old.txt"), path("titled.PAR"), path("climate.csv")});
    EXPECT_EQ(file.status, 0);
    EXPECT_EQ(file.out, "");
    EXPECT_EQ(slurp(dir / "old.txt"), en.out);
}

// A project holds record, climate and kind: the same figures as the data file and the climate
// file give, its kind's limit unless --kind says otherwise, and its own refusals.
TEST_F(AssessCli, ProjectFileInput) {
    Partition p;
    Climate climate;
    ASSERT_NO_FATAL_FAILURE(read_tight(p, climate));
    AssessmentSettings wall;
    wall.kind = PartitionKind::ExternalWall;
    std::string error;
    ASSERT_TRUE(write_project_file(path("wall.json").c_str(), p, climate, wall, error)) << error;

    const Outcome pair = run({"--json", path("tight.PAR"), path("climate.csv")});
    const Outcome project = run({"--json", path("wall.json")});
    ASSERT_EQ(project.status, 0) << project.err;
    auto a = nlohmann::json::parse(pair.out), b = nlohmann::json::parse(project.out);
    EXPECT_EQ(b["U_max"], 0.2);
    EXPECT_EQ(b["U_ok"], false);
    b["U_max"] = nullptr;
    b["U_ok"] = nullptr;
    EXPECT_EQ(a, b);
    EXPECT_TRUE(
        nlohmann::json::parse(run({"--json", "--kind", "none", path("wall.json")}).out)["U_max"]
            .is_null());
    const Outcome text = run({"--lang", "en", path("wall.json")});
    EXPECT_NE(text.out.find("Project file: " + path("wall.json") + "\n"), std::string::npos);

    // No climate: nothing to assess.
    ASSERT_EQ(std::system((std::string(PARIETA_CONVERT) + " '" + path("tight.PAR") + "' '" +
                           path("bare.json") + "'")
                              .c_str()),
              0);
    const Outcome bare = run({"--lang", "en", path("bare.json")});
    EXPECT_EQ(bare.status, 5);
    EXPECT_EQ(bare.err, path("bare.json") + ": The project file has no climate.\n");

    // Out of limits in the record: as for a data file.
    Partition thick = p;
    thick.layers[1].thickness = 3.0;
    ASSERT_TRUE(write_project_file(path("thick.json").c_str(), thick, climate, wall, error));
    const Outcome refused = run({"--lang", "en", path("thick.json")});
    EXPECT_EQ(refused.status, 3);
    EXPECT_EQ(refused.err,
              "Thickness for layer 2-3 is out of allowable limits.\n(min=0.00001; max=2)\n");
}

}  // namespace

namespace {

// What reaches a terminal: no control byte but the line ends, no invalid UTF-8.
bool terminal_safe(const std::string& text) {
    for (unsigned char c : text)
        if ((c < 0x20 && c != '\n') || c == 0x7F) return false;
    return text == shown_text(text, true);
}

// Every C0 control byte and DEL, in a title, a description and a file name,
// shows as "?" in the report; the file keeps the byte.
TEST_F(AssessCli, ControlBytesOfTitlesDescriptionsAndNamesShowAsQuestionMarks) {
    for (int byte = 1; byte < 0x80; byte = byte == 0x1F ? 0x7F : byte + 1) {
        const char b = static_cast<char>(byte);
        SCOPED_TRACE("byte " + std::to_string(byte));
        Partition p;
        copy_bounded(p.title, (std::string("T") + b + "T").c_str(), TITLE_SIZE);
        copy_bounded(p.layers[0].description, (std::string("D") + b + "D").c_str(),
                     DESCRIPTION_SIZE);
        const std::string name = path("n") + (byte == '/' ? 'x' : b) + "n.PAR";
        ASSERT_EQ(write_data_file(p, name.c_str()), 0);
        const Outcome r = run({"--lang", "en", name, path("climate.csv")});
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_TRUE(terminal_safe(r.out));
        EXPECT_NE(r.out.find("Title: T?T\n"), std::string::npos) << r.out;
        EXPECT_NE(r.out.find("D?D"), std::string::npos);
        EXPECT_NE(r.out.find("Data file: " + path("n?n.PAR") + "\n"), std::string::npos);
        fs::remove(name);
    }
}

// A title that fills its 81 bytes with no NUL shows its 80 characters, as in
// the partition's report, and nothing of the bytes behind it.
TEST_F(AssessCli, ATitleWithoutItsNulEndsWithItsField) {
    Partition p;
    std::memset(p.title, 'X', TITLE_SIZE);
    copy_bounded(p.layers[0].description, "behind the title", DESCRIPTION_SIZE);
    ASSERT_EQ(write_data_file(p, path("full.PAR").c_str()), 0);
    const Outcome r = run({"--lang", "en", path("full.PAR"), path("climate.csv")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Title: " + std::string(TITLE_SIZE - 1, 'X') + "\n"), std::string::npos)
        << r.out;
}

// Names and keys from outside are shown in messages as in reports.
TEST_F(AssessCli, MessagesOnStandardErrorShowControlsAndInvalidUtf8AsQuestionMarks) {
    const std::string missing = path("\x1b[2J\r\xff.json");
    const Outcome none = run({"--lang", "en", missing});
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.err, path("?[2J??.json") + ": cannot be opened\n");

    Partition p;
    Climate climate;
    ASSERT_NO_FATAL_FAILURE(read_tight(p, climate));
    std::string error;
    ASSERT_TRUE(write_project_file(path("wall.json").c_str(), p, climate, {}, error)) << error;
    auto j = nlohmann::ordered_json::parse(slurp(dir / "wall.json"));
    j["partition"]["kept"]["\x07\x1b]0;owned\x07"] = "00";
    put(dir / "keyed.json", j.dump(1));
    const Outcome keyed = run({"--lang", "en", path("keyed.json")});
    EXPECT_EQ(keyed.status, 2);
    EXPECT_EQ(keyed.err, path("keyed.json") + ": partition.kept.??]0;owned?: unknown key\n");
    EXPECT_TRUE(terminal_safe(keyed.err));

    const Outcome usage = run({"--bogus\x1b[5m"});
    EXPECT_EQ(usage.status, 64);
    EXPECT_EQ(usage.err.rfind("parieta-assess: unknown option: --bogus?[5m\n", 0), 0u) << usage.err;

    const std::string convert = std::string(PARIETA_CONVERT) + " '" + path("keyed.json") + "' '" +
                                path("out.PAR") + "' 2>'" + path("convert.err") + "'";
    EXPECT_NE(std::system(convert.c_str()), 0);
    const std::string converted = slurp(dir / "convert.err");
    EXPECT_TRUE(terminal_safe(converted)) << converted;
    EXPECT_NE(converted.find("partition.kept.??]0;owned?: unknown key"), std::string::npos);
}

}  // namespace
