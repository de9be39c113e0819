#include "qt/print_job.h"

#include <QGuiApplication>
#include <QPalette>

#include "output/graph.h"
#include "qt/assessment_paint.h"
#include "qt/fonts.h"
#include "qt/painter_canvas.h"

QtPrintJob::QtPrintJob() : printer_(QPrinter::HighResolution) {
    // Further copies are the printer's business.
    printer_.setCollateCopies(false);
    printer_.setPrintRange(QPrinter::AllPages);
    printer_.setOutputFileName(QString());
}

QtPrintJob::~QtPrintJob() {
    if (painter_.isActive()) painter_.end();
}

bool QtPrintJob::portrait() const {
    return printer_.pageLayout().orientation() == QPageLayout::Portrait;
}

bool QtPrintJob::begin() {
    if (!painter_.begin(&printer_)) return false;
    register_font_substitutes();
    painter_.setFont(fixed_pitch_font(9));
    painter_.setPen(QGuiApplication::palette().color(QPalette::WindowText));
    sink_ = std::make_unique<QPainterLineSink>(painter_);
    return true;
}

PrinterLineSink& QtPrintJob::report_sink() { return *sink_; }

void QtPrintJob::draw_graph(const Partition& p, GraphTarget target) {
    const QRect page = printer_.pageLayout().paintRectPixels(printer_.resolution());
    target.page_width = page.width();
    target.page_height = page.height();
    paint_graph(painter_, p, target);
}

bool QtPrintJob::end() {
    bool ok = true;
    if (painter_.isActive()) ok = painter_.end();
    return ok && printer_.printerState() != QPrinter::Error;
}

bool QtPrintJob::print_assessment(const AssessmentPageInput& in) {
    return paint_assessment_pages(printer_, in) && printer_.printerState() != QPrinter::Error;
}
