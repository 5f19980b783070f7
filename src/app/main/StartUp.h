#pragma once
// Creates the program's nineteen windows in their order and destroys them in the reverse order.
// Creation is two-phase: every window is constructed (and its global set) before any FormCreate runs.

#include <QString>
#include <QWidget>

#include <memory>
#include <vector>

class TApplicationForms {
public:
    TApplicationForms() = default;
    ~TApplicationForms() { DestroyForms(); }
    TApplicationForms(const TApplicationForms&) = delete;
    TApplicationForms& operator=(const TApplicationForms&) = delete;

    // `startFile`: the picture named on the command line (may be empty), opened at the first show.
    void CreateForms(const QString& startFile);
    // Dialogs first, the main window last (it writes its settings and closes the log).
    void DestroyForms();

private:
    struct TForm {
        std::unique_ptr<QWidget> Widget;
        void (*ClearGlobal)();
    };
    std::vector<TForm> Forms;
};
