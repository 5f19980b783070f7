#pragma once
// TWorkScope: the span of one long command. It clears the stop flag, watches the work through the image
// library's stop checks and, once the work has run about half a second, shows a small application-modal
// window over the main window with the command's name, a busy bar and a Cancel button; Esc or Cancel
// asks the work to stop. The windows stay painted while the work runs. Scopes nest: only the outermost
// one watches. When the work enters a step that cannot stop (BeginFinalWorkStep), the window says so and
// offers no stop.
//
// What may run while work runs. This rule holds from the opening of the outermost scope to its end and
// is kept in one place, an application-wide event filter (WorkProgress.cpp), so that nothing can start
// a command inside the work or replace the picture it reads:
// - Dropped files are refused: DragEnter, DragMove and Drop, from the window system or posted.
// - Closing a window is refused (the Close event of any top-level window but the progress window), as
//   the window system refuses the close box of a window under a modal window; once the work has ended
//   the user closes again.
// - Timers (QTimer, single-shot timers) outside the progress window wait: a held timer fires again
//   once the work has ended. The program's own queued calls that start commands go through AfterWork.
// - Input that a watch of the work delivers (keys, shortcuts, mouse, wheel, context menus) reaches
//   only the progress window: Esc anywhere asks for the stop, everything else is refused. Before the
//   window shows, the watches leave input waiting in the queue, so typing ahead of short work is kept.
// A modal window that the command itself opened (a dialog, a message box) has the floor while it is
// up: its own input, timers, drops and close box work as usual, and the window system blocks the rest.

#include <QString>

#include <functional>

class QDialog;
class QObject;

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

    // Runs `call` now when no scope is open, else from the event loop once the work has ended (dropped
    // when `context` is destroyed first). For queued calls that start commands.
    static void AfterWork(QObject* context, std::function<void()> call);

    // How long the work runs before the progress window appears (500 ms by default).
    static void SetShowDelay(int milliseconds);
    // Tests: called on each watch of the work (every few milliseconds of work) with the number of the
    // watch, counted from 1 in each outermost scope; it may request a stop. An empty hook removes it.
    using TWatchHook = std::function<void(int watch)>;
    static void SetWatchHook(TWatchHook hook);

private:
    bool Outer = false;
};
