#include "qt/painter_canvas.h"

#include <QFont>
#include <QPaintDevice>
#include <QPainter>
#include <QRectF>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

#include "qt/fonts.h"
#include "qt/text_1250.h"

double screen_pixel_size(const QPaintDevice& device) {
    return std::max(1.0, device.logicalDpiX() / 96.0);
}

QPainterCanvas::QPainterCanvas(QPainter& painter, QColor text_color)
    : painter_(painter), pen_(painter.pen()), text_color_(text_color) {
    pen_.setCapStyle(Qt::FlatCap);
    painter_.setPen(pen_);
}

void QPainterCanvas::set_pen_color(Rgb c) {
    pen_.setColor(QColor(c.r, c.g, c.b));
    painter_.setPen(pen_);
}

void QPainterCanvas::set_pen_style(PenStyle s) {
    switch (s) {
        case PenStyle::solid:
            pen_.setStyle(Qt::SolidLine);
            break;
        case PenStyle::dash_dot:
            pen_.setStyle(Qt::DashDotLine);
            break;
        case PenStyle::dotted:
            pen_.setStyle(Qt::DotLine);
            break;
    }
    painter_.setPen(pen_);
}

void QPainterCanvas::set_pen_width(int w) {
    // Qt lays dash patterns out in pen widths, so they widen with the pen.
    pen_.setWidth(std::max(1, int(std::lround(w * pen_scale_))));
    painter_.setPen(pen_);
}

void QPainterCanvas::line(int x1, int y1, int x2, int y2) { painter_.drawLine(x1, y1, x2, y2); }

// Qt measures arc angles counter-clockwise in sixteenths of a degree on the
// ellipse's parameter circle, with y pointing up; the canvas gives points,
// so each point's ray from the centre is turned into that parameter angle.
void QPainterCanvas::arc(int left, int top, int right, int bottom, int x3, int y3, int x4, int y4) {
    const double cx = (left + right) * 0.5, cy = (top + bottom) * 0.5;
    const double a = std::fabs(right - left) * 0.5, b = std::fabs(bottom - top) * 0.5;
    auto angle16 = [&](int x, int y) {
        const double ux = x - cx, uy = cy - y;
        const double rad = (a > 0 && b > 0) ? std::atan2(uy * a, ux * b) : std::atan2(uy, ux);
        return int(std::lround(rad * 180.0 / std::numbers::pi * 16.0));
    };
    const int start = angle16(x3, y3);
    int span = angle16(x4, y4) - start;
    while (span <= 0) span += 360 * 16;  // equal points: the whole ellipse
    while (span > 360 * 16) span -= 360 * 16;
    painter_.drawArc(QRectF(left, top, right - left, bottom - top), start, span);
}

const QFontMetrics& QPainterCanvas::metrics() {
    if (!metrics_) metrics_.emplace(painter_.fontMetrics());
    return *metrics_;
}

void QPainterCanvas::draw_text(int x, int y, const QString& s) {
    painter_.setPen(text_color_);
    painter_.drawText(x, y + metrics().ascent(), s);
    painter_.setPen(pen_);
}

void QPainterCanvas::text(int x, int y, const char* s) { draw_text(x, y, from_1250(s)); }

int QPainterCanvas::text_width(const char* s) { return metrics().horizontalAdvance(from_1250(s)); }

void QPainterCanvas::text_utf8(int x, int y, const char* s) {
    draw_text(x, y, QString::fromUtf8(s));
}

int QPainterCanvas::text_width_utf8(const char* s) {
    return metrics().horizontalAdvance(QString::fromUtf8(s));
}

void QPainterCanvas::fill_rect(int left, int top, int right, int bottom, Rgb c) {
    if (right <= left || bottom <= top) return;
    painter_.fillRect(QRect(left, top, right - left, bottom - top), QColor(c.r, c.g, c.b));
}

int QPainterCanvas::text_height(const char*) { return metrics().height(); }

void QPainterCanvas::set_font_size(int points) {
    QFont f = painter_.font();
    f.setPointSize(points < 1 ? 1 : points);
    painter_.setFont(f);
    metrics_.reset();
}

void paint_graph(QPainter& painter, const Partition& p, const GraphTarget& target) {
    register_font_substitutes();
    painter.save();
    QFont f = painter.font();
    f.setFamily(target.graph_on_screen ? "MS Sans Serif" : "Courier New");
    f.setStyleHint(target.graph_on_screen ? QFont::SansSerif : QFont::TypeWriter);
    painter.setFont(f);
    painter.setRenderHint(QPainter::Antialiasing, false);
    QPainterCanvas canvas(painter);
    if (!target.graph_on_screen && painter.device())
        canvas.set_pen_scale(screen_pixel_size(*painter.device()));
    draw_graph(p, canvas, target);
    painter.restore();
}
