// The JPEG reader checks the free memory for what its decode takes at its peak, and a picture whose
// scan data are damaged loads with the same "is incomplete" warning as a file cut short.
#include "common/QtTestSupport.h"
#include "platform/JPEGImage.h"
#include "platform/SystemMemory.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include <jpeglib.h>
#include <malloc.h>

namespace {

// A picture of w x h with detail in every block at quality 90, luma sampled `sampling` times the chroma
// each way, with a restart marker after every `restartRows` rows of MCUs.
QByteArray Encode(int w, int h, bool progressive, int sampling, int restartRows = 0) {
    TFastDIB pic;
    pic.SetSize(w, h, 24, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            pic.Pixels24[y][x] = MakeFColor(std::uint8_t(x * 7 + y), std::uint8_t(x ^ y), 0);
    jpeg_compress_struct c{};
    jpeg_error_mgr err{};
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &out, &size);
    c.image_width = JDIMENSION(w), c.image_height = JDIMENSION(h);
    c.input_components = 3, c.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 90, TRUE);
    c.comp_info[0].h_samp_factor = c.comp_info[0].v_samp_factor = sampling;
    c.restart_in_rows = restartRows;
    if (progressive) jpeg_simple_progression(&c);
    jpeg_start_compress(&c, TRUE);
    jpeg_write_scanlines(&c, pic.Scanlines, JDIMENSION(h));
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    QByteArray bytes(reinterpret_cast<const char*>(out), qsizetype(size));
    std::free(out);
    return bytes;
}

// The refusal of a load of `path` with `freeBytes` free (empty when it loads).
std::string Refusal(const QString& path, std::int64_t freeBytes) {
    SetFreeMemoryHook([=] { return freeBytes; });
    std::string what;
    try {
        TFastDIB got;
        LoadPictureToDIB(path, got);
    } catch (const EPictureTooLarge& e) {
        what = e.what();
    }
    SetFreeMemoryHook({});
    return what;
}

std::int64_t PeakResident() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0) return std::stoll(line.substr(6)) * 1024;
    return -1;
}

TEST(JpegRead, TheMemoryCheckCountsWhatTheDecodeTakesAtItsPeak) {
    EnsureQtApplication();
    QTemporaryDir dir;
    const QString path = dir.filePath("big.jpg");
    // Worked by hand: the picture is 3 w h + 8 h (its row table); a progressive file adds 128 bytes a
    // block of every component; the row buffers are 128 v bytes a column of blocks of each component.
    struct Case {
        const char* what;
        int w, h;
        bool progressive;
        int sampling, megabytes;
    } cases[] = {
        // 50,364,416; Y 512 x 512 blocks, Cb, Cr 256 x 256: 50,331,648; rows 131,072 + 2 * 32,768
        {"progressive 4:2:0", 4096, 4096, true, 2, 101}, // 100,892,672
        // 50,364,416; every component 512 x 512 blocks: 100,663,296; rows 3 * 65,536
        {"progressive 4:4:4", 4096, 4096, true, 1, 151}, // 151,224,320
        // 72,032,000; no coefficients; rows: Y 750 columns * 256, Cb, Cr 375 * 128
        {"baseline 4:2:0", 6000, 4000, false, 2, 72}, // 72,320,000
    };
    for (const Case& c : cases) {
        const QByteArray jpeg = Encode(c.w, c.h, c.progressive, c.sampling);
        WriteAll(path, jpeg);
        const QString none = QString::fromStdString(Refusal(path, 0));
        const std::int64_t counted =
            QRegularExpression(" needs (\\d+) MB").match(none).captured(1).toLongLong() * 1000000;
        EXPECT_EQ(counted, c.megabytes * 1000000LL) << c.what << ": " << none.toStdString();
        // A megabyte under the figure the load is refused with the memory message; over it, it loads.
        const std::string under = Refusal(path, counted - 1000000);
        EXPECT_TRUE(under.starts_with("big.jpg cannot be read: the picture is too large for the free memory"))
            << c.what << ": " << under;
        EXPECT_EQ(Refusal(path, counted + 1000000), "") << c.what;
        // The figure is the real peak: the peak is at least 97 % of it, and over it by at most 2 MiB (the
        // picture's huge pages) and 9 % (the address sanitizer's shadow of the freed buffers, 1/8 of them).
        malloc_trim(0); // freed memory the decode could reuse unseen goes back to the system
        std::ofstream("/proc/self/clear_refs") << "5"; // the peak starts again from here
        const std::int64_t before = PeakResident();
        TFastDIB got;
        DecodeJPEG(reinterpret_cast<const std::uint8_t*>(jpeg.constData()), std::size_t(jpeg.size()), got);
        const std::int64_t peak = PeakResident() - before;
        std::printf("%s: counted %lld, peak %lld\n", c.what, static_cast<long long>(counted),
                    static_cast<long long>(peak));
        EXPECT_GE(peak, counted * 97 / 100) << c.what;
        EXPECT_LE(peak, counted * 109 / 100 + (2 << 20)) << c.what;
    }
}

TEST(JpegRead, DamagedScanDataLoadWithTheIncompleteWarningHarmlessWarningsDoNot) {
    EnsureQtApplication();
    QTemporaryDir dir;
    const QString path = dir.filePath("tile.jpg");
    const QByteArray clean = Encode(64, 64, false, 2, 1); // a restart marker after every 16 rows
    TFastDIB reference;
    ASSERT_TRUE(DecodeJPEG(reinterpret_cast<const std::uint8_t*>(clean.constData()),
                           std::size_t(clean.size()), reference));
    const qsizetype rst1 = clean.indexOf(QByteArray("\xFF\xD1", 2)) + 1;
    const qsizetype app0End = 4 + (std::uint8_t(clean[4]) << 8 | std::uint8_t(clean[5]));
    const struct {
        const char* what;
        QByteArray jpeg;
        bool damaged;
    } cases[] = {
        {"clean", clean, false},
        {"JFIF revision 2.01 (a warning)", QByteArray(clean).replace(11, 1, "\x02"), false},
        {"stray bytes after APP0 (a warning)", QByteArray(clean).insert(app0End, "abc"), false},
        // As in a file from the fuzzer: APP13 in the place of RST1 ends the scan; the rest is filled in.
        {"APP13 for RST1", QByteArray(clean).replace(rst1, 1, "\xED"), true},
        // libjpeg resynchronises at RST5 and fills in the segments before it.
        {"RST5 for RST1", QByteArray(clean).replace(rst1, 1, "\xD5"), true},
    };
    for (const auto& c : cases) {
        WriteAll(path, c.jpeg);
        TFastDIB got;
        QStringList warnings;
        LoadPictureToDIB(path, got, &warnings);
        ASSERT_EQ(got.Height, 64) << c.what;
        const QStringList damaged{
            "tile.jpg is incomplete: parts of its picture data are damaged; those parts "
            "are filled in and may look grey or smeared"};
        EXPECT_EQ(warnings, c.damaged ? damaged : QStringList()) << c.what;
        // Rows 0 to 30 come from the first two segments only (row 31 takes colour from the third too).
        for (int y = 0; y < 31; ++y)
            ASSERT_EQ(std::memcmp(got.Scanlines[y], reference.Scanlines[y], 64 * 3), 0)
                << c.what << " row " << y;
    }
}

} // namespace
