#include "platform/SafeFile.h"
#include "image/WorkControl.h"
#include "platform/Folders.h"

#include <QByteArrayView>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <stdexcept>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A temporary file younger than this may belong to a save still running in another process.
constexpr time_t StaleAfterSeconds = 60;

QString reason(int err) {
    return QString::fromLocal8Bit(std::strerror(err));
}

bool fail(QString* error, int err) {
    if (error) *error = reason(err);
    return false;
}

bool writeAll(int fd, const char* p, qint64 left) {
    while (left > 0) {
        const ssize_t n = ::write(fd, p, static_cast<size_t>(left));
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) {
            errno = EIO;
            return false;
        }
        p += n;
        left -= n;
    }
    return true;
}

// Our temporary files: "." + target name + TempMarker + TempRandomDigits random lowercase hex digits.
// Only names of exactly this form are ever removed as stale, so a person's ".photo.bmp.backup" or another
// program's ".photo.bmp.ABC123" is never touched.
constexpr char TempMarker[] = ".mozaro~tmp~";
constexpr qsizetype TempMarkerLength = sizeof TempMarker - 1;
constexpr qsizetype TempRandomDigits = 16;

bool isRandomDigits(QByteArrayView digits) {
    return digits.size() == TempRandomDigits && std::all_of(digits.begin(), digits.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
           });
}

// The whole name, byte for byte: a look-alike with anything after the digits (even a newline) is not ours.
bool isTemporaryName(QByteArrayView name) {
    const qsizetype tail = TempMarkerLength + TempRandomDigits;
    return name.size() >= 2 + tail && name.front() == '.' &&
           name.sliced(name.size() - tail, TempMarkerLength) == QByteArrayView(TempMarker) &&
           isRandomDigits(name.last(TempRandomDigits));
}

std::function<long(void*, std::size_t)> getRandomHook;

bool kernelRandom(std::uint64_t& bits) {
    for (;;) {
        const long n = getRandomHook ? getRandomHook(&bits, sizeof bits) : ::getrandom(&bits, sizeof bits, 0);
        if (n == sizeof bits) return true;
        if (n >= 0 || errno != EINTR) return false;
    }
}

bool deviceRandom(std::uint64_t& bits) {
    const int fd = ::open("/dev/urandom", O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    ssize_t n = 0;
    do n = ::read(fd, &bits, sizeof bits);
    while (n < 0 && errno == EINTR);
    ::close(fd);
    return n == sizeof bits;
}

// The clock, the process and a counter, mixed (the finaliser of splitmix64) so that the digits differ in
// every place.
std::uint64_t clockMix() {
    static std::atomic<std::uint64_t> counter{0};
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    std::uint64_t x =
        static_cast<std::uint64_t>(now.tv_sec) * 1'000'000'000u + static_cast<std::uint64_t>(now.tv_nsec);
    x ^= static_cast<std::uint64_t>(::getpid()) << 40;
    x += (counter.fetch_add(1) + 1) * 0x9e3779b97f4a7c15u;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9u;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebu;
    return x ^ (x >> 31);
}

// The random digits of a temporary's name: the kernel's random source, else /dev/urandom, else the
// clock's mix. A weaker source is safe: the file is created exclusively, so a name taken only costs
// another try.
QByteArray randomDigits() {
    std::uint64_t bits = 0;
    if (!kernelRandom(bits) && !deviceRandom(bits)) bits = clockMix();
    return QByteArray::number(static_cast<qulonglong>(bits), 16).rightJustified(TempRandomDigits, '0');
}

// The longest name the file system takes in `folder`.
qsizetype nameLimit(const QByteArray& folder) {
    const long limit = ::pathconf(folder.constData(), _PC_NAME_MAX);
    return limit > 0 ? limit : NAME_MAX;
}

// The target's part of its temporary's name: the whole name when the temporary's name fits in `limit`
// bytes, else as much of its start as fits, cut before a whole character of the file-name encoding
// (UTF-8). The marker and the digits stay whole: they are what the clean-up knows ours by.
QByteArray temporaryStem(const QByteArray& target, qsizetype limit) {
    const qsizetype room = limit - 1 - TempMarkerLength - TempRandomDigits;
    if (target.size() <= room || room < 1) return target; // too small a limit: the create says so
    qsizetype cut = room;
    while (cut > 0 && (static_cast<unsigned char>(target[cut]) & 0xc0) == 0x80) --cut;
    return target.left(cut > 0 ? cut : room);
}

// Writes the record of a write in progress: a new file `digits` in `folder` holding `temp`. Returns its
// path; empty when the name is taken (`taken` set) or it could not be written. A record that cannot be
// written does not stop the write: it only serves the clean-up of a write that gets killed, and the
// next write to the same folder removes that write's temporary too. Not flushed to the disk: a killed
// process leaves what it wrote in the system's cache.
QByteArray writeRecord(const QByteArray& folder, const QByteArray& digits, const QByteArray& temp,
                       bool& taken) {
    taken = false;
    if (folder.isEmpty()) return {};
    const QByteArray record = folder + '/' + digits;
    const int fd = ::open(record.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        taken = errno == EEXIST;
        return {};
    }
    const bool written = writeAll(fd, temp.constData(), temp.size());
    if (::close(fd) == 0 && written) return record;
    ::unlink(record.constData());
    return {};
}

// The folder for the records, made when missing; empty when it cannot be had.
QByteArray recordFolder() {
    const QByteArray folder = QFile::encodeName(SaveRecordFolder());
    if (::mkdir(folder.constData(), 0700) != 0 && errno != EEXIST) return {};
    return folder;
}

// A temporary being written, and the record of it (empty when there is none).
struct TTemporary {
    int fd = -1;
    QByteArray path;
    QByteArray record;
};

// Creates a new temporary file in `folder` for the file named `target` there, with its record in
// `records` (may be empty); fd -1 with errno set when it cannot.
TTemporary createTemporary(const QByteArray& folder, const QByteArray& target, const QByteArray& records) {
    const QByteArray stem = folder + "/." + temporaryStem(target, nameLimit(folder)) + TempMarker;
    TTemporary t;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QByteArray digits = randomDigits();
        t.path = stem + digits;
        bool taken = false;
        t.record = writeRecord(records, digits, t.path, taken);
        if (taken) continue;
        t.fd = ::open(t.path.constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (t.fd >= 0) return t;
        const int err = errno;
        if (!t.record.isEmpty()) ::unlink(t.record.constData());
        t.record.clear();
        errno = err;
        if (err != EEXIST) return t;
    }
    errno = EEXIST;
    return t;
}

// What the clean-up found at a temporary's name.
enum class TStale {
    Removed, // stale, and removed
    Waiting, // a file of ours that may still be written (young or locked), or could not be removed
    Other    // nothing there, or nothing of ours (another owner, not a regular file, a link)
};

// Removes `name` in the open folder `dir` when it is a regular file of ours, untouched for a minute
// and locked by nobody.
TStale removeIfStale(int dir, const QByteArray& name) {
    const int fd = ::openat(dir, name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return TStale::Other;
    TStale result = TStale::Other;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid()) {
        result = TStale::Waiting;
        if (st.st_mtime + StaleAfterSeconds < std::time(nullptr) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            ::unlinkat(dir, name.constData(), 0) == 0)
            result = TStale::Removed;
    }
    ::close(fd);
    return result;
}

// Removes the stale temporaries of ours in `folder`.
int removeStale(const QString& folder) {
    const QByteArray path = QFile::encodeName(folder);
    DIR* d = ::opendir(path.constData());
    if (!d) return 0;
    int removed = 0;
    while (const dirent* e = ::readdir(d)) {
        const QByteArray name(e->d_name);
        if (isTemporaryName(name) && removeIfStale(::dirfd(d), name) == TStale::Removed) ++removed;
    }
    ::closedir(d);
    return removed;
}

// Follows the record `name` in the open record folder `records`: removes its temporary when stale, and
// the record with it, or when the record is a minute old and points at no temporary of ours. Returns
// whether a temporary was removed.
bool followRecord(int records, const QByteArray& name) {
    const int fd = ::openat(records, name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    QByteArray temp(PATH_MAX + 1, Qt::Uninitialized);
    ssize_t n = -1;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid()) {
        do n = ::read(fd, temp.data(), temp.size());
        while (n < 0 && errno == EINTR);
    }
    ::close(fd);
    if (n < 0) return false; // not a record of ours, or unreadable now
    temp.truncate(n);
    // The temporary's folder and name; a record of another form points at nothing of ours.
    const qsizetype slash = temp.lastIndexOf('/');
    const QByteArray folder = slash > 0 ? temp.left(slash) : QByteArray("/");
    const QByteArray file = temp.mid(slash + 1);
    TStale found = TStale::Other;
    if (temp.startsWith('/') && isTemporaryName(file) && file.endsWith(name)) {
        const int dir = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dir < 0 && errno != ENOENT && errno != ENOTDIR) return false; // may be back at the next start
        if (dir >= 0) {
            found = removeIfStale(dir, file);
            ::close(dir);
        }
    }
    if (found == TStale::Removed ||
        (found == TStale::Other && st.st_mtime + StaleAfterSeconds < std::time(nullptr)))
        ::unlinkat(records, name.constData(), 0);
    return found == TStale::Removed;
}

// The common road of both writers: `fill` writes the new content to the temporary file's descriptor
// (false with errno set on failure).
bool writeAtomically(const QString& fileName, const std::function<bool(int)>& fill, QString* error,
                     bool sync) {
    // Our own POSIX sequence rather than QSaveFile: QSaveFile reports success after a short write
    // (a full disk or a file size limit), and the target would be replaced by a cut file.
    // A link is followed, so the file it points at is replaced and the link stays.
    QFileInfo info(fileName);
    if (info.isSymLink()) info = QFileInfo(info.symLinkTarget());
    removeStale(info.absolutePath());
    const QByteArray target = QFile::encodeName(info.absoluteFilePath());
    const QByteArray folder = QFile::encodeName(info.absolutePath());
    const QByteArray name = QFile::encodeName(info.fileName());
    // A name the folder cannot take is refused before anything is written (its temporary's may fit).
    if (name.size() > nameLimit(folder)) return fail(error, ENAMETOOLONG);
    const TTemporary made = createTemporary(folder, name, recordFolder());
    const int fd = made.fd;
    const QByteArray& temp = made.path;
    if (fd < 0) return fail(error, errno);
    // Once the temporary is renamed or removed, its record has served.
    const auto forget = [&] {
        if (!made.record.isEmpty()) ::unlink(made.record.constData());
    };

    auto abandon = [&](int err) {
        ::close(fd);
        ::unlink(temp.constData());
        forget();
        return fail(error, err);
    };
    // Held until the file is closed: a clean-up in another process leaves a file being written alone.
    ::flock(fd, LOCK_EX | LOCK_NB);
    // An existing target keeps its permissions; a new file gets the usual ones.
    struct stat st {};
    mode_t mode = 0666;
    if (::stat(target.constData(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode &= ~mask;
    }
    if (::fchmod(fd, mode) != 0) return abandon(errno);
    bool filled = false;
    try {
        filled = fill(fd);
        // The flush and the rename cannot be stopped: a stop asked for until now is honoured here (the
        // temporary goes), and from now on none is offered.
        if (filled) BeginFinalWorkStep("Finishing the save...");
    } catch (...) {
        abandon(errno);
        throw;
    }
    if (!filled) return abandon(errno);
    if (sync && ::fsync(fd) != 0) return abandon(errno);
    if (::close(fd) != 0) {
        const int err = errno;
        ::unlink(temp.constData());
        forget();
        return fail(error, err);
    }
    if (::rename(temp.constData(), target.constData()) != 0) {
        const int err = errno;
        ::unlink(temp.constData());
        forget();
        return fail(error, err);
    }
    forget();
    return true;
}

} // namespace

bool WriteFileAtomically(const QString& fileName, const QByteArray& data, QString* error, bool sync) {
    return writeAtomically(
        fileName, [&](int fd) { return writeAll(fd, data.constData(), data.size()); }, error, sync);
}

bool WriteFileStreamed(const QString& fileName, const std::function<bool(const TFileSink&)>& fill,
                       QString* error) {
    return writeAtomically(
        fileName,
        [&](int fd) {
            const TFileSink sink = [fd](const char* data, qint64 size) { return writeAll(fd, data, size); };
            return fill(sink);
        },
        error, true);
}

int RemoveStaleTemporaries(const QString& folder) {
    return folder.isEmpty() ? 0 : removeStale(folder);
}

QString SaveRecordFolder() {
    return ProgramDataFolder() + QStringLiteral("/saving");
}

int RemoveTemporariesOfKilledSaves() {
    DIR* d = ::opendir(QFile::encodeName(SaveRecordFolder()).constData());
    if (!d) return 0;
    int removed = 0;
    while (const dirent* e = ::readdir(d)) {
        const QByteArray name(e->d_name);
        if (isRandomDigits(name) && followRecord(::dirfd(d), name)) ++removed;
    }
    ::closedir(d);
    return removed;
}

void SetGetRandomHook(std::function<long(void*, std::size_t)> hook) {
    getRandomHook = std::move(hook);
}

void ThrowWriteError(const QString& fileName, const QString& reason) {
    throw std::runtime_error(
        QStringLiteral("Cannot write %1: %2").arg(fileName, InSentence(reason)).toStdString());
}

QString InSentence(QString reason) {
    if (reason.size() > 1 && reason[0].isUpper() && reason[1].isLower()) reason[0] = reason[0].toLower();
    return reason;
}
