// The picture container: BMP and JPEG files read and written exactly or within JPEG's error, the
// naming rules of Save As, refusal of bad files with the target image untouched, safe saving, the
// class registry and the clipboard.
#include "platform/Picture.h"
#include "common/QtTestSupport.h"
#include "platform/JPEGImage.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>

namespace {

const QString Data = QStringLiteral(MOZARO_TEST_DATA "/picture/");

TFColor px(const TFastDIB& d, int x, int y) {
    return d.Pixels24[y][x];
}
TFColor bgr(int b, int g, int r) {
    return TFColor{std::uint8_t(b), std::uint8_t(g), std::uint8_t(r)};
}

// A picture with a different value in every channel of every pixel (odd width: rows are padded).
void pattern(TFastDIB& d, int w, int h) {
    d.SetSize(w, h, 24, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) d.Pixels24[y][x] = bgr((x * 7) & 255, (y * 11) & 255, (x ^ y) & 255);
}

// A smooth picture, which JPEG keeps closely.
void smooth(TFastDIB& d, int w, int h) {
    d.SetSize(w, h, 24, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) d.Pixels24[y][x] = bgr(128, y * 5, x * 4);
}

int maxError(const TFastDIB& a, const TFastDIB& b) {
    int m = 0;
    for (int y = 0; y < a.Height; ++y)
        for (int x = 0; x < a.Width; ++x) {
            const TFColor p = a.Pixels24[y][x], q = b.Pixels24[y][x];
            m = std::max({m, std::abs(p.b - q.b), std::abs(p.g - q.g), std::abs(p.r - q.r)});
        }
    return m;
}

const std::uint8_t* u8(const QByteArray& a) {
    return reinterpret_cast<const std::uint8_t*>(a.constData());
}

class PictureTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString file(const QString& name) const { return dir.filePath(name); }
    // The image a failed load must leave alone.
    TFastDIB target;
    void SetUp() override { pattern(target, 5, 4); }
    void expectTargetUnchanged() {
        TFastDIB fresh;
        pattern(fresh, 5, 4);
        EXPECT_TRUE(SameDIB(target, fresh));
    }
    // Loads and expects a refusal whose message contains `text`.
    void expectRefused(const QByteArray& bytes, const QString& name, const std::string& text) {
        const QString f = file(name);
        WriteAll(f, bytes);
        try {
            LoadPictureToDIB(f, target);
            ADD_FAILURE() << name.toStdString() << " was accepted";
            pattern(target, 5, 4);
        } catch (const EInvalidGraphic& e) {
            EXPECT_NE(std::string(e.what()).find(text), std::string::npos) << e.what();
        }
        expectTargetUnchanged();
    }
};

TEST_F(PictureTest, ReadsBitmapsOfEveryDepth) {
    // Each picture's size and its first pixels, row by row from the top.
    struct Picture {
        const char* file;
        int w, h;
        std::vector<TFColor> pixels;
    };
    const TFColor k = bgr(0, 0, 0), w = bgr(255, 255, 255), blue = bgr(255, 0, 0), green = bgr(0, 255, 0),
                  red = bgr(0, 0, 255), grey = bgr(128, 128, 128);
    const Picture pictures[] = {
        // 24 bits, stored bottom row first: red, green, blue below white, grey, black.
        {"rgb24.bmp", 3, 2, {w, grey, k, red, green, blue}},
        // 8 bits, top row first; palette black, blue, green, red.
        {"pal8_topdown.bmp", 4, 2, {k, blue, green, red, red}},
        // 4 bits: nibbles 0 1 1 0 1 of a black and white palette.
        {"pal4.bmp", 5, 1, {k, w, w, k, w}},
        // 32 bits: the fourth byte is not a colour.
        {"rgb32.bmp", 2, 1, {bgr(10, 20, 30), bgr(40, 50, 60)}},
        // Run-length coded: bottom row four blue, top row two green, two red.
        {"rle8.bmp", 4, 2, {green, green, red, red, blue, blue, blue, blue}}};
    TFastDIB d;
    for (const Picture& p : pictures) {
        SCOPED_TRACE(p.file);
        LoadPictureToDIB(Data + QString::fromLatin1(p.file), d);
        EXPECT_EQ(d.Bpp, 24);
        ASSERT_EQ(QSize(d.Width, d.Height), QSize(p.w, p.h));
        for (int i = 0; i < int(p.pixels.size()); ++i) EXPECT_EQ(px(d, i % p.w, i / p.w), p.pixels[i]) << i;
    }

    // 2 x 2 at 16 bits, 5-6-5 masks: blue, white above red, green (full channels at least 248).
    LoadPictureToDIB(Data + "rgb565.bmp", d);
    EXPECT_GE(px(d, 0, 0).b, 248);
    EXPECT_EQ(px(d, 0, 0).r, 0);
    EXPECT_GE(px(d, 1, 0).g, 248);
    EXPECT_GE(px(d, 0, 1).r, 248);
    EXPECT_EQ(px(d, 0, 1).b, 0);
    EXPECT_GE(px(d, 1, 1).g, 248);
    EXPECT_EQ(px(d, 1, 1).r, 0);
}

TEST_F(PictureTest, BitmapRoundTripIsExact) {
    TFastDIB src, back;
    pattern(src, 37, 23);
    SavePictureFromDIB(src, file("out.bmp"));
    const QByteArray bytes = ReadAll(file("out.bmp"));
    // A 24-bit file: 14 + 40 header bytes, then 23 rows of 37 * 3 = 111 bytes padded to 112.
    EXPECT_EQ(bytes.size(), 54 + 23 * 112);
    EXPECT_EQ(bytes.left(2), QByteArray("BM"));
    EXPECT_EQ(static_cast<unsigned char>(bytes[28]), 24u);
    LoadPictureToDIB(file("out.bmp"), back);
    EXPECT_TRUE(SameDIB(src, back));
}

TEST_F(PictureTest, JpegRoundTripStaysCloseAndQualityIsHonoured) {
    TFastDIB src, back;
    smooth(src, 64, 48);
    SavePictureFromDIB(src, file("q90.jpg"), 90);
    SavePictureFromDIB(src, file("q10.jpg"), 10);
    const QByteArray q90 = ReadAll(file("q90.jpg"));
    EXPECT_EQ(q90.left(3), QByteArray("\xFF\xD8\xFF"));
    EXPECT_LT(ReadAll(file("q10.jpg")).size(), q90.size());
    LoadPictureToDIB(file("q90.jpg"), back);
    ASSERT_EQ(back.Width, 64);
    ASSERT_EQ(back.Height, 48);
    EXPECT_LE(maxError(src, back), 12);

    // Qualities outside 0..100 are clamped.
    EXPECT_EQ(EncodeJPEG(src, 150), EncodeJPEG(src, 100));
    EXPECT_EQ(EncodeJPEG(src, -5), EncodeJPEG(src, 0));
    TJPEGImage j;
    EXPECT_EQ(j.CompressionQuality(), 90);
    j.Assign(src);
    EXPECT_EQ(j.SaveToMemory(), EncodeJPEG(src, 90));
}

TEST_F(PictureTest, ReadsJpegVariants) {
    TFastDIB d;
    LoadPictureToDIB(Data + "baseline.jpg", d);
    EXPECT_EQ(d.Width, 16);
    EXPECT_EQ(d.Height, 12);
    LoadPictureToDIB(Data + "progressive.jpg", d);
    EXPECT_EQ(d.Width, 16);
    LoadPictureToDIB(Data + "restart.jpg", d);
    EXPECT_EQ(d.Width, 24);
    // Grey ramp written as x * 16 + y * 8.
    LoadPictureToDIB(Data + "gray.jpg", d);
    ASSERT_EQ(d.Width, 8);
    const TFColor g = px(d, 3, 2);
    EXPECT_EQ(g.r, g.g);
    EXPECT_EQ(g.g, g.b);
    EXPECT_NEAR(g.r, 64, 6);
    // CMYK (Adobe) with c, m, y, k = 0, 60, 120, 180 at (0, 0): r = c k / 255 = 0, g = 42, b = 85.
    LoadPictureToDIB(Data + "cmyk.jpg", d);
    ASSERT_EQ(d.Width, 8);
    EXPECT_NEAR(px(d, 0, 0).r, 0, 8);
    EXPECT_NEAR(px(d, 0, 0).g, 42, 8);
    EXPECT_NEAR(px(d, 0, 0).b, 85, 8);
}

TEST_F(PictureTest, EightBitDecodingQuantisesTheColours) {
    // Three flat stripes; compressed at quality 100 and decoded again at 8 bits, as Save As does for GIF.
    TFastDIB src;
    src.SetSize(48, 16, 24, 0);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 48; ++x)
            src.Pixels24[y][x] = x < 16 ? bgr(0, 0, 200) : x < 32 ? bgr(0, 200, 0) : bgr(200, 0, 0);
    TJPEGImage j;
    j.SetCompressionQuality(100);
    j.Assign(src);
    j.JPEGNeeded();
    j.SetPixelFormat(TJPEGPixelFormat::jf8Bit);
    const TFastDIB& q = j.Bitmap();
    ASSERT_EQ(q.Bpp, 8);
    EXPECT_GE(q.ClrUsed(), 3u);
    EXPECT_LE(q.ClrUsed(), 256u);
    // Away from the stripe edges every pixel's palette colour is its stripe's colour.
    for (int x : {4, 24, 44}) {
        const TFColorA c = (*q.Colors)[q.Pixels8[8][x]];
        const TFColor want = src.Pixels24[8][x];
        EXPECT_NEAR(c.b, want.b, 6);
        EXPECT_NEAR(c.g, want.g, 6);
        EXPECT_NEAR(c.r, want.r, 6);
        EXPECT_LT(q.Pixels8[8][x], q.ClrUsed());
    }
    TFastDIB back;
    j.AssignTo(back); // back to 24 bits through the colour table
    EXPECT_EQ(back.Bpp, 24);
    // Colours bleed across the stripe edges (chroma is stored at half resolution); elsewhere they hold.
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 48; ++x) {
            if (std::abs(x - 16) < 4 || std::abs(x - 32) < 4) continue;
            const TFColor p = back.Pixels24[y][x], o = src.Pixels24[y][x];
            ASSERT_LE(std::max({std::abs(p.b - o.b), std::abs(p.g - o.g), std::abs(p.r - o.r)}), 12)
                << x << "," << y;
        }

    // CMYK cannot be quantised by libjpeg: refused clearly.
    TFastDIB d;
    const QByteArray cmyk = ReadAll(Data + "cmyk.jpg");
    EXPECT_THROW(DecodeJPEG(u8(cmyk), cmyk.size(), d, TJPEGPixelFormat::jf8Bit), EInvalidGraphic);
}

TEST_F(PictureTest, FormatComesFromTheFilesOwnName) {
    // ".GIF" or ".BMP" anywhere in the file's own name, GIF first; JPEG otherwise.
    const std::pair<const char*, TSaveFormat> names[] = {
        {"/p/picture.gif.jpg", TSaveFormat::GIF}, {"/p/photo.Bmp.gif", TSaveFormat::GIF},
        {"/p/tile.BMP", TSaveFormat::BMP},        {"/p/a.bmp.jpg", TSaveFormat::BMP},
        {"/p/picture.png", TSaveFormat::JPEG},    {"/p/noextension", TSaveFormat::JPEG},
        {"/p/x.gif/pic.jpg", TSaveFormat::JPEG},  {"/p/x.bmp/pic.jpg", TSaveFormat::JPEG}};
    for (const auto& [name, format] : names) EXPECT_EQ(SaveFormatFromName(name), format) << name;

    // A folder named like a GIF does not change what is written into it.
    TFastDIB src;
    pattern(src, 8, 8);
    ASSERT_TRUE(QDir(dir.path()).mkpath("x.gif"));
    SavePictureFromDIB(src, file("x.gif/pic.png"));
    EXPECT_EQ(ReadAll(file("x.gif/pic.png")).left(2), QByteArray("\xFF\xD8")); // JPEG data

    // Without the GIF class a GIF name is refused clearly, and nothing is written.
    if (!TPicture::FileFormatRegistered("gif")) {
        try {
            SavePictureFromDIB(src, file("picture.gif.jpg"));
            ADD_FAILURE() << "GIF saved without a GIF class";
        } catch (const EInvalidGraphic& e) {
            EXPECT_NE(std::string(e.what()).find("GIF"), std::string::npos);
        }
        EXPECT_FALSE(QFile::exists(file("picture.gif.jpg")));
        expectRefused("GIF89a", "anim.gif", "GIF");
    }
    expectRefused("hello", "notes.txt", "Unknown picture file extension (.txt)");
}

TEST_F(PictureTest, CorruptFilesAreRefusedAndCutOnesNeverLoadSilently) {
    for (const char* name :
         {"rgb24.bmp", "pal8_topdown.bmp", "pal4.bmp", "rgb565.bmp", "rgb32.bmp", "rle8.bmp", "baseline.jpg",
          "progressive.jpg", "restart.jpg", "gray.jpg", "cmyk.jpg"}) {
        const QByteArray whole = ReadAll(Data + QString::fromLatin1(name));
        ASSERT_FALSE(whole.isEmpty()) << name;
        const QString ext = QString::fromLatin1(name).section(u'.', -1);
        TFastDIB full;
        LoadPictureToDIB(Data + QString::fromLatin1(name), full);
        for (qsizetype cut :
             {qsizetype(0), qsizetype(1), qsizetype(10), whole.size() / 2, whole.size() - 6}) {
            const QString cutName =
                QStringLiteral("%1-cut-at-%2.%3").arg(QString::fromLatin1(name)).arg(cut).arg(ext);
            if (cut <= 10) {
                expectRefused(whole.left(cut), cutName, "");
                continue;
            }
            // Later cuts: refused (nothing readable yet) or loaded at the full size with the warning.
            WriteAll(file(cutName), whole.left(cut));
            TFastDIB d;
            QStringList warnings;
            try {
                LoadPictureToDIB(file(cutName), d, &warnings);
            } catch (const EInvalidGraphic&) {
                continue;
            }
            EXPECT_EQ(d.Width, full.Width) << cutName.toStdString();
            EXPECT_EQ(d.Height, full.Height) << cutName.toStdString();
            EXPECT_EQ(warnings.value(0), cutName + " is incomplete: the file ends before the picture does");
        }
    }
    // Text under a picture's name, and a JPEG under a BMP name.
    expectRefused("This is not a picture at all.\n", "text.jpg", "JPEG");
    expectRefused("This is not a picture at all.\n", "text.bmp", "bitmap");
    // A JPEG whose data ends just before the end marker has every row: it is read.
    const QByteArray jpg = ReadAll(Data + "baseline.jpg");
    WriteAll(file("noend.jpg"), jpg.left(jpg.size() - 2));
    TFastDIB d;
    EXPECT_NO_THROW(LoadPictureToDIB(file("noend.jpg"), d));
    EXPECT_EQ(d.Width, 16);
    // A missing file is an error of its own, and leaves the image too.
    EXPECT_THROW(LoadPictureToDIB(file("missing.bmp"), target), std::runtime_error);
    expectTargetUnchanged();
}

// baseline.jpg with the frame header's height and width replaced.
QByteArray jpegSized(int w, int h) {
    QByteArray j = ReadAll(Data + "baseline.jpg");
    const qsizetype sof = j.indexOf(QByteArray("\xFF\xC0", 2));
    if (sof < 0) return {};
    j[sof + 5] = char(h >> 8), j[sof + 6] = char(h & 255);
    j[sof + 7] = char(w >> 8), j[sof + 8] = char(w & 255);
    return j;
}

TEST_F(PictureTest, OversizedPicturesAreRefusedBeforeDecoding) {
    expectRefused(BmpHeader(16385, 1), "wide.bmp", "too large");
    expectRefused(BmpHeader(1, -16385), "tall.bmp", "too large");
    expectRefused(BmpHeader(16385, 16385), "big.bmp", "too large");
    expectRefused(BmpHeader(16384, 16384), "edge.bmp",
                  "truncated"); // the largest allowed size: refused only for holding no row
    expectRefused(BmpHeader(0, 5), "empty.bmp", "invalid picture size");
    expectRefused(jpegSized(16385, 1), "wide.jpg", "too large");
    expectRefused(jpegSized(16385, 16385), "big.jpg", "too large");
    // Sizes libjpeg itself refuses are too large, not damaged.
    expectRefused(jpegSized(65535, 65535), "huge.jpg", "too large");
    // A file far larger than any allowed picture is not even read (a sparse file: no disk used).
    {
        QFile f(file("huge.bmp"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(BmpHeader(100, 100));
        ASSERT_TRUE(f.resize(PictureLimits().maxPixels * 4 + 1024 * 1024 + 1));
    }
    try {
        LoadPictureToDIB(file("huge.bmp"), target);
        ADD_FAILURE() << "huge file accepted";
    } catch (const EInvalidGraphic& e) {
        EXPECT_STREQ(e.what(), "huge.bmp cannot be read: the file is too large to be a picture");
    }
    expectTargetUnchanged();
    // The limit itself can be lowered (the fuzz harness does).
    PictureLimits().maxSide = 10;
    expectRefused(ReadAll(Data + "baseline.jpg"), "sixteen.jpg", "too large");
    PictureLimits() = PictureSizeLimits{};
}

TEST_F(PictureTest, FailedSaveLeavesTheExistingFileIntact) {
    const QByteArray old = ReadAll(Data + "rgb24.bmp");
    TFastDIB big;
    pattern(big, 200, 200); // 120 KB as BMP
    for (const QString name : {"keep.bmp", "keep.jpg"}) {
        WriteAll(file(name), old);
        {
            FileSizeLimit limit(2000);
            try {
                SavePictureFromDIB(big, file(name), 100);
                ADD_FAILURE() << "save reported success";
            } catch (const std::runtime_error& e) {
                EXPECT_EQ(std::string(e.what()),
                          "Cannot write " + file(name).toStdString() + ": file too large");
            }
        }
        EXPECT_EQ(ReadAll(file(name)), old) << name.toStdString();
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2); // no temporary file left
    // An empty image is not written at all.
    TFastDIB empty;
    EXPECT_THROW(SavePictureFromDIB(empty, file("keep.bmp")), EInvalidGraphic);
    EXPECT_EQ(ReadAll(file("keep.bmp")), old);
    EXPECT_THROW(SavePictureFromDIB(big, dir.filePath("no/folder/x.bmp")), std::runtime_error);
}

// A picture class of the kind the GIF codec registers: its own extension and clipboard format.
class TestGraphic : public TBitmap {
public:
    static inline int loads = 0;
    void LoadFromMemory(const std::uint8_t* data, std::size_t size) override {
        ++loads;
        if (size < 4 || std::string(reinterpret_cast<const char*>(data), 4) != "TST1")
            throw std::runtime_error("not a test picture"); // a codec's own exception class
        TFastDIB d;
        d.SetSize(data[size - 1], 1, 24, 0);
        Assign(d);
    }
    void LoadFromClipboardFormat(const QMimeData& data, const QString& format) override {
        const QByteArray b = data.data(format);
        LoadFromMemory(u8(b), static_cast<std::size_t>(b.size()));
    }
};

TEST_F(PictureTest, RegisteredClassesLoadByExtensionAndClipboardFormat) {
    EnsureQtApplication();
    TPicture::RegisterFileFormat(".TST", "Test Image", [] { return std::make_unique<TestGraphic>(); });
    EXPECT_TRUE(TPicture::FileFormatRegistered("tst"));
    EXPECT_EQ(TPicture::FileFormatDescription("Tst"), "Test Image");
    WriteAll(file("a.tst"), QByteArray("TST1") + char(7));
    TFastDIB d;
    LoadPictureToDIB(file("a.tst"), d);
    EXPECT_EQ(d.Width, 7);
    // The codec's own exception reaches the caller as a picture error, with its text.
    expectRefused("JUNK", "b.tst", "not a test picture");
    const QByteArray junk("JUNK");
    EXPECT_THROW(LoadPictureToDIB(u8(junk), 4, "TST", d), EInvalidGraphic);
    EXPECT_EQ(d.Width, 7);

    const QString mime =
        TPicture::RegisterClipboardFormat("Test Image", [] { return std::make_unique<TestGraphic>(); });
    EXPECT_EQ(mime, TPicture::ClipboardMimeType("Test Image"));
    auto* md = new QMimeData;
    md->setData(mime, QByteArray("TST1") + char(9));
    QGuiApplication::clipboard()->setMimeData(md);
    EXPECT_TRUE(TPicture::ClipboardHasPicture());
    EXPECT_FALSE(ClipboardHasBitmap());
    TPicture pic;
    ASSERT_TRUE(pic.LoadFromClipboard());
    EXPECT_NE(dynamic_cast<TestGraphic*>(pic.Graphic()), nullptr);
    EXPECT_EQ(pic.Width(), 9);

    TPicture::UnregisterFileFormat("tst");
    expectRefused("TST1\x07", "c.tst", "Unknown picture file extension (.tst)");
    QGuiApplication::clipboard()->clear();
}

TEST_F(PictureTest, ClipboardRoundTrip) {
    EnsureQtApplication();
    QGuiApplication::clipboard()->clear();
    EXPECT_FALSE(ClipboardHasBitmap());
    EXPECT_FALSE(PasteDIBFromClipboard(target)); // nothing there: image unchanged
    expectTargetUnchanged();

    TFastDIB src, back;
    pattern(src, 33, 17);
    CopyDIBToClipboard(src);
    EXPECT_TRUE(ClipboardHasBitmap());
    ASSERT_TRUE(PasteDIBFromClipboard(back));
    EXPECT_TRUE(SameDIB(src, back));

    // Through the container: a bitmap picture comes back.
    TPicture pic;
    ASSERT_TRUE(pic.LoadFromClipboard());
    ASSERT_NE(dynamic_cast<TBitmap*>(pic.Graphic()), nullptr);
    EXPECT_TRUE(SameDIB(static_cast<TBitmap*>(pic.Graphic())->Bitmap(), src));
    pic.SaveToClipboard();
    ASSERT_TRUE(PasteDIBFromClipboard(back));
    EXPECT_TRUE(SameDIB(src, back));

    // A clipboard picture beyond the limits is refused and leaves the image.
    QImage huge(16385, 1, QImage::Format_RGB32);
    huge.fill(Qt::red);
    QGuiApplication::clipboard()->setImage(huge);
    EXPECT_THROW(PasteDIBFromClipboard(target), EInvalidGraphic);
    expectTargetUnchanged();
    QGuiApplication::clipboard()->clear();
}

} // namespace
