#pragma once
// TfFilter: the user filter designer ("Create-A-Filter"): nine kernel weights and a divisor, kept in
// section [Filter] of the settings file.

#include <QDialog>

#include <array>
#include <cstdint>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

class TfFilter : public QDialog {
public:
    explicit TfFilter(QWidget* parent = nullptr);
    ~TfFilter() override;

    // Reads section [Filter] when the settings file was written before.
    void FormCreate();
    // Writes the ten texts to section [Filter].
    void FormDestroy();

    QLineEdit *e1 = nullptr, *e2 = nullptr, *e3 = nullptr, *e4 = nullptr, *e5 = nullptr, *e6 = nullptr,
              *e7 = nullptr, *e8 = nullptr, *e9 = nullptr;
    QLineEdit* eDiv = nullptr;
    QPushButton* BitBtn1 = nullptr; // OK
    QPushButton* BitBtn2 = nullptr; // Cancel
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;

    // The nine kernel edits, row by row.
    std::array<QLineEdit*, 9> Kernel() const { return {e1, e2, e3, e4, e5, e6, e7, e8, e9}; }

    // What the ten texts stand for, read in the order of the edits. The first text that is not an
    // integer, or a divisor whose low 16 bits are 0, gives `Refusal` and the edit `Bad` that holds it.
    struct TEntries {
        std::array<int, 9> Kernel{};
        std::uint16_t Divisor = 0; // the low 16 bits of the divisor text, so -1 divides by 65535
        QString Refusal;           // empty when every text is good
        QLineEdit* Bad = nullptr;
    };
    TEntries Entries() const;

    // Shows the dialog modally and returns mrOk or mrCancel. Tests answer through the hook, which gets
    // the dialog (to type into it) and returns the result.
    int Execute();
    using TExecuteHook = std::function<int(TfFilter&)>;
    static void SetExecuteHook(TExecuteHook hook);

private:
    // OK: closes the dialog only when the texts are good; otherwise the refusal is shown over the
    // dialog, which stays open with the bad text selected in its edit.
    void BitBtn1Click();

    bool Destroyed = false;
};

extern TfFilter* fFilter;
