// The year-round moisture assessment: hand-worked cases, the rules of the monthly run,
// the surface check, the U table and invariants over random records.
#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <random>

#include "core/assessment.h"

namespace {

struct LayerSpec {
    double thickness, lambda, delta;
};

// A straight record with the given layers, no diffusive surface resistances and both
// surface resistances 0, so plane temperatures and sd are easy to work by hand.
Partition record(std::initializer_list<LayerSpec> layers, double res_ext = 0.0,
                 double res_int = 0.0) {
    Partition p;
    p.calc_mode = 1;
    p.layer_count = static_cast<std::int16_t>(layers.size());
    int i = 0;
    for (const LayerSpec& l : layers) {
        p.layers[i].thickness = l.thickness;
        p.layers[i].lambda = l.lambda;
        p.layers[i].delta = l.delta;
        ++i;
    }
    p.res_ext = res_ext;
    p.res_int = res_int;
    p.diff_ext = 0.0;
    p.diff_int = 0.0;
    return p;
}

ClimateMonth month_of(double theta_e, double phi_e, double theta_i, double phi_i) {
    ClimateMonth m;
    m.theta_e = theta_e;
    m.phi_e = phi_e;
    m.theta_i = theta_i;
    m.phi_i = phi_i;
    return m;
}

Climate constant(const ClimateMonth& m) {
    Climate c;
    c.months.fill(m);
    return c;
}

Assessment assess(const Partition& p, const Climate& c, PartitionKind kind = PartitionKind::None) {
    AssessmentSettings s;
    s.kind = kind;
    Assessment a;
    EXPECT_TRUE(assess_partition(p, c, s, a));
    return a;
}

constexpr double SECONDS_PER_DAY = 86400.0;

// Relative closeness, for values worked to about seven digits by hand.
#define EXPECT_CLOSE(actual, expected) \
    EXPECT_NEAR((actual), (expected), 1e-6 * std::fabs(expected) + 1e-9)

// The winter month of the hand-worked cases: θe = -10 °C, φe = 80 %, θi = 20 °C.
//   p_sat(-10) = 610.5 e^(21.875 (-10) / 255.5) = 610.5 e^-0.8561644 = 610.5 * 0.4247883
//              = 259.33325 Pa, so p_e = 0.8 * 259.33325 = 207.46660 Pa.
//   p_sat(20)  = 610.5 e^(17.269 * 20 / 257.3) = 610.5 e^1.3423241 = 610.5 * 3.8279298
//              = 2336.95114 Pa.
//   p_sat(10)  = 610.5 e^(17.269 * 10 / 247.3) = 610.5 e^0.6983017 = 1227.30986 Pa.
constexpr double P_E_WINTER = 207.46659913;
constexpr double P_SAT_20 = 2336.95114380;
constexpr double P_SAT_10 = 1227.30986490;

TEST(MagnusSaturation, PressureAndItsInverse) {
    EXPECT_DOUBLE_EQ(saturation_pressure_pa(0.0), 610.5);
    EXPECT_CLOSE(saturation_pressure_pa(20.0), P_SAT_20);
    EXPECT_CLOSE(saturation_pressure_pa(10.0), P_SAT_10);
    EXPECT_CLOSE(saturation_pressure_pa(-10.0), P_E_WINTER / 0.8);
    for (double t = -50.0; t <= 70.0; t += 0.37) {
        EXPECT_NEAR(saturation_temperature(saturation_pressure_pa(t)), t, 1e-9) << t;
    }
    // Ice below 0 °C, water above: both give 610.5 Pa at 0 and the inverse meets there.
    EXPECT_DOUBLE_EQ(saturation_temperature(610.5), 0.0);
    EXPECT_LT(saturation_temperature(600.0), 0.0);
}

TEST(Climate, HumidityClassExcessFallsLinearlyToZeroAt20) {
    struct Case {
        int humidity_class;
        double theta_e, excess;
    } cases[] = {{1, -20.0, 270.0}, {2, 0.0, 540.0}, {3, 5.0, 607.5}, {4, 10.0, 540.0},
                 {5, 19.0, 67.5},   {5, 20.0, 0.0},  {5, 30.0, 0.0}};
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(humidity_class_excess(c.humidity_class, c.theta_e), c.excess)
            << c.humidity_class << " at " << c.theta_e;
    }
    // p_i = p_e + 1.10 Δp: class 3 at θe = -10: 207.46660 + 1.1 * 810 = 1098.46660 Pa.
    Climate climate = constant(month_of(-10.0, 80.0, 20.0, 0.0));
    climate.humidity_class = 3;
    double p_e = 0.0, p_i = 0.0;
    month_pressures(climate, 0, p_e, p_i);
    EXPECT_CLOSE(p_e, P_E_WINTER);
    EXPECT_CLOSE(p_i, P_E_WINTER + 891.0);
}

TEST(Climate, ChecksLimitsAndAClassAboveSaturation) {
    Climate ok = constant(month_of(-10.0, 80.0, 20.0, 50.0));
    int month = -1;
    EXPECT_EQ(check_climate(ok, month), ClimateProblem::None);

    Climate cold = ok;
    cold.months[4].theta_e = -50.5;
    EXPECT_EQ(check_climate(cold, month), ClimateProblem::OutOfRange);
    EXPECT_EQ(month, 4);
    Climate not_a_number = ok;
    not_a_number.months[7].phi_i = std::nan("");
    EXPECT_EQ(check_climate(not_a_number, month), ClimateProblem::OutOfRange);
    EXPECT_EQ(month, 7);

    // With a class, φi is not read; class 5 at θe = -10 gives 207.5 + 1485 = 1692.5 Pa,
    // above p_sat(12) = 1402.4 Pa.
    Climate by_class = ok;
    by_class.humidity_class = 5;
    by_class.months.fill(month_of(-10.0, 80.0, 20.0, 0.0));
    EXPECT_EQ(check_climate(by_class, month), ClimateProblem::None);
    by_class.months[2].theta_i = 12.0;
    EXPECT_EQ(check_climate(by_class, month), ClimateProblem::ClassSaturates);
    EXPECT_EQ(month, 2);
    by_class.humidity_class = 6;
    EXPECT_EQ(check_climate(by_class, month), ClimateProblem::BadClass);
}

// One interface. Layer 1: d = 0.01 m, λ = 1, δ = 0.00072, so R = 0.01 and
// sd = 0.01 * 0.072 / 0.00072 = 1.0 m; layer 2: d = 0.02, λ = 1, δ = 0.0144, R = 0.02,
// sd = 0.1 m. With no surface resistances plane 1 sits at -10 + 30 * 0.01 / 0.03 = 0 °C,
// p_sat = 610.5 Pa. Inside φi = 50 %: p_i = 1168.47557 Pa.
// The straight line at sd = 1.0 gives 207.47 + (1168.48 - 207.47) / 1.1 = 1081.1 Pa > 610.5,
// so plane 1 condenses at
//   δ0 [(1168.47557 - 610.5) / 0.1 - (610.5 - 207.46660) / 1.0] = 2e-10 * 5176.72232
//   = 1.0353445e-6 kg/(m²·s), i.e. 2773.06661 g/m² in 31 days and 2504.70533 in 28.
// Every month the same: start in January, twelve months held, 365 days of it at the end.
TEST(Assessment, OneCondensingInterface) {
    const Partition p = record({{0.01, 1.0, 0.00072}, {0.02, 1.0, 0.0144}});
    const Assessment a = assess(p, constant(month_of(-10.0, 80.0, 20.0, 50.0)));
    const double rate = 2e-10 * 5176.72231814 * 1000.0;  // g/(m²·s)

    EXPECT_CLOSE(a.sd[1], 1.0);
    EXPECT_CLOSE(a.sd_total, 1.1);
    EXPECT_EQ(a.start_month, 1);
    EXPECT_EQ(a.interstitial, InterstitialVerdict::Accumulates);
    const MonthAssessment& jan = a.months[0];
    EXPECT_NEAR(jan.theta[1], 0.0, 1e-12);
    EXPECT_CLOSE(jan.p_sat[1], 610.5);
    EXPECT_CLOSE(jan.p[1], 610.5);
    EXPECT_CLOSE(jan.g[1], 2773.06661138);
    EXPECT_CLOSE(a.months[1].g[1], 2504.70532641);
    EXPECT_EQ(jan.condensing, 1u << 1);
    EXPECT_EQ(jan.g[0], 0.0);
    EXPECT_EQ(jan.g[2], 0.0);
    EXPECT_CLOSE(jan.m_a[1], 2773.06661138);
    EXPECT_CLOSE(a.months[1].m_a[1], 2773.06661138 + 2504.70532641);
    EXPECT_CLOSE(a.months[11].m_a[1], rate * 365 * SECONDS_PER_DAY);
    EXPECT_CLOSE(a.m_a_max, rate * 365 * SECONDS_PER_DAY);
    EXPECT_EQ(a.m_a_max_month, 12);
}

// Two interfaces. Three layers of d = 0.01 m, λ = 1 (R = 0.01 each): planes 1 and 2 at 0 and
// 10 °C, p_sat 610.5 and 1227.30986 Pa. sd 1.0, 0.5 and 0.1 m (δ = 0.00072, 0.00144, 0.0072).
// Inside φi = 80 %: p_i = 1869.56092 Pa. Slopes of the chain, outside in:
//   (610.5 - 207.46660) / 1.0 = 403.03340, (1227.30986 - 610.5) / 0.5 = 1233.61973,
//   (1869.56092 - 1227.30986) / 0.1 = 6422.51050 Pa/m, rising: both planes are corners.
//   g1 = 2e-10 (1233.61973 - 403.03340) * 2678400 s * 1000 = 444.92848 g/m² in January,
//   g2 = 2e-10 (6422.51050 - 1233.61973) * 2678400 s * 1000 = 2779.58501 g/m².
TEST(Assessment, TwoCondensingInterfaces) {
    const Partition p = record({{0.01, 1.0, 0.00072}, {0.01, 1.0, 0.00144}, {0.01, 1.0, 0.0072}});
    const Assessment a = assess(p, constant(month_of(-10.0, 80.0, 20.0, 80.0)));
    const MonthAssessment& jan = a.months[0];
    EXPECT_CLOSE(jan.p_sat[2], P_SAT_10);
    EXPECT_CLOSE(jan.g[1], 444.92848468);
    EXPECT_CLOSE(jan.g[2], 2779.58500856);
    EXPECT_EQ(jan.condensing, (1u << 1) | (1u << 2));
    // Held interfaces stay on saturation, so every month repeats January's rates.
    EXPECT_CLOSE(a.months[11].m_a[1], 5238.67409379);
    EXPECT_CLOSE(a.months[11].m_a[2], 32727.37187504);
    EXPECT_CLOSE(a.m_a_max, 5238.67409379 + 32727.37187504);
    EXPECT_EQ(a.interstitial, InterstitialVerdict::Accumulates);
}

// Evaporation. The one-interface record; November to February the winter month above,
// March to October θe = θi = 20 °C with φ 50 % both sides (p_e = p_i = 1168.47557 Pa).
// Dry, a summer month does not condense (the line is flat at 1168.5 < 2336.95 Pa), so the run
// starts in November, whose October does not condense:
//   Nov 2683.61285, Dec 2773.06661, Jan 2773.06661, Feb 2504.70533: 10734.45140 g/m² held.
// In March plane 1 holds water, so it stays at p_sat(20) = 2336.95114 Pa:
//   g = 2e-10 [(1168.47557 - 2336.95114) / 0.1 - (2336.95114 - 1168.47557) / 1.0] * 2678400
//     * 1000 = 2e-10 * (-12853.23129) * 2678400000 = -6885.21894 g/m², leaving 3849.23246;
// April's -6663.11510 (30 days) takes more than is left: held 0, and dry to October.
TEST(Assessment, CondensateEvaporatesInSummer) {
    const Partition p = record({{0.01, 1.0, 0.00072}, {0.02, 1.0, 0.0144}});
    Climate c = constant(month_of(20.0, 50.0, 20.0, 50.0));
    for (int m : {10, 11, 0, 1}) c.months[m] = month_of(-10.0, 80.0, 20.0, 50.0);
    const Assessment a = assess(p, c);

    EXPECT_EQ(a.start_month, 11);
    EXPECT_CLOSE(a.months[10].m_a[1], 2683.61284973);
    EXPECT_CLOSE(a.months[1].m_a[1], 10734.45139890);
    EXPECT_CLOSE(a.months[2].p[1], P_SAT_20);
    EXPECT_CLOSE(a.months[2].g[1], -6885.21893792);
    EXPECT_EQ(a.months[2].condensing, 0u);
    EXPECT_CLOSE(a.months[2].m_a[1], 3849.23246099);
    EXPECT_CLOSE(a.months[3].g[1], -6663.11510121);
    EXPECT_EQ(a.months[3].m_a[1], 0.0);
    // Dry again, May's chain is the straight line: no rate at all.
    EXPECT_EQ(a.months[4].g[1], 0.0);
    EXPECT_CLOSE(a.months[4].p[1], 1168.47557190);
    EXPECT_EQ(a.interstitial, InterstitialVerdict::Evaporates);
    EXPECT_CLOSE(a.m_a_max, 10734.45139890);
    EXPECT_EQ(a.m_a_max_month, 2);
}

TEST(Assessment, StartMonthRules) {
    const Partition p = record({{0.01, 1.0, 0.00072}, {0.02, 1.0, 0.0144}});
    const ClimateMonth wet = month_of(-10.0, 80.0, 20.0, 50.0);
    const ClimateMonth dry = month_of(20.0, 50.0, 20.0, 50.0);

    const Assessment none = assess(p, constant(dry));
    EXPECT_EQ(none.start_month, 0);
    EXPECT_EQ(none.interstitial, InterstitialVerdict::None);
    EXPECT_EQ(none.m_a_max, 0.0);
    EXPECT_EQ(none.m_a_max_month, 0);
    for (const MonthAssessment& m : none.months) EXPECT_EQ(m.condensing, 0u);

    // Condensing in December and January only: the run starts in December, across the year end.
    Climate wrap = constant(dry);
    wrap.months[11] = wet;
    wrap.months[0] = wet;
    const Assessment w = assess(p, wrap);
    EXPECT_EQ(w.start_month, 12);
    EXPECT_GT(w.months[11].m_a[1], 0.0);
    EXPECT_GT(w.months[0].m_a[1], w.months[11].m_a[1]);

    // Two separate spells: the first in calendar order whose month before is dry.
    Climate two = constant(dry);
    two.months[2] = wet;
    two.months[8] = wet;
    EXPECT_EQ(assess(p, two).start_month, 3);
}

// Ties take the first month in calendar order: a constant climate gives the same fRsi,min
// every month, and the held total only grows, so it peaks in December alone.
TEST(Assessment, TiesForTheLargestTakeTheFirstMonth) {
    const Partition p = record({{0.01, 1.0, 0.00072}, {0.02, 1.0, 0.0144}});
    const Assessment a = assess(p, constant(month_of(-10.0, 80.0, 20.0, 50.0)));
    EXPECT_EQ(a.f_rsi_max_month, 1);
    EXPECT_EQ(a.f_rsi_max, a.months[11].f_rsi_min);
    EXPECT_EQ(a.m_a_max_month, 12);
}

// fRsi with Rsi 0.25: straight, R = 0.04 + 0.5 + 0.25 = 0.79, fRsi = 0.54 / 0.79.
// θe = 0, θi = 20, φi = 50 %: p_i = 1168.47557, / 0.8 = 1460.59446 Pa;
// ln(1460.59446 / 610.5) = 0.8723205, θsi,min = 237.3 * 0.8723205 / (17.269 - 0.8723205)
// = 12.6246083 °C and fRsi,min = 12.6246083 / 20 = 0.6312304.
TEST(Assessment, SurfaceMouldCheck) {
    Partition p = record({{0.15, 0.3, 0.02}}, 0.04, 0.13);
    Climate c = constant(month_of(20.0, 50.0, 20.0, 50.0));  // θi = θe: not checked
    c.months[5] = month_of(0.0, 80.0, 20.0, 50.0);
    const Assessment a = assess(p, c);
    EXPECT_CLOSE(a.f_rsi, 0.54 / 0.79);
    EXPECT_CLOSE(a.u, 1.0 / 0.67);
    EXPECT_TRUE(a.months[5].has_f_rsi_min);
    EXPECT_FALSE(a.months[0].has_f_rsi_min);
    EXPECT_CLOSE(a.months[5].f_rsi_min, 0.63123042);
    EXPECT_TRUE(a.has_f_rsi_max);
    EXPECT_EQ(a.f_rsi_max_month, 6);
    EXPECT_CLOSE(a.f_rsi_max, 0.63123042);
    EXPECT_TRUE(a.surface_ok);  // 0.684 >= 0.631
    EXPECT_FALSE(a.f_rsi_072);  // 0.684 < 0.72

    // No month with θi > θe: no design value, and the surface passes.
    const Assessment summer = assess(p, constant(month_of(25.0, 50.0, 20.0, 50.0)));
    EXPECT_FALSE(summer.has_f_rsi_max);
    EXPECT_EQ(summer.f_rsi_max_month, 0);
    EXPECT_TRUE(summer.surface_ok);

    // A wet room fails: φi = 75 % gives p_i / 0.8 = 2190.9 Pa, θsi,min = 19.0 °C, fRsi,min 0.95.
    c.months[5] = month_of(0.0, 80.0, 20.0, 75.0);
    EXPECT_FALSE(assess(p, c).surface_ok);
}

// A curved record: every sd referred to the external surface as the thermal resistances are.
// R = 1 m, one layer d = 0.5 (r from 1 to 0.5), δ = 0.072: the layer counts
// 1 * ln(1 / 0.5) / 0.072 m²·h·hPa/g, sd = 0.072 of that = ln 2 = 0.6931472 m; the external
// film (diff 0.1) sd 0.0072 m as it is, the internal one (0.2) times R / r_i = 2: 0.0288 m.
TEST(Assessment, CurvedSdReferredToTheExternalSurface) {
    Partition p = record({{0.5, 1.0, 0.072}}, 0.04, 0.13);
    p.wall_type = 1;
    p.radius = 1.0;
    p.diff_ext = 0.1;
    p.diff_int = 0.2;
    const Assessment a = assess(p, constant(month_of(0.0, 80.0, 20.0, 50.0)));
    EXPECT_CLOSE(a.sd[0], 0.0072);
    EXPECT_CLOSE(a.sd[1], 0.0072 + std::log(2.0));
    EXPECT_CLOSE(a.sd_total, 0.0072 + std::log(2.0) + 0.0288);
    // U: 0.04 + ln 2 / 1.0 + 0.13 * 2 on the external square metre.
    EXPECT_CLOSE(a.u, 1.0 / (0.04 + std::log(2.0) + 0.26));
    EXPECT_CLOSE(a.f_rsi, 1.0 - 0.5 / (0.04 + std::log(2.0) + 0.5));
}

TEST(Assessment, MaximumUFromTheTechnicalConditions) {
    struct Case {
        PartitionKind kind;
        double theta_i;
        bool has;
        double u_max;
    } cases[] = {
        {PartitionKind::ExternalWall, 20.0, true, 0.20},
        {PartitionKind::ExternalWall, 16.0, true, 0.20},
        {PartitionKind::ExternalWall, 15.9, true, 0.45},
        {PartitionKind::ExternalWall, 8.0, true, 0.45},
        {PartitionKind::ExternalWall, 7.9, true, 0.90},
        {PartitionKind::Roof, 20.0, true, 0.15},
        {PartitionKind::Roof, 10.0, true, 0.30},
        {PartitionKind::Roof, -5.0, true, 0.70},
        {PartitionKind::FloorOnGround, 20.0, true, 0.30},
        {PartitionKind::FloorOnGround, 12.0, true, 1.20},
        {PartitionKind::FloorOnGround, 5.0, true, 1.50},
        {PartitionKind::FloorOverUnheated, 20.0, true, 0.25},
        {PartitionKind::FloorOverUnheated, 12.0, true, 0.30},
        {PartitionKind::FloorOverUnheated, 5.0, true, 1.00},
        {PartitionKind::InternalWall, 20.0, false, 0.0},
        {PartitionKind::None, 20.0, false, 0.0},
    };
    for (const Case& c : cases) {
        double u = -1.0;
        EXPECT_EQ(maximum_u(c.kind, c.theta_i, u), c.has)
            << partition_kind_name(c.kind) << " " << c.theta_i;
        if (c.has) {
            EXPECT_EQ(u, c.u_max) << partition_kind_name(c.kind) << " " << c.theta_i;
        }
    }
    // The record's internal temperature selects the row; U is judged against it.
    Partition p = record({{0.2, 0.04, 0.02}}, 0.04, 0.13);  // U = 1 / 5.17 = 0.193
    const Climate c = constant(month_of(-5.0, 80.0, 20.0, 50.0));
    const Assessment wall = assess(p, c, PartitionKind::ExternalWall);
    EXPECT_TRUE(wall.has_u_max);
    EXPECT_EQ(wall.u_max, 0.20);
    EXPECT_TRUE(wall.u_ok);
    const Assessment roof = assess(p, c, PartitionKind::Roof);
    EXPECT_FALSE(roof.u_ok);
    EXPECT_FALSE(assess(p, c).has_u_max);
}

TEST(Assessment, RefusesAnInvalidRecordOrClimate) {
    AssessmentSettings s;
    Assessment a;
    const Climate good = constant(month_of(-10.0, 80.0, 20.0, 50.0));
    Partition p = record({{0.01, 1.0, 0.00072}, {0.02, 1.0, 0.0144}});
    // Checked as in dampness mode even when the record is thermal only.
    p.calc_mode = 0;
    p.layers[1].delta = 0.0;
    EXPECT_FALSE(assess_partition(p, good, s, a));
    p.layers[1].delta = std::nan("");
    EXPECT_FALSE(assess_partition(p, good, s, a));
    p = record({{0.01, 1.0, 0.00072}});
    p.layer_count = 0;
    EXPECT_FALSE(assess_partition(p, good, s, a));

    Climate bad = good;
    bad.months[3].phi_e = 0.5;
    EXPECT_FALSE(assess_partition(record({{0.1, 1.0, 0.01}}), bad, s, a));
}

// --- invariants over random records ------------------------------------------------------

class RandomRecords : public ::testing::Test {
protected:
    std::mt19937 rng{20240517};

    double uniform(double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(rng);
    }
    double log_uniform(double low, double high) {
        return std::exp(uniform(std::log(low), std::log(high)));
    }

    Partition random_record() {
        Partition p;
        p.calc_mode = 1;
        p.layer_count = static_cast<std::int16_t>(1 + rng() % MAX_LAYERS);
        double total = 0.0;
        for (int i = 0; i < p.layer_count; ++i) {
            Layer& l = p.layers[i];
            l.thickness = log_uniform(0.002, 0.3);
            l.lambda = log_uniform(0.03, 2.5);
            l.delta = rng() % 8 == 0 ? log_uniform(1e-7, 1e-4) : log_uniform(1e-4, 0.1);
            total += l.thickness;
        }
        p.res_ext = uniform(0.0, 0.2);
        p.res_int = uniform(0.0, 0.2);
        p.diff_ext = uniform(0.0, 0.4);
        p.diff_int = uniform(0.0, 0.4);
        p.wall_type = static_cast<std::int16_t>(rng() % 3 == 0);
        // Room for the barrier below without moving the radius.
        p.radius = (total + 0.001) * uniform(1.1, 20.0);
        return p;
    }

    // Winter-to-summer climates; `heated` keeps θi above θe in every month.
    Climate random_climate(bool heated) {
        Climate c;
        c.humidity_class = rng() % 3 == 0 ? static_cast<int>(1 + rng() % 3) : 0;
        for (int m = 0; m < MONTHS; ++m) {
            const double season = std::cos(2.0 * 3.14159265358979 * m / MONTHS);  // 1 in Jan
            ClimateMonth& month = c.months[m];
            month.theta_e = 8.0 - 14.0 * season + uniform(-4.0, 4.0);
            month.theta_i = uniform(18.0, 23.0);
            if (heated && month.theta_e >= month.theta_i - 0.5) month.theta_e = month.theta_i - 1.0;
            month.phi_e = uniform(60.0, 95.0);
            month.phi_i = uniform(30.0, 70.0);
        }
        int bad = 0;
        if (check_climate(c, bad) != ClimateProblem::None) c.humidity_class = 0;
        return c;
    }

    static bool line_below_saturation(const Assessment& a, int m) {
        const MonthAssessment& r = a.months[m];
        for (int j = 1; j < a.layer_count; ++j) {
            const double line = r.p_e + (r.p_i - r.p_e) * a.sd[j] / a.sd_total;
            if (!(line < r.p_sat[j])) return false;
        }
        return true;
    }
};

// M_a = max(0, M_a + g) month by month from the start: what is held at the end is all the g
// of the run plus what the clamp gave back, and the clamp never takes.
TEST_F(RandomRecords, SumOfRatesIsTheFinalHoldLessTheClampedLosses) {
    AssessmentSettings s;
    int condensing_runs = 0;
    for (int k = 0; k < 1500; ++k) {
        const Partition p = random_record();
        const Climate c = random_climate(false);
        Assessment a;
        ASSERT_TRUE(assess_partition(p, c, s, a)) << k;
        const int first = a.start_month > 0 ? a.start_month - 1 : 0;
        double sum_g = 0.0, clamped = 0.0, scale = 0.0;
        double held[MAX_PLANES] = {};
        for (int i = 0; i < MONTHS; ++i) {
            const MonthAssessment& r = a.months[(first + i) % MONTHS];
            for (int j = 0; j <= a.layer_count; ++j) {
                const double gain = r.m_a[j] - (held[j] + r.g[j]);
                EXPECT_GE(gain, -1e-9 * (std::fabs(held[j]) + std::fabs(r.g[j]))) << k;
                if (j == 0 || j == a.layer_count) {
                    EXPECT_EQ(r.g[j], 0.0);
                    EXPECT_EQ(r.m_a[j], 0.0);
                }
                EXPECT_EQ(r.g[j] > 0.0, ((r.condensing >> j) & 1u) != 0) << k;
                sum_g += r.g[j];
                clamped += gain;
                scale += std::fabs(r.g[j]);
                held[j] = r.m_a[j];
            }
        }
        double final_total = 0.0;
        for (int j = 0; j <= a.layer_count; ++j) final_total += held[j];
        EXPECT_NEAR(sum_g, final_total - clamped, 1e-9 * scale + 1e-12) << k;
        if (a.interstitial == InterstitialVerdict::Evaporates) {
            EXPECT_EQ(final_total, 0.0);
        } else if (a.interstitial == InterstitialVerdict::Accumulates) {
            EXPECT_GT(final_total, 0.0);
        }
        condensing_runs += a.start_month > 0;
    }
    // The draw must exercise both sides.
    EXPECT_GT(condensing_runs, 150);
    EXPECT_LT(condensing_runs, 1350);
}

// Where the straight line from p_e to p_i stays below saturation at every interface and
// nothing is held, the month condenses nowhere; a partition condenses at all exactly when
// some month's line crosses saturation.
TEST_F(RandomRecords, NoCondensationWhereTheStraightLineStaysBelowSaturation) {
    AssessmentSettings s;
    for (int k = 0; k < 1500; ++k) {
        const Partition p = random_record();
        const Climate c = random_climate(false);
        Assessment a;
        ASSERT_TRUE(assess_partition(p, c, s, a)) << k;
        bool some_month_crosses = false;
        const int first = a.start_month > 0 ? a.start_month - 1 : 0;
        for (int i = 0; i < MONTHS; ++i) {
            const int m = (first + i) % MONTHS;
            const int before = (m + MONTHS - 1) % MONTHS;
            const bool below = line_below_saturation(a, m);
            some_month_crosses = some_month_crosses || !below;
            if (below && (i == 0 || a.months[before].m_a_total == 0.0)) {
                EXPECT_EQ(a.months[m].condensing, 0u) << k << " month " << m + 1;
                for (int j = 0; j <= a.layer_count; ++j) EXPECT_EQ(a.months[m].g[j], 0.0);
            }
        }
        EXPECT_EQ(a.start_month != 0, some_month_crosses) << k;
    }
}

// With θe < θi all year, a vapour barrier on the warm side (a thin, conductive, tight layer
// inside the last one) never raises the most condensate held.
TEST_F(RandomRecords, WarmSideVapourBarrierNeverRaisesTheMostHeld) {
    AssessmentSettings s;
    int helped = 0, compared = 0;
    for (int k = 0; k < 1500; ++k) {
        Partition p = random_record();
        if (p.layer_count == MAX_LAYERS) p.layer_count = MAX_LAYERS - 1;
        const Climate c = random_climate(true);
        Assessment bare, barred;
        ASSERT_TRUE(assess_partition(p, c, s, bare)) << k;
        const int n = p.layer_count;
        // The barrier's cold face is the old internal surface: where the room air is above
        // saturation there, that surface is wet already, and the barrier only shows it.
        bool surface_wet = false;
        for (const MonthAssessment& m : bare.months) surface_wet |= m.p_i >= m.p_sat[n];
        if (surface_wet) continue;
        ++compared;
        p.layer_count = static_cast<std::int16_t>(n + 1);
        p.layers[n].thickness = 0.0002;
        p.layers[n].lambda = 3.0;
        p.layers[n].delta = 1e-8;
        ASSERT_TRUE(assess_partition(p, c, s, barred)) << k;
        EXPECT_LE(barred.m_a_max, bare.m_a_max * (1.0 + 1e-9) + 1e-9) << k;
        helped += barred.m_a_max < bare.m_a_max;
    }
    EXPECT_GT(compared, 1000);
    EXPECT_GT(helped, 100);
}

}  // namespace
