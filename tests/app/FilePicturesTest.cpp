// Pictures of every type the installed readers know (PNG and ICO with alpha) opened, dropped and used
// as the texture; the texture window's preview stretched without smoothing; the one size limit of the
// size window and the designers; files over the limit or the free memory, and files cut short.
#include "FileTestSupport.h"

#include "app/dialogs/MultiGradientModel.h"
#include "app/dialogs/SizeDialog.h"
#include "app/dialogs/TextureDialog.h"
#include "platform/Picture.h"

#include <QClipboard>
#include <QDir>
#include <QDropEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMimeData>
#include <QScrollArea>
#include <QUrl>

namespace {

class FilePictures : public FileCommandsBase {
protected:
    void TearDown() override {
        SetFreeMemoryHook({});
        TfTexture::SetOpenHook({});
        FileCommandsBase::TearDown();
    }
    void Open(const QString& path) {
        Chosen.push_back(path);
        Trigger("Open1");
    }
    void Drop(const QString& path) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        QWidget* area = W->ScrollBox1->viewport();
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(area, &enter);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(area, &drop);
    }
    // A 2 x 2 picture with alpha: opaque red, transparent blue, half-transparent black, opaque green.
    QString AlphaPicture(const char* name, const char* format) {
        QImage img(2, 2, QImage::Format_ARGB32);
        img.setPixel(0, 0, qRgba(255, 0, 0, 255));
        img.setPixel(1, 0, qRgba(0, 0, 255, 0));
        img.setPixel(0, 1, qRgba(0, 0, 0, 128));
        img.setPixel(1, 1, qRgba(0, 255, 0, 255));
        const QString path = File(name);
        EXPECT_TRUE(img.save(path, format));
        return path;
    }
    // The picture laid over white: transparent blue is white, black at alpha 128 is
    // (255 * 127 + 127) / 255 = 127.
    void ExpectOverWhite(const TFastDIB& d) {
        ASSERT_EQ(d.Width, 2);
        ASSERT_EQ(d.Height, 2);
        EXPECT_EQ(d.Pixels24[0][0], MakeFColor(255, 0, 0));
        EXPECT_EQ(d.Pixels24[0][1], MakeFColor(255, 255, 255));
        EXPECT_EQ(d.Pixels24[1][0], MakeFColor(127, 127, 127));
        EXPECT_EQ(d.Pixels24[1][1], MakeFColor(0, 255, 0));
    }
    struct TState {
        TFastDIB z, orig, bufr;
        int stack = 0;
    };
    void Remember(TState& s) const {
        CopyDIB(W->z, s.z);
        CopyDIB(W->orig, s.orig);
        CopyDIB(W->bufr, s.bufr);
        s.stack = W->Ring.StackSize;
    }
    void ExpectUnchanged(const TState& s) const {
        EXPECT_TRUE(SameDIB(W->z, s.z));
        EXPECT_TRUE(SameDIB(W->orig, s.orig));
        EXPECT_TRUE(SameDIB(W->bufr, s.bufr));
        EXPECT_EQ(W->Ring.StackSize, s.stack);
    }
};

// The headers of a 24-bit BMP of w x h, and `rows` of its bottom rows, row r all of colour (r, 2r, 3r).
QByteArray Bmp24(int w, int h, int rows) {
    const int row = (w * 3 + 3) / 4 * 4;
    QByteArray f = BmpHeader(w, h);
    for (int r = 0; r < rows; ++r) {
        for (int x = 0; x < w; ++x) f.append(char(3 * r)).append(char(2 * r)).append(char(r)); // b, g, r
        f.append(QByteArray(row - 3 * w, '\0'));
    }
    return f;
}

} // namespace

TEST_F(FilePictures, PngAndIcoWithAlphaAreOpenedDroppedAndUsedAsTexture) {
    const QString png = AlphaPicture("alpha.png", "png");
    const QString ico = AlphaPicture("alpha.ico", "ico");
    StartLog();
    for (const QString& path : {png, ico}) {
        SetImage(3, 3);
        const int stack = W->Ring.StackSize;
        Open(path);
        ExpectOverWhite(W->z);
        ExpectOverWhite(W->orig);
        EXPECT_EQ(W->Ring.StackSize, stack + 1);
        SetImage(3, 3);
        Drop(path);
        ExpectOverWhite(W->z);
        // The buffer too.
        Chosen.push_back(path);
        Trigger("LoadBufferfromFile1");
        ExpectOverWhite(W->bufr);
        // As the texture: grey (77 R + 151 G + 28 B) shr 8 of the colours over white.
        TfTexture::SetOpenHook([&](const QString&) { return path; });
        fTexture->bLoadTexurClick();
        const TFastDIB& t = fTexture->Texture;
        ASSERT_EQ(t.Width, 2);
        EXPECT_EQ(t.Pixels24[0][0], MakeFColor(76, 76, 76));    // 77 * 255 shr 8
        EXPECT_EQ(t.Pixels24[0][1], MakeFColor(255, 255, 255)); // 256 * 255 shr 8
        EXPECT_EQ(t.Pixels24[1][0], MakeFColor(127, 127, 127));
        EXPECT_EQ(t.Pixels24[1][1], MakeFColor(150, 150, 150)); // 151 * 255 shr 8
        EXPECT_EQ(W->MapBuf, "Use File " + path);
    }
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join("; ").toStdString();
    EXPECT_TRUE(LogLines().contains("Open File " + png));
    EXPECT_TRUE(LogLines().contains("Load Buffer from File " + ico));
}

TEST_F(FilePictures, TheTexturePreviewShowsBlocksOfTheExactColours) {
    // Red, green and blue columns, two rows: grey 76, 150 and 27 (28 * 255 shr 8).
    TFastDIB pic;
    pic.SetSize(3, 2, 24, 0);
    for (int y = 0; y < 2; ++y) {
        pic.Pixels24[y][0] = MakeFColor(255, 0, 0);
        pic.Pixels24[y][1] = MakeFColor(0, 255, 0);
        pic.Pixels24[y][2] = MakeFColor(0, 0, 255);
    }
    fTexture->SetTexture(pic);
    const QImage shown = fTexture->imTexture->pixmap().toImage();
    ASSERT_EQ(shown.size(), QSize(105, 105));
    // 105 / 3 = 35 columns per texture pixel; a smoothed ramp would blend near every border.
    for (int y : {0, 30, 52, 75, 104}) {
        for (int x = 0; x < 105; ++x) {
            const int grey = x < 35 ? 76 : x < 70 ? 150 : 27;
            ASSERT_EQ(shown.pixel(x, y), qRgb(grey, grey, grey)) << "x " << x << " y " << y;
        }
    }
}

TEST_F(FilePictures, TheSharedLimitTakesWhatTheSizeWindowAndTheDesignersMakeAndNotOnePixelMore) {
    SetFreeMemoryHook([] { return std::int64_t{1} << 40; });
    EXPECT_NO_THROW(CheckPictureSize(TfrmSizer::MaxSide, TfrmSizer::MaxSide));
    EXPECT_NO_THROW(CheckPictureSize(MaxGradientSide, MaxGradientSide));
    EXPECT_NO_THROW(CheckPictureSize(1, MaxGradientSide));
    for (const auto& [w, h] :
         {std::pair{MaxGradientSide + 1, 1}, std::pair{MaxGradientSide, MaxGradientSide + 1}}) {
        try {
            CheckPictureSize(w, h);
            ADD_FAILURE() << w << " x " << h << " accepted";
        } catch (const EPictureTooLarge& e) {
            EXPECT_EQ(std::string(e.what()),
                      QStringLiteral("The picture is too large: %1 x %2 pixels (at most "
                                     "16384 x 16384 pixels)")
                          .arg(w)
                          .arg(h)
                          .toStdString());
        }
    }
}

TEST_F(FilePictures, APictureOverTheFreeMemoryIsRefusedWithWhatItNeedsChangingNothing) {
    SetImage(4, 3);
    TState s;
    Remember(s);
    WriteAll(File("large.bmp"), Bmp24(16384, 16384, 0));
    SetFreeMemoryHook([] { return std::int64_t{300} * 1000 * 1000; });
    Open(File("large.bmp"));
    ASSERT_EQ(Errors().size(), 1);
    EXPECT_TRUE(Errors()[0].contains("16384 x 16384 pixels needs 805 MB; 300 MB are free"))
        << Errors()[0].toStdString();
    ExpectUnchanged(s);
    // Dropped: the same words, not "unsupported".
    Drop(File("large.bmp"));
    EXPECT_TRUE(Messages().last().contains("needs 805 MB; 300 MB are free"))
        << Messages().last().toStdString();
    ExpectUnchanged(s);
    Chosen.push_back(File("large.bmp"));
    Trigger("LoadBufferfromFile1");
    EXPECT_EQ(Errors().size(), 2);
    ExpectUnchanged(s);
    EXPECT_FALSE(W->PasteBuffertoImage1->isEnabled());
}

TEST_F(FilePictures, ABmpCutShortOpensWithItsRowsAndSaysSoInPlainWords) {
    SetImage(4, 3);
    WriteAll(File("photo.bmp"), Bmp24(2, 4, 3).left(54 + 8 * 3 - 1)); // the third file row cut
    const int stack = W->Ring.StackSize;
    Open(File("photo.bmp"));
    ASSERT_EQ(W->z.Width, 2);
    ASSERT_EQ(W->z.Height, 4);
    // File rows 0 and 1 are picture rows 3 and 2; rows 1 and 0 are missing.
    EXPECT_EQ(W->z.Pixels24[3][1], MakeFColor(0, 0, 0));
    EXPECT_EQ(W->z.Pixels24[2][0], MakeFColor(1, 2, 3));
    EXPECT_EQ(W->z.Pixels24[1][0], MissingPixelsColor);
    EXPECT_EQ(W->z.Pixels24[0][1], MissingPixelsColor);
    EXPECT_EQ(W->Ring.StackSize, stack + 1);
    EXPECT_TRUE(Errors().isEmpty());
    EXPECT_EQ(Messages().last(), "photo.bmp is incomplete: the file ends before the picture does");
}

TEST_F(FilePictures, APastedPictureOverTheLimitIsRefusedChangingNothing) {
    SetImage(4, 3);
    TState s;
    Remember(s);
    QImage img(12, 1, QImage::Format_RGB32);
    img.fill(qRgb(1, 2, 3));
    QGuiApplication::clipboard()->setImage(img);
    PictureLimits().maxSide = 11;
    Trigger("ReplaceImage1");
    Trigger("PasteClipboardtoBuffer1");
    PictureLimits() = PictureSizeLimits{};
    ASSERT_EQ(Errors().size(), 2);
    for (const QString& e : Errors())
        EXPECT_EQ(e, "The picture is too large: 12 x 1 pixels (at most 11 x 11 pixels)");
    ExpectUnchanged(s);
    EXPECT_FALSE(W->PasteBuffertoImage1->isEnabled());
}
