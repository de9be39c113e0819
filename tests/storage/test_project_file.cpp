#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>
#include <nlohmann/json.hpp>
#include <random>
#include <string>
#include <vector>

#include "core/Quil_c.h"
#include "storage/datafile.h"
#include "storage/project_file.h"
#include "tests/support/cp1250.h"
#include "tests/support/temp_dir.h"

namespace {

using Json = nlohmann::ordered_json;
using Bytes = std::vector<std::uint8_t>;

Bytes data_file(const PartitionInput& r) {
    Bytes b(DATA_FILE_SIZE);
    encode_data_file(r, b.data());
    return b;
}

Project project_of(const PartitionInput& r) {
    Project p;
    static_cast<PartitionInput&>(p.partition) = r;
    return p;
}

// The text's bytes into a record buffer, zero after them (no NUL added).
void put(char* dst, std::size_t n, const std::string& bytes) {
    std::memset(dst, 0, n);
    std::memcpy(dst, bytes.data(), std::min(n, bytes.size()));
}

void fill(void* dst, std::size_t n, std::uint8_t first) {
    auto* b = static_cast<std::uint8_t*>(dst);
    for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>(first + 37 * i);
}

bool defined_cp1250(unsigned byte) {
    return byte != 0 && byte != 0x81 && byte != 0x83 && byte != 0x88 && byte != 0x90 &&
           byte != 0x98;
}

// The data file's bytes after a trip through the project file.
Bytes through_json(const PartitionInput& r, std::string* json = nullptr) {
    std::string text, error;
    EXPECT_TRUE(format_project(project_of(r), text, error)) << error;
    Project back;
    EXPECT_TRUE(parse_project(text, back, error)) << error << "\n" << text;
    EXPECT_EQ(back.partition.modified, 0);
    std::string again;
    EXPECT_TRUE(format_project(back, again, error)) << error;
    EXPECT_EQ(again, text) << "a second trip writes other text";
    if (json) *json = text;
    return data_file(back.partition);
}

struct RoundTrip {
    const char* name;
    std::function<void(Partition&)> edit;
};

const RoundTrip ROUND_TRIPS[] = {
    {"default record", [](Partition&) {}},
    {"lower limits, dampness",
     [](Partition& p) {
         p.temp_int = -5.0;
         p.temp_ext = -40.0;
         p.hum_int = p.hum_ext = 30.0;
         p.res_int = p.res_ext = 0.0;
         p.diff_int = p.diff_ext = 0.0;
         for (Layer& l : p.layers) {
             l.thickness = 0.00001;
             l.lambda = 0.02;
             l.delta = 0.00000001;
         }
     }},
    {"upper limits, thermal",
     [](Partition& p) {
         p.calc_mode = 0;
         p.temp_int = 500.0;
         p.temp_ext = 55.0;
         p.hum_int = p.hum_ext = 99.0;
         p.res_int = p.res_ext = 0.2;
         p.diff_int = p.diff_ext = 0.4;
         for (Layer& l : p.layers) {
             l.thickness = 2.0;
             l.lambda = 3.0;
             l.delta = 3.0;
         }
     }},
    {"eleven layers, curved, full descriptions",
     [](Partition& p) {
         p.layer_count = 11;
         p.wall_type = 1;
         p.radius = 500.0;
         for (int i = 0; i < MAX_LAYERS; ++i) {
             put(p.layers[i].description, DESCRIPTION_SIZE, std::string(36, char('A' + i)));
             p.layers[i].thickness = 0.01 * (i + 1);
             p.layers[i].lambda = 0.04 + i / 7.0;
             p.layers[i].delta = 0.001 * (i + 3);
         }
     }},
    {"Polish title and descriptions",
     [](Partition& p) {
         std::string title = w1250("Ściana zewnętrzna — ŻÓŁĆ, źdźbło, gęś «żółw»");
         title.resize(80, w1250("ą")[0]);
         put(p.title, TITLE_SIZE, title);
         put(p.layers[0].description, DESCRIPTION_SIZE, w1250("Tynk cementowo-wapienny"));
         put(p.layers[1].description, DESCRIPTION_SIZE, w1250("Wełna mineralna, 15 cm"));
     }},
    {"every Windows-1250 character",
     [](Partition& p) {
         p.layer_count = 11;
         std::string all;
         for (unsigned b = 1; b < 256; ++b)
             if (defined_cp1250(b)) all += static_cast<char>(b);
         put(p.title, TITLE_SIZE, all.substr(0, 80));
         for (int i = 0; i < MAX_LAYERS; ++i) {
             const std::size_t from = 80 + 36 * static_cast<std::size_t>(i);
             put(p.layers[i].description, DESCRIPTION_SIZE,
                 from < all.size() ? all.substr(from, 36) : "");
         }
     }},
    {"bytes after the NULs and in the padding",
     [](Partition& p) {
         put(p.title, TITLE_SIZE, "abc");
         fill(p.title + 4, TITLE_SIZE - 4, 0x81);  // up to byte 80
         fill(p.padding0, sizeof p.padding0, 1);
         fill(p.padding1, sizeof p.padding1, 0xF0);
         for (int i = 0; i < 4; ++i) {
             put(p.layers[i].description, DESCRIPTION_SIZE, "x");
             p.layers[i].description[2 + i] = '\x98';
             fill(p.layers[i].padding, sizeof p.layers[i].padding, static_cast<std::uint8_t>(i));
         }
         p.layers[3].description[DESCRIPTION_SIZE - 1] = 'z';
     }},
    {"unused slots of any bytes",
     [](Partition& p) {
         p.layer_count = 2;
         fill(&p.layers[2], sizeof(Layer), 0x7F);  // no NUL, NaN among the doubles
         p.layers[5].thickness = std::numeric_limits<double>::quiet_NaN();
         p.layers[6].lambda = -std::numeric_limits<double>::infinity();
         fill(&p.layers[10], sizeof(Layer), 0xFF);
     }},
    {"input outside its limits",
     [](Partition& p) {
         p.wall_type = 1;
         p.radius = 0.01;
         p.temp_int = 150.0;
         p.hum_int = -7.0;
         p.layers[1].thickness = 3.0;
         p.layers[2].lambda = -1.0;
         p.layers[3].delta = 0.0;
     }},
    {"awkward doubles",
     [](Partition& p) {
         p.temp_int = -0.0;
         p.temp_ext = std::numeric_limits<double>::denorm_min();
         p.hum_int = std::numeric_limits<double>::max();
         p.hum_ext = -std::numeric_limits<double>::max();
         p.res_int = 0.1 + 0.2;
         p.res_ext = 1e-300;
         p.diff_int = 9007199254740993.0;
         p.diff_ext = 123456789012345678.0;
         p.radius = std::nextafter(1.5, 2.0);
     }},
};

TEST(ProjectFile, DataFileToProjectAndBackKeepsEveryByte) {
    for (const RoundTrip& c : ROUND_TRIPS) {
        SCOPED_TRACE(c.name);
        Partition p;
        c.edit(p);
        EXPECT_EQ(through_json(p), data_file(p));
    }
}

TEST(ProjectFile, RandomRecordsKeepEveryByte) {
    std::mt19937_64 rng(17);
    auto finite_double = [&] {
        for (;;) {
            const std::uint64_t bits = rng();
            double d;
            std::memcpy(&d, &bits, sizeof d);
            if (std::isfinite(d)) return rng() % 2 ? d : static_cast<double>(rng() % 100000) / 1000;
        }
    };
    auto text = [&](char* buffer, std::size_t size) {
        std::memset(buffer, 0, size);
        const std::size_t length = rng() % size;
        for (std::size_t i = 0; i < length; ++i) {
            unsigned b;
            do b = static_cast<unsigned>(rng() % 256);
            while (!defined_cp1250(b));
            buffer[i] = static_cast<char>(b);
        }
        for (std::size_t i = length + 1; i < size; ++i)
            if (rng() % 4 == 0) buffer[i] = static_cast<char>(rng());
    };
    for (int n = 0; n < 500; ++n) {
        Partition p;
        auto* raw = reinterpret_cast<std::uint8_t*>(static_cast<PartitionInput*>(&p));
        for (std::size_t i = 0; i < PAYLOAD_SIZE; ++i) raw[i] = static_cast<std::uint8_t>(rng());
        p.layer_count = static_cast<std::int16_t>(1 + rng() % MAX_LAYERS);
        p.calc_mode = static_cast<std::int16_t>(rng() % 2);
        p.wall_type = static_cast<std::int16_t>(rng() % 2);
        for (double* d : {&p.temp_int, &p.temp_ext, &p.hum_int, &p.hum_ext, &p.res_int, &p.res_ext,
                          &p.diff_int, &p.diff_ext, &p.radius}) {
            *d = finite_double();
        }
        text(p.title, TITLE_SIZE);
        for (int i = 0; i < p.layer_count; ++i) {
            text(p.layers[i].description, DESCRIPTION_SIZE);
            p.layers[i].thickness = finite_double();
            p.layers[i].lambda = finite_double();
            p.layers[i].delta = finite_double();
        }
        ASSERT_EQ(through_json(p), data_file(p)) << "record " << n;
    }
}

TEST(ProjectFile, ReadableTextsNumbersAndNothingKeptForTheDefault) {
    Partition p;
    put(p.title, TITLE_SIZE, w1250("Ściana — żółć"));
    put(p.layers[1].description, DESCRIPTION_SIZE, w1250("Wełna"));
    std::string text;
    through_json(p, &text);
    const Json j = Json::parse(text);
    EXPECT_EQ(j["format"], "parieta-project");
    EXPECT_EQ(j["version"], 1);
    EXPECT_EQ(j["partition"]["title"], "Ściana — żółć");
    EXPECT_EQ(j["partition"]["layers"][1]["description"], "Wełna");
    EXPECT_EQ(j["partition"]["layers"].size(), 4u);
    EXPECT_EQ(j["partition"]["temp_int"].get<double>(), 20.0);
    EXPECT_FALSE(j["partition"].contains("kept"));
    EXPECT_FALSE(j["partition"]["layers"][1].contains("kept"));
    EXPECT_TRUE(j["climate"].is_null());
    EXPECT_EQ(j["assessment"]["kind"], "none");
    EXPECT_NE(text.find("\"temp_ext\": -5.0,"), std::string::npos) << text;
}

// --- project files that are refused -----------------------------------------

Project valid_project() {
    Project p;
    p.has_climate = true;
    for (int m = 0; m < MONTHS; ++m) {
        p.climate.months[m] = {-5.0 + 2 * m, 85.0 - m, 20.0, 50.0 + m};
    }
    p.settings.kind = PartitionKind::ExternalWall;
    return p;
}

std::string valid_text() {
    std::string text, error;
    EXPECT_TRUE(format_project(valid_project(), text, error)) << error;
    return text;
}

std::string edited(const std::function<void(Json&)>& edit) {
    Json j = Json::parse(valid_text());
    edit(j);
    return j.dump(1);
}

// Unlike anything a read could produce, to see that a refusal changes nothing.
Project sentinel() {
    Project p;
    p.partition.temp_int = 33.25;
    p.partition.modified = 1;
    p.partition.k = 4.5;
    p.climate.humidity_class = 4;
    p.climate.months[3].theta_e = 7.5;
    p.has_climate = true;
    p.settings.kind = PartitionKind::Roof;
    return p;
}

bool same_project(const Project& a, const Project& b) {
    bool same_months = true;
    for (int m = 0; m < MONTHS; ++m) {
        const ClimateMonth &x = a.climate.months[m], &y = b.climate.months[m];
        same_months = same_months && x.theta_e == y.theta_e && x.phi_e == y.phi_e &&
                      x.theta_i == y.theta_i && x.phi_i == y.phi_i;
    }
    return data_file(a.partition) == data_file(b.partition) &&
           a.partition.modified == b.partition.modified && a.partition.k == b.partition.k &&
           same_months && a.climate.humidity_class == b.climate.humidity_class &&
           a.has_climate == b.has_climate && a.settings.kind == b.settings.kind;
}

struct Refused {
    const char* name;
    std::function<std::string()> text;
    std::string message;  // the whole message, or its start when it ends in "..."
};

const std::string KINDS =
    "none, external_wall, roof, floor_over_unheated, floor_on_ground, internal_wall";

const Refused REFUSED[] = {
    {"empty", [] { return std::string(); },
     "not JSON: line 1, column 1: syntax error while parsing value - unexpected end of input; "
     "expected '[', '{', or a literal"},
    {"cut short", [] { return valid_text().substr(0, 60); },
     "not JSON: line 4, column 12: syntax error while parsing object key - ..."},
    {"NaN", [] { return std::string("{\"format\": NaN}"); }, "not JSON: line 1, column 12: ..."},
    {"number too large", [] { return std::string("[1e400]"); }, "not JSON: number overflow ..."},
    {"invalid UTF-8", [] { return std::string("{\"format\": \"\xC3(\"}"); },
     "not JSON: line 1, column 14: ..."},
    {"an array", [] { return std::string("[]"); },
     "not a project file: expected an object, found an array"},
    {"no format", [] { return std::string("{}"); }, "the key \"format\" is missing"},
    {"other format", [] { return edited([](Json& j) { j["format"] = "geojson"; }); },
     "format: not a project file: expected \"parieta-project\", found \"geojson\""},
    {"newer version", [] { return edited([](Json& j) { j["version"] = 2; }); },
     "version: 2 is not a version this program reads (it reads 1)"},
    {"version as text", [] { return edited([](Json& j) { j["version"] = "1"; }); },
     "version: expected a whole number, found a string"},
    {"unknown key", [] { return edited([](Json& j) { j["colour"] = "red"; }); },
     "colour: unknown key"},
    {"no partition", [] { return edited([](Json& j) { j.erase("partition"); }); },
     "the key \"partition\" is missing"},
    {"duplicate key",
     [] {
         std::string t = valid_text();
         return t.replace(t.find("\"temp_ext\""), 0, "\"temp_ext\": 1, ");
     },
     "partition: the key \"temp_ext\" stands twice"},
    {"duplicate key in a layer",
     [] {
         std::string t = valid_text();
         std::size_t at = 0;
         for (int i = 0; i < 3; ++i) at = t.find("\"lambda\"", at + 1);
         return t.replace(at, 0, "\"lambda\": 1, ");
     },
     "partition.layers[2]: the key \"lambda\" stands twice"},
    {"misspelt key",
     [] {
         return edited([](Json& j) {
             j["partition"]["layers"][1].erase("thickness");
             j["partition"]["layers"][1]["thicknes"] = 0.1;
         });
     },
     "partition.layers[1]: the key \"thickness\" is missing"},
    {"layer_count too large",
     [] { return edited([](Json& j) { j["partition"]["layer_count"] = 12; }); },
     "partition.layer_count: 12 is outside 1 to 11"},
    {"layer_count huge",
     [] {
         return edited([](Json& j) { j["partition"]["layer_count"] = 18446744073709551615ULL; });
     },
     "partition.layer_count: 18446744073709551615 is outside 1 to 11"},
    {"layer_count not whole",
     [] { return edited([](Json& j) { j["partition"]["layer_count"] = 4.0; }); },
     "partition.layer_count: expected a whole number, found 4.0"},
    {"wrong count of layers",
     [] { return edited([](Json& j) { j["partition"]["layer_count"] = 3; }); },
     "partition.layers: 4 layers, but layer_count is 3"},
    {"calc_mode 2", [] { return edited([](Json& j) { j["partition"]["calc_mode"] = 2; }); },
     "partition.calc_mode: 2 is outside 0 to 1"},
    {"wall_type negative", [] { return edited([](Json& j) { j["partition"]["wall_type"] = -1; }); },
     "partition.wall_type: -1 is outside 0 to 1"},
    {"number as text",
     [] { return edited([](Json& j) { j["partition"]["layers"][1]["thickness"] = "0.15"; }); },
     "partition.layers[1].thickness: expected a number, found a string"},
    {"null number", [] { return edited([](Json& j) { j["partition"]["temp_int"] = nullptr; }); },
     "partition.temp_int: expected a number, found null"},
    {"boolean number", [] { return edited([](Json& j) { j["partition"]["radius"] = true; }); },
     "partition.radius: expected a number, found true"},
    {"layers not an array",
     [] { return edited([](Json& j) { j["partition"]["layers"] = Json::object(); }); },
     "partition.layers: expected an array, found an object"},
    {"title too long",
     [] { return edited([](Json& j) { j["partition"]["title"] = std::string(81, 'x'); }); },
     "partition.title: longer than 80 characters (81)"},
    {"Polish title too long",
     [] {
         std::string t;
         for (int i = 0; i < 81; ++i) t += "ż";
         return edited([&](Json& j) { j["partition"]["title"] = t; });
     },
     "partition.title: longer than 80 characters (81)"},
    {"description too long",
     [] {
         return edited(
             [](Json& j) { j["partition"]["layers"][3]["description"] = std::string(37, 'd'); });
     },
     "partition.layers[3].description: longer than 36 characters (37)"},
    {"character without a Windows-1250 form",
     [] { return edited([](Json& j) { j["partition"]["title"] = "Señor 😀"; }); },
     "partition.title: the character \"ñ\" (U+00F1) has no Windows-1250 form"},
    {"emoji",
     [] { return edited([](Json& j) { j["partition"]["layers"][0]["description"] = "a😀"; }); },
     "partition.layers[0].description: the character \"😀\" (U+1F600) has no Windows-1250 form"},
    {"NUL in a text",
     [] { return edited([](Json& j) { j["partition"]["title"] = std::string("a\0b", 3); }); },
     "partition.title: a NUL character cannot be kept"},
    {"title tail too long",
     [] {
         return edited([](Json& j) {
             j["partition"]["title"] = "a";
             j["partition"]["kept"]["title_tail"] = std::string(160, '1');
         });
     },
     "partition.kept.title_tail: 80 bytes, where at most 79 fit"},
    {"odd hex",
     [] { return edited([](Json& j) { j["partition"]["kept"]["after_title"] = "abc"; }); },
     "partition.kept.after_title: an odd number of hex digits"},
    {"not hex",
     [] { return edited([](Json& j) { j["partition"]["kept"]["after_wall_type"] = "0g"; }); },
     "partition.kept.after_wall_type: \"0g\" is not a hex byte"},
    {"padding too long",
     [] {
         return edited([](Json& j) {
             j["partition"]["layers"][0]["kept"]["after_description"] = "01020304";
         });
     },
     "partition.layers[0].kept.after_description: 4 bytes, where at most 3 fit"},
    {"unknown kept key",
     [] { return edited([](Json& j) { j["partition"]["kept"]["before_title"] = "00"; }); },
     "partition.kept.before_title: unknown key"},
    {"unused slot in use",
     [] {
         return edited(
             [](Json& j) { j["partition"]["kept"]["unused_slots"]["3"] = std::string(128, '0'); });
     },
     "partition.kept.unused_slots.3: slot 3 is in use (layer_count is 4)"},
    {"unused slot past the last",
     [] {
         return edited(
             [](Json& j) { j["partition"]["kept"]["unused_slots"]["11"] = std::string(128, '0'); });
     },
     "partition.kept.unused_slots.11: not a slot number (0 to 10)"},
    {"unused slot with a leading zero",
     [] {
         return edited(
             [](Json& j) { j["partition"]["kept"]["unused_slots"]["05"] = std::string(128, '0'); });
     },
     "partition.kept.unused_slots.05: not a slot number (0 to 10)"},
    {"unused slot short",
     [] {
         return edited(
             [](Json& j) { j["partition"]["kept"]["unused_slots"]["5"] = std::string(126, '0'); });
     },
     "partition.kept.unused_slots.5: 63 bytes, where 64 fit"},
    {"climate not an object", [] { return edited([](Json& j) { j["climate"] = 3; }); },
     "climate: expected an object, found 3"},
    {"eleven months", [] { return edited([](Json& j) { j["climate"]["months"].erase(11); }); },
     "climate.months: expected 12 months, found 11"},
    {"months out of order",
     [] {
         return edited(
             [](Json& j) { std::swap(j["climate"]["months"][1], j["climate"]["months"][2]); });
     },
     "climate.months[1].month: expected month 2 here: the months stand in calendar order"},
    {"month 13", [] { return edited([](Json& j) { j["climate"]["months"][11]["month"] = 13; }); },
     "climate.months[11].month: 13 is outside 1 to 12"},
    {"theta_e too warm",
     [] { return edited([](Json& j) { j["climate"]["months"][6]["theta_e"] = 60.5; }); },
     "climate.months[6].theta_e: 60.5 is outside -50 to 60 °C"},
    {"theta_i too cold",
     [] { return edited([](Json& j) { j["climate"]["months"][0]["theta_i"] = -51; }); },
     "climate.months[0].theta_i: -51 is outside -50 to 60 °C"},
    {"phi_e zero", [] { return edited([](Json& j) { j["climate"]["months"][2]["phi_e"] = 0; }); },
     "climate.months[2].phi_e: 0 is outside 1 to 100 %"},
    {"phi_i missing",
     [] { return edited([](Json& j) { j["climate"]["months"][4].erase("phi_i"); }); },
     "climate.months[4]: the key \"phi_i\" is missing"},
    {"class and phi_i", [] { return edited([](Json& j) { j["climate"]["humidity_class"] = 3; }); },
     "climate.months[0].phi_i: not used with a humidity class: give one or the other"},
    {"class 6", [] { return edited([](Json& j) { j["climate"]["humidity_class"] = 6; }); },
     "climate.humidity_class: 6 is outside 1 to 5"},
    {"class 0", [] { return edited([](Json& j) { j["climate"]["humidity_class"] = 0; }); },
     "climate.humidity_class: 0 is outside 1 to 5"},
    {"unknown kind", [] { return edited([](Json& j) { j["assessment"]["kind"] = "wall"; }); },
     "assessment.kind: \"wall\" is not a kind of partition (" + KINDS + ")"},
    {"kind as number", [] { return edited([](Json& j) { j["assessment"]["kind"] = 1; }); },
     "assessment.kind: expected a string, found 1"},
    // 65 levels are refused before a parser builds anything from them.
    {"nested 60,000 deep",
     [] { return "{\"a\":" + std::string(60000, '[') + std::string(60000, ']') + ",\"b\":1}"; },
     "not a project file: line 1, column 69: nested deeper than 64 levels"},
    {"nested 65 deep on line 2", [] { return "{\n \"x\": " + std::string(64, '{') + "}"; },
     "not a project file: line 2, column 70: nested deeper than 64 levels"},
    {"131,000 keys",
     [] {
         std::string t = "{";
         for (int i = 0; i < 131000; ++i) t += "\"k" + std::to_string(i) + "\":0,";
         t.back() = '}';
         return t;
     },
     "not a project file: line 1, column 2202: more than 256 keys in one object"},
    {"256 keys, the last one twice",
     [] {
         std::string t = "{\"o\":{";
         for (int i = 0; i < 255; ++i) t += "\"k" + std::to_string(i) + "\":0,";
         return t + "\"k7\":1}}";
     },
     "o: the key \"k7\" stands twice"},
    // Keys are quoted in messages as they are shown: controls as "?".
    {"a key with an escape sequence",
     [] { return edited([](Json& j) { j["\x1b[2J\r\nred\x7f"] = 1; }); },
     "?[2J??red?: unknown key"},
};

TEST(ProjectFile, MalformedOrOutOfLimitFilesAreRefusedWholeWithTheirMessage) {
    for (const Refused& c : REFUSED) {
        SCOPED_TRACE(c.name);
        const std::string text = c.text();
        Project target = sentinel();
        std::string error;
        EXPECT_FALSE(parse_project(text, target, error)) << text;
        if (c.message.size() > 3 && c.message.compare(c.message.size() - 3, 3, "...") == 0)
            EXPECT_EQ(error.substr(0, c.message.size() - 3),
                      c.message.substr(0, c.message.size() - 3))
                << error;
        else
            EXPECT_EQ(error, c.message);
        EXPECT_TRUE(same_project(target, sentinel()));
    }
}

// Only brackets outside strings nest: a title of 80 of them reads.
TEST(ProjectFile, BracketsInTextsAreNoNesting) {
    const std::string title = "\\\"" + std::string(78, '[');
    const std::string text = edited([&](Json& j) { j["partition"]["title"] = title; });
    Project back;
    std::string error;
    ASSERT_TRUE(parse_project(text, back, error)) << error;
    EXPECT_EQ(std::string(back.partition.title), title);
}

TEST(ProjectFile, AcceptsWhatAHandWrittenFileMayLeaveOut) {
    // A byte order mark, integers for numbers, no climate, no assessment, a class.
    Json j = Json::parse(valid_text());
    j.erase("assessment");
    j["partition"]["temp_int"] = 18;
    Project p;
    std::string error;
    ASSERT_TRUE(parse_project("\xEF\xBB\xBF" + j.dump(), p, error)) << error;
    EXPECT_EQ(p.partition.temp_int, 18.0);
    EXPECT_EQ(p.settings.kind, PartitionKind::None);
    EXPECT_TRUE(p.has_climate);
    EXPECT_EQ(p.climate.months[11].phi_e, 74.0);

    j.erase("climate");
    ASSERT_TRUE(parse_project(j.dump(), p, error)) << error;
    EXPECT_FALSE(p.has_climate);

    j["climate"] = Json::parse(valid_text())["climate"];
    j["climate"]["humidity_class"] = 5;
    for (Json& m : j["climate"]["months"]) m.erase("phi_i");
    ASSERT_TRUE(parse_project(j.dump(), p, error)) << error;
    EXPECT_EQ(p.climate.humidity_class, 5);
    EXPECT_EQ(p.climate.months[0].phi_i, 0.0);
    std::string text;
    ASSERT_TRUE(format_project(p, text, error)) << error;
    EXPECT_EQ(nlohmann::json::parse(Json::parse(text)["climate"].dump()),
              nlohmann::json::parse(j["climate"].dump()));
}

// --- records and climates a project file cannot hold ------------------------

struct Unwritable {
    const char* name;
    std::function<void(Project&)> edit;
    std::string message;
};

const Unwritable UNWRITABLE[] = {
    {"no layers", [](Project& p) { p.partition.layer_count = 0; },
     "partition.layer_count: 0 is outside 1 to 11; a project file cannot keep it"},
    {"calc_mode 2", [](Project& p) { p.partition.calc_mode = 2; },
     "partition.calc_mode: 2 is outside 0 to 1; a project file cannot keep it"},
    {"NaN", [](Project& p) { p.partition.hum_int = std::nan(""); },
     "partition.hum_int: not a finite number; a project file cannot keep it"},
    {"infinite thickness",
     [](Project& p) { p.partition.layers[2].thickness = std::numeric_limits<double>::infinity(); },
     "partition.layers[2].thickness: not a finite number; a project file cannot keep it"},
    {"title without an end", [](Project& p) { std::memset(p.partition.title, 'x', TITLE_SIZE); },
     "partition.title: has no end within its 81 bytes; a project file cannot keep it"},
    {"undefined byte",
     [](Project& p) { put(p.partition.layers[1].description, DESCRIPTION_SIZE, "ab\x90"); },
     "partition.layers[1].description: the byte 0x90 is no Windows-1250 character"},
    {"climate of zeros", [](Project& p) { p.climate = Climate{}; },
     "climate.months[0].phi_e: 0 is outside 1 to 100 %"},
    {"climate NaN", [](Project& p) { p.climate.months[5].theta_i = std::nan(""); },
     "climate.months[5].theta_i: nan is outside -50 to 60 °C"},
    {"class 7", [](Project& p) { p.climate.humidity_class = 7; },
     "climate.humidity_class: 7 is outside 0 to 5"},
    {"unknown kind", [](Project& p) { p.settings.kind = static_cast<PartitionKind>(42); },
     "assessment.kind: 42 is not a kind of partition"},
};

TEST(ProjectFile, RefusesToWriteWhatItCouldNotReadBack) {
    for (const Unwritable& c : UNWRITABLE) {
        SCOPED_TRACE(c.name);
        Project p = valid_project();
        c.edit(p);
        std::string text = "untouched", error;
        EXPECT_FALSE(format_project(p, text, error));
        EXPECT_EQ(error, c.message);
        EXPECT_EQ(text, "untouched");
    }
}

// --- files ------------------------------------------------------------------

class ProjectFiles : public TempDirTest {
protected:
    static std::string contents(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static void write(const std::string& path, const std::string& text) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    }
};

TEST_F(ProjectFiles, WrittenAndReadBackWithClimateAndKind) {
    Project in = valid_project();
    in.partition.wall_type = 1;
    in.climate.humidity_class = 3;
    const std::string file = path("wall.json");
    std::string error;
    ASSERT_TRUE(write_project_file(file.c_str(), in.partition, in.climate, in.settings, error))
        << error;

    Project out = sentinel();
    ASSERT_TRUE(read_project_file(file.c_str(), out.partition, out.climate, out.settings, error))
        << error;
    EXPECT_EQ(data_file(out.partition), data_file(in.partition));
    EXPECT_EQ(out.partition.modified, 0);
    EXPECT_EQ(out.partition.k, 4.5) << "results are the caller's to recompute";
    for (int m = 0; m < MONTHS; ++m) {
        EXPECT_EQ(out.climate.months[m].theta_e, in.climate.months[m].theta_e);
        EXPECT_EQ(out.climate.months[m].phi_i, 0.0) << "unused with a class";
    }
    EXPECT_EQ(out.climate.humidity_class, 3);
    EXPECT_EQ(out.settings.kind, PartitionKind::ExternalWall);
}

TEST_F(ProjectFiles, ReadRefusalsLeaveTheTargetAlone) {
    const std::string none = path("none.json"), folder = path("folder.json"),
                      big = path("big.json"), bad = path("bad.json"),
                      no_climate = path("no_climate.json");
    ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    write(big, std::string(PROJECT_FILE_MAX_SIZE + 1, ' '));
    write(bad, edited([](Json& j) { j["climate"]["months"][8]["phi_e"] = 101; }));
    Project p;
    std::string text, error;
    ASSERT_TRUE(format_project(p, text, error));
    write(no_climate, text);

    const struct {
        const std::string& file;
        int status;
        std::string message;
    } cases[] = {
        {none, 1, "cannot be opened"},
        {folder, 1, "cannot be opened"},
        {big, 2, "larger than 1048576 bytes: not a project file"},
        {bad, 2, "climate.months[8].phi_e: 101 is outside 1 to 100 %"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        Project target = sentinel();
        EXPECT_EQ(read_project(c.file.c_str(), target, error), c.status);
        EXPECT_EQ(error, c.message);
        EXPECT_TRUE(same_project(target, sentinel()));
        EXPECT_FALSE(read_project_file(c.file.c_str(), target.partition, target.climate,
                                       target.settings, error));
        EXPECT_TRUE(same_project(target, sentinel()));
    }

    // Readable, but without the climate an assessment needs.
    Project target = sentinel();
    EXPECT_EQ(read_project(no_climate.c_str(), target, error), 0);
    EXPECT_FALSE(target.has_climate);
    target = sentinel();
    EXPECT_FALSE(read_project_file(no_climate.c_str(), target.partition, target.climate,
                                   target.settings, error));
    EXPECT_EQ(error, "climate: null; this project holds no climate yet");
    EXPECT_TRUE(same_project(target, sentinel()));
}

TEST_F(ProjectFiles, AFailedWriteKeepsThePreviousFile) {
    const std::string file = path("wall.json");
    write(file, "previous");
    Project p = valid_project();
    p.partition.temp_ext = std::nan("");
    std::string error;
    EXPECT_EQ(write_project(file.c_str(), p, error), 2);
    EXPECT_EQ(contents(file), "previous");

    const std::string missing = path("no/such/folder/wall.json");
    EXPECT_EQ(write_project(missing.c_str(), valid_project(), error), 1);
    EXPECT_EQ(error, "cannot be written");
    EXPECT_NE(::access(path("no").c_str(), F_OK), 0);
}

// The README's example is a project file this program reads.
TEST(ProjectFile, TheReadmeExampleReads) {
    std::ifstream in(std::string(PARIETA_TEST_DATA) + "/../../README.md");
    const std::string readme((std::istreambuf_iterator<char>(in)), {});
    const std::size_t section = readme.find("## The project file");
    ASSERT_NE(section, std::string::npos);
    const std::size_t start = readme.find("```json\n", section);
    ASSERT_NE(start, std::string::npos);
    const std::size_t end = readme.find("```", start + 8);
    const std::string example = readme.substr(start + 8, end - start - 8);
    Project p;
    std::string error;
    ASSERT_TRUE(parse_project(example, p, error)) << error;
    EXPECT_TRUE(p.has_climate);
    EXPECT_TRUE(validate_partition(p.partition));
}

}  // namespace

TEST(ProjectSniff, TheFormatKeyDecidesNotTheName) {
    const struct {
        const char* head;
        bool project;
    } cases[] = {
        {"{\n  \"format\": \"parieta-project\",\n  \"version\": 1", true},
        {"\xEF\xBB\xBF  {\"format\":\"parieta-project\"}", true},
        {"{\"format\": \"parieta-projects\"}", false},
        {"{\"title\": \"format\", \"x\": 1}", false},
        {"[\"format\", \"parieta-project\"]", false},
        {"PARIETA\x01\x00", false},
        {"", false},
    };
    for (const auto& c : cases) EXPECT_EQ(looks_like_project_text(c.head), c.project) << c.head;
}
