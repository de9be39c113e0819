#include "qt/assessment_paint.h"

#include <QBuffer>
#include <QPdfWriter>

#include "qt/fonts.h"
#include "qt/painter_canvas.h"

namespace {

QFont assessment_font(int points) {
    register_font_substitutes();
    QFont f("Liberation Sans");
    f.setStyleHint(QFont::SansSerif);
    f.setPointSize(points);
    return f;
}

}  // namespace

bool paint_assessment_pages(QPagedPaintDevice& device, const AssessmentPageInput& in) {
    QPainter painter;
    if (!painter.begin(&device)) return false;
    // Drawn in screen pixels and scaled to the device, so that the charts'
    // pens have the weight they have on the screen.
    const double scale = screen_pixel_size(device);
    painter.scale(scale, scale);
    QFont font = assessment_font(9);
    font.setPointSizeF(9.0 / scale);
    painter.setFont(font);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QRect area = device.pageLayout().paintRectPixels(device.logicalDpiX());
    // Painting starts at the printable area's corner already.
    const int width = int(area.width() / scale), height = int(area.height() / scale);
    QPainterCanvas canvas(painter);
    const int pages = assessment_page_count(canvas, in, width, height);
    for (int page = 0; page < pages; ++page) {
        if (page > 0 && !device.newPage()) {
            painter.end();
            return false;
        }
        draw_assessment_page(canvas, in, width, height, page);
    }
    return painter.end();
}

bool assessment_pdf_bytes(const AssessmentPageInput& in, std::string& bytes) {
    QBuffer buffer;
    if (!buffer.open(QIODevice::WriteOnly)) return false;
    bool ok = false;
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(300);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
        writer.setCreator(QStringLiteral("PARIETA"));
        ok = paint_assessment_pages(writer, in);
    }
    buffer.close();
    bytes.assign(buffer.data().constData(), std::size_t(buffer.data().size()));
    return ok && !bytes.empty();
}

void paint_assessment_charts(QPainter& painter, const Assessment& a, int month, int width,
                             int height, char decimal_sep, ChartBox& bars) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    QPainterCanvas canvas(painter);
    const int diagram_w = width * 3 / 5;
    draw_glaser_diagram(a, month, canvas, {0, 0, diagram_w - 4, height, decimal_sep});
    bars = {diagram_w + 4, 0, width - diagram_w - 4, height, decimal_sep};
    draw_month_bars(a, month, canvas, bars);
    painter.restore();
}
