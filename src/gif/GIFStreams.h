#pragma once
// Byte streams for the GIF codec: an abstract stream with positions, a growable memory stream, a
// read-only view over bytes held elsewhere, whole-file reading (any source, seekable or not, is
// buffered in memory first) and a file replacement that only happens once the new content is complete.

#include <cstddef>
#include <cstdint>
#include <istream>
#include <string>
#include <vector>

class TStream {
public:
    virtual ~TStream() = default;
    // Copies up to n bytes; answers how many were copied (fewer only at the end of the data).
    virtual std::size_t Read(void* buffer, std::size_t n) = 0;
    virtual void Write(const void* buffer, std::size_t n) = 0;
    virtual std::int64_t Position() const = 0;
    // Any non-negative position is allowed; reading past the end gives nothing.
    virtual void SetPosition(std::int64_t pos) = 0;
    virtual std::int64_t Size() const = 0;

    void Seek(std::int64_t delta) {
        const std::int64_t p = Position() + delta;
        SetPosition(p < 0 ? 0 : p);
    }
    // Bytes between the position and the end (0 when past it).
    std::int64_t Remaining() const {
        const std::int64_t r = Size() - Position();
        return r > 0 ? r : 0;
    }
};

// Owns its bytes; writing past the end grows it (a gap is filled with zeros).
class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::vector<std::uint8_t> bytes) : FData(std::move(bytes)) {}

    std::size_t Read(void* buffer, std::size_t n) override;
    void Write(const void* buffer, std::size_t n) override;
    std::int64_t Position() const override { return FPos; }
    void SetPosition(std::int64_t pos) override { FPos = pos < 0 ? 0 : pos; }
    std::int64_t Size() const override { return static_cast<std::int64_t>(FData.size()); }

    const std::vector<std::uint8_t>& Bytes() const { return FData; }
    std::vector<std::uint8_t> TakeBytes() {
        FPos = 0;
        return std::move(FData);
    }

private:
    std::vector<std::uint8_t> FData;
    std::int64_t FPos = 0;
};

// A read-only view over bytes the caller keeps alive; writing raises "Invalid stream operation".
class TByteViewStream : public TStream {
public:
    TByteViewStream(const void* data, std::size_t size)
        : FData(static_cast<const std::uint8_t*>(data)), FSize(size) {}

    std::size_t Read(void* buffer, std::size_t n) override;
    void Write(const void* buffer, std::size_t n) override;
    std::int64_t Position() const override { return FPos; }
    void SetPosition(std::int64_t pos) override { FPos = pos < 0 ? 0 : pos; }
    std::int64_t Size() const override { return static_cast<std::int64_t>(FSize); }

private:
    const std::uint8_t* FData;
    std::size_t FSize;
    std::int64_t FPos = 0;
};

// Reads a whole file (a pipe or device as well as a regular file); raises GIFException with
// "Cannot open file <name>" or "Cannot read file <name>".
std::vector<std::uint8_t> ReadWholeFile(const std::string& filename);
// Reads a standard stream to its end (for sources that cannot seek).
std::vector<std::uint8_t> ReadWholeStream(std::istream& in);
// Writes the bytes to a new file in the target's folder and renames it over the target, so that the
// target is either left as it was or holds the complete new content. Raises GIFException with
// "Cannot create file <name>" or "Cannot write file <name>".
void ReplaceFileContent(const std::string& filename, const std::vector<std::uint8_t>& bytes);
