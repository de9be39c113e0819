#include "output/assessment_charts.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "core/numfmt.h"
#include "lang/catalogue_c.h"

namespace {

std::string num(const char* mask, double v, char decimal_sep) {
    return format_number(mask, v, decimal_sep != 0 ? decimal_sep : catalogue_c_decimal_separator());
}

// A step of 1, 2 or 5 times a power of ten that puts about `count` ticks on `span`.
double nice_step(double span, int count) {
    if (!(span > 0.0) || count < 1) return 1.0;
    const double raw = span / count;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double f : {1.0, 2.0, 5.0}) {
        if (f * power >= raw) return f * power;
    }
    return 10.0 * power;
}

// A mask with as many decimals as the step needs.
const char* mask_for(double step) {
    if (step >= 1.0) return "0.#";
    if (step >= 0.1) return "0.0";
    if (step >= 0.01) return "0.00";
    return "0.000";
}

// The plot's area inside a box, axes' labels outside it.
struct Plot {
    int left, top, right, bottom;
    double x_max, y_max;
    int x(double v) const { return left + int(std::lround((right - left) * v / x_max)); }
    int y(double v) const { return bottom - int(std::lround((bottom - top) * v / y_max)); }
};

void frame(Canvas& c, const Plot& p) {
    c.set_pen_color(CHART_BLACK);
    c.set_pen_style(PenStyle::solid);
    c.set_pen_width(1);
    c.line(p.left, p.top, p.left, p.bottom);
    c.line(p.left, p.bottom, p.right, p.bottom);
}

void y_ticks(Canvas& c, const Plot& p, double step, const char* mask, char decimal_sep) {
    const int h = c.text_height("0");
    c.set_pen_color(CHART_BLACK);
    for (double v = 0.0; v <= p.y_max + step * 1e-9; v += step) {
        const int y = p.y(v);
        c.line(p.left - 3, y, p.left, y);
        const std::string s = num(mask, v, decimal_sep);
        c.text_utf8(p.left - 5 - c.text_width_utf8(s.c_str()), y - h / 2, s.c_str());
    }
}

// θ at a fraction t of the way across a segment whose ends are at θ0 and θ1.
double p_sat_between(double theta0, double theta1, double t) {
    return saturation_pressure_pa(theta0 + (theta1 - theta0) * t);
}

void cross(Canvas& c, int x, int y, int r) {
    c.line(x - r, y - r, x + r + 1, y + r + 1);
    c.line(x - r, y + r, x + r + 1, y - r - 1);
}

void circle(Canvas& c, int x, int y, int r) {
    c.arc(x - r, y - r, x + r + 1, y + r + 1, x + r, y, x + r, y);
}

}  // namespace

void draw_glaser_diagram(const Assessment& a, int month, Canvas& c, ChartBox box) {
    if (month < 0 || month >= MONTHS) month = 0;
    const MonthAssessment& r = a.months[month];
    const int n = a.layer_count;
    const int h = c.text_height("0");
    const int label_w = c.text_width_utf8("00000");

    // The highest pressure drawn: saturation on the warm side, or p_i, p_e.
    double p_top = std::max(r.p_e, r.p_i);
    p_top = std::max({p_top, saturation_pressure_pa(r.theta_e), saturation_pressure_pa(r.theta_i)});
    for (int j = 0; j <= n; ++j) p_top = std::max(p_top, r.p_sat[j]);
    const double y_step = nice_step(p_top, 5);
    const double y_max = std::ceil(p_top / y_step) * y_step;

    // Below the month and the axis title, with room for the top tick's label.
    Plot p{box.left + label_w + 8, box.top + 2 * h + h / 2 + 6, box.left + box.width - 10,
           box.top + box.height - 2 * h - 8, a.sd_total, y_max};
    if (p.right - p.left < 20 || p.bottom - p.top < 20 || !(a.sd_total > 0.0) || !(y_max > 0.0))
        return;

    // Month and axis titles.
    const char* month_name = catalogue_c_text(C_MONTH_1 + month);
    c.text_utf8(box.left + (box.width - c.text_width_utf8(month_name)) / 2, box.top, month_name);
    c.text_utf8(box.left, box.top + h + 2, catalogue_c_text(C_W_DIAGRAM_Y));
    const char* x_title = catalogue_c_text(C_W_DIAGRAM_X);
    c.text_utf8(p.right - c.text_width_utf8(x_title), p.bottom + h + 6, x_title);

    // The air films.
    c.fill_rect(p.x(0.0), p.top, p.x(a.sd[0]) + 1, p.bottom, CHART_FILM);
    c.fill_rect(p.x(a.sd[n]), p.top, p.x(a.sd_total) + 1, p.bottom, CHART_FILM);

    // A line at every plane, the inside air's edge too.
    c.set_pen_color(CHART_GREY);
    c.set_pen_width(1);
    c.set_pen_style(PenStyle::solid);
    for (int j = 0; j <= n; ++j) c.line(p.x(a.sd[j]), p.top, p.x(a.sd[j]), p.bottom);
    c.line(p.x(a.sd_total), p.top, p.x(a.sd_total), p.bottom);
    frame(c, p);
    y_ticks(c, p, y_step, "0", box.decimal_sep);

    const double x_step = nice_step(a.sd_total, std::max(1, (p.right - p.left) / (2 * label_w)));
    for (double v = 0.0; v <= a.sd_total + x_step * 1e-9; v += x_step) {
        const int x = p.x(v);
        c.set_pen_color(CHART_BLACK);
        c.line(x, p.bottom, x, p.bottom + 3);
        const std::string s = num(mask_for(x_step), v, box.decimal_sep);
        c.text_utf8(x - c.text_width_utf8(s.c_str()) / 2, p.bottom + 4, s.c_str());
    }

    // Saturation along each segment: θ runs linearly across a film or a layer,
    // and so does sd.
    struct Segment {
        double x0, x1, theta0, theta1;
    };
    Segment segments[MAX_PLANES + 1];
    int count = 0;
    segments[count++] = {0.0, a.sd[0], r.theta_e, r.theta[0]};
    for (int j = 0; j < n; ++j) segments[count++] = {a.sd[j], a.sd[j + 1], r.theta[j], r.theta[j + 1]};
    segments[count++] = {a.sd[n], a.sd_total, r.theta[n], r.theta_i};
    c.set_pen_color(CHART_SATURATION);
    c.set_pen_width(2);
    for (int s = 0; s < count; ++s) {
        const Segment& g = segments[s];
        const int steps = std::clamp((p.x(g.x1) - p.x(g.x0)) / 3, 1, 200);
        int px = p.x(g.x0), py = p.y(saturation_pressure_pa(g.theta0));
        for (int k = 1; k <= steps; ++k) {
            const double t = double(k) / steps;
            const int nx = p.x(g.x0 + (g.x1 - g.x0) * t);
            const int ny = p.y(p_sat_between(g.theta0, g.theta1, t));
            c.line(px, py, nx, ny);
            px = nx;
            py = ny;
        }
    }
    const char* sat = catalogue_c_text(C_W_PSAT);
    c.text_utf8(p.right - c.text_width_utf8(sat) - 6,
                std::max(p.top, p.y(saturation_pressure_pa(r.theta_i)) - h - 2), sat);

    // The straight line from p_e to p_i, then the chain over it.
    c.set_pen_color(CHART_GREY);
    c.set_pen_width(1);
    c.set_pen_style(PenStyle::dash_dot);
    c.line(p.x(0.0), p.y(r.p_e), p.x(a.sd_total), p.y(r.p_i));
    c.set_pen_style(PenStyle::solid);
    c.set_pen_color(CHART_VAPOUR);
    c.set_pen_width(2);
    int px = p.x(0.0), py = p.y(r.p_e);
    for (int j = 0; j <= n; ++j) {
        const int nx = p.x(a.sd[j]), ny = p.y(r.p[j]);
        c.line(px, py, nx, ny);
        px = nx;
        py = ny;
    }
    c.line(px, py, p.x(a.sd_total), p.y(r.p_i));
    const char* vapour = catalogue_c_text(C_W_P);
    c.text_utf8(p.right - c.text_width_utf8(vapour) - 6, p.y(r.p_i) + 3, vapour);

    // The planes that condense (x) or dry out (o), with g.
    c.set_pen_width(2);
    c.set_pen_color(CHART_BLACK);
    for (int j = 1; j < n; ++j) {
        if (r.g[j] == 0.0) continue;
        const int x = p.x(a.sd[j]), y = p.y(r.p[j]);
        if (r.g[j] > 0.0)
            cross(c, x, y, 4);
        else
            circle(c, x, y, 4);
        const std::string g = num("+0.00;-0.00", r.g[j], box.decimal_sep);
        const int tx = std::min(x + 6, p.right - c.text_width_utf8(g.c_str()));
        c.text_utf8(tx, y - h - 4, g.c_str());
    }
    c.set_pen_width(1);
}

namespace {

Plot bars_plot(const Assessment& a, Canvas& c, const ChartBox& box, double& step) {
    double top = 0.0;
    for (const MonthAssessment& m : a.months) top = std::max(top, m.m_a_total);
    step = nice_step(top > 0.0 ? top : 1.0, 4);
    const double y_max = std::max(step, std::ceil(top / step) * step);
    const int h = c.text_height("0");
    const int label_w = c.text_width_utf8("00000");
    return Plot{box.left + label_w + 8, box.top + h + h / 2 + 6, box.left + box.width - 6,
                box.top + box.height - h - 6, double(MONTHS), y_max};
}

}  // namespace

void draw_month_bars(const Assessment& a, int chosen, Canvas& c, ChartBox box) {
    double step = 1.0;
    const Plot p = bars_plot(a, c, box, step);
    if (p.right - p.left < 24 || p.bottom - p.top < 10) return;
    c.text_utf8(box.left, box.top, catalogue_c_text(C_W_BARS));
    frame(c, p);
    y_ticks(c, p, step, mask_for(step), box.decimal_sep);

    std::string names[MONTHS];
    const std::string all = catalogue_c_text(C_W_MONTH_SHORT);
    std::size_t from = 0;
    bool fit = true;
    for (std::string& name : names) {
        const std::size_t bar = std::min(all.find('|', from), all.size());
        name = all.substr(from, bar - from);
        from = bar + 1;
        fit = fit && c.text_width_utf8(name.c_str()) + 2 <= p.x(1) - p.x(0);
    }
    // Too narrow for the names: the months' numbers.
    if (!fit)
        for (int m = 0; m < MONTHS; ++m) names[m] = std::to_string(m + 1);
    for (int m = 0; m < MONTHS; ++m) {
        const std::string& name = names[m];

        const int x0 = p.x(m), x1 = p.x(m + 1);
        const int inset = std::max(1, (x1 - x0) / 6);
        const int y = p.y(a.months[m].m_a_total);
        const bool picked = m == chosen;
        if (y < p.bottom) c.fill_rect(x0 + inset, y, x1 - inset, p.bottom, picked ? CHART_BAR_CHOSEN : CHART_BAR);
        if (picked) {
            // A frame around the chosen column, so it shows without colour
            // too; dotted, so that it never reads as a bar of its own.
            c.set_pen_color(CHART_BLACK);
            c.set_pen_width(1);
            c.set_pen_style(PenStyle::dotted);
            c.line(x0 + 1, p.top, x1 - 1, p.top);
            c.line(x0 + 1, p.top, x0 + 1, p.bottom);
            c.line(x1 - 1, p.top, x1 - 1, p.bottom);
            c.set_pen_style(PenStyle::solid);
        }
        c.text_utf8((x0 + x1 - c.text_width_utf8(name.c_str())) / 2, p.bottom + 3, name.c_str());
    }
}

int month_bar_at(const ChartBox& box, Canvas& canvas, int x) {
    Assessment empty;
    double step = 1.0;
    const Plot p = bars_plot(empty, canvas, box, step);
    if (x < p.left || x >= p.right || p.right <= p.left) return -1;
    return std::clamp((x - p.left) * MONTHS / (p.right - p.left), 0, MONTHS - 1);
}
