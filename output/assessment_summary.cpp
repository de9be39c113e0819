#include "output/assessment_summary.h"

#include "core/numfmt.h"
#include "lang/catalogue_c.h"

namespace {

// 0 stands for the language's separator.
char separator(char decimal_sep) {
    return decimal_sep != 0 ? decimal_sep : catalogue_c_decimal_separator();
}

const char* text(int id) { return catalogue_c_text(id); }

// The last month of the balance: the one before the start.
int last_balanced_month(const Assessment& a) { return (a.start_month + MONTHS - 2) % MONTHS; }

}  // namespace

const char* assessment_kind_text(PartitionKind kind) {
    switch (kind) {
        case PartitionKind::ExternalWall:
            return text(C_KIND_EXTERNAL_WALL);
        case PartitionKind::Roof:
            return text(C_KIND_ROOF);
        case PartitionKind::FloorOverUnheated:
            return text(C_KIND_FLOOR_OVER_UNHEATED);
        case PartitionKind::FloorOnGround:
            return text(C_KIND_FLOOR_ON_GROUND);
        case PartitionKind::InternalWall:
            return text(C_KIND_INTERNAL_WALL);
        case PartitionKind::None:
            break;
    }
    return "";
}

std::string condensing_planes_text(std::uint16_t bits) {
    std::string s;
    for (int j = 0; j < MAX_PLANES; ++j) {
        if ((bits >> j) & 1u) s += (s.empty() ? "" : ", ") + std::to_string(j);
    }
    return s.empty() ? "-" : s;
}

double month_g_total(const Assessment& a, int month) {
    double g = 0.0;
    for (int j = 0; j <= a.layer_count; ++j) g += a.months[month].g[j];
    return g;
}

SummaryRow summary_headings() {
    return {text(C_COL_MONTH), text(C_COL_THETA_E), text(C_COL_PHI_E),
            text(C_COL_P_E),   text(C_COL_P_I),     text(C_COL_PLANES),
            text(C_COL_G),     text(C_COL_M_A),     text(C_COL_F_RSI_MIN)};
}

void summary_row(const Assessment& a, int month, SummaryRow& out, char decimal_sep) {
    const char sep = separator(decimal_sep);
    auto num = [sep](const char* mask, double v) { return format_number(mask, v, sep); };
    const MonthAssessment& r = a.months[month];
    out[SUM_MONTH] = text(C_MONTH_1 + month);
    out[SUM_THETA_E] = num("0.0", r.theta_e);
    out[SUM_PHI_E] = num("0.0", r.phi_e);
    out[SUM_P_E] = num("0.0", r.p_e);
    out[SUM_P_I] = num("0.0", r.p_i);
    out[SUM_PLANES] = condensing_planes_text(r.condensing);
    out[SUM_G] = num("0.00", month_g_total(a, month));
    out[SUM_M_A] = num("0.00", r.m_a_total);
    out[SUM_F_RSI_MIN] = r.has_f_rsi_min ? num("0.000", r.f_rsi_min) : "-";
}

int evaporated_by_month(const Assessment& a) {
    if (a.interstitial != InterstitialVerdict::Evaporates) return 0;
    // From the month of the most held on, the first whose end finds nothing.
    const int first = a.start_month - 1;
    bool past_max = false;
    for (int k = 0; k < MONTHS; ++k) {
        const int m = (first + k) % MONTHS;
        if (m + 1 == a.m_a_max_month) past_max = true;
        if (past_max && a.months[m].m_a_total == 0.0) return m + 1;
    }
    return last_balanced_month(a) + 1;
}

int default_diagram_month(const Assessment& a) {
    return a.m_a_max_month > 0 ? a.m_a_max_month - 1 : 0;
}

Verdicts summary_verdicts(const Assessment& a, const AssessmentSettings& settings,
                          char decimal_sep) {
    const char sep = separator(decimal_sep);
    auto num = [sep](const char* mask, double v) { return format_number(mask, v, sep); };
    Verdicts v;
    const std::string max_held = num("0.0", a.m_a_max);
    const std::string max_in = a.m_a_max_month > 0 ? text(C_IN_MONTH_1 + a.m_a_max_month - 1) : "";
    switch (a.interstitial) {
        case InterstitialVerdict::None:
            v.interstitial = {text(C_V_NONE), Tone::good};
            break;
        case InterstitialVerdict::Evaporates:
            v.interstitial = {fill_text(text(C_V_EVAPORATES),
                                        {text(C_BY_MONTH_1 + evaporated_by_month(a) - 1),
                                         max_held, max_in}),
                              Tone::good};
            break;
        case InterstitialVerdict::Accumulates:
            v.interstitial = {
                fill_text(text(C_V_ACCUMULATES),
                          {num("0.0", a.months[last_balanced_month(a)].m_a_total), max_held,
                           max_in}),
                Tone::bad};
            break;
    }

    const std::string f_rsi = num("0.000", a.f_rsi);
    if (!a.has_f_rsi_max) {
        v.surface = {fill_text(text(C_V_SURFACE_NO_MONTH), {f_rsi}), Tone::good};
    } else {
        const std::string args_max = num("0.000", a.f_rsi_max);
        const char* month = text(C_MONTH_1 + a.f_rsi_max_month - 1);
        v.surface = {fill_text(text(a.surface_ok ? C_V_SURFACE_OK : C_V_SURFACE_FAILS),
                               {f_rsi, args_max, month}),
                     a.surface_ok ? Tone::good : Tone::bad};
    }

    const std::string u = num("0.000", a.u);
    const char* kind = assessment_kind_text(settings.kind);
    if (settings.kind == PartitionKind::None) {
        v.u = {fill_text(text(C_V_U_NO_KIND), {u}), Tone::neutral};
    } else if (!a.has_u_max) {
        v.u = {fill_text(text(C_V_U_NO_ROW), {u, kind}), Tone::neutral};
    } else {
        v.u = {fill_text(text(a.u_ok ? C_V_U_OK : C_V_U_FAILS), {u, num("0.00", a.u_max), kind}),
               a.u_ok ? Tone::good : Tone::bad};
    }
    return v;
}
