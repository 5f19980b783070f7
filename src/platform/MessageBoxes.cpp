#include "platform/MessageBoxes.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>

#include <cstdio>

namespace {

MessageHook& hook() {
    static MessageHook h;
    return h;
}

QString titleFor(TMsgDlgType type) {
    switch (type) {
    case TMsgDlgType::mtWarning:
        return QStringLiteral("Warning");
    case TMsgDlgType::mtError:
        return QStringLiteral("Error");
    case TMsgDlgType::mtInformation:
        return QStringLiteral("Information");
    case TMsgDlgType::mtConfirmation:
        return QStringLiteral("Confirm");
    case TMsgDlgType::mtCustom:
        break;
    }
    return QCoreApplication::applicationName();
}

QMessageBox::Icon iconFor(TMsgDlgType type) {
    switch (type) {
    case TMsgDlgType::mtWarning:
        return QMessageBox::Warning;
    case TMsgDlgType::mtError:
        return QMessageBox::Critical;
    case TMsgDlgType::mtInformation:
        return QMessageBox::Information;
    case TMsgDlgType::mtConfirmation:
        return QMessageBox::Question;
    case TMsgDlgType::mtCustom:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

QString MessageDisplayText(const QString& text) {
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(u'\r', u'\n');
    return t;
}

int MessageDlg(const QString& text, TMsgDlgType type, int buttons) {
    if ((buttons & (mbYes | mbNo | mbOK | mbCancel)) == 0) buttons = mbOK;
    if (hook()) return hook()(text, type, buttons);
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
        std::fprintf(stderr, "%s\n", MessageDisplayText(text).toLocal8Bit().constData());
        return mrCancel;
    }
    // Over the window the user is working in: the open modal dialog, else the active window. That window
    // may be destroyed while the box is up (a splash that times out), and the box with it.
    QWidget* over = QApplication::activeModalWidget();
    if (!over) over = QApplication::activeWindow();
    QPointer<QMessageBox> box =
        new QMessageBox(iconFor(type), titleFor(type), MessageDisplayText(text), QMessageBox::NoButton, over);
    QMessageBox::StandardButtons std;
    if (buttons & mbYes) std |= QMessageBox::Yes;
    if (buttons & mbNo) std |= QMessageBox::No;
    if (buttons & mbOK) std |= QMessageBox::Ok;
    if (buttons & mbCancel) std |= QMessageBox::Cancel;
    box->setStandardButtons(std);
    box->setDefaultButton((buttons & mbYes)  ? QMessageBox::Yes
                          : (buttons & mbOK) ? QMessageBox::Ok
                                             : QMessageBox::NoButton);
    box->exec();
    QMessageBox::StandardButton answer = QMessageBox::NoButton;
    if (box) {
        if (QAbstractButton* clicked = box->clickedButton()) answer = box->standardButton(clicked);
        delete box;
    }
    switch (answer) {
    case QMessageBox::Yes:
        return mrYes;
    case QMessageBox::No:
        return mrNo;
    case QMessageBox::Ok:
        return mrOk;
    case QMessageBox::Cancel:
        return mrCancel;
    default:
        break;
    }
    if (buttons & mbCancel) return mrCancel;
    if (buttons & mbNo) return mrNo;
    if (buttons & mbOK) return mrOk;
    return mrCancel;
}

void ShowMessage(const QString& text) {
    MessageDlg(text, TMsgDlgType::mtCustom, mbOK);
}

void SetMessageHook(MessageHook h) {
    hook() = std::move(h);
}

ScopedMessageHook::ScopedMessageHook(MessageHook h) : previous_(std::move(hook())) {
    hook() = std::move(h);
}

ScopedMessageHook::~ScopedMessageHook() {
    hook() = std::move(previous_);
}
