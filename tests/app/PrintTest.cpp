// Printing: the target rectangle for each size option, the print options dialog, and whole print jobs
// into PDF files.
#include "AppTestSupport.h"
#include "app/Print1.h"
#include "app/ZorvTileMain.h"
#include "platform/MessageBoxes.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QToolButton>

#include <memory>
#include <stdexcept>

namespace {

// A 300 ppi printer, a page of 2400 x 3150 pixels (8 x 10.5 inches), a 512 x 512 image, a 96 ppi
// screen, scale 1.375.
PrintLayout layout(int size, int align) {
    PrintLayout L;
    L.size = size;
    L.align = align;
    L.scale = 1.375f;
    L.wideInches = 3.5;
    L.highInches = 3.5;
    L.imageWidth = 512;
    L.imageHeight = 512;
    L.printerPpiX = 300;
    L.printerPpiY = 300;
    L.screenPpiX = 96;
    L.screenPpiY = 96;
    L.pageWidth = 2400;
    L.pageHeight = 3150;
    return L;
}

} // namespace

TEST(PrintTargetRect, EachSizeAtTopLeftSitsInsideTheQuarterInchMargins) {
    // Margins: 300 * 0.25 = 75.
    // Match screen: 300 * 512 / 96 * 1.375 = 1600 * 1.375 = 2200.
    EXPECT_EQ(PrintTargetRect(layout(0, 0)), QRect(75, 75, 2200, 2200));
    // Specify size: 3.5 inches * 300 = 1050.
    EXPECT_EQ(PrintTargetRect(layout(1, 0)), QRect(75, 75, 1050, 1050));
    // Stretch: the page less two margins, 2400 - 150 by 3150 - 150.
    EXPECT_EQ(PrintTargetRect(layout(2, 0)), QRect(75, 75, 2250, 3000));
    // Any other choice prints one pixel.
    EXPECT_EQ(PrintTargetRect(layout(5, 0)), QRect(75, 75, 1, 1));
    EXPECT_EQ(PrintTargetRect(layout(-1, 0)), QRect(75, 75, 1, 1));
}

TEST(PrintTargetRect, CentredIgnoresTheMargins) {
    // (2400 - 2200) div 2 = 100, (3150 - 2200) div 2 = 475.
    EXPECT_EQ(PrintTargetRect(layout(0, 1)), QRect(100, 475, 2200, 2200));
    // (2400 - 1050) div 2 = 675, (3150 - 1050) div 2 = 1050.
    EXPECT_EQ(PrintTargetRect(layout(1, 1)), QRect(675, 1050, 1050, 1050));
    EXPECT_EQ(PrintTargetRect(layout(2, 1)), QRect(75, 75, 2250, 3000));
}

TEST(PrintTargetRect, CdCoversOnALandscapePage) {
    // Landscape page 3150 x 2400. Front: 9.5 * 300 = 2850, 4.75 * 300 = 1425;
    // left (3150 - 2850) div 2 = 150, top (2400 - 1425) div 2 = 975 div 2 = 487.
    PrintLayout front = layout(3, 1);
    front.pageWidth = 3150;
    front.pageHeight = 2400;
    front.wideInches = 9.5;
    front.highInches = 4.75;
    EXPECT_EQ(PrintTargetRect(front), QRect(150, 487, 2850, 1425));
    // Back: 5.875 * 300 = 1762.5 -> 1762 and 4.625 * 300 = 1387.5 -> 1388 (halves to even);
    // left (3150 - 1762) div 2 = 694, top (2400 - 1388) div 2 = 506.
    PrintLayout back = front;
    back.size = 4;
    back.wideInches = 5.875;
    back.highInches = 4.625;
    EXPECT_EQ(PrintTargetRect(back), QRect(694, 506, 1762, 1388));
}

TEST(PrintTargetRect, RoundingOfMarginsAndScale) {
    // 150 * 0.25 = 37.5 -> 38 and 90 * 0.25 = 22.5 -> 22 (halves to even).
    PrintLayout L = layout(1, 0);
    L.printerPpiX = 150;
    L.printerPpiY = 90;
    // 3.5 * 150 = 525, 3.5 * 90 = 315.
    EXPECT_EQ(PrintTargetRect(L), QRect(38, 22, 525, 315));
    // Match screen at scale 0.1 (what 0 becomes): 300 * 512 / 96 = 1600, * 0.1 = 160.
    L = layout(0, 0);
    L.scale = 0.1f;
    EXPECT_EQ(PrintTargetRect(L).size(), QSize(160, 160));
    // A 120 ppi screen and a 400 x 300 image: 300 * 400 / 120 * 1.375 = 1375, 300 * 300 / 120 * 1.375
    // = 1031.25 -> 1031.
    L = layout(0, 0);
    L.screenPpiX = L.screenPpiY = 120;
    L.imageWidth = 400;
    L.imageHeight = 300;
    EXPECT_EQ(PrintTargetRect(L).size(), QSize(1375, 1031));
}

TEST(PrintTargetRect, CentringAnImageWiderThanThePageGivesANegativeLeftEdge) {
    PrintLayout L = layout(1, 1);
    L.printerPpiX = L.printerPpiY = 100;
    L.wideInches = 30.01; // 3001 pixels on a page 2400 wide
    L.highInches = 1.0;
    // (2400 - 3001) div 2 = -601 div 2 = -300 (toward zero); (3150 - 100) div 2 = 1525.
    EXPECT_EQ(PrintTargetRect(L), QRect(-300, 1525, 3001, 100));
}

TEST(PrintTargetRect, SizesThatCannotPrintGiveNoRectangle) {
    PrintLayout L = layout(1, 0);
    L.wideInches = -2;
    EXPECT_TRUE(PrintTargetRect(L).isNull());
    L.wideInches = 0;
    EXPECT_TRUE(PrintTargetRect(L).isNull());
    L.wideInches = 1e12;
    EXPECT_TRUE(PrintTargetRect(L).isNull());
    L = layout(0, 0);
    L.scale = -1.0f;
    EXPECT_TRUE(PrintTargetRect(L).isNull());
    L = layout(2, 0);
    L.pageWidth = 100; // narrower than the two margins
    EXPECT_TRUE(PrintTargetRect(L).isNull());
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
    EnsureTestApplication();
    QImage canvas(20, 20, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QImage bitmap(2, 2, QImage::Format_BGR888);
    bitmap.fill(QColor(255, 0, 0));
    const QRect target(5, 5, 8, 6); // columns 5..12, rows 5..10
    QPainter p(&canvas);
    PrintBitmap(p, target, bitmap, true);
    p.end();
    const QRgb black = qRgb(0, 0, 0), red = qRgb(255, 0, 0), white = qRgb(255, 255, 255);
    EXPECT_EQ(canvas.pixel(5, 5), black);
    EXPECT_EQ(canvas.pixel(12, 5), black);
    EXPECT_EQ(canvas.pixel(5, 10), black);
    EXPECT_EQ(canvas.pixel(12, 10), black);
    EXPECT_EQ(canvas.pixel(8, 10), black);
    EXPECT_EQ(canvas.pixel(6, 6), red);
    EXPECT_EQ(canvas.pixel(11, 9), red);
    EXPECT_EQ(canvas.pixel(13, 5), white);
    EXPECT_EQ(canvas.pixel(5, 11), white);
    EXPECT_EQ(canvas.pixel(4, 4), white);

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

// The main window with its print options dialog; message boxes are recorded, the options dialog and
// the print dialog are answered by the test.
class PrintTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        ASSERT_TRUE(settings.isValid());
        program = std::make_unique<TStartedProgram>(settings.path(), QString(), false);
        SetMessageHook([this](const QString& text, TMsgDlgType, int) {
            messages << text;
            return int(mrOk);
        });
        main = fZorvTile;
        dialog = fPrint;
        ASSERT_TRUE(main && dialog);
    }
    void TearDown() override {
        TfPrint::SetExecHook({});
        SetPrintDialogHook({});
        program.reset();
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
    QByteArray fileBytes(const QString& file) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir folder, settings;
    std::unique_ptr<TStartedProgram> program;
    QStringList messages;
    TfZorvTile* main = nullptr;
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
    EXPECT_EQ(dialog->findChild<QLineEdit*>("eScale"), dialog->eScale);
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
    main->z.SetSize(300, 48, 24, 0);
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
    main->z.SetSize(512, 256, 24, 0);
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
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(
        messages[0],
        "The scaling factor is only used for Match Screen Size printing.\rTranslating screen size to "
        "printer size is not an exact process.  On my 800 x 600 system I must use the 1.375 scaling to get "
        "a close approximation of what I see on the screen to what is printed, otherwise the printed "
        "image is very small.  You can adjust this to whatever seems to work on your particular printer, "
        "probably a value between 1 and 2.");
}

TEST_F(PrintTest, PrintsA512ImageToAPdfAtAChosenSize) {
    const QString pdf = folder.filePath("job.pdf");
    printToPdf(pdf);
    TfPrint::SetExecHook([](TfPrint& d) {
        d.rgSize->SetItemIndex(1);
        d.rgSizeClick();
        d.eWide->setText("2");
        d.eHigh->setText("3");
        d.rgAlign->SetItemIndex(1);
        return int(mrOk);
    });
    main->Print1Click();
    EXPECT_TRUE(messages.isEmpty()) << messages.join("|").toStdString();
    EXPECT_EQ(printDialogs, 1);
    EXPECT_EQ(orientation, QPageLayout::Portrait);
    // Letter at 300 ppi without margins: 2550 x 3300. 2 and 3 inches: 600 x 900, centred at
    // ((2550 - 600) div 2, (3300 - 900) div 2) = (975, 1200).
    EXPECT_EQ(dialog->PrintedRect, QRect(975, 1200, 600, 900));
    EXPECT_FALSE(dialog->DrawBox);
    const QByteArray bytes = fileBytes(pdf);
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    EXPECT_GT(bytes.size(), 2000) << "holds the image";
}

TEST_F(PrintTest, CdCoverFrontPrintsLandscapeCentredWithAFrame) {
    const QString pdf = folder.filePath("cd.pdf");
    printToPdf(pdf);
    TfPrint::SetExecHook([](TfPrint& d) {
        d.CDJacketFront1->trigger();
        return int(mrOk);
    });
    main->Print1Click();
    EXPECT_EQ(orientation, QPageLayout::Landscape);
    // Landscape Letter: 3300 x 2550. 9.5 x 4.75 inches: 2850 x 1425 at ((3300 - 2850) div 2,
    // (2550 - 1425) div 2) = (225, 562).
    EXPECT_EQ(dialog->PrintedRect, QRect(225, 562, 2850, 1425));
    EXPECT_TRUE(dialog->DrawBox);
    EXPECT_TRUE(fileBytes(pdf).startsWith("%PDF"));
}

TEST_F(PrintTest, ScaleZeroPrintsAtATenth) {
    ASSERT_EQ(TfPrint::ScreenPpiX(), 96);
    const QString pdf = folder.filePath("small.pdf");
    printToPdf(pdf);
    TfPrint::SetExecHook([](TfPrint& d) {
        d.eScale->setText("0");
        return int(mrOk);
    });
    main->Print1Click();
    // 300 * 512 / 96 * 0.1 = 160, top left inside the 75-pixel margins.
    EXPECT_EQ(dialog->PrintedRect, QRect(75, 75, 160, 160));
    EXPECT_TRUE(fileBytes(pdf).startsWith("%PDF"));
}

TEST_F(PrintTest, CancelOrBadNumbersPrintNothing) {
    const QString pdf = folder.filePath("none.pdf");
    printToPdf(pdf);
    TfPrint::SetExecHook([](TfPrint&) { return int(mrCancel); });
    main->Print1Click();
    EXPECT_EQ(printDialogs, 0);

    TfPrint::SetExecHook([](TfPrint& d) {
        d.eScale->setText("1.x");
        return int(mrOk);
    });
    main->Print1Click();
    EXPECT_EQ(messages, QStringList({"'1.x' is not a valid floating point value"}));
    EXPECT_EQ(printDialogs, 0) << "the numbers are read before the printer is asked for";

    // A factor beyond the range of a Single is refused before anything is printed.
    messages.clear();
    TfPrint::SetExecHook([](TfPrint& d) {
        d.eScale->setText("1e39");
        return int(mrOk);
    });
    main->Print1Click();
    EXPECT_EQ(messages, QStringList({"Floating point overflow: the scaling factor 1e39 is too large"}));
    EXPECT_EQ(printDialogs, 0);

    messages.clear();
    TfPrint::SetExecHook([](TfPrint& d) {
        d.rgSize->SetItemIndex(1);
        d.eWide->setText("-2");
        d.eHigh->setText("2");
        return int(mrOk);
    });
    main->Print1Click();
    EXPECT_EQ(messages.size(), 1);
    EXPECT_FALSE(QFile::exists(pdf));

    messages.clear();
    SetPrintDialogHook([](QPrinter&) { return false; });
    TfPrint::SetExecHook([](TfPrint&) { return int(mrOk); });
    main->Print1Click();
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_FALSE(QFile::exists(pdf));
}

TEST_F(PrintTest, SetupChoicesCarryOverToTheNextJob) {
    const QString pdf = folder.filePath("setup.pdf");
    printToPdf(pdf);
    dialog->sbPrint->click();
    EXPECT_EQ(printDialogs, 1);
    // The job's own print dialog now just confirms: the printer comes from the set-up.
    SetPrintDialogHook([](QPrinter& printer) {
        EXPECT_EQ(printer.outputFormat(), QPrinter::PdfFormat);
        EXPECT_EQ(printer.resolution(), 300);
        return true;
    });
    TfPrint::SetExecHook([](TfPrint& d) {
        d.rgSize->SetItemIndex(2);
        return int(mrOk);
    });
    main->Print1Click();
    // Stretch on Letter at 300 ppi: (2550 - 150) x (3300 - 150).
    EXPECT_EQ(dialog->PrintedRect, QRect(75, 75, 2400, 3150));
    EXPECT_TRUE(fileBytes(pdf).startsWith("%PDF"));
}
