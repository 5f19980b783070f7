#include "platform/SafeFile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString reason(int err) {
    return QString::fromLocal8Bit(std::strerror(err));
}

bool fail(QString* error, int err) {
    if (error) *error = reason(err);
    return false;
}

} // namespace

bool WriteFileAtomically(const QString& fileName, const QByteArray& data, QString* error, bool sync) {
    // Our own POSIX sequence rather than QSaveFile: QSaveFile reports success after a short write
    // (a full disk or a file size limit), and the target would be replaced by a cut file.
    // A link is followed, so the file it points at is replaced and the link stays.
    QFileInfo info(fileName);
    if (info.isSymLink()) info = QFileInfo(info.symLinkTarget());
    const QByteArray target = QFile::encodeName(info.absoluteFilePath());
    QByteArray temp =
        QFile::encodeName(info.absolutePath() + QStringLiteral("/.") + info.fileName()) + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) return fail(error, errno);

    auto abandon = [&](int err) {
        ::close(fd);
        ::unlink(temp.constData());
        return fail(error, err);
    };
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

    const char* p = data.constData();
    qsizetype left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, static_cast<size_t>(left));
        if (n < 0) {
            if (errno == EINTR) continue;
            return abandon(errno);
        }
        if (n == 0) return abandon(EIO);
        p += n;
        left -= n;
    }
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
