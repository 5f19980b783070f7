// The activity log viewer, and what it shares with the log editor.
#include "app/dialogs/LogViewer.h"

#include "app/dialogs/AllForms.h"
#include "app/dialogs/PrintOptions.h"
#include "app/main/ZorvTileMain.h"
#include "platform/ErrorGuard.h"
#include "platform/MessageBoxes.h"
#include "platform/SafeFile.h"

#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QShowEvent>
#include <QTextStream>
#include <QVBoxLayout>
#include <stdexcept>

TfLog* fLog = nullptr;

namespace LogWindows {

namespace {
SaveDialogHook& saveHook() {
    static SaveDialogHook hook;
    return hook;
}

[[noreturn]] void fail(const QString& what, const QString& path, const QString& why) {
    throw std::runtime_error(
        QStringLiteral("%1 %2: %3").arg(what, QDir::toNativeSeparators(path), why).toStdString());
}
} // namespace

void SetSaveDialogHook(SaveDialogHook hook) {
    saveHook() = std::move(hook);
}

void ReadLogInto(QPlainTextEdit& memo, const QString& path) {
    memo.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        fail(QStringLiteral("Unable to read the log file"), path, file.errorString());
    QTextStream in(&file);
    QStringList lines;
    QString line;
    while (in.readLineInto(&line)) lines << line;
    if (in.status() != QTextStream::Ok || file.error() != QFileDevice::NoError)
        fail(QStringLiteral("Unable to read the log file"), path, file.errorString());
    if (!lines.isEmpty()) memo.setPlainText(lines.join(QLatin1Char('\n')));
}

QStringList MemoLines(const QPlainTextEdit& memo) {
    const QString text = memo.toPlainText();
    if (text.isEmpty()) return {};
    QStringList lines = text.split(QLatin1Char('\n'));
    // A final line end does not start another line.
    if (lines.size() > 1 && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

void WriteLines(const QString& path, const QStringList& lines) {
    // Written to a temporary file that replaces the old one only when complete (a short write, as on a
    // full disk, counts as a failure).
    QByteArray data;
    for (const QString& line : lines) data += line.toUtf8() + "\r\n";
    QString why;
    if (!WriteFileAtomically(path, data, &why)) fail(QStringLiteral("Unable to write to"), path, why);
}

void PrintLines(const QStringList& lines, QWidget* parent) {
    if (lines.isEmpty()) return;
    QPrinter printer(QPrinter::HighResolution);
    if (fPrint) fPrint->ApplySetup(printer);
    if (!RunPrintDialog(printer, parent)) return;
    QPainter canvas;
    if (!canvas.begin(&printer)) throw std::runtime_error("The printer refused the print job.");
    QFont font(QStringLiteral("Times New Roman"));
    font.setPointSize(10);
    canvas.setFont(font);
    const QFontMetrics fm(canvas.font(), &printer);
    const int pageHeight = printer.height();
    int y = 0;
    for (const QString& line : lines) {
        if (y > 0 && y + fm.height() > pageHeight) {
            printer.newPage();
            y = 0;
        }
        canvas.drawText(0, y + fm.ascent(), line);
        y += fm.lineSpacing();
    }
    canvas.end();
}

QString RunSaveLogDialog(QWidget* parent, const QString& startDir) {
    QFileDialog dialog(parent, QStringLiteral("Save Mozaro Log"));
    dialog.setObjectName(QStringLiteral("SD1"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    dialog.setNameFilter(QStringLiteral("Text File (*.txt)"));
    if (!startDir.isEmpty()) dialog.setDirectory(startDir);
    if (saveHook()) return saveHook()(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

QString ImageNameForLog(const QString& logPath) {
    QString path = logPath;
    const int at = path.indexOf(QLatin1String("txt"), 0, Qt::CaseInsensitive);
    if (at >= 0) path.replace(at, 3, QStringLiteral("jpg"));
    QString name = QFileInfo(path).fileName();
    if (!name.endsWith(QLatin1String("jpg"))) name += QStringLiteral(".jpg");
    return name;
}

bool SaveAs(QWidget* parent, const QStringList& lines, bool startInDefDir) {
    if (lines.isEmpty()) {
        ShowMessage(QStringLiteral("Nothing to Save!"));
        return false;
    }
    const QString start = startInDefDir && fZorvTile ? fZorvTile->DefDir : QString();
    const QString path = RunSaveLogDialog(parent, start);
    if (path.isEmpty()) return false;
    WriteLines(path, lines);
    if (fZorvTile && fZorvTile->SaveImagewithLogFileName1 &&
        fZorvTile->SaveImagewithLogFileName1->isChecked()) {
        fZorvTile->DefDir = QFileInfo(path).absolutePath();
        fZorvTile->SaveImageWithLogName(ImageNameForLog(path));
    }
    return true;
}

TLogLayout BuildLogLayout(QDialog* dialog) {
    auto* memo = new QPlainTextEdit(dialog);
    memo->setObjectName(QStringLiteral("mLog"));
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto* panel = new QWidget(dialog);
    auto* row = new QHBoxLayout(panel);
    auto* column = new QVBoxLayout(dialog);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(memo, 1);
    column->addWidget(panel);
    return {memo, row};
}

QPushButton* AddLogButton(const TLogLayout& layout, const char* name, const QString& caption,
                          std::function<void()> handler) {
    auto* b = new QPushButton(caption, layout.row->parentWidget());
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    layout.row->addWidget(b);
    QObject::connect(b, &QPushButton::clicked, b, [handler = std::move(handler)] { Guarded(handler); });
    return b;
}

} // namespace LogWindows

TfLog::TfLog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("fLog"));
    setWindowTitle(QStringLiteral("View Mozaro Log File"));
    resize(499, 337);
    const LogWindows::TLogLayout layout = LogWindows::BuildLogLayout(this);
    mLog = layout.memo;
    mLog->setReadOnly(true);
    bRefresh =
        LogWindows::AddLogButton(layout, "bRefresh", QStringLiteral("&Refresh"), [this] { bRefreshClick(); });
    bSaveAs =
        LogWindows::AddLogButton(layout, "bSaveAs", QStringLiteral("&Save As"), [this] { bSaveAsClick(); });
    bOK = LogWindows::AddLogButton(layout, "bOK", QStringLiteral("&OK"), [this] { bCancelClick(); });
    bPrint = LogWindows::AddLogButton(layout, "bPrint", QStringLiteral("&Print"), [this] { bPrintClick(); });
}

void TfLog::FormCreate() {}

void TfLog::FormShow() {
    LoadLog();
}

void TfLog::FormClose() {
    if (fToolBox) fToolBox->show();
}

void TfLog::bRefreshClick() {
    LoadLog();
}

void TfLog::bSaveAsClick() {
    LogWindows::SaveAs(this, LogWindows::MemoLines(*mLog), true);
}

void TfLog::bPrintClick() {
    LogWindows::PrintLines(LogWindows::MemoLines(*mLog), this);
}

void TfLog::bCancelClick() {
    close();
}

void TfLog::LoadLog() {
    TfZorvTile* main = fZorvTile;
    const bool logging = main && main->Logging;
    const QString path = main ? main->LogPath() : QString();
    // The main window's log is closed while it is read, so the whole file is on disk.
    if (logging && main->LogFile) {
        main->LogFile->close();
        main->LogFile.reset();
    }
    try {
        LogWindows::ReadLogInto(*mLog, path);
    } catch (...) {
        // The read error is the one to report; a failed reopen has ended logging by then.
        try {
            if (logging) main->ReopenLogFile();
        } catch (...) {
        }
        throw;
    }
    if (logging) main->ReopenLogFile();
}

void TfLog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) Guarded([this] { FormShow(); });
}

void TfLog::done(int r) {
    QDialog::done(r);
    FormClose();
}
