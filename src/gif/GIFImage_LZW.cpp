// LZW decoder of a frame's image data. Tolerant of damaged data: decoding ends early with the rest of
// the frame keeping its fill, and the stream is always left after the data's zero length byte when
// there is one, so the next block is read where it starts.
#include <algorithm>
#include <cstring>
#include <vector>

#include "gif/GIFImage.h"
#include "image/WorkControl.h"

namespace {

constexpr int TableSize = 4096;
constexpr int StackSize = 8192;

class TLZWDecoder {
public:
    TLZWDecoder(TStream& Stream, TGIFSubImage& Frame) : FStream(Stream), FFrame(Frame) {}

    // Sets the code size up; false when there is no code-size byte.
    bool Start() {
        std::uint8_t s;
        if (!TryReadByte(FStream, s)) return false;
        SetCodeSize = s > 8 ? 8 : s;
        ClearCode = 1 << SetCodeSize;
        EndCode = ClearCode + 1;
        CodeSize = SetCodeSize + 1;
        MaxCodeSize = 2 * ClearCode;
        MaxCode = ClearCode + 2;
        return true;
    }

    // Writes up to Count pixels, taking whole strings off the stack at a time; answers how many
    // were written before the data ended.
    int ReadRun(std::uint8_t* p, int Count) {
        int x = 0;
        while (x < Count) {
            if (sp == 0) {
                const int v = NextLZW();
                if (v < 0) return x;
                p[x++] = static_cast<std::uint8_t>(v);
                continue;
            }
            const int n = sp < Count - x ? sp : Count - x;
            const std::uint16_t* top = Stack + sp - 1;
            for (int i = 0; i < n; ++i) p[x + i] = static_cast<std::uint8_t>(top[-i]);
            sp -= n;
            x += n;
        }
        return x;
    }

    // Skips what is left of the data up to and including the zero length byte, once.
    void Drain() {
        if (Done) return;
        Done = true;
        std::uint8_t len;
        while (TryReadByte(FStream, len) && len != 0) FStream.Seek(len);
    }

private:
    // Next code of Size bits, or -1 when the data are exhausted.
    int GetCode(int Size) {
        if (First) {
            First = false;
            return ClearCode;
        }
        // Refill until the whole code is in the bit buffer, across as many sub-blocks as it takes.
        while (BitCount < Size) {
            if (BlockPos < BlockLen) {
                do {
                    BitBuf |= static_cast<std::uint64_t>(Block[BlockPos++]) << BitCount;
                    BitCount += 8;
                } while (BlockPos < BlockLen && BitCount <= 56);
                continue;
            }
            if (Done) {
                if (BitCount == 0) FFrame.Warning(gsWarning, "Decoder bit buffer under-run");
                return -1;
            }
            std::uint8_t len;
            if (!TryReadByte(FStream, len)) {
                Done = true; // nothing more can be read; no warning for a plain end of the file
                return -1;
            }
            if (len == 0) {
                Done = true;
                continue;
            }
            // A stop is taken every 64 sub-blocks (16 KB of data).
            if ((++Blocks & 63) == 0) WorkPoint();
            std::int64_t count = len;
            if (count > FStream.Remaining()) {
                FFrame.Warning(gsWarning, "Premature end of data");
                count = FStream.Remaining();
            }
            ReadCheck(FStream, Block, static_cast<std::size_t>(count));
            BlockLen = static_cast<int>(count);
            BlockPos = 0;
        }
        const int code = static_cast<int>(BitBuf & ((1u << Size) - 1));
        BitBuf >>= Size;
        BitCount -= Size;
        return code;
    }

    int EndOfData() {
        Drain();
        return -2;
    }

    void ResetTable() {
        for (int i = 0; i < ClearCode; ++i) {
            Prefix[i] = 0;
            Suffix[i] = static_cast<std::uint16_t>(i);
            Length[i] = 1;
        }
        // Entries from MaxCode on were never defined since the last clear and are still zero.
        std::memset(Prefix + ClearCode, 0, sizeof(Prefix[0]) * (MaxCode - ClearCode));
        std::memset(Suffix + ClearCode, 0, sizeof(Suffix[0]) * (MaxCode - ClearCode));
        CodeSize = SetCodeSize + 1;
        MaxCodeSize = 2 * ClearCode;
        MaxCode = ClearCode + 2;
        sp = 0;
    }

    // Defines the next table entry as OldCode's string and FirstCode; its string also stands in the
    // output at Position (used only by the contiguous decoder).
    void DefineEntry(int Position) {
        if (MaxCode >= TableSize) return;
        Prefix[MaxCode] = static_cast<std::uint16_t>(OldCode);
        Suffix[MaxCode] = static_cast<std::uint16_t>(FirstCode);
        Length[MaxCode] = Length[OldCode] + 1;
        Pos[MaxCode] = Position;
        ++MaxCode;
        if (MaxCode >= MaxCodeSize && MaxCodeSize < TableSize) {
            MaxCodeSize *= 2;
            ++CodeSize;
        }
    }

public:
    // Decodes into Count contiguous pixels (rows in plain order) and answers how many were written.
    // Each string is copied from where it stood in the output before, so no string is walked pixel by
    // pixel. At the first code that a well-formed stream cannot hold (an undefined code, a table
    // code right after a clear), the rest is left to ReadRun, which decodes it exactly as the
    // tolerant decoder does: Fallback() then tells so.
    int ReadContiguous(std::uint8_t* out, int Count) {
        int x = 0;
        int prev = 0; // where the previous string starts
        while (x < Count) {
            int code = GetCode(CodeSize);
            if (code < 0) return x;
            if (code == ClearCode) {
                ResetTable();
                do code = GetCode(CodeSize);
                while (code == ClearCode);
                if (code == EndCode) {
                    EndOfData();
                    return x;
                }
                if (code < 0) return x;
                FirstCode = OldCode = code;
                out[x] = static_cast<std::uint8_t>(code);
                prev = x++;
                if (code >= ClearCode) {
                    FFallback = true;
                    return x;
                }
                continue;
            }
            if (code == EndCode) {
                EndOfData();
                return x;
            }
            if (code < ClearCode) {
                FirstCode = code;
                DefineEntry(prev);
                out[x] = static_cast<std::uint8_t>(code);
            } else if (code < MaxCode) {
                const int n = std::min(Length[code], Count - x);
                std::memcpy(out + x, out + Pos[code], static_cast<std::size_t>(n));
                FirstCode = out[x];
                DefineEntry(prev);
                if (n < Length[code]) return Count;
            } else if (code == MaxCode && MaxCode < TableSize) {
                // The string being defined: the previous string and its own first pixel.
                const int len = Length[OldCode];
                FirstCode = out[prev];
                DefineEntry(prev);
                const int n = std::min(len, Count - x);
                std::memcpy(out + x, out + prev, static_cast<std::size_t>(n));
                if (n < len) return Count;
                if (x + len >= Count) return Count;
                out[x + len] = static_cast<std::uint8_t>(FirstCode);
            } else {
                const int v = DecodeCode(code);
                if (v < 0) return x;
                out[x++] = static_cast<std::uint8_t>(v);
                FFallback = true;
                return x;
            }
            OldCode = code;
            prev = x;
            x += Length[code];
        }
        return x;
    }
    bool Fallback() const { return FFallback; }

private:
    int NextLZW() {
        int code = GetCode(CodeSize);
        if (code < 0) return code;
        return DecodeCode(code);
    }

    int DecodeCode(int code) {
        if (code == ClearCode) {
            ResetTable();
            do code = GetCode(CodeSize);
            while (code == ClearCode);
            // A clear code followed by the end code holds no pixel at all.
            if (code == EndCode) return EndOfData();
            FirstCode = OldCode = code;
            return code;
        }
        if (code == EndCode) return EndOfData();
        const int inCode = code;
        if (code >= MaxCode) {
            Stack[sp++] = static_cast<std::uint16_t>(FirstCode);
            code = OldCode;
        }
        // A valid chain visits each table entry at most once; a longer one loops.
        int steps = 0;
        while (code >= ClearCode) {
            if (Prefix[code] == code || ++steps > TableSize) {
                FFrame.Warning(gsWarning, "Circular decoder table entry");
                sp = 0;
                return -3;
            }
            Stack[sp++] = Suffix[code];
            code = Prefix[code];
        }
        FirstCode = Suffix[code];
        Stack[sp++] = static_cast<std::uint16_t>(FirstCode);
        // Entries made here are never copied from the output (the contiguous decoder has handed over).
        DefineEntry(0);
        OldCode = inCode;
        return Stack[--sp];
    }

    TStream& FStream;
    TGIFSubImage& FFrame;

    int SetCodeSize = 0, CodeSize = 0, ClearCode = 0, EndCode = 0, MaxCode = 0, MaxCodeSize = 0;
    int FirstCode = 0, OldCode = 0;
    std::uint16_t Prefix[TableSize] = {};
    std::uint16_t Suffix[TableSize] = {};
    int Length[TableSize] = {}; // pixels of each entry's string
    int Pos[TableSize] = {};    // where the contiguous decoder wrote it
    bool FFallback = false;
    std::uint16_t Stack[StackSize];
    int sp = 0;

    std::uint8_t Block[256];
    int BlockLen = 0, BlockPos = 0;
    unsigned Blocks = 0;
    std::uint64_t BitBuf = 0;
    int BitCount = 0;
    bool First = true;
    bool Done = false;
};

} // namespace

bool& GIFFastDecoding() {
    static bool fast = true;
    return fast;
}

void TGIFSubImage::Decompress(TStream& Stream) {
    NewImage();
    if (!FData.empty()) {
        const std::uint8_t fill =
            (FTransparent && FGCE) ? static_cast<std::uint8_t>(FGCE->TransparentColorIndex()) : 0;
        std::memset(FData.data(), fill, FData.size());
    }
    auto decoder = std::make_unique<TLZWDecoder>(Stream, *this);
    if (!decoder->Start()) {
        if (!FData.empty()) Warning(gsWarning, GIFIncompleteFrame);
        return;
    }
    const int w = Width(), h = Height();
    std::uint8_t* const pixels = FData.data();
    bool stopped = FData.empty();
    if (!stopped) {
        // The rows in the order the data hold them as one run of pixels: strings are copied within
        // the output; anything unusual is decoded by the tolerant decoder from where the fast one
        // stopped. Interlaced rows are decoded into a run of their own and then put in place.
        const int total = w * h;
        const auto decodeRun = [&](std::uint8_t* out) {
            if (!GIFFastDecoding()) return decoder->ReadRun(out, total);
            int x = decoder->ReadContiguous(out, total);
            if (x < total && decoder->Fallback()) x += decoder->ReadRun(out + x, total - x);
            return x;
        };
        if (!Interlaced()) {
            stopped = decodeRun(pixels) < total;
        } else {
            static const int start[4] = {0, 4, 2, 1};
            static const int step[4] = {8, 8, 4, 2};
            std::vector<std::uint8_t> run(FData); // holds the fill where the data end early
            stopped = decodeRun(run.data()) < total;
            const std::uint8_t* src = run.data();
            for (int pass = 0; pass < 4; ++pass)
                for (int y = start[pass]; y < h; y += step[pass], src += w)
                    std::memcpy(pixels + static_cast<std::size_t>(y) * w, src, static_cast<std::size_t>(w));
        }
    }
    // The pixels the data did not reach keep their fill; the picture says it is incomplete.
    if (stopped && !FData.empty()) Warning(gsWarning, GIFIncompleteFrame);
    // Whatever follows the last pixel (normally just the end code) is skipped to the zero length byte.
    decoder->Drain();
}
