// A print job on a QPrinter: one page, painted with a QPainter, the report
// in Courier New 9 pt and the graph on the paper target.
#pragma once

#include <QPainter>
#include <QPrinter>
#include <memory>

#include "document/ui.h"
#include "qt/printer_sink.h"

class QtPrintJob : public PrintJob {
public:
    // The printer as the print dialog finds it: one page drawn once, all pages.
    QtPrintJob();
    ~QtPrintJob() override;

    QPrinter& printer() { return printer_; }

    bool portrait() const override;
    bool begin() override;
    PrinterLineSink& report_sink() override;
    void draw_graph(const Partition& p, GraphTarget target) override;
    bool end() override;
    bool print_assessment(const AssessmentPageInput& in) override;

private:
    QPrinter printer_;
    QPainter painter_;
    std::unique_ptr<QPainterLineSink> sink_;
};
