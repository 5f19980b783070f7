// The activity log editor.
#include "app/dialogs/LogEditor.h"

#include "app/dialogs/AllForms.h"
#include "app/main/ZorvTileMain.h"
#include "platform/ErrorGuard.h"
#include "platform/MessageBoxes.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

TfELog* fELog = nullptr;

TfELog::TfELog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("fELog"));
    setWindowTitle(QStringLiteral("Edit Log File"));
    resize(528, 337);
    const LogWindows::TLogLayout layout = LogWindows::BuildLogLayout(this);
    mLog = layout.memo;
    lNote = layout.note;
    connect(mLog, &QPlainTextEdit::textChanged, this, [this] { mLogChange(); });
    bOK = LogWindows::AddLogButton(layout, "bOK", QStringLiteral("&OK"), [this] { bOKClick(); });
    bSaveAs =
        LogWindows::AddLogButton(layout, "bSaveAs", QStringLiteral("&Save As"), [this] { bSaveAsClick(); });
    bPrint = LogWindows::AddLogButton(layout, "bPrint", QStringLiteral("&Print"), [this] { bPrintClick(); });
    bCancel =
        LogWindows::AddLogButton(layout, "bCancel", QStringLiteral("Cancel"), [this] { bCancelClick(); });
}

void TfELog::FormCreate() {}

void TfELog::Execute() {
    // A log that cannot be read is reported before the editor opens, so an empty memo can never be
    // written over it.
    FormShow();
    exec();
}

void TfELog::FormShow() {
    LoadLog();
}

void TfELog::FormActivate() {
    if (fToolBox) fToolBox->hide();
    SaveFlag = false; // loading the file is not a change
}

void TfELog::FormClose() {
    if (fToolBox) fToolBox->show();
}

bool TfELog::FormCloseQuery() {
    return !SaveFlag || MessageDlg(QStringLiteral("Changes not saved.  Do you still wish to exit?"),
                                   TMsgDlgType::mtConfirmation, mbYes | mbNo) == mrYes;
}

void TfELog::mLogChange() {
    SaveFlag = true;
}

void TfELog::bOKClick() {
    // Without a change the file is not touched, so it stays byte for byte what it was. Lines another
    // instance logged since the log was read follow the edited ones. A failed write, or a log replaced
    // meanwhile, leaves the window open with the changes.
    if (SaveFlag) {
        const QString path = fZorvTile ? fZorvTile->LogPath() : QString();
        LogWindows::WriteLog(path, *mLog, Content, path, true);
    }
    SaveFlag = false;
    accept();
}

void TfELog::bCancelClick() {
    SaveFlag = false;
    QDialog::reject();
}

void TfELog::bSaveAsClick() {
    if (LogWindows::SaveAs(this, *mLog, false, Content)) SaveFlag = false;
}

void TfELog::bPrintClick() {
    LogWindows::PrintLines(LogWindows::MemoLines(*mLog), this);
}

void TfELog::LoadLog() {
    Content = LogWindows::ReadLogInto(*mLog, *lNote, fZorvTile ? fZorvTile->LogPath() : QString());
}

void TfELog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormActivate();
}

void TfELog::reject() {
    if (FormCloseQuery()) QDialog::reject();
}

void TfELog::done(int r) {
    QDialog::done(r);
    FormClose();
}
