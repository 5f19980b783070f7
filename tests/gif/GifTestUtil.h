#pragma once
// Helpers shared by the codec tests: byte strings, loading from bytes, warning capture.
#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "gif/GIFImage.h"

using Bytes = std::vector<std::uint8_t>;

inline Bytes B(std::initializer_list<int> v) {
    Bytes out;
    for (int x : v) out.push_back(static_cast<std::uint8_t>(x));
    return out;
}
inline Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}
inline Bytes Str(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

// A picture that records its warnings.
struct WarnedImage {
    TGIFImage Image;
    std::vector<std::string> Warnings;
    WarnedImage() {
        Image.OnWarning = [this](const void*, TGIFSeverity, const std::string& m) { Warnings.push_back(m); };
    }
    void Load(const Bytes& bytes) {
        TMemoryStream s(bytes);
        Image.LoadFromStream(s);
    }
    Bytes Save() {
        TMemoryStream s;
        Image.SaveToStream(s);
        return s.Bytes();
    }
    bool Warned(const std::string& m) const {
        for (const auto& w : Warnings)
            if (w == m) return true;
        return false;
    }
};

// Fills a global table of n grey entries.
inline void GreyTable(TGIFColorMap& map, int n) {
    for (int i = 0; i < n; ++i) map.Add(static_cast<TColor>(i * 0x010101 % 0x1000000));
}

// Packs (code, width) pairs least significant bit first, as GIF image data stores them, and wraps
// the bytes into data sub-blocks of at most BlockSize bytes behind the code-size byte.
struct Code {
    int Value;
    int Width;
};
inline Bytes PackCodes(int codeSize, const std::vector<Code>& codes, int blockSize = 255) {
    Bytes packed;
    std::uint32_t acc = 0;
    int bits = 0;
    for (const Code& c : codes) {
        acc |= static_cast<std::uint32_t>(c.Value) << bits;
        bits += c.Width;
        while (bits >= 8) {
            packed.push_back(static_cast<std::uint8_t>(acc & 0xFF));
            acc >>= 8;
            bits -= 8;
        }
    }
    if (bits > 0) packed.push_back(static_cast<std::uint8_t>(acc & 0xFF));
    Bytes out{static_cast<std::uint8_t>(codeSize)};
    for (std::size_t i = 0; i < packed.size(); i += blockSize) {
        const std::size_t n = std::min<std::size_t>(blockSize, packed.size() - i);
        out.push_back(static_cast<std::uint8_t>(n));
        out.insert(out.end(), packed.begin() + i, packed.begin() + i + n);
    }
    out.push_back(0);
    return out;
}

// Header of a GIF87a file with a global table of 2^(n+1) grey entries (n = size bits).
inline Bytes Header87(int width, int height, int sizeBits) {
    Bytes h = Cat(
        {Str("GIF87a"), B({width & 0xFF, width >> 8, height & 0xFF, height >> 8, 0x80 | sizeBits, 0, 0})});
    for (int i = 0; i < (2 << sizeBits); ++i)
        h.insert(h.end(), {std::uint8_t(i), std::uint8_t(i), std::uint8_t(i)});
    return h;
}
inline Bytes Descriptor(int left, int top, int width, int height, int packed = 0) {
    return B({',', left & 0xFF, left >> 8, top & 0xFF, top >> 8, width & 0xFF, width >> 8, height & 0xFF,
              height >> 8, packed});
}
// A graphic control extension giving transparent index t.
inline Bytes TransparentGCE(int t) {
    return B({'!', 0xF9, 4, 1, 0, 0, t, 0});
}

inline Bytes FrameBytes(const TGIFSubImage& f) {
    return Bytes(f.Data(), f.Data() + f.DataSize());
}

// Adds a frame of the given bounds to the picture and answers it.
inline TGIFSubImage* AddFrame(TGIFImage& image, int left, int top, int width, int height) {
    auto f = std::make_unique<TGIFSubImage>(&image);
    f->SetBounds(left, top, width, height);
    TGIFSubImage* p = f.get();
    image.Images().Add(std::move(f));
    return p;
}
