// The main window: the data-entry window, a view of the one document.
//
// Class map
//   Document     (document/)  the record, window state and commands; every
//                              edit of the record goes through it
//   TForm_quil   this window: controls, layout, events; events call the
//                              document, the document's signals repaint
//   StringGrid   a view of one of the document's GridCells
//   TForm_Help   the help and materials window, made after this one
//
// Handlers are spread over files by concern: Quil_gui.cpp (construction,
// window events, caption, closing), layout.cpp, grids_view.cpp,
// grid_events.cpp, field_help.cpp, copy_report.cpp. The graph paints itself
// (graph_box.h).
#pragma once

#include <QKeySequence>
#include <QList>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "core/Quil_c.h"
#include "document/document.h"
#include "document/ui.h"
#include "gui/glyphs.h"
#include "qt/qt_translations.h"

class GraphBox;
class KeyEdit;
class LayerGridTarget;
class QLabel;
class QLineEdit;
class QStatusBar;
class QToolButton;
class RadioGroup;
class StringGrid;
class TForm_Assess;
class TForm_Help;

class TForm_quil : public QWidget {
public:
    // Construction reads the settings file and sets the language (through
    // the document); the creation handler then builds the grids, all before
    // the window shows.
    TForm_quil(Partition& record, Ui& ui, QWidget* parent = nullptr);
    ~TForm_quil() override;

    Document& document() { return document_; }
    // The help and materials window; created after this one, so set later.
    void set_help_window(TForm_Help* help);
    TForm_Help* help_window() const;
    // mnu_table2 as the materials window's copy target.
    LayerGridTarget& layer_grid();
    // The year-round assessment window (F9), made when first opened; null before.
    TForm_Assess* assessment_window() const;
    void open_assessment();
    // The window font's point size, set by the layout.
    int font_size() const { return font_size_; }
    // The screen width the last paint found; 0 before the first.
    int last_screen_width() const { return layout_.last_screen_width; }

protected:
    void showEvent(QShowEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    // --- construction and the document's signals ---------------------------
    void create_controls();
    void connect_handlers();
    void connect_document();
    void eh_Form_quil_OnCreate();
    void update_caption();
    void show_grids(bool values);  // the view's part of filling the grids
    void show_status(bool paint_now);
    // A note in the status bar after a command (Saved: PATH), until the
    // document shows a status of its own or the note times out.
    void show_note(const QString& text);
    void show_busy(bool busy);
    void show_language_buttons();
    void show_accessible_texts();  // names and descriptions for screen readers
    void show_graph_description();
    void show_problems();  // why there are no results, and the refused radius
    void show_history();   // the Undo and Redo buttons

    // --- layout ---------------------------------------------------------------
    void layout_controls();
    void place_anchored();
    QSize frame_size() const;
    void queue_relayout();

    // --- window events --------------------------------------------------------
    void eh_Form_quil_OnShow();
    void eh_Form_quil_OnPaint();
    void eh_Form_quil_OnClose(bool& allow_close);
    void eh_sb_exit_OnClick();
    void eh_sb_print_OnClick();
    // Ctrl+Z and the redo chords: the open editor's own while it holds typed
    // text the document has not taken in, else the document's.
    void undo_key(bool redo);
    QLineEdit* typing_editor() const;

    // --- Copy report (copy_report.cpp) ------------------------------------------
    void add_copy_report_action();
    // The toolbar's commands, one row each (command_keys.cpp): the button
    // with its name and glyph, the hint, the keys and what they run. Each row
    // builds its button and a QAction that carries the keys.
    struct Toolbar;
    struct Command {
        QToolButton* Toolbar::*button;
        const char* name;
        Glyph glyph;
        bool two_images;  // a greyed image of its own while disabled
        int hint_a;       // the hint: a catalogue A text, or -1 for hint_d, -2 when
        TextD hint_d;     // the history names it (undo, redo)
        QList<QKeySequence> keys;
        bool bind_keys;                        // false: another row's action has them
        std::function<void(TForm_quil&)> run;  // the button
        std::function<void(TForm_quil&)> key;  // the keys; null: as the button
        // When the button may be pressed; null: always, once the window is made.
        std::function<bool(const TForm_quil&)> enabled = {};
    };
    static std::vector<Command> command_table();
    void build_commands();
    void add_command_keys();
    void show_command_hints();
    // Each button with a rule enabled as its row says.
    void show_commands_enabled();
    QList<QKeySequence> command_keys(const QToolButton* button) const;
    // The tooltip (hint and key), the accessible name (hint) and description (key).
    void show_hint(QToolButton* button, const QString& hint);
    // The report's text and the graph's image on the clipboard.
    void copy_report();

    // --- grids, edits, radio groups --------------------------------------------
    void eh_table1_OnKeyDown(StringGrid* sender, int& key);
    void eh_table1_OnKeyPress(StringGrid* sender, char16_t& key);
    void eh_table1_OnSelectCell(StringGrid* sender, int col, int row, bool& can_select);
    void eh_table2_OnKeyDown(StringGrid* sender, int& key);
    void eh_table2_OnKeyPress(StringGrid* sender, char16_t& key);
    void eh_table2_OnSelectCell(StringGrid* sender, int col, int row, bool& can_select);
    // Escape in a cell editor: the text the last edit took in comes back.
    void restore_cell(StringGrid* g, const GridCells& cells);
    void eh_table2_OnMouseDown(StringGrid* sender, Qt::MouseButton button, QPoint pos);
    void eh_EditingOnExit(QObject* sender);
    void eh_edit_RadiusC_OnKeyDown(int& key);
    void eh_edit_RadiusC_OnKeyPress(char16_t& key);
    void eh_edit_title_OnKeyDown(int& key);
    void eh_mnu_radio_group_wall_OnClick();
    void eh_mnu_radio_group_calc_OnClick();

    // --- help ----------------------------------------------------------------
    void eh_sb_info_OnClick(QObject* sender);
    void eh_sb_materials_OnClick();
    // F1 on mnu_table1, mnu_table2 (current cell), edit_RadiusC or edit_title.
    void field_help(QObject* sender);
    void show_text(int mode, TextA text);
    void show_materials(int mode);

    Document document_;
    std::vector<Command> commands_;
    QtTranslations qt_texts_;  // Qt's own dialogs in the program's language

    // The controls, by their objectName.
    struct Controls {
        StringGrid* mnu_table1 = nullptr;
        StringGrid* mnu_table2 = nullptr;
        KeyEdit* edit_title = nullptr;
        QLabel* label_title = nullptr;
        RadioGroup* mnu_radio_group_wall = nullptr;
        RadioGroup* mnu_radio_group_calc = nullptr;
        KeyEdit* edit_RadiusC = nullptr;
        QLabel* label_RadiusC = nullptr;
        GraphBox* graph = nullptr;
        QLabel* graph_problem = nullptr;  // in the graph's place while there are no results
        QStatusBar* status_bar = nullptr;
        QLabel* status_text = nullptr;  // the status bar's one text
    } w_;
    struct Toolbar {
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
        QToolButton* SpeedButtonUndo = nullptr;
        QToolButton* SpeedButtonRedo = nullptr;
        QToolButton* SpeedButtonAssess = nullptr;
    } buttons_;
    // What the layout computed and keeps.
    struct Layout {
        int last_screen_width = 0;
        // Distances of the graph from the right and bottom edges, kept on resize.
        int graph_right = 0;
        int graph_bottom = 0;
        bool relayout_queued = false;
        QSize frame_used;  // the frame the last layout allowed for
    } layout_;

    int font_size_ = 8;
    QPointer<TForm_Help> help_window_;
    QPointer<TForm_Assess> assess_window_;
    std::unique_ptr<LayerGridTarget> layer_grid_;
};
