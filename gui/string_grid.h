// A string grid: the view of a document grid's cells (GridCells), the one
// store of its texts, addressed (column, row) with row 0 and the first
// `fixed_cols` columns fixed.
//
// Row 0 is the horizontal header, so it stays in view while the rows scroll;
// grid row r is the table's row r - 1. Fixed cells cannot be edited and are
// drawn like the header. Moving the current cell goes through
// `selecting_cell`, whose slot may refuse it (the current cell then stays).
#pragma once

#include <QLineEdit>
#include <QPointer>
#include <QTableView>
#include <vector>

class GridCells;
class GridModel;

class StringGrid : public QTableView {
    Q_OBJECT
public:
    StringGrid(GridCells& cells, QWidget* parent = nullptr);

    QString cell(int col, int row) const;
    // Into the store; the view and an editor open on that cell follow.
    void set_cell(int col, int row, const QString& text);

    int col_count() const;
    int row_count() const;
    int fixed_cols() const;
    bool is_fixed(int col, int row) const;

    // The current cell. Setting it runs no selection event.
    int col() const;
    int row() const;
    void set_current(int col, int row);

    // Widths and the default row height exclude the 1-pixel grid line.
    int col_width(int col) const;
    void set_col_width(int col, int width);
    int default_row_height() const { return row_height_; }
    void set_default_row_height(int height);

    bool editing() const { return editing_; }
    void set_editing(bool on);
    bool always_show_editor() const { return always_show_editor_; }
    void set_always_show_editor(bool on);
    // At most this many characters in the column's cell editor (0: no limit).
    void set_col_max_length(int col, int n);

    // The cell under a point of this widget; false outside every cell.
    bool mouse_to_cell(QPoint pos, int& col, int& row) const;
    // Opens the cell editor on the current cell when editing is on.
    void show_editor();
    QLineEdit* editor() const { return editor_; }

    // Asks `selecting_cell`, then moves; true when the cell moved.
    bool select_cell(int col, int row);

    // Both return true when the event was used up.
    bool handle_key(QKeyEvent* e, QLineEdit* from_editor);
    void editor_created(QLineEdit* editor, int col, int row);

signals:
    // The slots fill in what they point to and the grid reads it back after
    // the emit, so connect them directly.
    // Before the current cell moves; a slot refuses by setting `*can_select`
    // to false.
    void selecting_cell(int col, int row, bool* can_select);
    // Key-down first (a slot sets `*key` to 0 to discard it), then key-press
    // for a typed character (likewise). Both see keys typed into the cell
    // editor too.
    void key_down(int* key, Qt::KeyboardModifiers modifiers);
    void key_press(char16_t* key);
    // A press on a cell or the header, at a point of this widget.
    void mouse_down(Qt::MouseButton button, QPoint pos);

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

protected slots:
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    void columns_changed();
    void apply_current();
    void show_problem_on_editor();
    // Commits the open editor's text and closes it.
    void close_editor();
    bool navigate(int key, Qt::KeyboardModifiers modifiers, QLineEdit* from_editor);
    // False when the move would wrap past the first or the last cell.
    bool next_tab_cell(bool back, int& col, int& row) const;
    // Tab from the last cell (Shift+Tab from the first) goes on to the
    // window's next control instead of wrapping inside the grid.
    bool tab(bool back);
    void leave_by_tab(bool back);
    int visible_rows() const;
    bool focus_within() const;

    GridCells& cells_;
    GridModel* model_;
    std::vector<int> widths_;
    std::vector<int> max_lengths_;
    int row_height_ = 18;
    bool editing_ = true;
    bool always_show_editor_ = true;
    QPointer<QLineEdit> editor_;
    int editor_col_ = -1;
    int editor_row_ = -1;
};
