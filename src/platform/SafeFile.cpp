#include "platform/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>
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
constexpr int TempRandomDigits = 16;

bool isTemporaryName(const QString& name) {
    static const QRegularExpression re(QStringLiteral("^\\..+%1[0-9a-f]{%2}$")
                                           .arg(QRegularExpression::escape(QLatin1String(TempMarker)))
                                           .arg(TempRandomDigits));
    return re.match(name).hasMatch();
}

// Creates a new temporary file in `folder` for the file named `target` there, and puts its path in
// `temp`; -1 with errno set when it cannot.
int createTemporary(const QString& folder, const QString& target, QByteArray& temp) {
    const QByteArray stem = QFile::encodeName(folder + QStringLiteral("/.") + target) + TempMarker;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::uint64_t bits = 0;
        if (::getrandom(&bits, sizeof bits, 0) != sizeof bits) return -1;
        temp = stem + QByteArray::number(static_cast<qulonglong>(bits), 16).rightJustified(TempRandomDigits, '0');
        const int fd = ::open(temp.constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

// Removes `name` in the open folder `dir` when it is a regular file of ours, untouched for a minute
// and locked by nobody.
bool removeIfStale(int dir, const QByteArray& name) {
    const int fd = ::openat(dir, name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    bool removed = false;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() &&
        st.st_mtime + StaleAfterSeconds < std::time(nullptr) && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
        removed = ::unlinkat(dir, name.constData(), 0) == 0;
    ::close(fd);
    return removed;
}

// Removes the stale temporaries of ours in `folder`.
int removeStale(const QString& folder) {
    const QByteArray path = QFile::encodeName(folder);
    DIR* d = ::opendir(path.constData());
    if (!d) return 0;
    int removed = 0;
    while (const dirent* e = ::readdir(d)) {
        const QByteArray name(e->d_name);
        if (isTemporaryName(QFile::decodeName(name)) && removeIfStale(::dirfd(d), name)) ++removed;
    }
    ::closedir(d);
    return removed;
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
    QByteArray temp;
    const int fd = createTemporary(info.absolutePath(), info.fileName(), temp);
    if (fd < 0) return fail(error, errno);

    auto abandon = [&](int err) {
        ::close(fd);
        ::unlink(temp.constData());
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
    } catch (...) {
        abandon(errno);
        throw;
    }
    if (!filled) return abandon(errno);
    if (sync && ::fsync(fd) != 0) return abandon(errno);
    if (::close(fd) != 0) {
        const int err = errno;
        ::unlink(temp.constData());
        return fail(error, err);
    }
    if (::rename(temp.constData(), target.constData()) != 0) {
        const int err = errno;
        ::unlink(temp.constData());
        return fail(error, err);
    }
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

bool WriteFileWithHead(const QString& fileName, const QString& headFrom, qint64 headBytes,
                       const QByteArray& tail, QString* error) {
    const int in = headBytes > 0 ? ::open(QFile::encodeName(headFrom).constData(), O_RDONLY | O_CLOEXEC) : -1;
    if (headBytes > 0 && in < 0) return fail(error, errno);
    const bool ok = writeAtomically(
        fileName,
        [&](int fd) {
            QByteArray block(1 << 20, Qt::Uninitialized);
            for (qint64 left = headBytes; left > 0;) {
                const ssize_t n =
                    ::read(in, block.data(), static_cast<size_t>(std::min<qint64>(left, block.size())));
                if (n < 0 && errno == EINTR) continue;
                if (n <= 0) {
                    if (n == 0) errno = EIO; // the file became shorter than what is kept
                    return false;
                }
                if (!writeAll(fd, block.constData(), n)) return false;
                left -= n;
            }
            return writeAll(fd, tail.constData(), tail.size());
        },
        error, true);
    if (in >= 0) ::close(in);
    return ok;
}

int RemoveStaleTemporaries(const QString& folder) {
    return folder.isEmpty() ? 0 : removeStale(folder);
}

void ThrowWriteError(const QString& fileName, const QString& reason) {
    throw std::runtime_error(
        QStringLiteral("Cannot write %1: %2").arg(fileName, InSentence(reason)).toStdString());
}

QString InSentence(QString reason) {
    if (reason.size() > 1 && reason[0].isUpper() && reason[1].isLower()) reason[0] = reason[0].toLower();
    return reason;
}
