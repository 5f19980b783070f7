#pragma once
// The activity log viewer: shows the log file read-only while logging may go on.

#include <QByteArray>
#include <QDialog>
#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class QFileDialog;
class QHBoxLayout;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace LogWindows {
// One line of the shown part of the log, as bytes of TLogContent::Bytes.
struct TLogLine {
    qsizetype At = 0;    // its first byte
    qsizetype Size = 0;  // its bytes, without the line end
    qsizetype Shown = 0; // the bytes the memo shows: Size, or the start of a line too long to show whole
    bool Latin1 = false; // not valid UTF-8, so read as Latin-1
};
// What a log window shows of the log file, and what it needs to write it back unchanged.
struct TLogContent {
    qint64 FileSize = 0;
    qint64 ShownFrom = 0;        // offset of the first byte shown; 0 when the whole log is shown
    QByteArray Bytes;            // the file from ShownFrom on
    std::vector<TLogLine> Lines; // its lines
    QStringList Loaded;          // the memo's lines right after loading, one for each of Lines
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
// Reads the log file into the memo, one line per text line (the main window's log must be closed);
// each line is UTF-8, or Latin-1 where it is not valid UTF-8. A log longer than MaxShownLogBytes
// shows its end, a line longer than MaxShownLineBytes its start and a mark, and `note` says so.
// Throws std::runtime_error when the file cannot be read.
TLogContent ReadLogInto(QPlainTextEdit& memo, QLabel& note, const QString& path);
// The memo's lines, in order (a final line end does not start another line).
QStringList MemoLines(const QPlainTextEdit& memo);
// The lines as the file holds them, each ended by CR LF. A line the user left as it was loaded keeps its
// bytes (lines are matched by their place, through a line diff against the loaded lines); a line shown
// in part that still ends with its mark gets its unshown bytes back; any other line is UTF-8.
QByteArray EncodeLines(const QStringList& lines, const TLogContent& content);
// For each line of `now`, the index of the line of `before` it is an unchanged copy of, or -1: the
// lines both keep in the same order, found by a diff whose work grows with the number of lines.
std::vector<qsizetype> MatchLines(const QStringList& before, const QStringList& now);
// Writes the lines over `path`, after the part of the log `logPath` that was not shown; throws
// std::runtime_error on failure.
void WriteLines(const QString& path, const QStringList& lines, const TLogContent& content,
                const QString& logPath);
// Prints the lines, one printed line each, in Times New Roman 10, through the print dialog.
void PrintLines(const QStringList& lines, QWidget* parent);
// Runs the "Save Mozaro Log" dialog (starting in startDir when not empty); the chosen path or "" on Cancel.
QString RunSaveLogDialog(QWidget* parent, const QString& startDir);
// Save As of both windows: saves the log's part that was not shown and the lines to the chosen file; when the
// main window's option to save the image with the log's name is ticked, saves the image under that name too.
// Returns false on Cancel or when there was nothing to save.
bool SaveAs(QWidget* parent, const QStringList& lines, bool startInDefDir, const TLogContent& content);
// The image name proposed for a saved log: the file-name part of the path after its first "txt"
// (any case, searched in the whole path) became "jpg", with ".jpg" appended unless it ends in "jpg".
QString ImageNameForLog(const QString& logPath);

// Tests: when set, the save dialog is not shown; the hook sees the prepared dialog and returns the chosen
// path ("" = Cancel).
using SaveDialogHook = std::function<QString(QFileDialog& dialog)>;
void SetSaveDialogHook(SaveDialogHook hook);
} // namespace LogWindows
