// The assessment as the window, the page and the tests show it: the monthly
// table's cells and the three verdicts, in the current language (UTF-8,
// catalogue C). No Qt here.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "core/assessment.h"
#include "core/climate.h"

enum SummaryColumn : int {
    SUM_MONTH = 0,
    SUM_THETA_E,
    SUM_PHI_E,
    SUM_P_E,
    SUM_P_I,
    SUM_PLANES,
    SUM_G,
    SUM_M_A,
    SUM_F_RSI_MIN,
    SUMMARY_COLUMNS
};
using SummaryRow = std::array<std::string, SUMMARY_COLUMNS>;

// The headings of the table's columns.
SummaryRow summary_headings();
// The cells of month `month` (0 = January): g is the month's sum over the
// planes, M_a the total held at its end. Numbers take `decimal_sep`, or the
// language's when it is 0.
void summary_row(const Assessment& a, int month, SummaryRow& out, char decimal_sep = 0);

// A verdict is text first; the tone is only a second cue (a colour).
enum class Tone : std::uint8_t { neutral, good, bad };
struct Verdict {
    std::string text;
    Tone tone = Tone::neutral;
};
struct Verdicts {
    Verdict interstitial, surface, u;
};
Verdicts summary_verdicts(const Assessment& a, const AssessmentSettings& settings,
                          char decimal_sep = 0);

// The month (1..12) by whose end the condensate is gone, 0 when it does not
// go or never forms.
int evaporated_by_month(const Assessment& a);
// The month (0 = January) the diagram shows first: that of M_a,max, else January.
int default_diagram_month(const Assessment& a);

// "an external wall", ...; empty for None.
const char* assessment_kind_text(PartitionKind kind);
// The condensing planes as "2, 3", or "-".
std::string condensing_planes_text(std::uint16_t bits);
// The sum of g over the planes of one month, g/m².
double month_g_total(const Assessment& a, int month);
