// Sizes from untrusted files, colour indices outside their table, colour tables, and safe saving.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <thread>

#include "GifTestUtil.h"

namespace {

std::string ErrorOf(const Bytes& file) {
    WarnedImage w;
    try {
        w.Load(file);
    } catch (const GIFException& e) {
        return e.what();
    }
    return "";
}

const Bytes kClearEnd = B({2, 1, 0x2C, 0});

} // namespace

TEST(gifLimits, OversizedScreenAndFramesAreRefusedBeforeAllocating) {
    const std::string tooLarge = "Image size exceeds the supported limit";
    EXPECT_EQ(ErrorOf(Header87(16385, 1, 0)), tooLarge);
    EXPECT_EQ(ErrorOf(Header87(1, 16385, 0)), tooLarge);
    EXPECT_EQ(ErrorOf(Header87(16384, 16384, 0)), ""); // the largest picture the program makes
    EXPECT_EQ(ErrorOf(Header87(16385, 16384, 0)), tooLarge);
    EXPECT_EQ(ErrorOf(Cat({Header87(1, 1, 0), Descriptor(0, 0, 16385, 1), kClearEnd})), tooLarge);
    EXPECT_EQ(ErrorOf(Cat({Header87(1, 1, 0), Descriptor(0, 0, 65535, 65535), kClearEnd})), tooLarge);
    // A frame reaching past 65535 is refused; one placed far out makes a screen too large to draw.
    EXPECT_EQ(ErrorOf(Cat({Header87(1, 1, 0), Descriptor(65535, 0, 1, 1), kClearEnd})),
              "Frame lies outside the logical screen range");
    EXPECT_EQ(ErrorOf(Cat({Header87(1, 1, 0), Descriptor(0, 65000, 1, 536), kClearEnd})),
              "Frame lies outside the logical screen range");
    EXPECT_EQ(ErrorOf(Cat({Header87(1, 1, 0), Descriptor(20000, 0, 1, 1), kClearEnd})), tooLarge);
    EXPECT_EQ(GIFMaxTotalPixels, 512ll * 1024 * 1024);
}

TEST(gifLimits, FailedLoadRestoresStreamAndKeepsFramesRead) {
    const Bytes good = Cat({Descriptor(0, 0, 1, 1), B({2, 2, 0x44, 0x01, 0})});
    const Bytes file = Cat({Str("JUNK"), Header87(1, 1, 0), good, Descriptor(0, 0, 16385, 1), kClearEnd});
    WarnedImage w;
    TMemoryStream s(file);
    s.SetPosition(4); // the picture begins here
    EXPECT_THROW(w.Image.LoadFromStream(s), GIFException);
    EXPECT_EQ(s.Position(), 4);
    EXPECT_EQ(w.Image.Images().Count(), 1);
}

TEST(gifLimits, PixelDataOfOnePictureIsBounded) {
    TGIFImage image;
    image.SetPixelBytesLimit(1000);
    AddFrame(image, 0, 0, 20, 30); // 600 bytes
    auto second = std::make_unique<TGIFSubImage>(&image);
    try {
        second->SetBounds(0, 0, 20, 21); // 420 more: 1,020
        FAIL();
    } catch (const GIFException& e) {
        EXPECT_STREQ(e.what(), "Image data exceeds the supported limit");
    }
    EXPECT_EQ(image.PixelBytes(), 600);
    EXPECT_EQ(second->Width(), 0); // the refused size left the frame as it was
    second->SetBounds(0, 0, 20, 20);
    EXPECT_EQ(image.PixelBytes(), 1000);

    // The same while loading: the third 20 x 20 frame passes the limit.
    const Bytes frame = Cat({Descriptor(0, 0, 20, 20), kClearEnd});
    WarnedImage w;
    w.Image.SetPixelBytesLimit(1000);
    EXPECT_THROW(w.Load(Cat({Header87(20, 20, 0), frame, frame, frame})), GIFException);
    EXPECT_EQ(w.Image.Images().Count(), 2);
    EXPECT_EQ(w.Image.PixelBytes(), 800);
}

TEST(gifLimits, SetBoundsOutsideRangeLeavesFrameUnchanged) {
    TGIFImage image;
    TGIFSubImage* f = AddFrame(image, 5, 6, 7, 8);
    EXPECT_THROW(f->SetBounds(65000, 0, 600, 1), GIFException);
    EXPECT_THROW(f->SetBounds(0, 0, -1, 1), GIFException);
    EXPECT_THROW(f->SetBounds(0, 0, 20000, 1), GIFException);
    EXPECT_EQ(f->BoundsRect(), (TGIFRect{5, 6, 12, 14}));
    EXPECT_EQ(f->DataSize(), 56u);
}

TEST(gifLimits, IndicesAtOrAboveTableCount) {
    TGIFImage image;
    std::vector<std::string> warnings;
    image.OnWarning = [&](const void*, TGIFSeverity, const std::string& m) { warnings.push_back(m); };
    TGIFColorMap& map = image.GlobalColorMap();
    try {
        map.Colors(0);
        FAIL();
    } catch (const GIFException& e) {
        EXPECT_STREQ(e.what(), "Color table is empty");
    }
    map.Add(0x112233);
    map.Add(0x445566);
    EXPECT_EQ(map.Colors(2), 0x112233u); // warned, entry 0 used
    EXPECT_EQ(map.Colors(-1), 0x112233u);
    EXPECT_EQ(warnings.size(), 3u);
    image.Header().SetBackgroundColorIndex(2);
    EXPECT_EQ(image.Header().BackgroundColorIndex(), 0);

    // A decoded frame may hold values past its table: optimising leaves them as they are, saving
    // refuses them.
    TGIFSubImage* f = AddFrame(image, 0, 0, 4, 1);
    const std::uint8_t px[4] = {1, 1, 200, 0};
    std::copy(px, px + 4, f->Data());
    EXPECT_TRUE(map.Optimize());
    EXPECT_EQ(FrameBytes(*f), B({0, 0, 200, 1}));
    TMemoryStream s;
    try {
        image.SaveToStream(s);
        FAIL();
    } catch (const GIFException& e) {
        EXPECT_STREQ(e.what(), "Color not in color table");
    }
}

TEST(gifColorMap, CapacityOverflowAndDelete) {
    TGIFImage image;
    TGIFColorMap& map = image.GlobalColorMap();
    std::vector<int> capacities;
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(map.Add(static_cast<TColor>(i)), i);
        if (capacities.empty() || capacities.back() != map.Capacity()) capacities.push_back(map.Capacity());
    }
    EXPECT_EQ(capacities, (std::vector<int>{16, 32, 64, 96, 128, 160, 192, 224, 256}));
    try {
        map.Add(0xABCDEF);
        FAIL();
    } catch (const GIFException& e) {
        EXPECT_STREQ(e.what(), "Color table overflow");
    }
    map.Delete(0);
    EXPECT_EQ(map.Count(), 255);
    EXPECT_EQ(map.Colors(0), 1u);
    try {
        map.Delete(255);
        FAIL();
    } catch (const GIFException& e) {
        EXPECT_STREQ(e.what(), "Invalid color index");
    }
    EXPECT_EQ(TGIFColorMap::Color2RGB(0x7F332211), (TGIFColor{0x11, 0x22, 0x33}));
    EXPECT_EQ(TGIFColorMap::RGB2Color({0x11, 0x22, 0x33}), 0x332211u);
    const std::uint8_t quads[8] = {1, 2, 3, 0, 4, 5, 6, 0}; // blue, green, red, reserved
    map.ImportColorTable(quads, 2);
    EXPECT_EQ(map.Count(), 2);
    EXPECT_EQ(map.Data()[1], (TGIFColor{6, 5, 4}));
}

TEST(gifColorMap, OptimizeSortsByUseAndDropsUnused) {
    // Table R, G, R; pixels 1 1 1 0 0 2: counts 2, 3, 1 sort to G, R, R.
    TGIFImage image;
    TGIFColorMap& map = image.GlobalColorMap();
    map.Add(0x0000FF);
    map.Add(0x00FF00);
    map.Add(0x0000FF);
    TGIFSubImage* f = AddFrame(image, 0, 0, 6, 1);
    const std::uint8_t px[6] = {1, 1, 1, 0, 0, 2};
    std::copy(px, px + 6, f->Data());
    EXPECT_EQ(map.IndexOf(0x0000FF), 2); // the later entry before optimising
    EXPECT_TRUE(map.Optimize());
    EXPECT_EQ(map.IndexOf(0x0000FF), 1); // the earlier one after
    EXPECT_EQ(map.Count(), 3);
    EXPECT_EQ(FrameBytes(*f), B({0, 0, 0, 1, 1, 2}));

    // A, B, C, D with pixels 2 2 0 and transparent index 0: sorted C, A, D, B; D and B unused.
    TGIFImage second;
    TGIFSubImage* g = AddFrame(second, 0, 0, 3, 1);
    for (TColor c : {0xA0u, 0xB0u, 0xC0u, 0xD0u}) g->ColorMap().Add(c);
    const std::uint8_t qx[3] = {2, 2, 0};
    std::copy(qx, qx + 3, g->Data());
    auto gce = std::make_unique<TGIFGraphicControlExtension>(g);
    gce->SetTransparentColorIndex(0);
    gce->SetTransparent(true);
    g->Extensions().Add(std::move(gce));
    EXPECT_TRUE(g->ColorMap().Optimize());
    EXPECT_EQ(g->ColorMap().Count(), 2);
    EXPECT_EQ(g->ColorMap().Colors(0), 0xC0u);
    EXPECT_EQ(g->ColorMap().Colors(1), 0xA0u);
    EXPECT_EQ(FrameBytes(*g), B({0, 0, 1}));
    EXPECT_EQ(g->GraphicControlExtension()->TransparentColorIndex(), 1);
    EXPECT_EQ(g->Version(), gv89a); // a sorted local table needs 89a

    // Already in order of use: the unused last entry stays.
    TGIFImage third;
    TGIFSubImage* h = AddFrame(third, 0, 0, 3, 1);
    for (TColor c : {1u, 2u, 3u}) third.GlobalColorMap().Add(c);
    const std::uint8_t rx[3] = {0, 0, 1};
    std::copy(rx, rx + 3, h->Data());
    EXPECT_TRUE(third.GlobalColorMap().Optimize());
    EXPECT_EQ(third.GlobalColorMap().Count(), 3);
    EXPECT_TRUE(third.GlobalColorMap().Optimized());
    TGIFImage noFrames;
    noFrames.GlobalColorMap().Add(1);
    noFrames.GlobalColorMap().Add(2);
    EXPECT_FALSE(noFrames.GlobalColorMap().Optimize());
}

TEST(gifFiles, FailedSaveLeavesTheFileUntouched) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("gif-save-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string file = (dir / "picture.gif").string();
    { std::ofstream(file) << "old"; }
    TGIFImage empty;
    EXPECT_THROW(empty.SaveToFile(file), GIFException);
    TGIFImage bad;
    GreyTable(bad.GlobalColorMap(), 2);
    AddFrame(bad, 0, 0, 2, 1)->Data()[1] = 7; // not in the table
    EXPECT_THROW(bad.SaveToFile(file), GIFException);
    std::stringstream old;
    old << std::ifstream(file).rdbuf();
    EXPECT_EQ(old.str(), "old");

    TGIFImage good;
    GreyTable(good.GlobalColorMap(), 2);
    AddFrame(good, 0, 0, 1, 1);
    good.SaveToFile(file);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1); // no temporary left
    WarnedImage back;
    back.Image.LoadFromFile(file);
    EXPECT_EQ(back.Image.Images().Count(), 1);
    EXPECT_THROW(back.Image.LoadFromFile((dir / "missing.gif").string()), GIFException);
    EXPECT_THROW(good.SaveToFile((dir / "no-such-folder" / "x.gif").string()), GIFException);
    fs::remove_all(dir);
}

TEST(gifFiles, NonSeekableSourceIsBufferedFirst) {
    namespace fs = std::filesystem;
    const std::string seed = std::string(MOZARO_TEST_DATA) + "/gif/animated.gif";
    std::stringstream content;
    content << std::ifstream(seed, std::ios::binary).rdbuf();
    const std::string bytes = content.str();
    ASSERT_FALSE(bytes.empty());

    // A named pipe cannot seek; the whole content is read before decoding.
    const fs::path fifo = fs::temp_directory_path() / ("gif-fifo-" + std::to_string(::getpid()));
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::thread writer([&] { std::ofstream(fifo, std::ios::binary) << bytes; });
    WarnedImage w;
    w.Image.LoadFromFile(fifo.string());
    writer.join();
    fs::remove(fifo);
    EXPECT_EQ(w.Image.Images().Count(), 3);

    std::istringstream in(bytes);
    TMemoryStream s(ReadWholeStream(in));
    WarnedImage v;
    v.Image.LoadFromStream(s);
    EXPECT_EQ(v.Image.Images().Count(), 3);
}

TEST(gifFiles, SeedCorpusLoadsAndSavesBackTheSameFrames) {
    for (const auto& entry : std::filesystem::directory_iterator(std::string(MOZARO_TEST_DATA) + "/gif")) {
        WarnedImage w;
        w.Image.LoadFromFile(entry.path().string());
        // The one seed with an extension of an unknown label says so; nothing else warns.
        for (const std::string& m : w.Warnings) EXPECT_EQ(m, "Unknown extension type") << entry.path();
        ASSERT_GT(w.Image.Images().Count(), 0) << entry.path();
        WarnedImage again;
        again.Load(w.Save());
        ASSERT_EQ(again.Image.Images().Count(), w.Image.Images().Count());
        for (int i = 0; i < w.Image.Images().Count(); ++i) {
            EXPECT_EQ(FrameBytes(*again.Image.Images()[i]), FrameBytes(*w.Image.Images()[i]));
            EXPECT_EQ(again.Image.Images()[i]->Extensions().Count(),
                      w.Image.Images()[i]->Extensions().Count());
        }
    }
}

TEST(gifFiles, TruncatedAndCorruptedSeedsNeverCrash) {
    // Every prefix of every seed, and every seed with one byte changed, either loads or raises a
    // GIFException; what loads also saves or raises a GIFException.
    const auto survive = [](const Bytes& bytes) {
        WarnedImage w;
        try {
            w.Load(bytes);
        } catch (const GIFException&) {
        }
        try {
            w.Save();
        } catch (const GIFException&) {
        }
    };
    for (const auto& entry : std::filesystem::directory_iterator(std::string(MOZARO_TEST_DATA) + "/gif")) {
        if (entry.file_size() > 1000) continue; // the small seeds cover every block kind
        std::stringstream content;
        content << std::ifstream(entry.path(), std::ios::binary).rdbuf();
        const std::string s = content.str();
        const Bytes seed(s.begin(), s.end());
        for (std::size_t n = 0; n < seed.size(); ++n) survive(Bytes(seed.begin(), seed.begin() + n));
        for (std::size_t i = 0; i < seed.size(); ++i)
            for (int v : {0x00, 0x01, 0x21, 0x2C, 0x3B, 0x7F, 0xFF}) {
                Bytes changed = seed;
                changed[i] = static_cast<std::uint8_t>(v);
                survive(changed);
            }
    }
}
