// A window's title as the window system shows it: Qt's unsaved mark "[*]"
// taken out, or put as "*" while the window is modified.
#pragma once

#include <QString>
#include <QWidget>
#include <QWindow>

inline QString shown_title(const QWidget& w) {
    if (const QWindow* window = w.windowHandle()) return window->title();
    QString title = w.windowTitle();
    return title.replace(QLatin1String("[*]"),
                         w.isWindowModified() ? QStringLiteral("*") : QString());
}

// The title's own text, without the unsaved mark.
inline QString title_text(const QWidget& w) {
    return QString(w.windowTitle()).remove(QLatin1String("[*]"));
}
