#include "FileTestSupport.h"

#include "app/JpgCval1.h"
#include "app/Trans1.h"

#include <QDir>

void FileCommandsBase::SetUp() {
    ASSERT_TRUE(Ini.isValid() && Files.isValid() && LogDir.isValid());
    TfZorvTile::SetLogFolder(LogDir.path());
    Program = std::make_unique<TStartedProgram>(Ini.path());
    W = fZorvTile;
    ASSERT_NE(W, nullptr);
    TfZorvTile::SetFileDialogHook([this](const QString& caption, const QString& folder, const QString& filter,
                                         const QString& proposed) {
        Dialogs.push_back({caption, folder, filter, proposed});
        if (Chosen.empty()) return QString();
        const QString c = Chosen.front();
        Chosen.pop_front();
        return c;
    });
}

void FileCommandsBase::TearDown() {
    Program.reset();
    TfZorvTile::SetFileDialogHook({});
    TfJPGComp::SetExecuteHook({});
    TfTrans::SetExecuteHook({});
    TfTrans::SetColorDialogHook({});
    TfZorvTile::SetLogFolder(QString());
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

QStringList FileCommandsBase::Errors() const {
    QStringList out;
    for (const TAskedBox& b : Program->Asked)
        if (b.Type == TMsgDlgType::mtError) out << b.Text;
    return out;
}

QStringList FileCommandsBase::Messages() const {
    QStringList out;
    for (const TAskedBox& b : Program->Asked) out << b.Text;
    return out;
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

::testing::AssertionResult SamePixels(const TFastDIB& a, const TFastDIB& b) {
    if (a.Width != b.Width || a.Height != b.Height)
        return ::testing::AssertionFailure()
               << "size " << a.Width << " x " << a.Height << " vs " << b.Width << " x " << b.Height;
    for (int y = 0; y < a.Height; ++y)
        for (int x = 0; x < a.Width; ++x)
            if (!(a.Pixels24[y][x] == b.Pixels24[y][x]))
                return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") differs";
    return ::testing::AssertionSuccess();
}
