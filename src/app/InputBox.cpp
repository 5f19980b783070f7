#include "app/InputBox.h"

#include <QInputDialog>

namespace {
InputBoxHook& Hook() {
    static InputBoxHook hook;
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
