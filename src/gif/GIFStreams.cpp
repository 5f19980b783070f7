#include "gif/GIFStreams.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "gif/GIFImage.h"

std::size_t TMemoryStream::Read(void* buffer, std::size_t n) {
    const std::int64_t size = Size();
    if (FPos >= size || n == 0) return 0;
    const std::size_t count = static_cast<std::size_t>(std::min<std::int64_t>(size - FPos, n));
    std::memcpy(buffer, FData.data() + FPos, count);
    FPos += static_cast<std::int64_t>(count);
    return count;
}

void TMemoryStream::Write(const void* buffer, std::size_t n) {
    if (n == 0) return;
    const std::size_t end = static_cast<std::size_t>(FPos) + n;
    if (end > FData.size()) FData.resize(end);
    std::memcpy(FData.data() + FPos, buffer, n);
    FPos = static_cast<std::int64_t>(end);
}

std::size_t TByteViewStream::Read(void* buffer, std::size_t n) {
    const std::int64_t size = Size();
    if (FPos >= size || n == 0) return 0;
    const std::size_t count = static_cast<std::size_t>(std::min<std::int64_t>(size - FPos, n));
    std::memcpy(buffer, FData + FPos, count);
    FPos += static_cast<std::int64_t>(count);
    return count;
}

void TByteViewStream::Write(const void*, std::size_t) {
    GIFError("Invalid stream operation");
}

namespace {

// Reads from a descriptor until its end, whatever kind of file it is.
bool ReadAll(int fd, std::vector<std::uint8_t>& out) {
    std::uint8_t chunk[65536];
    for (;;) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got == 0) return true;
        if (got < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        out.insert(out.end(), chunk, chunk + got);
    }
}

bool WriteAll(int fd, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const ssize_t put = ::write(fd, data, size);
        if (put < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += put;
        size -= static_cast<std::size_t>(put);
    }
    return true;
}

} // namespace

std::vector<std::uint8_t> ReadWholeFile(const std::string& filename) {
    const int fd = ::open(filename.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) GIFError("Cannot open file " + filename);
    std::vector<std::uint8_t> bytes;
    const bool ok = ReadAll(fd, bytes);
    ::close(fd);
    if (!ok) GIFError("Cannot read file " + filename);
    return bytes;
}

std::vector<std::uint8_t> ReadWholeStream(std::istream& in) {
    std::vector<std::uint8_t> bytes;
    char chunk[65536];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0)
        bytes.insert(bytes.end(), chunk, chunk + in.gcount());
    return bytes;
}

void ReplaceFileContent(const std::string& filename, const std::vector<std::uint8_t>& bytes) {
    namespace fs = std::filesystem;
    const fs::path target(filename);
    fs::path dir = target.parent_path();
    if (dir.empty()) dir = ".";
    std::string base(".");
    base.append(target.filename().string()).append(".XXXXXX");
    const std::string tmpl = (dir / base).string();
    std::vector<char> name(tmpl.begin(), tmpl.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0) GIFError("Cannot create file " + filename);
    const bool ok = WriteAll(fd, bytes.data(), bytes.size()) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!ok || !closed) {
        ::unlink(name.data());
        GIFError("Cannot write file " + filename);
    }
    // Keep the permissions an existing target had; a new file gets the usual ones.
    struct stat st {};
    if (::stat(filename.c_str(), &st) == 0)
        ::chmod(name.data(), st.st_mode & 07777);
    else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::chmod(name.data(), 0666 & ~mask);
    }
    if (::rename(name.data(), filename.c_str()) != 0) {
        ::unlink(name.data());
        GIFError("Cannot create file " + filename);
    }
}
