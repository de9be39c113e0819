// The graph's canvas on a QPainter: the screen's paint box, a QImage, the
// printer page.
#pragma once

#include <QColor>
#include <QFontMetrics>
#include <QPen>
#include <optional>

#include "core/Quil_c.h"
#include "output/canvas.h"
#include "output/graph.h"

class QPaintDevice;
class QPainter;

// Device pixels of one screen pixel on `device`: a 96th of an inch (about a
// quarter of a millimetre) on paper, where a device pixel is a hairline;
// never under one.
double screen_pixel_size(const QPaintDevice& device);

class QPainterCanvas : public Canvas {
public:
    // Texts are drawn in `text_color` whatever the pen, as the window-text
    // colour of a font would be.
    explicit QPainterCanvas(QPainter& painter, QColor text_color = Qt::black);

    void set_pen_color(Rgb c) override;
    void set_pen_style(PenStyle s) override;
    void set_pen_width(int w) override;
    // Pen widths are given in screen pixels and drawn `device_pixels` wide each.
    void set_pen_scale(double device_pixels) { pen_scale_ = device_pixels; }
    void line(int x1, int y1, int x2, int y2) override;
    void arc(int left, int top, int right, int bottom, int x3, int y3, int x4, int y4) override;
    void text(int x, int y, const char* s) override;
    int text_width(const char* s) override;
    int text_height(const char* s) override;
    void set_font_size(int points) override;
    void text_utf8(int x, int y, const char* s) override;
    int text_width_utf8(const char* s) override;
    void fill_rect(int left, int top, int right, int bottom, Rgb c) override;

private:
    const QFontMetrics& metrics();
    void draw_text(int x, int y, const QString& s);
    void apply_font();

    QPainter& painter_;
    QPen pen_;
    double pen_scale_ = 1.0;
    QColor text_color_;
    std::optional<QFontMetrics> metrics_;
};

// The paint box's and the printer page's entry: the graph font of the target
// ("MS Sans Serif" on the screen, "Courier New" on paper), then draw_graph.
// On paper the pens keep the screen's weights. The painter's state is
// restored afterwards.
void paint_graph(QPainter& painter, const Partition& p, const GraphTarget& target);
