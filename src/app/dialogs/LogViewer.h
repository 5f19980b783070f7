#pragma once
// The activity log viewer: shows the log file read-only while logging may go on.

#include <QDialog>
#include <QString>
#include <functional>

class QFileDialog;
class QHBoxLayout;
class QPlainTextEdit;
class QPushButton;

class TfLog : public QDialog {
    Q_OBJECT
public:
    explicit TfLog(QWidget* parent = nullptr);
    void FormCreate();

    QPlainTextEdit* mLog = nullptr;
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
};

extern TfLog* fLog;

// Shared by the log viewer and editor.
namespace LogWindows {
// Lays a log window out: the memo (with a vertical scroll bar) filling the window above a row of buttons.
struct TLogLayout {
    QPlainTextEdit* memo;
    QHBoxLayout* row;
};
TLogLayout BuildLogLayout(QDialog* dialog);
// Adds a button to the row, its clicks running `handler` inside the error guard.
QPushButton* AddLogButton(const TLogLayout& layout, const char* name, const QString& caption,
                          std::function<void()> handler);
// Reads the log file into the memo, one line per text line (the main window's log must be closed).
// Throws std::runtime_error when the file cannot be read.
void ReadLogInto(QPlainTextEdit& memo, const QString& path);
// The memo's lines, in order.
QStringList MemoLines(const QPlainTextEdit& memo);
// Writes lines ended by CR LF over the file; throws std::runtime_error on failure.
void WriteLines(const QString& path, const QStringList& lines);
// Prints the lines, one printed line each, in Times New Roman 10, through the print dialog.
void PrintLines(const QStringList& lines, QWidget* parent);
// Runs the "Save Mozaro Log" dialog (starting in startDir when not empty); the chosen path or "" on Cancel.
QString RunSaveLogDialog(QWidget* parent, const QString& startDir);
// Save As of both windows: saves the lines to the chosen file; when the main window's option to save the
// image with the log's name is ticked, saves the image under that name too. Returns false on Cancel or
// when there was nothing to save.
bool SaveAs(QWidget* parent, const QStringList& lines, bool startInDefDir);
// The image name proposed for a saved log: the file-name part of the path after its first "txt"
// (any case, searched in the whole path) became "jpg", with ".jpg" appended unless it ends in "jpg".
QString ImageNameForLog(const QString& logPath);

// Tests: when set, the save dialog is not shown; the hook sees the prepared dialog and returns the chosen
// path ("" = Cancel).
using SaveDialogHook = std::function<QString(QFileDialog& dialog)>;
void SetSaveDialogHook(SaveDialogHook hook);
} // namespace LogWindows
