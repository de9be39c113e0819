#include "gui/Quil_gui.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QRadioButton>
#include <QShortcut>
#include <QStatusBar>
#include <QToolButton>

#include "document/grid_columns.h"
#include "gui/Quil_hlp.h"
#include "gui/assess_window.h"
#include "gui/controls.h"
#include "gui/given_file.h"
#include "gui/glyphs.h"
#include "gui/graph_box.h"
#include "gui/string_grid.h"
#include "lang/catalogue.h"
#include "lang/catalogue_c.h"
#include "lang/catalogue_e.h"
#include "qt/fonts.h"
#include "qt/text_1250.h"
#include "paths/paths.h"
#include "storage/settings.h"

namespace {

template <class T>
T* named(T* widget, const char* name) {
    widget->setObjectName(name);
    return widget;
}

}  // namespace

TForm_quil::TForm_quil(Partition& record, Ui& ui, QWidget* parent)
    : QWidget(parent), document_(record, ui) {
    setObjectName("Form_quil");
    register_font_substitutes();
    create_controls();
    connect_handlers();
    connect_document();
    accept_file_drops(*this);
    eh_Form_quil_OnCreate();
}

TForm_quil::~TForm_quil() {
    // The controls view the document's cells, which go with this object
    // before QWidget deletes its children: they go first.
    qDeleteAll(findChildren<QWidget*>(Qt::FindDirectChildrenOnly));
}

void TForm_quil::set_help_window(TForm_Help* help) { help_window_ = help; }

TForm_Assess* TForm_quil::assessment_window() const { return assess_window_; }

void TForm_quil::open_assessment() {
    // Built on first use, so start-up does not pay for it.
    if (!assess_window_) {
        assess_window_ = new TForm_Assess(document_.assessment(), this);
        assess_window_->setFont(font());
    }
    assess_window_->show();
    assess_window_->raise();
    assess_window_->activateWindow();
}
TForm_Help* TForm_quil::help_window() const { return help_window_; }

void TForm_quil::create_controls() {
    Controls& w = w_;
    w.mnu_table1 = named(new StringGrid(document_.conditions(), this), "mnu_table1");
    w.mnu_table2 = named(new StringGrid(document_.layers(), this), "mnu_table2");
    w.edit_title = named(new KeyEdit(this), "edit_title");
    w.label_title = named(new QLabel(this), "label_title");
    w.mnu_radio_group_wall = named(new RadioGroup(this), "mnu_radio_group_wall");
    w.mnu_radio_group_calc = named(new RadioGroup(this), "mnu_radio_group_calc");
    w.edit_RadiusC = named(new KeyEdit(this), "edit_RadiusC");
    w.label_RadiusC = named(new QLabel(this), "label_RadiusC");
    w.graph = named(new GraphBox(document_, this), "graph");
    w.graph_problem = named(new QLabel(this), "graph_problem");
    w.graph_problem->setAlignment(Qt::AlignCenter);
    w.graph_problem->setWordWrap(true);
    w.graph_problem->hide();
    w.status_bar = named(new QStatusBar(this), "status_bar");
    w.status_text = named(new QLabel(w.status_bar), "status_text");
    w.status_bar->addWidget(w.status_text, 1);
    w.status_bar->setSizeGripEnabled(false);
    w.status_bar->hide();
    connect(w.status_bar, &QStatusBar::messageChanged, this, [this](const QString& message) {
        if (message.isEmpty() && !document_.state().status_visible) w_.status_bar->hide();
    });

    w.mnu_table2->set_col_max_length(LAYER_DESCRIPTION, int(DESCRIPTION_SIZE) - 1);
    w.edit_title->setMaxLength(int(TITLE_SIZE) - 1);
    w.edit_title->setValidator(new Win1250Validator(w.edit_title));
    w.edit_RadiusC->setMaxLength(10);
    w.label_title->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    w.label_RadiusC->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    // The graph keeps its own font whatever the window's size.
    w.graph->setFont(QFont("MS Sans Serif", 8));
    w.graph->setAutoFillBackground(false);

    build_commands();

    setTabOrder(w.mnu_table1, w.mnu_table2);
    setTabOrder(w.mnu_table2, w.edit_title);
    setTabOrder(w.edit_title, w.mnu_radio_group_wall->item(0));
    setTabOrder(w.mnu_radio_group_wall->item(0), w.mnu_radio_group_wall->item(1));
    setTabOrder(w.mnu_radio_group_wall->item(1), w.mnu_radio_group_calc->item(0));
    setTabOrder(w.mnu_radio_group_calc->item(0), w.mnu_radio_group_calc->item(1));
    setTabOrder(w.mnu_radio_group_calc->item(1), w.edit_RadiusC);
}

void TForm_quil::connect_handlers() {
    Controls& w = w_;
    // The undo chords first: an edit's own keys would otherwise take them.
    auto undo_chord_taken = [this](int& key, Qt::KeyboardModifiers mods) {
        const UndoChord chord = undo_chord(key, mods);
        if (chord == UndoChord::none) return false;
        undo_key(chord == UndoChord::redo);
        key = 0;
        return true;
    };
    // The grids and edits read the key and the refusal back after the emit.
    const auto direct = [this](auto* sender, auto signal, auto slot) {
        connect(sender, signal, this, slot, Qt::DirectConnection);
    };
    StringGrid* t1 = w.mnu_table1;
    StringGrid* t2 = w.mnu_table2;
    direct(t1, &StringGrid::key_down, [=, this](int* key, Qt::KeyboardModifiers mods) {
        if (!undo_chord_taken(*key, mods)) eh_table1_OnKeyDown(t1, *key);
    });
    direct(t1, &StringGrid::key_press,
           [=, this](char16_t* key) { eh_table1_OnKeyPress(t1, *key); });
    direct(t1, &StringGrid::selecting_cell,
           [=, this](int c, int r, bool* ok) { eh_table1_OnSelectCell(t1, c, r, *ok); });
    direct(t2, &StringGrid::key_down, [=, this](int* key, Qt::KeyboardModifiers mods) {
        if (!undo_chord_taken(*key, mods)) eh_table2_OnKeyDown(t2, *key);
    });
    direct(t2, &StringGrid::key_press,
           [=, this](char16_t* key) { eh_table2_OnKeyPress(t2, *key); });
    direct(t2, &StringGrid::selecting_cell,
           [=, this](int c, int r, bool* ok) { eh_table2_OnSelectCell(t2, c, r, *ok); });
    connect(t2, &StringGrid::mouse_down, this,
            [=, this](Qt::MouseButton b, QPoint pos) { eh_table2_OnMouseDown(t2, b, pos); });
    connect(new ActionWatcher(this), &ActionWatcher::action, this, [this] {
        document_.begin_user_action();
        // Whatever Qt shows of its own comes after an action in our windows.
        if (isVisible()) qt_texts_.use();
    });
    const auto on_exit = [this](QWidget* target, auto handler) {
        connect(new ExitWatcher(target), &ExitWatcher::exited, this, handler);
    };
    on_exit(t1, [this] { eh_EditingOnExit(w_.mnu_table1); });
    on_exit(t2, [this] { eh_EditingOnExit(w_.mnu_table2); });
    on_exit(w.edit_RadiusC, [this] { eh_EditingOnExit(w_.edit_RadiusC); });
    on_exit(w.edit_title, [this] { document_.take_title(); });
    direct(w.edit_RadiusC, &KeyEdit::key_down, [=, this](int* key, Qt::KeyboardModifiers mods) {
        if (!undo_chord_taken(*key, mods)) eh_edit_RadiusC_OnKeyDown(*key);
    });
    direct(w.edit_RadiusC, &KeyEdit::key_press,
           [this](char16_t* key) { eh_edit_RadiusC_OnKeyPress(*key); });
    direct(w.edit_title, &KeyEdit::key_down, [=, this](int* key, Qt::KeyboardModifiers mods) {
        if (!undo_chord_taken(*key, mods)) eh_edit_title_OnKeyDown(*key);
    });
    // The edits' texts are the document's, as the cells' are.
    connect(w.edit_title, &QLineEdit::textChanged, this,
            [this](const QString& text) { document_.set_title_text(to_1250(text)); });
    connect(w.edit_RadiusC, &QLineEdit::textChanged, this,
            [this](const QString& text) { document_.set_radius_text(to_1250(text)); });
    connect(w.mnu_radio_group_wall, &RadioGroup::item_picked, this,
            [this] { eh_mnu_radio_group_wall_OnClick(); });
    connect(w.mnu_radio_group_calc, &RadioGroup::item_picked, this,
            [this] { eh_mnu_radio_group_calc_OnClick(); });

    add_command_keys();
    add_copy_report_action();
}

void TForm_quil::connect_document() {
    Document& d = document_;
    connect(&d, &Document::grids_filled, this, [this](bool values) { show_grids(values); });
    connect(&d, &Document::caption_changed, this, [this] { update_caption(); });
    connect(&d, &Document::results_changed, this, [this] {
        w_.graph->setVisible(document_.state().results_valid);
        show_problems();
        show_graph_description();
    });
    connect(&d, &Document::graph_changed, this, [this] {
        w_.graph->update();
        show_graph_description();
    });
    connect(&d, &Document::wall_type_changed, this, [this] {
        const bool curved = document_.record().wall_type == 1;
        w_.label_RadiusC->setVisible(curved);
        w_.edit_RadiusC->setVisible(curved);
    });
    connect(&d, &Document::status_changed, this, [this](bool now) { show_status(now); });
    connect(&d, &Document::busy_changed, this, [this](bool busy) { show_busy(busy); });
    connect(&d, &Document::history_changed, this, [this] { show_history(); });
    const auto note = [this](TextD what) {
        return [this, what](const QString& path) {
            show_note(from_1250(catalogue_d_text(what)) + shown_path(path));
        };
    };
    connect(&d, &Document::saved, this, [this, note](const QString& path) {
        const SavedWhat what = document_.state().last_saved;
        if (what == SavedWhat::data_file) return note(TextD::SavedPath)(path);
        // The project's notes say what was kept; they are UTF-8.
        show_note(QString::fromUtf8(
            fill_text(catalogue_e_text(what == SavedWhat::project ? E_SAVED_PROJECT
                                                                  : E_SAVED_PARTITION_ONLY),
                      {shown_path(path).toStdString()})
                .c_str()));
    });
    connect(&d, &Document::exported, this, note(TextD::ExportedPath));
    connect(&d, &Document::language_changed, this, [this] {
        qt_texts_.follow(get_language());
        show_language_buttons();
        // A hidden window loads its text afresh when it is next shown.
        if (help_window_ && help_window_->isVisible()) help_window_->load_text();
    });
}

void TForm_quil::eh_Form_quil_OnCreate() {
    hide();
    update_caption();

    const int language = read_settings();
    qt_texts_.follow(language);
    const Toolbar& b = buttons_;
    for (QToolButton* button : {b.SpeedButtonInfo1, b.SpeedButtonInfo2, b.SpeedButtonOpen,
                                b.SpeedButtonSaveAs, b.SpeedButtonExportAs, b.SpeedButtonMaterials,
                                b.SpeedButtonPrint, b.SpeedButtonExit, b.SpeedButtonAssess})
        button->setEnabled(true);
    // The start: no file yet, and the flags as the settings file says, which
    // the language in force follows only once the window is shown.
    b.SpeedButtonSave->setEnabled(false);
    b.SpeedButtonExport->setEnabled(false);
    b.SpeedButtonLang044->setEnabled(language == 1);
    b.SpeedButtonLang048->setEnabled(language != 1);
    for (QToolButton* button : findChildren<QToolButton*>(Qt::FindDirectChildrenOnly)) {
        button->setVisible(true);
        button->setText(QString());
    }

    w_.mnu_table1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (StringGrid* g : {w_.mnu_table1, w_.mnu_table2}) {
        g->set_editing(true);
        g->set_always_show_editor(true);
    }

    layout_controls();
    document_.fill_grids(true);
    document_.refresh_results(ReadFlag::numbers_only);
}

void TForm_quil::update_caption() {
    const QString& file = document_.state().current_file;
    QString title = from_1250(catalogue_a_text(TextA::ProgramName)) + QStringLiteral(" <- ") +
                    from_1250(catalogue_a_text(TextA::ProgramSubtitle));
    if (!file.isEmpty()) title += QStringLiteral(" + ") + shown_path(file);
    // Where Qt puts the unsaved mark; it shows nothing while there is none.
    setWindowTitle(title + QLatin1String("[*]"));
    show_commands_enabled();
}

void TForm_quil::show_language_buttons() {
    // Only the button of the other language can be pressed.
    // The flags follow the switch only: the settings file decides them at the start.
    buttons_.SpeedButtonLang044->setEnabled(get_language() != LANG_ENGLISH);
    buttons_.SpeedButtonLang048->setEnabled(get_language() != LANG_POLISH);
}

void TForm_quil::show_problems() {
    const WindowState& s = document_.state();
    QString text;
    if (!s.results_valid) {
        text = from_1250(catalogue_d_text(TextD::ResultsInvalid));
        if (!s.problem_text.empty())
            text += QStringLiteral("\n\n") + from_1250(s.problem_text.c_str());
    }
    w_.graph_problem->setText(text);
    w_.graph_problem->setVisible(!s.results_valid);

    // The radius edit is marked as a refused cell is.
    show_problem(*w_.edit_RadiusC, from_1250(s.radius_problem.c_str()));
}

void TForm_quil::show_history() {
    const Toolbar& b = buttons_;
    show_commands_enabled();
    // The labels are UTF-8: a step of the climate names θ and φ.
    b.SpeedButtonUndo->setAccessibleName(QString::fromStdString(document_.undo_label()));
    b.SpeedButtonRedo->setAccessibleName(QString::fromStdString(document_.redo_label()));
    for (QToolButton* button : {b.SpeedButtonUndo, b.SpeedButtonRedo})
        show_hint(button, button->accessibleName());
    // The unsaved mark in the title, as Qt shows it; the title's text stays.
    setWindowModified(document_.modified());
}

void TForm_quil::undo_key(bool redo) {
    if (QLineEdit* editor = typing_editor()) {
        redo ? editor->redo() : editor->undo();
        return;
    }
    redo ? document_.redo() : document_.undo();
}

QLineEdit* TForm_quil::typing_editor() const {
    const QWidget* focus = QApplication::focusWidget();
    if (!focus) return nullptr;
    if (focus == w_.edit_title) return document_.typed_in_title() ? w_.edit_title : nullptr;
    if (focus == w_.edit_RadiusC) return document_.typed_in_radius() ? w_.edit_RadiusC : nullptr;
    for (StringGrid* g : {w_.mnu_table1, w_.mnu_table2}) {
        QLineEdit* editor = g->editor();
        if (!editor || focus != editor) continue;
        const GridCells& cells = g == w_.mnu_table1 ? document_.conditions() : document_.layers();
        return document_.typed_in_cell(cells, g->col(), g->row()) ? editor : nullptr;
    }
    return nullptr;
}

void TForm_quil::show_status(bool paint_now) {
    const WindowState& s = document_.state();
    w_.status_bar->clearMessage();
    w_.status_text->setText(from_1250(s.status_text.c_str()));
    w_.status_bar->setVisible(s.status_visible);
    if (paint_now) w_.status_bar->repaint();
}

void TForm_quil::show_note(const QString& text) {
    // Over the document's status text, which is empty between commands.
    w_.status_bar->show();
    w_.status_bar->showMessage(text, 10000);
}

void TForm_quil::show_busy(bool busy) {
    if (busy)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QGuiApplication::restoreOverrideCursor();
}

void TForm_quil::eh_Form_quil_OnShow() {
    // Both grids get their cell editors; the conditions grid keeps the focus.
    for (StringGrid* g : {w_.mnu_table1, w_.mnu_table2, w_.mnu_table1}) {
        g->setFocus();
        g->show_editor();
    }
}

void TForm_quil::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    // The window's size includes its frame, known only once it is shown.
    if (frame_size() != layout_.frame_used) {
        layout_controls();
        document_.fill_grids(false);
    }
    if (!e->spontaneous()) eh_Form_quil_OnShow();
}

void TForm_quil::eh_Form_quil_OnPaint() {
    const int width = document_.ui().screen_size().width();
    if (width == layout_.last_screen_width) return;
    if (layout_.last_screen_width != 0) queue_relayout();
    layout_.last_screen_width = width;
}

void TForm_quil::queue_relayout() {
    // Laid out right after this paint: resizing inside a paint event is unsafe.
    if (layout_.relayout_queued) return;
    layout_.relayout_queued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            layout_.relayout_queued = false;
            layout_controls();
            document_.fill_grids(false);
        },
        Qt::QueuedConnection);
}

void TForm_quil::paintEvent(QPaintEvent* e) {
    QWidget::paintEvent(e);
    // A window manager may add its frame after the window was shown.
    if (frame_size() != layout_.frame_used) queue_relayout();
    eh_Form_quil_OnPaint();
}

void TForm_quil::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    place_anchored();
}

void TForm_quil::eh_Form_quil_OnClose(bool& allow_close) {
    if (document_.is_shut_down()) {
        allow_close = true;
        return;
    }
    allow_close = document_.confirm_discard();
    if (allow_close) document_.shutdown();
}

void TForm_quil::closeEvent(QCloseEvent* e) {
    bool allow = false;
    eh_Form_quil_OnClose(allow);
    if (!allow) {
        e->ignore();
        return;
    }
    e->accept();
    // Other windows (the materials window) must not keep the program alive.
    QCoreApplication::quit();
}

void TForm_quil::eh_sb_exit_OnClick() {
    if (!document_.confirm_discard()) return;
    document_.shutdown();
    QCoreApplication::quit();
}

namespace {

// Enables the Print button again on every way out of the command.
class PrintButtonGuard {
public:
    explicit PrintButtonGuard(QToolButton* b) : button_(b) { button_->setEnabled(false); }
    ~PrintButtonGuard() { button_->setEnabled(true); }
    PrintButtonGuard(const PrintButtonGuard&) = delete;
    PrintButtonGuard& operator=(const PrintButtonGuard&) = delete;

private:
    QToolButton* button_;
};

}  // namespace

void TForm_quil::eh_sb_print_OnClick() {
    const PrintButtonGuard button(buttons_.SpeedButtonPrint);
    document_.print();
}
