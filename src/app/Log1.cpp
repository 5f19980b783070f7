// The activity log viewer.
#include "app/Log1.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfLog* fLog = nullptr;

TfLog::TfLog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("fLog"));
    setWindowTitle(QStringLiteral("View Mozaro Log File"));
    resize(499, 337);
    mLog = new QPlainTextEdit(this);
    mLog->setObjectName(QStringLiteral("mLog"));
    mLog->setReadOnly(true);
    mLog->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto* panel = new QWidget(this);
    auto* row = new QHBoxLayout(panel);
    auto button = [&](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, panel);
        b->setObjectName(QString::fromLatin1(name));
        row->addWidget(b);
        return b;
    };
    bRefresh = button("bRefresh", QStringLiteral("&Refresh"));
    bSaveAs = button("bSaveAs", QStringLiteral("&Save As"));
    bOK = button("bOK", QStringLiteral("&OK"));
    bPrint = button("bPrint", QStringLiteral("&Print"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(mLog, 1);
    column->addWidget(panel);
}

void TfLog::FormCreate() {}
void TfLog::FormShow() {}
void TfLog::FormClose() {}
void TfLog::bRefreshClick() {}
void TfLog::bSaveAsClick() {}
void TfLog::bPrintClick() {}
void TfLog::bCancelClick() {
    close();
}
void TfLog::LoadLog() {}
void TfLog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
}
void TfLog::closeEvent(QCloseEvent* event) {
    QDialog::closeEvent(event);
}
