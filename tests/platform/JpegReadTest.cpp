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

// A picture of w x h with detail in every block, in a JPEG stream at quality 90: progressive or
// baseline, luma sampled `sampling` x `sampling` times the chroma (2: 4:2:0, 1: 4:4:4), with a restart
// marker after every `restartRows` rows of MCUs (0: none).
QByteArray Encode(int w, int h, bool progressive, int sampling, int restartRows = 0) {
    TFastDIB pic;
    pic.SetSize(w, h, 24, 0);
    for (int y = 0; y < h; ++y) {
        TFColor* row = pic.Pixels24[y];
        for (int x = 0; x < w; ++x)
            row[x] = TFColor{std::uint8_t(x * 7 + y), std::uint8_t(x ^ y), std::uint8_t(y * 3)};
    }
    jpeg_compress_struct c{};
    jpeg_error_mgr err{};
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &out, &size);
    c.image_width = JDIMENSION(w);
    c.image_height = JDIMENSION(h);
    c.input_components = 3;
    c.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 90, TRUE);
    c.comp_info[0].h_samp_factor = c.comp_info[0].v_samp_factor = sampling;
    c.restart_in_rows = restartRows;
    if (progressive) jpeg_simple_progression(&c);
    jpeg_start_compress(&c, TRUE);
    while (c.next_scanline < c.image_height) {
        JSAMPROW row = pic.Scanlines[c.next_scanline];
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    QByteArray bytes(reinterpret_cast<const char*>(out), qsizetype(size));
    std::free(out);
    jpeg_destroy_compress(&c);
    return bytes;
}

// The text of the refusal of a load of `path`, with `freeBytes` free (empty when it loads).
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

// The resident memory a decode of `jpeg` adds at its peak, in bytes.
std::int64_t DecodePeak(const QByteArray& jpeg) {
    auto resident = [] {
        std::ifstream status("/proc/self/status");
        for (std::string line; std::getline(status, line);)
            if (line.rfind("VmHWM:", 0) == 0) return std::stoll(line.substr(6)) * 1024;
        return -1LL;
    };
    malloc_trim(0); // freed memory the decode could reuse unseen goes back to the system
    std::ofstream("/proc/self/clear_refs") << "5"; // the peak starts again from here
    const std::int64_t before = resident();
    TFastDIB got;
    DecodeJPEG(reinterpret_cast<const std::uint8_t*>(jpeg.constData()), std::size_t(jpeg.size()), got);
    return resident() - before;
}

TEST(JpegRead, TheMemoryCheckCountsWhatTheDecodeTakesAtItsPeak) {
    EnsureQtApplication();
    QTemporaryDir dir;
    // Worked by hand: the picture is 3 w h + 8 h (its row table); a progressive file adds 128 bytes a
    // block of every component; the row buffers are 128 v bytes a column of blocks of each component.
    struct Case {
        const char* what;
        int w, h;
        bool progressive;
        int sampling;
        int megabytes;
    } cases[] = {
        // 50,331,648 + 32,768; Y 512 x 512 blocks, Cb, Cr 256 x 256: 50,331,648; rows 131,072 + 2 * 32,768
        {"progressive 4:2:0", 4096, 4096, true, 2, 101}, // 100,892,672
        // 50,364,416; every component 512 x 512 blocks: 100,663,296; rows 3 * 65,536
        {"progressive 4:4:4", 4096, 4096, true, 1, 151}, // 151,224,320
        // 72,000,000 + 32,000; no coefficients; rows: Y 750 columns * 256, Cb, Cr 375 * 128
        {"baseline 4:2:0", 6000, 4000, false, 2, 72}, // 72,320,000
    };
    for (const Case& c : cases) {
        const QByteArray jpeg = Encode(c.w, c.h, c.progressive, c.sampling);
        const QString path = dir.filePath("big.jpg");
        WriteAll(path, jpeg);
        const std::string none = Refusal(path, 0);
        const QRegularExpressionMatch m =
            QRegularExpression(" needs (\\d+) MB").match(QString::fromStdString(none));
        ASSERT_TRUE(m.hasMatch()) << c.what << ": " << none;
        const std::int64_t counted = m.captured(1).toLongLong() * 1'000'000;
        EXPECT_EQ(counted, c.megabytes * 1'000'000LL) << c.what;
        // Refused a megabyte under the figure, with the memory message; a megabyte over it, it loads.
        const std::string under = Refusal(path, counted - 1'000'000);
        EXPECT_EQ(under.rfind("big.jpg cannot be read: the picture is too large for the free memory", 0), 0u)
            << c.what << ": " << under;
        EXPECT_EQ(Refusal(path, counted + 1'000'000), "") << c.what;
        // The figure is the real peak: at most 3 % over it; under it by at most 2 MiB (the picture's huge
        // pages) and 9 % (the address sanitizer's shadow of the freed buffers, an eighth of them).
        const std::int64_t peak = DecodePeak(jpeg);
        std::printf("%s: counted %lld, peak %lld\n", c.what, (long long)counted, (long long)peak);
        EXPECT_GE(peak, counted * 97 / 100) << c.what;
        EXPECT_LE(peak, counted * 109 / 100 + (2 << 20)) << c.what;
    }
}

// The picture's restart segments are one row of MCUs (16 rows) each; `damage` changes the stream.
struct Damage {
    const char* what;
    void (*damage)(QByteArray&);
    bool incomplete;
};

TEST(JpegRead, DamagedScanDataLoadWithTheIncompleteWarningHarmlessWarningsDoNot) {
    EnsureQtApplication();
    QTemporaryDir dir;
    const QByteArray clean = Encode(64, 64, false, 2, 1);
    TFastDIB reference;
    ASSERT_TRUE(DecodeJPEG(reinterpret_cast<const std::uint8_t*>(clean.constData()),
                           std::size_t(clean.size()), reference));
    const Damage cases[] = {
        {"clean", [](QByteArray&) {}, false},
        // A newer JFIF revision (2.01): libjpeg warns, the picture is whole.
        {"JFIF 2.01", [](QByteArray& j) { j[11] = 2; }, false},
        // Bytes between two header segments (after APP0, whose length is at 4): libjpeg skips them.
        {"stray bytes",
         [](QByteArray& j) { j.insert(4 + (std::uint8_t(j[4]) << 8 | std::uint8_t(j[5])), "abc"); }, false},
        // The marker after the second segment is not RST1 but APP13, as in a file from the fuzzer:
        // libjpeg ends the scan there and fills in the rest.
        {"APP13 for RST1", [](QByteArray& j) { j[j.indexOf(QByteArray("\xFF\xD1", 2)) + 1] = char(0xED); },
         true},
        // RST5 in the place of RST1: libjpeg resynchronises, the segments between are filled in.
        {"RST5 for RST1", [](QByteArray& j) { j[j.indexOf(QByteArray("\xFF\xD1", 2)) + 1] = char(0xD5); },
         true},
    };
    for (const Damage& c : cases) {
        QByteArray jpeg = clean;
        c.damage(jpeg);
        const QString path = dir.filePath("tile.jpg");
        WriteAll(path, jpeg);
        TFastDIB got;
        QStringList warnings;
        LoadPictureToDIB(path, got, &warnings);
        ASSERT_EQ(got.Width, 64) << c.what;
        ASSERT_EQ(got.Height, 64) << c.what;
        const QStringList want{
            "tile.jpg is incomplete: parts of its picture data are damaged; those parts are "
            "filled in and may look grey or smeared"};
        EXPECT_EQ(warnings, c.incomplete ? want : QStringList()) << c.what;
        // The first two segments are read whatever follows (rows 0 to 30: row 31 takes its colour from
        // the next segment's too).
        for (int y = 0; y < 31; ++y)
            ASSERT_EQ(std::memcmp(got.Scanlines[y], reference.Scanlines[y], 64 * 3), 0)
                << c.what << " row " << y;
    }
}

} // namespace
