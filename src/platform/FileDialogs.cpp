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

namespace {

// The tree view's frame and scroll bar, the splitter's handle and the dialog's margins.
constexpr int Chrome = 64;

bool columnShown(const QWidget& dialog, int column) {
    const auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    return !view || !view->header()->isSectionHidden(column);
}

// The size, type and date columns the dialog shows.
int otherColumns(const QWidget& dialog, const ColumnWidths& c) {
    return (columnShown(dialog, 1) ? c.size : 0) + (columnShown(dialog, 2) ? c.type : 0) +
           (columnShown(dialog, 3) ? c.date : 0);
}

} // namespace

int FileDialogWidth(const QWidget& dialog) {
    const ColumnWidths c = columnWidths(dialog);
    return c.name + otherColumns(dialog, c) + sideBarWidth(dialog) + Chrome;
}

void SizeFileDialog(QFileDialog& dialog) {
    dialog.setViewMode(QFileDialog::Detail);
    const ColumnWidths c = columnWidths(dialog);
    int width = std::max(FileDialogWidth(dialog), dialog.sizeHint().width());
    int height = std::max(dialog.sizeHint().height(), dialog.fontMetrics().height() * 26);
    const QScreen* screen = dialog.screen() ? dialog.screen() : QGuiApplication::primaryScreen();
    if (screen) {
        const QRect room = screen->availableGeometry();
        width = std::min(width, room.width());
        height = std::min(height, room.height());
    }
    // The widget-based dialog's list of files; a native dialog sizes itself. On a screen too narrow for
    // every column the name gives up room (down to a few letters), so the others stay whole in view.
    if (auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
        QHeaderView* header = view->header();
        header->setMinimumSectionSize(24);
        const int fewLetters = dialog.fontMetrics().horizontalAdvance(QLatin1Char('M')) * 8;
        const int left = width - sideBarWidth(dialog) - Chrome - otherColumns(dialog, c);
        header->resizeSection(0, std::max(fewLetters, std::min(left, c.name)));
        header->resizeSection(1, c.size);
        header->resizeSection(2, c.type);
        header->resizeSection(3, c.date);
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
