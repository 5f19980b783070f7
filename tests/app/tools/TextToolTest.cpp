// The text dialog's controls and their round trip to the sample, and the text tool: the floating text,
// its placing by the next press, its log line, and the ways it ends without drawing.
#include "DrawingTestSupport.h"

#include "app/dialogs/TextDialog.h"
#include "app/dialogs/ToolBox.h"
#include "controls/ColourButton.h"
#include "controls/TextPanel.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

namespace {

class TextTool : public DrawingTest {
protected:
    void SetUp() override {
        DrawingTest::SetUp();
        Paint(300, 200, Grey(0));
        Tool(TDrawTool::dtText);
        fText->Memo1->setPlainText("Hi");
        fText->eSize->setText("20");
        fText->lbStyle->setCurrentRow(0);
        fText->ColrBtn1->SetColor(RGBColor(255, 255, 255));
        TfText::SetExecuteHook([this](TfText&) {
            ++Shown;
            return Answer;
        });
    }
    void TearDown() override {
        TfText::SetExecuteHook({});
        DrawingTest::TearDown();
    }
    QLabel* Floating() const { return W->findChild<QLabel*>("imText"); }
    // A move or press as the window system sends it to whatever widget is under the pointer.
    void SendTo(QWidget* w, QEvent::Type t, QPoint local, Qt::MouseButton b = Qt::NoButton) {
        QMouseEvent e(t, QPointF(local), QPointF(w->mapToGlobal(local)), b, b, Qt::NoModifier);
        QApplication::sendEvent(w, &e);
    }
    int CountNotBlack(const QRect& r) const {
        int n = 0;
        for (int y = std::max(r.top(), 0); y <= std::min(r.bottom(), W->z.Height - 1); ++y)
            for (int x = std::max(r.left(), 0); x <= std::min(r.right(), W->z.Width - 1); ++x)
                n += At(x, y) == Grey(0) ? 0 : 1;
        return n;
    }
    int Answer = mrOk;
    int Shown = 0;
};

} // namespace

TEST_F(TextTool, FloatsUnderThePointerAndTheNextPressPlacesIt) {
    StartLog();
    Press(50, 40);
    Release(50, 40);
    ASSERT_TRUE(W->TextNow);
    EXPECT_TRUE(Floating()->isVisible());
    EXPECT_EQ(Floating()->pos(), W->imSine->pos() + QPoint(50, 40));
    EXPECT_EQ(W->z.Pixels24[45][55], Grey(0)) << "nothing drawn yet";
    // Moves anywhere in the program move it, centred under the pointer, and draw nothing.
    SendTo(W->stBar, QEvent::MouseMove, W->stBar->mapFromGlobal(W->imSine->mapToGlobal(QPoint(120, 90))));
    const QSize size = Floating()->size();
    const QPoint topLeft = QPoint(120, 90) - QPoint(size.width() / 2, size.height() / 2);
    EXPECT_EQ(Floating()->pos() - W->imSine->pos(), topLeft);
    EXPECT_EQ(W->stBar->PanelText(2), "X: " + QString::number(topLeft.x()));
    EXPECT_FALSE(W->Drawing);
    // Any button places it.
    SendTo(W->imSine, QEvent::MouseButtonPress, QPoint(120, 90), Qt::RightButton);
    EXPECT_FALSE(W->TextNow);
    // The pop-up menu of that right press is held back; then the capture ends.
    QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(120, 90),
                           W->imSine->mapToGlobal(QPoint(120, 90)));
    QApplication::sendEvent(W->imSine, &menu);
    EXPECT_FALSE(W->findChild<QMenu*>("PopupMenu1")->isVisible());
    Pump();
    Move(7, 9, Qt::NoButton);
    EXPECT_EQ(W->stBar->PanelText(2), "X: 7");
    EXPECT_FALSE(Floating()->isVisible());
    const QRect placed(topLeft, size);
    EXPECT_GT(CountNotBlack(placed), 20);
    EXPECT_EQ(CountNotBlack(QRect(0, 0, 300, 200)), CountNotBlack(placed)) << "only the text is drawn";
    EXPECT_EQ(W->Ring.StackSize, 1);
    EXPECT_EQ(LogLines(),
              QStringList({QString("Text Tool, Font %1, Size 20, Color R: 255 G: 255 B: 255, Style "
                                   "Normal \"Hi\" , Location X %2 Y %3")
                               .arg(fText->tPnl1->font().family())
                               .arg(topLeft.x())
                               .arg(topLeft.y())}));
    // The whole text is one undo step.
    W->bUndoClick();
    EXPECT_EQ(CountNotBlack(QRect(0, 0, 300, 200)), 0);
}

TEST_F(TextTool, CancelEmptyTextEscapeAndToolChangeDrawNothing) {
    StartLog();
    Answer = mrCancel;
    Press(10, 10);
    EXPECT_FALSE(W->TextNow);
    Answer = mrOk;
    fText->Memo1->clear();
    Press(10, 10);
    EXPECT_FALSE(W->TextNow);
    EXPECT_FALSE(Floating()->isVisible());
    fText->Memo1->setPlainText("Hi");
    Press(10, 10);
    ASSERT_TRUE(W->TextNow);
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(W, &esc);
    EXPECT_FALSE(W->TextNow);
    EXPECT_FALSE(Floating()->isVisible());
    Press(10, 10);
    ASSERT_TRUE(W->TextNow);
    Tool(TDrawTool::dtFreeHand);
    EXPECT_FALSE(W->TextNow);
    // With the new tool, moves over the view draw nothing without a press.
    Move(20, 20, Qt::NoButton);
    Move(80, 80, Qt::NoButton);
    EXPECT_EQ(Shown, 4);
    EXPECT_EQ(W->Ring.StackSize, 4);
    EXPECT_EQ(CountNotBlack(QRect(0, 0, 300, 200)), 0);
    EXPECT_TRUE(LogLines().isEmpty());
}

TEST_F(TextTool, StyleWordsAndTextsKeptAsTyped) {
    StartLog();
    const char* const words[] = {"Normal", "Bold", "Italic", "Bold Italic"};
    for (int row = 0; row < 4; ++row) {
        fText->lbStyle->setCurrentRow(row);
        fText->Memo1->setPlainText("100%1 & more");
        Press(0, 0);
        Release(0, 0);
        SendTo(W->imSine, QEvent::MouseButtonPress, QPoint(60, 60), Qt::LeftButton);
        ASSERT_FALSE(W->TextNow);
        const QString line = LogLines().last();
        EXPECT_TRUE(line.contains(QString(", Style ") + words[row] + " \"100%1 & more\" , Location"))
            << line.toStdString();
    }
    // Underline is not named.
    fText->lbStyle->setCurrentRow(0);
    QFont f = fText->tPnl1->font();
    f.setUnderline(true);
    fText->tPnl1->setFont(f);
    Press(0, 0);
    SendTo(W->imSine, QEvent::MouseButtonPress, QPoint(60, 60), Qt::LeftButton);
    EXPECT_TRUE(LogLines().last().contains(", Style Normal \"")) << LogLines().last().toStdString();
}

TEST_F(TextTool, HugeTextsAreCapped) {
    fText->eSize->setText("1000");
    fText->Memo1->setPlainText(QString(300, 'W') + "\n" + QString(300, 'W'));
    Press(5, 5);
    ASSERT_TRUE(W->TextNow);
    const QSize s = Floating()->size();
    EXPECT_LE(s.width(), 16384);
    EXPECT_LE(static_cast<qint64>(s.width()) * s.height(), 16LL * 1024 * 1024);
    W->CancelFloatingText();
}

TEST_F(TextTool, DialogSettingsReachTheSample) {
    TfText& d = *fText;
    ASSERT_EQ(d.lbSize->count(), 54);
    EXPECT_EQ(d.lbSize->item(0)->text(), "2");
    EXPECT_EQ(d.lbSize->item(53)->text(), "220");
    EXPECT_TRUE(d.lbSize->findItems("66", Qt::MatchExactly).isEmpty());
    EXPECT_TRUE(d.lbSize->findItems("84", Qt::MatchExactly).isEmpty());

    const struct {
        const char* Typed;
        int Row;    // selected size row afterwards
        int Sample; // the sample's point size afterwards
    } sizes[] = {{"12", 7, 12}, {"66", 0, 66}, {"abc", 0, 66}, {"", 0, 66}, {"5000", 0, 1000}, {"-4", 0, 1}};
    for (const auto& s : sizes) {
        d.eSize->setText(s.Typed);
        EXPECT_EQ(d.lbSize->currentRow(), s.Row) << s.Typed;
        EXPECT_EQ(d.tPnl1->font().pointSize(), s.Sample) << s.Typed;
    }
    // A bad size when a style is chosen: the style applies, the size stays.
    d.eSize->setText("x");
    d.lbStyle->setCurrentRow(3);
    EXPECT_EQ(d.StyleFlag, 3);
    EXPECT_EQ(d.eStyle->text(), "Bold Italic");
    EXPECT_TRUE(d.tPnl1->font().bold());
    EXPECT_TRUE(d.tPnl1->font().italic());
    EXPECT_EQ(d.tPnl1->font().pointSize(), 1);
    d.lbSize->setCurrentRow(8);
    EXPECT_EQ(d.eSize->text(), "14");
    EXPECT_EQ(d.tPnl1->font().pointSize(), 14);

    // The name edit searches the list without case; it does not change the sample.
    ASSERT_GT(d.lbFonts->count(), 0);
    const QString family = d.lbFonts->item(d.lbFonts->count() - 1)->text();
    const QString sampleFamily = d.tPnl1->font().family();
    d.eFontName->setText(family.left(family.size()).toLower());
    EXPECT_EQ(d.lbFonts->currentItem()->text().toUpper(), family.toUpper().left(family.size()));
    EXPECT_EQ(d.tPnl1->font().family(), sampleFamily);
    d.eFontName->clear();
    EXPECT_EQ(d.lbFonts->currentRow(), 0);
    // Clicking a family takes it into the edit and the sample.
    d.lbFonts->setCurrentRow(d.lbFonts->count() - 1);
    EXPECT_EQ(d.eFontName->text(), family);
    EXPECT_EQ(d.tPnl1->font().family(), family);

    d.Memo1->setPlainText("Sample\ttext");
    EXPECT_EQ(d.tPnl1->Text(), "Sample\ttext");
    d.ColrBtn1->SetColor(RGBColor(10, 20, 30));
    EXPECT_EQ(d.tPnl1->FontColor(), RGBColor(10, 20, 30));
    d.SetItemIndex(2);
    EXPECT_EQ(d.Memo1->document()->defaultTextOption().alignment(), Qt::AlignRight);

    // Cancel keeps every choice for the next use.
    TfText::SetExecuteHook([](TfText&) { return mrCancel; });
    EXPECT_EQ(d.Execute(), mrCancel);
    EXPECT_EQ(d.ItemIndex(), 2);
    EXPECT_EQ(d.StyleFlag, 3);
    EXPECT_EQ(d.tPnl1->font().family(), family);
}

// The real dialog, shown modally from the press.
TEST_F(TextTool, RealDialogFromThePress) {
    TfText::SetExecuteHook({});
    fToolBox->bText->click();
    QTimer::singleShot(0, [] {
        fText->Memo1->setPlainText("Real");
        fText->BitBtn1->click();
    });
    Press(30, 30);
    EXPECT_TRUE(W->TextNow);
    EXPECT_EQ(Floating()->pos(), W->imSine->pos() + QPoint(30, 30));
    SendTo(W->imSine, QEvent::MouseButtonPress, QPoint(30, 30), Qt::LeftButton);
    EXPECT_GT(CountNotBlack(QRect(0, 0, 300, 200)), 10);
}
