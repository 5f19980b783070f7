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
#include <QMimeData>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QShowEvent>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

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
// The block property that carries a shown line's index in TLogContent::Lines, plus one (0: none).
constexpr int LineIndex = QTextFormat::UserProperty + 1;

QString reason(int err) {
    return QString::fromLocal8Bit(std::strerror(err));
}

[[noreturn]] void failRead(const QString& path, const QString& why) {
    fail(QStringLiteral("Unable to read the log file"), path, why);
}

// Reads `size` bytes at `at`; false (errno set) on failure or when the file ends first.
bool ReadAt(int fd, qint64 at, char* p, qint64 size) {
    while (size > 0) {
        const ssize_t n = ::pread(fd, p, static_cast<size_t>(size), at);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            return false;
        }
        p += n;
        at += n;
        size -= n;
    }
    return true;
}

// Where the line holding byte `at` starts, searched backwards in blocks; -1 (errno set) on failure.
qint64 LineStart(int fd, qint64 at) {
    QByteArray block(64 * 1024, Qt::Uninitialized);
    while (at > 0) {
        const qint64 n = std::min<qint64>(at, block.size());
        if (!ReadAt(fd, at - n, block.data(), n)) return -1;
        const qsizetype nl = QByteArrayView(block.constData(), n).lastIndexOf('\n');
        if (nl >= 0) return at - n + nl + 1;
        at -= n;
    }
    return 0;
}

// The mark that ends a line shown in part; `line` (from 0) makes it unique within the shown lines.
QString CutMark(qsizetype line, qint64 hidden) {
    return QStringLiteral("\u2026 [%1 more bytes of line %2 not shown, kept as they are]")
        .arg(hidden)
        .arg(line + 1);
}

// The memo turns these characters into line ends (or a no-break space into a space); a shown line holds
// none of the first kind, so the memo has exactly one block for each line of the file.
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

// The memo's text for line `index`, whose bytes content.Bytes holds from line.At on: all of them, or the
// start of a last line too long to hold. Sets Latin1 and Shown, and records the mark of a line shown in part.
QString ShownText(TLogContent& content, qsizetype index) {
    TLogLine& line = content.Lines[size_t(index)];
    const qint64 held = std::min<qint64>(line.Size, content.Bytes.size() - line.At);
    const QByteArrayView bytes(content.Bytes.constData() + line.At, held);
    QString text;
    line.Latin1 = held == line.Size && !DecodeUtf8(bytes, text); // a start alone is judged below
    line.Shown = line.Size;
    if (line.Size > MaxShownLineBytes) {
        // The start up to a whole character; the rest stays in the file as it is.
        qint64 shown = MaxShownLineBytes;
        if (!line.Latin1)
            while (shown > 0 && (static_cast<uchar>(bytes[shown]) & 0xC0) == 0x80) --shown;
        if (line.Latin1 || !DecodeUtf8(bytes.first(shown), text)) {
            line.Latin1 = true;
            shown = MaxShownLineBytes;
            text = QString::fromLatin1(bytes.first(shown));
        }
        line.Shown = shown;
        const QString mark = CutMark(index, line.Size - line.Shown);
        content.Cut.insert(mark, int(index));
        text += mark;
    } else if (line.Latin1) {
        text = QString::fromLatin1(bytes);
    }
    return OneMemoLine(text);
}
} // namespace

TLogContent ReadLogInto(QPlainTextEdit& memo, QLabel& note, const QString& path) {
    memo.clear();
    note.hide();
    const TLogLock lock(path, LogLockWaitMs); // no line is half written while the log is read
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) failRead(path, file.errorString());
    const int fd = file.handle();
    struct stat st {};
    if (::fstat(fd, &st) != 0) failRead(path, reason(errno));
    TLogContent content;
    content.FileSize = st.st_size;
    content.Device = quint64(st.st_dev);
    content.Inode = quint64(st.st_ino);
    // A long log shows its end, from the first whole line: a window stays quick whatever the log's size.
    // The byte before the part is read too: when it ends a line, the part starts with a whole one.
    const qint64 from = std::max<qint64>(0, content.FileSize - MaxShownLogBytes - 1);
    QByteArray bytes(content.FileSize - from, Qt::Uninitialized);
    if (!ReadAt(fd, from, bytes.data(), bytes.size())) failRead(path, reason(errno));
    const qsizetype nl = from > 0 ? bytes.indexOf('\n') : -1;
    if (from == 0 || (nl >= 0 && nl + 1 < bytes.size())) {
        content.ShownFrom = from + nl + 1;
        content.Bytes = bytes.sliced(nl + 1);
        for (qsizetype at = 0; at < content.Bytes.size();) {
            qsizetype end = content.Bytes.indexOf('\n', at);
            TLogLine line{at, (end < 0 ? content.Bytes.size() : end) - at, end < 0 ? 0 : 1};
            if (end > at && content.Bytes[end - 1] == '\r') --line.Size, ++line.End;
            content.Lines.push_back(line);
            at = end < 0 ? content.Bytes.size() : end + 1;
        }
    } else {
        // The end of the log is one line that began before it: its start is shown, as any long line's.
        content.ShownFrom = LineStart(fd, from);
        if (content.ShownFrom < 0) failRead(path, reason(errno));
        TLogLine line;
        line.End = bytes.endsWith("\r\n") ? 2 : bytes.endsWith('\n') ? 1 : 0;
        line.Size = content.FileSize - content.ShownFrom - line.End;
        content.Bytes.resize(std::min<qint64>(line.Size, MaxShownLineBytes + 4));
        if (!ReadAt(fd, content.ShownFrom, content.Bytes.data(), content.Bytes.size()))
            failRead(path, reason(errno));
        content.Lines.push_back(line);
    }
    for (qsizetype i = 0; i < qsizetype(content.Lines.size()); ++i) content.Loaded << ShownText(content, i);

    // One block per line, each carrying its line's index.
    QTextDocument& doc = *memo.document();
    doc.setUndoRedoEnabled(false); // loading is no step to undo
    QTextCursor cursor(&doc);
    cursor.beginEditBlock();
    for (qsizetype i = 0; i < content.Loaded.size(); ++i) {
        QTextBlockFormat format;
        format.setProperty(LineIndex, int(i + 1));
        if (i == 0)
            cursor.setBlockFormat(format);
        else
            cursor.insertBlock(format);
        cursor.insertText(content.Loaded[i]);
    }
    // A blank last line is followed by an empty block: the memo's final line end would otherwise swallow it.
    if (!content.Loaded.isEmpty() && content.Loaded.last().isEmpty()) cursor.insertBlock(QTextBlockFormat());
    cursor.endEditBlock();
    doc.setUndoRedoEnabled(true);
    memo.moveCursor(QTextCursor::Start);
    // What an untouched line reads back as, should the memo hold a text otherwise than it was given.
    qsizetype i = 0;
    for (QTextBlock b = doc.begin(); b.isValid() && i < content.Loaded.size(); b = b.next(), ++i)
        if (b.text() != content.Loaded[i]) content.Loaded[i] = b.text();

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
// A part of what is written: bytes of its own, or, with From >= 0, bytes copied from the log file
// (Size -1: up to its end).
struct TPiece {
    QByteArray Bytes;
    qint64 From = -1;
    qint64 Size = 0;
};

bool FitsLatin1(const QString& text) {
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() <= 0xFF; });
}

// Edited text as the memo's plain text reads it (a no-break space as a space, the separators it breaks
// lines at as line ends), in Latin-1 for a line read as Latin-1 when it fits, else UTF-8; CR LF ends.
QByteArray EncodeText(QString text, bool latin1) {
    for (QChar& c : text) {
        const char16_t u = c.unicode();
        if (u == 0xA0)
            c = QLatin1Char(' ');
        else if (u == 0x2028 || u == 0x2029 || u == 0xFDD0 || u == 0xFDD1)
            c = QLatin1Char('\n');
    }
    QByteArray bytes = latin1 && FitsLatin1(text) ? text.toLatin1() : text.toUtf8();
    return bytes.replace("\n", "\r\n");
}

// The memo's lines as the file holds them, after `out`'s pieces.
void EncodeMemo(const QTextDocument& doc, const TLogContent& c, std::vector<TPiece>& out) {
    auto put = [&](QByteArrayView bytes) {
        if (out.empty() || out.back().From >= 0) out.emplace_back();
        out.back().Bytes += bytes;
    };
    // Bytes [at, at + size) of the shown part: from Bytes, and from the file past what Bytes holds.
    auto keep = [&](qint64 at, qint64 size) {
        const qint64 held = std::clamp<qint64>(c.Bytes.size() - at, 0, size);
        put(QByteArrayView(c.Bytes).sliced(at, held));
        if (size > held) out.push_back({{}, c.ShownFrom + at + held, size - held});
    };
    // The line a block came from (-1: none), and whether it is that line untouched.
    auto origin = [&](const QTextBlock& b) {
        const int index = b.blockFormat().intProperty(LineIndex) - 1;
        return index >= 0 && size_t(index) < c.Lines.size() ? index : -1;
    };
    auto untouched = [&](const QTextBlock& b, int index) {
        return index >= 0 && b.text() == c.Loaded[index];
    };
    // Lines still in the memo, and the marks that stand whole in their untouched lines.
    std::vector<bool> present(c.Lines.size(), false), cutUsed(c.Lines.size(), false);
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        if (const int index = origin(b); index >= 0) {
            present[size_t(index)] = true;
            if (untouched(b, index)) cutUsed[size_t(index)] = true;
        }
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        const bool last = !b.next().isValid();
        const QString text = b.text();
        if (last && text.isEmpty() && b != doc.begin()) break; // a final line end, not a line
        const int index = origin(b);
        if (untouched(b, index)) {
            const TLogLine& l = c.Lines[size_t(index)]; // untouched: its bytes, its line end
            keep(l.At, l.Size + l.End);
            if (l.End == 0 && !last) put("\r\n"); // a last line that lines were added after
            continue;
        }
        // Edited or new. Each mark of a line shown in part stands for that line's unshown bytes, wherever
        // it stands now (once).
        std::vector<std::pair<qsizetype, int>> marks; // (where, line)
        for (qsizetype m = text.indexOf(QChar(0x2026)); m >= 0; m = text.indexOf(QChar(0x2026), m + 1)) {
            const qsizetype close = text.indexOf(QLatin1Char(']'), m);
            if (close < 0) break;
            const auto cut = c.Cut.constFind(text.mid(m, close + 1 - m));
            if (cut == c.Cut.constEnd() || cutUsed[size_t(*cut)]) continue;
            cutUsed[size_t(*cut)] = true;
            marks.emplace_back(m, *cut);
            m = close;
        }
        const bool latin1 = !marks.empty() && c.Lines[size_t(marks.front().second)].Latin1;
        qsizetype from = 0;
        for (const auto& [m, line] : marks) {
            const TLogLine& l = c.Lines[size_t(line)];
            put(EncodeText(text.mid(from, m - from), latin1));
            keep(l.At + l.Shown, l.Size - l.Shown);
            from = text.indexOf(QLatin1Char(']'), m) + 1;
        }
        put(EncodeText(text.mid(from), latin1));
        put("\r\n");
    }
    // A line shown in part that is still there but whose mark was changed: its unshown bytes would have
    // no place, and they are not dropped without the user's say.
    for (size_t i = 0; i < c.Lines.size(); ++i)
        if (present[i] && !cutUsed[i] && c.Lines[i].Shown < c.Lines[i].Size)
            throw std::runtime_error(
                QStringLiteral("The mark \"%1\" was changed, so the bytes it stands for have no place and "
                               "nothing was written. Put the mark back as it was (Ctrl+Z undoes the change), "
                               "or delete the whole line to drop them.")
                    .arg(CutMark(qsizetype(i), c.Lines[i].Size - c.Lines[i].Shown))
                    .toStdString());
}

// The log that `fd` is open on is the file that was read, that file's shown part unchanged.
bool Unchanged(int fd, const TLogContent& c) {
    struct stat st {};
    if (::fstat(fd, &st) != 0 || quint64(st.st_dev) != c.Device || quint64(st.st_ino) != c.Inode ||
        st.st_size < c.FileSize)
        return false;
    QByteArray now(c.Bytes.size(), Qt::Uninitialized);
    return ReadAt(fd, c.ShownFrom, now.data(), now.size()) && now == c.Bytes;
}
} // namespace

void WriteLog(const QString& path, const QPlainTextEdit& memo, const TLogContent& content,
              const QString& logPath, bool appendNew) {
    std::vector<TPiece> pieces;
    if (content.ShownFrom > 0) pieces.push_back({{}, 0, content.ShownFrom});
    EncodeMemo(*memo.document(), content, pieces);
    if (appendNew) pieces.push_back({{}, content.FileSize, -1});
    // Held from the check of the log to the rename of the new file, so a line written meanwhile by
    // another instance is either in what is appended here or written after, to the new file.
    const TLogLock lock(logPath, LogLockWaitMs);
    int in = -1;
    if (std::any_of(pieces.cbegin(), pieces.cend(), [](const TPiece& p) { return p.From >= 0; })) {
        in = ::open(QFile::encodeName(logPath).constData(), O_RDONLY | O_CLOEXEC);
        if (in < 0 || !Unchanged(in, content)) {
            if (in >= 0) ::close(in);
            const QString log = QDir::toNativeSeparators(logPath);
            throw std::runtime_error(
                (appendNew ? QStringLiteral("The log file %1 was replaced, shortened or removed by another "
                                            "program while it was being edited, so the edited log was not "
                                            "written: the log file and the text here stay as they are.")
                                 .arg(log)
                           : QStringLiteral("The log file %1 was replaced, shortened or removed by another "
                                            "program since it was read, so %2 was not written.")
                                 .arg(log, QDir::toNativeSeparators(path)))
                    .toStdString());
        }
    }
    // Written to a temporary file that replaces the old one only when complete (a short write, as on a
    // full disk, counts as a failure).
    QString why;
    const bool ok = WriteFileStreamed(
        path,
        [&](const TFileSink& sink) {
            QByteArray block;
            for (const TPiece& p : pieces) {
                if (p.From < 0) {
                    if (!sink(p.Bytes.constData(), p.Bytes.size())) return false;
                    continue;
                }
                if (block.isEmpty()) block.resize(1 << 20);
                for (qint64 at = p.From, left = p.Size; left != 0;) {
                    const qint64 want = left < 0 ? block.size() : std::min<qint64>(left, block.size());
                    const ssize_t n = ::pread(in, block.data(), static_cast<size_t>(want), at);
                    if (n < 0 && errno == EINTR) continue;
                    if (n < 0) return false;
                    if (n == 0) {
                        if (left < 0) break; // the end of what was appended
                        errno = EIO;         // the log became shorter than what is kept
                        return false;
                    }
                    if (!sink(block.constData(), n)) return false;
                    at += n;
                    if (left > 0) left -= n;
                }
            }
            return true;
        },
        &why);
    if (in >= 0) ::close(in);
    if (!ok) fail(QStringLiteral("Unable to write to"), path, InSentence(why));
}

TLogLock::TLogLock(const QString& logPath, int waitMs) {
    if (logPath.isEmpty()) return;
    const QFileInfo log(logPath);
    const QByteArray name =
        QFile::encodeName(log.dir().filePath(QStringLiteral(".") + log.fileName() + QStringLiteral(".lock")));
    Fd = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (Fd < 0) Fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC); // another account's lock file
    if (Fd < 0) return;
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    for (;;) {
        if (::flock(Fd, LOCK_EX | LOCK_NB) == 0) {
            Locked = true;
            return;
        }
        if (errno == EINTR) continue;
        if (errno != EWOULDBLOCK || std::chrono::steady_clock::now() >= until) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

TLogLock::~TLogLock() {
    if (Fd >= 0) ::close(Fd); // releases the lock
}

namespace {
// 1 when the path of `file` names the open file, 0 when it names another, -1 when it names none.
int NamesOpenFile(const QFile& file) {
    struct stat open {};
    struct stat named {};
    if (::stat(QFile::encodeName(file.fileName()).constData(), &named) != 0) return -1;
    return ::fstat(file.handle(), &open) == 0 && open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

// Writes the line straight to the file, so a failure is seen at this line with the system's reason;
// a failed write is cut off again (at best: the log then ends with a whole line).
QString WriteLine(int fd, QByteArrayView line) {
    struct stat st {};
    const bool sized = ::fstat(fd, &st) == 0;
    const char* p = line.data();
    for (qsizetype left = line.size(); left > 0;) {
        const ssize_t n = ::write(fd, p, static_cast<size_t>(left));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            const QString why = reason(n == 0 ? EIO : errno);
            if (sized) {
                const int cut = ::ftruncate(fd, st.st_size);
                (void)cut;
            }
            return why;
        }
        p += n;
        left -= n;
    }
    return {};
}

QString Reopen(std::unique_ptr<QFile>& file) {
    auto fresh = std::make_unique<QFile>(file->fileName());
    if (!fresh->open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return fresh->errorString();
    file = std::move(fresh);
    return {};
}
} // namespace

QString AppendLogLine(std::unique_ptr<QFile>& file, QByteArrayView line) {
    const TLogLock lock(file->fileName(), LogLockWaitMs);
    if (NamesOpenFile(*file) != 1)
        if (QString why = Reopen(file); !why.isEmpty()) return why;
    if (QString why = WriteLine(file->handle(), line); !why.isEmpty()) return why;
    // Without the lock another instance's Edit Log may have put its file in place meanwhile.
    if (!lock.Held() && NamesOpenFile(*file) == 0) {
        if (QString why = Reopen(file); !why.isEmpty()) return why;
        return WriteLine(file->handle(), line);
    }
    return {};
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

bool SaveAs(QWidget* parent, const QPlainTextEdit& memo, bool startInDefDir, const TLogContent& content) {
    if (MemoLines(memo).isEmpty()) {
        ShowMessage(QStringLiteral("Nothing to Save!"));
        return false;
    }
    const QString start = startInDefDir && fZorvTile ? fZorvTile->DefDir : QString();
    const QString path = RunSaveLogDialog(parent, start);
    if (path.isEmpty()) return false;
    WriteLog(path, memo, content, fZorvTile ? fZorvTile->LogPath() : QString(), false);
    if (fZorvTile && fZorvTile->SaveImagewithLogFileName1 &&
        fZorvTile->SaveImagewithLogFileName1->isChecked()) {
        fZorvTile->DefDir = QFileInfo(path).absolutePath();
        fZorvTile->SaveImageWithLogName(ImageNameForLog(path));
    }
    return true;
}

namespace {
// The memo pastes and drops plain text through its cursor, so the lines a paste breaks take the index
// of the line they were pasted into, as typed ones do: the line after the paste keeps its own.
class TLogMemo final : public QPlainTextEdit {
public:
    using QPlainTextEdit::QPlainTextEdit;

protected:
    void insertFromMimeData(const QMimeData* source) override {
        if (!source || !source->hasText()) return;
        QTextCursor cursor = textCursor();
        cursor.insertText(source->text());
        setTextCursor(cursor);
        ensureCursorVisible();
    }
};
} // namespace

TLogLayout BuildLogLayout(QDialog* dialog) {
    auto* note = new QLabel(dialog);
    note->setObjectName(QStringLiteral("lNote"));
    note->setWordWrap(true);
    note->setContentsMargins(6, 4, 6, 4);
    note->hide();
    QPlainTextEdit* memo = new TLogMemo(dialog);
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
    LogWindows::SaveAs(this, *mLog, true, Content);
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
