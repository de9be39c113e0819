#include "document/assessment_document.h"

#include <vector>

#include "core/numfmt.h"
#include "document/document.h"
#include "lang/catalogue_c.h"
#include "output/assessment_report.h"
#include "output/assessment_summary.h"
#include "storage/atomic_file.h"
#include "storage/climate_csv.h"
#include "storage/paths.h"

AssessmentDocument::AssessmentDocument(Document& document) : document_(document) {
    const Partition& p = document.record();
    for (ClimateMonth& m : climate_.months) m = {p.temp_ext, p.hum_ext, p.temp_int, p.hum_int};
    connect(&document, &Document::results_changed, this, &AssessmentDocument::recalculate);
    connect(&document, &Document::language_changed, this, &AssessmentDocument::recalculate);
    recalculate();
}

int AssessmentDocument::month() const {
    if (chosen_month_ >= 0) return chosen_month_;
    return valid_ ? default_diagram_month(assessment_) : 0;
}

void AssessmentDocument::choose_month(int month) {
    const int before = this->month();
    chosen_month_ = month >= 0 && month < MONTHS ? month : -1;
    if (this->month() != before) emit month_changed();
}

void AssessmentDocument::set_climate(const Climate& climate) {
    climate_ = climate;
    emit climate_changed();
    recalculate();
}

void AssessmentDocument::set_value(int month, ClimateColumn column, double value) {
    if (month < 0 || month >= MONTHS) return;
    ClimateMonth& m = climate_.months[month];
    double* fields[CLIMATE_COLUMNS] = {&m.theta_e, &m.phi_e, &m.theta_i, &m.phi_i};
    *fields[column] = value;
    emit climate_changed();
    recalculate();
}

void AssessmentDocument::set_humidity_class(int humidity_class) {
    if (humidity_class < 0 || humidity_class > 5 || humidity_class == climate_.humidity_class)
        return;
    climate_.humidity_class = humidity_class;
    emit climate_changed();
    recalculate();
}

void AssessmentDocument::set_kind(PartitionKind kind) {
    if (kind == settings_.kind) return;
    settings_.kind = kind;
    recalculate();
}

void AssessmentDocument::recalculate() {
    const int before = month();
    valid_ = assess_partition(document_.record(), climate_, settings_, assessment_);
    problem_.clear();
    if (!valid_) {
        int bad = 0;
        if (check_climate(climate_, bad) != ClimateProblem::None)
            problem_ = fill_text(catalogue_c_text(C_W_NO_CLIMATE), {catalogue_c_text(C_MONTH_1 + bad)});
        else
            problem_ = catalogue_c_text(C_W_NO_PARTITION);
    }
    emit results_changed();
    if (month() != before) emit month_changed();
}

std::string AssessmentDocument::report_text() const {
    if (!valid_) return problem_ + "\n";
    AssessmentSources sources;
    const QByteArray file = path_to_bytes(document_.state().current_file);
    if (!file.isEmpty()) sources.data_file = file.constData();
    return assessment_report_text(document_.record(), climate_, settings_, assessment_, sources);
}

bool AssessmentDocument::read_climate(const QString& path, Climate& out,
                                      std::string& error) const {
    ClimateCsvResult result;
    if (read_climate_file(path_to_bytes(path).constData(), out, result)) return true;
    error = climate_error_message(result, path.toUtf8().constData());
    return false;
}

bool AssessmentDocument::save_climate(const QString& path, std::string& error) const {
    const std::string text = climate_csv_text(climate_);
    AtomicFile file;
    if (file.open(path_to_bytes(path).constData()) && file.write(text.data(), text.size()) &&
        file.commit())
        return true;
    error = catalogue_c_text(C_W_CANNOT_WRITE);
    return false;
}

bool climate_value_ok(ClimateColumn column, double value, std::string& error) {
    const bool theta = column == CLIMATE_THETA_E || column == CLIMATE_THETA_I;
    const bool ok = theta ? climate_theta_ok(value) : climate_phi_ok(value);
    if (!ok) error = catalogue_c_text(theta ? C_ERR_THETA : C_ERR_PHI);
    return ok;
}

bool paste_climate_rows(const std::string& text, char sep, Climate& climate, std::string& error) {
    std::vector<std::string> rows;
    std::size_t from = 0;
    while (from <= text.size()) {
        std::size_t end = text.find('\n', from);
        if (end == std::string::npos) end = text.size();
        std::string row = text.substr(from, end - from);
        if (!row.empty() && row.back() == '\r') row.pop_back();
        rows.push_back(row);
        from = end + 1;
    }
    while (!rows.empty() && rows.back().find_first_not_of(" \t") == std::string::npos)
        rows.pop_back();
    if (rows.size() != MONTHS) {
        error = fill_text(catalogue_c_text(C_W_PASTE_ROWS), {std::to_string(rows.size())});
        return false;
    }
    const int columns = climate.humidity_class > 0 ? CLIMATE_COLUMNS - 1 : CLIMATE_COLUMNS;
    Climate pasted = climate;
    for (int m = 0; m < MONTHS; ++m) {
        std::vector<std::string> cells;
        std::size_t at = 0;
        while (true) {
            const std::size_t tab = rows[m].find('\t', at);
            cells.push_back(rows[m].substr(at, tab == std::string::npos ? tab : tab - at));
            if (tab == std::string::npos) break;
            at = tab + 1;
        }
        if (int(cells.size()) != columns) {
            error = fill_text(catalogue_c_text(C_W_PASTE_COLUMNS),
                              {std::to_string(m + 1), std::to_string(cells.size()),
                               std::to_string(columns)});
            return false;
        }
        ClimateMonth& month = pasted.months[m];
        double* fields[CLIMATE_COLUMNS] = {&month.theta_e, &month.phi_e, &month.theta_i,
                                           &month.phi_i};
        for (int c = 0; c < columns; ++c) {
            double v = 0.0;
            if (!parse_number(cells[c].c_str(), sep, v) && !parse_number(cells[c].c_str(), '.', v)) {
                error = fill_text(catalogue_c_text(C_W_PASTE_NUMBER),
                                  {std::to_string(m + 1), std::to_string(c + 1), cells[c]});
                return false;
            }
            std::string range;
            if (!climate_value_ok(ClimateColumn(c), v, range)) {
                error = std::string(catalogue_c_text(C_MONTH_1 + m)) + ": " + range;
                return false;
            }
            *fields[c] = v;
        }
    }
    climate = pasted;
    return true;
}
