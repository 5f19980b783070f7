#pragma once
// Helpers shared by the Qt-side tests: the application object, scratch folders, file contents and a
// file-size limit that makes writes fail part-way even for a privileged user.

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// Makes sure a QApplication exists (offscreen; created once, on first use).
void EnsureQtApplication();

QByteArray ReadAll(const QString& fileName);
void WriteAll(const QString& fileName, const QByteArray& data);

// While alive, no file of this process can grow past `bytes`: writes beyond fail with EFBIG.
class FileSizeLimit {
public:
    explicit FileSizeLimit(long bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    unsigned long long soft_ = 0;
};
