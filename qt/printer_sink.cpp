#include "qt/printer_sink.h"

#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>

#include "qt/text_1250.h"

QPainterLineSink::QPainterLineSink(QPainter& painter) : painter_(painter) {}

int QPainterLineSink::font_point_size() const { return painter_.font().pointSize(); }

int QPainterLineSink::resolution_x() const {
    return painter_.device() ? painter_.device()->logicalDpiX() : 72;
}

int QPainterLineSink::resolution_y() const {
    return painter_.device() ? painter_.device()->logicalDpiY() : 72;
}

void QPainterLineSink::draw_text(int x, int y, const char* text, bool bold) {
    if (!text) return;
    const QString s = from_1250(text);
    const QFont before = painter_.font();
    if (bold) {
        QFont f = before;
        f.setBold(true);
        painter_.setFont(f);
    }
    // Qt draws at the baseline; the report gives the top-left corner.
    painter_.drawText(x, y + painter_.fontMetrics().ascent(), s);
    if (bold) painter_.setFont(before);
}
