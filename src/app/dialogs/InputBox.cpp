#include "app/dialogs/InputBox.h"

#include "platform/FileDialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QInputDialog>
#include <QTreeView>

namespace {
InputBoxHook& Hook() {
    static InputBoxHook hook;
    return hook;
}
// The folder itself when it exists, else its nearest parent that does: a browser opened in a missing
// folder shows an empty list and cannot choose anything.
QString NearestExistingFolder(const QString& folder) {
    if (folder.isEmpty()) return folder;
    QString dir = QFileInfo(folder).absoluteFilePath();
    while (!QFileInfo(dir).isDir()) {
        const QString parent = QFileInfo(dir).path();
        if (parent == dir) break;
        dir = parent;
    }
    return dir;
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

QString BrowseForFolder(QWidget* parent, const QString& caption, const QString& wished) {
    const QString start = NearestExistingFolder(wished);
    if (BrowserHook()) return BrowserHook()(caption, start);
    QFileDialog dialog(parent, caption, start);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    // Names and dates, whole: every entry is a folder, so size and type say nothing. The dialog keeps
    // the columns' state for the file dialogs that come after it, which show all four again.
    auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    for (int column : {1, 2})
        if (view) view->header()->hideSection(column);
    SizeFileDialog(dialog);
    const bool chosen = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
    for (int column : {1, 2})
        if (view) view->header()->showSection(column);
    return chosen ? dialog.selectedFiles().constFirst() : QString();
}
