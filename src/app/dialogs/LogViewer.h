#pragma once
// The activity log viewer: shows the log file read-only while logging may go on.

#include <QByteArray>
#include <QByteArrayView>
#include <QDialog>
#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

class QFile;
class QFileDialog;
class QHBoxLayout;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace LogWindows {
// One line of the shown part of the log; offsets count from TLogContent::ShownFrom.
struct TLogLine {
    qint64 At = 0;       // its first byte
    qint64 Size = 0;     // its bytes, without the line end
    int End = 0;         // the bytes of its line end: 2 (CR LF), 1 (LF), or 0 (a last line without one)
    qint64 Shown = 0;    // the bytes the memo shows: Size, or the start of a line too long to show whole
    bool Latin1 = false; // not valid UTF-8, so read as Latin-1
};
// What a log window shows of the log file, and what it needs to write it back unchanged. Each memo
// block shown for a line carries the line's index in Lines as a property of its block format, which Qt
// keeps on the block through edits, gives both halves of a split block and restores on undo; the block
// is that line untouched while its text is still Loaded[index].
struct TLogContent {
    qint64 FileSize = 0;
    qint64 ShownFrom = 0;        // offset of the first byte shown; 0 when the whole log is shown
    quint64 Device = 0;          // the file that was read, to see at a write whether it was replaced
    quint64 Inode = 0;
    QByteArray Bytes;            // the file from ShownFrom on (of a last line too long to hold, its start)
    std::vector<TLogLine> Lines; // its lines
    QStringList Loaded;          // each line's text as the memo held it right after loading
    QHash<QString, int> Cut;     // the mark ending each line shown in part -> its index in Lines
};
} // namespace LogWindows

class TfLog : public QDialog {
    Q_OBJECT
public:
    explicit TfLog(QWidget* parent = nullptr);
    void FormCreate();

    QPlainTextEdit* mLog = nullptr;
    QLabel* lNote = nullptr; // says when only the end of a long log is shown
    QPushButton* bRefresh = nullptr;
    QPushButton* bSaveAs = nullptr;
    QPushButton* bOK = nullptr;
    QPushButton* bPrint = nullptr;

    void FormShow();
    void FormClose();
    void bRefreshClick();
    void bSaveAsClick();
    void bPrintClick();
    void bCancelClick();

protected:
    void showEvent(QShowEvent* event) override;
    void done(int r) override; // every way of closing ends here

private:
    void LoadLog();
    LogWindows::TLogContent Content;
};

extern TfLog* fLog;

// Shared by the log viewer and editor.
namespace LogWindows {
// Lays a log window out: a note (hidden until a long log is cut), the memo (with a vertical scroll bar)
// filling the window, and a row of buttons below.
struct TLogLayout {
    QPlainTextEdit* memo;
    QLabel* note;
    QHBoxLayout* row;
};
TLogLayout BuildLogLayout(QDialog* dialog);
// Adds a button to the row, its clicks running `handler` inside the error guard.
QPushButton* AddLogButton(const TLogLayout& layout, const char* name, const QString& caption,
                          std::function<void()> handler);
// The most of a log that a window shows: a longer log shows its last part, from the start of a line.
constexpr qint64 MaxShownLogBytes = 1024 * 1024;
// The most of one line that a window shows: the memo lays a line out in time that grows with the square
// of its length when it has no place to break, so a longer line shows its start and a mark.
constexpr qsizetype MaxShownLineBytes = 4096;
// Reads the log file into the memo, one block per line (the main window's log must be closed); each
// line is UTF-8, or Latin-1 where it is not valid UTF-8. A log longer than MaxShownLogBytes shows its
// end from the start of a line, a line longer than MaxShownLineBytes its start and a mark, and `note`
// says so. Throws std::runtime_error when the file cannot be read.
TLogContent ReadLogInto(QPlainTextEdit& memo, QLabel& note, const QString& path);
// The memo's lines, in order (a final line end does not start another line).
QStringList MemoLines(const QPlainTextEdit& memo);
// Writes the memo over `path`: the part of the log `logPath` that was not shown, then the memo's lines,
// and with `appendNew` what the log gained since it was read. A line left as it was loaded is written
// with its own bytes and line end; the mark of a line shown in part stands for its unshown bytes
// wherever it is; other text is UTF-8 with CR LF line ends. Throws std::runtime_error on failure, and
// when the log was replaced or shortened since it was read and its bytes are needed.
void WriteLog(const QString& path, const QPlainTextEdit& memo, const TLogContent& content,
              const QString& logPath, bool appendNew);
// Prints the lines, one printed line each, in Times New Roman 10, through the print dialog.
void PrintLines(const QStringList& lines, QWidget* parent);
// Runs the "Save Mozaro Log" dialog (starting in startDir when not empty); the chosen path or "" on Cancel.
QString RunSaveLogDialog(QWidget* parent, const QString& startDir);
// Save As of both windows: saves the log's part that was not shown and the lines to the chosen file; when the
// main window's option to save the image with the log's name is ticked, saves the image under that name too.
// Returns false on Cancel or when there was nothing to save.
bool SaveAs(QWidget* parent, const QPlainTextEdit& memo, bool startInDefDir, const TLogContent& content);
// The image name proposed for a saved log: the file-name part of the path after its first "txt"
// (any case, searched in the whole path) became "jpg", with ".jpg" appended unless it ends in "jpg".
QString ImageNameForLog(const QString& logPath);

// Every write of the log, and the editor's read, append and replace, hold this lock: flock on a lock
// file beside the log (".ZorvLog.txt.lock"), which is never removed; the log itself cannot carry it, as
// the editor's write replaces its inode. Waits up to `waitMs`; Held() is false when the lock could not
// be had by then (or the folder takes no locks), and the caller goes on without it.
class TLogLock {
public:
    TLogLock(const QString& logPath, int waitMs);
    ~TLogLock();
    TLogLock(const TLogLock&) = delete;
    TLogLock& operator=(const TLogLock&) = delete;
    bool Held() const { return Locked; }

private:
    int Fd = -1;
    bool Locked = false;
};
// How long a log write waits for the lock: the holder only writes the log.
constexpr int LogLockWaitMs = 2000;
// Appends one line (its bytes with their line end) to the log that `file` is open on (append mode),
// under the lock: first to the file its path names now, should another instance's Edit Log have
// replaced it or a person removed it. Without the lock, the line is appended all the same and appended
// again should the path name another file after the write (twice rather than lost). Returns "" or the
// system's reason for a failed write, after which no cut line is left behind.
QString AppendLogLine(std::unique_ptr<QFile>& file, QByteArrayView line);

// Tests: when set, the save dialog is not shown; the hook sees the prepared dialog and returns the chosen
// path ("" = Cancel).
using SaveDialogHook = std::function<QString(QFileDialog& dialog)>;
void SetSaveDialogHook(SaveDialogHook hook);
} // namespace LogWindows
