#pragma once
// A one-line input box and a folder browser, with seams tests answer.

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

// Shows a folder browser titled `caption` starting at `start`, or at its nearest parent that exists
// when it does not exist (yet); returns the chosen folder, or an empty string after Cancel.
QString BrowseForFolder(QWidget* parent, const QString& caption, const QString& start);

// Tests: when a hook is set, no browser is shown; the hook gets the caption and the folder the browser
// would start at, and answers.
using FolderBrowserHook = std::function<QString(const QString& caption, const QString& start)>;
void SetFolderBrowserHook(FolderBrowserHook hook);
