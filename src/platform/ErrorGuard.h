#pragma once
// The standard error handler: every command runs inside a guard, so no exception crosses Qt's event
// loop; the exception's text is shown in an error box and the command ends there.

#include "image/WorkControl.h"

#include <QApplication>

#include <exception>
#include <new>
#include <stdexcept>

// An error box (MessageDlg, mtError, mbOK) with the exception's text.
void ShowException(const std::exception& e);
// The same for an exception that is not a std::exception.
void ShowUnknownException();

// Runs f; any exception it throws is shown and ends the command. A stop the user asked for is not an
// error: it ends the command silently.
template <class F> void Guarded(F&& f) {
    try {
        f();
    } catch (const EWorkStopped&) {
    } catch (const std::exception& e) {
        ShowException(e);
    } catch (...) {
        ShowUnknownException();
    }
}

// The last resort: an exception that escapes an event handler is shown instead of ending the program.
class GuardedApplication : public QApplication {
public:
    GuardedApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};
