#include "document/assessment_document.h"

#include <vector>

#include "core/numfmt.h"
#include "document/document.h"
#include "lang/catalogue.h"
#include "lang/catalogue_c.h"
#include "lang/catalogue_e.h"
#include "output/assessment_page.h"
#include "output/assessment_report.h"
#include "output/assessment_summary.h"
#include "paths/paths.h"
#include "storage/atomic_file.h"
#include "storage/climate_csv.h"

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
    climate_given_ = true;
    emit climate_changed();
    recalculate();
}

void AssessmentDocument::set_kind(PartitionKind kind) {
    if (kind == settings_.kind) return;
    settings_.kind = kind;
    recalculate();
}

void AssessmentDocument::restore(const AssessmentState& state) {
    climate_ = state.climate;
    settings_ = state.settings;
    climate_given_ = state.climate_given;
    emit climate_changed();
    recalculate();
}

void AssessmentDocument::change_climate(const Climate& after, int what, int month) {
    AssessmentState next = state();
    next.climate = after;
    next.climate_given = true;
    document_.change_assessment(next, {what, month});
}

bool AssessmentDocument::edit_cell(int month, ClimateColumn column, const std::string& typed) {
    if (month < 0 || month >= MONTHS) return false;
    static constexpr int HEADINGS[CLIMATE_COLUMNS] = {C_COL_THETA_E, C_COL_PHI_E, C_COL_THETA_I,
                                                      C_COL_PHI_I};
    static constexpr int STEPS[CLIMATE_COLUMNS] = {E_STEP_THETA_E, E_STEP_PHI_E, E_STEP_THETA_I,
                                                   E_STEP_PHI_I};
    double value = 0.0;
    if (!parse_number(typed.c_str(), document_.decimal_separator(), value)) {
        message(fill_text(catalogue_c_text(C_W_CELL_NUMBER),
                          {catalogue_c_text(C_MONTH_1 + month), catalogue_c_text(HEADINGS[column]),
                           typed}),
                MsgIcon::error);
        return false;
    }
    std::string error;
    if (!climate_value_ok(column, value, error)) {
        message(std::string(catalogue_c_text(C_MONTH_1 + month)) + ", " +
                    catalogue_c_text(HEADINGS[column]) + ": " + error,
                MsgIcon::error);
        return false;
    }
    Climate after = climate_;
    ClimateMonth& m = after.months[month];
    double* fields[CLIMATE_COLUMNS] = {&m.theta_e, &m.phi_e, &m.theta_i, &m.phi_i};
    if (*fields[column] == value) return true;
    *fields[column] = value;
    change_climate(after, STEPS[column], month);
    return true;
}

void AssessmentDocument::paste(const std::string& text) {
    Climate after = climate_;
    std::string error;
    if (!paste_climate_rows(text, document_.decimal_separator(), after, error)) {
        message(error, MsgIcon::error);
        return;
    }
    change_climate(after, E_STEP_PASTE);
}

void AssessmentDocument::choose_humidity(int humidity_class) {
    if (humidity_class < 0 || humidity_class > HUMIDITY_CLASSES ||
        humidity_class == climate_.humidity_class)
        return;
    Climate after = climate_;
    after.humidity_class = humidity_class;
    change_climate(after, E_STEP_HUMIDITY);
}

void AssessmentDocument::choose_kind(PartitionKind kind) {
    if (kind == settings_.kind) return;
    AssessmentState next = state();
    next.settings.kind = kind;
    document_.change_assessment(next, {E_STEP_KIND, -1});
}

void AssessmentDocument::message(const std::string& utf8, MsgIcon icon) {
    // The text is UTF-8 and passed as it is (θ, φ and − have no Windows-1250 form).
    document_.ui().message_box(
        "", QString::fromStdString(utf8), "",
        catalogue_b_text(icon == MsgIcon::error ? TextB::ErrorCaption : TextB::WarningCaption),
        icon, MsgButtons::ok);
}

AssessmentPageInput AssessmentDocument::page_input() const {
    return {&document_.record(), &assessment_, settings_, month(), document_.decimal_separator()};
}

std::optional<QString> AssessmentDocument::ask_path(FileDialog& d, TextD title, TextD filter,
                                                    const char* extension, bool save) {
    d.prepare(catalogue_d_text(title), catalogue_d_text(filter),
              d.dir.isEmpty() ? document_.state().save_dir : d.dir, QString(),
              QString::fromLatin1(extension));
    // A file to be written asks before it replaces one.
    d.overwrite_prompt = save;
    return save ? document_.ui().run_save_dialog(d) : document_.ui().run_open_dialog(d);
}

void AssessmentDocument::open_climate() {
    FileDialog& d = climate_dialog_;
    const std::optional<QString> path =
        ask_path(d, TextD::ClimateOpenTitle, TextD::ClimateFilter, "csv", false);
    if (!path) return;
    std::string error;
    Climate read = climate_;
    if (!read_climate(*path, read, error)) {
        message(error, MsgIcon::error);
        return;
    }
    change_climate(read, E_STEP_CLIMATE_FILE);
    d.dir = folder_part(*path);
}

void AssessmentDocument::save_climate() {
    FileDialog& d = climate_dialog_;
    const std::optional<QString> path =
        ask_path(d, TextD::ClimateSaveTitle, TextD::ClimateFilter, "csv", true);
    if (!path) return;
    std::string error;
    if (!write_climate(*path, error)) message(error, MsgIcon::error);
    d.dir = folder_part(*path);
}

namespace {

// The bytes whole or not at all; false when they cannot be written.
bool write_whole_file(const QString& path, const std::string& bytes) {
    AtomicFile file;
    return file.open(path_to_bytes(path).constData()) && file.write(bytes.data(), bytes.size()) &&
           file.commit();
}

}  // namespace

void AssessmentDocument::export_text() {
    FileDialog& d = export_dialog_;
    const std::optional<QString> path =
        ask_path(d, TextD::ExportTextTitle, TextD::TextFilter, "txt", true);
    if (!path) return;
    if (!write_whole_file(*path, report_text()))
        message(catalogue_c_text(C_W_CANNOT_WRITE), MsgIcon::error);
    d.dir = folder_part(*path);
}

void AssessmentDocument::export_pdf() {
    if (!valid_) {
        message(problem_, MsgIcon::error);
        return;
    }
    FileDialog& d = export_dialog_;
    const std::optional<QString> path =
        ask_path(d, TextD::ExportPdfTitle, TextD::PdfFilter, "pdf", true);
    if (!path) return;
    // Rendered whole first: a failed export leaves the earlier file as it was.
    std::string pdf;
    if (!document_.ui().render_assessment_pdf(page_input(), pdf) || !write_whole_file(*path, pdf))
        message(catalogue_c_text(C_W_CANNOT_WRITE), MsgIcon::error);
    d.dir = folder_part(*path);
}

void AssessmentDocument::print() {
    if (!valid_) {
        message(problem_, MsgIcon::error);
        return;
    }
    const std::unique_ptr<PrintJob> job = document_.ui().run_print_dialog();
    if (!job) return;
    if (!job->print_assessment(page_input()))
        message(catalogue_c_text(C_W_PRINT_FAILED), MsgIcon::error);
}

void AssessmentDocument::recalculate() {
    const int before = month();
    valid_ = assess_partition(document_.record(), climate_, settings_, assessment_);
    problem_.clear();
    if (!valid_) {
        int bad = 0;
        if (check_climate(climate_, bad) != ClimateProblem::None)
            problem_ =
                fill_text(catalogue_c_text(C_W_NO_CLIMATE), {catalogue_c_text(C_MONTH_1 + bad)});
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

bool AssessmentDocument::read_climate(const QString& path, Climate& out, std::string& error) const {
    ClimateCsvResult result;
    if (read_climate_file(path_to_bytes(path).constData(), out, result)) return true;
    error = climate_error_message(result, path.toUtf8().constData());
    return false;
}

bool AssessmentDocument::write_climate(const QString& path, std::string& error) const {
    if (write_whole_file(path, climate_csv_text(climate_))) return true;
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
            error = fill_text(
                catalogue_c_text(C_W_PASTE_COLUMNS),
                {std::to_string(m + 1), std::to_string(cells.size()), std::to_string(columns)});
            return false;
        }
        ClimateMonth& month = pasted.months[m];
        double* fields[CLIMATE_COLUMNS] = {&month.theta_e, &month.phi_e, &month.theta_i,
                                           &month.phi_i};
        for (int c = 0; c < columns; ++c) {
            double v = 0.0;
            if (!parse_number(cells[c].c_str(), sep, v) &&
                !parse_number(cells[c].c_str(), '.', v)) {
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
