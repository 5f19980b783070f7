#include "app/dialogs/DesignerSupport.h"

#include "platform/ErrorGuard.h"
#include "platform/NumberText.h"

#include <QGuiApplication>
#include <QLayout>
#include <QLineEdit>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QWidget>

#include <algorithm>

namespace {

// The smallest view of the picture the window shrinks to on a very small screen.
constexpr int MinView = 64;
// A title bar and borders, for a window that the window manager has not framed yet.
const QSize AssumedFrame(16, 40);

} // namespace

QRect AvailableArea(const QWidget& window) {
    const QScreen* s = window.screen();
    if (!s) s = QGuiApplication::primaryScreen();
    return s ? s->availableGeometry() : QRect(0, 0, 1280, 1024);
}

QSize FrameMargins(const QWidget& window) {
    const QSize framed = window.frameGeometry().size() - window.geometry().size();
    return framed.width() > 0 || framed.height() > 0 ? framed.expandedTo(QSize(0, 0)) : AssumedFrame;
}

QPoint KeepInside(QPoint frameTopLeft, QSize frame, const QRect& available) {
    auto place = [](int at, int length, int first, int room) {
        // Past the far edge: back by the excess; then never before the near edge.
        at = std::min(at, first + room - length);
        return std::max(at, first);
    };
    return {place(frameTopLeft.x(), frame.width(), available.left(), available.width()),
            place(frameTopLeft.y(), frame.height(), available.top(), available.height())};
}

void FitWindowAroundPicture(QWidget& window, QScrollArea& scroller, QSize picture) {
    picture = picture.expandedTo(QSize(0, 0));
    const QRect available = AvailableArea(window);
    const QSize margins = FrameMargins(window);
    const QSize room = available.size() - margins; // the most the window's client area may take
    const int bar = scroller.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &scroller);
    const int edge = 2 * scroller.frameWidth();

    // The view starts as the whole picture and shrinks by what the window reaches past the room; a
    // scroll bar that appears takes room of its own, so a few passes settle it.
    auto apply = [&](QSize v) {
        QSize box = v + QSize(edge, edge);
        if (v.width() < picture.width()) box.rheight() += bar;
        if (v.height() < picture.height()) box.rwidth() += bar;
        scroller.setFixedSize(box);
        if (QLayout* l = window.layout()) l->activate();
    };
    QSize view = picture;
    for (int pass = 0; pass < 4; ++pass) {
        apply(view);
        const QSize over = window.sizeHint() - room;
        if (over.width() <= 0 && over.height() <= 0) break;
        const QSize smaller(
            std::max(std::min(MinView, picture.width()), view.width() - std::max(over.width(), 0)),
            std::max(std::min(MinView, picture.height()), view.height() - std::max(over.height(), 0)));
        if (smaller == view) break; // nothing left to give: the controls alone are too large
        view = smaller;
    }
    apply(view);
    window.resize(window.sizeHint().expandedTo(window.minimumSizeHint()));

    if (!window.isVisible()) return; // placed when it is shown
    const QPoint at = window.frameGeometry().topLeft();
    const QPoint inside = KeepInside(at, window.size() + margins, available);
    if (inside != at) window.move(inside);
}

bool CheckIntegerEdit(const QLineEdit& edit) {
    int value = 0;
    const QString text = edit.text();
    if (text.isEmpty() || TextToInt(text, value)) return true;
    Guarded([&] { StrToInt(text); }); // shows the conversion's own message
    return false;
}
