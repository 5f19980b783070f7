#include "platform/Folders.h"
#include "platform/SafeFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

QString clean(const QString& path) {
    if (path.isEmpty()) return path;
    return QDir::cleanPath(QDir(path).absolutePath());
}

QString ownDataFolder() {
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                        QStringLiteral("/ZorvWare/ZorvTile");
    QDir().mkpath(dir);
    return clean(dir);
}

} // namespace

QString DocumentsFolder() {
    // The documents folder is named even where it was never made; the caller's fallback applies then.
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(dir).isDir() ? clean(dir) : QString();
}

QString TempFolder() {
    return clean(QDir::tempPath());
}

QString ProgramFolder() {
    if (QCoreApplication::instance()) return clean(QCoreApplication::applicationDirPath());
    // Before (or without) the application object: the link the kernel keeps to our executable.
    return clean(QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath()).absolutePath());
}

QString ProgramDataFolder() {
    return ownDataFolder();
}

QString SettingsFallbackFolder() {
    return clean(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                 QStringLiteral("/ZorvWare/ZorvTile"));
}

QString WindowsFolder() {
    return ownDataFolder();
}

QString FolderWriteProblem(const QString& folder) {
    if (!QFileInfo(folder).isDir()) return QStringLiteral("no such folder");
    // An empty hidden file, removed at once: only a crash in between could leave it.
    QByteArray probe = QFile::encodeName(QDir(folder).filePath(QStringLiteral(".probe.mozaro-XXXXXX")));
    const int fd = ::mkostemp(probe.data(), O_CLOEXEC);
    if (fd < 0) return InSentence(QString::fromLocal8Bit(std::strerror(errno)));
    ::close(fd);
    ::unlink(probe.constData());
    return QString();
}
