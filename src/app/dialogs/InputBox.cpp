#include "app/dialogs/InputBox.h"

#include <QFileDialog>
#include <QInputDialog>

namespace {
InputBoxHook& Hook() {
    static InputBoxHook hook;
    return hook;
}
FolderBrowserHook& BrowserHook() {
    static FolderBrowserHook hook;
    return hook;
}
} // namespace

void SetInputBoxHook(InputBoxHook hook) {
    Hook() = std::move(hook);
}

QString InputBox(QWidget* parent, const QString& caption, const QString& prompt, const QString& value) {
    if (Hook()) return Hook()(caption, prompt, value);
    bool ok = false;
    const QString text = QInputDialog::getText(parent, caption, prompt, QLineEdit::Normal, value, &ok);
    return ok ? text : value;
}

void SetFolderBrowserHook(FolderBrowserHook hook) {
    BrowserHook() = std::move(hook);
}

QString BrowseForFolder(QWidget* parent, const QString& caption, const QString& start) {
    if (BrowserHook()) return BrowserHook()(caption, start);
    return QFileDialog::getExistingDirectory(parent, caption, start, QFileDialog::ShowDirsOnly);
}
