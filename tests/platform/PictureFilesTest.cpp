// Files cut short load what is there and say so; BMP saved at the screen's depth; the one size limit
// with its memory check; every picture type Qt's readers know opens, alpha laid over white.
#include "platform/BMPFile.h"
#include "platform/GIFGraphic.h"
#include "platform/JPEGImage.h"
#include "platform/Picture.h"

#include "common/QtTestSupport.h"

#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TFColor bgr(int b, int g, int r) {
    return TFColor{std::uint8_t(b), std::uint8_t(g), std::uint8_t(r)};
}

// A 24-bit BMP written by hand: picture row y holds colour (b, g, r) = (10 y + x, 100 + y, 200 + x).
QByteArray handBmp(int w, int h) {
    const int row = (w * 3 + 3) / 4 * 4;
    QByteArray f = BmpHeader(w, h);
    for (int fy = 0; fy < h; ++fy) { // bottom row first
        const int y = h - 1 - fy;
        for (int x = 0; x < w; ++x) f.append(char(10 * y + x)).append(char(100 + y)).append(char(200 + x));
        f.append(QByteArray(row - w * 3, '\0'));
    }
    return f;
}

const std::uint8_t* u8(const QByteArray& a) {
    return reinterpret_cast<const std::uint8_t*>(a.constData());
}

bool rowIs(const TFastDIB& d, int y, TFColor c) {
    for (int x = 0; x < d.Width; ++x)
        if (!(d.Pixels24[y][x] == c)) return false;
    return true;
}

class PictureFiles : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString file(const QString& name) const { return dir.filePath(name); }
    void TearDown() override {
        SetFreeMemoryHook({});
        SetScreenDepthHook({});
        PictureLimits() = PictureSizeLimits{};
    }
};

} // namespace

TEST_F(PictureFiles, ABmpCutShortLoadsTheRowsBeforeTheCutAndSaysSo) {
    const QByteArray whole = handBmp(2, 3); // rows of 8 bytes, 54 + 24 bytes
    ASSERT_EQ(whole.size(), 78);
    // Cut inside the third file row (picture row 0): picture rows 2 and 1 are there.
    for (int cut : {62, 70, 73, 77, 78}) {
        const int fileRows = (cut - 54) / 8;
        const QString name = QStringLiteral("cut%1.bmp").arg(cut);
        WriteAll(file(name), whole.left(cut));
        TFastDIB d;
        QStringList warnings;
        LoadPictureToDIB(file(name), d, &warnings);
        ASSERT_EQ(d.Width, 2);
        ASSERT_EQ(d.Height, 3);
        for (int y = 0; y < 3; ++y) {
            if (y >= 3 - fileRows) {
                EXPECT_EQ(d.Pixels24[y][0], bgr(10 * y, 100 + y, 200)) << cut << " row " << y;
                EXPECT_EQ(d.Pixels24[y][1], bgr(10 * y + 1, 100 + y, 201)) << cut << " row " << y;
            } else {
                EXPECT_TRUE(rowIs(d, y, MissingPixelsColor)) << cut << " row " << y;
            }
        }
        if (fileRows == 3)
            EXPECT_TRUE(warnings.isEmpty());
        else
            EXPECT_EQ(warnings, QStringList{name + " is incomplete: the file ends before the picture does"});
    }
    // Not one whole row: nothing to show, refused, the target untouched.
    TFastDIB target;
    target.SetSize(1, 1, 24, 0);
    WriteAll(file("norow.bmp"), whole.left(61));
    EXPECT_THROW(LoadPictureToDIB(file("norow.bmp"), target), EInvalidGraphic);
    EXPECT_EQ(target.Width, 1);
}

TEST_F(PictureFiles, AJpegCutShortLoadsWholeRowsOfBlocksThenOnePlainColour) {
    TFastDIB pic;
    pic.SetSize(48, 80, 24, 0);
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 48; ++x)
            pic.Pixels24[y][x] = bgr((x * 37 + y * 11) & 255, (x * y) & 255, (y * 5) & 255);
    const QByteArray whole = EncodeJPEG(pic, 90);
    TFastDIB reference;
    ASSERT_TRUE(DecodeJPEG(u8(whole), std::size_t(whole.size()), reference));
    const qsizetype sos = whole.indexOf(QByteArray("\xFF\xDA", 2));
    ASSERT_GT(sos, 0);
    const qsizetype scanStart =
        sos + 2 + ((std::uint8_t(whole[sos + 2]) << 8) | std::uint8_t(whole[sos + 3]));
    const qsizetype scanEnd = whole.size() - 2;
    int lastKept = 0;
    for (int part : {3, 5, 7, 9}) {
        const qsizetype cut = scanStart + (scanEnd - scanStart) * part / 10;
        const QString name = QStringLiteral("cut%1.jpg").arg(part);
        WriteAll(file(name), whole.left(cut));
        TFastDIB d;
        QStringList warnings;
        LoadPictureToDIB(file(name), d, &warnings);
        ASSERT_EQ(d.Width, 48);
        ASSERT_EQ(d.Height, 80);
        EXPECT_EQ(warnings, QStringList{name + " is incomplete: the file ends before the picture does"});
        // The rows read are the whole file's; every row after them is the plain colour.
        int kept = 0;
        while (kept < 80 && !rowIs(d, kept, MissingPixelsColor)) ++kept;
        EXPECT_GT(kept, 0) << part;
        EXPECT_LT(kept, 80) << part;
        for (int y = 0; y < kept; ++y)
            EXPECT_EQ(std::memcmp(d.Scanlines[y], reference.Scanlines[y], 48 * 3), 0) << part << " row " << y;
        for (int y = kept; y < 80; ++y) EXPECT_TRUE(rowIs(d, y, MissingPixelsColor)) << part << " row " << y;
        // A later cut keeps at least as much.
        EXPECT_GE(kept, lastKept) << part;
        lastKept = kept;
    }
    EXPECT_GE(lastKept, 32); // nine tenths of the data hold more than the first two rows of blocks
}

TEST_F(PictureFiles, ACutGifSaysWhatHappenedFirstAndTheCodecsLinesAfter) {
    TFastDIB pic;
    pic.SetSize(16, 16, 24, 0);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) pic.Pixels24[y][x] = bgr(x * 16, y * 16, 128);
    const QByteArray whole = MakeGIFForSave(pic)->SaveToMemory();
    WriteAll(file("photo.gif"), whole.left(whole.size() - 20));
    TFastDIB d;
    QStringList warnings;
    LoadPictureToDIB(file("photo.gif"), d, &warnings);
    EXPECT_EQ(d.Width, 16);
    ASSERT_GE(warnings.size(), 2);
    EXPECT_EQ(warnings[0],
              "photo.gif is incomplete: it ends before the last picture does; what was readable is shown");
    EXPECT_TRUE(warnings.mid(1).contains("Premature end of data")) << warnings.join('|').toStdString();
    // A whole GIF says nothing.
    WriteAll(file("whole.gif"), whole);
    LoadPictureToDIB(file("whole.gif"), d, &warnings);
    EXPECT_TRUE(warnings.isEmpty());
}

TEST_F(PictureFiles, ABmpIsSavedAtSixteenBitsOnASixteenBitScreenOnly) {
    TFastDIB pic;
    pic.SetSize(3, 2, 24, 0);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) pic.Pixels24[y][x] = bgr(64, 128, 255);
    pic.Pixels24[1][0] = bgr(7, 3, 8); // bottom-left: r 8 >> 3 = 1, g 3 >> 2 = 0, b 7 >> 3 = 0
    auto bits = [](const QByteArray& f) { return std::uint8_t(f[28]) | (std::uint8_t(f[29]) << 8); };
    auto word = [](const QByteArray& f, int at) {
        return std::uint8_t(f[at]) | (std::uint8_t(f[at + 1]) << 8);
    };

    SetScreenDepthHook([] { return 16; });
    SavePictureFromDIB(pic, file("s16.bmp"));
    const QByteArray f16 = ReadAll(file("s16.bmp"));
    EXPECT_EQ(bits(f16), 16);
    EXPECT_EQ(std::uint8_t(f16[30]), 3);                  // bit masks
    EXPECT_EQ(word(f16, 54), 0xF800);                     // red
    EXPECT_EQ(word(f16, 58), 0x07E0);                     // green
    EXPECT_EQ(word(f16, 62), 0x001F);                     // blue
    EXPECT_EQ(f16.size(), 66 + 2 * 8);                    // rows of 6 bytes padded to 8
    EXPECT_EQ(word(f16, 66), 1 << 11);                    // the bottom row first
    EXPECT_EQ(word(f16, 68), (31 << 11) | (32 << 5) | 8); // 255, 128, 64
    // Read back: each channel's bits at the top of its byte.
    TFastDIB back;
    LoadPictureToDIB(file("s16.bmp"), back);
    EXPECT_EQ(back.Pixels24[0][2], bgr(64, 128, 248));
    EXPECT_EQ(back.Pixels24[1][0], bgr(0, 0, 8));

    SetScreenDepthHook([] { return 24; });
    SavePictureFromDIB(pic, file("s24.bmp"));
    const QByteArray f24 = ReadAll(file("s24.bmp"));
    EXPECT_EQ(bits(f24), 24);
    EXPECT_EQ(f24.size(), 54 + 2 * 12);
    LoadPictureToDIB(file("s24.bmp"), back);
    EXPECT_TRUE(SameDIB(back, pic));
    SetScreenDepthHook([] { return 32; });
    SavePictureFromDIB(pic, file("s32.bmp"));
    EXPECT_EQ(bits(ReadAll(file("s32.bmp"))), 24);
}

TEST_F(PictureFiles, TheLimitAndTheMemoryCheck) {
    SetFreeMemoryHook([] { return std::int64_t{1} << 40; });
    EXPECT_NO_THROW(CheckPictureSize(16384, 16384));
    EXPECT_NO_THROW(CheckPictureSize(1, 16384));
    try {
        CheckPictureSize(16385, 1);
        ADD_FAILURE() << "16385 x 1 accepted";
    } catch (const EPictureTooLarge& e) {
        EXPECT_STREQ(e.what(), "The picture is too large: 16385 x 1 pixels (at most 16384 x 16384 pixels)");
    }
    EXPECT_THROW(CheckPictureSize(16384, 16385), EPictureTooLarge);
    EXPECT_THROW(CheckPictureSize(0, 5), EInvalidGraphic);
    // 16384 * 16384 * 3 = 805,306,368 bytes.
    SetFreeMemoryHook([] { return std::int64_t{300} * 1000 * 1000 + 999; });
    try {
        CheckPictureSize(16384, 16384);
        ADD_FAILURE() << "accepted beyond the free memory";
    } catch (const EPictureTooLarge& e) {
        EXPECT_STREQ(e.what(),
                     "The picture is too large for the free memory: 16384 x 16384 pixels needs 805 MB; "
                     "300 MB are free");
    }
    // Small pictures are never refused for memory; a JPEG declaring more than fits says so too.
    SetFreeMemoryHook([] { return std::int64_t{0}; });
    EXPECT_NO_THROW(CheckPictureSize(100, 100));
    SetFreeMemoryHook({});
    // A lowered limit is the limit of every decoder.
    PictureLimits().maxSide = 10;
    PictureLimits().maxPixels = 50;
    TFastDIB small;
    const QByteArray wide = handBmp(11, 1);
    EXPECT_THROW(DecodeBMP(u8(wide), std::size_t(wide.size()), small), EPictureTooLarge);
    EXPECT_THROW(CheckPictureSize(8, 8), EPictureTooLarge);
    EXPECT_NO_THROW(CheckPictureSize(10, 5));
}

TEST_F(PictureFiles, PngIcoAndPpmOpenThroughQtsReadersMetafilesAreRefused) {
    QImage img(2, 2, QImage::Format_ARGB32);
    img.setPixel(0, 0, qRgba(255, 0, 0, 255));
    img.setPixel(1, 0, qRgba(0, 0, 255, 0)); // transparent: white
    img.setPixel(0, 1, qRgba(0, 0, 0, 128)); // (255 * 127 + 127) / 255 = 127
    img.setPixel(1, 1, qRgba(0, 255, 0, 255));
    ASSERT_TRUE(img.save(file("a.png"), "png"));
    ASSERT_TRUE(img.save(file("a.ico"), "ico"));
    for (const QString name : {"a.png", "a.ico"}) {
        TFastDIB d;
        LoadPictureToDIB(file(name), d);
        ASSERT_EQ(d.Width, 2) << name.toStdString();
        EXPECT_EQ(d.Pixels24[0][0], bgr(0, 0, 255));
        EXPECT_EQ(d.Pixels24[0][1], bgr(255, 255, 255));
        EXPECT_EQ(d.Pixels24[1][0], bgr(127, 127, 127));
        EXPECT_EQ(d.Pixels24[1][1], bgr(0, 255, 0));
    }
    QImage grey(3, 1, QImage::Format_RGB32);
    grey.setPixel(0, 0, qRgb(1, 2, 3));
    grey.setPixel(1, 0, qRgb(40, 50, 60));
    grey.setPixel(2, 0, qRgb(255, 254, 253));
    ASSERT_TRUE(grey.save(file("b.ppm"), "ppm"));
    TFastDIB p;
    LoadPictureToDIB(file("b.ppm"), p);
    ASSERT_EQ(p.Width, 3);
    EXPECT_EQ(p.Pixels24[0][1], bgr(60, 50, 40));
    EXPECT_EQ(p.Pixels24[0][2], bgr(253, 254, 255));
    // A PNG declaring more than the limit is refused before decoding.
    PictureLimits().maxSide = 1;
    EXPECT_THROW(LoadPictureToDIB(file("a.png"), p), EPictureTooLarge);
    PictureLimits() = PictureSizeLimits{};
    // Metafiles: no reader, and a message that says so.
    WriteAll(file("c.wmf"), QByteArray("\xD7\xCD\xC6\x9A", 4) + QByteArray(40, '\0'));
    try {
        LoadPictureToDIB(file("c.wmf"), p);
        ADD_FAILURE() << "metafile accepted";
    } catch (const EInvalidGraphic& e) {
        EXPECT_NE(std::string(e.what()).find("Metafiles (.wmf) cannot be opened"), std::string::npos)
            << e.what();
    }
    // The open dialogs list them, after one entry for every picture type.
    const QString filter = OpenPictureFilterWithAllTypes("BMP, JPG, GIF|*.bmp;*.jpg;*.gif");
    EXPECT_TRUE(filter.startsWith("All pictures|*.bmp;*.jpg;*.jpeg;*.gif;")) << filter.toStdString();
    EXPECT_TRUE(filter.contains("|BMP, JPG, GIF|*.bmp;*.jpg;*.gif|"));
    for (const char* t : {"|PNG (*.png)|*.png", "|ICO (*.ico)|*.ico", "|PPM (*.ppm)|*.ppm"})
        EXPECT_TRUE(filter.contains(t)) << t;
    EXPECT_FALSE(filter.contains("(*.gif)|*.gif|GIF")) << "GIF and JPEG are never Qt's";
    EXPECT_FALSE(QtPictureExtensions().contains("jpg"));
    EXPECT_FALSE(QtPictureExtensions().contains("gif"));
    EXPECT_FALSE(QtPictureExtensions().contains("jfif"));
    EXPECT_FALSE(QtPictureExtensions().contains("bmp"));
}

TEST_F(PictureFiles, AnIconsAlphaBecomesTheGifFramesMask) {
    QImage img(2, 1, QImage::Format_ARGB32);
    img.setPixel(0, 0, qRgba(10, 20, 30, 255));
    img.setPixel(1, 0, qRgba(200, 100, 50, 0));
    ASSERT_TRUE(img.save(file("i.ico"), "ico"));
    TPicture pic;
    pic.LoadFromFile(file("i.ico"));
    auto* icon = dynamic_cast<TQtImage*>(pic.Graphic());
    ASSERT_NE(icon, nullptr);
    TGIFGraphic gif;
    gif.AssignImage(icon->Image());
    EXPECT_TRUE(gif.Image().IsTransparent());
    const QImage frame = gif.FrameImage(0);
    ASSERT_EQ(frame.width(), 2);
    EXPECT_EQ(qAlpha(frame.pixel(1, 0)), 0);
    EXPECT_EQ(qAlpha(frame.pixel(0, 0)), 255); // opaque: its colour as the codec reduced it
}
