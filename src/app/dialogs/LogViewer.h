#pragma once
// The activity log viewer: shows the log file read-only while logging may go on.

#include <QByteArray>
#include <QDialog>
#include <QHash>
#include <QString>
#include <functional>

class QFileDialog;
class QHBoxLayout;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace LogWindows {
// What a log window shows of the log file, and what it needs to write it back unchanged.
struct TLogContent {
    qint64 FileSize = 0;
    qint64 ShownFrom = 0;                // offset of the first byte shown; 0 when the whole log is shown
    QHash<QString, QByteArray> Original; // lines whose bytes in the file are not their UTF-8 text
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
// Reads the log file into the memo, one line per text line (the main window's log must be closed);
// each line is UTF-8, or Latin-1 where it is not valid UTF-8. A log longer than MaxShownLogBytes
// shows its end and `note` says so. Throws std::runtime_error when the file cannot be read.
TLogContent ReadLogInto(QPlainTextEdit& memo, QLabel& note, const QString& path);
// The memo's lines, in order (a final line end does not start another line).
QStringList MemoLines(const QPlainTextEdit& memo);
// The lines as the file holds them, each ended by CR LF: a line read from the file keeps its bytes,
// any other is UTF-8.
QByteArray EncodeLines(const QStringList& lines, const TLogContent& content);
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
