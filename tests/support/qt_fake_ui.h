// The scripted Ui with Qt's real print job and PDF pages, for the windows'
// tests: the print dialog hands over a job on a printer the test sets up.
#pragma once

#include <QPrinter>

#include "qt/assessment_paint.h"
#include "qt/print_job.h"
#include "tests/support/fake_ui.h"

class QtFakeUi : public FakeUi {
public:
    std::function<void(QPrinter&)> configure_printer;  // what the user sets in the print dialog

    QtFakeUi() {
        make_print_job = [this] {
            auto job = std::make_unique<QtPrintJob>();
            if (configure_printer) configure_printer(job->printer());
            return std::unique_ptr<PrintJob>(std::move(job));
        };
        render_pdf = [](const AssessmentPageInput& in, std::string& bytes) {
            return assessment_pdf_bytes(in, bytes);
        };
    }
};
