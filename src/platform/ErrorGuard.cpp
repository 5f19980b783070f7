#include "platform/ErrorGuard.h"

#include "platform/MessageBoxes.h"

void ShowException(const std::exception& e) {
    // The runtime's own text for a failed allocation means nothing to a user.
    const bool outOfMemory = dynamic_cast<const std::bad_alloc*>(&e) != nullptr;
    const QString text = outOfMemory ? QStringLiteral("Out of memory") : QString::fromUtf8(e.what());
    MessageDlg(text, TMsgDlgType::mtError, mbOK);
}

void ShowUnknownException() {
    MessageDlg(QStringLiteral("Unknown error"), TMsgDlgType::mtError, mbOK);
}

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const EWorkStopped&) {
    } catch (const std::exception& e) {
        ShowException(e);
    } catch (...) {
        ShowUnknownException();
    }
    return false;
}
