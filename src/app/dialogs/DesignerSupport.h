#pragma once
// What the two gradient designers share: they stay on the screen (the picture scrolls inside a box that
// is as large as the picture when the whole window, frame included, then fits the screen's available
// area, and smaller otherwise; a window grown past an edge of the screen moves back onto it), and their
// size edits are checked when their value is used, not while it is typed.

#include <QPoint>
#include <QRect>
#include <QSize>

class QLineEdit;
class QScrollArea;
class QWidget;

// Sizes `scroller` (which shows a picture of size `picture`) and the window around it, then keeps the
// window inside the available area of its screen.
void FitWindowAroundPicture(QWidget& window, QScrollArea& scroller, QSize picture);

// Where a window whose frame is `frame` large goes so that it lies inside `available`, moving it as
// little as possible; when it is larger than the area its top-left corner stays on the screen.
QPoint KeepInside(QPoint frameTopLeft, QSize frame, const QRect& available);

// The room a window has: the available area of its screen (of the first screen while it has none).
QRect AvailableArea(const QWidget& window);

// What the window manager adds around the window's client area; before the window is framed, a
// generous estimate of a title bar and borders, so that a window sized before it is shown still fits.
QSize FrameMargins(const QWidget& window);

// True when the edit holds a whole number or nothing. Otherwise the conversion's message ("'-' is not a
// valid integer value") is shown and false comes back: a text on its way to a number ("-" before
// "-30") is left alone while it is typed and refused only where the value is used.
bool CheckIntegerEdit(const QLineEdit& edit);
