// Sub-block writer, bit packer, LZW encoder and run-length encoder.
#include <algorithm>
#include <cstddef>
#include <cstring>

#include "gif/GIFImage.h"
#include "image/WorkControl.h"

// ---------------------------------------------------------------------------------------------------
// Dictionary

THashTable::THashTable() : HashTable(HashSize, 0xFFFFFFFFu) {}

void THashTable::Clear() {
    std::memset(HashTable.data(), 0xFF, HashTable.size() * sizeof(std::uint32_t));
}

// ---------------------------------------------------------------------------------------------------
// Sub-block writer

TGIFWriter::~TGIFWriter() {
    if (FOutputDirty) {
        try {
            FlushBuffer();
        } catch (...) {
            // A destructor must not throw; a failed flush surfaces when the stream is used again.
        }
    }
}

std::size_t TGIFWriter::Read(void*, std::size_t) {
    GIFError("Invalid stream operation");
}

void TGIFWriter::SetPosition(std::int64_t) {
    GIFError("Invalid stream operation");
}

void TGIFWriter::Write(const void* Buffer, std::size_t Count) {
    const std::uint8_t* p = static_cast<const std::uint8_t*>(Buffer);
    for (std::size_t i = 0; i < Count; ++i) WriteByte(p[i]);
}

void TGIFWriter::FlushBuffer() {
    if (FBufferCount > 1) {
        FBuffer[0] = static_cast<std::uint8_t>(FBufferCount - 1);
        FStream.Write(FBuffer, static_cast<std::size_t>(FBufferCount));
    }
    FBufferCount = 1;
    FOutputDirty = false;
}

// ---------------------------------------------------------------------------------------------------
// Bit packer and pixel walk

void TGIFEncoder::Output(int Value) {
    if (OutputBits > 0)
        OutputBucket =
            (OutputBucket & ((1u << OutputBits) - 1)) | (static_cast<std::uint32_t>(Value) << OutputBits);
    else
        OutputBucket = static_cast<std::uint32_t>(Value);
    OutputBits += BitsPerCode;
    while (OutputBits >= 8) {
        GIFStream->WriteByte(static_cast<std::uint8_t>(OutputBucket & 0xFF));
        OutputBucket >>= 8;
        OutputBits -= 8;
    }
    if (Value == EOFCode) {
        while (OutputBits > 0) {
            GIFStream->WriteByte(static_cast<std::uint8_t>(OutputBucket & 0xFF));
            OutputBucket >>= 8;
            OutputBits -= 8;
        }
    }
}

void TGIFEncoder::Clear() {
    ClearFlag = true;
    Output(ClearCode);
}

bool TGIFEncoder::BumpPixel() {
    --cX;
    if (cX > 0) {
        // A plain walk is one run of all rows: a stop is looked for every 64 Ki pixels of it.
        if ((cX & 0xFFFF) == 0) WorkPoint();
        return true;
    }
    if (!Interlace) return false;
    WorkPoint();
    cX = Width;
    static const int start[4] = {0, 4, 2, 1};
    static const int step[4] = {8, 8, 4, 2};
    Y += step[Pass];
    while (Y >= Height) {
        if (++Pass > 3) return false;
        Y = start[Pass];
    }
    Pixel = Data + static_cast<std::size_t>(Y) * Width;
    return true;
}

void TGIFEncoder::Compress(TStream& AStream, int ABitsPerPixel, int AWidth, int AHeight, bool AInterlace,
                           const std::uint8_t* AData, int AMaxColor) {
    BitsPerPixel = ABitsPerPixel < 2 ? 2 : (ABitsPerPixel > 8 ? 8 : ABitsPerPixel);
    Width = AWidth;
    Height = AHeight;
    Interlace = AInterlace;
    Data = AData;
    // A pixel value must also fit the code size, or its code would collide with the clear code.
    MaxColor = AMaxColor < (1 << BitsPerPixel) ? AMaxColor : (1 << BitsPerPixel);
    InitialBitsPerCode = BitsPerPixel + 1;
    WriteByte(AStream, static_cast<std::uint8_t>(BitsPerPixel));
    BitsPerCode = InitialBitsPerCode;
    MaxCode = (1 << BitsPerCode) - 1;
    ClearCode = 1 << BitsPerPixel;
    EOFCode = ClearCode + 1;
    BaseCode = ClearCode + 2;
    OutputBucket = 0;
    OutputBits = 0;
    ClearFlag = false;
    cX = Interlace ? Width : static_cast<std::int64_t>(Width) * Height;
    Y = 0;
    Pass = 0;
    Pixel = Data;
    {
        TGIFWriter writer(AStream);
        GIFStream = &writer;
        if (Data && Width >= 1 && Height >= 1) DoCompress();
        Output(EOFCode);
        writer.FlushBuffer();
        GIFStream = nullptr;
    }
    WriteByte(AStream, 0);
}

// ---------------------------------------------------------------------------------------------------
// LZW encoder

void TLZWEncoder::Output(int Value) {
    TGIFEncoder::Output(Value);
    if (ClearFlag) {
        BitsPerCode = InitialBitsPerCode;
        MaxCode = (1 << BitsPerCode) - 1;
        ClearFlag = false;
    } else if (FreeEntry > MaxCode) {
        ++BitsPerCode;
        MaxCode = BitsPerCode >= 12 ? 4096 : (1 << BitsPerCode) - 1;
    }
}

void TLZWEncoder::Clear() {
    TGIFEncoder::Clear();
    HashTable->Clear();
    std::memset(Child, 0, sizeof Child);
    FreeEntry = ClearCode + 2;
}

void TLZWEncoder::DoCompress() {
    THashTable table;
    HashTable = &table;
    try {
        Clear();
        if (!Interlace) {
            // Rows in plain order are one run of pixels: walked with a pointer, the colour limit
            // checked as each pixel is taken.
            const std::uint8_t* p = Data;
            const std::uint8_t* const end = Data + static_cast<std::size_t>(Width) * Height;
            if (*p >= MaxColor) GIFError("Color not in color table");
            Prefix = *p++;
            while (p != end) {
                // A row's worth of pixels between stop checks.
                WorkPoint();
                const std::uint8_t* const stop = p + std::min<std::ptrdiff_t>(end - p, Width);
                for (; p != stop; ++p) {
                    const int c = *p;
                    if (c >= MaxColor) GIFError("Color not in color table");
                    const std::uint32_t child = Child[Prefix];
                    if ((child >> 16) == (0x100u | static_cast<std::uint32_t>(c))) {
                        Prefix = static_cast<int>(child & 0xFFFF);
                        continue;
                    }
                    const std::uint32_t key =
                        (static_cast<std::uint32_t>(Prefix) << 8) | static_cast<std::uint32_t>(c);
                    const int code = table.Lookup(key);
                    if (code >= 0) {
                        Prefix = code;
                        continue;
                    }
                    Output(Prefix);
                    if (FreeEntry < 4095) {
                        table.Insert(key, FreeEntry);
                        Child[Prefix] = ((0x100u | static_cast<std::uint32_t>(c)) << 16) |
                                        static_cast<std::uint32_t>(FreeEntry);
                        ++FreeEntry;
                    } else {
                        Clear();
                    }
                    Prefix = c;
                }
            }
            Output(Prefix);
            HashTable = nullptr;
            return;
        }
        Prefix = TakePixel();
        while (BumpPixel()) {
            const int c = TakePixel();
            const std::uint32_t key =
                (static_cast<std::uint32_t>(Prefix) << 8) | static_cast<std::uint32_t>(c);
            const int code = table.Lookup(key);
            if (code >= 0) {
                Prefix = code;
                continue;
            }
            Output(Prefix);
            Prefix = c;
            if (FreeEntry < 4095)
                table.Insert(key, FreeEntry++);
            else
                Clear();
        }
        Output(Prefix);
    } catch (...) {
        HashTable = nullptr;
        throw;
    }
    HashTable = nullptr;
}

// ---------------------------------------------------------------------------------------------------
// Run-length encoder

int TRLEEncoder::ISqrt(int x) {
    if (x < 2) return x;
    int r = 1;
    for (int v = x; v != 0; v /= 4) r *= 2;
    for (;;) {
        const int r2 = (x / r + r) / 2;
        if (r2 == r || r2 == r + 1) return r;
        r = r2;
    }
}

std::int64_t TRLEEncoder::ComputeTriangleCount(std::int64_t count, std::int64_t nrepcodes) {
    std::int64_t cost = 0;
    const std::int64_t perrep = nrepcodes * (nrepcodes + 1) / 2;
    if (perrep > 0 && count >= perrep) {
        cost += nrepcodes * (count / perrep);
        count %= perrep;
    }
    if (count > 0) {
        std::int64_t n = ISqrt(static_cast<int>(count));
        while (n * (n + 1) >= 2 * count) --n;
        while (n * (n + 1) < 2 * count) ++n;
        cost += n;
    }
    return cost;
}

void TRLEEncoder::Clear() {
    OutBump = OutBumpInit;
    OutClear = OutClearInit;
    OutCount = 0;
    RunLengthTableMax = 0;
    TGIFEncoder::Clear();
    BitsPerCode = InitialBitsPerCode;
}

void TRLEEncoder::OutputPlain(int Code) {
    ClearFlag = false;
    Output(Code);
    ++OutCount;
    if (OutCount >= OutBump) {
        ++BitsPerCode;
        OutBump += 1 << (BitsPerCode - 1);
    }
    if (OutCount >= OutClear) Clear();
}

void TRLEEncoder::ResetOutClear() {
    OutClear = OutClearInit;
    if (OutCount >= OutClear) Clear();
}

void TRLEEncoder::FlushFromClear(std::int64_t count) {
    MaxOutClear();
    RunLengthTablePixel = Prefix;
    int n = 1;
    while (count > 0) {
        if (n == 1) {
            RunLengthTableMax = 1;
            OutputPlain(Prefix);
            --count;
        } else if (count >= n) {
            RunLengthTableMax = n;
            OutputPlain(BaseCode + n - 2);
            count -= n;
        } else {
            ++RunLengthTableMax;
            OutputPlain(count == 1 ? Prefix : BaseCode + static_cast<int>(count) - 2);
            count = 0;
        }
        n = OutCount == 0 ? 1 : n + 1;
    }
    ResetOutClear();
}

void TRLEEncoder::FlushClearOrRepeat(std::int64_t count) {
    if (count > 1 + ComputeTriangleCount(count, MaxCodes)) {
        Clear();
        FlushFromClear(count);
    } else {
        for (std::int64_t i = 0; i < count; ++i) OutputPlain(Prefix);
    }
}

void TRLEEncoder::FlushWithTable(std::int64_t count) {
    std::int64_t repmax = count / RunLengthTableMax;
    std::int64_t leftover = count % RunLengthTableMax;
    std::int64_t repleft = leftover != 0 ? 1 : 0;
    if (OutCount + repmax + repleft > MaxCodes) {
        repmax = MaxCodes - OutCount;
        leftover = count - repmax * RunLengthTableMax;
        repleft = 1 + ComputeTriangleCount(leftover, MaxCodes);
    }
    if (1 + ComputeTriangleCount(count, MaxCodes) < repmax + repleft) {
        Clear();
        FlushFromClear(count);
        return;
    }
    MaxOutClear();
    for (std::int64_t i = 0; i < repmax; ++i) OutputPlain(BaseCode + RunLengthTableMax - 2);
    if (leftover != 0) {
        if (ClearFlag)
            FlushFromClear(leftover);
        else if (leftover == 1)
            OutputPlain(Prefix);
        else
            OutputPlain(BaseCode + static_cast<int>(leftover) - 2);
    }
    ResetOutClear();
}

void TRLEEncoder::Flush(std::int64_t count) {
    if (count == 1)
        OutputPlain(Prefix);
    else if (ClearFlag)
        FlushFromClear(count);
    else if (RunLengthTableMax >= 2 && RunLengthTablePixel == Prefix)
        FlushWithTable(count);
    else
        FlushClearOrRepeat(count);
}

void TRLEEncoder::DoCompress() {
    OutBumpInit = ClearCode - 1;
    OutClearInit = BitsPerPixel <= 3 ? 9 : OutBumpInit - 1;
    MaxCodes = 4095 - BaseCode;
    Clear();
    Pixel = Data;
    Prefix = -1;
    std::int64_t count = 0;
    do {
        const int c = TakePixel();
        if (count >= 1 && c != Prefix) {
            Flush(count);
            count = 0;
        }
        if (c != Prefix) {
            Prefix = c;
            count = 1;
        } else {
            ++count;
        }
    } while (BumpPixel());
    Flush(count);
}
