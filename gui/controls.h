// Small controls of the main window: an edit with key events that can be
// replaced, and the watcher that tells when the focus leaves a control for
// another control of the same window.
#pragma once

#include <QColor>
#include <QGroupBox>
#include <QLineEdit>
#include <QPointer>
#include <QWidget>

class QButtonGroup;
class QKeyEvent;
class QRadioButton;

// Key codes of the key-down events: the virtual-key numbers the handlers
// compare with; keys without one keep Qt's code (which never collides).
constexpr int KEY_BACKSPACE = 8;
constexpr int KEY_TAB = 9;
constexpr int KEY_ENTER = 13;
constexpr int KEY_ESCAPE = 27;
constexpr int KEY_F1 = 112;
int key_code(const QKeyEvent* e);

// Ctrl+Z undoes; Ctrl+Shift+Z and Ctrl+Y redo.
enum class UndoChord { none, undo, redo };
UndoChord undo_chord(int key, Qt::KeyboardModifiers modifiers);

// The character a key press types, or 0 when it types none (cursor and
// function keys, control chords). Backspace types 8.
char16_t typed_char(const QKeyEvent* e);

// One-line edit whose key-down and key-press signals reach their slots
// before the edit sees the key. A slot may change `*key`; 0 discards it.
// Connect directly: the edit reads the key back after the emit.
class KeyEdit : public QLineEdit {
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;

signals:
    void key_down(int* key, Qt::KeyboardModifiers modifiers);
    void key_press(char16_t* key);  // a typed character only

protected:
    void keyPressEvent(QKeyEvent* e) override;
};

// Emits `exited` when the focus moves from `target` (or a child of it, such
// as a grid's cell editor) to another control of the same window. Focus going
// to another window (a message box) or to no window is not an exit.
class ExitWatcher : public QObject {
    Q_OBJECT
public:
    explicit ExitWatcher(QWidget* target);

signals:
    void exited();

private:
    void focus_changed(QWidget* old_widget, QWidget* now_widget);
    QPointer<QWidget> target_;
};

// The background of a cell or edit whose value the checks refuse; its tooltip
// says why.
inline const QColor PROBLEM_BACKGROUND(255, 200, 200);

// Marks an edit with the reason its value is refused (background, tooltip,
// accessible description), or takes the mark off for an empty reason.
void show_problem(QLineEdit& edit, const QString& reason);

// Emits `action` for every key press and mouse press that comes from the
// user (a spontaneous event), and every drop, while no modal box is up, in
// any window.
class ActionWatcher : public QObject {
    Q_OBJECT
public:
    explicit ActionWatcher(QObject* parent);

signals:
    void action();

protected:
    bool eventFilter(QObject* object, QEvent* e) override;

private:
    quint64 last_timestamp_ = 0;
};

// A radio group of two items in one column under its caption. `item_picked`
// tells when the user picks an item, not when the program sets one.
class RadioGroup : public QGroupBox {
    Q_OBJECT
public:
    explicit RadioGroup(QWidget* parent = nullptr);
    void set_items(const QString& first, const QString& second);
    int item_index() const;  // -1 when none is selected
    void set_item_index(int index);
    QRadioButton* item(int index) const { return items_[index]; }

signals:
    void item_picked();

protected:
    void resizeEvent(QResizeEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    QRadioButton* items_[2];
    QButtonGroup* group_;
};
