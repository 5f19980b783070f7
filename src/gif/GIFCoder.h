#pragma once
// Writing GIF image data: the sub-block writer, the bit packer shared by both encoders, the LZW
// encoder with its exact string dictionary and the run-length encoder that keeps no string table.
// Included by GIFImage.h.

#include <cstdint>
#include <functional>
#include <vector>

// Exact string dictionary of the LZW encoder: key (prefix code shl 8 or pixel) to code. Open
// addressing with linear probing over four times as many slots as codes can exist, so a probe always
// ends at the key or at an empty slot.
class THashTable {
public:
    static constexpr int HashSize = 16384;
    THashTable();
    void Clear();
    void Insert(std::uint32_t Key, int Code) {
        int h = HashKey(Key);
        // At most 4096 codes live in 16384 slots, so an empty slot is always found.
        while (HashTable[h] != 0xFFFFFFFFu) h = (h + 1) & (HashSize - 1);
        HashTable[h] = (Key << 12) | (static_cast<std::uint32_t>(Code) & 0xFFF);
    }
    int Lookup(std::uint32_t Key) const { // -1 when absent
        int h = HashKey(Key);
        for (;;) {
            const std::uint32_t slot = HashTable[h];
            if (slot == 0xFFFFFFFFu) return -1;
            if ((slot >> 12) == Key) return static_cast<int>(slot & 0xFFF);
            h = (h + 1) & (HashSize - 1);
        }
    }
    static int HashKey(std::uint32_t Key) { return static_cast<int>((Key * 2654435761u) >> 18); }

private:
    std::vector<std::uint32_t> HashTable; // (Key shl 12) or Code; all bits set when empty
};

// Packs written bytes into data sub-blocks of at most 255 bytes; the last one goes out when the
// writer is flushed or destroyed.
class TGIFWriter : public TStream {
public:
    explicit TGIFWriter(TStream& Stream) : FStream(Stream) {}
    ~TGIFWriter() override;
    std::size_t Read(void* Buffer, std::size_t Count) override; // "Invalid stream operation"
    void Write(const void* Buffer, std::size_t Count) override;
    std::int64_t Position() const override { return FWritten; }
    void SetPosition(std::int64_t Pos) override; // "Invalid stream operation"
    std::int64_t Size() const override { return FWritten; }
    void WriteByte(std::uint8_t Value) {
        FOutputDirty = true;
        FBuffer[FBufferCount++] = Value;
        ++FWritten;
        if (FBufferCount >= 256) FlushBuffer();
    }
    void FlushBuffer();

private:
    TStream& FStream;
    std::uint8_t FBuffer[256] = {};
    int FBufferCount = 1;
    bool FOutputDirty = false;
    std::int64_t FWritten = 0;
};

class TGIFEncoder {
public:
    virtual ~TGIFEncoder() = default;
    // Writes one frame's image data: the code-size byte, the codes in sub-blocks, a zero byte. Pixel
    // values must be below AMaxColor ("Color not in color table").
    void Compress(TStream& AStream, int ABitsPerPixel, int AWidth, int AHeight, bool AInterlace,
                  const std::uint8_t* AData, int AMaxColor);

protected:
    virtual void Output(int Value);
    virtual void Clear();
    virtual void DoCompress() = 0;
    // Counts the pixel just taken; false when every pixel has been taken.
    bool BumpPixel();
    // Takes the next pixel and checks it against the colour limit.
    int TakePixel() {
        const int c = *Pixel++;
        if (c >= MaxColor) GIFError("Color not in color table");
        return c;
    }

    int MaxColor = 0;
    int BitsPerPixel = 0;
    int Width = 0, Height = 0;
    bool Interlace = false;
    const std::uint8_t* Data = nullptr;
    TGIFWriter* GIFStream = nullptr;
    std::uint32_t OutputBucket = 0;
    int OutputBits = 0;
    bool ClearFlag = false;
    int BitsPerCode = 0, InitialBitsPerCode = 0;
    int MaxCode = 0, ClearCode = 0, EOFCode = 0, BaseCode = 0;
    const std::uint8_t* Pixel = nullptr;
    std::int64_t cX = 0;
    int Y = 0, Pass = 0;
};

class TLZWEncoder : public TGIFEncoder {
protected:
    void Output(int Value) override;
    void Clear() override;
    void DoCompress() override;

private:
    int Prefix = 0;
    int FreeEntry = 0;
    THashTable* HashTable = nullptr;
    // The last string made from each code, a cache in front of the dictionary: a flat run finds its
    // next string here without hashing (the codes sent are the same).
    std::uint32_t Child[4096] = {}; // (256 or pixel) shl 16 or code; 0: none
};

class TRLEEncoder : public TGIFEncoder {
protected:
    void Clear() override;
    void DoCompress() override;

public:
    // Helpers of the run-length planner, exposed for tests.
    static int ISqrt(int x);
    static std::int64_t ComputeTriangleCount(std::int64_t count, std::int64_t nrepcodes);

private:
    void OutputPlain(int Code);
    void MaxOutClear() { OutClear = MaxCodes; }
    void ResetOutClear();
    void FlushFromClear(std::int64_t count);
    void FlushClearOrRepeat(std::int64_t count);
    void FlushWithTable(std::int64_t count);
    void Flush(std::int64_t count);

    int MaxCodes = 0, OutBumpInit = 0, OutClearInit = 0, Prefix = 0;
    int RunLengthTableMax = 0, RunLengthTablePixel = 0, OutCount = 0, OutClear = 0, OutBump = 0;
};
