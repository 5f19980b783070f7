// The texture, size and tile-test windows, driven offscreen.
#include "app/AppTestSupport.h"
#include "app/dialogs/SizeDialog.h"
#include "app/dialogs/TextureDialog.h"
#include "app/dialogs/TileTester.h"
#include "app/effects/EffectTestImages.h"
#include "platform/FastDIBQt.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>

using namespace efx;

namespace {

class EffectWindows : public ProgramTest {
protected:
    void TearDown() override {
        TfTexture::SetOpenHook({});
        ProgramTest::TearDown();
    }
    void ImageOf(int w, int h) {
        tagged(W->z, w, h);
        W->SetToIm(W->z);
    }
};

} // namespace

TEST_F(EffectWindows, SizerFirstShowTakesTheImageSizeAndCancelKeepsTheLastAccepted) {
    TfrmSizer& s = *frmSizer;
    s.FormShow();
    EXPECT_EQ(s.meWidth->text(), "512");
    EXPECT_EQ(s.Label4->text(), "Width 512  Height 512");
    EXPECT_EQ(s.ItemIndex(), 3);
    s.SetItemIndex(1); // 800 X 600, then Cancel
    EXPECT_EQ(s.Wide, 800);
    EXPECT_EQ(s.meHeight->text(), "600");
    s.FormShow(); // the next show selects Custom again: the image size
    EXPECT_EQ(s.ItemIndex(), 3);
    EXPECT_EQ(s.Wide, 512);
    EXPECT_EQ(s.meWidth->text(), "512");
}

TEST_F(EffectWindows, SizerPercentCdSizesAndRefusedValues) {
    TfrmSizer& s = *frmSizer;
    s.FormShow();
    s.rbPctClick(); // 50 and 50 of 512
    EXPECT_TRUE(s.mePctWidth->isEnabled());
    EXPECT_EQ(s.Wide, 256);
    EXPECT_EQ(s.High, 256);
    EXPECT_EQ(s.meWidth->text(), "256");
    s.CDFrontHalf1Click();
    EXPECT_EQ(s.Wide, 456);
    EXPECT_EQ(s.High, 456);
    EXPECT_TRUE(s.rbPix->isChecked());
    EXPECT_FALSE(s.mePctWidth->isEnabled());

    // OK with an empty or zero field is refused; neither value changes and the window stays.
    struct Case {
        const char *w, *h;
        int wide; // what leaving the width field stores: an empty field keeps the former value
    };
    for (const Case& k : {Case{"", "300", 456}, Case{"0", "300", 0}, Case{"300", "0", 300}}) {
        s.meWidth->setText(k.w);
        s.meHeight->setText(k.h);
        const std::size_t asked = Program->Asked.size();
        s.meWidthExit();
        s.btnOKClick();
        EXPECT_EQ(Program->Asked.size(), asked + 1) << k.w << " " << k.h;
        EXPECT_EQ(s.result(), 0);
        EXPECT_EQ(s.High, 456);
        EXPECT_EQ(s.Wide, k.wide);
    }
    s.meWidth->setText("300");
    s.meHeight->setText("200");
    s.btnOKClick();
    EXPECT_EQ(s.Wide, 300);
    EXPECT_EQ(s.High, 200);
}

TEST_F(EffectWindows, SizerCapsPercentResultsAt9999) {
    ImageOf(2000, 10);
    TfrmSizer& s = *frmSizer;
    s.FormShow();
    s.rbPctClick();
    s.mePctWidth->setText("999");
    s.mePctWidthChange();
    EXPECT_EQ(s.Wide, 9999);
    s.mePctHeight->setText("");
    s.mePctHeightChange(); // an empty field keeps the height
    EXPECT_EQ(s.High, 5);
    s.btnOKClick(); // the empty percent field is refused at OK
    EXPECT_EQ(s.result(), 0);
}

TEST_F(EffectWindows, TextureFromBufferFileAndClipboardTurnsGrey) {
    TfTexture& t = *fTexture;
    t.bUseBufrClick(); // no buffer: nothing
    EXPECT_EQ(t.Texture.Width, 2);
    EXPECT_TRUE(W->MapBuf.isEmpty());

    fill(W->bufr, 3, 2, [](int, int) { return rgb(200, 100, 50); });
    W->PasteBuffertoImage1->setEnabled(true);
    t.bUseBufrClick();
    EXPECT_EQ(W->MapBuf, "Use Buffer");
    EXPECT_EQ(t.Texture.Width, 3);
    const int grey = (77 * 200 + 151 * 100 + 28 * 50) >> 8; // 124
    EXPECT_EQ(at(t.Texture, 2, 1), rgb(grey, grey, grey));

    const QString file = LogDir.filePath("colour.bmp");
    QImage img(4, 5, QImage::Format_RGB32);
    img.fill(qRgb(0, 0, 255));
    ASSERT_TRUE(img.save(file, "BMP"));
    QString filter;
    TfTexture::SetOpenHook([&](const QString& f) {
        filter = f;
        return file;
    });
    t.bLoadTexurClick();
    EXPECT_EQ(filter, "BMP,JPG (*.bmp;*.jpg)|*.bmp;*.jpg");
    EXPECT_EQ(W->MapBuf, "Use File " + file);
    EXPECT_EQ(t.Texture.Width, 4);
    EXPECT_EQ(at(t.Texture, 0, 4), rgb(27, 27, 27)); // 28 * 255 shr 8
    TfTexture::SetOpenHook([](const QString&) { return QString(); });
    t.bLoadTexurClick(); // cancelled: nothing
    EXPECT_EQ(t.Texture.Width, 4);

    QImage clip(6, 1, QImage::Format_RGB32);
    clip.fill(qRgb(0, 255, 0));
    QGuiApplication::clipboard()->setImage(clip);
    t.imTextureMouseDown(Qt::RightButton);
    EXPECT_EQ(W->MapBuf, "Use Clipboard");
    EXPECT_EQ(at(t.Texture, 5, 0), rgb(150, 150, 150)); // 151 * 255 shr 8
    t.imTextureMouseDown(Qt::LeftButton);               // the texture goes to the clipboard
    EXPECT_EQ(QGuiApplication::clipboard()->image().width(), 6);
}

TEST_F(EffectWindows, TesterTilesTheImageAndCtrlZReturns) {
    ImageOf(3, 2);
    TfTester& t = *fTester;
    t.resize(10, 7);
    QImage shot(10, 7, QImage::Format_RGB32);
    {
        QPainter p(&shot);
        t.FormPaint(p);
    }
    EXPECT_EQ(QColor(shot.pixel(0, 0)), QColor(0, 0, 0));       // tag(0, 0)
    EXPECT_EQ(QColor(shot.pixel(4, 3)), QColor(37 + 11, 1, 1)); // tile (1, 1) = tag(1, 1)
    EXPECT_EQ(QColor(shot.pixel(9, 6)), QColor(0, 0, 0));       // tile (0, 0) again

    // Sample text: the right column ends 12 pixels from the right edge.
    W->ShowSampleTextonTestPage1->setChecked(true);
    uniform(W->z, 4, 4, rgb(128, 128, 128));
    t.resize(400, 600);
    QImage text(400, 600, QImage::Format_RGB32);
    {
        QPainter p(&text);
        p.setFont(t.font());
        t.FormPaint(p);
    }
    int changed = 0, rightmost = 0;
    for (int y = 36 * 1; y < 36 * 2; ++y) // the white line
        for (int x = 200; x < 400; ++x)
            if (text.pixel(x, y) != qRgb(128, 128, 128)) ++changed, rightmost = std::max(rightmost, x);
    EXPECT_GT(changed, 0);
    EXPECT_LE(rightmost, 400 - 12);
    EXPECT_GT(rightmost, 400 - 30);

    W->hide();
    W->setEnabled(false);
    t.Show();
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Z, Qt::ControlModifier);
    QCoreApplication::sendEvent(t.Button1, &down); // the window sees its controls' keys first
    EXPECT_FALSE(t.isVisible());
    EXPECT_TRUE(W->isVisible());
    EXPECT_TRUE(W->isEnabled());
    t.Show();
    t.close(); // closing only hides, and brings the main window back
    EXPECT_FALSE(t.isVisible());
    EXPECT_TRUE(W->isVisible());
}
