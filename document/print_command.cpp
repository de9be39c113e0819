// Print: the report in the upper part of one page, the graph below it.
#include <exception>

#include "document/document.h"
#include "lang/catalogue.h"
#include "output/graph.h"
#include "output/report.h"

void Document::print() {
    if (!read_grids(ReadFlag::with_messages)) return;
    if (!calculate_partition(record_)) {
        state_.results_valid = false;
        return;
    }

    std::unique_ptr<PrintJob> job = ui_.run_print_dialog();
    if (!job) return;

    if (!job->portrait() &&
        message_box(catalogue_a_text(TextA::NotPortrait), catalogue_b_text(TextB::WarningCaption),
                    MsgIcon::question, MsgButtons::yes_no) != MsgAnswer::yes)
        return;

    bool ok = true;
    set_busy(true);
    // The job runs without returning to the event loop: the text is painted now.
    set_status(true, catalogue_b_text(TextB::Printing), true);

    bool ended = false;
    try {
        if (!job->begin()) throw std::exception();
        if (write_report(record_, job->report_sink(),
                         ReportContext{decimal_separator(), &ui_.clock()}) != REPORT_DONE)
            ok = false;

        state_.graph_on_screen = false;
        GraphTarget target;
        target.results_valid = state_.results_valid;
        target.graph_on_screen = false;
        target.decimal_sep = decimal_separator();
        job->draw_graph(record_, target);

        ended = true;
        if (!job->end()) ok = false;
    } catch (...) {
        ok = false;
    }
    if (!ended) {
        // Ended, not aborted: a page begun still comes out with what it has.
        try {
            job->end();
        } catch (...) {
        }
    }

    state_.graph_on_screen = true;
    set_status(false, "");
    set_busy(false);

    if (!ok)
        message_box(catalogue_b_text(TextB::PrintingFailed),
                    catalogue_b_text(TextB::WarningCaption), MsgIcon::warning, MsgButtons::ok);
}
