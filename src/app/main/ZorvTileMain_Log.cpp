// The activity log of the main window: the log file, the File > Log commands and the status panel.
#include "app/dialogs/AllForms.h"
#include "app/dialogs/LogEditor.h"
#include "app/dialogs/LogViewer.h"
#include "app/main/AppTypes.h"
#include "app/main/ZorvTileMain.h"
#include "controls/GradientControl.h"
#include "platform/ErrorGuard.h"
#include "platform/Folders.h"
#include "platform/MessageBoxes.h"
#include "platform/SafeFile.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <stdexcept>

QString ColorToRGBStr(TColor c) {
    return QStringLiteral("R: %1 G: %2 B: %3").arg(GetRValue(c)).arg(GetGValue(c)).arg(GetBValue(c));
}

QString BoolToTrueFalse(bool b) {
    return b ? QStringLiteral("True") : QStringLiteral("False");
}

namespace {

QString& logFolderOverride() {
    static QString folder;
    return folder;
}

// What the log quotes from the gradient designer: its style text, the control's two colours and the
// angle edit's text.
struct GradientSummary {
    QString style;
    TColor beginColor;
    TColor endColor;
    QString angle;
};

GradientSummary CurrentGradientSummary() {
    const TfGradient& d = *fGradient;
    return {d.cbStyle->currentText(), d.zGrad->BeginColor(), d.zGrad->EndColor(), d.meAngle->text()};
}

bool askYesNo(const QString& text) {
    return MessageDlg(text, TMsgDlgType::mtConfirmation, mbYes | mbNo) == mrYes;
}

[[noreturn]] void throwFileError(const QString& what, const QFile& file) {
    throw std::runtime_error(QStringLiteral("%1 %2: %3")
                                 .arg(what, QDir::toNativeSeparators(file.fileName()), file.errorString())
                                 .toStdString());
}

// The log icon: a small sheet of paper with three lines of writing (10 x 12 pixels).
const QPixmap& logIcon() {
    static const QPixmap icon = [] {
        QImage img(10, 12, QImage::Format_ARGB32);
        img.fill(Qt::transparent);
        QPainter p(&img);
        p.setPen(Qt::black);
        p.setBrush(Qt::white);
        p.drawRect(0, 0, 9, 11);
        p.setPen(QColor(0, 0, 128));
        for (int y = 3; y <= 8; y += 2) p.drawLine(2, y, 7, y);
        p.end();
        return QPixmap::fromImage(img);
    }();
    return icon;
}

} // namespace

void TfZorvTile::GradientLogTexts(TEffectContext& c) const {
    const GradientSummary g = CurrentGradientSummary();
    c.GradWide = fGradient->meWide->text();
    c.GradHigh = fGradient->meHigh->text();
    c.GradStyle = g.style;
    c.GradBegin = g.beginColor;
    c.GradEnd = g.endColor;
    c.GradAngle = g.angle;
}

void TfZorvTile::SetLogFolder(const QString& folder) {
    logFolderOverride() = folder;
}

QString TfZorvTile::LogPath() const {
    const QString folder = logFolderOverride().isEmpty() ? ProgramDataFolder() : logFolderOverride();
    return QDir(folder).filePath(QStringLiteral("ZorvLog.txt"));
}

void TfZorvTile::LogLine(const QString& text) {
    if (!Logging || !LogFile) return;
    const QString why = LogWindows::AppendLogLine(LogFile, text.toUtf8() + "\r\n");
    if (why.isEmpty()) return;
    // Every failure ends logging with one message: every later line would fail too.
    const QString path = QDir::toNativeSeparators(LogFile->fileName());
    CloseLogFile();
    ShowMessage(QStringLiteral("The activity log %1 cannot be written: %2.\rLogging has stopped.")
                    .arg(path, InSentence(why)));
}

void TfZorvTile::CloseLogFile() noexcept {
    Logging = false;
    if (LogFile) {
        LogFile->close(); // every line was flushed as it was written, so closing loses nothing
        LogFile.reset();
    }
    if (stBar) stBar->update();
}

void TfZorvTile::OpenLogFile(bool append) {
    auto file = std::make_unique<QFile>(LogPath());
    // Emptying the log is a write too: not in the middle of another instance's Edit Log.
    const LogWindows::TLogLock lock(append ? QString() : LogPath(), LogWindows::LogLockWaitMs);
    const QIODevice::OpenMode mode =
        append ? (QIODevice::WriteOnly | QIODevice::Append) : (QIODevice::WriteOnly | QIODevice::Truncate);
    if (!file->open(mode | QIODevice::Unbuffered))
        throwFileError(QStringLiteral("Unable to open the log file"), *file);
    LogFile = std::move(file);
}

void TfZorvTile::ReopenLogFile() {
    try {
        OpenLogFile(true);
    } catch (...) {
        // Every later line would fail: logging ends here, and the status bar says so.
        CloseLogFile();
        throw;
    }
}

void TfZorvTile::LogthisSession1Click() {
    Guarded([this] {
        if (Logging) {
            ShowMessage(QStringLiteral("Already Logging"));
            return;
        }
        if (QFile::exists(LogPath()) && !askYesNo(QStringLiteral("Overwrite Existing Log?"))) return;
        const GradientSummary g = CurrentGradientSummary();
        const QString first =
            QStringLiteral("Log starts  - current Gradient: Width %1, Height %2, Gradient %3"
                           ", From Color %4, To Color %5, Angle %6")
                .arg(imSine ? imSine->width() : z.Width)
                .arg(imSine ? imSine->height() : z.Height)
                .arg(g.style, ColorToRGBStr(g.beginColor), ColorToRGBStr(g.endColor), g.angle);
        // The file is created first: when that fails, logging stays off.
        OpenLogFile(false);
        Logging = true;
        try {
            LogLine(first);
        } catch (...) {
            CloseLogFile();
            throw;
        }
        if (stBar) stBar->update();
    });
}

void TfZorvTile::AppendtoLog1Click() {
    Guarded([this] {
        if (Logging) {
            ShowMessage(QStringLiteral("Already Logging"));
            return;
        }
        if (QFile::exists(LogPath())) {
            OpenLogFile(true);
            Logging = true;
            try {
                LogLine(QStringLiteral("<=Appending to Existing Log=>"));
            } catch (...) {
                CloseLogFile();
                throw;
            }
            if (stBar) stBar->update();
            return;
        }
        if (!askYesNo(QStringLiteral("File not found, starting New Log. OK?"))) return;
        LogthisSession1Click();
        if (stBar) stBar->update();
    });
}

void TfZorvTile::CloseLog1Click() {
    if (Logging)
        CloseLogFile();
    else
        ShowMessage(QStringLiteral("Log already Closed"));
}

void TfZorvTile::ViewLog1Click() {
    if (!QFile::exists(LogPath())) {
        ShowMessage(QStringLiteral("Log File Not Found in ") + QFileInfo(LogPath()).absolutePath());
        return;
    }
    if (fToolBox) fToolBox->hide();
    if (fLog) {
        fLog->show();
        fLog->raise();
    }
}

void TfZorvTile::EditLog1Click() {
    if (!QFile::exists(LogPath())) {
        ShowMessage(QStringLiteral("Log File Not Found in ") + QFileInfo(LogPath()).absolutePath());
        return;
    }
    if (Logging) {
        if (!askYesNo(QStringLiteral("This will Close the Log. OK?"))) return;
        CloseLogFile();
    }
    if (fELog) Guarded([] { fELog->Execute(); });
}

void TfZorvTile::stBarDrawPanel(QPainter& painter, const QRect& r) {
    painter.setPen(stBar ? stBar->palette().color(QPalette::WindowText) : QColor(Qt::black));
    const int baseline = painter.fontMetrics().ascent();
    if (Logging) {
        painter.drawPixmap(r.left() + 5, r.top() + 3, logIcon());
        painter.drawText(r.left() + 18, r.top() + 2 + baseline, QStringLiteral("Logging"));
    } else {
        painter.drawText(r.left() + 5, r.top() + 2 + baseline, QStringLiteral("Not Logging"));
    }
}

void TfZorvTile::SaveImageWithLogName(const QString& name) {
    // The save dialog proposes the log's name in DefDir; Save As then saves as usual.
    SaveImageAs(name);
}
