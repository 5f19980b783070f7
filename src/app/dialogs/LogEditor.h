#pragma once
// The activity log editor: a modal window in which the user edits the (closed) log file.

#include "app/dialogs/LogViewer.h"

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

class TfELog : public QDialog {
    Q_OBJECT
public:
    explicit TfELog(QWidget* parent = nullptr);
    void FormCreate();

    QPlainTextEdit* mLog = nullptr;
    QLabel* lNote = nullptr; // says when only the end of a long log is shown
    QPushButton* bOK = nullptr;
    QPushButton* bSaveAs = nullptr;
    QPushButton* bPrint = nullptr;
    QPushButton* bCancel = nullptr;
    bool SaveFlag = false; // the memo has unsaved changes

    // Loads the log file (throws when it cannot be read) and shows the editor modally.
    void Execute();

    void FormShow();
    void FormActivate();
    void FormClose();
    bool FormCloseQuery(); // false keeps the window open
    void mLogChange();
    void bOKClick();
    void bCancelClick();
    void bSaveAsClick();
    void bPrintClick();

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;    // the close button and Escape ask first when there are changes
    void done(int r) override; // every way of closing ends here

private:
    void LoadLog();
    LogWindows::TLogContent Content;
};

extern TfELog* fELog;
