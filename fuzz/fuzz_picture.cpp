// libFuzzer target: the BMP and JPEG load path from memory (headers, size checks, run-length scan,
// Qt's BMP reader, libjpeg at 24 and 8 bits per pixel). A refusal is an expected outcome; a crash,
// a sanitizer report or an exception of another kind is a finding.
//
//   CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DMOZARO_FUZZ=ON -DMOZARO_TESTS=OFF -DMOZARO_BENCH=OFF
//   cmake --build build-fuzz --target fuzz_picture
//   mkdir -p /tmp/picture-corpus && cp tests/data/picture/* /tmp/picture-corpus/
//   build-fuzz/fuzz/fuzz_picture -max_total_time=600 -rss_limit_mb=2048 /tmp/picture-corpus
#include "platform/JPEGImage.h"
#include "platform/Picture.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Smaller pictures than the program allows keep each run short; the side limit stays as it is.
    static const bool limited = [] {
        PictureLimits().maxPixels = 4 * 1024 * 1024;
        return true;
    }();
    (void)limited;

    TFastDIB dib;
    for (const char* ext : {"bmp", "jpg"}) {
        try {
            LoadPictureToDIB(data, size, QString::fromLatin1(ext), dib);
            if (dib.Bpp != 24 || dib.Width <= 0 || dib.Height <= 0) std::abort();
        } catch (const EInvalidGraphic&) {
        }
    }
    // The 8-bit road (colour quantisation) for every other input.
    if (size > 0 && (data[size - 1] & 1)) {
        try {
            DecodeJPEG(data, size, dib, TJPEGPixelFormat::jf8Bit);
            if (dib.Bpp != 8 || dib.ClrUsed() > 256) std::abort();
        } catch (const EInvalidGraphic&) {
        }
    }
    return 0;
}
