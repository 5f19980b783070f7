// The activity log viewer, and what it shares with the log editor.
#include "app/dialogs/LogViewer.h"

#include "app/dialogs/AllForms.h"
#include "app/dialogs/PrintOptions.h"
#include "app/main/ZorvTileMain.h"
#include "platform/ErrorGuard.h"
#include "platform/FileDialogs.h"
#include "platform/MessageBoxes.h"
#include "platform/SafeFile.h"

#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QShowEvent>
#include <QStringDecoder>
#include <QVBoxLayout>
#include <algorithm>
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

TLogContent ReadLogInto(QPlainTextEdit& memo, QLabel& note, const QString& path) {
    memo.clear();
    note.hide();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail(QStringLiteral("Unable to read the log file"), path, file.errorString());
    TLogContent content;
    content.FileSize = file.size();
    // A long log shows its end, from the first whole line: a window stays quick whatever the log's size.
    // The byte before the part is read too: when it ends a line, the part starts with a whole one.
    const qint64 from = std::max<qint64>(0, content.FileSize - MaxShownLogBytes - 1);
    if (from > 0 && !file.seek(from))
        fail(QStringLiteral("Unable to read the log file"), path, file.errorString());
    QByteArray bytes = file.read(content.FileSize - from);
    if (file.error() != QFileDevice::NoError)
        fail(QStringLiteral("Unable to read the log file"), path, file.errorString());
    qsizetype skip = 0;
    if (from > 0) skip = bytes.indexOf('\n') + 1; // 0 when the whole end is one line
    content.ShownFrom = from + skip;

    QStringList lines;
    for (qsizetype at = skip; at < bytes.size();) {
        qsizetype end = bytes.indexOf('\n', at);
        if (end < 0) end = bytes.size();
        QByteArrayView line = QByteArrayView(bytes).sliced(at, end - at);
        if (line.endsWith('\r')) line.chop(1);
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString text = utf8(line);
        if (utf8.hasError()) text = QString::fromLatin1(line);
        if (text.toUtf8() != line) content.Original.insert(text, line.toByteArray());
        lines << text;
        at = end + 1;
    }
    // A blank last line is kept as one: the memo's final line end would otherwise swallow it.
    QString text = lines.join(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty()) text += QLatin1Char('\n');
    if (!text.isEmpty()) memo.setPlainText(text);
    if (content.ShownFrom > 0) {
        note.setText(
            QStringLiteral("The log is %1 MB long; its last %2 MB are shown.")
                .arg(QString::number(content.FileSize / (1024.0 * 1024.0), 'f', 1),
                     QString::number((content.FileSize - content.ShownFrom) / (1024.0 * 1024.0), 'f', 1)));
        note.show();
    }
    return content;
}

QStringList MemoLines(const QPlainTextEdit& memo) {
    const QString text = memo.toPlainText();
    if (text.isEmpty()) return {};
    QStringList lines = text.split(QLatin1Char('\n'));
    // A final line end does not start another line.
    if (lines.size() > 1 && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

QByteArray EncodeLines(const QStringList& lines, const TLogContent& content) {
    QByteArray data;
    for (const QString& line : lines) {
        const auto original = content.Original.constFind(line);
        data += (original != content.Original.constEnd() ? *original : line.toUtf8()) + "\r\n";
    }
    return data;
}

void WriteLines(const QString& path, const QStringList& lines, const TLogContent& content,
                const QString& logPath) {
    // Written to a temporary file that replaces the old one only when complete (a short write, as on a
    // full disk, counts as a failure).
    QString why;
    if (!WriteFileWithHead(path, logPath, content.ShownFrom, EncodeLines(lines, content), &why))
        fail(QStringLiteral("Unable to write to"), path, InSentence(why));
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
    SizeFileDialog(dialog);
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

bool SaveAs(QWidget* parent, const QStringList& lines, bool startInDefDir, const TLogContent& content) {
    if (lines.isEmpty()) {
        ShowMessage(QStringLiteral("Nothing to Save!"));
        return false;
    }
    const QString start = startInDefDir && fZorvTile ? fZorvTile->DefDir : QString();
    const QString path = RunSaveLogDialog(parent, start);
    if (path.isEmpty()) return false;
    WriteLines(path, lines, content, fZorvTile ? fZorvTile->LogPath() : QString());
    if (fZorvTile && fZorvTile->SaveImagewithLogFileName1 &&
        fZorvTile->SaveImagewithLogFileName1->isChecked()) {
        fZorvTile->DefDir = QFileInfo(path).absolutePath();
        fZorvTile->SaveImageWithLogName(ImageNameForLog(path));
    }
    return true;
}

TLogLayout BuildLogLayout(QDialog* dialog) {
    auto* note = new QLabel(dialog);
    note->setObjectName(QStringLiteral("lNote"));
    note->setWordWrap(true);
    note->setContentsMargins(6, 4, 6, 4);
    note->hide();
    auto* memo = new QPlainTextEdit(dialog);
    memo->setObjectName(QStringLiteral("mLog"));
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto* panel = new QWidget(dialog);
    auto* row = new QHBoxLayout(panel);
    auto* column = new QVBoxLayout(dialog);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(note);
    column->addWidget(memo, 1);
    column->addWidget(panel);
    return {memo, note, row};
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
    lNote = layout.note;
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
    LogWindows::SaveAs(this, LogWindows::MemoLines(*mLog), true, Content);
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
        Content = LogWindows::ReadLogInto(*mLog, *lNote, path);
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
