// Dialogs are kept wide enough for their titles.

#include "platform/DialogWidth.h"

#include "common/QtTestSupport.h"

#include <QApplication>
#include <QDialog>
#include <QFontMetrics>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
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
    const int need = TitleWidthNeeded(dialog.windowTitle(), QApplication::font());
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
    const int need = TitleWidthNeeded(dialog.windowTitle(), QApplication::font());
    EXPECT_GE(dialog.width(), need);
    dialog.show();
    EXPECT_GE(dialog.width(), need);
    EXPECT_GE(dialog.minimumWidth(), need);
    int keepers = 0;
    for (QObject* child : dialog.children()) keepers += child->objectName() == "mozaroTitleWidthKeeper";
    EXPECT_EQ(keepers, 1);
    dialog.hide();
}

TEST(DialogWidthTest, EveryDialogShownIsWidenedAlsoTheToolkitsOwn) {
    EnsureQtApplication();
    WidenDialogsToTitles();
    WidenDialogsToTitles(); // once is enough
    const QString title = "Gradient Point Options and a few more words to make it long";
    const int need = TitleWidthNeeded(title, QApplication::font());

    // A message box sizes itself to its text while it is shown.
    QMessageBox box(QMessageBox::Information, title, "Hi.");
    box.show();
    EXPECT_GE(box.width(), need);
    box.hide();

    QInputDialog input;
    input.setWindowTitle(title);
    input.setLabelText("Value:");
    input.show();
    EXPECT_GE(input.width(), need);
    input.hide();

    // Not a dialog: left alone.
    QWidget plain;
    plain.setWindowTitle(title);
    plain.resize(50, 50);
    plain.show();
    EXPECT_EQ(plain.width(), 50);
    plain.hide();
}
