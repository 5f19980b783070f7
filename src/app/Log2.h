#pragma once
// The activity log editor: a modal window in which the user edits the (closed) log file.

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

class TfELog : public QDialog {
    Q_OBJECT
public:
    explicit TfELog(QWidget* parent = nullptr);
    void FormCreate();

    QPlainTextEdit* mLog = nullptr;
    QPushButton* bOK = nullptr;
    QPushButton* bSaveAs = nullptr;
    QPushButton* bPrint = nullptr;
    QPushButton* bCancel = nullptr;
    bool SaveFlag = false; // the memo has unsaved changes

    void FormShow();
    void FormActivate();
    void FormClose();
    bool FormCloseQuery();
    void mLogChange();
    void bOKClick();
    void bCancelClick();
    void bSaveAsClick();
    void bPrintClick();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void LoadLog();
    bool closingByButton = false; // OK and Cancel close without the unsaved-changes question
};

extern TfELog* fELog;
