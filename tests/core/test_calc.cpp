#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

#include "core/Quil_c.h"

namespace {

constexpr double kTol = 5e-8;  // the worked values are given to 7 decimals

void expect_planes(const double* got, const std::vector<double>& want) {
    for (std::size_t j = 0; j < want.size(); ++j) EXPECT_NEAR(got[j], want[j], kTol) << j;
}

Partition curved_default() {
    Partition p;
    p.wall_type = 1;
    p.radius = 1.5;
    return p;
}

}  // namespace

TEST(Calc, DefaultStraightWall) {
    Partition p;
    ASSERT_TRUE(calculate_partition(p));
    EXPECT_NEAR(p.k, 0.8391608, kTol);
    EXPECT_NEAR(1.0 / p.k, 1.1916667, kTol);
    expect_planes(p.temp, {-4.1608392, -3.8461538, 6.6433566, 17.1328671, 17.4825175});
    EXPECT_EQ(p.temp_min, -5.0);
    EXPECT_EQ(p.temp_span, 25.0);
    expect_planes(p.press_sat, {4.3120979, 4.4284615, 9.7774825, 19.5400699, 19.9876224});
    expect_planes(p.press_real, {3.4085, 3.6098085, 7.6359787, 11.6621489, 12.87});
    EXPECT_NEAR(p.press_min, 3.4085, kTol);
    EXPECT_NEAR(p.press_span, 16.5791224, kTol);
    EXPECT_EQ(p.press_real[0], 4.01 * (85.0 * 0.01));  // no external diffusive resistance
    EXPECT_EQ(p.modified, 0);
}

TEST(Calc, DefaultCurvedWall) {
    // Worked by hand from R * ln(r_o / r_in) / Lambda: 0.0150755, 0.5324174, 0.5959426,
    // 0.0212317, internal film 0.12 * 1.5 / 1.17 = 0.1538462; total 1.3585134.
    Partition p = curved_default();
    ASSERT_TRUE(calculate_partition(p));
    EXPECT_NEAR(p.k, 0.7360988, kTol);
    expect_planes(p.temp, {-4.2639012, -3.9864747, 5.8113200, 16.7781350, 17.1688509});
    expect_planes(p.press_real, {3.4085, 3.5853059, 7.3318291, 11.5253673, 12.87});
}

// Coaxial cylinders, every resistance per square metre of the external surface: a layer
// from r_o to r_in gives R * ln(r_o / r_in) / coef, the internal film inner * R / r_n.
TEST(Calc, CylinderCasesReferToTheExternalSurface) {
    struct Case {
        const char* name;
        double radius;
        std::vector<std::pair<double, double>> layers;  // thickness, coefficient
        double outer, inner, value_outer, value_inner;
        double total;
        std::vector<double> values;
    };
    const Case cases[] = {
        {"pipe insulation 0.05-0.07 m, surfaces 20 and 100 (104.6 W/m)", 0.07, {{0.02, 0.07}},
         0, 0, 20, 100, 2.9720134, {20, 100}},
        {"one layer with films", 0.07, {{0.02, 0.07}}, 0.04, 0.12, 20, 100, 1.8366409,
         {25.8772510, 75.3155458}},
        {"two layers with films", 0.1, {{0.02, 0.04}, {0.03, 0.5}}, 0.04, 0.13, -10, 20,
         1.0505751, {-8.7393099, 8.8428695, 11.8055142}},
        {"vapour: two layers with diffusive resistances", 0.1, {{0.02, 0.04}, {0.03, 0.5}},
         0.5, 2.0, 300, 1200, 0.1941047, {387.3471008, 484.8018121, 501.2231938}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Partition p;
        p.wall_type = 1;
        p.radius = c.radius;
        p.layer_count = static_cast<int>(c.layers.size());
        double coef[MAX_LAYERS];
        for (std::size_t i = 0; i < c.layers.size(); ++i) {
            p.layers[i].thickness = c.layers[i].first;
            coef[i] = c.layers[i].second;
        }
        double total, values[MAX_PLANES];
        series_distribution(p, c.outer, c.inner, c.value_outer, c.value_inner, coef, total,
                            values);
        EXPECT_NEAR(total, c.total, kTol);
        expect_planes(values, c.values);
    }
    // The first case as a whole record: q' = k * 2 pi * radius * (100 - 20).
    Partition pipe;
    pipe.wall_type = 1;
    pipe.radius = 0.07;
    pipe.layer_count = 1;
    pipe.layers[0] = {};
    pipe.layers[0].thickness = 0.02;
    pipe.layers[0].lambda = 0.07;
    pipe.layers[0].delta = 0.01;
    pipe.calc_mode = 0;
    pipe.res_ext = pipe.res_int = 0;
    pipe.temp_ext = 20;
    pipe.temp_int = 100;
    ASSERT_TRUE(calculate_partition(pipe));
    EXPECT_NEAR(pipe.k * 2 * M_PI * 0.07 * 80, 104.6, 0.05);
}

TEST(Calc, StraightWallIsTheLimitOfAWideCurve) {
    Partition straight;
    Partition curved = curved_default();
    curved.radius = 500;
    ASSERT_TRUE(calculate_partition(straight));
    ASSERT_TRUE(calculate_partition(curved));
    // Four significant digits: within half a unit of the fourth.
    EXPECT_NEAR(curved.k, straight.k, 5e-4 * straight.k);
    for (int j = 0; j <= straight.layer_count; ++j) {
        EXPECT_NEAR(curved.temp[j], straight.temp[j], 5e-4 * std::fabs(straight.temp[j]) + 1e-3);
        EXPECT_NEAR(curved.press_real[j], straight.press_real[j], 5e-4 * straight.press_real[j]);
    }
}

TEST(Calc, CurvatureFactor) {
    EXPECT_EQ(curvature_factor(1.0), 1.0);
    EXPECT_EQ(curvature_factor(1.000005), 1.0);
    EXPECT_EQ(curvature_factor(0.5), 1.0);
    const double x = 1.00001;
    EXPECT_NEAR(curvature_factor(x), std::log(x) / (1 - 1 / x), 1e-15);
    EXPECT_NEAR(curvature_factor(x), 1.0, 1e-5);
    EXPECT_NEAR(curvature_factor(2.0), std::log(2.0) / 0.5, 1e-15);
}

TEST(Calc, OneLayer) {
    Partition p;
    p.layer_count = 1;
    p.layers[0].thickness = 0.1;
    p.layers[0].lambda = 1.0;
    ASSERT_TRUE(calculate_partition(p));
    EXPECT_NEAR(p.k, 1.0 / 0.26, 1e-12);
    const double q = 25.0 * p.k;
    EXPECT_NEAR(p.temp[1], 20.0 - q * 0.12, 1e-12);
    EXPECT_NEAR(p.temp[0], -5.0 + q * 0.04, 1e-12);
}

TEST(Calc, TemperatureCourses) {
    struct Case {
        const char* name;
        double ext, in;
    };
    for (const Case& c :
         {Case{"no difference", 12.0, 12.0}, Case{"summer: flux reverses", 35, 22}}) {
        SCOPED_TRACE(c.name);
        Partition p;
        p.temp_ext = c.ext;
        p.temp_int = c.in;
        ASSERT_TRUE(calculate_partition(p));
        EXPECT_EQ(p.temp_span, c.in - c.ext);
        EXPECT_EQ(p.temp_min, std::min(c.ext, c.in));
        for (int j = 0; j < p.layer_count; ++j) {
            if (c.ext == c.in) {
                EXPECT_EQ(p.temp[j], c.ext);
            } else {
                EXPECT_GT(p.temp[j], p.temp[j + 1]);
            }
        }
        EXPECT_NEAR(p.temp[4], c.in - (c.in - c.ext) * p.k * 0.12, 1e-12);
    }
}

TEST(Calc, VapourBarrierTakesTheDrop) {
    Partition p;
    p.layers[3].delta = 0.00000001;
    ASSERT_TRUE(calculate_partition(p));
    const double p_ext = 4.01 * 0.85, p_int = 23.4 * 0.55;
    // 1.5e6 of about 1.5e6 + 13.7 m2·h·hPa/g: all but 1e-5 of the drop.
    EXPECT_NEAR(p.press_real[3], p_ext, 1e-5 * (p_int - p_ext));
    EXPECT_NEAR(p.press_real[4], p_int, 1e-9);
}

TEST(Calc, SaturatedAirAndSurfaceResistances) {
    Partition p;
    p.hum_int = 99;
    p.hum_ext = 99;
    p.diff_ext = 0.4;
    p.diff_int = 0.4;
    ASSERT_TRUE(calculate_partition(p));
    // The real course ends short of the air pressures by the surface drops.
    EXPECT_GT(p.press_real[0], 4.01 * 0.99);
    EXPECT_LT(p.press_real[4], 23.4 * 0.99);
    const double flux = (p.press_real[1] - p.press_real[0]) / (0.015 / 0.045);
    EXPECT_NEAR(p.press_real[0], 4.01 * 0.99 + flux * 0.4, 1e-9);
}

TEST(Calc, ThermalModeLeavesPressuresAlone) {
    Partition p;
    p.calc_mode = 0;
    p.temp_int = 150;  // allowed without the vapour side
    p.press_sat[2] = 42;
    p.press_min = 7;
    ASSERT_TRUE(calculate_partition(p));
    EXPECT_EQ(p.press_sat[2], 42);
    EXPECT_EQ(p.press_real[0], 0);
    EXPECT_EQ(p.press_min, 7);
    EXPECT_EQ(p.press_span, 0);
}

TEST(Calc, InvalidRecordKeepsOldResults) {
    Partition p;
    ASSERT_TRUE(calculate_partition(p));
    const Partition good = p;
    for (auto spoil : {+[](Partition& r) { r.layer_count = 0; },
                       +[](Partition& r) { r.layers[1].thickness = 0; },
                       +[](Partition& r) { r.layers[1].lambda = NAN; }}) {
        Partition q = good;
        spoil(q);
        EXPECT_FALSE(calculate_partition(q));
        EXPECT_EQ(std::memcmp(q.temp, good.temp, sizeof q.temp), 0);
        EXPECT_EQ(q.k, good.k);
        EXPECT_EQ(std::memcmp(q.press_real, good.press_real, sizeof q.press_real), 0);
    }
}

// The tightest allowed curve with eleven extreme layers must stay finite.
TEST(Calc, ExtremeValidRecordsStayFinite) {
    Partition p;
    p.wall_type = 1;
    p.layer_count = MAX_LAYERS;
    for (int i = 0; i < MAX_LAYERS; ++i) {
        p.layers[i].thickness = i % 2 ? 2.0 : 0.00001;
        p.layers[i].lambda = i % 2 ? 0.02 : 3.0;
        p.layers[i].delta = i % 2 ? 0.00000001 : 3.0;
    }
    p.radius = 1.05 * total_thickness(p) * (1 + 1e-15);
    p.temp_ext = -40;
    p.temp_int = 100;
    p.res_ext = p.res_int = p.diff_ext = p.diff_int = 0;
    ASSERT_TRUE(calculate_partition(p));
    EXPECT_TRUE(std::isfinite(p.k));
    EXPECT_GT(p.k, 0);
    for (int j = 0; j <= MAX_LAYERS; ++j) {
        EXPECT_TRUE(std::isfinite(p.temp[j]));
        EXPECT_TRUE(std::isfinite(p.press_real[j]));
        EXPECT_TRUE(std::isfinite(p.press_sat[j]));
    }
    EXPECT_TRUE(std::isfinite(p.press_span));
}
