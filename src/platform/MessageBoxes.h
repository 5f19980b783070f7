#pragma once
// Message boxes with the program's own texts, and a seam through which tests answer them.

#include <QString>

#include <functional>

enum TModalResult {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7
};
enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgButton { mbYes = 1, mbNo = 2, mbOK = 4, mbCancel = 8 }; // or-ed together

// Shows a modal box with the text and the buttons (none given: OK) and returns the TModalResult of
// the button chosen; closing the box without a button answers mrCancel (mrNo or mrOk when the box
// has neither Cancel nor No). Without a QApplication the text goes to stderr and mrCancel comes back.
int MessageDlg(const QString& text, TMsgDlgType type, int buttons);
// An OK box (reaches the hook as mtCustom with mbOK).
void ShowMessage(const QString& text);

// When a hook is set no box is shown: the hook gets the text as given (before the display
// conversion below) and its answer is returned.
using MessageHook = std::function<int(const QString& text, TMsgDlgType type, int buttons)>;
void SetMessageHook(MessageHook hook); // an empty function shows real boxes again

// The text as the box shows it: every "\r\n" and every lone '\r' becomes '\n'.
QString MessageDisplayText(const QString& text);

// Sets a hook for the lifetime of the object and restores the previous one after it (tests).
class ScopedMessageHook {
public:
    explicit ScopedMessageHook(MessageHook hook);
    ~ScopedMessageHook();
    ScopedMessageHook(const ScopedMessageHook&) = delete;
    ScopedMessageHook& operator=(const ScopedMessageHook&) = delete;

private:
    MessageHook previous_;
};
