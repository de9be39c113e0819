// A line edit takes Ctrl+E, Ctrl+P and the like as its own editing keys on
// X11 (end of line, and so on), so a window's command key pressed in a cell
// editor or the title would do nothing. This lets a window's command keys
// pass every line edit of that window; the editing keys the edit needs
// (undo, copy, paste...) are no command keys of ours and stay its own.
#pragma once

#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>

class KeyPassage : public QObject {
public:
    // `keys` gives the window's command keys that pass, asked at each key.
    KeyPassage(QWidget* window, std::function<QList<QKeySequence>()> keys);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> window_;
    std::function<QList<QKeySequence>()> keys_;
};
