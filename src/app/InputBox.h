#pragma once
// A one-line input box, with a seam tests answer.

#include <QString>
#include <QWidget>

#include <functional>

// Shows a modal box with `caption`, `prompt` and an edit holding `value`; returns the edit's text after
// OK, or `value` unchanged after Cancel.
QString InputBox(QWidget* parent, const QString& caption, const QString& prompt, const QString& value);

// Tests: when a hook is set, no box is shown; the hook gets the caption, prompt and value and answers.
using InputBoxHook =
    std::function<QString(const QString& caption, const QString& prompt, const QString& value)>;
void SetInputBoxHook(InputBoxHook hook);
