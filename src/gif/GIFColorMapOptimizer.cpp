#include "gif/GIFColorMapOptimizer.h"

#include "image/WorkControl.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

void CheckOptimizeOptions(TGIFOptimizeOptions Options, TColorReduction ColorReduction) {
    if ((Options & OptimizeOption(ooReduceColors)) && !(Options & OptimizeOption(ooCleanup)) &&
        ColorReduction == rmPalette)
        GIFError("Invalid reduction method");
}

// ---------------------------------------------------------------------------------------------------
// THistogram

THistogram::THistogram(TGIFColorMap& ColorMap) : FCount(ColorMap.Count()), FColorMap(&ColorMap) {
    for (int i = 0; i < FCount; ++i) {
        TOptimizeEntry& e = FHistogram[i];
        e.OldIndex = i;
        e.Color = ColorMap.Data()[i];
        FList.push_back(&e);
    }
}

bool THistogram::ProcessSubImage(TGIFSubImage& Frame) {
    if (Frame.Empty()) return false;
    FImages.push_back(&Frame);
    TGIFGraphicControlExtension* gce = Frame.GraphicControlExtension();
    const bool transparent = Frame.Transparent() && gce;
    const int t = transparent ? gce->TransparentColorIndex() : 0;
    bool found = false;
    // Counted row by row: a stop may end the count, which changes no pixel.
    const std::size_t w = static_cast<std::size_t>(Frame.Width());
    bool full = false;
    for (int y = 0; y < Frame.Height() && !full; ++y) {
        WorkPoint();
        std::uint8_t* p = Frame.Data() + static_cast<std::size_t>(y) * w;
        for (std::size_t i = 0; i < w; ++i) {
            int v = p[i];
            if (transparent && v == t) {
                found = true;
                continue;
            }
            if (v >= FCount) {
                p[i] = 0;
                v = 0;
                Frame.Warning(gsWarning, "Color not in color table");
            }
            TOptimizeEntry& e = FHistogram[v];
            if (e.Count == INT_MAX) {
                full = true;
                break;
            }
            ++e.Count;
        }
    }
    if (transparent && !found) {
        gce->SetTransparentColorIndex(0);
        gce->SetTransparent(false);
    }
    return found;
}

int THistogram::Prune() {
    std::stable_sort(FList.begin(), FList.end(),
                     [](const TOptimizeEntry* a, const TOptimizeEntry* b) { return a->Count > b->Count; });
    while (!FList.empty() && FList.back()->Count == 0) {
        FList.back()->Count = -1;
        FList.pop_back();
    }
    FCount = static_cast<int>(FList.size());
    return FCount;
}

void THistogram::MapImages(bool UseTransparency, std::uint8_t NewTransparentColorIndex) {
    std::array<std::uint8_t, 256> remap{};
    for (const TOptimizeEntry* e : FList) remap[e->OldIndex] = static_cast<std::uint8_t>(e->NewIndex);
    for (TGIFSubImage* frame : FImages) {
        TGIFGraphicControlExtension* gce = frame->GraphicControlExtension();
        const bool transparent = UseTransparency && frame->Transparent() && gce;
        int oldT = -1;
        if (transparent) {
            oldT = gce->TransparentColorIndex();
            gce->SetTransparentColorIndex(NewTransparentColorIndex);
        }
        // Once pixels are rewritten the frame must be finished: the rows keep the windows painted but
        // do not stop.
        const std::size_t w = static_cast<std::size_t>(frame->Width());
        for (int y = 0; y < frame->Height(); ++y) {
            WorkPointNoThrow();
            std::uint8_t* p = frame->Data() + static_cast<std::size_t>(y) * w;
            for (std::size_t i = 0; i < w; ++i) p[i] = p[i] == oldT ? NewTransparentColorIndex : remap[p[i]];
        }
    }
}

// ---------------------------------------------------------------------------------------------------
// TColorMapOptimizer

TColorMapOptimizer::TColorMapOptimizer(TGIFImage& AImage) : FImage(AImage) {}

void TColorMapOptimizer::Optimize() {
    // No painter may draw a frame while its pixels and tables are rewritten.
    FImage.Painters().PaintStop();
    std::lock_guard<std::recursive_mutex> lock(FImage.Painters().Lock());
    TGIFImageList& frames = FImage.Images();
    TGIFGlobalColorMap& global = FImage.GlobalColorMap();

    // Histograms: the global table for the frames without a local one, then each local table.
    FUseTransparency = false;
    if (global.Count() > 0) {
        auto h = std::make_unique<THistogram>(global);
        for (int i = 0; i < frames.Count(); ++i) {
            TGIFSubImage* f = frames[i];
            if (!f->Empty() && f->ColorMap().Count() == 0) FUseTransparency |= h->ProcessSubImage(*f);
        }
        if (!h->Empty()) FHistogramList.push_back(std::move(h));
    }
    for (int i = 0; i < frames.Count(); ++i) {
        TGIFSubImage* f = frames[i];
        if (f->Empty() || f->ColorMap().Count() == 0) continue;
        auto h = std::make_unique<THistogram>(f->ColorMap());
        FUseTransparency |= h->ProcessSubImage(*f);
        FHistogramList.push_back(std::move(h));
    }

    FHistogram.clear();
    for (auto& h : FHistogramList) {
        h->Prune();
        FHistogram.insert(FHistogram.end(), h->List().begin(), h->List().end());
    }

    // Entries of equal colour are pooled into the first of them.
    std::stable_sort(
        FHistogram.begin(), FHistogram.end(),
        [](const TOptimizeEntry* a, const TOptimizeEntry* b) { return a->Value() > b->Value(); });
    TOptimizeEntry* rep = FHistogram.empty() ? nullptr : FHistogram.front();
    for (std::size_t i = 1; i < FHistogram.size(); ++i) {
        TOptimizeEntry* e = FHistogram[i];
        if (e->Value() == rep->Value()) {
            rep->Count =
                static_cast<int>(std::min<std::int64_t>(std::int64_t{rep->Count} + e->Count, INT_MAX));
            e->Count = 0;
            e->SameAs = rep;
        } else {
            rep = e;
        }
    }

    // The most used colours are kept; one place stays free for the shared transparent entry.
    std::stable_sort(FHistogram.begin(), FHistogram.end(),
                     [](const TOptimizeEntry* a, const TOptimizeEntry* b) { return a->Count > b->Count; });
    const int limit = std::min<int>(FUseTransparency ? 255 : 256, static_cast<int>(FHistogram.size()));
    FFinalCount = 0;
    while (FFinalCount < limit && FHistogram[FFinalCount]->Count != 0) {
        FHistogram[FFinalCount]->NewIndex = FFinalCount;
        FColorMap[FFinalCount] = FHistogram[FFinalCount]->Color;
        ++FFinalCount;
    }
    // A dropped colour takes the kept colour nearest by the sum of absolute channel differences, the
    // lowest index on ties; every distance is below the starting one, so each gets an index.
    for (std::size_t i = FFinalCount; i < FHistogram.size(); ++i) {
        TOptimizeEntry* e = FHistogram[i];
        if (e->Count == 0) {
            e->NewIndex = e->SameAs ? e->SameAs->NewIndex : 0;
            continue;
        }
        int best = INT_MAX, index = 0;
        for (int j = 0; j < FFinalCount; ++j) {
            const TGIFColor& k = FColorMap[j];
            const int d = std::abs(k.Red - e->Color.Red) + std::abs(k.Green - e->Color.Green) +
                          std::abs(k.Blue - e->Color.Blue);
            if (d < best) best = d, index = j;
        }
        e->NewIndex = index;
    }
    if (FUseTransparency) {
        FNewTransparentColorIndex = static_cast<std::uint8_t>(FFinalCount);
        FColorMap[FFinalCount++] = TGIFColor{0, 0, 0};
    }

    // The background index follows its colour into the new table.
    const int oldBackground = FImage.Header().BackgroundColorIndex();
    const bool hadBackground = oldBackground < global.Count();
    const TGIFColor background = hadBackground ? global.Data()[oldBackground] : TGIFColor{};

    for (int i = 0; i < frames.Count(); ++i) frames[i]->ColorMap().Clear();
    global.ImportColorMap(FColorMap.data(), FFinalCount);
    global.SetOptimized(true);

    if (hadBackground) {
        int best = INT_MAX, index = 0;
        for (int j = 0; j < FFinalCount - (FUseTransparency ? 1 : 0); ++j) {
            const TGIFColor& k = FColorMap[j];
            const int d = std::abs(k.Red - background.Red) + std::abs(k.Green - background.Green) +
                          std::abs(k.Blue - background.Blue);
            if (d < best) best = d, index = j;
        }
        FImage.Header().SetBackgroundColorIndex(index);
    }

    for (auto& h : FHistogramList) h->MapImages(FUseTransparency, FNewTransparentColorIndex);
    for (int i = 0; i < frames.Count(); ++i) frames[i]->ColorMap().Changed();
}

void OptimizeColorMap(TGIFImage& Image) {
    TColorMapOptimizer optimizer(Image);
    optimizer.Optimize();
}
