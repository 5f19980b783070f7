#pragma once
// TfJPGComp: the JPEG quality dialog (0 to 100). Its value is kept in the settings file under
// [MainForm] JPGComp. The stored value is the accepted one at start (saving uses it, Cancel returns to
// it); afterwards the quality used for saving changes only when the dialog is confirmed.

#include <QDialog>

#include <functional>

class QLineEdit;
class QPushButton;
class QScrollBar;

class TfJPGComp : public QDialog {
public:
    explicit TfJPGComp(QWidget* parent = nullptr);
    ~TfJPGComp() override;

    // Reads the stored quality text when the settings file was written before.
    void FormCreate();
    // Writes the edit's text to the settings file.
    void FormDestroy();

    QLineEdit* eCVal = nullptr;
    QScrollBar* sbCVal = nullptr;
    QPushButton* Button1 = nullptr; // Default
    QPushButton* BitBtn1 = nullptr; // OK
    QPushButton* BitBtn2 = nullptr; // Cancel
    int myval = 90;                 // the value Cancel returns to

    void eCValChange();
    void sbCValChange();
    void Button1Click();
    void BitBtn1Click();
    void BitBtn2Click();

    // Shows the dialog modally and returns mrOk or mrCancel. Tests answer through the hook, which gets
    // the dialog (to type into it and press its buttons) and returns the result.
    int Execute();
    using TExecuteHook = std::function<int(TfJPGComp&)>;
    static void SetExecuteHook(TExecuteHook hook);

private:
    bool Destroyed = false;
};

extern TfJPGComp* fJPGComp;
