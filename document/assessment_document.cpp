#include "document/assessment_document.h"

#include "core/atomic_file.h"
#include "core/climate_csv.h"
#include "core/numfmt.h"
#include "document/document.h"
#include "document/paths.h"
#include "lang/catalogue_c.h"
#include "output/assessment_report.h"
#include "output/assessment_summary.h"

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

bool AssessmentDocument::open_climate(const QString& path, std::string& error) {
    const QByteArray bytes = path_to_bytes(path);
    Climate read = climate_;
    ClimateCsvResult result;
    if (!read_climate_file(bytes.constData(), read, result)) {
        error = climate_error_message(result, path.toUtf8().constData());
        return false;
    }
    set_climate(read);
    return true;
}

std::string climate_csv_text(const Climate& climate) {
    const bool by_class = climate.humidity_class > 0;
    std::string s = by_class ? "month,theta_e,phi_e,theta_i,humidity_class\n"
                             : "month,theta_e,phi_e,theta_i,phi_i\n";
    for (int m = 0; m < MONTHS; ++m) {
        const ClimateMonth& c = climate.months[m];
        s += std::to_string(m + 1) + "," + format_number("0.0###", c.theta_e, '.') + "," +
             format_number("0.0###", c.phi_e, '.') + "," +
             format_number("0.0###", c.theta_i, '.') + "," +
             (by_class ? std::to_string(climate.humidity_class)
                       : format_number("0.0###", c.phi_i, '.')) +
             "\n";
    }
    return s;
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
