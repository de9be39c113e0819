// The document: the one Partition record, the window state around it and
// every command on it. Every change of the record passes through here, so
// the windows are views of it and undo can be built on it; nothing here
// needs a widget.
//
//   record()                 the Partition, read-only to everyone else
//   conditions(), layers()   the two grids' cell texts (GridCells)
//   title_text(), radius_text()  the texts of the title and radius edits
//   state()                  current file, dialog folders, flags, check memory
//
// The edits: read_grids / refresh_results (cell and edit texts into the
// record, then the calculation), fill_grids (the record into the texts),
// take_title, insert_layer_at / delete_layer_at, choose_wall_type /
// choose_calc_mode. Each edit that changes the record is one step of the
// undo history (undo, redo). The commands: open, save, save_as,
// open_given_file, export_beside, export_as, report_text, print,
// switch_language, shutdown.
#pragma once

#include <QFlags>
#include <QObject>
#include <QString>
#include <QUndoStack>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "core/Quil_c.h"
#include "core/message_ui.h"
#include "document/grid_cells.h"
#include "document/ui.h"
#include "lang/result_codes.h"
#include "lang/text_ids.h"

// The window state the commands and the graph share; lives as long as the
// document.
struct WindowState {
    bool grids_ready = true;
    bool results_valid = true;
    bool graph_dirty = true;
    bool graph_on_screen = true;
    QString current_file;             // full path; empty while there is none
    bool current_is_project = false;  // Save writes a project file, not a data file
    QString open_dir, open_name;
    QString save_dir, save_name;
    QString export_dir, export_name;
    // Check memory: the kind last reported per field, CHECK_OK at start.
    std::uint8_t field_status[9] = {};  // by FieldId 0..8
    std::uint8_t thickness_status[MAX_LAYERS] = {};
    std::uint8_t lambda_status[MAX_LAYERS] = {};
    std::uint8_t delta_status[MAX_LAYERS] = {};
    bool thickness_check_armed = true;
    // Why the results are not valid, for the graph's place (Windows-1250):
    // the first refused field's check message, empty while they are valid.
    std::string problem_text;
    std::string radius_problem;  // the radius edit's, as the cells' are in GridCells
    // The status bar: shown or not, and its one text (Windows-1250).
    bool status_visible = false;
    std::string status_text;
    // What the last successful save wrote, for its note.
    enum class SavedWhat { data_file, project, partition_only } last_saved = SavedWhat::data_file;
};
using SavedWhat = WindowState::SavedWhat;

class AssessmentDocument;
struct AssessmentState;

// How read_grids takes the texts in. numbers_only leaves the title and the
// layer descriptions out; with_messages lets the checks tell what they refuse.
enum class ReadFlag { numbers_only = 1, with_messages = 2 };
Q_DECLARE_FLAGS(ReadFlags, ReadFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(ReadFlags)

// The texts an undo step restores, by slot: the value cells of the
// conditions grid (external and internal, rows 1 to 4), those of the layer
// grid (description to Delta, rows 1 to MAX_LAYERS), the title and the radius.
constexpr int CONDITION_SLOTS = 2 * 4;
constexpr int LAYER_SLOTS = 4 * MAX_LAYERS;
constexpr int TITLE_SLOT = CONDITION_SLOTS + LAYER_SLOTS;
constexpr int RADIUS_SLOT = TITLE_SLOT + 1;
constexpr int TEXT_SLOTS = RADIUS_SLOT + 1;
using TextSlots = std::array<std::string, TEXT_SLOTS>;

// What an undo step is called: a catalogue D text, then the layer's planes
// ("2-3") when `layer` is above 0.
struct StepName {
    TextD what = TextD::StepSeveralValues;
    std::int8_t layer = 0;
};

// What a step of the climate or the settings is called: a catalogue E text,
// with the month (0 = January) when `month` is 0 or more ("θe of February").
struct AssessmentStepName {
    int what = 0;
    int month = -1;
};

class Document : public QObject {
    Q_OBJECT

public:
    // Reads the settings file and sets the language, and makes the data
    // folder when it is missing; the grids are filled by the first
    // fill_grids.
    Document(Partition& record, Ui& ui);
    ~Document() override;

    const Partition& record() const { return record_; }
    const WindowState& state() const { return state_; }
    GridCells& conditions() { return conditions_; }  // mnu_table1
    GridCells& layers() { return layers_; }          // mnu_table2
    const GridCells& conditions() const { return conditions_; }
    const GridCells& layers() const { return layers_; }
    const std::string& title_text() const { return title_text_; }
    const std::string& radius_text() const { return radius_text_; }
    void set_title_text(const std::string& text) { title_text_ = text; }
    void set_radius_text(const std::string& text) { radius_text_ = text; }

    // The Ui of the windows and the document: one message box at a time.
    Ui& ui() { return ui_; }
    bool message_open() const { return ui_.box_open(); }
    // A key or a click of the user's: see OneBoxUi::new_action.
    void begin_user_action() { ui_.new_action(); }
    MsgAnswer message_box(const char* text, const char* caption, MsgIcon icon, MsgButtons buttons);
    char decimal_separator() const { return ui_.decimal_separator(); }
    // The data folder; empty when it cannot be named.
    QString data_folder() const;
    // The year-round assessment, made on first need.
    AssessmentDocument& assessment();
    bool has_assessment() const { return assessment_ != nullptr; }
    // Null once shut down.
    const FileDialog* open_dialog() const { return open_dialog_.get(); }
    const FileDialog* save_dialog() const { return save_dialog_.get(); }

    // --- edits ---------------------------------------------------------------
    // Takes every visible cell and edit into the record, with at most one
    // check message under ReadFlag::with_messages, then calculates. True when
    // the input is valid and the calculation succeeded.
    bool read_grids(ReadFlags flags = {});
    // read_grids, then a repaint of the graph when an input changed.
    void refresh_results(ReadFlags flags = {});
    // Counts and texts of both grids from the record and the language; with
    // `values` the numbers, the title and the radius too, and then, outside
    // an edit, the undo history starts again from these texts.
    void fill_grids(bool values);
    // The title edit's text into the record (Enter, leaving the edit).
    void take_title();
    // The Add and Delete cells of layer grid row `row`; false when nothing changed.
    bool insert_layer_at(int row);
    bool delete_layer_at(int row);
    void choose_wall_type(int type);
    void choose_calc_mode(int mode);
    // 0 discards the key; backspace, E, e, digits and "-" pass, and "." or ","
    // becomes the decimal separator in force.
    char16_t filter_number_key(char16_t key) const;

    // --- undo and redo -----------------------------------------------------------
    // Both first take in what was typed (a step of its own when it changes
    // the record, without messages), then bring back the record, the cell
    // and edit texts and the results as they were before or after the step.
    // The saved state is the history's clean state: the record is modified
    // exactly when the history stands elsewhere.
    void undo();
    void redo();
    bool can_undo() const { return history_.canUndo(); }
    bool can_redo() const { return history_.canRedo(); }
    // "Undo: thickness of layer 2-3", "Redo: title": the step undo or redo
    // would go over, in the current language (Windows-1250); the verb alone
    // when there is none.
    std::string undo_text() const;
    std::string redo_text() const;
    // The same for every step, the climate's and the settings' too, in UTF-8.
    std::string undo_label() const;
    std::string redo_label() const;
    // The climate and the settings replaced by `after`, as one step; the
    // assessment is made first when there is none yet.
    void change_assessment(const AssessmentState& after, AssessmentStepName name);
    // Any change to the project since it was opened or saved, the climate's
    // and the kind's included; undoing back to the saved state clears it.
    bool modified() const { return record_.modified != 0; }
    // Whether a data file would drop part of the project: a climate the user
    // gave, or a kind of partition.
    bool holds_more_than_partition() const;
    const QUndoStack& history() const { return history_; }
    // Whether the text differs from what the last edit took in: a cell of
    // conditions() or layers(), the title, the radius.
    bool typed_in_cell(const GridCells& grid, int col, int row) const;
    // The cell's text as the last edit took it in (Windows-1250); what
    // Escape brings back. Empty for a cell that holds no input.
    std::string committed_cell_text(const GridCells& grid, int col, int row) const;
    bool typed_in_title() const;
    bool typed_in_radius() const;

    // --- commands --------------------------------------------------------------
    // The unsaved-changes question; true when the document may be dropped.
    bool confirm_discard();
    void open();
    void save();
    void save_as();
    // Writes the record (with the climate and kind as a project file when
    // `project`) under the wait cursor and "Saving data..."; true on success.
    bool save_to_file(const QString& path, bool project);
    bool save_to_file(const QString& path) { return save_to_file(path, state_.current_is_project); }
    // Reads `path` as Open does once a file is chosen: a data file or, by its
    // content, a project file; a message and the record unchanged when it
    // cannot be read. True when it was read.
    bool open_file(const QString& path);
    // A data file named on the command line or dropped on the window: the
    // unsaved-changes question, then open_file. Nothing after shutdown().
    void open_given_file(const QString& path);
    // Export beside the current file (a question before overwriting) and
    // Export As; export_results writes the report and tells a failure.
    void export_beside();
    void export_as();
    void export_results(const QString& file_name);
    // The report Export would write, its bytes (Windows-1250, CR LF), into
    // `bytes`; false, with what the checks tell, when Export would write none.
    bool report_text(std::string& bytes);
    // The report and the graph on one printer page.
    void print();
    // Commits the input, then switches to `language` unless it is in force;
    // true when it switched.
    bool switch_language(int language);
    // The program may end: the language goes to the settings file and the
    // dialogs are dropped.
    void shutdown();
    bool is_shut_down() const { return shut_down_; }

    // Sets the current file (kept whole: a shortened path would make Save
    // write another file).
    void set_current_file(const QString& path);
    void show_invalid_data_error();

signals:
    // fill_grids has put new texts into the grids (and, with `values`, the edits).
    void grids_filled(bool values);
    // The current file changed, or the language: the caption.
    void caption_changed();
    // results_valid may have changed: the graph shows exactly when it holds.
    void results_changed();
    // The graph needs a repaint.
    void graph_changed();
    void wall_type_changed();
    void language_changed();
    // The status bar; `paint_now` when a long job follows without the event loop.
    void status_changed(bool paint_now);
    // The wait cursor on or off.
    void busy_changed(bool busy);
    // A step was made, undone or redone, or the history started again.
    void history_changed();
    // The record, or the report, went to `path` in full.
    void saved(const QString& path);
    void exported(const QString& path);

private:
    class Step;
    friend class Step;
    class AssessmentStep;
    friend class AssessmentStep;
    // An edit from its start to its end; only the outermost one counts.
    class EditScope {
    public:
        explicit EditScope(Document& d, std::optional<StepName> name = std::nullopt) : d_(d) {
            d_.begin_edit(name);
        }
        ~EditScope() { d_.end_edit(); }
        EditScope(const EditScope&) = delete;
        EditScope& operator=(const EditScope&) = delete;

    private:
        Document& d_;
    };
    enum class SaveChoice { data_file, project, partition_only, cancel };
    // Before a data file is written: what to keep when the project holds more.
    SaveChoice ask_what_to_keep();
    // The Save As dialog, the project's type chosen first when `project_first`.
    void run_save_as(bool project_first);
    void error_box(TextA text);
    void set_status(bool visible, const std::string& text, bool paint_now = false);
    void set_busy(bool busy) { emit busy_changed(busy); }
    void fill_conditions(bool values);
    bool change_layers(bool (*change)(Partition&, int), int index, StepName name);
    void fill_layers(bool values);
    ReadResult open_project(const QString& path);
    void opened(const QString& path, bool project);

    // The history (history.cpp): an outermost edit notes the record as it
    // was and, when the record changed, ends as one step.
    void begin_edit(std::optional<StepName> name);
    void end_edit();
    void restart_history();
    void go_through_step(bool forward);
    void apply_step(const Step& step, bool forward);
    TextSlots current_texts() const;
    bool typed_anything() const;
    void put_texts(const TextSlots& texts);
    std::string step_text(const QUndoCommand* step, TextD verb) const;
    std::string step_label(const QUndoCommand* step, TextD verb) const;
    void after_history_move();

    Partition& record_;
    OneBoxUi ui_;
    WindowState state_;
    GridCells conditions_;
    GridCells layers_;
    std::string title_text_;
    std::string radius_text_;
    std::unique_ptr<FileDialog> open_dialog_;
    std::unique_ptr<FileDialog> save_dialog_;
    std::unique_ptr<AssessmentDocument> assessment_;
    // After Exit the application's quit closes the windows once more; the
    // question is not asked twice.
    bool shut_down_ = false;

    QUndoStack history_;
    int edit_depth_ = 0;
    std::optional<StepName> edit_name_;
    std::array<std::uint8_t, PAYLOAD_SIZE> edit_before_{};
    // The record's input, the texts and the validity of the results at the
    // history's index, and the texts as the last edit took them in.
    std::array<std::uint8_t, PAYLOAD_SIZE> step_input_{};
    TextSlots step_texts_;
    bool step_valid_ = true;
    TextSlots committed_;
};
