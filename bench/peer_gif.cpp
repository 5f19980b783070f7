// The GIF image data coders side by side with giflib, a widely used C GIF library, on 8-bit frames of
// noise, smooth gradients and one flat colour at 2048 and 4096 pixels a side. Built only where giflib's
// headers are installed (Debian: libgif-dev); not part of the project's dependencies.
#include "GifFrames.h"

#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <cstring>
#include <stdexcept>
#include <vector>

namespace {

// Our image data (code size and sub-blocks) for the frame.
std::vector<std::uint8_t> OurData(int size, const std::vector<std::uint8_t>& px) {
    return EncodeWith(TLZWEncoder(), size, px);
}

// A whole GIF file around image data: header, screen with a 256-entry grey table, image, trailer.
std::vector<std::uint8_t> WrapInFile(int size, const std::vector<std::uint8_t>& data) {
    std::vector<std::uint8_t> f = {'G', 'I', 'F', '8', '9', 'a'};
    auto word = [&](int v) { f.push_back(std::uint8_t(v)), f.push_back(std::uint8_t(v >> 8)); };
    word(size), word(size);
    f.insert(f.end(), {0xF7, 0, 0});
    for (int i = 0; i < 256; ++i) f.insert(f.end(), {std::uint8_t(i), std::uint8_t(i), std::uint8_t(i)});
    f.push_back(0x2C);
    word(0), word(0), word(size), word(size);
    f.push_back(0);
    f.insert(f.end(), data.begin(), data.end());
    f.push_back(0x3B);
    return f;
}

struct Reader {
    const std::vector<std::uint8_t>* bytes;
    std::size_t pos = 0;
};
int readBytes(GifFileType* g, GifByteType* buf, int n) {
    auto* r = static_cast<Reader*>(g->UserData);
    const std::size_t take = std::min<std::size_t>(n, r->bytes->size() - r->pos);
    std::memcpy(buf, r->bytes->data() + r->pos, take);
    r->pos += take;
    return static_cast<int>(take);
}
int writeBytes(GifFileType* g, const GifByteType* buf, int n) {
    static_cast<std::vector<std::uint8_t>*>(g->UserData)
        ->insert(static_cast<std::vector<std::uint8_t>*>(g->UserData)->end(), buf, buf + n);
    return n;
}

void PeerDecode(const std::vector<std::uint8_t>& file) {
    Reader r{&file};
    int err = 0;
    GifFileType* g = DGifOpen(&r, readBytes, &err);
    if (!g || DGifSlurp(g) != GIF_OK) throw std::runtime_error("giflib could not read the file");
    benchmark::DoNotOptimize(g->SavedImages[0].RasterBits);
    DGifCloseFile(g, &err);
}

std::vector<std::uint8_t> PeerEncode(int size, const std::vector<std::uint8_t>& px) {
    std::vector<std::uint8_t> out;
    int err = 0;
    GifFileType* g = EGifOpen(&out, writeBytes, &err);
    GifColorType colours[256];
    for (int i = 0; i < 256; ++i) colours[i] = {GifByteType(i), GifByteType(i), GifByteType(i)};
    ColorMapObject* map = GifMakeMapObject(256, colours);
    EGifPutScreenDesc(g, size, size, 8, 0, map);
    EGifPutImageDesc(g, 0, 0, size, size, false, nullptr);
    for (int y = 0; y < size; ++y)
        EGifPutLine(g, const_cast<GifPixelType*>(px.data() + static_cast<std::size_t>(y) * size), size);
    EGifCloseFile(g, &err);
    GifFreeMapObject(map);
    return out;
}

void BM_OurDecode(benchmark::State& st, Pattern p) {
    const int size = static_cast<int>(st.range(0));
    const auto data = OurData(size, MakePixels(size, p));
    TGIFImage image;
    auto frame = std::make_unique<TGIFSubImage>(&image);
    frame->SetBounds(0, 0, size, size);
    for (auto _ : st) {
        TByteViewStream s(data.data(), data.size());
        frame->Decompress(s);
        benchmark::DoNotOptimize(frame->Data());
    }
    st.SetBytesProcessed(static_cast<std::int64_t>(st.iterations()) * size * size);
}
void BM_PeerDecode(benchmark::State& st, Pattern p) {
    const int size = static_cast<int>(st.range(0));
    const auto file = WrapInFile(size, OurData(size, MakePixels(size, p))); // the same image data
    for (auto _ : st) PeerDecode(file);
    st.SetBytesProcessed(static_cast<std::int64_t>(st.iterations()) * size * size);
}
void BM_OurEncode(benchmark::State& st, Pattern p) {
    const int size = static_cast<int>(st.range(0));
    const auto px = MakePixels(size, p);
    for (auto _ : st) benchmark::DoNotOptimize(OurData(size, px).data());
    st.SetBytesProcessed(static_cast<std::int64_t>(st.iterations()) * size * size);
}
void BM_PeerEncode(benchmark::State& st, Pattern p) {
    const int size = static_cast<int>(st.range(0));
    const auto px = MakePixels(size, p);
    for (auto _ : st) benchmark::DoNotOptimize(PeerEncode(size, px).data());
    st.SetBytesProcessed(static_cast<std::int64_t>(st.iterations()) * size * size);
}

#define SIDE_BY_SIDE(fn)                                                                                     \
    BENCHMARK_CAPTURE(fn, noise, Noise)->Arg(2048)->Arg(4096)->Unit(benchmark::kMillisecond);                \
    BENCHMARK_CAPTURE(fn, gradient, Gradient)->Arg(2048)->Arg(4096)->Unit(benchmark::kMillisecond);          \
    BENCHMARK_CAPTURE(fn, flat, Flat)->Arg(2048)->Arg(4096)->Unit(benchmark::kMillisecond)
SIDE_BY_SIDE(BM_OurDecode);
SIDE_BY_SIDE(BM_PeerDecode);
SIDE_BY_SIDE(BM_OurEncode);
SIDE_BY_SIDE(BM_PeerEncode);

} // namespace
