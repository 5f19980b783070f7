#include "FileTestSupport.h"

#include <QDir>

void FileCommandsBase::SetUp() {
    ProgramTest::SetUp();
    ASSERT_TRUE(Files.isValid());
    TfZorvTile::SetFileDialogHook([this](const QString& caption, const QString& folder, const QString& filter,
                                         const QString& proposed) {
        Dialogs.push_back({caption, folder, filter, proposed});
        if (Chosen.empty()) return QString();
        const QString c = Chosen.front();
        Chosen.pop_front();
        return c;
    });
}

void FileCommandsBase::Trigger(const char* name) {
    auto* a = W->findChild<QAction*>(name);
    ASSERT_NE(a, nullptr) << name;
    ASSERT_TRUE(a->isEnabled()) << name;
    a->trigger();
}

void FileCommandsBase::SetImage(int w, int h) {
    PaintPattern(W->z, w, h);
    W->SetToIm(W->z);
}

void FileCommandsBase::StartLog() {
    W->LogthisSession1Click();
    ASSERT_TRUE(W->Logging);
}

QStringList FileCommandsBase::LogLines() const {
    QStringList lines = FileLines(QDir(LogDir.path()).filePath("ZorvLog.txt"));
    if (!lines.isEmpty()) lines.removeFirst(); // the "Log starts" line
    return lines;
}

TFColor Pattern(int x, int y) {
    return MakeFColor(static_cast<std::uint8_t>(10 * x + 1), static_cast<std::uint8_t>(20 * y + 2),
                      static_cast<std::uint8_t>(3 * x + 5 * y + 7));
}

void PaintPattern(TFastDIB& d, int w, int h) {
    d.SetSize(w, h, 24, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) d.Pixels24[y][x] = Pattern(x, y);
}
