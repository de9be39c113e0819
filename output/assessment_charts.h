// The assessment's two charts, drawn through a Canvas so that the window,
// an image and the printed page share them: the Glaser diagram of one month
// on the sd scale, and the bars of M_a over the twelve months. Texts are
// UTF-8 from catalogue C in the canvas's current font. No Qt here.
#pragma once

#include "core/assessment.h"
#include "output/canvas.h"

struct ChartBox {
    int left = 0, top = 0, width = 0, height = 0;
    char decimal_sep = 0;  // 0: the language's
};

// x: the equivalent air-layer thickness from the outside air (0) to the
// inside air (sd_total); the air films shaded; a line at every plane; the
// saturation pressure; the vapour-pressure chain with its tangents; the
// straight line from p_e to p_i; x at a condensing plane and o at an
// evaporating one, each with its g in g/m².
void draw_glaser_diagram(const Assessment& a, int month, Canvas& canvas, ChartBox box);

// Twelve bars of M_a (total held at each month's end), `chosen` (0..11) drawn
// darker, its column framed by a dotted line.
void draw_month_bars(const Assessment& a, int chosen, Canvas& canvas, ChartBox box);
// The month (0..11) whose bar column holds x, -1 outside the bars.
int month_bar_at(const ChartBox& box, Canvas& canvas, int x);

// Colours of the charts, also used by the window's texts.
constexpr Rgb CHART_BLACK{0, 0, 0};
constexpr Rgb CHART_GREY{128, 128, 128};
constexpr Rgb CHART_FILM{225, 225, 225};
constexpr Rgb CHART_SATURATION{200, 0, 0};
constexpr Rgb CHART_VAPOUR{0, 0, 200};
constexpr Rgb CHART_BAR{150, 170, 220};
constexpr Rgb CHART_BAR_CHOSEN{0, 0, 150};
