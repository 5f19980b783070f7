#pragma once
// Helpers shared by the Qt-side tests: the application object, file contents, image comparison, a
// bitmap header and a file-size limit that makes writes fail part-way even for a privileged user.

#include "image/FastDIB.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// Makes sure a QApplication exists (offscreen; created once, on first use).
void EnsureQtApplication();

QByteArray ReadAll(const QString& fileName);
void WriteAll(const QString& fileName, const QByteArray& data);

// Both images have the same size, depth and pixels (24 bits per pixel).
::testing::AssertionResult SameDIB(const TFastDIB& a, const TFastDIB& b);
// The 54-byte header of a 24-bit bitmap file of w x h pixels, with no pixel data behind it.
QByteArray BmpHeader(std::int32_t w, std::int32_t h);

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
