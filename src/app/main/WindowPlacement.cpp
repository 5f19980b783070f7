#include "app/main/WindowPlacement.h"

#include <QGuiApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QScreen>
#include <QToolBar>
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

std::vector<QRect> BarItemRects(const QMainWindow& window) {
    std::vector<QRect> out;
    if (auto* bar = qobject_cast<QMenuBar*>(window.menuWidget()); bar && bar->isVisible())
        for (QAction* a : bar->actions()) {
            const QRect r = bar->actionGeometry(a);
            if (a->isVisible() && !r.isEmpty()) out.emplace_back(bar->mapToGlobal(r.topLeft()), r.size());
        }
    for (const QToolBar* tools : window.findChildren<QToolBar*>()) {
        if (!tools->isVisible()) continue;
        for (QAction* a : tools->actions()) {
            const QWidget* w = tools->widgetForAction(a);
            if (a->isSeparator() || !w || !w->isVisible()) continue;
            out.emplace_back(w->mapToGlobal(QPoint(0, 0)), w->size());
        }
    }
    return out;
}

QPoint PlaceClearOf(const QRect& frame, const std::vector<QRect>& keepClear, const QRect& available) {
    const auto coversAny = [&](const QRect& r) {
        return std::any_of(keepClear.begin(), keepClear.end(),
                           [&](const QRect& k) { return r.intersects(k); });
    };
    if (keepClear.empty() || !coversAny(frame)) return frame.topLeft();
    QRect all;
    for (const QRect& k : keepClear) all |= k;
    const int gap = 2;
    const auto clampX = [&](int x) {
        return std::max(available.left(), std::min(x, available.right() + 1 - frame.width()));
    };
    const auto clampY = [&](int y) {
        return std::max(available.top(), std::min(y, available.bottom() + 1 - frame.height()));
    };
    // In order of preference: the far right (over the empty ends of the bars and the right of the image
    // area, which a picture fills last), level with where it was or just below one of the rectangles
    // (a title bar); just below them all; left of them; above them.
    std::vector<QPoint> candidates{{available.right() + 1 - frame.width(), clampY(frame.top())}};
    std::vector<int> belowEach;
    for (const QRect& k : keepClear) belowEach.push_back(k.bottom() + 1 + gap);
    std::sort(belowEach.begin(), belowEach.end());
    for (int y : belowEach) candidates.emplace_back(available.right() + 1 - frame.width(), y);
    candidates.emplace_back(clampX(frame.left()), all.bottom() + 1 + gap);
    candidates.emplace_back(all.left() - gap - frame.width(), clampY(frame.top()));
    candidates.emplace_back(clampX(frame.left()), all.top() - gap - frame.height());
    for (const QPoint& c : candidates) {
        const QRect moved(c, frame.size());
        if (available.contains(moved) && !coversAny(moved)) return c;
    }
    return {clampX(frame.left()), clampY(all.bottom() + 1 + gap)};
}
