#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "core/Quil_c.h"

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();

struct LimitCase {
    const char* name;
    FieldId id;
    int calc_mode;
    int wall_type;
    const char* text;
    CheckKind kind;
    double low;  // checked for flagged outcomes
    double high;
};

class Limits : public testing::TestWithParam<LimitCase> {};

TEST_P(Limits, ClassifiesAndStores) {
    const LimitCase& c = GetParam();
    for (char sep : {'.', ','}) {
        SCOPED_TRACE(sep);
        Partition p;
        p.calc_mode = static_cast<std::int16_t>(c.calc_mode);
        p.wall_type = static_cast<std::int16_t>(c.wall_type);
        std::string text = c.text;
        for (char& ch : text) {
            if (ch == '.') ch = sep;
        }
        FieldCheck out;
        check_field(p, c.id, text.c_str(), out, 1, sep);
        EXPECT_EQ(out.kind, c.kind);
        EXPECT_EQ(out.error, c.kind == CHECK_LIMIT || c.kind == CHECK_INVALID);
        EXPECT_EQ(out.flagged, c.kind == CHECK_LIMIT || c.kind == CHECK_SUSPECT);
        if (out.flagged) {
            EXPECT_DOUBLE_EQ(out.low, c.low);
            EXPECT_DOUBLE_EQ(out.high, c.high);
        }
        // Classifying the stored value gives the same answer as typing it.
        if (c.kind != CHECK_INVALID) {
            FieldCheck again;
            EXPECT_FALSE(check_field(p, c.id, nullptr, again, 1, sep));
            EXPECT_EQ(again.kind, c.kind);
        }
    }
}

// The default layers make S = 0.33 for the radius.
const LimitCase kLimitCases[] = {
    {"ext_temp_lowest", FLD_TEMP_EXT, 1, 0, "-40", CHECK_OK, 0, 0},
    {"ext_temp_below_table", FLD_TEMP_EXT, 1, 0, "-40.001", CHECK_LIMIT, -40, 55},
    {"ext_temp_too_hot", FLD_TEMP_EXT, 1, 0, "55.5", CHECK_LIMIT, -40, 55},
    {"int_temp_150_thermal", FLD_TEMP_INT, 0, 0, "150", CHECK_OK, 0, 0},
    {"int_temp_150_dampness", FLD_TEMP_INT, 1, 0, "150", CHECK_LIMIT, -5, 100},
    {"int_temp_500_thermal", FLD_TEMP_INT, 0, 0, "500", CHECK_OK, 0, 0},
    {"int_temp_501_thermal", FLD_TEMP_INT, 0, 0, "501", CHECK_LIMIT, -5, 500},
    {"int_temp_too_cold", FLD_TEMP_INT, 1, 0, "-5.1", CHECK_LIMIT, -5, 100},
    {"res_ext_zero", FLD_RES_EXT, 1, 0, "0", CHECK_OK, 0, 0},
    {"res_ext_negative", FLD_RES_EXT, 1, 0, "-0.01", CHECK_LIMIT, 0, 0.2},
    {"res_int_too_high", FLD_RES_INT, 1, 0, "0.21", CHECK_LIMIT, 0, 0.2},
    {"hum_ext_dry", FLD_HUM_EXT, 1, 0, "29", CHECK_LIMIT, 30, 99},
    {"hum_int_saturated", FLD_HUM_INT, 1, 0, "100", CHECK_LIMIT, 30, 99},
    {"hum_int_highest", FLD_HUM_INT, 1, 0, "99", CHECK_OK, 0, 0},
    {"diff_ext_too_high", FLD_DIFF_EXT, 1, 0, "0.41", CHECK_LIMIT, 0, 0.4},
    {"diff_int_highest", FLD_DIFF_INT, 1, 0, "0.4", CHECK_OK, 0, 0},
    {"radius_default", FLD_RADIUS, 1, 1, "1.5", CHECK_OK, 0, 0},
    {"radius_tight", FLD_RADIUS, 1, 1, "0.35", CHECK_SUSPECT, 0.396, 30},
    {"radius_below_wall", FLD_RADIUS, 1, 1, "0.34", CHECK_LIMIT, 0.3465, 500},
    {"radius_nearly_flat", FLD_RADIUS, 1, 1, "31", CHECK_SUSPECT, 0.396, 30},
    {"radius_too_large", FLD_RADIUS, 1, 1, "501", CHECK_LIMIT, 0.3465, 500},
    {"thickness_thin_film", FLD_THICKNESS, 1, 0, "0.00001", CHECK_OK, 0, 0},
    {"thickness_thick", FLD_THICKNESS, 1, 0, "1.5", CHECK_SUSPECT, 0.00001, 1},
    {"thickness_zero", FLD_THICKNESS, 1, 0, "0", CHECK_LIMIT, 0.00001, 2},
    {"thickness_too_thick", FLD_THICKNESS, 1, 0, "2.5", CHECK_LIMIT, 0.00001, 2},
    {"lambda_lowest", FLD_LAMBDA, 1, 0, "0.02", CHECK_OK, 0, 0},
    {"lambda_highest", FLD_LAMBDA, 1, 0, "3", CHECK_OK, 0, 0},
    {"lambda_foam", FLD_LAMBDA, 1, 0, "0.019", CHECK_LIMIT, 0.02, 3},
    {"delta_barrier", FLD_DELTA, 1, 0, "0.00000001", CHECK_OK, 0, 0},
    {"delta_zero", FLD_DELTA, 1, 0, "0", CHECK_LIMIT, 0.00000001, 3},
    {"letters", FLD_LAMBDA, 1, 0, "abc", CHECK_INVALID, 0, 0},
    {"empty", FLD_TEMP_EXT, 1, 0, "", CHECK_INVALID, 0, 0},
    {"nan_text", FLD_TEMP_EXT, 1, 0, "nan", CHECK_INVALID, 0, 0},
    {"inf_text", FLD_RADIUS, 1, 1, "inf", CHECK_INVALID, 0, 0},
    {"overflow", FLD_RADIUS, 1, 1, "1e999", CHECK_INVALID, 0, 0},
};

INSTANTIATE_TEST_SUITE_P(Fields, Limits, testing::ValuesIn(kLimitCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

TEST(RangeCheck, BoundsPassNaNFails) {
    RangeCheck c;
    c.min = 1;
    c.max = 2;
    EXPECT_EQ(range_check(c, 1).kind, CHECK_OK);
    EXPECT_EQ(range_check(c, 2).kind, CHECK_OK);
    EXPECT_EQ(range_check(c, NaN).kind, CHECK_LIMIT);
    EXPECT_EQ(range_check(c, Inf).kind, CHECK_LIMIT);
    EXPECT_EQ(range_check(c, -Inf).kind, CHECK_LIMIT);

    // The total-thickness warning: suspect range only.
    RangeCheck total;
    total.check_limits = 0;
    total.check_suspect = 1;
    total.suspect_low = 0.01;
    total.suspect_high = 2;
    EXPECT_EQ(range_check(total, 0.33).kind, CHECK_OK);
    const FieldCheck thick = range_check(total, 2.1);
    EXPECT_EQ(thick.kind, CHECK_SUSPECT);
    EXPECT_EQ(thick.error, 0);
    EXPECT_EQ(thick.flagged, 1);
    EXPECT_EQ(thick.low, 0.01);
    EXPECT_EQ(thick.high, 2.0);
    EXPECT_EQ(range_check(total, NaN).kind, CHECK_SUSPECT);
}

TEST(CheckField, TypingTheStoredValueIsNoChange) {
    Partition p;
    FieldCheck out;
    EXPECT_FALSE(check_field(p, FLD_TEMP_INT, "20", out, 0, '.'));
    EXPECT_FALSE(check_field(p, FLD_THICKNESS, "0,015", out, 0, ','));
    EXPECT_FALSE(check_field(p, FLD_TEMP_INT, "2e1", out, 0, '.'));
    EXPECT_EQ(p.modified, 0);

    EXPECT_TRUE(check_field(p, FLD_THICKNESS, "0,02", out, 0, ','));
    EXPECT_EQ(p.layers[0].thickness, 0.02);
    EXPECT_EQ(p.modified, 1);
}

TEST(CheckField, OutOfLimitsIsStoredButBlocksValidation) {
    Partition p;
    FieldCheck out;
    EXPECT_TRUE(check_field(p, FLD_THICKNESS, "2.5", out, 3, '.'));
    EXPECT_EQ(out.kind, CHECK_LIMIT);
    EXPECT_EQ(p.layers[3].thickness, 2.5);
    EXPECT_FALSE(validate_partition(p));
}

TEST(CheckField, TextThatIsNotANumberKeepsTheValue) {
    for (const char* bad : {"abc", "", "0,040", "1.2.3", "--1"}) {
        SCOPED_TRACE(bad);
        Partition p;
        FieldCheck out;
        EXPECT_TRUE(check_field(p, FLD_LAMBDA, bad, out, 0, '.'));
        EXPECT_EQ(out.kind, CHECK_INVALID);
        EXPECT_EQ(out.error, 1);
        EXPECT_EQ(out.flagged, 0);
        EXPECT_EQ(p.modified, 1);
        EXPECT_EQ(p.layers[0].lambda, 1.0);
        EXPECT_TRUE(validate_partition(p));
    }
}

TEST(CheckField, NoFieldOrNoLayerDoesNothing) {
    for (int index : {-1, 4, 11, 1000}) {
        Partition p;
        const Partition before = p;
        FieldCheck out;
        out.kind = CHECK_LIMIT;
        EXPECT_FALSE(check_field(p, FLD_DELTA, "0.5", out, index, '.'));
        EXPECT_EQ(out.kind, CHECK_OK);
        EXPECT_EQ(std::memcmp(&p, &before, sizeof(PartitionInput)), 0);
        EXPECT_EQ(p.modified, 0);
    }
    Partition p;
    p.layer_count = 500;  // from a file
    FieldCheck out;
    EXPECT_FALSE(check_field(p, FLD_THICKNESS, "0.5", out, 11, '.'));
    EXPECT_TRUE(check_field(p, FLD_THICKNESS, "0.5", out, 10, '.'));
    EXPECT_FALSE(check_field(p, static_cast<FieldId>(9), "0.5", out, 0, '.'));
    EXPECT_FALSE(check_field(p, static_cast<FieldId>(200), "0.5", out, 0, '.'));
}

TEST(CheckField, TypedNumberReplacesAStoredNaN) {
    Partition p;
    p.temp_ext = NaN;
    FieldCheck out;
    check_field(p, FLD_TEMP_EXT, nullptr, out, 0, '.');
    EXPECT_EQ(out.kind, CHECK_LIMIT);
    EXPECT_TRUE(check_field(p, FLD_TEMP_EXT, "-5", out, 0, '.'));
    EXPECT_EQ(p.temp_ext, -5.0);
    EXPECT_EQ(out.kind, CHECK_OK);
}

TEST(Validate, RefusesTheFirstHardError) {
    struct Case {
        const char* name;
        void (*spoil)(Partition&);
        bool valid;
    };
    const Case cases[] = {
        {"defaults", [](Partition&) {}, true},
        {"no layers", [](Partition& p) { p.layer_count = 0; }, false},
        {"twelve layers", [](Partition& p) { p.layer_count = 12; }, false},
        {"eleven layers", [](Partition& p) { p.layer_count = 11; }, true},
        {"wall type 2", [](Partition& p) { p.wall_type = 2; }, false},
        {"mode -1", [](Partition& p) { p.calc_mode = -1; }, false},
        {"NaN temperature", [](Partition& p) { p.temp_int = NaN; }, false},
        {"infinite resistance", [](Partition& p) { p.res_ext = Inf; }, false},
        {"NaN humidity, dampness", [](Partition& p) { p.hum_ext = NaN; }, false},
        {"NaN humidity, thermal",
         [](Partition& p) {
             p.calc_mode = 0;
             p.hum_ext = NaN;
         },
         true},
        {"humidity 20, thermal",
         [](Partition& p) {
             p.calc_mode = 0;
             p.hum_int = 20;
         },
         true},
        {"humidity 20, dampness", [](Partition& p) { p.hum_int = 20; }, false},
        {"NaN thickness", [](Partition& p) { p.layers[2].thickness = NaN; }, false},
        {"-inf lambda", [](Partition& p) { p.layers[3].lambda = -Inf; }, false},
        {"zero Delta, thermal",
         [](Partition& p) {
             p.calc_mode = 0;
             p.layers[0].delta = 0;
         },
         true},
        {"zero Delta, dampness", [](Partition& p) { p.layers[0].delta = 0; }, false},
        {"bad unused slot", [](Partition& p) { p.layers[4].thickness = NaN; }, true},
        {"suspect thickness", [](Partition& p) { p.layers[0].thickness = 1.5; }, true},
        {"NaN radius, straight", [](Partition& p) { p.radius = NaN; }, true},
        {"NaN radius, curved",
         [](Partition& p) {
             p.wall_type = 1;
             p.radius = NaN;
         },
         false},
        {"radius inside the wall",
         [](Partition& p) {
             p.wall_type = 1;
             p.radius = 0.3;
         },
         false},
    };
    for (const Case& c : cases) {
        Partition p;
        c.spoil(p);
        EXPECT_EQ(validate_partition(p), c.valid) << c.name;
        EXPECT_EQ(p.modified, 0) << c.name;
    }
}

TEST(Validate, CutsUnterminatedTextsOfAFile) {
    Partition p;
    std::memset(p.title, 'T', TITLE_SIZE);
    for (int i = 0; i < MAX_LAYERS; ++i) {
        std::memset(p.layers[i].description, 'D', DESCRIPTION_SIZE);
    }
    ASSERT_TRUE(validate_partition(p));
    EXPECT_EQ(std::string(p.title), std::string(80, 'T'));
    EXPECT_EQ(std::string(p.layers[3].description), std::string(36, 'D'));
    EXPECT_EQ(p.layers[4].description[36], 'D');  // slots not in use are carried as they are
}
