#include "app/main/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

QRect FitIntoArea(const QRect& client, const QMargins& frame, const QRect& available) {
    if (available.isEmpty()) return client;
    const int fw = frame.left() + frame.right(), fh = frame.top() + frame.bottom();
    const int w = std::max(1, std::min(client.width(), available.width() - fw));
    const int h = std::max(1, std::min(client.height(), available.height() - fh));
    // The frame's top-left corner, kept inside: first against the right and bottom edges, then the
    // left and top ones win (the title bar matters most).
    int left = client.left() - frame.left(), top = client.top() - frame.top();
    left = std::max(available.left(), std::min(left, available.right() + 1 - (w + fw)));
    top = std::max(available.top(), std::min(top, available.bottom() + 1 - (h + fh)));
    return QRect(left + frame.left(), top + frame.top(), w, h);
}

QRect AvailableAreaAt(const QPoint& point) {
    if (QScreen* s = QGuiApplication::screenAt(point)) return s->availableGeometry();
    if (QScreen* s = QGuiApplication::primaryScreen()) return s->availableGeometry();
    return {};
}

QMargins WindowFrameMargins(const QWidget* window) {
    const QRect frame = window->frameGeometry(), client = window->geometry();
    if (window->isVisible() && frame != client)
        return QMargins(client.left() - frame.left(), client.top() - frame.top(),
                        frame.right() - client.right(), frame.bottom() - client.bottom());
    return QMargins(4, 30, 4, 4);
}

void KeepOnScreen(QWidget* window) {
    const QMargins frame = WindowFrameMargins(window);
    // Before the first show pos() is where the frame will go; the client follows inside it.
    const QRect client(window->pos() + QPoint(frame.left(), frame.top()), window->size());
    const QRect fitted = FitIntoArea(client, frame, AvailableAreaAt(client.center()));
    window->resize(fitted.size());
    window->move(fitted.topLeft() - QPoint(frame.left(), frame.top()));
}
