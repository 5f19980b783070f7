// The file dialogs open in the detail view, wide enough for their columns, within the screen.
#include "platform/FileDialogs.h"

#include "common/QtTestSupport.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileDialog>
#include <QHeaderView>
#include <QLocale>
#include <QScreen>
#include <QSplitter>
#include <QTreeView>

#include <gtest/gtest.h>

TEST(FileDialogSize, ColumnsShowTheirTextsWholeAndTheDialogFitsTheScreen) {
    EnsureQtApplication();
    QFileDialog dialog(nullptr, "Open", QDir::tempPath());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setViewMode(QFileDialog::List);
    SizeFileDialog(dialog);
    EXPECT_EQ(dialog.viewMode(), QFileDialog::Detail);

    const QFontMetrics fm = dialog.fontMetrics();
    const QString date =
        QLocale().toString(QDateTime(QDate(2026, 12, 31), QTime(23, 59, 59)), QLocale::ShortFormat);
    auto* view = dialog.findChild<QTreeView*>("treeView");
    ASSERT_NE(view, nullptr);
    const QHeaderView* header = view->header();
    EXPECT_GT(header->sectionSize(1), fm.horizontalAdvance("1,023.9 KiB"));
    EXPECT_GT(header->sectionSize(2), fm.horizontalAdvance("Windows BMP image"));
    EXPECT_GT(header->sectionSize(3), fm.horizontalAdvance(date));
    // The dialog holds every column beside the side bar, unless the screen is narrower.
    int columns = 0;
    for (int i = 0; i < 4; ++i) columns += header->sectionSize(i);
    EXPECT_GT(FileDialogWidth(dialog), columns);
    const QRect room = dialog.screen()->availableGeometry();
    EXPECT_GE(dialog.width(), std::min(FileDialogWidth(dialog), room.width()));
    EXPECT_LE(dialog.width(), room.width());
    EXPECT_LE(dialog.height(), room.height());
    // Shown: the side bar of places keeps room for its names.
    dialog.show();
    QCoreApplication::processEvents();
    auto* sideBar = dialog.findChild<QWidget*>("sidebar");
    ASSERT_NE(sideBar, nullptr);
    auto* splitter = dialog.findChild<QSplitter*>("splitter");
    ASSERT_NE(splitter, nullptr);
    EXPECT_GE(splitter->sizes().value(0), fm.horizontalAdvance("Documents folder"));
    EXPECT_GT(header->sectionSize(3), fm.horizontalAdvance(date));
    dialog.hide();
}
