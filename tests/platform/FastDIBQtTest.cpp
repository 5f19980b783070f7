// The Qt bridge of TFastDIB: shared-byte views, loaders and drawing onto a QPainter.
#include "platform/FastDIBQt.h"
#include "platform/Picture.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QResource>
#include <QTemporaryDir>

namespace {

TFColor px(int r, int g, int b) {
    return MakeFColor(r, g, b);
}

// 7 x 3 picture whose pixel (x, y) is r = 10 x + 3, g = 20 y + 7, b = x + y (all distinct).
QImage gradientPicture() {
    QImage img(7, 3, QImage::Format_RGB32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 7; ++x) img.setPixel(x, y, qRgb(10 * x + 3, 20 * y + 7, x + y));
    return img;
}

void expectGradient(const TFastDIB& dib) {
    ASSERT_EQ(dib.Width, 7);
    ASSERT_EQ(dib.Height, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 7; ++x)
            EXPECT_EQ(dib.GetPixel(y, x), px(10 * x + 3, 20 * y + 7, x + y)) << x << "," << y;
}

// A compiled resource block (format 1) holding one file at the root, built by hand so the test needs
// no resource compiler: header, names, tree of two nodes (root directory, file), data. Big-endian.
QByteArray resourceBlock(const QString& name, const QByteArray& content) {
    auto be32 = [](QByteArray& a, quint32 v) {
        for (int s = 24; s >= 0; s -= 8) a.append(static_cast<char>((v >> s) & 0xFF));
    };
    auto be16 = [](QByteArray& a, quint16 v) {
        a.append(static_cast<char>(v >> 8));
        a.append(static_cast<char>(v & 0xFF));
    };
    quint32 hash = 0; // the lookup's name hash
    for (QChar c : name) {
        hash = (hash << 4) + c.unicode();
        hash ^= (hash & 0xf0000000u) >> 23;
        hash &= 0x0fffffffu;
    }
    QByteArray names;
    be16(names, static_cast<quint16>(name.size()));
    be32(names, hash);
    for (QChar c : name) be16(names, c.unicode());
    QByteArray tree;
    be32(tree, 0); // root: name offset, directory flag, one child at node 1
    be16(tree, 2);
    be32(tree, 1);
    be32(tree, 1);
    be32(tree, 0); // file: name offset, no flags, any territory, language C, data offset
    be16(tree, 0);
    be16(tree, 0);
    be16(tree, 1);
    be32(tree, 0);
    QByteArray data;
    be32(data, static_cast<quint32>(content.size()));
    data.append(content);
    const quint32 namesAt = 20, treeAt = namesAt + names.size(), dataAt = treeAt + tree.size();
    QByteArray block("qres");
    be32(block, 1);
    be32(block, treeAt);
    be32(block, dataAt);
    be32(block, namesAt);
    return block + names + tree + data;
}

} // namespace

TEST(FastDIBQtView, SharesBytesBothWays) {
    TFastDIB dib;
    dib.SetSize(5, 3, 24, 0); // BWidth 16: one gap byte per row
    for (int y = 0; y < 3; ++y) dib.Scanlines[y][15] = 0xAB;
    QImage view = DIBView(dib);
    ASSERT_FALSE(view.isNull());
    EXPECT_EQ(view.format(), QImage::Format_BGR888);
    EXPECT_EQ(view.constBits(), dib.Bits);
    EXPECT_EQ(view.bytesPerLine(), 16);
    {
        QPainter p(&view);
        p.fillRect(QRect(1, 1, 2, 1), QColor(10, 20, 30));
    }
    EXPECT_EQ(dib.Pixels24[1][1], px(10, 20, 30));
    EXPECT_EQ(dib.Pixels24[1][2], px(10, 20, 30));
    EXPECT_EQ(dib.Pixels24[1][0], px(0, 0, 0));
    EXPECT_EQ(dib.Pixels24[1][3], px(0, 0, 0));
    EXPECT_EQ(dib.Pixels24[0][1], px(0, 0, 0));
    // A fill of everything stops at the last pixel of each row.
    {
        QPainter p(&view);
        p.fillRect(view.rect(), Qt::white);
    }
    for (int y = 0; y < 3; ++y) {
        EXPECT_EQ(dib.Pixels24[y][4], px(255, 255, 255));
        EXPECT_EQ(dib.Scanlines[y][15], 0xAB);
    }
    // And a pixel set in the image is seen by the view.
    dib.SetPixel(2, 3, px(1, 2, 3));
    EXPECT_EQ(view.pixel(3, 2), qRgb(1, 2, 3));
}

TEST(FastDIBQtView, ThirtyTwoBitsAndUnsized) {
    TFastDIB dib;
    EXPECT_TRUE(DIBView(dib).isNull());
    dib.SetSize(3, 2, 32, 0);
    QImage view = DIBView(dib);
    EXPECT_EQ(view.format(), QImage::Format_RGB32);
    EXPECT_EQ(view.constBits(), dib.Bits);
    {
        QPainter p(&view);
        p.fillRect(QRect(2, 1, 1, 1), QColor(200, 100, 50));
    }
    EXPECT_EQ(dib.Pixels32[1][2].r, 200);
    EXPECT_EQ(dib.Pixels32[1][2].g, 100);
    EXPECT_EQ(dib.Pixels32[1][2].b, 50);
    EXPECT_EQ(dib.Pixels32[1][1].r, 0);
}

TEST(FastDIBQtLoad, FromQImageExactAtEveryTrueColourDepth) {
    TFastDIB dib;
    LoadFromQImage(dib, gradientPicture());
    EXPECT_EQ(dib.Bpp, 24);
    expectGradient(dib);

    LoadFromQImage(dib, gradientPicture(), 32);
    EXPECT_EQ(dib.Bpp, 32);
    expectGradient(dib);

    // 565 keeps 5, 6 and 5 bits: values that are multiples of 8 (and 4 for green) survive exactly.
    QImage img(2, 1, QImage::Format_RGB32);
    img.setPixel(0, 0, qRgb(248, 252, 248));
    img.setPixel(1, 0, qRgb(8, 4, 16));
    LoadFromQImage(dib, img, 16);
    EXPECT_EQ(dib.Bpp, 16);
    EXPECT_EQ(dib.Pixels16[0][0], 0xFFFF);
    EXPECT_EQ(dib.Pixels16[0][1], (1 << 11) | (1 << 5) | 2);
    EXPECT_EQ(dib.GetPixel(0, 1), px(8, 4, 16));
}

TEST(FastDIBQtLoad, PaletteDepths) {
    QImage img(3, 1, QImage::Format_RGB32);
    img.setPixel(0, 0, qRgb(255, 0, 0));
    img.setPixel(1, 0, qRgb(0, 0, 255));
    img.setPixel(2, 0, qRgb(255, 0, 0));
    TFastDIB dib;
    LoadFromQImage(dib, img, 8);
    ASSERT_EQ(dib.Bpp, 8);
    EXPECT_EQ(dib.GetPixel(0, 0), px(255, 0, 0));
    EXPECT_EQ(dib.GetPixel(0, 1), px(0, 0, 255));
    EXPECT_EQ(dib.GetPixelB(0, 0), dib.GetPixelB(0, 2));

    // 4 bits use the standard 16 colours: pure red is entry 9, pure blue entry 12.
    LoadFromQImage(dib, img, 4);
    ASSERT_EQ(dib.Bpp, 4);
    EXPECT_EQ(dib.GetPixelB(0, 0), 9);
    EXPECT_EQ(dib.GetPixelB(0, 1), 12);
    EXPECT_EQ(dib.GetPixelB(0, 2), 9);
    EXPECT_EQ(dib.Scanlines[0][0], 0x9C);
}

TEST(FastDIBQtLoad, NullImageOrBadDepthLeavesTheImage) {
    TFastDIB dib;
    dib.SetSize(2, 2, 24, 0);
    dib.SetPixel(1, 1, px(9, 8, 7));
    LoadFromQImage(dib, QImage());
    LoadFromQImage(dib, gradientPicture(), 12);
    EXPECT_EQ(dib.Width, 2);
    EXPECT_EQ(dib.GetPixel(1, 1), px(9, 8, 7));
}

TEST(FastDIBQtLoad, FileRoundTripIsExact) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString name = dir.filePath("pic.bmp");
    ASSERT_TRUE(gradientPicture().save(name));
    TFastDIB dib;
    QString error;
    ASSERT_TRUE(LoadFromFile(dib, name, 24, &error)) << qPrintable(error);
    EXPECT_TRUE(error.isEmpty());
    expectGradient(dib);
    // Only bitmap files: a PNG is refused, whatever its name.
    const QString png = dir.filePath("pic2.bmp");
    ASSERT_TRUE(gradientPicture().save(png, "PNG"));
    EXPECT_FALSE(LoadFromFile(dib, png, 24, &error));
}

TEST(FastDIBQtLoad, FailuresLeaveTheImageAndSayWhy) {
    TFastDIB dib;
    dib.SetSize(2, 2, 24, 0);
    dib.SetPixel(0, 1, px(4, 5, 6));
    QString error;
    EXPECT_FALSE(LoadFromFile(dib, "/nonexistent/none.png", 24, &error));
    EXPECT_TRUE(error.contains(QLatin1String("none.png"))) << qPrintable(error);

    QTemporaryDir dir;
    const QString junk = dir.filePath("junk.bmp");
    {
        QFile f(junk);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("BM\x40\0\0\0 truncated");
    }
    error.clear();
    EXPECT_FALSE(LoadFromFile(dib, junk, 24, &error));
    EXPECT_FALSE(error.isEmpty());

    EXPECT_FALSE(LoadFromRes(dib, "no/such/picture.png", 24, &error));
    EXPECT_EQ(dib.Width, 2);
    EXPECT_EQ(dib.GetPixel(0, 1), px(4, 5, 6));
}

TEST(FastDIBQtLoad, OversizeRefusedBeforeDecoding) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // 1-bit pictures keep these files small; only the announced size matters.
    auto write = [&](const QString& name, int w, int h) {
        QImage img(w, h, QImage::Format_Mono);
        img.fill(0);
        const QString path = dir.filePath(name);
        EXPECT_TRUE(img.save(path, "BMP"));
        return path;
    };
    TFastDIB dib;
    dib.SetSize(1, 1, 24, 0);
    dib.SetPixel(0, 0, px(1, 2, 3));
    QString error;
    EXPECT_FALSE(LoadFromFile(dib, write("wide.bmp", 16385, 1), 24, &error));
    EXPECT_TRUE(error.contains(QLatin1String("16385 x 1"))) << qPrintable(error);
    EXPECT_FALSE(LoadFromFile(dib, write("tall.bmp", 1, 16385), 24, &error));
    // The limit lowered to 64 pixels in all: 9 x 8 is over it.
    PictureLimits().maxPixels = 64;
    EXPECT_FALSE(LoadFromFile(dib, write("many.bmp", 9, 8), 24, &error));
    EXPECT_TRUE(error.contains(QLatin1String("too large"))) << qPrintable(error);
    PictureLimits() = PictureSizeLimits{};
    EXPECT_EQ(dib.Width, 1);
    EXPECT_EQ(dib.GetPixel(0, 0), px(1, 2, 3));
    // Exactly 16384 on a side is allowed.
    EXPECT_TRUE(LoadFromFile(dib, write("edge.bmp", 16384, 2), 24, &error)) << qPrintable(error);
    EXPECT_EQ(dib.Width, 16384);
    EXPECT_EQ(dib.Height, 2);
}

TEST(FastDIBQtDraw, DrawAndStretch) {
    TFastDIB dib;
    dib.SetSize(2, 2, 24, 0);
    dib.SetPixel(0, 0, px(255, 0, 0));
    dib.SetPixel(0, 1, px(0, 255, 0));
    dib.SetPixel(1, 0, px(0, 0, 255));
    dib.SetPixel(1, 1, px(255, 255, 255));
    QImage canvas(10, 10, QImage::Format_RGB32);
    canvas.fill(qRgb(9, 9, 9));
    {
        QPainter p(&canvas);
        DrawDIB(p, dib, 3, 4);
        StretchDIB(p, dib, QRect(6, 0, 4, 4));
    }
    const QRgb red = qRgb(255, 0, 0), green = qRgb(0, 255, 0), blue = qRgb(0, 0, 255),
               white = qRgb(255, 255, 255), bg = qRgb(9, 9, 9);
    // Drawn at (3, 4); doubled at (6, 0): each source pixel covers a 2 x 2 block, no blending.
    const std::tuple<int, int, QRgb> want[] = {{3, 4, red},   {4, 4, green}, {3, 5, blue},  {4, 5, white},
                                               {5, 4, bg},    {2, 4, bg},    {6, 0, red},   {7, 1, red},
                                               {8, 1, green}, {7, 2, blue},  {9, 3, white}, {5, 0, bg}};
    for (const auto& [x, y, c] : want) EXPECT_EQ(canvas.pixel(x, y), c) << x << "," << y;
}

TEST(FastDIBQtDraw, TileDrawAnchorsAtTheCorner) {
    // 64 x 64 grey image with a red marker at (0, 0) and a blue one at (63, 63), over 300 x 100 at
    // (10, 5): markers at x = 10 + 64k for k = 0..4 (five across, the fifth cut after 44 columns)
    // and y = 5, 69 (twice down, the second cut after 36 rows).
    TFastDIB dib;
    dib.SetSize(64, 64, 24, 0);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) dib.SetPixel(y, x, px(128, 128, 128));
    dib.SetPixel(0, 0, px(255, 0, 0));
    dib.SetPixel(63, 63, px(0, 0, 255));
    QImage canvas(320, 110, QImage::Format_RGB32);
    canvas.fill(qRgb(9, 9, 9));
    {
        QPainter p(&canvas);
        TileDrawDIB(p, dib, QRect(10, 5, 300, 100));
    }
    int red = 0, blue = 0;
    for (int y = 0; y < 110; ++y)
        for (int x = 0; x < 320; ++x) {
            const QRgb c = canvas.pixel(x, y);
            const bool inside = x >= 10 && x < 310 && y >= 5 && y < 105;
            if (!inside) {
                EXPECT_EQ(c, qRgb(9, 9, 9)) << x << "," << y;
                continue;
            }
            if (c == qRgb(255, 0, 0)) {
                ++red;
                EXPECT_EQ((x - 10) % 64, 0);
                EXPECT_EQ((y - 5) % 64, 0);
            } else if (c == qRgb(0, 0, 255)) {
                ++blue;
            } else {
                EXPECT_EQ(c, qRgb(128, 128, 128)) << x << "," << y;
            }
        }
    EXPECT_EQ(red, 10);
    // The (63, 63) corner shows only in the four whole copies of the top band.
    EXPECT_EQ(blue, 4);
    EXPECT_EQ(canvas.pixel(10 + 3 * 64 + 63, 5 + 63), qRgb(0, 0, 255));
}

TEST(FastDIBQtDraw, TileDrawOffTheDeviceAndUnderATranslation) {
    TFastDIB dib;
    dib.SetSize(4, 4, 24, 0);
    dib.SetPixel(0, 0, px(255, 0, 0));
    QImage canvas(20, 20, QImage::Format_RGB32);
    canvas.fill(qRgb(0, 0, 0));
    {
        QPainter p(&canvas);
        p.translate(-100, -48);
        // Target starts far off the device; only the part in view is built, in phase with (0, 0).
        TileDrawDIB(p, dib, QRect(0, 0, 100000, 100000));
    }
    // Device (0, 0) is logical (100, 48): both multiples of 4, so a marker sits there.
    EXPECT_EQ(canvas.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(canvas.pixel(4, 8), qRgb(255, 0, 0));
    EXPECT_EQ(canvas.pixel(1, 0), qRgb(0, 0, 0));
    EXPECT_EQ(canvas.pixel(2, 4), qRgb(0, 0, 0));
}

TEST(FastDIBQtLoad, FromAResource) {
    QByteArray png;
    {
        QBuffer buf(&png);
        buf.open(QIODevice::WriteOnly);
        ASSERT_TRUE(gradientPicture().save(&buf, "PNG"));
    }
    const QByteArray block = resourceBlock("mozaro-dib-test.png", png);
    ASSERT_TRUE(QResource::registerResource(reinterpret_cast<const uchar*>(block.constData())));
    for (const char* path : {":/mozaro-dib-test.png", "qrc:/mozaro-dib-test.png", "mozaro-dib-test.png"}) {
        TFastDIB dib;
        QString error;
        ASSERT_TRUE(LoadFromRes(dib, QString::fromLatin1(path), 24, &error)) << path << qPrintable(error);
        expectGradient(dib);
    }
    QResource::unregisterResource(reinterpret_cast<const uchar*>(block.constData()));
}

TEST(FastDIBQtDraw, SixteenBitLayoutsDrawTheirOwnColours) {
    // 555 and 565 images of r 248, g 0, b 248 (full 5-bit fields, which Qt widens to 255) look the same
    // on a 32-bit canvas, drawn and tiled; a 555 pixel read as 565 would show r 123.
    for (int mask : {555, 565}) {
        TFastDIB dib;
        dib.SetSize(2, 2, 16, mask);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 2; ++x) dib.SetPixel(y, x, px(248, 0, 248));
        QImage canvas(6, 3, QImage::Format_RGB32);
        canvas.fill(Qt::black);
        {
            QPainter p(&canvas);
            DrawDIB(p, dib, 0, 0);
            TileDrawDIB(p, dib, QRect(2, 0, 4, 3));
        }
        EXPECT_EQ(canvas.pixel(1, 1), qRgb(255, 0, 255)) << mask;
        EXPECT_EQ(canvas.pixel(5, 2), qRgb(255, 0, 255)) << mask;
    }
}
