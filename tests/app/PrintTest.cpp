// Printing: the target rectangle for each size option, the print options dialog, and whole print jobs
// into PDF files.
#include "AppTestSupport.h"
#include "app/dialogs/PrintOptions.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPageLayout>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QToolButton>

#include <functional>
#include <stdexcept>

TEST(PrintTargetRect, HandWorkedRectangles) {
    // Base: a 300 ppi printer, a page of 2400 x 3150 pixels (8 x 10.5 inches), a 512 x 512 image, a
    // 96 ppi screen, scale 1.375, 3.5 x 3.5 inches; margins 300 * 0.25 = 75.
    struct Case {
        const char* why;
        int size, align;
        std::function<void(PrintLayout&)> change;
        QRect want; // null: nothing can print
    };
    const auto same = [](PrintLayout&) {};
    const auto cdFront = [](PrintLayout& L) { // landscape page, 9.5 x 4.75 inches
        L.pageWidth = 3150, L.pageHeight = 2400, L.wideInches = 9.5, L.highInches = 4.75;
    };
    const Case cases[] = {
        // 300 * 512 / 96 * 1.375 = 1600 * 1.375 = 2200.
        {"match screen", 0, 0, same, QRect(75, 75, 2200, 2200)},
        {"specify: 3.5 * 300 = 1050", 1, 0, same, QRect(75, 75, 1050, 1050)},
        {"stretch: page less margins, 2400 - 150 by 3150 - 150", 2, 0, same, QRect(75, 75, 2250, 3000)},
        {"other choice: one pixel", 5, 0, same, QRect(75, 75, 1, 1)},
        {"negative choice: one pixel", -1, 0, same, QRect(75, 75, 1, 1)},
        // Centred ignores the margins: (2400 - 2200) div 2 = 100, (3150 - 2200) div 2 = 475.
        {"centred match screen", 0, 1, same, QRect(100, 475, 2200, 2200)},
        {"centred specify: (2400 - 1050) div 2, (3150 - 1050) div 2", 1, 1, same,
         QRect(675, 1050, 1050, 1050)},
        {"centred stretch", 2, 1, same, QRect(75, 75, 2250, 3000)},
        // 2850 x 1425 at (3150 - 2850) div 2 = 150, (2400 - 1425) div 2 = 487.
        {"CD front", 3, 1, cdFront, QRect(150, 487, 2850, 1425)},
        // 5.875 * 300 = 1762.5 -> 1762, 4.625 * 300 = 1387.5 -> 1388 (halves to even);
        // (3150 - 1762) div 2 = 694, (2400 - 1388) div 2 = 506.
        {"CD back", 4, 1, [&](PrintLayout& L) { cdFront(L), L.wideInches = 5.875, L.highInches = 4.625; },
         QRect(694, 506, 1762, 1388)},
        // Margins 150 * 0.25 = 37.5 -> 38, 90 * 0.25 = 22.5 -> 22; 3.5 * 150 = 525, 3.5 * 90 = 315.
        {"margins halve to even", 1, 0, [](PrintLayout& L) { L.printerPpiX = 150, L.printerPpiY = 90; },
         QRect(38, 22, 525, 315)},
        {"scale 0.1 (what 0 becomes): 1600 * 0.1", 0, 0, [](PrintLayout& L) { L.scale = 0.1f; },
         QRect(75, 75, 160, 160)},
        // 300 * 400 / 120 * 1.375 = 1375, 300 * 300 / 120 * 1.375 = 1031.25 -> 1031.
        {"120 ppi screen, 400 x 300 image", 0, 0,
         [](PrintLayout& L) { L.screenPpiX = L.screenPpiY = 120, L.imageWidth = 400, L.imageHeight = 300; },
         QRect(75, 75, 1375, 1031)},
        // 30.01 * 100 = 3001 wide: (2400 - 3001) div 2 = -601 div 2 = -300 (toward zero),
        // (3150 - 100) div 2 = 1525.
        {"centred wider than the page", 1, 1,
         [](PrintLayout& L) { L.printerPpiX = L.printerPpiY = 100, L.wideInches = 30.01, L.highInches = 1; },
         QRect(-300, 1525, 3001, 100)},
        {"negative inches", 1, 0, [](PrintLayout& L) { L.wideInches = -2; }, QRect()},
        {"zero inches", 1, 0, [](PrintLayout& L) { L.wideInches = 0; }, QRect()},
        {"absurd inches", 1, 0, [](PrintLayout& L) { L.wideInches = 1e12; }, QRect()},
        {"negative scale", 0, 0, [](PrintLayout& L) { L.scale = -1.0f; }, QRect()},
        {"page narrower than its margins", 2, 0, [](PrintLayout& L) { L.pageWidth = 100; }, QRect()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        PrintLayout L;
        L.size = c.size, L.align = c.align, L.scale = 1.375f, L.wideInches = L.highInches = 3.5;
        L.imageWidth = L.imageHeight = 512, L.printerPpiX = L.printerPpiY = 300;
        L.screenPpiX = L.screenPpiY = 96, L.pageWidth = 2400, L.pageHeight = 3150;
        c.change(L);
        const QRect r = PrintTargetRect(L);
        if (c.want.isNull()) {
            EXPECT_TRUE(r.isNull()) << r.width() << " x " << r.height();
        } else {
            EXPECT_EQ(r, c.want);
        }
    }
}

TEST(PrintNumbers, ReadWithEitherSeparatorAndWrittenWithTwoDecimals) {
    EXPECT_DOUBLE_EQ(StrToFloat("1.375"), 1.375);
    EXPECT_DOUBLE_EQ(StrToFloat(" 2,25 "), 2.25);
    EXPECT_DOUBLE_EQ(StrToFloat("-3"), -3.0);
    try {
        StrToFloat("abc");
        FAIL() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "'abc' is not a valid floating point value");
    }
    EXPECT_THROW(StrToFloat(""), std::runtime_error);
    EXPECT_THROW(StrToFloat("1.5x"), std::runtime_error);
    EXPECT_EQ(FloatStr2(512.0 / 96), "5.33");
    EXPECT_EQ(FloatStr2(2), "2.00");
}

TEST(PrintBitmap, StretchesIntoTheRectangleAndFramesItsOwnEdgePixels) {
    EnsureQtApplication();
    QImage canvas(20, 20, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QImage bitmap(2, 2, QImage::Format_BGR888);
    bitmap.fill(QColor(255, 0, 0));
    const QRect target(5, 5, 8, 6); // columns 5..12, rows 5..10
    QPainter p(&canvas);
    PrintBitmap(p, target, bitmap, true);
    p.end();
    const QRgb black = qRgb(0, 0, 0), red = qRgb(255, 0, 0), white = qRgb(255, 255, 255);
    const std::tuple<int, int, QRgb> framed[] = {
        {5, 5, black}, {12, 5, black}, {5, 10, black}, {12, 10, black}, {8, 10, black},
        {6, 6, red},   {11, 9, red},   {13, 5, white}, {5, 11, white},  {4, 4, white}};
    for (const auto& [x, y, c] : framed) EXPECT_EQ(canvas.pixel(x, y), c) << x << "," << y;

    QImage plain(20, 20, QImage::Format_RGB32);
    plain.fill(Qt::white);
    QPainter q(&plain);
    PrintBitmap(q, target, bitmap, false);
    q.end();
    EXPECT_EQ(plain.pixel(5, 5), red);
    EXPECT_EQ(plain.pixel(12, 10), red);
    EXPECT_EQ(plain.pixel(13, 10), white);
}

namespace {

// The main window unshown with its print options dialog; the print dialog is answered by the test.
class PrintTest : public ProgramTest {
protected:
    PrintTest() : ProgramTest(false) {}
    void SetUp() override {
        ProgramTest::SetUp();
        dialog = fPrint;
        ASSERT_NE(dialog, nullptr);
    }
    // Answers the print dialog with a PDF printer: Letter paper, no margins, 300 pixels per inch.
    void printToPdf(const QString& file) {
        SetPrintDialogHook([this, file](QPrinter& printer) {
            orientation = printer.pageLayout().orientation();
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(file);
            printer.setResolution(300);
            printer.setPageSize(QPageSize(QPageSize::Letter));
            printer.setPageMargins(QMarginsF(0, 0, 0, 0));
            ++printDialogs;
            return true;
        });
    }
    // Runs File > Print with the options dialog set by `choose` and answered OK.
    void print(std::function<void(TfPrint&)> choose) {
        TfPrint::SetExecHook([choose](TfPrint& d) {
            choose(d);
            return int(mrOk);
        });
        W->Print1Click();
    }

    TfPrint* dialog = nullptr;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    int printDialogs = 0;
};

} // namespace

TEST_F(PrintTest, DialogStartsAsLaidOut) {
    EXPECT_EQ(dialog->windowTitle(), "Print Options");
    EXPECT_EQ(dialog->rgSize->ItemIndex(), 0);
    EXPECT_EQ(dialog->rgSize->Count(), 5);
    EXPECT_EQ(dialog->rgSize->Item(4)->text(), "CD Cover Back");
    EXPECT_EQ(dialog->rgAlign->ItemIndex(), 0);
    EXPECT_EQ(dialog->rgOrient->ItemIndex(), 0);
    EXPECT_EQ(dialog->eScale->text(), "1.375");
    EXPECT_EQ(dialog->eWide->text(), "3.5");
    EXPECT_EQ(dialog->eHigh->text(), "3.5");
    EXPECT_TRUE(dialog->cbAspect->isChecked());
    EXPECT_FALSE(dialog->DrawBox);
    EXPECT_FALSE(dialog->eWide->isVisibleTo(dialog));
    EXPECT_FALSE(dialog->cbAspect->isVisibleTo(dialog));
    EXPECT_TRUE(dialog->eScale->isVisibleTo(dialog));
}

TEST_F(PrintTest, ShowingTheDialogGivesTheImagesSizeInInches) {
    ASSERT_EQ(TfPrint::ScreenPpiX(), 96) << "the offscreen screen";
    ASSERT_EQ(QGuiApplication::primaryScreen()->geometry().width(), 800) << "the offscreen screen";
    dialog->eScale->setText("9");
    // 512 / 96 = 5.333...; an 800 pixels wide screen gives the scale 1.375.
    dialog->FormShow();
    EXPECT_EQ(dialog->eScale->text(), "1.375");
    EXPECT_EQ(dialog->eWide->text(), "5.33");
    EXPECT_EQ(dialog->eHigh->text(), "5.33");
    W->z.SetSize(300, 48, 24, 0);
    dialog->FormShow();
    EXPECT_EQ(dialog->eWide->text(), "3.13"); // 3.125 -> "%f" gives 3.13
    EXPECT_EQ(dialog->eHigh->text(), "0.50");
}

TEST_F(PrintTest, SizeChoicesShowTheirControlsAndCdSizesSetTheirInches) {
    auto visible = [&](QWidget* w) { return w->isVisibleTo(dialog); };
    dialog->rgSize->SetItemIndex(1);
    dialog->rgSizeClick();
    EXPECT_TRUE(visible(dialog->eWide) && visible(dialog->eHigh) && visible(dialog->cbAspect));
    EXPECT_TRUE(visible(dialog->lInches) && visible(dialog->lWide) && visible(dialog->lHigh));
    EXPECT_FALSE(visible(dialog->eScale) || visible(dialog->lScale) || visible(dialog->SpeedButton1));
    EXPECT_EQ(dialog->rgOrient->ItemIndex(), 0);

    dialog->rgSize->SetItemIndex(2);
    dialog->rgSizeClick();
    EXPECT_FALSE(visible(dialog->eWide) || visible(dialog->eScale));

    dialog->rgSize->SetItemIndex(3);
    dialog->rgSizeClick();
    EXPECT_EQ(dialog->eWide->text(), "9.5");
    EXPECT_EQ(dialog->eHigh->text(), "4.75");
    EXPECT_EQ(dialog->rgOrient->ItemIndex(), 1);
    EXPECT_EQ(dialog->rgAlign->ItemIndex(), 1);
    EXPECT_TRUE(visible(dialog->eWide));

    dialog->rgOrient->SetItemIndex(0);
    dialog->rgAlign->SetItemIndex(0);
    dialog->rgSize->SetItemIndex(4);
    dialog->rgSizeClick();
    EXPECT_EQ(dialog->eWide->text(), "5.875");
    EXPECT_EQ(dialog->eHigh->text(), "4.625");
    EXPECT_EQ(dialog->rgOrient->ItemIndex(), 1);
    EXPECT_EQ(dialog->rgAlign->ItemIndex(), 1);

    dialog->rgSize->SetItemIndex(0);
    dialog->rgSizeClick();
    EXPECT_TRUE(visible(dialog->eScale) && visible(dialog->SpeedButton1));
    EXPECT_FALSE(visible(dialog->eWide));

    // The pop-up menu's items do the same as choosing the CD sizes.
    dialog->rgOrient->SetItemIndex(0);
    dialog->CDJacketBack1->trigger();
    EXPECT_EQ(dialog->rgSize->ItemIndex(), 4);
    EXPECT_EQ(dialog->eWide->text(), "5.875");
    EXPECT_EQ(dialog->rgOrient->ItemIndex(), 1);
    EXPECT_TRUE(visible(dialog->eWide));
    dialog->CDJacketFront1->trigger();
    EXPECT_EQ(dialog->rgSize->ItemIndex(), 3);
    EXPECT_EQ(dialog->eHigh->text(), "4.75");
}

TEST_F(PrintTest, AspectLockFollowsTheImagesRatio) {
    W->z.SetSize(512, 256, 24, 0);
    dialog->eWide->setText("4");
    dialog->eWideExit();
    EXPECT_EQ(dialog->eHigh->text(), "2.00"); // 4 * 256 / 512
    dialog->eHigh->setText("3");
    dialog->eHighExit();
    EXPECT_EQ(dialog->eWide->text(), "6.00"); // 3 * 512 / 256

    dialog->cbAspect->setChecked(false);
    dialog->eWide->setText("1");
    dialog->eWideExit();
    EXPECT_EQ(dialog->eHigh->text(), "3");

    dialog->cbAspect->setChecked(true);
    dialog->eWide->setText("wide");
    EXPECT_THROW(dialog->eWideExit(), std::runtime_error);
    EXPECT_EQ(dialog->eHigh->text(), "3");
}

TEST_F(PrintTest, ScalingHelpText) {
    dialog->SpeedButton1->click();
    ASSERT_EQ(Messages().size(), 1);
    EXPECT_EQ(
        Messages()[0],
        "The scaling factor is only used for Match Screen Size printing.\rTranslating screen size to "
        "printer size is not an exact process.  On my 800 x 600 system I must use the 1.375 scaling to get "
        "a close approximation of what I see on the screen to what is printed, otherwise the printed "
        "image is very small.  You can adjust this to whatever seems to work on your particular printer, "
        "probably a value between 1 and 2.");
}

TEST_F(PrintTest, PrintsA512ImageToAPdf) {
    ASSERT_EQ(TfPrint::ScreenPpiX(), 96);
    // Letter at 300 ppi without margins: 2550 x 3300 portrait, 3300 x 2550 landscape.
    struct Job {
        const char* why;
        std::function<void(TfPrint&)> choose;
        QRect want;
        QPageLayout::Orientation orientation;
        bool frame;
    };
    const Job jobs[] = {
        // In this order: each job starts from the choices the one before left in the dialog.
        // Scale 0 prints at a tenth: 300 * 512 / 96 * 0.1 = 160, inside the 75-pixel margins.
        {"scale 0", [](TfPrint& d) { d.eScale->setText("0"); }, QRect(75, 75, 160, 160),
         QPageLayout::Portrait, false},
        // 2 x 3 inches: 600 x 900 centred at ((2550 - 600) div 2, (3300 - 900) div 2) = (975, 1200).
        {"chosen size, centred",
         [](TfPrint& d) {
             d.rgSize->SetItemIndex(1);
             d.rgSizeClick();
             d.eWide->setText("2");
             d.eHigh->setText("3");
             d.rgAlign->SetItemIndex(1);
         },
         QRect(975, 1200, 600, 900), QPageLayout::Portrait, false},
        // 9.5 x 4.75 inches: 2850 x 1425 at ((3300 - 2850) div 2, (2550 - 1425) div 2) = (225, 562).
        {"CD cover front", [](TfPrint& d) { d.CDJacketFront1->trigger(); }, QRect(225, 562, 2850, 1425),
         QPageLayout::Landscape, true},
    };
    // The printer is chosen once, through Setup; every job then prints straight to it.
    const QString pdf = LogDir.filePath("jobs.pdf");
    printToPdf(pdf);
    dialog->sbPrint->click();
    ASSERT_EQ(printDialogs, 1);
    for (const Job& j : jobs) {
        SCOPED_TRACE(j.why);
        QFile::remove(pdf);
        print(j.choose);
        EXPECT_TRUE(Messages().isEmpty()) << Messages().join("|").toStdString();
        EXPECT_EQ(printDialogs, 1) << "no printer dialog for the job";
        EXPECT_EQ(dialog->PrintedOrientation, j.orientation);
        EXPECT_EQ(dialog->PrintedRect, j.want);
        EXPECT_EQ(dialog->DrawBox, j.frame);
        const QByteArray bytes = ReadAll(pdf);
        EXPECT_TRUE(bytes.startsWith("%PDF"));
        EXPECT_GT(bytes.size(), 2000) << "holds the image";
    }
}

TEST_F(PrintTest, CancelOrBadNumbersPrintNothing) {
    const QString pdf = LogDir.filePath("none.pdf");
    printToPdf(pdf);
    TfPrint::SetExecHook([](TfPrint&) { return int(mrCancel); });
    W->Print1Click();
    EXPECT_EQ(printDialogs, 0);

    // The numbers are read before the printer is asked for; a size that cannot print once the page is known.
    struct Bad {
        std::function<void(TfPrint&)> choose;
        QString message;
    };
    const Bad bad[] = {
        {[](TfPrint& d) { d.eScale->setText("1.x"); }, "'1.x' is not a valid floating point value"},
        // Beyond the range of a Single.
        {[](TfPrint& d) { d.eScale->setText("1e39"); },
         "Floating point overflow: the scaling factor 1e39 is too large"},
        {[](TfPrint& d) {
             d.rgSize->SetItemIndex(1);
             d.eWide->setText("-2");
             d.eHigh->setText("2");
         },
         QString()}, // any message
    };
    for (const Bad& b : bad) {
        Program->Asked.clear();
        print(b.choose);
        ASSERT_EQ(Messages().size(), 1);
        if (!b.message.isEmpty()) {
            EXPECT_EQ(Messages()[0], b.message);
            EXPECT_EQ(printDialogs, 0);
        }
    }
    EXPECT_FALSE(QFile::exists(pdf));

    // A cancelled set-up chooses nothing: the job goes to the system's default printer, and where
    // there is none, a message says how to choose one.
    Program->Asked.clear();
    SetPrintDialogHook([](QPrinter&) { return false; });
    dialog->sbPrint->click();
    EXPECT_FALSE(dialog->SetupChosen());
    if (QPrinterInfo::defaultPrinter().isNull()) {
        print([](TfPrint&) {});
        ASSERT_EQ(Messages().size(), 1);
        EXPECT_TRUE(Messages()[0].startsWith("No printer is installed")) << Messages()[0].toStdString();
    }
    EXPECT_FALSE(QFile::exists(pdf));
}

TEST_F(PrintTest, TheSetupDialogChoosesAPrinterWithOk) {
    QPrinter printer;
    QPrintDialog setup(&printer);
    PrepareSetupDialog(setup);
    EXPECT_EQ(setup.windowTitle(), "Printer Setup");
    QStringList buttons;
    for (QPushButton* b : setup.findChildren<QPushButton*>()) buttons << b->text().remove('&');
    EXPECT_TRUE(buttons.contains("OK")) << buttons.join(",").toStdString();
    EXPECT_FALSE(buttons.contains("Print")) << buttons.join(",").toStdString();
}

TEST_F(PrintTest, ASetupThenTwoJobsPrintToTheChosenPrinterWithoutAnotherDialog) {
    const QString pdf = LogDir.filePath("setup.pdf");
    printToPdf(pdf);
    dialog->sbPrint->click();
    EXPECT_EQ(printDialogs, 1);
    for (int job = 1; job <= 2; ++job) {
        SCOPED_TRACE(job);
        QFile::remove(pdf);
        print([](TfPrint& d) { d.rgSize->SetItemIndex(2); });
        EXPECT_EQ(printDialogs, 1);
        // Stretch on the set-up's Letter paper at 300 ppi: (2550 - 150) x (3300 - 150).
        EXPECT_EQ(dialog->PrintedRect, QRect(75, 75, 2400, 3150));
        EXPECT_TRUE(ReadAll(pdf).startsWith("%PDF"));
    }
    EXPECT_TRUE(Messages().isEmpty()) << Messages().join("|").toStdString();
}
