#pragma once
// TWorkScope: the span of one long command. It clears the stop flag, watches the work through the image
// library's stop checks and, once the work has run about half a second, shows a small application-modal
// window with the command's name, a busy bar and a Cancel button; Esc or Cancel asks the work to stop.
// The windows stay painted while the work runs. Scopes nest: only the outermost one watches.

#include <QString>

#include <functional>

class QDialog;

class TWorkScope {
public:
    explicit TWorkScope(const QString& name);
    ~TWorkScope();
    TWorkScope(const TWorkScope&) = delete;
    TWorkScope& operator=(const TWorkScope&) = delete;

    // True while a scope is open.
    static bool Active();
    // The name the progress window shows ("" when no scope is open).
    static QString Name();
    // The progress window while it is shown, else null.
    static QDialog* ProgressWindow();

    // How long the work runs before the progress window appears (500 ms by default).
    static void SetShowDelay(int milliseconds);
    // Tests: called on each watch of the work (every few milliseconds of work) with the number of the
    // watch, counted from 1 in each outermost scope; it may request a stop. An empty hook removes it.
    using TWatchHook = std::function<void(int watch)>;
    static void SetWatchHook(TWatchHook hook);

private:
    bool Outer = false;
};
