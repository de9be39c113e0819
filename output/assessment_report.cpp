#include "output/assessment_report.h"

#include <charconv>
#include <cmath>
#include <nlohmann/json.hpp>
#include <vector>

#include "core/numfmt.h"
#include "lang/catalogue_c.h"
#include "lang/shown_text.h"
#include "lang/utf8.h"
#include "output/assessment_summary.h"
#include "storage/cp1250.h"

namespace {

// A table of texts: each column as wide as its widest cell, numbers to the right.
class Table {
public:
    struct Column {
        std::string heading;
        bool right;
    };
    explicit Table(std::vector<Column> columns) : columns_(std::move(columns)) {}
    void add(std::vector<std::string> row) { rows_.push_back(std::move(row)); }

    void write(std::string& out) const {
        std::vector<std::size_t> width(columns_.size());
        for (std::size_t c = 0; c < columns_.size(); ++c) {
            width[c] = utf8_characters(columns_[c].heading);
            for (const auto& row : rows_) width[c] = std::max(width[c], utf8_characters(row[c]));
        }
        std::vector<std::string> heading;
        for (const Column& c : columns_) heading.push_back(c.heading);
        line(out, heading, width);
        for (const auto& row : rows_) line(out, row, width);
    }

private:
    void line(std::string& out, const std::vector<std::string>& cells,
              const std::vector<std::size_t>& width) const {
        std::string text;
        for (std::size_t c = 0; c < cells.size(); ++c) {
            const std::string pad(width[c] - utf8_characters(cells[c]), ' ');
            if (c > 0) text += "  ";
            text += columns_[c].right ? pad + cells[c] : cells[c] + pad;
        }
        while (!text.empty() && text.back() == ' ') text.pop_back();
        out += text + "\n";
    }

    std::vector<Column> columns_;
    std::vector<std::vector<std::string>> rows_;
};

const char* text(int id) { return catalogue_c_text(id); }
std::string month_name(int month) { return text(C_MONTH_1 + month - 1); }

void labelled(std::string& out, int label_id, const char* value) {
    if (value == nullptr) return;
    out += std::string(text(label_id)) + ": " + shown_text(value) + "\n";
}

// --- JSON -----------------------------------------------------------------------------

using Json = nlohmann::ordered_json;

// Shortest text that reads back to the same double.
void put_number(std::string& out, double v) {
    if (!std::isfinite(v)) {
        out += "null";  // cannot come from the assessment, which refuses such results
        return;
    }
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, r.ptr);
}

// Objects and arrays of objects one member a line down to `open_depth`; deeper, on one line.
void put(std::string& out, const Json& j, int depth, int open_depth) {
    const bool open = depth < open_depth &&
                      (j.is_object() || (j.is_array() && !j.empty() && j.front().is_structured()));
    const std::string indent(2 * (depth + 1), ' ');
    const std::string close_indent(2 * depth, ' ');
    const char* between = open ? ",\n" : ", ";
    if (j.is_object()) {
        out += open ? "{\n" : "{";
        bool first = true;
        for (const auto& [key, value] : j.items()) {
            if (!first) out += between;
            first = false;
            if (open) out += indent;
            out += Json(key).dump() + ": ";
            put(out, value, depth + 1, open_depth);
        }
        out += open ? "\n" + close_indent + "}" : "}";
    } else if (j.is_array()) {
        out += open ? "[\n" : "[";
        for (std::size_t i = 0; i < j.size(); ++i) {
            if (i > 0) out += between;
            if (open) out += indent;
            put(out, j[i], depth + 1, open_depth);
        }
        out += open ? "\n" + close_indent + "]" : "]";
    } else if (j.is_number_float()) {
        put_number(out, j.get<double>());
    } else {
        out += j.dump(-1, ' ', false, Json::error_handler_t::replace);
    }
}

Json month_or_null(int month) { return month > 0 ? Json(month) : Json(nullptr); }

}  // namespace

std::string assessment_report_text(const Partition& p, const Climate& climate,
                                   const AssessmentSettings& settings, const Assessment& a,
                                   const AssessmentSources& sources) {
    const char sep = catalogue_c_decimal_separator();
    const auto num = [sep](const char* mask, double v) { return format_number(mask, v, sep); };
    const int n = a.layer_count;
    std::string out = std::string(text(C_HEADING)) + "\n\n";

    const std::string title = shown_field_utf8(p.title, TITLE_SIZE);
    if (!title.empty()) labelled(out, C_TITLE, title.c_str());
    labelled(out, C_DATA_FILE, sources.data_file);
    labelled(out, C_CLIMATE_FILE, sources.climate_file);
    labelled(out, C_PROJECT_FILE, sources.project_file);
    out += "\n";

    out += (p.wall_type == 1 ? fill_text(text(C_CURVED), {num("0.0###", p.radius)})
                             : std::string(text(C_STRAIGHT))) +
           "\n";
    out += std::string(text(C_LAYERS)) + "\n";
    Table layers({{text(C_COL_LAYER), true},
                  {text(C_COL_DESCRIPTION), false},
                  {text(C_COL_THICKNESS), true},
                  {text(C_COL_LAMBDA), true},
                  {text(C_COL_DELTA), true},
                  {text(C_COL_SD), true}});
    for (int i = 0; i < n; ++i) {
        const Layer& l = p.layers[i];
        layers.add({std::to_string(i + 1), shown_field_utf8(l.description, DESCRIPTION_SIZE),
                    num("0.0###", l.thickness), num("0.0###", l.lambda),
                    num("0.0##########", l.delta), num("0.0###", a.sd[i + 1] - a.sd[i])});
    }
    layers.write(out);
    out += fill_text(text(C_EXTERNAL_SURFACE), {num("0.0###", p.res_ext), num("0.0###", a.sd[0])}) +
           "\n";
    out += fill_text(text(C_INTERNAL_SURFACE),
                     {num("0.0###", p.res_int), num("0.0###", a.sd_total - a.sd[n])}) +
           "\n";
    out += fill_text(text(C_SD_TOTAL), {num("0.0###", a.sd_total)}) + "\n";
    out += (climate.humidity_class > 0
                ? fill_text(text(C_HUMIDITY_CLASS), {std::to_string(climate.humidity_class)})
                : std::string(text(C_HUMIDITY_GIVEN))) +
           "\n\n";

    out += fill_text(text(C_MONTHS), {std::to_string(n)}) + "\n";
    Table months({{text(C_COL_MONTH), false},
                  {text(C_COL_THETA_E), true},
                  {text(C_COL_PHI_E), true},
                  {text(C_COL_THETA_I), true},
                  {text(C_COL_PHI_I), true},
                  {text(C_COL_P_E), true},
                  {text(C_COL_P_I), true},
                  {text(C_COL_F_RSI_MIN), true},
                  {text(C_COL_G), true},
                  {text(C_COL_M_A), true},
                  {text(C_COL_PLANES), false}});
    for (int m = 0; m < MONTHS; ++m) {
        const MonthAssessment& r = a.months[m];
        const double g = month_g_total(a, m);
        months.add({month_name(m + 1), num("0.0", r.theta_e), num("0.0", r.phi_e),
                    num("0.0", r.theta_i), num("0.0", r.phi_i), num("0.0", r.p_e),
                    num("0.0", r.p_i), r.has_f_rsi_min ? num("0.000", r.f_rsi_min) : "-",
                    num("0.00", g), num("0.00", r.m_a_total),
                    condensing_planes_text(r.condensing)});
    }
    months.write(out);
    out += "\n" + std::string(text(C_RESULTS)) + "\n";

    out += fill_text(text(C_U), {num("0.000", a.u)}) + "\n";
    if (settings.kind != PartitionKind::None) {
        if (a.has_u_max) {
            out += fill_text(text(C_U_MAX),
                             {assessment_kind_text(settings.kind), num("0.0###", p.temp_int),
                              num("0.00", a.u_max), text(a.u_ok ? C_MET : C_NOT_MET)}) +
                   "\n";
        } else {
            out += fill_text(text(C_U_NO_ROW), {assessment_kind_text(settings.kind)}) + "\n";
        }
    }
    if (a.interstitial == InterstitialVerdict::None) {
        out += std::string(text(C_INTERSTITIAL_NONE)) + "\n";
    } else {
        out += fill_text(text(C_INTERSTITIAL_START),
                         {month_name(a.start_month), num("0.00", a.m_a_max),
                          month_name(a.m_a_max_month)}) +
               "\n";
        out += std::string(text(a.interstitial == InterstitialVerdict::Evaporates
                                    ? C_INTERSTITIAL_EVAPORATES
                                    : C_INTERSTITIAL_ACCUMULATES)) +
               "\n";
    }
    out += fill_text(text(C_SURFACE), {num("0.000", a.f_rsi)}) + "\n";
    if (a.has_f_rsi_max) {
        out += fill_text(text(C_SURFACE_DESIGN),
                         {num("0.000", a.f_rsi_max), month_name(a.f_rsi_max_month),
                          text(a.surface_ok ? C_SURFACE_OK : C_SURFACE_FAILS)}) +
               "\n";
    } else {
        out += std::string(text(C_SURFACE_NO_MONTH)) + "\n";
    }
    out += fill_text(text(C_F_RSI_072), {text(a.f_rsi_072 ? C_YES : C_NO)}) + "\n";
    return out;
}

std::string assessment_json(const Assessment& a, const AssessmentSettings& settings) {
    const int planes = a.layer_count + 1;
    Json months = Json::array();
    for (int m = 0; m < MONTHS; ++m) {
        const MonthAssessment& r = a.months[m];
        Json condensing = Json::array(), g = Json::array(), held = Json::array();
        for (int j = 0; j < planes; ++j) {
            if ((r.condensing >> j) & 1u) condensing.push_back(j);
            g.push_back(r.g[j]);
            held.push_back(r.m_a[j]);
        }
        months.push_back(Json{{"month", m + 1},
                              {"theta_e", r.theta_e},
                              {"phi_e", r.phi_e},
                              {"theta_i", r.theta_i},
                              {"phi_i", r.phi_i},
                              {"p_e", r.p_e},
                              {"p_i", r.p_i},
                              {"f_Rsi_min", r.has_f_rsi_min ? Json(r.f_rsi_min) : Json(nullptr)},
                              {"condensing", condensing},
                              {"g", g},
                              {"M_a", held}});
    }
    const bool limit = settings.kind != PartitionKind::None && a.has_u_max;
    const Json top{
        {"U", a.u},
        {"f_Rsi", a.f_rsi},
        {"start_month", month_or_null(a.start_month)},
        {"M_a_max", a.m_a_max},
        {"M_a_max_month", month_or_null(a.m_a_max_month)},
        {"interstitial", interstitial_verdict_name(a.interstitial)},
        {"f_Rsi_max", a.has_f_rsi_max ? Json(a.f_rsi_max) : Json(nullptr)},
        {"f_Rsi_max_month", month_or_null(a.f_rsi_max_month)},
        {"surface", a.surface_ok ? "ok" : "fails"},
        {"f_Rsi_072", a.f_rsi_072},
        {"U_max", limit ? Json(a.u_max) : Json(nullptr)},
        {"U_ok", limit ? Json(a.u_ok) : Json(nullptr)},
        {"months", months},
    };
    std::string out;
    put(out, top, 0, 2);
    return out + "\n";
}
