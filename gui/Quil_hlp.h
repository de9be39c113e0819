// The help and materials window: shows a catalogue A text in a fixed-pitch
// font, searches it, and copies a selected text or number into the layers
// grid of the main window.
#pragma once

#include <QChar>
#include <QFont>
#include <QMargins>
#include <QRect>
#include <QSize>
#include <QTextEdit>
#include <QWidget>
#include <cstdint>
#include <functional>

#include "lang/text_ids.h"

class FindDialog;
class QFrame;
class QPushButton;
class Ui;

// Window modes.
constexpr int HELP_MODE_TEXT = 0;         // a help text
constexpr int HELP_MODE_MATERIALS = 1;    // the materials table, to read
constexpr int HELP_MODE_COPY_TEXT = 2;    // ... with a button copying the selected text
constexpr int HELP_MODE_COPY_NUMBER = 3;  // ... with a button copying the selected number
constexpr int MATERIALS_TEXT_ID = int(TextA::MaterialsTable);
constexpr int COPY_MAX_CHARS = 36;  // what a layer cell takes at most

// The cell of the layers grid that a copy writes into.
class LayerGridTarget {
public:
    virtual ~LayerGridTarget() = default;
    virtual int current_column() const = 0;
    virtual int current_row() const = 0;
    virtual void set_cell_text(int col, int row, const QString& text) = 0;
};

// The text box: reports mouse presses and releases after they have changed
// the selection, and key presses before it handles them. A double-click on a
// number selects all of it, with its decimal mark and sign, where the word
// boundaries would stop at the mark.
class HelpTextBox : public QTextEdit {
    Q_OBJECT
public:
    using QTextEdit::QTextEdit;

signals:
    void mouse_down_up();
    // A slot that uses the key up sets `*used_up`; the box reads it back
    // after the emit, so connect directly.
    void key_down(QKeyEvent* e, bool* used_up);

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    // The number a double-click selected, kept whole until the button is let go.
    void keep_number();
    int number_start_ = -1;
    int number_end_ = -1;
};

class TForm_Help : public QWidget {
    Q_OBJECT

public:
    // `ui` gives the screen and the decimal separator and shows the
    // not-found box; `grid` takes copies, and may be null (then nothing is
    // copied) and set later. `parent_font` gives the font the window takes
    // as its parent font (the main window's); empty: the application's.
    TForm_Help(Ui& ui, LayerGridTarget* grid, std::function<QFont()> parent_font = {},
               QWidget* parent = nullptr);
    ~TForm_Help() override;

    void set_layer_grid(LayerGridTarget* grid) { grid_ = grid; }

    // Shows catalogue A text `text_id` in window `mode` and brings the window
    // to the front. An id outside the catalogue shows an empty text; a mode
    // outside 0..3 is taken as the read-only materials view.
    void show_text(int mode, int text_id);
    void show_materials(int mode) { show_text(mode, MATERIALS_TEXT_ID); }
    // Reloads the current text and the button captions in the current language.
    void load_text();
    void layout_window();

    void eh_Form_Help_OnCreate();
    void eh_Form_Help_OnResize();
    void eh_Form_Help_OnClose();
    void eh_Form_Help_OnDestroy();
    void eh_button_copy_OnClick();
    void eh_button_find_OnClick();
    bool eh_txt_help_OnKeyDown(QKeyEvent* e);
    void eh_txt_help_OnMouseDownUp();
    void on_find();

    int mode() const { return mode_; }
    int current_text_id() const { return current_id_; }
    int font_size() const { return font_size_; }
    QRect help_geometry() const { return help_geometry_; }
    QRect reference_geometry() const { return reference_geometry_; }

protected:
    void resizeEvent(QResizeEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    bool event(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    QSize screen_size() const;
    QChar decimal_separator() const;
    QRect& geometry_of_mode() {
        return mode_ == HELP_MODE_TEXT ? help_geometry_ : reference_geometry_;
    }
    void apply_geometry(const QRect& g);
    QMargins frame() const;  // the frame round the window, once known
    // Applies the geometry again when the frame differs from the one it was
    // applied for; `now` false queues it (from a move or resize event).
    void check_frame(bool now);
    void remember_geometry();
    void place_buttons();
    void arrange_for_mode();

    Ui& ui_;
    LayerGridTarget* grid_;
    std::function<QFont()> parent_font_;
    FindDialog* find_dialog_ = nullptr;
    QFrame* Panel1 = nullptr;
    QPushButton* button_copy = nullptr;
    QPushButton* button_find = nullptr;
    QFrame* Panel2 = nullptr;
    HelpTextBox* txt_help = nullptr;

    std::uint8_t mode_ = HELP_MODE_TEXT;
    std::uint8_t current_id_ = 127;
    std::uint8_t previous_id_ = 127;
    int font_size_ = 9;
    QRect help_geometry_;
    QRect reference_geometry_;
    int last_screen_width_ = 0;

    // Button margins fixed by layout_window; the copy button keeps its
    // distance from the right edge, the find button from the left.
    int copy_right_margin_ = 0;
    int copy_width_ = 0;
    int find_left_ = 0;
    int find_width_ = 0;
    int button_top_ = 0;
    int button_height_ = 0;
    bool arranging_ = false;  // geometry set by the program, not by the user
    mutable QMargins known_frame_;
    QMargins frame_used_;  // the frame the geometry was last applied for
    bool frame_queued_ = false;
};
