#include "output/graph_summary.h"

#include "core/numfmt.h"
#include "lang/catalogue.h"

std::string graph_summary(const Partition& p, bool results_valid, char decimal_sep) {
    if (!results_valid) return catalogue_d_text(TextD::ResultsInvalid);
    std::string text = catalogue_a_text(TextA::KBefore);
    text += format_number("0.00", p.k, decimal_sep);
    text += catalogue_a_text(TextA::KUnit);
    if (p.calc_mode != 1) return text;

    std::string planes;
    const int count = used_layers(p);
    for (int j = 0; j <= count; ++j) {
        // The report's rule: on the stored values, not on what prints.
        if (!(p.press_sat[j] < p.press_real[j])) continue;
        if (!planes.empty()) planes += ", ";
        planes += std::to_string(j + 1);
    }
    text += ". ";
    if (planes.empty()) return text + catalogue_d_text(TextD::NoCondensation);
    return text + catalogue_d_text(TextD::CondensationAt) + planes + ".";
}
