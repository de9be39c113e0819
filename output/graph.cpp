#include "output/graph.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

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

// A drawn text's rectangle, right and bottom excluded.
struct TextBox {
    int left, top, right, bottom;
    bool meets(const TextBox& o) const {
        return left < o.right && o.left < right && top < o.bottom && o.top < bottom;
    }
};

class GraphPainter {
public:
    GraphPainter(const Partition& p, Canvas& c, const GraphTarget& t, const Area& a)
        : p_(p), canvas_(c), target_(t), x0_(a.x0), y0_(a.y0), w_(a.w), h_(a.h) {}

    void draw();

private:
    int frac_w(double f) const { return trunc_px(ld(f) * w_); }
    int frac_h(double f) const { return trunc_px(ld(f) * h_); }
    int yt(double v) const {
        return round_px(ld(temp_base_y_) - (ld(v) - p_.temp_min) * temp_scale_);
    }
    int yp(double v) const {
        return round_px(ld(press_base_y_) - (ld(v) - p_.press_min) * press_scale_);
    }
    std::string num(const char* mask, double v) const {
        return format_number(mask, v, target_.decimal_sep);
    }
    static std::string plane_label(int j) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "%2d  ", j + 1);
        return buf;
    }
    static const char* text_a(TextA id) { return catalogue_a_text(id); }
    void text(int x, int y, const char* s) {
        canvas_.text(x, y, s);
        texts_.push_back({x, y, x + canvas_.text_width(s), y + line_height_});
    }
    void text(int x, int y, const std::string& s) { text(x, y, s.c_str()); }

    void horizontal_layout();
    void k_line();
    void outline();
    void arc(int x, int y, double f);
    void temperatures();
    void pressures();
    void plane_numbers();

    const Partition& p_;
    Canvas& canvas_;
    const GraphTarget& target_;
    const int x0_, y0_, w_, h_;  // the drawing area
    bool on_screen_ = true;
    int layers_ = 0;
    int flux_dir_ = 0;  // +1 warmer inside, -1 warmer outside, 0 equal
    int line_height_ = 0;
    int digit_width_ = 0;                 // of "0"
    int text_left_ = 0;                   // where the left-hand texts start
    int air_x_ = 0;                       // the external air's outer end
    int film_x_ = 0;                      // the external surface film's outer end
    int plane_x_[MAX_PLANES + 2] = {};    // planes 0..n, then the internal film and air ends
    int wall_top_ = 0, wall_bottom_ = 0;  // the front face of the cross-section
    int depth_dx_ = 0, depth_dy_ = 0;     // the offset to its back face
    int back_top_ = 0, back_bottom_ = 0;  // the back face
    int numbers_y_ = 0;                   // the plane numbers
    int wall_width_ = 0;
    bool draw_arcs_ = false;
    // y = base - (value - minimum) * scale, for each course.
    double temp_base_y_ = 0, temp_scale_ = 0;
    double press_base_y_ = 0, press_scale_ = 0;
    std::vector<TextBox> texts_;  // drawn so far, for the plane numbers to keep clear of
};

void GraphPainter::draw() {
    on_screen_ = target_.graph_on_screen;
    layers_ = used_layers(p_);
    flux_dir_ = p_.temp_int > p_.temp_ext ? 1 : (p_.temp_int < p_.temp_ext ? -1 : 0);

    canvas_.set_pen_width(1);
    canvas_.set_font_size(
        on_screen_ ? scale_font_size(8, 600, 12, 1200, target_.screen_height, 8, 16) : 8);
    line_height_ = canvas_.text_height("W");
    digit_width_ = canvas_.text_width("0");
    canvas_.set_pen_color(BLACK);
    text_left_ = frac_w(F_MARGIN) + x0_;

    horizontal_layout();

    wall_top_ = frac_h(F_TOP) + y0_;
    wall_bottom_ = frac_h(F_BOTTOM) + y0_;
    depth_dx_ = frac_w(F_DX);
    depth_dy_ = frac_h(F_DY);
    back_top_ = wall_top_ - depth_dy_;
    back_bottom_ = wall_bottom_ - depth_dy_;
    numbers_y_ = frac_h(F_NUMBERS) + y0_;
    wall_width_ = plane_x_[layers_] - plane_x_[0];
    // A box under 13 pixels high makes dy zero and the arc ellipse
    // degenerate; a box a few pixels wide leaves no partition width.
    draw_arcs_ = depth_dy_ > 0 && wall_width_ > 0;

    if (on_screen_) k_line();
    outline();
    temperatures();
    if (p_.calc_mode == 1) pressures();
    plane_numbers();
    if (p_.calc_mode != 1 || on_screen_) canvas_.set_pen_color(BLACK);
}

void GraphPainter::horizontal_layout() {
    const double d = total_thickness(p_);
    const int w = w_;
    air_x_ = round_px(ld(F_AIR_START) * w) + x0_;
    plane_x_[0] = round_px(ld(F_FACE) * w) + x0_;
    film_x_ = round_px((ld(F_FACE) - ld(F_WALL) * F_FILM / d) * w) + x0_;
    const int film_max = trunc_px(air_x_ + ld(F_FILM_MAX) * (plane_x_[0] - air_x_));
    if (film_x_ < film_max) film_x_ = film_max;
    double sum = 0.0;
    for (int j = 1; j < layers_; ++j) {
        sum += layer_at(p_, j - 1)->thickness;
        plane_x_[j] = round_px(plane_x_[0] + ld(sum) / d * F_WALL * w);
    }
    plane_x_[layers_] = 2 * x0_ + w - plane_x_[0];
    plane_x_[layers_ + 1] = 2 * x0_ + w - film_x_;
    plane_x_[layers_ + 2] = 2 * x0_ + w - air_x_;
}

void GraphPainter::k_line() {
    const char* a = text_a(TextA::KBefore);
    const std::string k = num("0.00", p_.k);
    const char* b = text_a(TextA::KUnit);
    const int w1 = canvas_.text_width(a), w2 = canvas_.text_width(k.c_str()),
              w3 = canvas_.text_width(b);
    const int x = (w_ - (w1 + w2 + w3)) / 2;
    const int y = frac_h(F_MARGIN) + y0_;
    text(x, y, a);
    text(x + w1, y, k.c_str());
    text(x + w1 + w2, y, b);
}

// Ellipse through the base point (x, y) with a horizontal tangent at the
// apex (x + g, y - h): centre (x + g, y + 4h), semi-axes 5g/3 and 5h.
void GraphPainter::arc(int x, int y, double f) {
    if (!draw_arcs_) return;
    const double g = depth_dx_ * f;
    const double h = depth_dy_ * f;
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
    canvas_.arc(left, top, right, bottom, round_px(ld(x) + g), top, x, y);
}

void GraphPainter::outline() {
    const bool curved = p_.wall_type != 0;
    for (int j = 0; j <= layers_; ++j) {
        const int x = plane_x_[j];
        canvas_.line(x, wall_top_, x, wall_bottom_);
        if (!curved) {
            canvas_.line(x + depth_dx_, back_top_, x, wall_top_);
        } else if (draw_arcs_) {
            arc(x, wall_top_,
                (1.0 - F_INNER_ARC) * (plane_x_[layers_] - x) / wall_width_ + F_INNER_ARC);
        }
    }

    const int xn = plane_x_[layers_];
    int back_x = xn + depth_dx_;
    int back_y = back_top_;
    if (!curved) {
        canvas_.line(xn + depth_dx_, back_top_, xn + depth_dx_, back_bottom_);
        canvas_.line(xn + depth_dx_, back_bottom_, xn, wall_bottom_);
    } else {
        const int xq = round_px(ld(F_INNER_ARC) * depth_dx_ + xn);
        canvas_.line(xq, round_px(back_top_ + ld(1.0 - F_INNER_ARC) * depth_dy_), xq,
                     round_px(back_bottom_ + ld(1.0 - F_INNER_ARC) * depth_dy_));
        arc(xn, wall_bottom_, F_INNER_ARC);
        back_x = xq;
        back_y = round_px(wall_top_ - ld(F_INNER_ARC) * depth_dy_);
    }

    canvas_.set_pen_style(PenStyle::dash_dot);
    canvas_.line(plane_x_[0], wall_top_, xn, wall_top_);
    canvas_.line(plane_x_[0], wall_bottom_, xn, wall_bottom_);
    canvas_.line(plane_x_[0] + depth_dx_, back_top_, back_x, back_y);
    canvas_.set_pen_style(PenStyle::solid);
}

// Each number is centred under its plane, or starts at it when wider than its
// layer. Where thin layers would run numbers into each other ("1" and "2"
// reading "12") the later one moves right of the one before, a space apart,
// and a run that would leave the area, or meet a text beside the wall, is
// pushed back left. A number that still finds no room is left out rather
// than drawn over another text.
void GraphPainter::plane_numbers() {
    const int gap = std::max(2, canvas_.text_width(" "));
    const int top = numbers_y_, bottom = numbers_y_ + line_height_;
    const int middle = (plane_x_[0] + plane_x_[layers_]) / 2;
    int lo = x0_, hi = x0_ + w_;
    for (const TextBox& b : texts_) {
        if (b.top >= bottom || b.bottom <= top) continue;
        if (b.left + b.right < 2 * middle)
            lo = std::max(lo, b.right + gap);
        else
            hi = std::min(hi, b.left - gap);
    }

    std::string label[MAX_PLANES];
    int width[MAX_PLANES], tx[MAX_PLANES];
    for (int j = 0; j <= layers_; ++j) {
        label[j] = std::to_string(j + 1);
        width[j] = canvas_.text_width(label[j].c_str());
        const int x = plane_x_[j];
        tx[j] = x - width[j] / 2;
        if (j >= 1 && width[j] > x - plane_x_[j - 1]) tx[j] = x;
        tx[j] = std::max(tx[j], j == 0 ? lo : tx[j - 1] + width[j - 1] + gap);
    }
    for (int j = layers_, limit = hi; j >= 0; --j) {
        tx[j] = std::min(tx[j], limit - width[j]);
        limit = tx[j] - gap;
    }

    int free_from = lo;
    for (int j = 0; j <= layers_; ++j) {
        const TextBox box{tx[j], top, tx[j] + width[j], bottom};
        if (box.left < free_from || box.right > hi) continue;
        if (std::any_of(texts_.begin(), texts_.end(),
                        [&](const TextBox& b) { return b.meets(box); }))
            continue;
        text(tx[j], top, label[j]);
        free_from = box.right + gap;
    }
}

void GraphPainter::temperatures() {
    temp_base_y_ = double(ld(F_TEMP_BOTTOM) * h_ + y0_);
    temp_scale_ = double(ld(F_TEMP_BAND) * h_);
    if (std::fabs(p_.temp_span) > SPAN_EPS) temp_scale_ = temp_scale_ / std::fabs(p_.temp_span);
    const int yTe = yt(p_.temp_ext);
    const int yT0 = yt(p_.temp[0]);
    const int yTi = yt(p_.temp_int);
    const ld gap = ld(F_GAP) * h_;

    canvas_.set_pen_color(BLACK);
    const char* legend = text_a(TextA::TemperatureLegend);
    const int legend_w = canvas_.text_width(legend);
    const int lx = x0_ + w_ - (legend_w + 8);
    int ly;
    if (flux_dir_ > 0)
        ly = trunc_px(yTi + gap);
    else if (!on_screen_)
        ly = trunc_px(yTi - gap);
    else
        ly = frac_h(F_TOP) + y0_;
    text(lx, ly, legend);

    if (on_screen_) {
        int y = ly + line_height_ / 2;
        for (int j = 0; j <= layers_; ++j) {
            y += line_height_;
            const std::string label = plane_label(j);
            text(lx, y, label.c_str());
            text(lx + canvas_.text_width(label.c_str()), y, num("+0.00;-0.00", p_.temp[j]).c_str());
        }
    }

    const char* deg = text_a(TextA::DegreesUnit);
    const std::string ext = num("+0.00;-0.00", p_.temp_ext) + deg;
    text(text_left_ + 2 * digit_width_,
         flux_dir_ >= 0 ? trunc_px(yTe + gap) : trunc_px(yTe - line_height_ - gap), ext.c_str());
    const std::string in = num("+0.00;-0.00", p_.temp_int) + deg;
    text(x0_ + w_ - (legend_w + 3),
         flux_dir_ > 0 ? trunc_px(yTi - line_height_ - gap) : trunc_px(yTi + gap), in.c_str());

    canvas_.set_pen_color(MAROON);
    canvas_.line(air_x_, yTe, film_x_, yTe);
    canvas_.line(film_x_, yTe, plane_x_[0], yT0);
    for (int j = 1; j <= layers_; ++j)
        canvas_.line(plane_x_[j - 1], yt(p_.temp[j - 1]), plane_x_[j], yt(p_.temp[j]));
    canvas_.line(plane_x_[layers_], yt(p_.temp[layers_]), plane_x_[layers_ + 1], yTi);
    canvas_.line(plane_x_[layers_ + 1], yTi, plane_x_[layers_ + 2], yTi);
}

void GraphPainter::pressures() {
    press_base_y_ = double(ld(F_PRESS_BOTTOM) * h_ + y0_);
    press_scale_ = double(ld(F_PRESS_BAND) * h_);
    if (std::fabs(p_.press_span) > SPAN_EPS) press_scale_ = press_scale_ / std::fabs(p_.press_span);

    const char* sat1 = text_a(TextA::SaturatedLegend1);
    const char* real1 = text_a(TextA::RealLegend1);
    int sat_x = text_left_, real_x, sat_y, real_y;
    if (on_screen_) {
        sat_y = real_y = flux_dir_ >= 0 ? frac_h(F_LEGEND_TOP) + y0_
                                        : trunc_px((ld(F_TEMP_TOP) + F_GAP) * h_) + y0_;
        real_x = text_left_ + 15 * digit_width_;
    } else {
        sat_y = frac_h(F_PAPER_LEGEND) + y0_;
        real_x = text_left_;
        real_y = trunc_px(5.5L * line_height_ + sat_y);
    }
    text(sat_x, sat_y, sat1);
    text(sat_x, sat_y + line_height_, text_a(TextA::SaturatedLegend2));
    text(real_x, real_y, real1);
    text(real_x, real_y + line_height_, text_a(TextA::RealLegend2));

    if (on_screen_) {
        for (int j = 0; j <= layers_; ++j) {
            const int y = trunc_px((j + 2.5L) * line_height_ + sat_y);
            const std::string label = plane_label(j);
            text(text_left_, y, label.c_str());
            text(text_left_ + canvas_.text_width(label.c_str()), y,
                 num("0.00", p_.press_sat[j]).c_str());
            text(text_left_ + 16 * digit_width_, y, num("0.00", p_.press_real[j]).c_str());
        }
    }

    canvas_.set_pen_style(PenStyle::dotted);
    canvas_.set_pen_color(BLUE);
    canvas_.line(sat_x + canvas_.text_width(sat1), sat_y + line_height_, plane_x_[0] - 5,
                 yp(p_.press_sat[0]));
    canvas_.set_pen_color(GREEN);
    canvas_.line(real_x + canvas_.text_width(real1), real_y + line_height_, plane_x_[0] - 5,
                 yp(p_.press_real[0]));
    canvas_.set_pen_style(PenStyle::solid);

    // Saturation is sampled about forty times across the partition, and once
    // more at every layer boundary, from the temperature interpolated in the
    // layer; the real pressure is linear in each layer.
    const double step = wall_width_ * F_STEP;
    if (!(step > 0.0)) return;  // no width to sample: the loop would never advance
    int c = 1;
    int prev_x = plane_x_[0];
    int prev_y = yp(p_.press_sat[0]);
    for (int j = 0; j < layers_; ++j) {
        const int xL = plane_x_[j], xR = plane_x_[j + 1];
        const int yR0 = yp(p_.press_real[j]), yR1 = yp(p_.press_real[j + 1]);
        canvas_.set_pen_color(GREEN);
        canvas_.line(xL, yR0, xR, yR1);
        int xs;
        do {
            xs = round_px(plane_x_[0] + ld(c) * step);
            if (xs > xR) {
                xs = xR;
                --c;
            }
            const double r = xR == xL ? 0.0 : double(xs - xL) / double(xR - xL);
            const int yRs = round_px(yR0 + ld(yR1 - yR0) * r);
            const double t = (p_.temp[j + 1] - p_.temp[j]) * r + p_.temp[j];
            const int yS = yp(saturation_pressure(t));
            canvas_.set_pen_color(BLUE);
            canvas_.line(prev_x, prev_y, xs, yS);
            if (yRs < yS) {
                canvas_.set_pen_color(RED);
                canvas_.line(xs, yRs, xs, yS);
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
