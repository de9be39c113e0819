#include "gui/key_passage.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

KeyPassage::KeyPassage(QWidget* window, std::function<QList<QKeySequence>()> keys)
    : QObject(window), window_(window), keys_(std::move(keys)) {
    qApp->installEventFilter(this);
}

bool KeyPassage::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::ShortcutOverride) return false;
    auto* edit = qobject_cast<QLineEdit*>(watched);
    if (edit == nullptr || !window_ || edit->window() != window_) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const QKeySequence pressed(key->keyCombination());
    for (const QKeySequence& k : keys_()) {
        if (k == pressed) {
            // Not the edit's: the window's shortcut takes it.
            event->ignore();
            return true;
        }
    }
    return false;
}
