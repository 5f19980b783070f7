#pragma once
// TColorMapOptimizer: gives every frame of a picture one shared global colour table of at most 256
// entries. It counts how often each entry of every colour table is used, pools the counts, merges
// entries of equal colour, keeps the most used colours, maps every dropped colour to the nearest kept
// one, empties the local tables and rewrites every frame's pixels. Transparent frames share one
// transparent index (the last entry, black).

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "gif/GIFColorReduction.h"
#include "gif/GIFImage.h"

// Raises "Invalid reduction method" for options that cannot be carried out (colour reduction to a
// custom palette without clean-up), so that a picture is refused before its first pass changes it.
void CheckOptimizeOptions(TGIFOptimizeOptions Options, TColorReduction ColorReduction);

struct TOptimizeEntry {
    int Count = 0;                    // pixels using the entry
    int OldIndex = 0;                 // index in its own table
    int NewIndex = 256;               // index in the shared table; 256 = none yet
    TGIFColor Color;                  // red, green, blue
    TOptimizeEntry* SameAs = nullptr; // the entry this one was merged into
    // The colour as one number: red in the low byte, then green, then blue.
    int Value() const { return Color.Red | (Color.Green << 8) | (Color.Blue << 16); }
};

// The use counts of one colour table and the frames that use it.
class THistogram {
public:
    explicit THistogram(TGIFColorMap& ColorMap);
    THistogram(const THistogram&) = delete;
    THistogram& operator=(const THistogram&) = delete;

    // Counts the pixels of one frame; answers whether its transparent index occurs in it.
    bool ProcessSubImage(TGIFSubImage& Frame);
    // Sorts the entries by use, most used first, and drops the unused ones; answers how many remain.
    int Prune();
    // Rewrites every counted frame through the entries' new indices.
    void MapImages(bool UseTransparency, std::uint8_t NewTransparentColorIndex);

    const std::vector<TOptimizeEntry*>& List() const { return FList; }
    int Count() const { return FCount; }
    bool Empty() const { return FImages.empty(); }

private:
    std::array<TOptimizeEntry, 256> FHistogram;
    int FCount;
    TGIFColorMap* FColorMap;
    std::vector<TOptimizeEntry*> FList;
    std::vector<TGIFSubImage*> FImages;
};

class TColorMapOptimizer {
public:
    explicit TColorMapOptimizer(TGIFImage& AImage);
    TColorMapOptimizer(const TColorMapOptimizer&) = delete;
    TColorMapOptimizer& operator=(const TColorMapOptimizer&) = delete;

    void Optimize();

private:
    TGIFImage& FImage;
    std::vector<std::unique_ptr<THistogram>> FHistogramList;
    std::vector<TOptimizeEntry*> FHistogram;
    std::array<TGIFColor, 256> FColorMap{};
    int FFinalCount = 0;
    bool FUseTransparency = false;
    std::uint8_t FNewTransparentColorIndex = 0;
};

// Runs the optimiser once on the picture.
void OptimizeColorMap(TGIFImage& Image);
