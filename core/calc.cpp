// Thermal and water-vapour distribution across the layers.
#include <cmath>

#include "core/Quil_c.h"

// Correction of a layer resistance in a cylindrical wall, x = r_outer / r_inner of the layer:
// f(x) = ln(x) / (1 - 1/x), and 1 at x = 1 where the formula is 0/0.
double curvature_factor(double x) {
    if (x > 1.000005) return std::log(x) / (1.0 - 1.0 / x);
    return 1.0;
}

// Series of resistances. Straight: R_i = d_i / coef_i. Curved (coaxial cylinders, external
// radius R): every resistance is referred to one square metre of the external surface, so a
// layer between its external radius r_o and r_in = r_o - d_i gives
// R_i = d_i / coef_i * (R / r_o) * f(r_o / r_in) = R * ln(r_o / r_in) / coef_i,
// the external film enters as it is and the internal one as inner * R / r_n (r_n: the internal
// face). The record must have passed validate_partition.
void referred_resistances(const Partition& p, double outer, double inner, const double coef[],
                          SeriesResistances& out) {
    const int n = used_layers(p);
    const bool curved = p.wall_type == 1;
    out.count = n;
    out.outer = outer;
    double sum = outer;
    double r = p.radius;
    for (int i = 0; i < n; ++i) {
        const double d = p.layers[i].thickness;
        double resistance = d / coef[i];
        if (curved) {
            const double r_in = r - d;
            resistance *= (p.radius / r) * curvature_factor(r / r_in);
            r = r_in;
        }
        out.layer[i] = resistance;
        sum += resistance;
    }
    out.inner = curved ? inner * (p.radius / r) : inner;
    out.sum = sum + out.inner;
}

// total = 1 / (sum of all), flux = (value_inner - value_outer) * total, and each plane adds
// flux * R of the resistance before it.
double series_values(const SeriesResistances& s, double value_outer, double value_inner,
                     double values[]) {
    const double total = 1.0 / s.sum;
    const double flux = (value_inner - value_outer) * total;
    values[0] = value_outer + flux * s.outer;
    for (int j = 1; j <= s.count; ++j) values[j] = values[j - 1] + flux * s.layer[j - 1];
    return total;
}

void series_distribution(const Partition& p, double outer, double inner, double value_outer,
                         double value_inner, const double coef[], double& total, double values[]) {
    SeriesResistances s;
    referred_resistances(p, outer, inner, coef, s);
    total = series_values(s, value_outer, value_inner, values);
}

namespace {

void vapour_pass(Partition& p) {
    const int n = p.layer_count;
    const double p_ext = saturation_pressure(p.temp_ext) * (p.hum_ext * 0.01);
    const double p_int = saturation_pressure(p.temp_int) * (p.hum_int * 0.01);
    double deltas[MAX_LAYERS];
    for (int j = 0; j < n; ++j) {
        p.press_sat[j] = saturation_pressure(p.temp[j]);
        deltas[j] = p.layers[j].delta;
    }
    p.press_sat[n] = saturation_pressure(p.temp[n]);
    double unused_total;
    series_distribution(p, p.diff_ext, p.diff_int, p_ext, p_int, deltas, unused_total,
                        p.press_real);

    const double ends[4] = {p.press_real[0], p.press_real[n], p.press_sat[0], p.press_sat[n]};
    double low = ends[0], high = ends[0];
    for (double v : ends) {
        if (v < low) low = v;
        if (v > high) high = v;
    }
    p.press_min = low;
    p.press_span = high - low;
}

}  // namespace

bool calculate_partition(Partition& p) {
    if (!validate_partition(p)) return false;
    const int n = p.layer_count;
    double lambdas[MAX_LAYERS];
    for (int i = 0; i < n; ++i) lambdas[i] = p.layers[i].lambda;
    series_distribution(p, p.res_ext, p.res_int, p.temp_ext, p.temp_int, lambdas, p.k, p.temp);
    p.temp_min = p.temp_ext >= p.temp_int ? p.temp_int : p.temp_ext;
    p.temp_span = p.temp_int - p.temp_ext;
    if (p.calc_mode == 1) vapour_pass(p);
    return true;
}
