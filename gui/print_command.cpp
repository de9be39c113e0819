// Print: the report in the upper part of one page, the graph below it.
#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QPalette>
#include <QPrinter>
#include <QStatusBar>
#include <QToolButton>
#include <exception>

#include "lang/catalogue.h"
#include "gui/Quil_gui.h"
#include "gui/controls.h"
#include "qt/text_1250.h"
#include "qt/painter_canvas.h"
#include "output/graph.h"
#include "qt/printer_sink.h"
#include "output/report.h"

namespace {

// Enables the Print button again on every way out of the command.
class PrintButtonGuard {
public:
    explicit PrintButtonGuard(QToolButton* b) : button_(b) { button_->setEnabled(false); }
    ~PrintButtonGuard() { button_->setEnabled(true); }

private:
    QToolButton* button_;
};

}  // namespace

void TForm_quil::eh_sb_print_OnClick() {
    QPrinter printer(QPrinter::HighResolution);
    const PrintButtonGuard button(SpeedButtonPrint);

    if (!read_grids(false, true)) return;
    if (!calculate_partition(document)) {
        results_valid = false;
        return;
    }

    // One page drawn once: further copies are the printer's business.
    printer.setCollateCopies(false);
    printer.setPrintRange(QPrinter::AllPages);
    printer.setOutputFileName(QString());
    if (!ui.run_print_dialog(printer)) return;

    if (printer.pageLayout().orientation() != QPageLayout::Portrait &&
        message_box(catalogue_a_text(13), catalogue_b_text(8), MsgIcon::question,
                    MsgButtons::yes_no) != MsgAnswer::yes)
        return;

    bool ok = true;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    status_text->setText(from_1250(catalogue_b_text(10)));
    status_bar->show();
    // The job runs without returning to the event loop: paint the text now.
    status_bar->repaint();

    QPainter painter;
    bool ended = false;
    try {
        if (!painter.begin(&printer)) throw std::exception();
        register_font_substitutes();
        QFont font("Courier New");
        font.setStyleHint(QFont::TypeWriter);
        font.setPointSize(9);
        painter.setFont(font);
        painter.setPen(QApplication::palette().color(QPalette::WindowText));

        QPainterLineSink sink(painter);
        if (write_report(document, sink, ReportContext{decimal_separator(), &ui.clock()}) != 0)
            ok = false;

        graph_on_screen = false;
        const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
        GraphTarget target;
        target.results_valid = results_valid;
        target.graph_on_screen = false;
        target.page_width = page.width();
        target.page_height = page.height();
        target.decimal_sep = decimal_separator();
        paint_graph(painter, document, target);

        ended = true;
        if (!painter.end()) ok = false;
    } catch (...) {
        ok = false;
    }
    if (!ended && painter.isActive()) {
        // Ended, not aborted: a page begun still comes out with what it has.
        try {
            painter.end();
        } catch (...) {
        }
    }
    if (printer.printerState() == QPrinter::Error) ok = false;

    graph_on_screen = true;
    status_text->clear();
    status_bar->hide();
    QGuiApplication::restoreOverrideCursor();

    if (!ok)
        message_box(catalogue_b_text(11), catalogue_b_text(8), MsgIcon::warning, MsgButtons::ok);
}
