// The file dialogs open in the detail view, wide enough for their columns, within the screen.
#include "platform/FileDialogs.h"

#include "common/QtTestSupport.h"

#include <QDateTime>
#include <QFileDialog>
#include <QHeaderView>
#include <QLocale>
#include <QScreen>
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
    EXPECT_GT(header->sectionSize(2), fm.horizontalAdvance("JPEG image File"));
    EXPECT_GT(header->sectionSize(3), fm.horizontalAdvance(date));
    // The dialog holds every column beside the side bar, unless the screen is narrower.
    int columns = 0;
    for (int i = 0; i < 4; ++i) columns += header->sectionSize(i);
    EXPECT_GT(FileDialogWidth(dialog), columns);
    const QRect room = dialog.screen()->availableGeometry();
    EXPECT_GE(dialog.width(), std::min(FileDialogWidth(dialog), room.width()));
    EXPECT_LE(dialog.width(), room.width());
    EXPECT_LE(dialog.height(), room.height());
}
