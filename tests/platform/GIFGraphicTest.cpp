// The GIF picture class of the picture container: registration, files and the clipboard through the
// container, the Qt side (frames as indexed images, pictures with alpha as frames with a mask), and
// GIF files written by the codec read back by Qt's own GIF reader.
#include "platform/GIFGraphic.h"
#include "common/QtTestSupport.h"

#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QMimeData>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace {

// A picture of four flat blocks and a band of 40 greys (more colours than a tiny table holds).
void blocks(TFastDIB& d, int w, int h) {
    d.SetSize(w, h, 24, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::uint8_t v = static_cast<std::uint8_t>(x * 255 / (w - 1));
            d.Pixels24[y][x] =
                y < h / 2 ? (x < w / 2 ? TFColor{0, 0, 255} : TFColor{255, 0, 0}) : TFColor{v, v, v};
        }
}

// A 2 x 1 frame added to the picture.
TGIFSubImage* AddFrameForTest(TGIFImage& image) {
    auto f = std::make_unique<TGIFSubImage>(&image);
    f->SetBounds(0, 0, 2, 1);
    TGIFSubImage* p = f.get();
    image.Images().Add(std::move(f));
    return p;
}

// Reads GIF bytes with Qt's reader (independent of our codec).
QImage qtRead(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "gif");
    QImage img;
    reader.read(&img);
    return img.convertToFormat(QImage::Format_ARGB32);
}

} // namespace

TEST(GIFGraphic, RegisteredByExtensionAndClipboardFormat) {
    EnsureQtApplication();
    EXPECT_TRUE(TPicture::FileFormatRegistered("gif"));
    EXPECT_TRUE(TPicture::FileFormatRegistered(".GIF"));
    EXPECT_EQ(TPicture::FileFormatDescription("gif"), "GIF Image");
    EXPECT_NE(dynamic_cast<TGIFGraphic*>(TPicture::CreateForFile("/x/anim.Gif").get()), nullptr);
    EXPECT_EQ(CF_GIF(), TPicture::ClipboardMimeType("GIF Image"));
    RegisterGIFGraphic(); // again: still one class per name
    EXPECT_TRUE(TPicture::FileFormatRegistered("gif"));
}

TEST(GIFGraphic, SavedPicturesReadBackByQtsReader) {
    EnsureQtApplication();
    TFastDIB src;
    blocks(src, 40, 10);
    for (TGIFCompression compression : {gcLZW, gcRLE}) {
        SCOPED_TRACE(compression == gcLZW ? "LZW" : "RLE");
        std::unique_ptr<TGIFGraphic> gif = MakeGIFForSave(src);
        gif->Image().SetCompression(compression);
        // The first colour transparent, as OK in the transparency dialog does.
        TGIFSubImage* f = gif->Image().Images()[0];
        auto gce = std::make_unique<TGIFGraphicControlExtension>(f);
        TGIFGraphicControlExtension* g = gce.get();
        f->Extensions().Add(std::move(gce));
        g->SetTransparentColorIndex(f->Pixels(0, 0));
        g->SetTransparent(true);
        const QByteArray bytes = gif->SaveToMemory();

        // Our own reader: the same indices and no warning.
        TGIFGraphic back;
        back.LoadFromMemory(reinterpret_cast<const std::uint8_t*>(bytes.constData()), bytes.size());
        EXPECT_TRUE(back.Warnings().isEmpty()) << back.Warnings().join("; ").toStdString();
        const TGIFSubImage* b = back.Image().Images()[0];
        ASSERT_EQ(b->DataSize(), f->DataSize());
        EXPECT_EQ(std::memcmp(b->Data(), f->Data(), f->DataSize()), 0);

        // Qt's reader: every pixel the colour of its index, the transparent ones with alpha 0.
        const QImage q = qtRead(bytes);
        ASSERT_EQ(q.width(), 40);
        ASSERT_EQ(q.height(), 10);
        TGIFColorMap& map = gif->Image().GlobalColorMap();
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 40; ++x) {
                const int i = f->Pixels(x, y);
                const QRgb p = q.pixel(x, y);
                if (i == g->TransparentColorIndex()) {
                    EXPECT_EQ(qAlpha(p), 0) << x << "," << y;
                } else {
                    const TColor c = map.Colors(i);
                    EXPECT_EQ(qRgb(qRed(p), qGreen(p), qBlue(p)),
                              qRgb(GetRValue(c), GetGValue(c), GetBValue(c)))
                        << x << "," << y;
                }
            }
    }
}

TEST(GIFGraphic, FilesThroughTheContainer) {
    EnsureQtApplication();
    QTemporaryDir dir;
    const QString name = dir.filePath("pic.gif");
    TFastDIB src;
    blocks(src, 20, 8);
    SavePictureFromDIB(src, name);
    TFastDIB loaded;
    LoadPictureToDIB(name, loaded);
    ASSERT_EQ(loaded.Width, 20);
    ASSERT_EQ(loaded.Height, 8);
    EXPECT_NEAR(loaded.Pixels24[1][1].r, 255, 24);
    EXPECT_NEAR(loaded.Pixels24[1][18].b, 255, 24);

    // A file cut in its image data loads what is there and says the picture is incomplete.
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray whole = f.readAll();
    const QByteArray cut = whole.left(whole.size() - 6);
    TGIFGraphic partial;
    partial.LoadFromMemory(reinterpret_cast<const std::uint8_t*>(cut.constData()), cut.size());
    EXPECT_TRUE(partial.Warnings().contains("The file ends before its trailer: the picture is incomplete"))
        << partial.Warnings().join("; ").toStdString();
    // Nothing that is a picture: refused, the old content kept.
    const QByteArray header = whole.left(13);
    EXPECT_THROW(
        partial.LoadFromMemory(reinterpret_cast<const std::uint8_t*>(header.constData()), header.size()),
        EInvalidGraphic);
    EXPECT_EQ(partial.Width(), 20);
    EXPECT_THROW(partial.LoadFromMemory(reinterpret_cast<const std::uint8_t*>("GIF"), 3), EInvalidGraphic);
}

TEST(GIFGraphic, ClipboardOffersTheBitmapAndTheGifStream) {
    EnsureQtApplication();
    TFastDIB src;
    blocks(src, 12, 6);
    std::unique_ptr<TGIFGraphic> gif = MakeGIFForSave(src);
    QMimeData data;
    gif->SaveToClipboardFormat(data);
    EXPECT_TRUE(data.hasImage());
    ASSERT_TRUE(data.hasFormat(CF_GIF()));
    EXPECT_EQ(data.data(CF_GIF()), gif->SaveToMemory());
    // Read back from the GIF format: the whole stream (the table's sort flag is not read back).
    TGIFGraphic fromGif;
    fromGif.LoadFromClipboardFormat(data, CF_GIF());
    const TGIFSubImage* a = gif->Image().Images()[0];
    const TGIFSubImage* b = fromGif.Image().Images()[0];
    ASSERT_EQ(a->DataSize(), b->DataSize());
    EXPECT_EQ(std::memcmp(a->Data(), b->Data(), a->DataSize()), 0);
    for (int i = 0; i < gif->Image().GlobalColorMap().Count(); ++i)
        EXPECT_EQ(fromGif.Image().GlobalColorMap().Colors(i), gif->Image().GlobalColorMap().Colors(i));
    // From the bitmap format: one frame of the bitmap.
    TGIFGraphic fromBitmap;
    fromBitmap.Image().SetColorReduction(rmNone);
    fromBitmap.LoadFromClipboardFormat(data, "application/x-qt-image");
    EXPECT_EQ(fromBitmap.Image().Images().Count(), 1);
    EXPECT_EQ(fromBitmap.Width(), 12);
    QMimeData other;
    other.setText("x");
    EXPECT_THROW(fromBitmap.LoadFromClipboardFormat(other, "text/plain"), EInvalidGraphic);

    // Through the container and the real clipboard.
    auto* md = new QMimeData;
    gif->SaveToClipboardFormat(*md);
    QGuiApplication::clipboard()->setMimeData(md);
    TPicture pic;
    ASSERT_TRUE(pic.LoadFromClipboard());
    EXPECT_EQ(pic.Width(), 12);
}

TEST(GIFGraphic, FramesAsIndexedImagesAndPicturesWithAlpha) {
    EnsureQtApplication();
    // A 3 x 1 picture with alpha: the middle pixel transparent.
    QImage img(3, 1, QImage::Format_ARGB32);
    img.setPixel(0, 0, qRgba(255, 0, 0, 255));
    img.setPixel(1, 0, qRgba(9, 9, 9, 0));
    img.setPixel(2, 0, qRgba(0, 0, 255, 255));
    TGIFGraphic gif;
    gif.Image().SetColorReduction(rmNone);
    gif.AssignImage(img);
    ASSERT_EQ(gif.Image().Images().Count(), 1);
    TGIFSubImage* f = gif.Image().Images()[0];
    ASSERT_TRUE(f->Transparent());
    EXPECT_EQ(f->Pixels(1, 0), f->GraphicControlExtension()->TransparentColorIndex());
    const QImage frame = gif.FrameImage(0);
    ASSERT_EQ(frame.format(), QImage::Format_Indexed8);
    EXPECT_EQ(frame.colorTable().size(), 256);
    EXPECT_EQ(qAlpha(frame.pixel(1, 0)), 0);
    EXPECT_EQ(frame.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(frame.pixel(2, 0), qRgb(0, 0, 255));
    EXPECT_EQ(gif.FrameImage(0).constBits(), frame.constBits()); // cached
    EXPECT_TRUE(gif.FrameImage(1).isNull());
    // A new colour in the frame's table: the frame is rendered again and so is its image.
    const int added = f->ColorMap().Add(RGBColor(0, 255, 0));
    EXPECT_EQ(gif.FrameImage(0).colorTable()[added], qRgb(0, 255, 0));
}

TEST(GIFGraphic, AFailedSaveLeavesTheFileAsItWas) {
    EnsureQtApplication();
    QTemporaryDir dir;
    const QString name = dir.filePath("keep.gif");
    QFile old(name);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old content");
    old.close();
    // A pixel outside the frame's table cannot be written: "Color not in color table".
    TGIFGraphic gif;
    TGIFSubImage* f = AddFrameForTest(gif.Image());
    f->ColorMap().Add(0);
    f->ColorMap().Add(0xFFFFFF);
    f->Data()[1] = 5;
    try {
        gif.SaveToFile(name);
        ADD_FAILURE() << "saved";
    } catch (const EInvalidGraphic& e) {
        EXPECT_STREQ(e.what(), "Color not in color table");
    }
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArray("old content"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1); // no temporary left
}

TEST(GIFGraphic, DamagedBlocksSavedWellFormedForOtherDecoders) {
    EnsureQtApplication();
    // A 2 x 1 screen, 4 grey entries (i, i, i); a control block of size 5 (transparent index 1), a
    // plain text block of size 4, then a frame of pixels 1 and 2 (clear 4, 1, 2, end 5 in 3 bits).
    QByteArray file("GIF89a\x02\x00\x01\x00\x81\x00\x00", 13);
    for (int i = 0; i < 4; ++i) file.append(QByteArray(3, static_cast<char>(i)));
    file.append(QByteArray("\x21\xF9\x05\x01\x0A\x00\x01\x07\x00", 9));
    file.append(QByteArray("\x21\x01\x04\x01\x00\x7F\x06\x00", 8));
    file.append(QByteArray("\x2C\x00\x00\x00\x00\x02\x00\x01\x00\x00", 10));
    file.append(QByteArray("\x02\x02\x8C\x0A\x00\x3B", 6));
    TGIFGraphic gif;
    gif.LoadFromMemory(reinterpret_cast<const std::uint8_t*>(file.constData()), file.size());
    EXPECT_EQ(gif.Warnings(), QStringList({"Graphic control extension block has a non-standard layout",
                                           "Plain text extension block has a non-standard layout"}));
    const QByteArray saved = gif.SaveToMemory();
    const QImage q = qtRead(saved);
    ASSERT_EQ(q.size(), QSize(2, 1));
    EXPECT_EQ(qAlpha(q.pixel(0, 0)), 0);
    EXPECT_EQ(q.pixel(1, 0), qRgb(2, 2, 2));
    TGIFGraphic again;
    again.LoadFromMemory(reinterpret_cast<const std::uint8_t*>(saved.constData()), saved.size());
    EXPECT_TRUE(again.Warnings().isEmpty());
}

TEST(GIFGraphic, RunLengthBeyondOneTableCycleReadByQt) {
    EnsureQtApplication();
    // A flat run longer than one run-length table cycle (4089 codes of runs 1..4089 at 2 bits cover
    // about 8.4 million pixels): the encoder clears inside the run and goes on with small tables;
    // another decoder reads every pixel back.
    TGIFGraphic gif;
    TGIFImage& image = gif.Image();
    for (TColor c : {0x000000u, 0x0000FFu, 0x00FF00u, 0xFF0000u}) image.GlobalColorMap().Add(c);
    auto f = std::make_unique<TGIFSubImage>(&image);
    f->SetBounds(0, 0, 4096, 2100);
    std::memset(f->Data(), 1, f->DataSize());
    image.Images().Add(std::move(f));
    image.SetCompression(gcRLE);
    const QByteArray bytes = gif.SaveToMemory();
    const QImage q = qtRead(bytes);
    ASSERT_EQ(q.size(), QSize(4096, 2100));
    for (int y = 0; y < q.height(); y += 7)
        for (int x = 0; x < q.width(); x += 13) ASSERT_EQ(q.pixel(x, y), qRgb(255, 0, 0)) << x << "," << y;
    EXPECT_EQ(q.pixel(4095, 2099), qRgb(255, 0, 0));
    TGIFGraphic back;
    back.LoadFromMemory(reinterpret_cast<const std::uint8_t*>(bytes.constData()), bytes.size());
    const TGIFSubImage* b = back.Image().Images()[0];
    EXPECT_EQ(std::count(b->Data(), b->Data() + b->DataSize(), 1), 4096 * 2100);
}
