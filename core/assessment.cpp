// The monthly moisture balance, the surface check and the U limit.
#include "core/assessment.h"

#include <cmath>
#include <iterator>

namespace {

constexpr double SECONDS_PER_DAY = 86400.0;
constexpr double GRAMS_PER_KG = 1000.0;
// Internal humidity classes of PN-EN ISO 13788:2012: Δp of 270 Pa per class at θe <= 0 °C,
// falling linearly to 0 at 20 °C, and the safety factor 1.10 on it.
constexpr double CLASS_SAFETY = 1.10;
constexpr double CLASS_STEP = 270.0;

// The saturation formulas of PN-EN ISO 13788:2012 over water (θ >= 0) and over ice (θ < 0),
// Pa and °C.
constexpr double MAGNUS_P0 = 610.5;
constexpr double MAGNUS_A_WATER = 17.269, MAGNUS_B_WATER = 237.3;
constexpr double MAGNUS_A_ICE = 21.875, MAGNUS_B_ICE = 265.5;

// One row of the maximum-U table: θi from `theta_from` up (the next row of the kind, if any,
// bounds it above).
struct UMaxRow {
    PartitionKind kind;
    double theta_from;
    double u_max;  // W/(m²·K)
};

// Maximum U from 31 December 2020: Rozporządzenie Ministra Infrastruktury z dnia 12 kwietnia
// 2002 r. w sprawie warunków technicznych, jakim powinny odpowiadać budynki i ich
// usytuowanie, consolidated text Dz.U. 2019 poz. 1065, Załącznik nr 2, table in item 1.1
// (rows 1, 5, 6 and 7; ti ≥ 16 °C, 8 °C ≤ ti < 16 °C, ti < 8 °C). Internal walls (row 2) are
// left out: their rows depend on the temperature difference and the room beyond, not on θi.
constexpr UMaxRow U_MAX_TABLE[] = {
    {PartitionKind::ExternalWall, 16.0, 0.20},         // 1 a
    {PartitionKind::ExternalWall, 8.0, 0.45},          // 1 b
    {PartitionKind::ExternalWall, -1e300, 0.90},       // 1 c
    {PartitionKind::Roof, 16.0, 0.15},                 // 5 a: roofs, flat roofs, ceilings
    {PartitionKind::Roof, 8.0, 0.30},                  // 5 b   under unheated lofts
    {PartitionKind::Roof, -1e300, 0.70},               // 5 c
    {PartitionKind::FloorOnGround, 16.0, 0.30},        // 6 a
    {PartitionKind::FloorOnGround, 8.0, 1.20},         // 6 b
    {PartitionKind::FloorOnGround, -1e300, 1.50},      // 6 c
    {PartitionKind::FloorOverUnheated, 16.0, 0.25},    // 7 a: over unheated rooms and
    {PartitionKind::FloorOverUnheated, 8.0, 0.30},     // 7 b   closed crawl spaces
    {PartitionKind::FloorOverUnheated, -1e300, 1.00},  // 7 c
};

// The sd-p diagram of one month: node 0 the external air, nodes 1..n-1 the interfaces at
// their saturation pressure, node n the internal air.
struct Diagram {
    int n = 0;
    double x[MAX_PLANES] = {};  // sd from the external air, m
    double y[MAX_PLANES] = {};  // Pa
};

// Whether b lies strictly below the line from a to c: only then is b a corner of the chain.
bool bends_up(const Diagram& d, int a, int b, int c) {
    const double cross =
        (d.x[b] - d.x[a]) * (d.y[c] - d.y[a]) - (d.y[b] - d.y[a]) * (d.x[c] - d.x[a]);
    return cross > 0.0;
}

// The lowest convex chain from node 0 to node n under the nodes, built section by section
// between fixed nodes (the two airs and every interface holding condensate), which it passes
// through whatever their height. Returns the number of chain nodes in `chain`.
int build_chain(const Diagram& d, const double m_a[], int chain[]) {
    int len = 0;
    int base = 0;  // chain index of the current section's fixed start
    chain[len++] = 0;
    for (int k = 1; k <= d.n; ++k) {
        while (len - base >= 2 && !bends_up(d, chain[len - 2], chain[len - 1], k)) --len;
        chain[len++] = k;
        if (k == d.n || m_a[k] > 0.0) base = len - 1;
    }
    return len;
}

// Condensation (+) or evaporation (-) at each chain corner over `seconds`, g/m²: the vapour
// arriving from the inside less that leaving to the outside.
void chain_rates(const Diagram& d, const int chain[], int len, double seconds, double g[]) {
    for (int j = 0; j <= d.n; ++j) g[j] = 0.0;
    for (int i = 1; i + 1 < len; ++i) {
        const int a = chain[i - 1], c = chain[i], b = chain[i + 1];
        const double in = (d.y[b] - d.y[c]) / (d.x[b] - d.x[c]);
        const double out = (d.y[c] - d.y[a]) / (d.x[c] - d.x[a]);
        g[c] = DELTA_AIR * (in - out) * seconds * GRAMS_PER_KG;
    }
}

// The vapour pressure at every plane, read off the chain.
void chain_pressures(const Diagram& d, const int chain[], int len, const double sd[], double p[]) {
    int seg = 0;
    for (int j = 0; j <= d.n; ++j) {
        while (seg + 2 < len && d.x[chain[seg + 1]] < sd[j]) ++seg;
        const int a = chain[seg], b = chain[seg + 1];
        if (j > 0 && j < d.n && (j == a || j == b)) {
            p[j] = d.y[j];
        } else {
            p[j] = d.y[a] + (d.y[b] - d.y[a]) * (sd[j] - d.x[a]) / (d.x[b] - d.x[a]);
        }
    }
}

bool all_finite(const Assessment& a) {
    auto finite = [](const double* v, int count) {
        for (int i = 0; i < count; ++i) {
            if (!std::isfinite(v[i])) return false;
        }
        return true;
    };
    const int planes = a.layer_count + 1;
    const double top[] = {a.sd_total, a.u, a.f_rsi, a.m_a_max, a.f_rsi_max, a.u_max};
    if (!finite(top, static_cast<int>(std::size(top))) || !finite(a.sd, planes)) return false;
    for (const MonthAssessment& m : a.months) {
        const double v[] = {m.theta_e, m.phi_e, m.theta_i,   m.phi_i,
                            m.p_e,     m.p_i,   m.f_rsi_min, m.m_a_total};
        if (!finite(v, static_cast<int>(std::size(v))) || !finite(m.theta, planes) ||
            !finite(m.p_sat, planes) || !finite(m.p, planes) || !finite(m.g, planes) ||
            !finite(m.m_a, planes)) {
            return false;
        }
    }
    return true;
}

}  // namespace

double saturation_pressure_pa(double theta) {
    if (theta >= 0.0)
        return MAGNUS_P0 * std::exp(MAGNUS_A_WATER * theta / (MAGNUS_B_WATER + theta));
    return MAGNUS_P0 * std::exp(MAGNUS_A_ICE * theta / (MAGNUS_B_ICE + theta));
}

double saturation_temperature(double p) {
    const double l = std::log(p / MAGNUS_P0);
    if (p >= MAGNUS_P0) return MAGNUS_B_WATER * l / (MAGNUS_A_WATER - l);
    return MAGNUS_B_ICE * l / (MAGNUS_A_ICE - l);
}

double humidity_class_excess(int humidity_class, double theta_e) {
    const double at_zero = CLASS_STEP * humidity_class;
    if (theta_e <= 0.0) return at_zero;
    if (theta_e >= 20.0) return 0.0;
    return at_zero * (20.0 - theta_e) / 20.0;
}

void month_pressures(const Climate& climate, int month, double& p_e, double& p_i) {
    const ClimateMonth& m = climate.months[month];
    p_e = m.phi_e * 0.01 * saturation_pressure_pa(m.theta_e);
    if (climate.humidity_class > 0) {
        p_i = p_e + CLASS_SAFETY * humidity_class_excess(climate.humidity_class, m.theta_e);
    } else {
        p_i = m.phi_i * 0.01 * saturation_pressure_pa(m.theta_i);
    }
}

ClimateProblem check_climate(const Climate& climate, int& month) {
    const bool by_class = climate.humidity_class != 0;
    for (month = 0; month < MONTHS; ++month) {
        const ClimateMonth& m = climate.months[month];
        if (!climate_theta_ok(m.theta_e) || !climate_theta_ok(m.theta_i) ||
            !climate_phi_ok(m.phi_e) || (!by_class && !climate_phi_ok(m.phi_i))) {
            return ClimateProblem::OutOfRange;
        }
    }
    month = 0;
    if (!by_class) return ClimateProblem::None;
    if (climate.humidity_class < 1 || climate.humidity_class > HUMIDITY_CLASSES)
        return ClimateProblem::BadClass;
    for (month = 0; month < MONTHS; ++month) {
        double p_e, p_i;
        month_pressures(climate, month, p_e, p_i);
        if (p_i > saturation_pressure_pa(climate.months[month].theta_i)) {
            return ClimateProblem::ClassSaturates;
        }
    }
    month = 0;
    return ClimateProblem::None;
}

const char* interstitial_verdict_name(InterstitialVerdict v) {
    switch (v) {
        case InterstitialVerdict::Evaporates:
            return "evaporates";
        case InterstitialVerdict::Accumulates:
            return "accumulates";
        case InterstitialVerdict::None:
            break;
    }
    return "none";
}

bool maximum_u(PartitionKind kind, double theta_i, double& u_max) {
    for (const UMaxRow& row : U_MAX_TABLE) {
        if (row.kind == kind && theta_i >= row.theta_from) {
            u_max = row.u_max;
            return true;
        }
    }
    return false;
}

bool assess_partition(const Partition& p, const Climate& climate,
                      const AssessmentSettings& settings, Assessment& out) {
    Partition checked = p;
    checked.calc_mode = 1;
    int bad_month = 0;
    if (!validate_partition(checked) || check_climate(climate, bad_month) != ClimateProblem::None) {
        return false;
    }
    const int n = checked.layer_count;
    out.layer_count = n;

    double coef[MAX_LAYERS];
    for (int i = 0; i < n; ++i) coef[i] = checked.layers[i].lambda;
    SeriesResistances thermal;
    referred_resistances(checked, checked.res_ext, checked.res_int, coef, thermal);
    out.u = 1.0 / thermal.sum;
    SeriesResistances mould;
    referred_resistances(checked, checked.res_ext, RSI_MOULD, coef, mould);
    out.f_rsi = (mould.sum - mould.inner) / mould.sum;

    for (int i = 0; i < n; ++i) coef[i] = checked.layers[i].delta;
    SeriesResistances vapour;
    referred_resistances(checked, checked.diff_ext, checked.diff_int, coef, vapour);
    out.sd[0] = vapour.outer * SD_PER_RESISTANCE;
    for (int j = 1; j <= n; ++j)
        out.sd[j] = out.sd[j - 1] + vapour.layer[j - 1] * SD_PER_RESISTANCE;
    out.sd_total = vapour.sum * SD_PER_RESISTANCE;

    // What does not depend on the condensate: conditions, temperatures, saturation, diagram.
    Diagram diagrams[MONTHS];
    bool dry_condenses[MONTHS];
    const double none_held[MAX_PLANES] = {};
    int chain[MAX_PLANES];
    double g[MAX_PLANES];
    out.has_f_rsi_max = false;
    out.f_rsi_max = 0.0;
    out.f_rsi_max_month = 0;
    for (int m = 0; m < MONTHS; ++m) {
        MonthAssessment& r = out.months[m];
        const ClimateMonth& c = climate.months[m];
        r = MonthAssessment{};
        r.theta_e = c.theta_e;
        r.phi_e = c.phi_e;
        r.theta_i = c.theta_i;
        month_pressures(climate, m, r.p_e, r.p_i);
        r.phi_i = climate.humidity_class > 0 ? 100.0 * r.p_i / saturation_pressure_pa(c.theta_i)
                                             : c.phi_i;
        series_values(thermal, c.theta_e, c.theta_i, r.theta);
        for (int j = 0; j <= n; ++j) r.p_sat[j] = saturation_pressure_pa(r.theta[j]);

        if (c.theta_i > c.theta_e) {
            const double theta_si = saturation_temperature(r.p_i / MOULD_SURFACE_HUMIDITY);
            r.has_f_rsi_min = true;
            r.f_rsi_min = (theta_si - c.theta_e) / (c.theta_i - c.theta_e);
            if (!out.has_f_rsi_max || r.f_rsi_min > out.f_rsi_max) {
                out.has_f_rsi_max = true;
                out.f_rsi_max = r.f_rsi_min;
                out.f_rsi_max_month = m + 1;
            }
        }

        Diagram& d = diagrams[m];
        d.n = n;
        d.x[0] = 0.0;
        d.y[0] = r.p_e;
        for (int j = 1; j < n; ++j) {
            d.x[j] = out.sd[j];
            d.y[j] = r.p_sat[j];
        }
        d.x[n] = out.sd_total;
        d.y[n] = r.p_i;

        const int len = build_chain(d, none_held, chain);
        chain_rates(d, chain, len, MONTH_DAYS[m] * SECONDS_PER_DAY, g);
        dry_condenses[m] = false;
        for (int j = 1; j < n; ++j) dry_condenses[m] = dry_condenses[m] || g[j] > 0.0;
    }
    out.surface_ok = !out.has_f_rsi_max || out.f_rsi >= out.f_rsi_max;
    out.f_rsi_072 = out.f_rsi >= F_RSI_REQUIRED;

    // The first month that condenses after one that does not; January when all do.
    out.start_month = 0;
    bool all = true;
    for (int m = 0; m < MONTHS; ++m) all = all && dry_condenses[m];
    for (int m = 0; m < MONTHS && out.start_month == 0; ++m) {
        if (dry_condenses[m] && !dry_condenses[(m + MONTHS - 1) % MONTHS]) out.start_month = m + 1;
    }
    if (all) out.start_month = 1;

    // Twelve months from the start with a dry partition; without a start, from January
    // (nothing then condenses, so nothing is held).
    double held[MAX_PLANES] = {};
    const int first = out.start_month > 0 ? out.start_month - 1 : 0;
    for (int k = 0; k < MONTHS; ++k) {
        const int m = (first + k) % MONTHS;
        MonthAssessment& r = out.months[m];
        const Diagram& d = diagrams[m];
        const int len = build_chain(d, held, chain);
        chain_rates(d, chain, len, MONTH_DAYS[m] * SECONDS_PER_DAY, r.g);
        chain_pressures(d, chain, len, out.sd, r.p);
        r.m_a_total = 0.0;
        for (int j = 1; j < n; ++j) {
            const double after = held[j] + r.g[j];
            held[j] = after > 0.0 ? after : 0.0;
            r.m_a[j] = held[j];
            r.m_a_total += held[j];
            if (r.g[j] > 0.0) r.condensing = static_cast<std::uint16_t>(r.condensing | (1u << j));
        }
    }

    out.m_a_max = 0.0;
    out.m_a_max_month = 0;
    if (out.start_month == 0) {
        out.interstitial = InterstitialVerdict::None;
    } else {
        bool dry_at_end = true;
        for (int j = 1; j < n; ++j) dry_at_end = dry_at_end && held[j] == 0.0;
        out.interstitial =
            dry_at_end ? InterstitialVerdict::Evaporates : InterstitialVerdict::Accumulates;
        for (int m = 0; m < MONTHS; ++m) {
            if (out.m_a_max_month == 0 || out.months[m].m_a_total > out.m_a_max) {
                out.m_a_max = out.months[m].m_a_total;
                out.m_a_max_month = m + 1;
            }
        }
    }

    double u_max = 0.0;
    out.has_u_max = maximum_u(settings.kind, checked.temp_int, u_max);
    out.u_max = out.has_u_max ? u_max : 0.0;
    out.u_ok = out.has_u_max && out.u <= out.u_max;
    return all_finite(out);
}
