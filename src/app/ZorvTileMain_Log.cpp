// The activity log of the main window: File > Log commands, the log file and the status panel.
#include "app/AppTypes.h"
#include "app/ZorvTileMain.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <stdexcept>

QString ColorToRGBStr(TColor c) {
    return QStringLiteral("R: %1 G: %2 B: %3").arg(GetRValue(c)).arg(GetGValue(c)).arg(GetBValue(c));
}

QString BoolToTrueFalse(bool b) {
    return b ? QStringLiteral("True") : QStringLiteral("False");
}

QString TfZorvTile::LogPath() const {
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("ZorvLog.txt"));
}

void TfZorvTile::LogLine(const QString& text) {
    if (!Logging || !LogFile) return;
    const QByteArray bytes = text.toUtf8() + "\r\n";
    if (LogFile->write(bytes) != bytes.size() || !LogFile->flush())
        throw std::runtime_error(QStringLiteral("Unable to write to %1: %2")
                                     .arg(LogFile->fileName(), LogFile->errorString())
                                     .toStdString());
}

void TfZorvTile::CloseLogFile() {
    Logging = false;
    if (LogFile) LogFile->close();
    LogFile.reset();
}

void TfZorvTile::LogthisSession1Click() {}
void TfZorvTile::CloseLog1Click() {
    CloseLogFile();
}
void TfZorvTile::AppendtoLog1Click() {}
void TfZorvTile::ViewLog1Click() {}
void TfZorvTile::EditLog1Click() {}

void TfZorvTile::stBarDrawPanel(QPainter& painter, const QRect& r) {
    if (Logging)
        painter.drawText(r.left() + 18, r.top() + 2 + painter.fontMetrics().ascent(),
                         QStringLiteral("Logging"));
    else
        painter.drawText(r.left() + 5, r.top() + 2 + painter.fontMetrics().ascent(),
                         QStringLiteral("Not Logging"));
}
