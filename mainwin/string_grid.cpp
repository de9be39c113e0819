#include "mainwin/string_grid.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <algorithm>

#include "mainwin/controls.h"
#include "mainwin/text_1250.h"

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

StringGrid::StringGrid(QWidget* parent) : QTableWidget(parent) {
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
    connect(this, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (!syncing_) slot(item->column(), item->row() + 1) = item->text();
    });
}

QString StringGrid::cell(int col, int row) const {
    if (row < 0 || col < 0 || row >= int(store_.size()) || col >= int(store_[row].size()))
        return {};
    return store_[row][col];
}

QString& StringGrid::slot(int col, int row) {
    if (row >= int(store_.size())) store_.resize(row + 1);
    if (col >= int(store_[row].size())) store_[row].resize(col + 1);
    return store_[row][col];
}

void StringGrid::set_cell(int col, int row, const QString& text) {
    if (col < 0 || row < 0) return;
    slot(col, row) = text;
    sync_item(col, row);
}

void StringGrid::sync_item(int col, int row) {
    if (col >= cols_ || row >= rows_) return;
    const QString& text = slot(col, row);
    syncing_ = true;
    if (row == 0) {
        QTableWidgetItem* h = horizontalHeaderItem(col);
        if (!h) {
            h = new QTableWidgetItem;
            setHorizontalHeaderItem(col, h);
        }
        if (h->text() != text) h->setText(text);
    } else {
        QTableWidgetItem* it = item(row - 1, col);
        if (!it) {
            it = new QTableWidgetItem;
            setItem(row - 1, col, it);
        }
        const Qt::ItemFlags flags =
            is_fixed(col, row) ? Qt::ItemIsEnabled
                               : Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
        if (it->flags() != flags) it->setFlags(flags);
        if (it->text() != text) it->setText(text);
    }
    syncing_ = false;
}

void StringGrid::sync_all() {
    for (int r = 0; r < rows_; ++r)
        for (int c = 0; c < cols_; ++c) sync_item(c, r);
}

void StringGrid::set_col_count(int n) {
    n = std::max(0, n);
    if (n == cols_ && columnCount() == n) return;
    cols_ = n;
    setColumnCount(n);
    for (int c = 0; c < n; ++c) horizontalHeader()->resizeSection(c, col_width(c) + 1);
    sync_all();
    apply_current();
}

void StringGrid::set_row_count(int n) {
    n = std::max(1, n);
    if (n == rows_ && rowCount() == n - 1) return;
    rows_ = n;
    setRowCount(n - 1);
    sync_all();
    apply_current();
}

void StringGrid::set_fixed_cols(int n) {
    fixed_cols_ = std::max(0, n);
    sync_all();
}

int StringGrid::col_width(int col) const {
    return col >= 0 && col < int(widths_.size()) ? widths_[col] : 64;
}

void StringGrid::set_col_width(int col, int width) {
    if (col < 0) return;
    if (col >= int(widths_.size())) widths_.resize(col + 1, 64);
    widths_[col] = std::max(0, width);
    if (col < cols_) horizontalHeader()->resizeSection(col, widths_[col] + 1);
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

void StringGrid::set_current(int col, int row) {
    cur_col_ = col;
    cur_row_ = row;
    apply_current();
}

void StringGrid::apply_current() {
    if (cur_row_ < 1 || cur_row_ >= rows_ || cur_col_ < 0 || cur_col_ >= cols_) return;
    if (currentRow() != cur_row_ - 1 || currentColumn() != cur_col_)
        setCurrentCell(cur_row_ - 1, cur_col_);
    if (focus_within()) show_editor();
}

bool StringGrid::focus_within() const {
    QWidget* f = QApplication::focusWidget();
    return f && (f == this || isAncestorOf(f));
}

void StringGrid::set_editing(bool on) {
    editing_ = on;
    if (!on && editor_) {
        QLineEdit* e = editor_;
        commitData(e);
        closeEditor(e, QAbstractItemDelegate::NoHint);
    }
}

void StringGrid::set_always_show_editor(bool on) {
    always_show_editor_ = on;
    if (!on && editor_) {
        QLineEdit* e = editor_;
        commitData(e);
        closeEditor(e, QAbstractItemDelegate::NoHint);
    }
}

void StringGrid::show_editor() {
    if (!editing_ || !always_show_editor_) return;
    if (cur_row_ < 1 || cur_row_ >= rows_ || cur_col_ >= cols_ || is_fixed(cur_col_, cur_row_))
        return;
    if (editor_ && editor_col_ == cur_col_ && editor_row_ == cur_row_) {
        editor_->setFocus();
        return;
    }
    if (editor_) {
        QLineEdit* e = editor_;
        commitData(e);
        closeEditor(e, QAbstractItemDelegate::NoHint);
    }
    edit(model()->index(cur_row_ - 1, cur_col_));
}

void StringGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    if (editor == editor_) editor_ = nullptr;
    // Qt hands the focus back to the grid only when the window is active.
    // Behind a message box the closed editor would stay the window's focus
    // widget, and on its return the window would give the focus to the
    // first control of its tab chain.
    const bool window_focus = editor && window()->focusWidget() == editor && !editor->hasFocus();
    // Hints would move the current cell behind the selection event's back.
    QTableWidget::closeEditor(editor, QAbstractItemDelegate::NoHint);
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
    if (col < 0 || col >= cols_ || row < 1 || row >= rows_ || is_fixed(col, row)) return false;
    bool can_select = true;
    if (on_select_cell) on_select_cell(this, col, row, can_select);
    if (!can_select) return false;
    set_current(col, row);
    return true;
}

void StringGrid::next_tab_cell(bool back, int& col, int& row) const {
    col = cur_col_;
    row = cur_row_;
    if (back) {
        if (--col < fixed_cols_) {
            col = cols_ - 1;
            if (--row < 1) row = rows_ - 1;
        }
    } else {
        if (++col >= cols_) {
            col = fixed_cols_;
            if (++row >= rows_) row = 1;
        }
    }
}

int StringGrid::visible_rows() const {
    return std::max(1, viewport()->height() / (row_height_ + 1));
}

bool StringGrid::navigate(int key, Qt::KeyboardModifiers modifiers, QLineEdit* from_editor) {
    int col = cur_col_, row = cur_row_;
    switch (key) {
        case KEY_TAB:
            if (!tabs_) return false;
            next_tab_cell(modifiers & Qt::ShiftModifier, col, row);
            break;
        case Qt::Key_Backtab:
            if (!tabs_) return false;
            next_tab_cell(true, col, row);
            break;
        case Qt::Key_Up:
            row = std::max(1, row - 1);
            break;
        case Qt::Key_Down:
            row = std::min(rows_ - 1, row + 1);
            break;
        case Qt::Key_PageUp:
            row = std::max(1, row - visible_rows());
            break;
        case Qt::Key_PageDown:
            row = std::min(rows_ - 1, row + visible_rows());
            break;
        case Qt::Key_Left:
            if (from_editor &&
                (from_editor->cursorPosition() > 0 || from_editor->hasSelectedText()))
                return false;
            col = std::max(fixed_cols_, col - 1);
            break;
        case Qt::Key_Right:
            if (from_editor && (from_editor->cursorPosition() < from_editor->text().size() ||
                                from_editor->hasSelectedText()))
                return false;
            col = std::min(cols_ - 1, col + 1);
            break;
        case Qt::Key_Home:
            if (from_editor) return false;
            col = fixed_cols_;
            break;
        case Qt::Key_End:
            if (from_editor) return false;
            col = cols_ - 1;
            break;
        default:
            return false;
    }
    if (col != cur_col_ || row != cur_row_) select_cell(col, row);
    return true;
}

bool StringGrid::handle_key(QKeyEvent* e, QLineEdit* from_editor) {
    QPointer<QLineEdit> editor = from_editor;
    int key = key_code(e);
    if (on_key_down) {
        on_key_down(this, key, e->modifiers());
        if (key == 0) return true;
    }
    char16_t c = typed_char(e);
    if (c != 0 && on_key_press) {
        on_key_press(this, c);
        if (c == 0) return true;
    }
    if (from_editor && !editor) return true;  // the handler rebuilt the grid
    if (navigate(key, e->modifiers(), editor)) return true;
    // Enter and Escape leave the editor open on its cell.
    if (key == KEY_ENTER || key == KEY_ESCAPE) return true;
    if (!from_editor) {
        if (c != 0 && editing_) {
            show_editor();
            if (editor_) QCoreApplication::sendEvent(editor_, e);
        }
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
    if (on_mouse_down) on_mouse_down(this, e->button(), pos);
    e->accept();
}

// A second press of a double click is a press of its own.
void StringGrid::mouseDoubleClickEvent(QMouseEvent* e) { mousePressEvent(e); }
void StringGrid::mouseMoveEvent(QMouseEvent* e) { e->accept(); }
void StringGrid::mouseReleaseEvent(QMouseEvent* e) { e->accept(); }

void StringGrid::focusInEvent(QFocusEvent* e) {
    QTableWidget::focusInEvent(e);
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
        if (on_mouse_down) on_mouse_down(this, me->button(), pos);
        return true;
    }
    return QTableWidget::eventFilter(watched, e);
}
