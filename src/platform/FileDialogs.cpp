#include "platform/FileDialogs.h"

#include <QDateTime>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLocale>
#include <QScreen>
#include <QSplitter>
#include <QTreeView>

#include <algorithm>

namespace {

// The widest texts of the detail columns in `dialog`'s font: name, size, type, date.
struct ColumnWidths {
    int name, size, type, date;
};

ColumnWidths columnWidths(const QWidget& dialog) {
    const QFontMetrics fm = dialog.fontMetrics();
    const int pad = fm.horizontalAdvance(QLatin1Char('M')) * 2; // the header's sort arrow and margins
    const QString date =
        QLocale().toString(QDateTime(QDate(2026, 12, 31), QTime(23, 59, 59)), QLocale::ShortFormat);
    return {fm.horizontalAdvance(QStringLiteral("A picture with a long name of its own.jpeg")) + pad,
            fm.horizontalAdvance(QStringLiteral("1,023.9 KiB")) + pad,
            fm.horizontalAdvance(QStringLiteral("Windows BMP image")) + pad,
            fm.horizontalAdvance(date + QStringLiteral("  ")) + pad};
}

} // namespace

// The side bar of places: its longest usual name and its icon.
int sideBarWidth(const QWidget& dialog) {
    return dialog.fontMetrics().horizontalAdvance(QStringLiteral("Documents folder")) + 48;
}

int FileDialogWidth(const QWidget& dialog) {
    const ColumnWidths c = columnWidths(dialog);
    // The columns, the side bar, the tree view's frame and scroll bar, and the dialog's margins.
    return c.name + c.size + c.type + c.date + sideBarWidth(dialog) + 64;
}

void SizeFileDialog(QFileDialog& dialog) {
    dialog.setViewMode(QFileDialog::Detail);
    const ColumnWidths c = columnWidths(dialog);
    // The widget-based dialog's list of files; a native dialog sizes itself.
    if (auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
        QHeaderView* header = view->header();
        header->setMinimumSectionSize(24);
        header->resizeSection(0, c.name);
        header->resizeSection(1, c.size);
        header->resizeSection(2, c.type);
        header->resizeSection(3, c.date);
    }
    int width = std::max(FileDialogWidth(dialog), dialog.sizeHint().width());
    int height = std::max(dialog.sizeHint().height(), dialog.fontMetrics().height() * 26);
    const QScreen* screen = dialog.screen() ? dialog.screen() : QGuiApplication::primaryScreen();
    if (screen) {
        const QRect room = screen->availableGeometry();
        width = std::min(width, room.width());
        height = std::min(height, room.height());
    }
    dialog.resize(width, height);
    // The side bar keeps room for its names; the list takes the rest.
    if (auto* splitter = dialog.findChild<QSplitter*>(QStringLiteral("splitter")))
        splitter->setSizes({sideBarWidth(dialog), std::max(width - sideBarWidth(dialog), 1)});
}

QString ExecOpenFileDialog(QWidget* parent, const QString& caption, const QString& folder,
                           const QStringList& nameFilters) {
    QFileDialog dialog(parent, caption, folder);
    dialog.setNameFilters(nameFilters);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    SizeFileDialog(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}
