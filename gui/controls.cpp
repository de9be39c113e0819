#include "gui/controls.h"

#include <QApplication>
#include <QButtonGroup>
#include <QKeyEvent>
#include <QPainter>
#include <QRadioButton>

int key_code(const QKeyEvent* e) {
    switch (e->key()) {
        case Qt::Key_Backspace:
            return KEY_BACKSPACE;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return KEY_TAB;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return KEY_ENTER;
        case Qt::Key_Escape:
            return KEY_ESCAPE;
        case Qt::Key_F1:
            return KEY_F1;
        default:
            return e->key();
    }
}

UndoChord undo_chord(int key, Qt::KeyboardModifiers modifiers) {
    const auto mods = modifiers & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier |
                                   Qt::MetaModifier);
    if (key == Qt::Key_Z && mods == Qt::ControlModifier) return UndoChord::undo;
    if (key == Qt::Key_Z && mods == (Qt::ControlModifier | Qt::ShiftModifier))
        return UndoChord::redo;
    if (key == Qt::Key_Y && mods == Qt::ControlModifier) return UndoChord::redo;
    return UndoChord::none;
}

char16_t typed_char(const QKeyEvent* e) {
    if (e->key() == Qt::Key_Backspace) return 8;
    const QString text = e->text();
    if (text.isEmpty()) return 0;
    const char16_t c = text[0].unicode();
    // Control chords (copy, paste, undo) are editing commands, not characters.
    if (c < 0x20 || c == 0x7f) return 0;
    // Ctrl with Alt is AltGr on some keyboards, which types letters.
    const auto mods = e->modifiers();
    if ((mods & Qt::MetaModifier) || ((mods & Qt::ControlModifier) && !(mods & Qt::AltModifier)))
        return 0;
    return c;
}

void KeyEdit::keyPressEvent(QKeyEvent* e) {
    int key = key_code(e);
    emit key_down(&key, e->modifiers());
    if (key == 0) return;
    const char16_t typed = typed_char(e);
    char16_t c = typed;
    if (c != 0) {
        emit key_press(&c);
        if (c == 0) return;
        // The handler put another character in place of the typed one.
        if (c != typed) {
            insert(QString(QChar(c)));
            return;
        }
    }
    QLineEdit::keyPressEvent(e);
}

void show_problem(QLineEdit& edit, const QString& reason) {
    QPalette palette = edit.palette();
    palette.setColor(QPalette::Base, reason.isEmpty()
                                         ? QApplication::palette(&edit).color(QPalette::Base)
                                         : PROBLEM_BACKGROUND);
    edit.setPalette(palette);
    edit.setToolTip(reason);
    edit.setAccessibleDescription(reason);
}

ActionWatcher::ActionWatcher(QObject* parent) : QObject(parent) { qApp->installEventFilter(this); }

bool ActionWatcher::eventFilter(QObject*, QEvent* e) {
    switch (e->type()) {
        case QEvent::KeyPress:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            // The OK of a box is part of the action that showed it. One press
            // reaches the window and then the widget, with one timestamp;
            // a synthesized key may carry none.
            if (e->spontaneous() && !QApplication::activeModalWidget()) {
                const quint64 t = static_cast<QInputEvent*>(e)->timestamp();
                if (t == 0 || t != last_timestamp_) emit action();
                last_timestamp_ = t;
            }
            break;
        case QEvent::Drop:  // a file dropped on a window may ask a question
            if (!QApplication::activeModalWidget()) emit action();
            break;
        default:
            break;
    }
    return false;
}

ExitWatcher::ExitWatcher(QWidget* target) : QObject(target), target_(target) {
    connect(qApp, &QApplication::focusChanged, this, &ExitWatcher::focus_changed);
}

void ExitWatcher::focus_changed(QWidget* old_widget, QWidget* now_widget) {
    if (!target_ || !old_widget || !now_widget) return;
    auto inside = [this](QWidget* w) { return w == target_ || target_->isAncestorOf(w); };
    if (!inside(old_widget) || inside(now_widget)) return;
    if (now_widget->window() != target_->window()) return;
    emit exited();
}

RadioGroup::RadioGroup(QWidget* parent) : QGroupBox(parent), group_(new QButtonGroup(this)) {
    for (int i = 0; i < 2; ++i) {
        items_[i] = new QRadioButton(this);
        group_->addButton(items_[i], i);
    }
    connect(group_, &QButtonGroup::idClicked, this, [this](int) { emit item_picked(); });
}

void RadioGroup::set_items(const QString& first, const QString& second) {
    items_[0]->setText(first);
    items_[1]->setText(second);
}

int RadioGroup::item_index() const { return group_->checkedId(); }

void RadioGroup::set_item_index(int index) {
    if (index >= 0 && index < 2) items_[index]->setChecked(true);
}

void RadioGroup::resizeEvent(QResizeEvent* e) {
    QGroupBox::resizeEvent(e);
    // The items share the height under the caption evenly.
    const int top = fontMetrics().height();
    const int each = std::max(1, (height() - top - 2) / 2);
    for (int i = 0; i < 2; ++i) items_[i]->setGeometry(6, top + i * each, width() - 8, each);
}

void RadioGroup::paintEvent(QPaintEvent*) {
    // The caption sits on the frame line, which leaves the items their room.
    QPainter p(this);
    const QFontMetrics fm = fontMetrics();
    const int y = fm.height() / 2;
    const QRect frame(0, y, width() - 2, height() - y - 2);
    p.setPen(palette().color(QPalette::Dark));
    p.drawRect(frame);
    p.setPen(palette().color(QPalette::Light));
    p.drawRect(frame.translated(1, 1));
    const QString caption = title();
    const QRect text(6, 0, fm.horizontalAdvance(caption) + 4, fm.height());
    p.fillRect(text, palette().color(QPalette::Window));
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(text, Qt::AlignCenter, caption);
}
