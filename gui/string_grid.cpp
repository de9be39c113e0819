#include "gui/string_grid.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <algorithm>

#include "document/grid_cells.h"
#include "gui/controls.h"
#include "gui/grid_model.h"
#include "qt/text_1250.h"

namespace {

// The grid has seen every key before its editor does: a key the editor has
// no use for (F1) must not go on to the grid as a second key press.
class CellEditor : public QLineEdit {
public:
    using QLineEdit::QLineEdit;

protected:
    void keyPressEvent(QKeyEvent* e) override {
        QLineEdit::keyPressEvent(e);
        e->accept();
    }
};

// Cell editors, the header look of fixed cells, and the editor's keys.
class GridDelegate : public QStyledItemDelegate {
public:
    explicit GridDelegate(StringGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex& index) const override {
        auto* editor = new CellEditor(parent);
        editor->setFrame(false);
        editor->setValidator(new Win1250Validator(editor));
        grid_->editor_created(editor, index.column(), index.row() + 1);
        return editor;
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        auto* line = static_cast<QLineEdit*>(editor);
        const QString text = grid_->cell(index.column(), index.row() + 1);
        // Same text: leave the cursor where the user has it.
        if (line->text() != text) line->setText(text);
    }

    void setModelData(QWidget* editor, QAbstractItemModel*,
                      const QModelIndex& index) const override {
        grid_->set_cell(index.column(), index.row() + 1, static_cast<QLineEdit*>(editor)->text());
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        if (!grid_->is_fixed(index.column(), index.row() + 1)) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        QStyleOptionHeader header;
        header.initFrom(grid_);
        header.rect = option.rect;
        header.state = QStyle::State_Enabled | QStyle::State_Raised;
        grid_->style()->drawControl(QStyle::CE_HeaderSection, &header, painter, grid_);
        painter->save();
        painter->setPen(grid_->palette().color(QPalette::ButtonText));
        painter->setFont(option.font);
        painter->drawText(option.rect.adjusted(2, 0, -1, 0), Qt::AlignLeft | Qt::AlignVCenter,
                          index.data().toString());
        painter->restore();
    }

protected:
    bool eventFilter(QObject* object, QEvent* e) override {
        auto* editor = qobject_cast<QLineEdit*>(object);
        if (editor && e->type() == QEvent::KeyPress) {
            if (grid_->handle_key(static_cast<QKeyEvent*>(e), editor)) return true;
            return false;  // the editor types it
        }
        // The editor stays open when the focus leaves, as both grids show
        // theirs at all times; moving the current cell closes it.
        if (editor && e->type() == QEvent::FocusOut) return false;
        return QStyledItemDelegate::eventFilter(object, e);
    }

private:
    StringGrid* grid_;
};

// Header sections with their text 2 pixels from the left edge, like the
// fixed cells, so that a heading uses its column's whole width.
class GridHeader : public QHeaderView {
public:
    using QHeaderView::QHeaderView;

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logical) const override {
        if (!rect.isValid()) return;
        QStyleOptionHeader header;
        initStyleOption(&header);
        header.rect = rect;
        header.state = QStyle::State_Enabled | QStyle::State_Raised;
        header.section = logical;
        style()->drawControl(QStyle::CE_HeaderSection, &header, painter, this);
        const QVariant text = model() ? model()->headerData(logical, orientation()) : QVariant();
        painter->save();
        painter->setPen(palette().color(QPalette::ButtonText));
        painter->drawText(rect.adjusted(2, 0, -1, 0), Qt::AlignLeft | Qt::AlignVCenter,
                          text.toString());
        painter->restore();
    }
};

}  // namespace

StringGrid::StringGrid(GridCells& cells, QWidget* parent)
    : QTableView(parent), cells_(cells), model_(new GridModel(cells, this)) {
    setModel(model_);
    setItemDelegate(new GridDelegate(this));
    setHorizontalHeader(new GridHeader(Qt::Horizontal, this));
    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(0);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    QHeaderView* header = horizontalHeader();
    header->setSectionsClickable(false);
    header->setHighlightSections(false);
    header->setMinimumSectionSize(0);
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setStretchLastSection(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setTextElideMode(Qt::ElideNone);
    header->viewport()->installEventFilter(this);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::NoEditTriggers);  // editors are opened by us
    setTabKeyNavigation(true);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    set_default_row_height(row_height_);
    // After the model's own slots, connected first.
    connect(&cells_, &GridCells::cols_changed, this, [this] { columns_changed(); });
    connect(&cells_, &GridCells::rows_changed, this, [this] { apply_current(); });
    connect(&cells_, &GridCells::current_changed, this, [this] { apply_current(); });
    connect(&cells_, &GridCells::problems_changed, this, [this] { show_problem_on_editor(); });
    columns_changed();
}

QString StringGrid::cell(int col, int row) const {
    return from_1250(cells_.text(col, row).c_str());
}

void StringGrid::set_cell(int col, int row, const QString& text) {
    cells_.set_text(col, row, to_1250(text));
}

int StringGrid::col_count() const { return cells_.col_count(); }
int StringGrid::row_count() const { return cells_.row_count(); }
int StringGrid::fixed_cols() const { return cells_.fixed_cols(); }
bool StringGrid::is_fixed(int col, int row) const { return cells_.is_fixed(col, row); }
int StringGrid::col() const { return cells_.col(); }
int StringGrid::row() const { return cells_.row(); }

void StringGrid::columns_changed() {
    for (int c = 0; c < cells_.col_count(); ++c)
        horizontalHeader()->resizeSection(c, col_width(c) + 1);
    apply_current();
}

int StringGrid::col_width(int col) const {
    return col >= 0 && col < int(widths_.size()) ? widths_[col] : 64;
}

void StringGrid::set_col_width(int col, int width) {
    if (col < 0) return;
    if (col >= int(widths_.size())) widths_.resize(col + 1, 64);
    widths_[col] = std::max(0, width);
    if (col < cells_.col_count()) horizontalHeader()->resizeSection(col, widths_[col] + 1);
}

void StringGrid::set_default_row_height(int height) {
    row_height_ = std::max(1, height);
    verticalHeader()->setDefaultSectionSize(row_height_ + 1);
    horizontalHeader()->setFixedHeight(row_height_ + 1);
}

void StringGrid::set_col_max_length(int col, int n) {
    if (col < 0) return;
    if (col >= int(max_lengths_.size())) max_lengths_.resize(col + 1, 0);
    max_lengths_[col] = n;
}

void StringGrid::set_current(int col, int row) { cells_.set_current(col, row); }

void StringGrid::apply_current() {
    const int col = cells_.col(), row = cells_.row();
    if (row < 1 || row >= cells_.row_count() || col < 0 || col >= cells_.col_count()) return;
    const QModelIndex current = currentIndex();
    if (current.row() != row - 1 || current.column() != col)
        selectionModel()->setCurrentIndex(model_->index(row - 1, col),
                                          QItemSelectionModel::ClearAndSelect);
    if (focus_within()) show_editor();
}

bool StringGrid::focus_within() const {
    QWidget* f = QApplication::focusWidget();
    return f && (f == this || isAncestorOf(f));
}

void StringGrid::close_editor() {
    if (!editor_) return;
    QLineEdit* e = editor_;
    commitData(e);
    closeEditor(e, QAbstractItemDelegate::NoHint);
}

void StringGrid::set_editing(bool on) {
    editing_ = on;
    if (!on) close_editor();
}

void StringGrid::set_always_show_editor(bool on) {
    always_show_editor_ = on;
    if (!on) close_editor();
}

void StringGrid::show_editor() {
    if (!editing_ || !always_show_editor_) return;
    const int col = cells_.col(), row = cells_.row();
    if (row < 1 || row >= cells_.row_count() || col >= cells_.col_count() || is_fixed(col, row))
        return;
    if (editor_ && editor_col_ == col && editor_row_ == row) {
        editor_->setFocus();
        return;
    }
    close_editor();
    edit(model_->index(row - 1, col));
}

void StringGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    if (editor == editor_) editor_ = nullptr;
    // Qt hands the focus back to the grid only when the window is active.
    // Behind a message box the closed editor would stay the window's focus
    // widget, and on its return the window would give the focus to the
    // first control of its tab chain.
    const bool window_focus = editor && window()->focusWidget() == editor && !editor->hasFocus();
    // Hints would move the current cell behind the selection event's back.
    QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
    (void)hint;
    if (window_focus) setFocus();
}

void StringGrid::editor_created(QLineEdit* editor, int col, int row) {
    editor_ = editor;
    editor_col_ = col;
    editor_row_ = row;
    const int n = col < int(max_lengths_.size()) ? max_lengths_[col] : 0;
    if (n > 0) editor->setMaxLength(n);
    connect(editor, &QLineEdit::textChanged, this, [this, col, row](const QString& text) {
        // The store follows every keystroke, as the handlers read it mid-edit.
        set_cell(col, row, text);
    });
    show_problem_on_editor();
}

void StringGrid::show_problem_on_editor() {
    if (!editor_) return;
    // The editor covers its cell, so it carries the cell's mark.
    const QModelIndex cell = model_->index(editor_row_ - 1, editor_col_);
    show_problem(*editor_, model_->data(cell, Qt::ToolTipRole).toString());
}

bool StringGrid::mouse_to_cell(QPoint pos, int& col, int& row) const {
    const QHeaderView* header = horizontalHeader();
    if (header->isVisible() && header->geometry().contains(pos)) {
        col = header->logicalIndexAt(pos.x() - header->x());
        row = 0;
        return col >= 0;
    }
    if (!viewport()->geometry().contains(pos)) return false;
    const QPoint v = pos - viewport()->geometry().topLeft();
    const int r = rowAt(v.y());
    col = columnAt(v.x());
    if (r < 0 || col < 0) return false;
    row = r + 1;
    return true;
}

bool StringGrid::select_cell(int col, int row) {
    if (col < 0 || col >= cells_.col_count() || row < 1 || row >= cells_.row_count() ||
        is_fixed(col, row))
        return false;
    bool can_select = true;
    emit selecting_cell(col, row, &can_select);
    if (!can_select) return false;
    set_current(col, row);
    return true;
}

bool StringGrid::next_tab_cell(bool back, int& col, int& row) const {
    const int cols = cells_.col_count(), rows = cells_.row_count();
    if (back) {
        if (--col < cells_.fixed_cols()) {
            col = cols - 1;
            if (--row < 1) return false;
        }
    } else {
        if (++col >= cols) {
            col = cells_.fixed_cols();
            if (++row >= rows) return false;
        }
    }
    return true;
}

bool StringGrid::tab(bool back) {
    int col = cells_.col(), row = cells_.row();
    // Cells the handler refuses (the layer grid's Add row) are passed over.
    for (int tries = cells_.col_count() * cells_.row_count(); tries > 0; --tries) {
        if (!next_tab_cell(back, col, row)) break;
        if (is_fixed(col, row)) continue;
        QPointer<StringGrid> self = this;
        if (select_cell(col, row)) return true;
        if (!self) return true;
    }
    leave_by_tab(back);
    return true;
}

void StringGrid::leave_by_tab(bool back) {
    QWidget* w = this;
    for (;;) {
        w = back ? w->previousInFocusChain() : w->nextInFocusChain();
        if (!w || w == this) return;
        if (isAncestorOf(w) || w->window() != window()) continue;
        // A grid takes the focus itself, not through its header or editor.
        for (QWidget* p = w->parentWidget(); p && p != window(); p = p->parentWidget())
            if (auto* g = qobject_cast<StringGrid*>(p)) w = g;
        if (w == this || isAncestorOf(w)) continue;
        if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(window()) && w->isEnabled()) {
            w->setFocus(back ? Qt::BacktabFocusReason : Qt::TabFocusReason);
            return;
        }
    }
}

int StringGrid::visible_rows() const {
    return std::max(1, viewport()->height() / (row_height_ + 1));
}

bool StringGrid::navigate(int key, Qt::KeyboardModifiers modifiers, QLineEdit* from_editor) {
    const int cols = cells_.col_count(), rows = cells_.row_count();
    const int fixed = cells_.fixed_cols();
    int col = cells_.col(), row = cells_.row();
    switch (key) {
        case KEY_TAB:
            return tab(modifiers & Qt::ShiftModifier);
        case Qt::Key_Backtab:
            return tab(true);
        case Qt::Key_Up:
            row = std::max(1, row - 1);
            break;
        case Qt::Key_Down:
            row = std::min(rows - 1, row + 1);
            break;
        case Qt::Key_PageUp:
            row = std::max(1, row - visible_rows());
            break;
        case Qt::Key_PageDown:
            row = std::min(rows - 1, row + visible_rows());
            break;
        case Qt::Key_Left:
            if (from_editor &&
                (from_editor->cursorPosition() > 0 || from_editor->hasSelectedText()))
                return false;
            col = std::max(fixed, col - 1);
            break;
        case Qt::Key_Right:
            if (from_editor && (from_editor->cursorPosition() < from_editor->text().size() ||
                                from_editor->hasSelectedText()))
                return false;
            col = std::min(cols - 1, col + 1);
            break;
        case Qt::Key_Home:
            if (from_editor) return false;
            col = fixed;
            break;
        case Qt::Key_End:
            if (from_editor) return false;
            col = cols - 1;
            break;
        default:
            return false;
    }
    if (col != cells_.col() || row != cells_.row()) select_cell(col, row);
    return true;
}

bool StringGrid::handle_key(QKeyEvent* e, QLineEdit* from_editor) {
    QPointer<QLineEdit> editor = from_editor;
    int key = key_code(e);
    emit key_down(&key, e->modifiers());
    if (key == 0) return true;
    const char16_t typed = typed_char(e);
    char16_t c = typed;
    if (c != 0) {
        emit key_press(&c);
        if (c == 0) return true;
    }
    if (from_editor && !editor) return true;  // the handler rebuilt the grid
    if (navigate(key, e->modifiers(), editor)) return true;
    // Enter and Escape leave the editor open on its cell.
    if (key == KEY_ENTER || key == KEY_ESCAPE) return true;
    if (!from_editor) {
        if (c != 0 && editing_) {
            show_editor();
            if (editor_ && c != typed)
                editor_->insert(QString(QChar(c)));
            else if (editor_)
                QCoreApplication::sendEvent(editor_, e);
        }
        return true;
    }
    // The handler put another character in place of the typed one.
    if (c != typed) {
        from_editor->insert(QString(QChar(c)));
        return true;
    }
    return false;
}

void StringGrid::keyPressEvent(QKeyEvent* e) {
    handle_key(e, nullptr);
    e->accept();
}

void StringGrid::mousePressEvent(QMouseEvent* e) {
    const QPoint pos = e->position().toPoint() + viewport()->geometry().topLeft();
    int col = 0, row = 0;
    if (mouse_to_cell(pos, col, row) && !is_fixed(col, row)) {
        select_cell(col, row);
    }
    emit mouse_down(e->button(), pos);
    e->accept();
}

// A second press of a double click is a press of its own.
void StringGrid::mouseDoubleClickEvent(QMouseEvent* e) { mousePressEvent(e); }
void StringGrid::mouseMoveEvent(QMouseEvent* e) { e->accept(); }
void StringGrid::mouseReleaseEvent(QMouseEvent* e) { e->accept(); }

void StringGrid::focusInEvent(QFocusEvent* e) {
    QTableView::focusInEvent(e);
    show_editor();
}

QModelIndex StringGrid::moveCursor(CursorAction, Qt::KeyboardModifiers) {
    // Every move is ours (navigate), so that each one can be refused.
    return currentIndex();
}

bool StringGrid::eventFilter(QObject* watched, QEvent* e) {
    if (watched == horizontalHeader()->viewport() &&
        (e->type() == QEvent::MouseButtonPress || e->type() == QEvent::MouseButtonDblClick)) {
        auto* me = static_cast<QMouseEvent*>(e);
        const QPoint pos = horizontalHeader()->viewport()->mapTo(this, me->position().toPoint());
        emit mouse_down(me->button(), pos);
        return true;
    }
    return QTableView::eventFilter(watched, e);
}
