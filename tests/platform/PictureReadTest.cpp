// Reading picture files: a file shortened while it is read, pictures whose real size hides inside the
// file (icons, MNG), files whose extension is not their type, and a lack of memory during a read.
#include "common/QtTestSupport.h"

#include "platform/BMPFile.h"
#include "platform/GIFGraphic.h"
#include "platform/Picture.h"
#include "platform/SystemMemory.h"

#include <QBuffer>
#include <QDateTime>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <string>
#include <sys/resource.h>

namespace {

// Resident memory at its peak since the last ResetPeak, in bytes.
std::int64_t PeakResident() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0) return std::stoll(line.substr(6)) * 1024;
    return -1;
}
void ResetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

std::uint32_t Crc32(const QByteArray& bytes) {
    std::uint32_t c = 0xFFFFFFFF;
    for (const char b : bytes) {
        c ^= static_cast<std::uint8_t>(b);
        for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
    }
    return ~c;
}
QByteArray Be32(std::uint32_t v) {
    const char b[4] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
    return QByteArray(b, 4);
}
QByteArray Chunk(const char* type, const QByteArray& data) {
    const QByteArray body = type + data;
    return Be32(std::uint32_t(data.size())) + body + Be32(Crc32(body));
}
// A zlib stream of `n` zero bytes: one fixed-code block, a literal 0 and then copies of 258 bytes at
// distance 1 (13 bits each: length code 285, distance code 0), the rest as literals.
QByteArray ZlibZeros(std::int64_t n) {
    QByteArray out("\x78\x01");
    std::uint32_t bits = 0;
    int count = 0;
    auto put = [&](std::uint32_t code, int len) { // Huffman codes go most significant bit first
        for (int i = len - 1; i >= 0; --i) {
            bits |= ((code >> i) & 1) << count;
            if (++count == 8) out += char(bits), bits = 0, count = 0;
        }
    };
    put(1, 1), put(0b10, 2); // the last block, fixed codes (type 1 written low bit first)
    std::int64_t left = n - 1;
    put(0x30, 8);
    for (; left >= 258; left -= 258) put(0xC5, 8), put(0, 5);
    for (; left > 0; --left) put(0x30, 8);
    put(0, 7); // end of block
    if (count) out += char(bits);
    return out + Be32(std::uint32_t((n % 65521) << 16 | 1)); // Adler-32 of zeros
}
// Grey at 8 bits (colour type 0), or RGBA at 8 bits (6).
QByteArray Png(std::uint32_t w, std::uint32_t h, const QByteArray& idat, char colourType = 0) {
    return "\x89PNG\r\n\x1a\n" +
           Chunk("IHDR", Be32(w) + Be32(h) + QByteArray("\x08", 1) + colourType + QByteArray(3, 0)) +
           Chunk("IDAT", idat) + Chunk("IEND", {});
}
// An icon whose directory says 256 x 256 and whose one picture is `inner`.
QByteArray Icon(const QByteArray& inner) {
    QByteArray ico("\0\0\1\0\1\0" "\0\0\0\0\1\0\x20\0", 14);
    auto le32 = [](std::uint32_t v) {
        const char b[4] = {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
        return QByteArray(b, 4);
    };
    return ico + le32(std::uint32_t(inner.size())) + le32(22) + inner;
}

class PictureRead : public ::testing::Test {
protected:
    void SetUp() override { EnsureQtApplication(); }
    void TearDown() override { SetPictureReadHook({}); }
    QString File(const QString& name) const { return Dir.filePath(name); }
    QTemporaryDir Dir;
};

TEST_F(PictureRead, AFileShortenedWhileItIsReadLoadsWhatWasReadOrIsRefused) {
    // 1000 x 3000 at 24 bits: 3000 bytes a row, 9 MB, read in two chunks.
    TFastDIB pic;
    pic.SetSize(1000, 3000, 24, 0);
    for (int y = 0; y < 3000; ++y)
        for (int x = 0; x < 1000; ++x) pic.Pixels24[y][x] = MakeFColor(x & 255, y & 255, (x ^ y) & 255);
    const QString path = File("tile.bmp");
    WriteAll(path, EncodeBMP(pic));
    // Before the second chunk another program cuts the file inside file row 2900 (picture row 99).
    bool cut = false;
    SetPictureReadHook([&](std::uint64_t offset) {
        if (offset > 1000 && !cut) cut = QFile::resize(path, 54 + 2900 * 3000 + 100);
    });
    TFastDIB got;
    QStringList warnings;
    LoadPictureToDIB(path, got, &warnings);
    ASSERT_TRUE(cut);
    ASSERT_EQ(got.Height, 3000);
    EXPECT_EQ(warnings.value(0), "tile.bmp is incomplete: the file ends before the picture does");
    for (int y : {0, 99}) EXPECT_EQ(got.Pixels24[y][5], MissingPixelsColor) << y;
    for (int y : {100, 1500, 2999})
        EXPECT_EQ(std::memcmp(got.Scanlines[y], pic.Scanlines[y], 3000), 0) << y;
    // Cut before its first row arrives: refused, the picture kept.
    WriteAll(path, EncodeBMP(pic));
    SetPictureReadHook([&](std::uint64_t offset) {
        if (offset > 0) QFile::resize(path, 54);
    });
    EXPECT_THROW(LoadPictureToDIB(path, got, &warnings), EInvalidGraphic);
    EXPECT_EQ(got.Height, 3000);
}

TEST_F(PictureRead, PicturesWhoseSizeHidesInTheFileAreRefusedBeforeTheyAreDecoded) {
    const QByteArray frame = Png(16, 16, ZlibZeros(16 * 17));
    struct Case {
        const char* name;
        QByteArray bytes;
        const char* size;
    } cases[] = {
        // A PNG of 16385 x 16384 grey pixels (268 MB, 1.3 MB of data) inside an icon of 256 x 256.
        {"big.ico", Icon(Png(16385, 16384, ZlibZeros(std::int64_t{16386} * 16384))), "16385 x 16384"},
        // A bitmap header of 100000 x 100000 (twice the height: the mask) inside an icon.
        {"huge.ico", Icon(QByteArray("\x28\0\0\0\xA0\x86\x01\0\x40\x0D\x03\0\1\0\x20\0", 16) + QByteArray(24, 0)),
         "100000 x 100000"},
        // An MNG whose frame is 16385 x 16384, holding a PNG of 16 x 16.
        {"big.mng",
         "\x8AMNG\r\n\x1A\n" + Chunk("MHDR", Be32(16385) + Be32(16384) + Be32(1) + QByteArray(12, 0) + Be32(1)) +
             frame.mid(8, frame.size() - 20) + Chunk("MEND", {}),
         "16385 x 16384"},
    };
    for (const Case& c : cases) {
        WriteAll(File(c.name), c.bytes);
        ResetPeak();
        const std::int64_t before = PeakResident();
        TFastDIB got;
        try {
            LoadPictureToDIB(File(c.name), got);
            ADD_FAILURE() << c.name << " loaded";
        } catch (const EPictureTooLarge& e) {
            EXPECT_TRUE(QString(e.what()).startsWith(QString(c.name) + " cannot be read: the picture is too large: " +
                                                     c.size))
                << e.what();
        }
        EXPECT_LT(PeakResident() - before, 100'000'000) << c.name;
    }
}

TEST_F(PictureRead, PicturesSavedUnderAnotherTypesNameOpenAsWhatTheyHold) {
    TFastDIB pic;
    pic.SetSize(40, 30, 24, 0);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) pic.Pixels24[y][x] = MakeFColor(x * 6, y * 8, 100);
    QImage png(40, 30, QImage::Format_RGB32);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) png.setPixel(x, y, qRgb(x * 6, y * 8, 100));
    QByteArray pngBytes;
    QBuffer buffer(&pngBytes);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(png.save(&buffer, "png"));
    const QByteArray gifBytes = MakeGIFForSave(pic)->SaveToMemory();
    TFastDIB gifPixels; // the GIF's own pixels (its colours reduced), read under its own name
    WriteAll(File("own.gif"), gifBytes);
    LoadPictureToDIB(File("own.gif"), gifPixels);
    // The save rule writes GIF and BMP data under names ending in another type's extension.
    struct Case {
        const char* name;
        QByteArray bytes;
        const TFastDIB& pixels;
    } cases[] = {{"tile.gif.jpg", gifBytes, gifPixels},
                 {"scan.bmp.gif.txt", gifBytes, gifPixels},
                 {"x.bmp.jpg", EncodeBMP(pic), pic},
                 {"y.bmp.png", EncodeBMP(pic), pic},
                 {"photo.jpg", pngBytes, pic},
                 {"shot.bmp", pngBytes, pic},
                 {"z.ppm", pngBytes, pic}};
    for (const Case& c : cases) {
        WriteAll(File(c.name), c.bytes);
        TFastDIB back;
        LoadPictureToDIB(File(c.name), back);
        EXPECT_TRUE(SameDIB(back, c.pixels)) << c.name;
    }
    WriteAll(File("notes.jpg"), "This is not a picture at all.\n");
    try {
        TFastDIB back;
        LoadPictureToDIB(File("notes.jpg"), back);
        ADD_FAILURE() << "text loaded";
    } catch (const EInvalidGraphic& e) {
        EXPECT_STREQ(e.what(), "notes.jpg is not a JPEG picture");
    }
}

TEST_F(PictureRead, ALackOfMemoryNamesTheFileItsSizeAndTheMemoryItNeeds) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer reserves terabytes of address space: no address-space limit fits";
#endif
    // The largest picture, of which the file holds one row (a file cut short loads what it holds).
    WriteAll(File("large.bmp"), BmpHeader(16384, 16384) + QByteArray(16384 * 3, 0));
    // Room for 24 MB more than the process holds now: the 805 MB picture cannot be had.
    rlimit old{};
    getrlimit(RLIMIT_AS, &old);
    std::ifstream status("/proc/self/status");
    std::int64_t size = 0;
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmSize:", 0) == 0) size = std::stoll(line.substr(7)) * 1024;
    rlimit tight{rlim_t(size + (24 << 20)), old.rlim_max};
    setrlimit(RLIMIT_AS, &tight);
    std::string what;
    try {
        TFastDIB pic;
        LoadPictureToDIB(File("large.bmp"), pic);
    } catch (const EPictureTooLarge& e) {
        what = e.what();
    } catch (const std::exception& e) {
        what = std::string("other: ") + e.what();
    }
    setrlimit(RLIMIT_AS, &old);
    const QString text = QString::fromStdString(what);
    EXPECT_TRUE(text.startsWith("large.bmp cannot be read: ") && text.contains("16384 x 16384") &&
                text.contains("805 MB"))
        << what;
}

} // namespace

namespace {

TEST_F(PictureRead, AGifIsCheckedForWhatItsLoadTakesAtItsPeak) {
    // 35 bytes: a screen of 16 x 16 and one frame of 4096 x 4096 whose data end at once.
    const QByteArray gif = QByteArray("GIF89a\x10\0\x10\0\x80\0\0", 13) + QByteArray("\0\0\0\xFF\xFF\xFF,\0\0\0\0", 11) +
                           QByteArray("\0\x10\0\x10\0\x02\x02\x44\x01\0;", 11);
    ASSERT_EQ(gif.size(), 35);
    WriteAll(File("frame.gif"), gif);
    std::int64_t counted = 0; // what the check counts, from its refusal with no memory free
    SetFreeMemoryHook([] { return std::int64_t{0}; });
    try {
        TFastDIB got;
        LoadPictureToDIB(File("frame.gif"), got);
    } catch (const EPictureTooLarge& e) {
        const QRegularExpressionMatch m = QRegularExpression("needs (\\d+) MB").match(e.what());
        if (m.hasMatch()) counted = m.captured(1).toLongLong() * 1'000'000;
    }
    SetFreeMemoryHook({});
    ResetPeak();
    const std::int64_t before = PeakResident();
    TFastDIB got;
    LoadPictureToDIB(File("frame.gif"), got);

    EXPECT_EQ(got.Width, 4096);
    EXPECT_LE(PeakResident() - before, counted);
}

} // namespace

namespace {

TEST_F(PictureRead, ChunksAndInnerPicturesAreCheckedBeforeAnyDecoderUnderEveryName) {
    const QByteArray sig("\x89PNG\r\n\x1a\n");
    const QByteArray ihdr = Chunk("IHDR", Be32(16) + Be32(16) + QByteArray("\x08\0\0\0\0", 5));
    // A chunk that claims 2,000,000,000 bytes and holds 10: 33 + 8 + 10 = 51 bytes, 51 - 33 - 12 = 6 left.
    const QByteArray claim = Be32(2'000'000'000) + "zTXt" + QByteArray("Comment\0\0x", 10);
    QByteArray after = claim;
    after.replace(4, 4, "tEXt");
    const QByteArray idat = Chunk("IDAT", ZlibZeros(16 * 17));
    auto mng = [&](const char* type, std::uint32_t side) {
        return "\x8AMNG\r\n\x1A\n" +
               Chunk("MHDR", Be32(16) + Be32(16) + Be32(1) + QByteArray(12, 0) + Be32(1)) +
               Chunk(type, Be32(side) + Be32(side) + QByteArray("\x08\0\0\0\0", 5)) + idat +
               Chunk("IEND", {}) + Chunk("MEND", {});
    };
    const char* frame = "the picture is too large: 16384 x 16384 pixels inside a frame of 16 x 16";
    const char* limit = "the picture is too large: 100000 x 100000 pixels (at most 16384 x 16384 pixels)";
    struct Case {
        const char* type;
        QByteArray bytes;
        const char* why;
    } cases[] = {
        {"png", sig + ihdr + claim, "its zTXt chunk claims 2000000000 bytes, but the file holds only 6 more"},
        {"png", sig + ihdr + idat + after,
         "its tEXt chunk claims 2000000000 bytes, but the file holds only 6 more"},
        {"mng", mng("IHDR", 16384), frame},
        {"mng", mng("JHDR", 100000), limit},
        {"mng", mng("BASI", 16384), frame},
    };
    ASSERT_EQ(cases[0].bytes.size(), 51);
    for (const Case& c : cases)
        for (const QString name : {QStringLiteral("own.") + c.type, QStringLiteral("holiday.jpg"),
                                   QStringLiteral("scan.bmp"), QStringLiteral("x.ppm")}) {
            WriteAll(File(name), c.bytes);
            ResetPeak();
            const std::int64_t before = PeakResident();
            const auto start = std::chrono::steady_clock::now();
            std::string what = "loaded";
            try {
                TFastDIB got;
                LoadPictureToDIB(File(name), got);
            } catch (const EInvalidGraphic& e) {
                what = e.what();
            }
            EXPECT_EQ(what, (name + " cannot be read: " + c.why).toStdString());
            EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1)) << what;
            EXPECT_LT(PeakResident() - before, 100'000'000) << what;
        }
}

TEST_F(PictureRead, QtsAllocationLimitStopsAPictureItsFileDidNotDeclare) {
    // An icon set declares no size before Qt decodes it: its 16385 x 16384 RGBA PNG (1,073,807,360
    // bytes decoded, above the limit of 16384 * 16384 * 4) is stopped by the allocation limit alone.
    const QByteArray png = Png(16385, 16384, ZlibZeros(std::int64_t{1 + 4 * 16385} * 16384), 6);
    WriteAll(File("big.icns"), "icns" + Be32(std::uint32_t(16 + png.size())) + "ic10" +
                                   Be32(std::uint32_t(8 + png.size())) + png);
    ResetPeak();
    const std::int64_t before = PeakResident();
    TFastDIB got;
    EXPECT_THROW(LoadPictureToDIB(File("big.icns"), got), EInvalidGraphic);
    EXPECT_LT(PeakResident() - before, 100'000'000);
}

TEST_F(PictureRead, APngIsCheckedForWhatItsReadTakesAtItsPeak) {
    // 6000 x 6000 RGBA at 8 bits: Qt decodes 4 bytes a pixel (144,000,000, above Qt's own default
    // limit), the 24-bit picture takes 108,000,000, the conversion 2,097,152, the file less than either:
    // 254,097,152 bytes.
    const std::int64_t peak = 254'097'152;
    WriteAll(File("large.png"), Png(6000, 6000, ZlibZeros(std::int64_t{1 + 4 * 6000} * 6000), 6));
    TFastDIB got;
    SetFreeMemoryHook([&] { return peak - 1; });
    try {
        LoadPictureToDIB(File("large.png"), got);
        ADD_FAILURE() << "loaded with a byte too little";
    } catch (const EPictureTooLarge& e) {
        EXPECT_STREQ(e.what(),
                     "large.png cannot be read: the picture is too large for the free memory: 6000 x "
                     "6000 pixels needs 254 MB; 254 MB are free");
    }
    SetFreeMemoryHook([&] { return peak; });
    ResetPeak();
    const std::int64_t before = PeakResident();
    LoadPictureToDIB(File("large.png"), got);
    const std::int64_t grown = PeakResident() - before;
    SetFreeMemoryHook({});
    ASSERT_EQ(got.Width, 6000);
    EXPECT_EQ(got.Pixels24[5999][5999], MakeFColor(255, 255, 255)); // transparent black over white
    // The limit of this one read is gone: Qt's other reads (the clipboard's) have the largest picture's.
    EXPECT_EQ(QImageReader::allocationLimit(), 16384 * 16384 * 4 / (1 << 20));
    // The figure is within 15% of what the read took (AddressSanitizer's shadow adds an eighth).
    EXPECT_GT(grown, peak * 85 / 100) << grown;
    EXPECT_LT(grown, peak * 115 / 100) << grown;
}

TEST_F(PictureRead, ABmpRewrittenInPlaceWhileItIsReadIsWarnedAbout) {
    // 1000 x 3000 at 24 bits, read in two chunks; before the second, the file is overwritten in place
    // with another picture of the same size.
    TFastDIB first, second;
    first.SetSize(1000, 3000, 24, 0);
    second.SetSize(1000, 3000, 24, 0);
    for (int y = 0; y < 3000; ++y)
        for (int x = 0; x < 1000; ++x) {
            first.Pixels24[y][x] = MakeFColor(x & 255, y & 255, 1);
            second.Pixels24[y][x] = MakeFColor(y & 255, x & 255, 2);
        }
    const QString path = File("tile.bmp");
    WriteAll(path, EncodeBMP(first));
    { // written long ago: the rewrite changes the modification time even where times are coarse
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.setFileTime(QDateTime::currentDateTime().addSecs(-60), QFileDevice::FileModificationTime);
    }
    const QByteArray other = EncodeBMP(second);
    bool rewritten = false;
    SetPictureReadHook([&](std::uint64_t offset) {
        if (offset == 0 || rewritten) return;
        QFile f(path);
        rewritten = f.open(QIODevice::ReadWrite) && f.write(other) == other.size();
    });
    TFastDIB got;
    QStringList warnings;
    LoadPictureToDIB(path, got, &warnings);
    ASSERT_TRUE(rewritten);
    EXPECT_EQ(warnings,
              QStringList{"tile.bmp changed while it was read: the picture shown may mix its old and "
                          "new content; open it again to see it whole"});
    // Read again, unchanged: no word.
    SetPictureReadHook({});
    LoadPictureToDIB(path, got, &warnings);
    EXPECT_TRUE(warnings.isEmpty());
    EXPECT_TRUE(SameDIB(got, second));
}

} // namespace
