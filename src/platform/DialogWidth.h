#pragma once
// Keeps a dialog at least as wide as its title needs, so the window manager does not cut the title.

#include <QFont>
#include <QString>

class QWidget;

// The frame width a title needs: the text in the bold title font, the window icon and the title bar's
// buttons (minimise, maximise, close), with the frame's margins.
int TitleWidthNeeded(const QString& title, const QFont& font);

// Widens the widget (its minimum, and its maximum when that is smaller, as for a fixed-size dialog)
// to the width its title needs in the desktop's font, now and whenever the title changes, the window
// is shown or something makes it narrower again. Never narrows a window. Calling it again adds nothing.
void WidenToTitle(QWidget& widget);

// Applies WidenToTitle to every dialog of the application when it is first shown, also to the
// toolkit's own (input boxes, message boxes, colour and file dialogs). Needs a QApplication; calling
// it again adds nothing.
void WidenDialogsToTitles();
