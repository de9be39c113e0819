// Year-round moisture assessment of a partition under twelve months of climate:
// interstitial condensation by the monthly method of PN-EN ISO 13788 (the tangent
// construction on the sd-p diagram, a condensate balance month by month), the
// internal-surface mould check by the temperature factor fRsi, and U against the
// maximum U of the Polish technical conditions. No Qt here.
#pragma once

#include <cstdint>

#include "core/Quil_c.h"
#include "core/climate.h"

// Values of PN-EN ISO 13788:2012 (sections 4 and 6, the monthly method) unless said otherwise.
// Water-vapour permeability of still air, kg/(m·s·Pa); 0.072 g/(m·h·hPa).
constexpr double DELTA_AIR = 2e-10;
// The record's diffusive resistances (m²·h·hPa/g) times this give sd in metres.
constexpr double SD_PER_RESISTANCE = 0.072;
// Internal surface resistance of the mould check, m²·K/W.
constexpr double RSI_MOULD = 0.25;
// Highest relative humidity at the internal surface before mould is likely (also stated in
// BS 5250:2002, annex D.2, which summarises the standard's surface method).
constexpr double MOULD_SURFACE_HUMIDITY = 0.8;
// The least fRsi the Polish technical conditions accept: Rozporządzenie w sprawie warunków
// technicznych, jakim powinny odpowiadać budynki i ich usytuowanie, Dz.U. 2019 poz. 1065,
// Załącznik nr 2, section 2.2 (surface and interstitial condensation).
constexpr double F_RSI_REQUIRED = 0.72;
// Days of each month, January first.
constexpr int MONTH_DAYS[MONTHS] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

// Saturated water-vapour pressure in Pa at θ in °C (over water from 0 °C, over ice below).
double saturation_pressure_pa(double theta);
// Its inverse: the temperature in °C whose saturated pressure is p (Pa, p > 0).
double saturation_temperature(double p);

// Internal vapour-pressure excess of humidity class 1..5 at external θe, Pa.
double humidity_class_excess(int humidity_class, double theta_e);

// The vapour pressures of one month (0 = January), Pa: p_e from φe, p_i from φi or, with a
// humidity class, p_e + 1.10 Δp.
void month_pressures(const Climate& climate, int month, double& p_e, double& p_i);

enum class ClimateProblem : std::uint8_t {
    None = 0,
    OutOfRange,      // a θ or φ outside its range (climate.h), or not a number
    BadClass,        // humidity class not 0..HUMIDITY_CLASSES
    ClassSaturates,  // the class puts p_i above p_sat(θi)
};
// Checks every month; on a problem `month` is its index (0 = January).
ClimateProblem check_climate(const Climate& climate, int& month);

enum class InterstitialVerdict : std::uint8_t { None = 0, Evaporates, Accumulates };
// "none", "evaporates", "accumulates".
const char* interstitial_verdict_name(InterstitialVerdict v);

struct MonthAssessment {
    double theta_e = 0.0, phi_e = 0.0, theta_i = 0.0, phi_i = 0.0;  // °C, %
    double p_e = 0.0, p_i = 0.0;                                    // Pa
    bool has_f_rsi_min = false;                                     // only where θi > θe
    double f_rsi_min = 0.0;
    double theta[MAX_PLANES] = {};  // plane temperatures, °C
    double p_sat[MAX_PLANES] = {};  // Pa
    double p[MAX_PLANES] = {};      // vapour pressure on the chain, Pa
    double g[MAX_PLANES] = {};      // condensed (+) or evaporated (-) in the month, g/m²
    double m_a[MAX_PLANES] = {};    // held at the month's end, g/m²
    std::uint16_t condensing = 0;   // bit j: g[j] > 0
    double m_a_total = 0.0;         // sum of m_a
};

struct Assessment {
    int layer_count = 0;
    double sd[MAX_PLANES] = {};  // m, from the external air to each plane
    double sd_total = 0.0;       // m, external air to internal air
    double u = 0.0;              // W/(m²·K), with the record's surface resistances
    double f_rsi = 0.0;          // with RSI_MOULD inside
    int start_month = 0;         // 1..12; 0: no month condenses
    double m_a_max = 0.0;        // largest total held, g/m²
    int m_a_max_month = 0;       // 1..12; 0 with "none"
    InterstitialVerdict interstitial = InterstitialVerdict::None;
    bool has_f_rsi_max = false;
    double f_rsi_max = 0.0;
    int f_rsi_max_month = 0;
    bool surface_ok = true;
    bool f_rsi_072 = false;
    bool has_u_max = false;
    double u_max = 0.0;
    bool u_ok = false;
    MonthAssessment months[MONTHS];  // calendar order
};

// The largest U the Polish technical conditions allow for `kind` at internal temperature
// θi; false where they set none that θi alone selects.
bool maximum_u(PartitionKind kind, double theta_i, double& u_max);

// The whole assessment. The record is checked as in thermal-and-dampness mode and the climate
// by check_climate; false (and `out` unspecified) when either fails. Allocates nothing.
bool assess_partition(const Partition& p, const Climate& climate,
                      const AssessmentSettings& settings, Assessment& out);
