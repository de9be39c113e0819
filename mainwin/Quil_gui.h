// The main window: the data-entry window of the one partition document.
//
// Handlers are spread over files by concern: Quil_gui.cpp (construction,
// window events, caption, closing), layout.cpp, grids_fill.cpp,
// grids_read.cpp, grid_events.cpp, graph_paint.cpp. The commands of other
// subsystems (file commands, export, printing, language switch, help) are
// declared here and defined in their own files.
#pragma once

#include <QFont>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <memory>

#include "core/Quil_c.h"
#include "core/message_ui.h"
#include "mainwin/ui.h"

class GraphBox;
class KeyEdit;
class LayerGridTarget;
class QLabel;
class QStatusBar;
class QToolButton;
class RadioGroup;
class StringGrid;
class TForm_Help;

// The window's font for a point size (see layout.cpp).
QFont window_font(int points);

class TForm_quil;
struct HelpWindowSeams;
// What the help and materials window takes from the main window: the Ui's
// screen and decimal separator, and the window's font.
HelpWindowSeams help_window_seams(const TForm_quil& form);

class TForm_quil : public QWidget {
public:
    // Construction reads the settings file and sets the language; the
    // creation handler then builds the grids, all before the window shows.
    TForm_quil(Partition& document, Ui& ui, QWidget* parent = nullptr);
    ~TForm_quil() override;

    Partition& document;
    Ui& ui;

    // --- controls (also their objectName) ---------------------------------
    StringGrid* mnu_table1 = nullptr;
    StringGrid* mnu_table2 = nullptr;
    KeyEdit* edit_title = nullptr;
    QLabel* label_title = nullptr;
    RadioGroup* mnu_radio_group_wall = nullptr;
    RadioGroup* mnu_radio_group_calc = nullptr;
    KeyEdit* edit_RadiusC = nullptr;
    QLabel* label_RadiusC = nullptr;
    GraphBox* graph = nullptr;
    QStatusBar* status_bar = nullptr;
    QLabel* status_text = nullptr;  // the status bar's one text
    QToolButton* SpeedButtonInfo1 = nullptr;
    QToolButton* SpeedButtonInfo2 = nullptr;
    QToolButton* SpeedButtonOpen = nullptr;
    QToolButton* SpeedButtonSave = nullptr;
    QToolButton* SpeedButtonExport = nullptr;
    QToolButton* SpeedButtonSaveAs = nullptr;
    QToolButton* SpeedButtonExportAs = nullptr;
    QToolButton* SpeedButtonMaterials = nullptr;
    QToolButton* SpeedButtonPrint = nullptr;
    QToolButton* SpeedButtonLang044 = nullptr;
    QToolButton* SpeedButtonLang048 = nullptr;
    QToolButton* SpeedButtonExit = nullptr;

    // --- window state -----------------------------------------------------
    bool grids_ready = true;
    bool results_valid = true;
    bool graph_dirty = true;
    bool graph_on_screen = true;
    QString current_file;  // full path; empty while there is none
    QString open_dir, open_name;
    QString save_dir, save_name;
    QString export_dir, export_name;
    std::uint8_t field_status[9] = {};  // by FieldId 0..8
    std::uint8_t thickness_status[MAX_LAYERS] = {};
    std::uint8_t lambda_status[MAX_LAYERS] = {};
    std::uint8_t delta_status[MAX_LAYERS] = {};
    bool thickness_check_armed = true;
    int last_screen_width = 0;
    int font_size = 8;  // the window font's point size, set by layout_controls
    std::unique_ptr<FileDialog> open_dialog;  // gone after shutdown_window()
    std::unique_ptr<FileDialog> save_dialog;
    // The help and materials window; created after this one, so set later.
    QPointer<TForm_Help> help_window;

    // --- operations -------------------------------------------------------
    void layout_controls();
    void update_caption();
    void update_caption(const QString& path);
    void refresh_results(bool numbers_only, bool with_messages);
    bool read_grids(bool numbers_only, bool with_messages);
    void fill_grids(bool values);
    // 0 discards the key; backspace, E, e, digits, the decimal separator and
    // "-" pass.
    char16_t filter_number_key(char16_t key) const;
    void shutdown_window();
    void show_invalid_data_error();
    // The data folder: executable folder plus DAT, empty when too long.
    QString data_folder() const;
    char decimal_separator() const { return ui.decimal_separator(); }

    // Every message box of the window goes through here: while one is up no
    // second one opens (it answers OK, or Cancel to a question).
    MsgAnswer message_box(const char* text, const char* caption, MsgIcon icon, MsgButtons buttons);
    // The same for a Unicode text (one that names a path).
    MsgAnswer message_box(const QString& text, const char* caption, MsgIcon icon,
                          MsgButtons buttons);
    bool message_open() const { return message_depth_ > 0; }
    // The same, for code that takes a MessageUi (check messages, the
    // materials window).
    MessageUi& messages() { return *messages_; }
    // mnu_table2 as the materials window's copy target.
    LayerGridTarget& layer_grid();

    // --- window events ------------------------------------------------------
    void eh_Form_quil_OnCreate();
    void eh_Form_quil_OnShow();
    void eh_Form_quil_OnPaint();
    void eh_Form_quil_OnClose(bool& allow_close);
    void eh_sb_exit_OnClick();
    void eh_graph_on_paint();

    // --- grids, edits, radio groups ------------------------------------------
    void eh_table1_OnKeyDown(StringGrid* sender, int& key);
    void eh_table1_OnKeyPress(StringGrid* sender, char16_t& key);
    void eh_table1_OnSelectCell(StringGrid* sender, int col, int row, bool& can_select);
    void eh_table2_OnKeyDown(StringGrid* sender, int& key);
    void eh_table2_OnKeyPress(StringGrid* sender, char16_t& key);
    void eh_table2_OnSelectCell(StringGrid* sender, int col, int row, bool& can_select);
    void eh_table2_OnMouseDown(StringGrid* sender, Qt::MouseButton button, QPoint pos);
    void eh_EditingOnExit(QObject* sender);
    void eh_edit_RadiusC_OnKeyDown(int& key);
    void eh_edit_RadiusC_OnKeyPress(char16_t& key);
    void eh_edit_title_OnKeyDown(int& key);
    void eh_edit_title_OnExit();
    void eh_mnu_radio_group_wall_OnClick();
    void eh_mnu_radio_group_calc_OnClick();

    // --- commands of other subsystems, each defined in its own file ----------
    // File commands.
    bool confirm_discard();
    void eh_sb_open_OnClick();
    void eh_sb_save_OnClick();
    void eh_sb_save_as_OnClick();
    // Writes the document under the wait cursor and "Saving data..."; true on success.
    bool save_to_file(const QString& path);
    // Reads `path` as Open does once a file is chosen: message 10 or 9 and the
    // document unchanged when it cannot be read. True when it was read.
    bool open_file(const QString& path);
    // A data file named on the command line or dropped on the window: the
    // unsaved-changes question, then open_file. Nothing after shutdown_window().
    void open_given_file(const QString& path);
    // Export and printing.
    void eh_sb_export_OnClick();
    void eh_sb_export_as_OnClick();
    // Writes the report to `file_name`; a failure is shown.
    void export_results(const QString& file_name);
    void eh_sb_print_OnClick();
    // Language switch: `sender` is SpeedButtonLang044 or SpeedButtonLang048.
    void eh_sb_language_OnClick(QObject* sender);
    // Help: `sender` is SpeedButtonInfo1 or SpeedButtonInfo2.
    void eh_sb_info_OnClick(QObject* sender);
    void eh_sb_materials_OnClick();
    // F1 on mnu_table1, mnu_table2 (current cell), edit_RadiusC or edit_title.
    void field_help(QObject* sender);
    // Through help_window; nothing while there is none.
    void show_text(int mode, int text_id);
    void show_materials(int mode);

protected:
    void showEvent(QShowEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void create_controls();
    void connect_handlers();
    void place_anchored();
    QSize frame_size() const;
    void queue_relayout();
    QString catalogue_a(int id) const;
    template <class Show>
    MsgAnswer one_box_at_a_time(MsgButtons buttons, Show show);

    std::unique_ptr<MessageUi> messages_;
    std::unique_ptr<LayerGridTarget> layer_grid_;
    int message_depth_ = 0;
    // Distances of the graph from the right and bottom edges, kept on resize.
    int graph_right_ = 0;
    int graph_bottom_ = 0;
    bool relayout_queued_ = false;
    QSize frame_used_;  // the frame the last layout allowed for
    // After Exit the application's quit closes the windows once more; the
    // question is not asked twice.
    bool shut_down_ = false;
};
