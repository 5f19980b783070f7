#pragma once
// Where a top-level window goes on the screen: a stored place from another screen layout is brought
// back into view, and the main window's first size shows the whole start image when the screen allows.

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <vector>

class QMainWindow;
class QWidget;

// The window's frame rectangle (client area plus the window manager's `frame`) moved, and shrunk
// where it is larger, so that it lies wholly inside `available`: the title bar is always reachable.
// Returns the client rectangle (without the frame).
QRect FitIntoArea(const QRect& client, const QMargins& frame, const QRect& available);

// The available area (without panels and docks) of the screen that shows `point`; the primary
// screen's when no screen does (a place stored on a screen that is gone).
QRect AvailableAreaAt(const QPoint& point);

// What the window manager adds around `window`'s client area: measured once the window was shown,
// else a typical title bar and border.
QMargins WindowFrameMargins(const QWidget* window);

// Moves and sizes `window` (its position is its frame's, its size the client's) into the available
// area of the screen its stored place falls on.
void KeepOnScreen(QWidget* window);

// The screen rectangles of `window`'s menu titles and tool bar buttons (visible ones only).
std::vector<QRect> BarItemRects(const QMainWindow& window);

// Where a window whose frame is `frame` goes so that it covers none of `keepClear`: where it is when it
// covers none; else the first of these places that lies wholly in `available` and covers none: at the
// right edge of `available` at the same height or just below one of them, just below all of them, left
// of them, above them; below them, kept on the screen, when none does. Returns the frame's new top-left
// corner.
QPoint PlaceClearOf(const QRect& frame, const std::vector<QRect>& keepClear, const QRect& available);
