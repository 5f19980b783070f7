// Saves: the BMP writer streams its rows to the file, with the bytes of the whole-file encoding, and
// needs no memory for the file; a save that lacks memory says which file and what it needs.
#include "platform/BMPFile.h"
#include "platform/PictureSave.h"
#include "platform/SystemMemory.h"

#include "common/QtTestSupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// Every byte of every row differs from its neighbours (and compresses badly).
void noise(TFastDIB& d, int w, int h) {
    d.SetSize(w, h, 24, 0);
    std::uint32_t s = 12345;
    for (int y = 0; y < h; ++y) {
        auto* p = reinterpret_cast<std::uint8_t*>(d.Pixels24[y]);
        for (int i = 0; i < 3 * w; ++i) p[i] = static_cast<std::uint8_t>((s = s * 1103515245u + 12345u) >> 24);
    }
}

class PictureSave : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString file(const QString& name) const { return dir.filePath(name); }
    void TearDown() override { SetFreeMemoryHook({}); }
};

} // namespace

TEST_F(PictureSave, StreamedBitmapsHoldTheBytesOfTheWholeFileEncoding) {
    // Odd widths (padded rows), one row, and files of several blocks of rows.
    TFastDIB pic;
    for (const auto& [w, h] : {std::pair{1, 3}, {333, 2000}, {4097, 300}})
        for (int bits : {24, 16}) {
            noise(pic, w, h);
            WriteBMPFile(pic, file("s.bmp"), bits);
            EXPECT_EQ(ReadAll(file("s.bmp")), EncodeBMP(pic, bits)) << w << " x " << h << " at " << bits;
        }
}

TEST_F(PictureSave, ASaveThatLacksMemorySaysWhichFileAndWhatItNeeds) {
    SetFreeMemoryHook([] { return std::int64_t{300'000'000}; });
    bool ran = false;
    try {
        RunSaveWithinMemory(file("tile.gif"), 16384, 16384, 900'000'000, [&] { ran = true; });
        ADD_FAILURE() << "refused before it starts";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Not enough memory to save tile.gif: 16384 x 16384 pixels need 900 MB; 300 MB are free");
    }
    EXPECT_FALSE(ran);

    // Under an address-space limit (in a child process): the bitmap, written as it is made, saves; the
    // JPEG stream of a picture that does not compress runs out and says so.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "the sanitizers' shadow memory takes no address-space limit";
#endif
    // The child runs this test again by itself: threads of this process would not survive a fork.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    TFastDIB pic;
    noise(pic, 6000, 4000); // 72 MB
    // Exits 0 when the file holds the picture, 1 when the save failed and left no file.
    const auto underLimit = [&](const char* name) {
        rlimit old{};
        getrlimit(RLIMIT_AS, &old);
        long pages = 0;
        std::ifstream("/proc/self/statm") >> pages;
        rlimit r = old;
        r.rlim_cur = static_cast<rlim_t>(pages * sysconf(_SC_PAGESIZE)) + 40'000'000;
        setrlimit(RLIMIT_AS, &r);
        std::string error;
        try {
            SavePictureFromDIB(pic, file(name), 100);
        } catch (const std::exception& e) {
            error = e.what();
        }
        setrlimit(RLIMIT_AS, &old);
        std::fprintf(stderr, "%s\n", error.c_str());
        if (error.empty()) std::exit(ReadAll(file(name)) == EncodeBMP(pic) ? 0 : 2);
        std::exit(QFile::exists(file(name)) ? 3 : 1);
    };
    EXPECT_EXIT(underLimit("big.bmp"), ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT(underLimit("big.jpg"), ::testing::ExitedWithCode(1),
                "Not enough memory to save big.jpg: 6000 x 4000 pixels need [0-9]+ MB; [0-9]+ MB are free");
}
