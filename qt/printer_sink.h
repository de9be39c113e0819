// The report's printer destination: lines drawn with a QPainter on the page
// of a running print job, in the painter's current font and pen.
#pragma once

#include "output/report.h"

class QPainter;

class QPainterLineSink : public PrinterLineSink {
public:
    explicit QPainterLineSink(QPainter& painter);

    int font_point_size() const override;
    int resolution_x() const override;
    int resolution_y() const override;
    void draw_text(int x, int y, const char* text, bool bold) override;

private:
    QPainter& painter_;
};
