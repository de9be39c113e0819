#include "output/graph.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

#include "core/numfmt.h"
#include "lang/catalogue.h"
#include "output/font_size.h"

namespace {

// Products of a fraction and a pixel count are formed in extended precision
// before truncation: 0.18 x 200 must stay just below 36 and give 35.
using ld = long double;

constexpr double F_MARGIN = 0.005;
constexpr double F_GAP = 0.02;
constexpr double F_LEGEND_TOP = 0.03;
constexpr double F_DX = 0.04;
constexpr double F_DY = 0.08;
constexpr double F_TOP = 0.18;
constexpr double F_BOTTOM = 0.93;
constexpr double F_PRESS_TOP = 0.35;
constexpr double F_PRESS_BOTTOM = 0.8;
constexpr double F_PAPER_LEGEND = 0.28;
constexpr double F_WALL = 0.48;
constexpr double F_AIR = 0.24;
constexpr double F_FILM = 0.006;
constexpr double F_FILM_MAX = 0.6;
constexpr double F_INNER_ARC = 0.333;
constexpr double ARC_DEPTH = 5.0;
constexpr double F_STEP = 0.025;
constexpr double SPAN_EPS = 0.0001;

// The derived fractions, each formed once from the ones above.
constexpr double F_TEMP_TOP = double(ld(F_TOP) + F_GAP);                   // 0.20
constexpr double F_TEMP_BOTTOM = double(ld(F_BOTTOM) - F_GAP);             // 0.91
constexpr double F_TEMP_BAND = double(ld(F_TEMP_BOTTOM) - F_TEMP_TOP);     // 0.71
constexpr double F_PRESS_BAND = double(ld(F_PRESS_BOTTOM) - F_PRESS_TOP);  // 0.45
constexpr double F_NUMBERS = double(ld(F_BOTTOM) + F_GAP);                 // 0.95
constexpr double F_FACE = double((ld(1.0) - F_WALL) * 0.5);                // 0.26
constexpr double F_AIR_START = double(ld(F_FACE) - F_AIR);                 // 0.02

constexpr Rgb BLACK{0, 0, 0};
constexpr Rgb MAROON{128, 0, 0};
constexpr Rgb BLUE{0, 0, 255};
constexpr Rgb GREEN{0, 128, 0};
constexpr Rgb RED{255, 0, 0};

// Truncation toward zero; a value that is not a sane pixel position (NaN,
// infinity, beyond any device) is pinned rather than left to undefined
// behaviour in the conversion.
int trunc_px(ld v) {
    if (!(v == v)) return 0;
    if (v > 1e8L) return 100000000;
    if (v < -1e8L) return -100000000;
    return int(v);
}

int round_px(ld v) { return trunc_px(v + 0.5L); }

struct Area {
    int x0, y0, w, h;
};

class GraphPainter {
public:
    GraphPainter(const Partition& p, Canvas& c, const GraphTarget& t, const Area& a)
        : p_(p), c_(c), t_(t), x0_(a.x0), y0_(a.y0), w_(a.w), h_(a.h) {}

    void draw();

private:
    int frac_w(double f) const { return trunc_px(ld(f) * w_); }
    int frac_h(double f) const { return trunc_px(ld(f) * h_); }
    int yt(double v) const { return round_px(ld(y0t_) - (ld(v) - p_.temp_min) * sT_); }
    int yp(double v) const { return round_px(ld(y0p_) - (ld(v) - p_.press_min) * sP_); }
    std::string num(const char* mask, double v) const {
        return format_number(mask, v, t_.decimal_sep);
    }
    static std::string plane_label(int j) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "%2d  ", j + 1);
        return buf;
    }
    const char* text_a(int id) const { return catalogue_a_text(std::int8_t(id)); }

    void horizontal_layout();
    void k_line();
    void outline();
    void arc(int x, int y, double f);
    void temperatures();
    void pressures();

    const Partition& p_;
    Canvas& c_;
    const GraphTarget& t_;
    const int x0_, y0_, w_, h_;
    bool screen_ = true;
    int n_ = 0;
    int dir_ = 0;
    int th_ = 0, tw0_ = 0, xl_ = 0;
    int xa_ = 0, xb_ = 0;
    int x_[MAX_PLANES + 2] = {};  // planes 0..n, then the internal film and air ends
    int y_top_ = 0, y_bot_ = 0, dx_ = 0, dy_ = 0, y_top2_ = 0, y_bot2_ = 0, y_num_ = 0;
    int wall_w_ = 0;
    bool arcs_ = false;
    double y0t_ = 0, sT_ = 0, y0p_ = 0, sP_ = 0;
};

void GraphPainter::draw() {
    screen_ = t_.graph_on_screen;
    n_ = used_layers(p_);
    dir_ = p_.temp_int > p_.temp_ext ? 1 : (p_.temp_int < p_.temp_ext ? -1 : 0);

    c_.set_pen_width(1);
    c_.set_font_size(screen_ ? scale_font_size(8, 600, 12, 1200, t_.screen_height, 8, 16) : 8);
    th_ = c_.text_height("W");
    tw0_ = c_.text_width("0");
    c_.set_pen_color(BLACK);
    xl_ = frac_w(F_MARGIN) + x0_;

    horizontal_layout();

    y_top_ = frac_h(F_TOP) + y0_;
    y_bot_ = frac_h(F_BOTTOM) + y0_;
    dx_ = frac_w(F_DX);
    dy_ = frac_h(F_DY);
    y_top2_ = y_top_ - dy_;
    y_bot2_ = y_bot_ - dy_;
    y_num_ = frac_h(F_NUMBERS) + y0_;
    wall_w_ = x_[n_] - x_[0];
    // A box under 13 pixels high makes dy zero and the arc ellipse
    // degenerate; a box a few pixels wide leaves no partition width.
    arcs_ = dy_ > 0 && wall_w_ > 0;

    if (screen_) k_line();
    outline();
    temperatures();
    if (p_.calc_mode != 1) {
        c_.set_pen_color(BLACK);
        return;
    }
    pressures();
    if (screen_) c_.set_pen_color(BLACK);
}

void GraphPainter::horizontal_layout() {
    const double d = total_thickness(p_);
    const int w = w_;
    xa_ = round_px(ld(F_AIR_START) * w) + x0_;
    x_[0] = round_px(ld(F_FACE) * w) + x0_;
    xb_ = round_px((ld(F_FACE) - ld(F_WALL) * F_FILM / d) * w) + x0_;
    const int film_max = trunc_px(xa_ + ld(F_FILM_MAX) * (x_[0] - xa_));
    if (xb_ < film_max) xb_ = film_max;
    double sum = 0.0;
    for (int j = 1; j < n_; ++j) {
        sum += layer_at(p_, j - 1)->thickness;
        x_[j] = round_px(x_[0] + ld(sum) / d * F_WALL * w);
    }
    x_[n_] = 2 * x0_ + w - x_[0];
    x_[n_ + 1] = 2 * x0_ + w - xb_;
    x_[n_ + 2] = 2 * x0_ + w - xa_;
}

void GraphPainter::k_line() {
    const char* a = text_a(78);
    const std::string k = num("0.00", p_.k);
    const char* b = text_a(79);
    const int w1 = c_.text_width(a), w2 = c_.text_width(k.c_str()), w3 = c_.text_width(b);
    const int x = (w_ - (w1 + w2 + w3)) / 2;
    const int y = frac_h(F_MARGIN) + y0_;
    c_.text(x, y, a);
    c_.text(x + w1, y, k.c_str());
    c_.text(x + w1 + w2, y, b);
}

// Ellipse through the base point (x, y) with a horizontal tangent at the
// apex (x + g, y - h): centre (x + g, y + 4h), semi-axes 5g/3 and 5h.
void GraphPainter::arc(int x, int y, double f) {
    if (!arcs_) return;
    const double g = dx_ * f;
    const double h = dy_ * f;
    const double m = ARC_DEPTH * h;
    const double s = std::sqrt(2.0 * h * m - h * h);
    // In a partition a pixel or two wide a plane may round past the internal
    // face, which turns f and the ellipse inside out.
    if (!(h > 0.0) || !(s > 0.0)) return;
    const double t = g * m / s;
    const int left = round_px(ld(x) + g - t);
    const int top = round_px(ld(y) - h);
    const int right = round_px(ld(left) + 2.0L * t);
    const int bottom = round_px(ld(top) + 2.0L * m);
    c_.arc(left, top, right, bottom, round_px(ld(x) + g), top, x, y);
}

void GraphPainter::outline() {
    const bool curved = p_.wall_type != 0;
    for (int j = 0; j <= n_; ++j) {
        const int x = x_[j];
        c_.line(x, y_top_, x, y_bot_);
        if (!curved) {
            c_.line(x + dx_, y_top2_, x, y_top_);
        } else if (arcs_) {
            arc(x, y_top_, (1.0 - F_INNER_ARC) * (x_[n_] - x) / wall_w_ + F_INNER_ARC);
        }
        const std::string label = std::to_string(j + 1);
        const int tw = c_.text_width(label.c_str());
        int tx = x - tw / 2;
        if (j >= 1 && tw > x_[j] - x_[j - 1]) tx = x;
        c_.text(tx, y_num_, label.c_str());
    }

    const int xn = x_[n_];
    int back_x = xn + dx_;
    int back_y = y_top2_;
    if (!curved) {
        c_.line(xn + dx_, y_top2_, xn + dx_, y_bot2_);
        c_.line(xn + dx_, y_bot2_, xn, y_bot_);
    } else {
        const int xq = round_px(ld(F_INNER_ARC) * dx_ + xn);
        c_.line(xq, round_px(y_top2_ + ld(1.0 - F_INNER_ARC) * dy_), xq,
                round_px(y_bot2_ + ld(1.0 - F_INNER_ARC) * dy_));
        arc(xn, y_bot_, F_INNER_ARC);
        back_x = xq;
        back_y = round_px(y_top_ - ld(F_INNER_ARC) * dy_);
    }

    c_.set_pen_style(PenStyle::dash_dot);
    c_.line(x_[0], y_top_, xn, y_top_);
    c_.line(x_[0], y_bot_, xn, y_bot_);
    c_.line(x_[0] + dx_, y_top2_, back_x, back_y);
    c_.set_pen_style(PenStyle::solid);
}

void GraphPainter::temperatures() {
    y0t_ = double(ld(F_TEMP_BOTTOM) * h_ + y0_);
    sT_ = double(ld(F_TEMP_BAND) * h_);
    if (std::fabs(p_.temp_span) > SPAN_EPS) sT_ = sT_ / std::fabs(p_.temp_span);
    const int yTe = yt(p_.temp_ext);
    const int yT0 = yt(p_.temp[0]);
    const int yTi = yt(p_.temp_int);
    const ld gap = ld(F_GAP) * h_;

    c_.set_pen_color(BLACK);
    const char* legend = text_a(80);
    const int legend_w = c_.text_width(legend);
    const int lx = x0_ + w_ - (legend_w + 8);
    int ly;
    if (dir_ > 0)
        ly = trunc_px(yTi + gap);
    else if (!screen_)
        ly = trunc_px(yTi - gap);
    else
        ly = frac_h(F_TOP) + y0_;
    c_.text(lx, ly, legend);

    if (screen_) {
        int y = ly + th_ / 2;
        for (int j = 0; j <= n_; ++j) {
            y += th_;
            const std::string label = plane_label(j);
            c_.text(lx, y, label.c_str());
            c_.text(lx + c_.text_width(label.c_str()), y, num("+0.00;-0.00", p_.temp[j]).c_str());
        }
    }

    const char* deg = text_a(85);
    const std::string ext = num("+0.00;-0.00", p_.temp_ext) + deg;
    c_.text(xl_ + 2 * tw0_, dir_ >= 0 ? trunc_px(yTe + gap) : trunc_px(yTe - th_ - gap),
            ext.c_str());
    const std::string in = num("+0.00;-0.00", p_.temp_int) + deg;
    c_.text(x0_ + w_ - (legend_w + 3), dir_ > 0 ? trunc_px(yTi - th_ - gap) : trunc_px(yTi + gap),
            in.c_str());

    c_.set_pen_color(MAROON);
    c_.line(xa_, yTe, xb_, yTe);
    c_.line(xb_, yTe, x_[0], yT0);
    for (int j = 1; j <= n_; ++j) c_.line(x_[j - 1], yt(p_.temp[j - 1]), x_[j], yt(p_.temp[j]));
    c_.line(x_[n_], yt(p_.temp[n_]), x_[n_ + 1], yTi);
    c_.line(x_[n_ + 1], yTi, x_[n_ + 2], yTi);
}

void GraphPainter::pressures() {
    y0p_ = double(ld(F_PRESS_BOTTOM) * h_ + y0_);
    sP_ = double(ld(F_PRESS_BAND) * h_);
    if (std::fabs(p_.press_span) > SPAN_EPS) sP_ = sP_ / std::fabs(p_.press_span);

    const char* sat1 = text_a(81);
    const char* real1 = text_a(83);
    int sat_x = xl_, real_x, sat_y, real_y;
    if (screen_) {
        sat_y = real_y =
            dir_ >= 0 ? frac_h(F_LEGEND_TOP) + y0_ : trunc_px((ld(F_TEMP_TOP) + F_GAP) * h_) + y0_;
        real_x = xl_ + 15 * tw0_;
    } else {
        sat_y = frac_h(F_PAPER_LEGEND) + y0_;
        real_x = xl_;
        real_y = trunc_px(5.5L * th_ + sat_y);
    }
    c_.text(sat_x, sat_y, sat1);
    c_.text(sat_x, sat_y + th_, text_a(82));
    c_.text(real_x, real_y, real1);
    c_.text(real_x, real_y + th_, text_a(84));

    if (screen_) {
        for (int j = 0; j <= n_; ++j) {
            const int y = trunc_px((j + 2.5L) * th_ + sat_y);
            const std::string label = plane_label(j);
            c_.text(xl_, y, label.c_str());
            c_.text(xl_ + c_.text_width(label.c_str()), y, num("0.00", p_.press_sat[j]).c_str());
            c_.text(xl_ + 16 * tw0_, y, num("0.00", p_.press_real[j]).c_str());
        }
    }

    c_.set_pen_style(PenStyle::dotted);
    c_.set_pen_color(BLUE);
    c_.line(sat_x + c_.text_width(sat1), sat_y + th_, x_[0] - 5, yp(p_.press_sat[0]));
    c_.set_pen_color(GREEN);
    c_.line(real_x + c_.text_width(real1), real_y + th_, x_[0] - 5, yp(p_.press_real[0]));
    c_.set_pen_style(PenStyle::solid);

    // Saturation is sampled about forty times across the partition, and once
    // more at every layer boundary, from the temperature interpolated in the
    // layer; the real pressure is linear in each layer.
    const double step = wall_w_ * F_STEP;
    if (!(step > 0.0)) return;  // no width to sample: the loop would never advance
    int c = 1;
    int prev_x = x_[0];
    int prev_y = yp(p_.press_sat[0]);
    for (int j = 0; j < n_; ++j) {
        const int xL = x_[j], xR = x_[j + 1];
        const int yR0 = yp(p_.press_real[j]), yR1 = yp(p_.press_real[j + 1]);
        c_.set_pen_color(GREEN);
        c_.line(xL, yR0, xR, yR1);
        int xs;
        do {
            xs = round_px(x_[0] + ld(c) * step);
            if (xs > xR) {
                xs = xR;
                --c;
            }
            const double r = xR == xL ? 0.0 : double(xs - xL) / double(xR - xL);
            const int yRs = round_px(yR0 + ld(yR1 - yR0) * r);
            const double t = (p_.temp[j + 1] - p_.temp[j]) * r + p_.temp[j];
            const int yS = yp(saturation_pressure(t));
            c_.set_pen_color(BLUE);
            c_.line(prev_x, prev_y, xs, yS);
            if (yRs < yS) {
                c_.set_pen_color(RED);
                c_.line(xs, yRs, xs, yS);
            }
            ++c;
            prev_x = xs;
            prev_y = yS;
        } while (xs < xR);
    }
}

}  // namespace

void draw_graph(const Partition& p, Canvas& canvas, const GraphTarget& target) {
    if (!target.results_valid) return;
    // Results that no valid calculation could have left are not drawn at all.
    const int n = used_layers(p);
    if (n < 1 || n != p.layer_count) return;
    for (int i = 0; i < n; ++i)
        if (!(layer_at(p, i)->thickness > 0.0)) return;
    const double d = total_thickness(p);
    if (!(d > 0.0) || !std::isfinite(d)) return;
    bool finite = std::isfinite(p.k) && std::isfinite(p.temp_span) && std::isfinite(p.temp_min) &&
                  std::isfinite(p.temp_int) && std::isfinite(p.temp_ext);
    for (int j = 0; j <= n; ++j) finite = finite && std::isfinite(p.temp[j]);
    if (p.calc_mode == 1) {
        finite = finite && std::isfinite(p.press_span) && std::isfinite(p.press_min);
        for (int j = 0; j <= n; ++j)
            finite = finite && std::isfinite(p.press_sat[j]) && std::isfinite(p.press_real[j]);
    }
    if (!finite) return;

    Area a{};
    if (target.graph_on_screen) {
        a = {0, 0, target.box_width - 1, target.box_height - 1};
    } else {
        a = {trunc_px(ld(0.08) * target.page_width), trunc_px(ld(0.7) * target.page_height),
             trunc_px(ld(0.8) * target.page_width), trunc_px(ld(0.28) * target.page_height)};
    }
    if (a.w < 1 || a.h < 1) return;
    GraphPainter(p, canvas, target, a).draw();
}
