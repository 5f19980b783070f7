// Dialogs are kept wide enough for their titles.

#include "platform/DialogWidth.h"

#include "common/QtTestSupport.h"

#include <QDialog>
#include <QFontMetrics>
#include <QLabel>
#include <QVBoxLayout>

#include <gtest/gtest.h>

TEST(DialogWidthTest, NeededWidthHoldsTheBoldTextAndTheTitleBarButtons) {
    EnsureQtApplication();
    QFont font;
    QFont bold(font);
    bold.setBold(true);
    const QString title = "Set JPG Compression Quality";
    const int text = QFontMetrics(bold).horizontalAdvance(title);
    const int need = TitleWidthNeeded(title, font);
    // Room for the text, plus at least the three buttons and the icon at 16 pixels each.
    EXPECT_GE(need, text + 4 * 16);
    EXPECT_GT(TitleWidthNeeded(title + " and more words", font), need);
    EXPECT_EQ(TitleWidthNeeded("", font), 0);
}

TEST(DialogWidthTest, FixedSizeDialogIsWidenedAndKeepsItsHeight) {
    EnsureQtApplication();
    QDialog dialog;
    dialog.setWindowTitle("A title much longer than the little dialog under it");
    dialog.setFixedSize(120, 80);
    WidenToTitle(dialog);
    const int need = TitleWidthNeeded(dialog.windowTitle(), dialog.font());
    ASSERT_GT(need, 120);
    EXPECT_EQ(dialog.width(), need);
    EXPECT_EQ(dialog.minimumWidth(), need);
    EXPECT_EQ(dialog.maximumWidth(), need);
    EXPECT_EQ(dialog.height(), 80);
    EXPECT_EQ(dialog.minimumHeight(), 80);
    EXPECT_EQ(dialog.maximumHeight(), 80);
}

TEST(DialogWidthTest, WideDialogIsLeftAsItIs) {
    EnsureQtApplication();
    QDialog dialog;
    dialog.setWindowTitle("Short");
    dialog.resize(900, 300);
    WidenToTitle(dialog);
    EXPECT_EQ(dialog.size(), QSize(900, 300));
    EXPECT_LE(dialog.minimumWidth(), 900);
}

TEST(DialogWidthTest, LaterTitleAndShowWidenAgain) {
    EnsureQtApplication();
    QDialog dialog;
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel("x"));
    layout->setSizeConstraint(QLayout::SetFixedSize); // the layout fixes the size when it is shown
    dialog.setWindowTitle("Ok");
    WidenToTitle(dialog);
    WidenToTitle(dialog); // a second call adds no second keeper
    dialog.setWindowTitle("A title that comes only after the dialog was made, as an input box does");
    const int need = TitleWidthNeeded(dialog.windowTitle(), dialog.font());
    EXPECT_GE(dialog.width(), need);
    dialog.show();
    EXPECT_GE(dialog.width(), need);
    EXPECT_GE(dialog.minimumWidth(), need);
    int keepers = 0;
    for (QObject* child : dialog.children()) keepers += child->objectName() == "mozaroTitleWidthKeeper";
    EXPECT_EQ(keepers, 1);
    dialog.hide();
}
