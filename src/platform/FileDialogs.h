#pragma once
// The program's file dialogs open wide enough for their columns: the detail view's size, type and
// date show whole, and the name column has room for a long file name where the screen allows.

#include <QString>
#include <QStringList>

class QFileDialog;
class QWidget;

// Shows `dialog` in the detail view and sizes it (and its shown columns) for the running font, within
// the screen's available area; on a narrow screen the name column is narrowed first.
void SizeFileDialog(QFileDialog& dialog);
// The width SizeFileDialog gives a dialog in `parent`'s font (before the screen bounds it).
int FileDialogWidth(const QWidget& dialog);

// A sized open dialog for one existing file; "" when cancelled. `nameFilters` as QFileDialog takes them.
QString ExecOpenFileDialog(QWidget* parent, const QString& caption, const QString& folder,
                           const QStringList& nameFilters);
