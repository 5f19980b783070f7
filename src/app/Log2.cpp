// The activity log editor.
#include "app/Log2.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfELog* fELog = nullptr;

TfELog::TfELog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("fELog"));
    setWindowTitle(QStringLiteral("Edit Log File"));
    resize(528, 337);
    mLog = new QPlainTextEdit(this);
    mLog->setObjectName(QStringLiteral("mLog"));
    mLog->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto* panel = new QWidget(this);
    auto* row = new QHBoxLayout(panel);
    auto button = [&](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, panel);
        b->setObjectName(QString::fromLatin1(name));
        row->addWidget(b);
        return b;
    };
    bOK = button("bOK", QStringLiteral("&OK"));
    bSaveAs = button("bSaveAs", QStringLiteral("&Save As"));
    bPrint = button("bPrint", QStringLiteral("&Print"));
    bCancel = button("bCancel", QStringLiteral("Cancel"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(mLog, 1);
    column->addWidget(panel);
}

void TfELog::FormCreate() {}
void TfELog::FormShow() {}
void TfELog::FormActivate() {}
void TfELog::FormClose() {}
bool TfELog::FormCloseQuery() {
    return true;
}
void TfELog::mLogChange() {
    SaveFlag = true;
}
void TfELog::bOKClick() {}
void TfELog::bCancelClick() {}
void TfELog::bSaveAsClick() {}
void TfELog::bPrintClick() {}
void TfELog::LoadLog() {}
void TfELog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
}
void TfELog::closeEvent(QCloseEvent* event) {
    QDialog::closeEvent(event);
}
void TfELog::reject() {
    QDialog::reject();
}
