#pragma once
// Stopping long work. The user interface asks for a stop (Esc, Cancel) from any thread; the library
// checks between rows and passes and ends the routine by throwing EWorkStopped. A watcher installed by
// the interface thread is called on that thread at the same checks (at most every few milliseconds), so
// it can keep the window painted, show progress and take the stop request.

#include <functional>
#include <stdexcept>

class EWorkStopped : public std::runtime_error {
public:
    EWorkStopped() : std::runtime_error("Stopped") {}
};

void RequestWorkStop();   // any thread
void ClearWorkStop();     // before a new command starts; also ends a final step (below)
bool WorkStopRequested(); // a relaxed load: cheap enough for every row

// A check between rows or passes: on the watcher's thread, calls the watcher when a few milliseconds
// have passed since its last call; then throws EWorkStopped when a stop was requested.
void WorkPoint();

// The same check without the throw, for code that must finish its own step first (the row bands):
// returns whether a stop was requested.
bool WorkPointNoThrow();

// The work enters its last step, one that cannot be stopped (a save's flush to disk and rename): a stop
// asked for before is honoured here by throwing EWorkStopped; from then on the interface offers no stop,
// and the watcher is called at once so that it can show `state` ("Finishing the save..."). Call it on
// the thread that runs the work; `state` must outlive the step (a literal).
void BeginFinalWorkStep(const char* state);
// The state of the final step the work is in, or null when it is not in one.
const char* FinalWorkStep();

// Installs the watcher for the calling thread (an empty function removes it). The watcher may call
// RequestWorkStop; it must not throw and must not start image work of its own.
void SetWorkWatcher(std::function<void()> Watcher);
