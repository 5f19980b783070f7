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

namespace {
// The mark that ends a line shown in part; `line` (from 0) makes it unique within the shown lines.
QString CutMark(qsizetype line, qsizetype hidden) {
    return QStringLiteral("\u2026 [%1 more bytes of line %2 not shown, kept as they are]")
        .arg(hidden)
        .arg(line + 1);
}

// The memo turns these characters into line ends (or a no-break space into a space); a shown line holds
// none of the first kind, so the memo has exactly one line for each line of the file.
QString OneMemoLine(QString text) {
    for (QChar& c : text) {
        const char16_t u = c.unicode();
        if (u == u'\r' || u == 0x2028 || u == 0x2029 || u == 0xFDD0 || u == 0xFDD1)
            c = QChar::ReplacementCharacter;
    }
    return text;
}

// Decodes a line (or its shown start) as UTF-8; false when the bytes are not UTF-8.
bool DecodeUtf8(QByteArrayView bytes, QString& text) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    text = utf8(bytes);
    return !utf8.hasError();
}
} // namespace

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
    content.Bytes = bytes.mid(skip);

    const QByteArray& data = content.Bytes;
    QStringList lines;
    for (qsizetype at = 0; at < data.size();) {
        qsizetype end = data.indexOf('\n', at);
        if (end < 0) end = data.size();
        TLogLine line{at, end - at, end - at, false};
        if (line.Size > 0 && data[end - 1] == '\r') line.Size = line.Shown = line.Size - 1;
        const QByteArrayView bytesOf(data.constData() + at, line.Size);
        QString text;
        line.Latin1 = !DecodeUtf8(bytesOf, text);
        if (line.Size > MaxShownLineBytes) {
            // The start up to a whole character; the rest stays in Bytes and is written back as it is.
            line.Shown = MaxShownLineBytes;
            if (!line.Latin1)
                while (line.Shown > 0 && (static_cast<uchar>(bytesOf[line.Shown]) & 0xC0) == 0x80)
                    --line.Shown;
            const QByteArrayView start = bytesOf.first(line.Shown);
            if (line.Latin1 || !DecodeUtf8(start, text)) text = QString::fromLatin1(start);
            const QString mark = CutMark(qsizetype(content.Lines.size()), line.Size - line.Shown);
            content.Cut.insert(mark, int(content.Lines.size()));
            text += mark;
        } else if (line.Latin1) {
            text = QString::fromLatin1(bytesOf);
        }
        lines << OneMemoLine(text);
        content.Lines.push_back(line);
        at = end + 1;
    }
    // A blank last line is kept as one: the memo's final line end would otherwise swallow it.
    QString text = lines.join(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty()) text += QLatin1Char('\n');
    if (!text.isEmpty()) memo.setPlainText(text);
    // What an untouched line reads back as (a no-break space, for one, reads back as a space).
    content.Loaded = MemoLines(memo);
    if (content.Loaded.size() != lines.size()) content.Loaded = lines;
    QStringList notes;
    if (content.ShownFrom > 0)
        notes << QStringLiteral("The log is %1 MB long; its last %2 MB are shown.")
                     .arg(
                         QString::number(content.FileSize / (1024.0 * 1024.0), 'f', 1),
                         QString::number((content.FileSize - content.ShownFrom) / (1024.0 * 1024.0), 'f', 1));
    if (!content.Cut.isEmpty())
        notes << QStringLiteral(
                     "%1 too long to show whole: the start is shown, and the rest is kept as it is.")
                     .arg(content.Cut.size() == 1 ? QStringLiteral("One line is")
                                                  : QStringLiteral("%1 lines are").arg(content.Cut.size()));
    if (!notes.isEmpty()) {
        note.setText(notes.join(QLatin1Char(' ')));
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

namespace {
// Myers' shortest edit script between the line ids a and b, as match[y] = x for each line b[y] that is
// the unchanged line a[x]. Gives up (false) after MaxSteps insertions and deletions or once its work
// passes `budget`, so that many scattered changes can take neither time nor memory that grows with the
// square of the number of lines.
bool EditScript(const int* a, int n, const int* b, int m, qint64 budget, qsizetype* match) {
    constexpr int MaxSteps = 2048;
    const int off = MaxSteps + 1;
    std::vector<int> v(2 * size_t(off) + 1, 0); // the furthest x reached on each diagonal k = x - y
    std::vector<int> trace; // v on diagonals -d-1 .. d+1 as each step d began, from entry d * d + 2 * d
    const int steps = std::min(n + m, MaxSteps);
    for (int d = 0; d <= steps; ++d) {
        trace.insert(trace.end(), v.begin() + off - d - 1, v.begin() + off + d + 2);
        budget -= 2 * d + 3;
        for (int k = -d; k <= d; k += 2) {
            int x = (k == -d || (k != d && v[off + k - 1] < v[off + k + 1])) ? v[off + k + 1]
                                                                             : v[off + k - 1] + 1;
            int y = x - k;
            const int from = x;
            while (x < n && y < m && a[x] == b[y]) ++x, ++y;
            budget -= x - from;
            v[off + k] = x;
            if (x < n || y < m) continue;
            // Back through the steps: the diagonal run after each insertion or deletion is matched lines.
            for (int e = d; e > 0; --e) {
                const int* w = trace.data() + (e * e + 2 * e) + (e + 1); // w[k] for k in -e-1 .. e+1
                const int kk = x - y;
                const bool inserted = kk == -e || (kk != e && w[kk - 1] < w[kk + 1]);
                const int px = inserted ? w[kk + 1] : w[kk - 1];
                const int py = px - (inserted ? kk + 1 : kk - 1);
                const int runFrom = inserted ? px : px + 1;
                while (x > runFrom) --x, --y, match[y] = x;
                x = px;
                y = py;
            }
            while (x > 0) --x, --y, match[y] = x;
            return true;
        }
        if (budget < 0) return false;
    }
    return false;
}

// When the edit script gives up: each line of b takes the next line of a with its text after the last
// one taken, so the order is kept; each line of a is passed over once.
void MatchInOrder(const int* a, int n, const int* b, int m, int ids, qsizetype* match) {
    std::vector<int> head(size_t(ids), -1), next(size_t(n), -1); // the lines of a with each id, in order
    for (int x = n - 1; x >= 0; --x) {
        next[size_t(x)] = head[size_t(a[x])];
        head[size_t(a[x])] = x;
    }
    int last = -1;
    for (int y = 0; y < m; ++y) {
        int& h = head[size_t(b[y])];
        while (h >= 0 && h <= last) h = next[size_t(h)];
        if (h < 0) continue;
        match[y] = last = h;
        h = next[size_t(h)];
    }
}

bool FitsLatin1(const QString& text) {
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() <= 0xFF; });
}
} // namespace

std::vector<qsizetype> MatchLines(const QStringList& before, const QStringList& now) {
    std::vector<qsizetype> match(size_t(now.size()), -1);
    // Equal texts get equal ids, so the diff compares numbers.
    QHash<QString, int> idOf;
    idOf.reserve(before.size() + now.size());
    auto ids = [&](const QStringList& lines) {
        std::vector<int> out;
        out.reserve(size_t(lines.size()));
        for (const QString& line : lines) {
            auto it = idOf.constFind(line);
            if (it == idOf.constEnd()) it = idOf.insert(line, int(idOf.size()));
            out.push_back(*it);
        }
        return out;
    };
    const std::vector<int> a = ids(before), b = ids(now);
    int n = int(a.size()), m = int(b.size());
    // The common start and end are matched as they are; the diff works on what lies between.
    int head = 0;
    while (head < n && head < m && a[size_t(head)] == b[size_t(head)]) match[size_t(head)] = head, ++head;
    while (n > head && m > head && a[size_t(n - 1)] == b[size_t(m - 1)]) match[size_t(--m)] = --n;
    n -= head;
    m -= head;
    if (n > 0 && m > 0) {
        const int* ma = a.data() + head;
        const int* mb = b.data() + head;
        qsizetype* mm = match.data() + head;
        const qint64 budget = 16 * (qint64(n) + m) + (qint64(1) << 20);
        if (!EditScript(ma, n, mb, m, budget, mm)) {
            std::fill(mm, mm + m, -1);
            MatchInOrder(ma, n, mb, m, int(idOf.size()), mm);
        }
        for (qsizetype* p = mm; p != mm + m; ++p)
            if (*p >= 0) *p += head;
    }
    return match;
}

QByteArray EncodeLines(const QStringList& lines, const TLogContent& content) {
    const std::vector<qsizetype> match = MatchLines(content.Loaded, lines);
    const QByteArrayView bytes(content.Bytes);
    QByteArray data;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString& line = lines[i];
        const qsizetype mark = line.lastIndexOf(QChar(0x2026));
        const auto cut = mark >= 0 ? content.Cut.constFind(line.mid(mark)) : content.Cut.constEnd();
        if (const qsizetype was = match[size_t(i)]; was >= 0) {
            const TLogLine& l = content.Lines[size_t(was)]; // an unchanged line: its bytes, whole
            data += bytes.sliced(l.At, l.Size);
        } else if (cut != content.Cut.constEnd()) {
            // A line shown in part, edited before its mark: the edited start, then the bytes not shown.
            const TLogLine& l = content.Lines[size_t(*cut)];
            const QString start = line.left(mark);
            data += l.Latin1 && FitsLatin1(start) ? start.toLatin1() : start.toUtf8();
            data += bytes.sliced(l.At + l.Shown, l.Size - l.Shown);
        } else {
            data += line.toUtf8();
        }
        data += "\r\n";
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
