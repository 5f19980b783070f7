// The clipboard commands (Copy, Replace Image, As Selection, Transparent) and the Buffer menu.
#include "FileTestSupport.h"

#include "controls/Label3D.h"

#include "app/dialogs/TransparentPaste.h"
#include "platform/Picture.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>

namespace {

class FileClipboard : public FileCommandsBase {
protected:
    void SetUp() override {
        FileCommandsBase::SetUp();
        QGuiApplication::clipboard()->clear();
    }
    // Puts a w x h picture of one colour on the clipboard, with the given pixels set apart.
    static void ClipboardPicture(int w, int h, QRgb fill,
                                 std::initializer_list<std::tuple<int, int, QRgb>> px = {}) {
        QImage img(w, h, QImage::Format_RGB32);
        img.fill(fill);
        for (const auto& [x, y, c] : px) img.setPixel(x, y, c);
        QGuiApplication::clipboard()->setImage(img);
    }
    void Fill(TFastDIB& d, int w, int h, TFColor c) {
        d.SetSize(w, h, 24, 0);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) d.Pixels24[y][x] = c;
    }
    void SendMouse(QWidget* target, QEvent::Type type, QPoint global, Qt::MouseButton button,
                   Qt::MouseButtons buttons) {
        QMouseEvent e(type, QPointF(target->mapFromGlobal(global)), QPointF(global), button, buttons,
                      Qt::NoModifier);
        QCoreApplication::sendEvent(target, &e);
    }
};

const TFColor Red = MakeFColor(255, 0, 0), Green = MakeFColor(0, 255, 0), Blue = MakeFColor(0, 0, 255),
              White = MakeFColor(255, 255, 255);

} // namespace

TEST_F(FileClipboard, CopyThenReplaceImageRoundTrips) {
    SetImage(6, 4);
    TFastDIB pattern;
    PaintPattern(pattern, 6, 4);
    StartLog();
    Trigger("Copy1");
    Trigger("New1");
    const int stack = W->Ring.StackSize;
    Trigger("ReplaceImage1");
    EXPECT_TRUE(SameDIB(W->z, pattern));
    EXPECT_EQ(W->Ring.StackSize, stack + 1);
    EXPECT_EQ(LogLines(), (QStringList{"Copy Image to Clipboard", "New Image, Color R: 255 G: 255 B: 255",
                                       "Paste Clipboard to Image"}));
}

TEST_F(FileClipboard, ReplaceImageTakesTheClipboardSizeAndResetReturnsToTheOpenedFile) {
    // The last opened file.
    SetImage(5, 5);
    Chosen.push_back(File("opened.bmp"));
    Trigger("SaveAs1");
    Chosen.push_back(File("opened.bmp"));
    Trigger("Open1");
    const QString defDir = W->DefDir;
    ClipboardPicture(100, 50, qRgb(0, 0, 255));
    Trigger("ReplaceImage1");
    EXPECT_EQ(W->z.Width, 100);
    EXPECT_EQ(W->z.Height, 50);
    EXPECT_EQ(W->z.Pixels24[49][99], Blue);
    EXPECT_EQ(W->stBar->PanelText(0), "Width: 100");
    EXPECT_EQ(W->stBar->PanelText(1), "Height: 50");
    EXPECT_EQ(W->DefDir, defDir);
    W->Reset1Click();
    TFastDIB opened;
    PaintPattern(opened, 5, 5);
    EXPECT_TRUE(SameDIB(W->z, opened));
}

TEST_F(FileClipboard, PasteCommandsDoNothingWithoutABitmap) {
    SetImage(3, 3);
    StartLog();
    QGuiApplication::clipboard()->setText("words");
    for (const char* name : {"ReplaceImage1", "AsSelection1", "Transparent1", "PasteClipboardtoBuffer1"})
        Trigger(name);
    TFastDIB pattern;
    PaintPattern(pattern, 3, 3);
    EXPECT_TRUE(SameDIB(W->z, pattern));
    EXPECT_EQ(W->Ring.StackSize, 0);
    EXPECT_FALSE(W->findChild<QWidget*>("pPaste")->isVisible());
    EXPECT_FALSE(W->PasteBuffertoImage1->isEnabled());
    EXPECT_TRUE(LogLines().isEmpty());
    EXPECT_TRUE(Messages().isEmpty());
}

TEST_F(FileClipboard, PasteAsSelectionFloatsIsDraggedAndCommitsAtItsOffset) {
    SetImage(20, 20);
    StartLog();
    ClipboardPicture(4, 3, qRgb(255, 0, 0));
    Trigger("AsSelection1");
    auto* panel = W->findChild<QWidget*>("pPaste");
    auto* label = W->findChild<QLabel*>("imPaste");
    auto* timer = W->findChild<QTimer*>("Timer1");
    ASSERT_TRUE(panel && label && timer);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->size(), QSize(4, 3));
    EXPECT_EQ(panel->pos(), W->imSine->pos());
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 100);
    W->Timer1Timer();
    EXPECT_EQ(W->stBar->PanelText(4), "Left: 0 Top: 0");

    // Press, drag by (5, 7), release: the selection floats at its new place, the image is unchanged.
    const QPoint start = label->mapToGlobal(QPoint(1, 1));
    SendMouse(label, QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
    EXPECT_TRUE(W->Pasting);
    SendMouse(label, QEvent::MouseMove, start + QPoint(2, 3), Qt::NoButton, Qt::LeftButton);
    SendMouse(label, QEvent::MouseMove, start + QPoint(5, 7), Qt::NoButton, Qt::LeftButton);
    SendMouse(label, QEvent::MouseButtonRelease, start + QPoint(5, 7), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(panel->pos() - W->imSine->pos(), QPoint(5, 7));
    W->Timer1Timer();
    EXPECT_EQ(W->stBar->PanelText(4), "Left: 5 Top: 7");
    EXPECT_EQ(W->Ring.StackSize, 0);
    EXPECT_EQ(W->z.Pixels24[7][5], Pattern(5, 7));

    // The next move over it commits.
    SendMouse(label, QEvent::MouseMove, label->mapToGlobal(QPoint(2, 2)), Qt::NoButton, Qt::NoButton);
    EXPECT_FALSE(panel->isVisible());
    EXPECT_FALSE(timer->isActive());
    EXPECT_FALSE(W->Pasting);
    EXPECT_EQ(W->stBar->PanelText(4), "Idle...");
    EXPECT_EQ(W->Ring.StackSize, 1);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            const bool inside = x >= 5 && x < 9 && y >= 7 && y < 10;
            ASSERT_EQ(W->z.Pixels24[y][x], inside ? Red : Pattern(x, y)) << x << ", " << y;
        }
    EXPECT_EQ(LogLines(), QStringList{"Paste As Selection at Left 5, Top 7"});
}

TEST_F(FileClipboard, PasteAsSelectionPartlyOutsideIsCut) {
    SetImage(10, 10);
    ClipboardPicture(4, 4, qRgb(0, 255, 0));
    Trigger("AsSelection1");
    auto* label = W->findChild<QLabel*>("imPaste");
    const QPoint start = label->mapToGlobal(QPoint(0, 0));
    SendMouse(label, QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
    SendMouse(label, QEvent::MouseMove, start + QPoint(8, -2), Qt::NoButton, Qt::LeftButton);
    SendMouse(label, QEvent::MouseButtonRelease, start + QPoint(8, -2), Qt::LeftButton, Qt::NoButton);
    SendMouse(label, QEvent::MouseMove, label->mapToGlobal(QPoint(1, 3)), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(W->z.Width, 10);
    // Columns 8 and 9 of rows 0 and 1 are covered.
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            ASSERT_EQ(W->z.Pixels24[y][x], (x >= 8 && y <= 1) ? Green : Pattern(x, y)) << x << ", " << y;
}

TEST_F(FileClipboard, PasteTransparentKeepsTheImageWhereThePictureHasItsLowerLeftColour) {
    Fill(W->z, 4, 4, Blue);
    W->SetToIm(W->z);
    StartLog();
    // 2 x 2: red top left, white top right and lower left, green lower right.
    ClipboardPicture(2, 2, qRgb(255, 255, 255), {{0, 0, qRgb(255, 0, 0)}, {1, 1, qRgb(0, 255, 0)}});

    // Cancel: nothing happens.
    int shown = 0;
    TfTrans::SetExecuteHook([&](TfTrans& d) {
        ++shown;
        EXPECT_EQ(d.Shape1Color(), RGBColor(255, 255, 255)) << "Normal: the lower-left pixel";
        return static_cast<int>(mrCancel);
    });
    Trigger("Transparent1");
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(W->AColor, RGBColor(255, 255, 255));
    EXPECT_EQ(W->Ring.StackSize, 0);
    EXPECT_EQ(W->z.Pixels24[0][0], Blue);

    // Without resizing: the picture covers the top-left 2 x 2 except where it is white.
    TfTrans::SetExecuteHook([](TfTrans& d) {
        d.cbReSize->setChecked(false);
        return static_cast<int>(mrOk);
    });
    Trigger("Transparent1");
    EXPECT_EQ(W->Ring.StackSize, 1);
    const TFColor plain[4][4] = {{Red, Blue, Blue, Blue},
                                 {Blue, Green, Blue, Blue},
                                 {Blue, Blue, Blue, Blue},
                                 {Blue, Blue, Blue, Blue}};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(W->z.Pixels24[y][x], plain[y][x]) << x << ", " << y;

    // Resized: each pixel of the picture covers a 2 x 2 block.
    W->bUndoClick();
    TfTrans::SetExecuteHook([](TfTrans& d) {
        d.cbReSize->setChecked(true);
        return static_cast<int>(mrOk);
    });
    Trigger("Transparent1");
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            const TFColor want = (x < 2 && y < 2) ? Red : (x >= 2 && y >= 2) ? Green : Blue;
            EXPECT_EQ(W->z.Pixels24[y][x], want) << x << ", " << y;
        }
    EXPECT_EQ(LogLines(), (QStringList{"Paste Transparent", "UnDo", "Paste Transparent"}));
}

TEST_F(FileClipboard, PasteTransparentWithPenOrCustomColour) {
    Fill(W->z, 2, 1, Blue);
    W->SetToIm(W->z);
    // Red then black: the pen colour (black until the tool box sets it) is transparent.
    ClipboardPicture(2, 1, qRgb(255, 0, 0), {{1, 0, qRgb(0, 0, 0)}});
    TfTrans::SetExecuteHook([](TfTrans& d) {
        d.cbReSize->setChecked(false);
        d.rbPen->click();
        EXPECT_EQ(d.Shape1Color(), RGBColor(0, 0, 0));
        return static_cast<int>(mrOk);
    });
    Trigger("Transparent1");
    EXPECT_EQ(W->z.Pixels24[0][0], Red);
    EXPECT_EQ(W->z.Pixels24[0][1], Blue);

    // Custom: red is chosen in the colour dialog by a click on the swatch.
    W->bUndoClick();
    TfTrans::SetColorDialogHook([](TColor& c) {
        c = RGBColor(255, 0, 0);
        return true;
    });
    TfTrans::SetExecuteHook([](TfTrans& d) {
        d.rbCustom->click();
        d.Shape1MouseDown();
        EXPECT_EQ(d.Shape1Color(), RGBColor(255, 0, 0));
        return static_cast<int>(mrOk);
    });
    Trigger("Transparent1");
    EXPECT_EQ(W->z.Pixels24[0][0], Blue);
    EXPECT_EQ(W->z.Pixels24[0][1], MakeFColor(0, 0, 0));
    // The custom choice stays for the next paste.
    EXPECT_TRUE(fTrans->rbCustom->isChecked());
    EXPECT_EQ(fTrans->Shape1Color(), RGBColor(255, 0, 0));
}

TEST_F(FileClipboard, TheBufferReceivesAndGivesBackImages) {
    SetImage(8, 6);
    StartLog();
    auto* pasteButton = W->findChild<QToolButton*>("bPstBufr");
    ASSERT_NE(pasteButton, nullptr);
    // The items that need a buffer wait for one.
    EXPECT_FALSE(pasteButton->isEnabled());
    EXPECT_FALSE(W->PasteBuffertoImage1->isEnabled());
    EXPECT_FALSE(W->MergeBufferWithImage1->isEnabled());
    EXPECT_FALSE(W->CopyBuffertoClipboard1->isEnabled());
    // A double-click on the thumbnail before the buffer has an image does nothing.
    W->imBufferDblClick();
    EXPECT_EQ(W->Ring.StackSize, 0);

    Trigger("CopyImagetoBuffer1");
    TFastDIB pattern;
    PaintPattern(pattern, 8, 6);
    EXPECT_TRUE(SameDIB(W->bufr, pattern));
    EXPECT_TRUE(W->PasteBuffertoImage1->isEnabled());
    EXPECT_TRUE(W->CopyBuffertoClipboard1->isEnabled());
    EXPECT_TRUE(W->MergeBufferWithImage1->isEnabled());
    EXPECT_TRUE(pasteButton->isEnabled());
    EXPECT_FALSE(W->imBuffer->pixmap().isNull());

    // A 100 x 50 buffer from the clipboard, pasted: the image becomes 100 x 50.
    ClipboardPicture(100, 50, qRgb(0, 255, 0));
    Trigger("PasteClipboardtoBuffer1");
    EXPECT_EQ(W->bufr.Width, 100);
    Trigger("PasteBuffertoImage1");
    EXPECT_EQ(W->z.Width, 100);
    EXPECT_EQ(W->z.Height, 50);
    EXPECT_EQ(W->z.Pixels24[49][99], Green);
    EXPECT_EQ(W->imSine->size(), QSize(100, 50));
    EXPECT_EQ(W->Ring.StackSize, 1);

    // Back to the pattern, then the buffer to the clipboard and into the image.
    W->bUndoClick();
    Trigger("CopyBuffertoClipboard1");
    Trigger("ReplaceImage1");
    EXPECT_EQ(W->z.Width, 100);
    EXPECT_EQ(W->z.Pixels24[0][0], Green);

    // The double-click on the thumbnail pastes too.
    W->bUndoClick();
    QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(3, 3),
                    QPointF(W->imBuffer->mapToGlobal(QPoint(3, 3))), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
    QCoreApplication::sendEvent(W->imBuffer, &dbl);
    EXPECT_EQ(W->z.Width, 100);

    EXPECT_EQ(LogLines(), (QStringList{"Copy Image to Buffer", "Paste Clipboard to Buffer",
                                       "Paste Buffer to Image", "UnDo", "Copy Buffer to Clipboard",
                                       "Paste Clipboard to Image", "UnDo", "Paste Buffer to Image"}));
}

TEST_F(FileClipboard, LoadBufferFromFileKeepsDefDirAndTheImageAndOnlyCopyImageRaisesTheLabel) {
    auto* buffer = W->findChild<TLbl3D*>("Lbl3D2");
    auto* gradient = W->findChild<TLbl3D*>("Lbl3D1");
    ASSERT_TRUE(buffer && gradient);
    // The buffer's 3-D label starts inset; the gradient's was raised by the first show, which made the
    // designer's gradient the current one. The buffer commands never touch it.
    EXPECT_EQ(buffer->aTextStyle(), tsInset);
    EXPECT_EQ(gradient->aTextStyle(), tsRaised);
    ClipboardPicture(4, 4, qRgb(0, 0, 255));
    Trigger("PasteClipboardtoBuffer1");
    ASSERT_EQ(W->bufr.Width, 4);
    EXPECT_EQ(buffer->aTextStyle(), tsInset);

    TFastDIB pic;
    PaintPattern(pic, 7, 2);
    SavePictureFromDIB(pic, File("buffer.bmp"));
    SetImage(3, 3);
    W->DefDir = "/nowhere";
    StartLog();
    Chosen.push_back(File("buffer.bmp"));
    Trigger("LoadBufferfromFile1");
    EXPECT_TRUE(SameDIB(W->bufr, pic));
    EXPECT_EQ(W->DefDir, "/nowhere");
    EXPECT_EQ(W->z.Width, 3);
    EXPECT_EQ(W->Ring.StackSize, 0);
    EXPECT_TRUE(W->PasteBuffertoImage1->isEnabled());
    EXPECT_EQ(LogLines(),
              QStringList{"Load Buffer from File " + QFileInfo(File("buffer.bmp")).absoluteFilePath()});
    EXPECT_EQ(buffer->aTextStyle(), tsInset);

    Trigger("CopyImagetoBuffer1");
    EXPECT_EQ(buffer->aTextStyle(), tsRaised);
    EXPECT_EQ(gradient->aTextStyle(), tsRaised);
}
