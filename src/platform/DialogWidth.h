#pragma once
// Keeps a dialog at least as wide as its title needs, so the window manager does not cut the title.

#include <QFont>
#include <QString>

class QWidget;

// The frame width a title needs: the text in the bold title font, the window icon and the title bar's
// buttons (minimise, maximise, close), with the frame's margins.
int TitleWidthNeeded(const QString& title, const QFont& font);

// Widens the widget (its minimum, and its maximum when that is smaller, as for a fixed-size dialog)
// to the width its title needs, now and whenever the title changes or the window is shown again.
// Never narrows a window. Call once, at creation; calling again adds nothing.
void WidenToTitle(QWidget& widget);
