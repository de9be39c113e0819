// The year-round assessment of the document's partition: its climate, the
// kind of partition U is judged against, the month the diagram shows, and
// the results. Made on first need (the window, a project file), then kept
// up to date: the partition's every recalculation and every change of the
// climate or kind recalculate it. No widget here.
#pragma once

#include <QObject>
#include <QString>
#include <string>

#include "core/assessment.h"
#include "core/climate.h"
#include "core/message_ui.h"
#include "document/ui.h"

class Document;

// What the assessment adds to the record in a project, as an undo step keeps it.
struct AssessmentState {
    Climate climate;
    AssessmentSettings settings;
    // The user gave the climate (a cell, a paste, a file, a project): a data
    // file cannot keep it. The climate made from the conditions is not given.
    bool climate_given = false;
};

// The climate grid's columns after the month.
enum ClimateColumn : int { CLIMATE_THETA_E = 0, CLIMATE_PHI_E, CLIMATE_THETA_I, CLIMATE_PHI_I };
constexpr int CLIMATE_COLUMNS = 4;

class AssessmentDocument : public QObject {
    Q_OBJECT

public:
    // The climate starts as the main window's conditions in every month.
    explicit AssessmentDocument(Document& document);

    Document& document() { return document_; }
    const Climate& climate() const { return climate_; }
    const AssessmentSettings& settings() const { return settings_; }
    // Valid only while valid() holds.
    const Assessment& assessment() const { return assessment_; }
    bool valid() const { return valid_; }
    // Why there are no results (UTF-8), empty while valid.
    const std::string& problem() const { return problem_; }

    // The diagram's month (0 = January): the chosen one, else that of M_a,max.
    int month() const;
    // -1 goes back to following M_a,max.
    void choose_month(int month);
    bool month_chosen() const { return chosen_month_ >= 0; }

    // Each recalculates and tells, with no undo step: for a project just
    // opened, and for scripts. The user's edits are the commands below.
    void set_climate(const Climate& climate);
    void set_kind(PartitionKind kind);
    AssessmentState state() const { return {climate_, settings_, climate_given_}; }
    void restore(const AssessmentState& state);
    bool climate_given() const { return climate_given_; }

    // --- commands: each change is one step of the document's history ----------
    // A typed cell (UTF-8, the Ui's decimal separator); false, with a message,
    // when it is no number or out of its limits.
    bool edit_cell(int month, ClimateColumn column, const std::string& typed);
    // Twelve rows from a spreadsheet (see paste_climate_rows); a message when refused.
    void paste(const std::string& text);
    void choose_humidity(int humidity_class);  // 0: φi given
    void choose_kind(PartitionKind kind);
    // The file commands, with their dialogs and messages.
    void open_climate();
    void save_climate();
    void export_text();
    void export_pdf();
    void print();

    // The UTF-8 text report, as parieta-assess prints it.
    std::string report_text() const;
    // Reads a climate file into `out` (the climate itself is not changed) or
    // writes the climate; false with the message (UTF-8) in `error`.
    bool read_climate(const QString& path, Climate& out, std::string& error) const;
    bool write_climate(const QString& path, std::string& error) const;

    void recalculate();

signals:
    void results_changed();  // the table, verdicts and charts
    void climate_changed();  // the climate grid's values or humidity class
    void month_changed();

private:
    // The climate replaced by `after` as one step named `what` (a catalogue E
    // id), of `month` when it is 0 or more.
    void change_climate(const Climate& after, int what, int month = -1);
    void message(const std::string& utf8, MsgIcon icon);
    AssessmentPageInput page_input() const;
    // `d` set up for one use and run: the chosen path, or nothing.
    std::optional<QString> ask_path(FileDialog& d, TextD title, TextD filter, const char* extension,
                                    bool save);

    Document& document_;
    Climate climate_;
    AssessmentSettings settings_;
    bool climate_given_ = false;
    FileDialog climate_dialog_, export_dialog_;
    Assessment assessment_;
    bool valid_ = false;
    std::string problem_;
    int chosen_month_ = -1;
};

// Whether a value may stand in the column; when not, the message (UTF-8).
bool climate_value_ok(ClimateColumn column, double value, std::string& error);
// Twelve rows of tab-separated values as a spreadsheet copies them: θe, φe, θi
// and, without a humidity class, φi. Numbers with `sep` or ".". All or
// nothing: false with the message (UTF-8) in `error` and `climate` untouched.
bool paste_climate_rows(const std::string& text, char sep, Climate& climate, std::string& error);
