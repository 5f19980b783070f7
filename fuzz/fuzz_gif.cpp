// Loads arbitrary bytes as a GIF (with the fast and with the tolerant decoder, which must agree),
// renders and draws what loaded, saves it and loads the saved file again: no input may crash, leak or
// read out of bounds, and whatever saves must load back without a single warning.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "gif/GIFImage.h"

namespace {

// Loads the bytes with the fast or only the tolerant decoder; answers the frames' pixels, the
// warnings and the error, if any.
std::vector<std::string> LoadWith(const std::uint8_t* data, std::size_t size, bool fast, std::int64_t limit) {
    GIFFastDecoding() = fast;
    TGIFImage image;
    image.SetPixelBytesLimit(limit);
    std::vector<std::string> out;
    image.OnWarning = [&out](const void*, TGIFSeverity, const std::string& m) { out.push_back("W " + m); };
    TByteViewStream in(data, size);
    try {
        image.LoadFromStream(in);
    } catch (const GIFException& e) {
        out.push_back(std::string("E ") + e.what());
    }
    GIFFastDecoding() = true;
    for (int i = 0; i < image.Images().Count(); ++i) {
        const TGIFSubImage* f = image.Images()[i];
        out.emplace_back(reinterpret_cast<const char*>(f->Data()), f->DataSize());
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Tiny inputs may declare frames of up to 64 M pixels; keep each run small enough to stay fast.
    constexpr std::int64_t limit = 1024 * 1024;
    // The fast decoder gives exactly what the tolerant one gives.
    if (LoadWith(data, size, true, limit) != LoadWith(data, size, false, limit)) std::abort();
    std::vector<std::uint8_t> saved;
    for (int compression = 0; compression < 2; ++compression) {
        TGIFImage image;
        image.SetPixelBytesLimit(limit);
        image.OnWarning = [](const void*, TGIFSeverity, const std::string&) {};
        TByteViewStream in(data, size);
        bool loaded = true;
        try {
            image.LoadFromStream(in);
        } catch (const GIFException&) {
            // A failed load keeps the frames read so far; they must still save without harm.
            loaded = false;
        }
        if (compression == 0) {
            // Rendering: every frame with its mask, plain and dithered, and the picture drawn
            // stretched and tiled onto a small canvas.
            for (int dither = 0; dither < 2; ++dither) {
                image.SetDrawOptions(dither ? DrawOption(goDither) | DrawOption(goTransparent)
                                            : GIFDefaultDrawOptions);
                for (int i = 0; i < image.Images().Count(); ++i) {
                    TGIFSubImage* f = image.Images()[i];
                    f->HasMask();
                    if (f->Bitmap() && f->Bitmap()->Width != f->Width()) std::abort();
                }
            }
            TFastDIB canvas;
            canvas.SetSize(37, 23, 24, 0);
            image.Draw(canvas.AsSurface(), {-5, 3, 61, 19});
            image.SetDrawOptions(GIFDefaultDrawOptions | DrawOption(goTile));
            image.Draw(canvas.AsSurface(), {-40000, -7, 30, 23});
            if (static_cast<std::int64_t>(image.Width()) * image.Height() <= limit) image.Bitmap();
        }
        image.SetCompression(compression ? gcRLE : gcLZW);
        TMemoryStream out;
        try {
            image.SaveToStream(out);
        } catch (const GIFException&) {
            continue; // nothing to save, or pixels outside their colour table
        }
        TGIFImage again;
        again.SetPixelBytesLimit(limit);
        // A file this codec wrote is well formed: any warning on reading it back is a fault.
        again.OnWarning = [](const void*, TGIFSeverity severity, const std::string&) {
            if (severity >= gsWarning) std::abort();
        };
        TMemoryStream back(out.TakeBytes());
        if (!loaded) {
            try {
                again.LoadFromStream(back);
            } catch (const GIFException&) {
            }
            continue;
        }
        // What loaded and saved must load back without an error, with the same pixels in every frame
        // that has any (a frame without pixels writes only its extensions).
        again.LoadFromStream(back);
        std::vector<const TGIFSubImage*> before, after;
        for (int i = 0; i < image.Images().Count(); ++i)
            if (!image.Images()[i]->Empty()) before.push_back(image.Images()[i]);
        for (int i = 0; i < again.Images().Count(); ++i)
            if (!again.Images()[i]->Empty()) after.push_back(again.Images()[i]);
        if (before.size() != after.size()) std::abort();
        for (std::size_t i = 0; i < before.size(); ++i) {
            if (before[i]->DataSize() != after[i]->DataSize() || before[i]->Width() != after[i]->Width() ||
                std::memcmp(before[i]->Data(), after[i]->Data(), before[i]->DataSize()) != 0)
                std::abort();
        }
    }
    return 0;
}
