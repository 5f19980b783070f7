// LZW and run-length streams of small frames worked by hand, round trips, and damaged image data.
#include <gtest/gtest.h>

#include <random>

#include "GifTestUtil.h"

namespace {

Bytes Encode(TGIFEncoder&& encoder, int bpp, int w, int h, bool interlace, const Bytes& px, int maxColor) {
    TMemoryStream s;
    encoder.Compress(s, bpp, w, h, interlace, px.data(), maxColor);
    return s.Bytes();
}

// Decodes image data into a frame of w x h of the picture, optionally interlaced.
struct Decoded {
    WarnedImage W;
    TGIFSubImage* Frame = nullptr;
    std::int64_t End = 0;
    Decoded(const Bytes& data, int w, int h, bool interlaced = false, int transparent = -1) {
        Frame = AddFrame(W.Image, 0, 0, w, h);
        Frame->SetInterlaced(interlaced);
        if (transparent >= 0) {
            auto g = std::make_unique<TGIFGraphicControlExtension>(Frame);
            g->SetTransparentColorIndex(transparent);
            g->SetTransparent(true);
            Frame->Extensions().Add(std::move(g));
        }
        TMemoryStream s(data);
        Frame->Decompress(s);
        End = s.Position();
    }
    Bytes Pixels() const { return FrameBytes(*Frame); }
};

// Splits image data (code size, sub-blocks, zero) into sub-blocks of one byte each.
Bytes OneByteBlocks(const Bytes& data) {
    Bytes out{data[0]};
    std::size_t i = 1;
    while (data[i] != 0) {
        const int n = data[i];
        for (int k = 1; k <= n; ++k) out.insert(out.end(), {1, data[i + k]});
        i += n + 1;
    }
    out.push_back(0);
    return out;
}

} // namespace

TEST(gifLzw, SmallFramesWorkedByHand) {
    // 1 x 1 at 1 bit per pixel: code size 2, clear 4, pixel 0, end 5, 3-bit codes in 2 bytes.
    EXPECT_EQ(Encode(TLZWEncoder(), 1, 1, 1, false, B({0}), 2), B({2, 2, 0x44, 0x01, 0}));

    // 4 x 2: 0 0 0 0 1 1 1 1. Codes: clear 4, 0, 6 (= 0 0), 0 at 3 bits; entry 8 passes 7, so 1,
    // 9 (= 1 1), 1 and end 5 at 4 bits.
    const Bytes lzw = B({2, 4, 0x84, 0x11, 0x19, 0x05, 0});
    const Bytes px = B({0, 0, 0, 0, 1, 1, 1, 1});
    EXPECT_EQ(Encode(TLZWEncoder(), 2, 4, 2, false, px, 4), lzw);
    EXPECT_EQ(lzw, PackCodes(2, {{4, 3}, {0, 3}, {6, 3}, {0, 3}, {1, 4}, {9, 4}, {1, 4}, {5, 4}}));
    Decoded d(lzw, 4, 2);
    EXPECT_EQ(d.Pixels(), px);
    EXPECT_EQ(d.End, 7);
    EXPECT_TRUE(d.W.Warnings.empty());
}

TEST(gifLzw, InterlacedFrameWorkedByHand) {
    // 2 x 3, rows 0 0 / 1 1 / 2 2 walked in the order 0, 2, 1: 0 0 2 2 1 1. Codes: clear 4, 0, 0,
    // 2 at 3 bits, then 2, 1, 1 and end 5 at 4 bits.
    const Bytes px = B({0, 0, 1, 1, 2, 2});
    const Bytes lzw = B({2, 4, 0x04, 0x24, 0x11, 0x05, 0});
    EXPECT_EQ(Encode(TLZWEncoder(), 2, 2, 3, true, px, 4), lzw);
    Decoded d(lzw, 2, 3, true);
    EXPECT_EQ(d.Pixels(), px);
}

TEST(gifRle, RunOfSixWorkedByHand) {
    // 6 pixels of 0 at 2 bits: after the clear, 0 (1 pixel), 6 (2 pixels), 7 (3 pixels), all at
    // 3 bits; the third code reaches OutBump 3, so the end code 5 goes out at 4 bits.
    const Bytes rle = B({2, 2, 0x84, 0x5F, 0});
    EXPECT_EQ(Encode(TRLEEncoder(), 2, 6, 1, false, Bytes(6, 0), 4), rle);
    EXPECT_EQ(rle, PackCodes(2, {{4, 3}, {0, 3}, {6, 3}, {7, 3}, {5, 4}}));
    Decoded d(rle, 6, 1);
    EXPECT_EQ(d.Pixels(), Bytes(6, 0));
}

TEST(gifRle, AlternatingColoursSendOnePlainCodePerPixelWithClears) {
    // Twelve pixels 0 1 0 1 ...: one code per pixel; the width grows to 4 after the third code and
    // the table is cleared after the ninth (OutClearInit 9 at 2 bits per pixel).
    Bytes px;
    for (int i = 0; i < 12; ++i) px.push_back(static_cast<std::uint8_t>(i & 1));
    std::vector<Code> codes{{4, 3}, {0, 3}, {1, 3}, {0, 3}};
    for (int i = 3; i < 9; ++i) codes.push_back({i & 1, 4});
    codes.push_back({4, 4});
    codes.insert(codes.end(), {{1, 3}, {0, 3}, {1, 3}, {5, 4}});
    const Bytes rle = Encode(TRLEEncoder(), 2, 12, 1, false, px, 4);
    EXPECT_EQ(rle, PackCodes(2, codes));
    EXPECT_EQ(Decoded(rle, 12, 1).Pixels(), px);
}

TEST(gifRle, LongRunTakesFarFewerCodes) {
    const Bytes px(10000, 3);
    const Bytes rle = Encode(TRLEEncoder(), 2, 100, 100, false, px, 4);
    EXPECT_LT(rle.size(), 400u); // 10,000 pixels in well under 10,000 codes
    Decoded d(rle, 100, 100);
    EXPECT_EQ(d.Pixels(), px);
    EXPECT_TRUE(d.W.Warnings.empty());
}

TEST(gifRle, PlannerHelpers) {
    EXPECT_EQ(TRLEEncoder::ISqrt(0), 0);
    EXPECT_EQ(TRLEEncoder::ISqrt(1), 1);
    EXPECT_EQ(TRLEEncoder::ISqrt(15), 3);
    EXPECT_EQ(TRLEEncoder::ISqrt(16), 4);
    EXPECT_EQ(TRLEEncoder::ISqrt(99), 9);
    EXPECT_EQ(TRLEEncoder::ISqrt(1000000), 1000);
    // Runs of 1, 2, 3 cover 6 pixels in 3 codes; 7 pixels need k(k+1) >= 14: k = 4.
    EXPECT_EQ(TRLEEncoder::ComputeTriangleCount(6, 100), 3);
    EXPECT_EQ(TRLEEncoder::ComputeTriangleCount(7, 100), 4);
    // With codes up to 3 (6 pixels each round): 13 = 6 + 6 + 1 -> 3 + 3 + 1.
    EXPECT_EQ(TRLEEncoder::ComputeTriangleCount(13, 3), 7);
}

TEST(gifCoder, InterlaceRowOrder) {
    // Row r holds the value r; the encoder walks rows in interlace order, which the RLE stream
    // shows as one plain code per row (each row is a run of 1 pixel).
    const auto order = [](int h) {
        Bytes px;
        for (int y = 0; y < h; ++y) px.push_back(static_cast<std::uint8_t>(y));
        const Bytes data = Encode(TRLEEncoder(), 4, 1, h, true, px, 16);
        Decoded d(data, 1, h, true);
        EXPECT_EQ(d.Pixels(), px) << h;
        // The codes after the clear, read at 5 bits (no width change within 9 codes).
        std::vector<int> rows;
        std::uint64_t acc = 0;
        int bits = 0;
        for (std::size_t i = 2; i < data.size() - 1; ++i) {
            acc |= static_cast<std::uint64_t>(data[i]) << bits;
            bits += 8;
        }
        acc >>= 5; // the clear code
        for (int i = 0; i < h; ++i, acc >>= 5) rows.push_back(static_cast<int>(acc & 31));
        return rows;
    };
    EXPECT_EQ(order(1), (std::vector<int>{0}));
    EXPECT_EQ(order(2), (std::vector<int>{0, 1}));
    EXPECT_EQ(order(3), (std::vector<int>{0, 2, 1}));
    EXPECT_EQ(order(4), (std::vector<int>{0, 2, 1, 3}));
    EXPECT_EQ(order(5), (std::vector<int>{0, 4, 2, 1, 3}));
}

TEST(gifCoder, InterlacedDecodeVisitsEveryRowOnce) {
    for (int h : {1, 2, 3, 4, 5, 8, 9}) {
        // Pixels arrive in file order 0, 1, 2 ...; row y must receive the value of its place in the
        // pass order 0, 8, 16 ... / 4, 12 ... / 2, 6 ... / 1, 3, 5 ...
        std::vector<int> passOrder;
        for (int y = 0; y < h; y += 8) passOrder.push_back(y);
        for (int y = 4; y < h; y += 8) passOrder.push_back(y);
        for (int y = 2; y < h; y += 4) passOrder.push_back(y);
        for (int y = 1; y < h; y += 2) passOrder.push_back(y);
        ASSERT_EQ(static_cast<int>(passOrder.size()), h);
        std::vector<Code> codes{{16, 5}};
        for (int i = 0; i < h; ++i) {
            codes.push_back({i, 5});
            codes.push_back({16, 5}); // a clear after each pixel keeps the width at 5
        }
        codes.push_back({17, 5});
        Decoded d(PackCodes(4, codes), 1, h, true, 15);
        Bytes expected(h);
        for (int i = 0; i < h; ++i) expected[passOrder[i]] = static_cast<std::uint8_t>(i);
        EXPECT_EQ(d.Pixels(), expected) << h;
        EXPECT_TRUE(d.W.Warnings.empty());
    }
    // Height 9 written: rows in the order 0, 8, 4, 2, 6, 1, 3, 5, 7, one plain code each (no
    // clear before OutClearInit 14 codes at 4 bits per pixel), then the end code.
    Bytes px(9);
    for (int y = 0; y < 9; ++y) px[y] = static_cast<std::uint8_t>(y);
    std::vector<Code> codes{{16, 5}};
    for (int r : {0, 8, 4, 2, 6, 1, 3, 5, 7}) codes.push_back({r, 5});
    codes.push_back({17, 5});
    EXPECT_EQ(Encode(TRLEEncoder(), 4, 1, 9, true, px, 16), PackCodes(4, codes));
}

TEST(gifCoder, RoundTripsAtEveryBitDepthThroughBothEncoders) {
    std::mt19937 rng(20261206);
    for (TGIFCompression comp : {gcLZW, gcRLE})
        for (int bpp = 1; bpp <= 8; ++bpp)
            for (bool interlaced : {false, true}) {
                const int colours = 1 << bpp;
                WarnedImage w;
                w.Image.SetCompression(comp);
                GreyTable(w.Image.GlobalColorMap(), colours);
                TGIFSubImage* f = AddFrame(w.Image, 1, 2, 61, 37);
                f->SetInterlaced(interlaced);
                // Mixed noise and runs so that both encoders take every path.
                for (std::size_t i = 0; i < f->DataSize(); ++i)
                    f->Data()[i] =
                        static_cast<std::uint8_t>(rng() % 3 == 0 ? rng() % colours : (i / 17) % colours);
                const Bytes px = FrameBytes(*f);
                WarnedImage r;
                r.Load(w.Save());
                ASSERT_EQ(r.Image.Images().Count(), 1);
                EXPECT_EQ(FrameBytes(*r.Image.Images()[0]), px) << comp << " " << bpp << " " << interlaced;
                EXPECT_EQ(r.Image.Images()[0]->Interlaced(), interlaced);
                EXPECT_TRUE(r.Warnings.empty());
            }
}

TEST(gifCoder, FullDictionaryClearsAndRoundTrips) {
    // Enough noise to fill the 4096-entry table several times, at 2 and 8 bits per pixel.
    std::mt19937 rng(5);
    for (int bpp : {2, 8}) {
        Bytes px(256 * 200);
        for (auto& p : px) p = static_cast<std::uint8_t>(rng() % (1u << bpp));
        const Bytes lzw = Encode(TLZWEncoder(), bpp, 256, 200, false, px, 1 << bpp);
        Decoded d(lzw, 256, 200);
        EXPECT_EQ(d.Pixels(), px);
        EXPECT_EQ(d.End, static_cast<std::int64_t>(lzw.size()));
        EXPECT_TRUE(d.W.Warnings.empty());
        // Every sub-block but the last holds 255 bytes.
        std::size_t i = 1;
        while (lzw[i] != 0) {
            const std::size_t n = lzw[i];
            if (lzw[i + n + 1] != 0) {
                EXPECT_EQ(n, 255u);
            }
            i += n + 1;
        }
        EXPECT_EQ(i, lzw.size() - 1);
    }
}

TEST(gifCoder, ColourOutsideTableIsRefused) {
    try {
        Encode(TLZWEncoder(), 2, 2, 1, false, B({3, 4}), 4);
        FAIL();
    } catch (const GIFException& e) {
        EXPECT_STREQ(e.what(), "Color not in color table");
    }
    EXPECT_THROW(Encode(TRLEEncoder(), 2, 2, 1, false, B({4, 0}), 4), GIFException);
    // Without pixels: code size, one sub-block with clear-less end code, zero byte.
    TMemoryStream s;
    TLZWEncoder().Compress(s, 2, 0, 0, false, nullptr, 4);
    EXPECT_EQ(s.Bytes(), B({2, 1, 5, 0}));
}

TEST(gifDecoder, CodesOverOneByteSubBlocks) {
    // 1 x 3 at code size 8: clear 256, 1, 2, 3, end 257 in 9-bit codes, every byte its own sub-block.
    const Bytes nine = PackCodes(8, {{256, 9}, {1, 9}, {2, 9}, {3, 9}, {257, 9}});
    EXPECT_EQ(nine, B({8, 6, 0, 3, 8, 0x18, 0x10, 0x10, 0}));
    const Bytes split = OneByteBlocks(nine);
    Decoded d(Cat({split, B({';'})}), 3, 1);
    EXPECT_EQ(d.Pixels(), B({1, 2, 3}));
    EXPECT_EQ(d.End, static_cast<std::int64_t>(split.size()));
    EXPECT_TRUE(d.W.Warnings.empty());

    // Codes of up to 12 bits from the encoder, re-cut into one-byte sub-blocks.
    std::mt19937 rng(3);
    Bytes px(128 * 128);
    for (auto& p : px) p = static_cast<std::uint8_t>(rng() & 255);
    const Bytes lzw = OneByteBlocks(Encode(TLZWEncoder(), 8, 128, 128, false, px, 256));
    Decoded big(lzw, 128, 128);
    EXPECT_EQ(big.Pixels(), px);
    EXPECT_EQ(big.End, static_cast<std::int64_t>(lzw.size()));
    EXPECT_TRUE(big.W.Warnings.empty());
}

TEST(gifDecoder, ClearAndEndGiveFillAndSayIncomplete) {
    // Clear 4 and end 5 in 3-bit codes: one byte $2C.
    const Bytes data = B({2, 1, 0x2C, 0});
    EXPECT_EQ(data, PackCodes(2, {{4, 3}, {5, 3}}));
    Decoded plain(Cat({data, B({';'})}), 10, 10);
    EXPECT_EQ(plain.Pixels(), Bytes(100, 0));
    EXPECT_EQ(plain.End, 4);
    const std::vector<std::string> incomplete{"Image data end before the last pixel: the picture is incomplete"};
    EXPECT_EQ(plain.W.Warnings, incomplete);
    Decoded transparent(PackCodes(3, {{8, 4}, {9, 4}}), 10, 10, false, 5);
    EXPECT_EQ(transparent.Pixels(), Bytes(100, 5));
    EXPECT_EQ(transparent.W.Warnings, incomplete);
}

TEST(gifDecoder, EarlyEndDrainsToTerminatorOnce) {
    // Clear, 1, end; a further sub-block of junk; then a second frame must still be found.
    const Bytes first = B({2, 2, 0x4C, 0x01, 3, 0xAA, 0xBB, 0xCC, 0});
    const Bytes file = Cat({Header87(4, 1, 1), Descriptor(0, 0, 4, 1), first, Descriptor(0, 0, 1, 1),
                            B({2, 2, 0x44, 0x01, 0, ';'})});
    WarnedImage w;
    w.Load(file);
    ASSERT_EQ(w.Image.Images().Count(), 2);
    EXPECT_EQ(FrameBytes(*w.Image.Images()[0]), B({1, 0, 0, 0}));
    EXPECT_EQ(FrameBytes(*w.Image.Images()[1]), B({0}));
    EXPECT_EQ(w.Warnings, std::vector<std::string>{"Image data end before the last pixel: the picture is incomplete"});

    // Surplus codes after the last pixel are skipped the same way.
    Decoded extra(Cat({PackCodes(2, {{4, 3}, {1, 3}, {2, 3}, {3, 3}, {5, 3}}), B({';'})}), 1, 1);
    EXPECT_EQ(extra.Pixels(), B({1}));
    EXPECT_EQ(extra.End, 5);
}

TEST(gifDecoder, LoopingPrefixChainStopsTheFrameWithWarning) {
    // A self-referencing entry: clear, 0, 7 (undefined: defines 6 = 0 0), 6 (defines 7 with prefix
    // 7), then 7 at 4 bits loops on itself.
    const Bytes self = B({2, 3, 0xC4, 0x7D, 0x05, 0});
    EXPECT_EQ(self, PackCodes(2, {{4, 3}, {0, 3}, {7, 3}, {6, 3}, {7, 4}, {5, 4}}));
    Decoded a(Cat({self, B({';'})}), 8, 1, false, 3);
    EXPECT_EQ(a.Pixels(), B({0, 0, 0, 0, 0, 3, 3, 3}));
    EXPECT_EQ(a.W.Warnings, (std::vector<std::string>{"Circular decoder table entry", "Image data end before the last pixel: the picture is incomplete"}));
    EXPECT_EQ(a.End, static_cast<std::int64_t>(self.size()));

    // A cycle through two entries: clear, 7 (taken as it stands), 6 (defines 6 with prefix 7), 1
    // (defines 7 with prefix 6), then 6 at 4 bits: 6 -> 7 -> 6 ...
    const Bytes pair = B({2, 3, 0xBC, 0x63, 0x05, 0});
    EXPECT_EQ(pair, PackCodes(2, {{4, 3}, {7, 3}, {6, 3}, {1, 3}, {6, 4}, {5, 4}}));
    Decoded b(pair, 8, 1, false, 3);
    EXPECT_EQ(b.Pixels(), B({7, 0, 0, 7, 1, 3, 3, 3}));
    EXPECT_EQ(b.W.Warnings, (std::vector<std::string>{"Circular decoder table entry", "Image data end before the last pixel: the picture is incomplete"}));
}

TEST(gifDecoder, TruncatedAndExhaustedData) {
    // The 4 x 2 stream cut inside its sub-block: 2 of 4 bytes hold clear, 0, 6, 0 and the 4-bit 1.
    WarnedImage w;
    w.Load(Cat({Header87(4, 2, 1), TransparentGCE(3), Descriptor(0, 0, 4, 2), B({2, 4, 0x84, 0x11})}));
    ASSERT_EQ(w.Image.Images().Count(), 1);
    EXPECT_EQ(FrameBytes(*w.Image.Images()[0]), B({0, 0, 0, 0, 1, 3, 3, 3}));
    EXPECT_EQ(w.Warnings, (std::vector<std::string>{"Premature end of data", "Image data end before the last pixel: the picture is incomplete", "The file ends before its trailer: the picture is incomplete"}));

    // Data end with no bit left while pixels remain: clear 8 and 1 fill one byte exactly.
    Decoded underRun(B({3, 1, 0x18, 0}), 2, 1);
    EXPECT_EQ(underRun.Pixels(), B({1, 0}));
    EXPECT_EQ(underRun.W.Warnings, (std::vector<std::string>{"Decoder bit buffer under-run", "Image data end before the last pixel: the picture is incomplete"}));
    // Some bits left but fewer than a code: no under-run, but the frame is incomplete.
    Decoded partial(B({2, 1, 0x04, 0}), 2, 1, false, 1);
    EXPECT_EQ(partial.Pixels(), B({0, 1}));
    EXPECT_EQ(partial.W.Warnings, std::vector<std::string>{"Image data end before the last pixel: the picture is incomplete"});
    // No code-size byte at all: the fill stays.
    Decoded none(Bytes{}, 2, 1, false, 1);
    EXPECT_EQ(none.Pixels(), B({1, 1}));
    EXPECT_EQ(none.W.Warnings, std::vector<std::string>{"Image data end before the last pixel: the picture is incomplete"});
}

TEST(gifDecoder, CodeSizeAboveEightIsEight) {
    Decoded d(PackCodes(12, {{256, 9}, {1, 9}, {2, 9}, {3, 9}, {257, 9}}), 3, 1);
    EXPECT_EQ(d.Pixels(), B({1, 2, 3}));
}

TEST(gifDecoder, FullTableKeepsTwelveBitCodes) {
    // Code size 2, no clear after the first: code k (k >= 2) is read while the next free entry is
    // k + 4, so at the bit length of k + 4, never above 12. Codes alternate 0 and 1, one pixel each,
    // also after the table is full.
    const int n = 5000;
    std::vector<Code> codes{{4, 3}};
    Bytes px;
    for (int k = 1; k <= n; ++k) {
        int width = 0;
        for (int v = k + 4; v > 0; v >>= 1) ++width;
        codes.push_back({k & 1, std::min(width, 12)});
        px.push_back(static_cast<std::uint8_t>(k & 1));
    }
    codes.push_back({5, 12});
    Decoded d(PackCodes(2, codes), n, 1);
    EXPECT_EQ(d.Pixels(), px);
    EXPECT_TRUE(d.W.Warnings.empty());
}
