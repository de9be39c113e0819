// Mouse clicks on a text box's characters, delivered as the window system
// delivers them.
#pragma once

#include <QCoreApplication>
#include <QMouseEvent>
#include <QTextCursor>
#include <QTextEdit>

// The middle of character `pos` of the text box, scrolled into view.
inline QPoint char_center(QTextEdit* txt, int pos) {
    QTextCursor c(txt->document());
    c.setPosition(pos);
    txt->setTextCursor(c);
    txt->ensureCursorVisible();
    const QRect left = txt->cursorRect(c);
    c.setPosition(pos + 1);
    return QPoint((left.x() + txt->cursorRect(c).x()) / 2, left.center().y());
}

// A double-click by hand, as Qt delivers one: press, release, press,
// double-click, release; `jitter` moves the mouse a pixel before the last
// release, as a hand does.
inline void double_click(QTextEdit* txt, QPoint at, bool jitter = false) {
    QWidget* view = txt->viewport();
    auto send = [view](QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons held) {
        QMouseEvent e(type, p, view->mapToGlobal(p), button, held, Qt::NoModifier);
        QCoreApplication::sendEvent(view, &e);
    };
    send(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    send(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton);
    if (jitter) {
        at += QPoint(1, 0);
        send(QEvent::MouseMove, at, Qt::NoButton, Qt::LeftButton);
    }
    send(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
}
