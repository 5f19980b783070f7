#pragma once
// TfSelect: the selection action dialog: what to do with the rectangle the select tool marked (copy
// it to the clipboard or the buffer, crop the image to it), with its place and size editable.

#include <QDialog>
#include <QRect>

#include <functional>

class QLineEdit;
class QPushButton;

class TfSelect : public QDialog {
public:
    explicit TfSelect(QWidget* parent = nullptr);
    void FormCreate() {}

    QPushButton* bCopy2 = nullptr;     // "Copy to Clipboard": mrOk
    QPushButton* bCopyBufr2 = nullptr; // "Copy to Buffer": mrNo
    QPushButton* bCrop2 = nullptr;     // "Crop to Selection": mrYes
    QPushButton* bCancel2 = nullptr;   // "Cancel": mrCancel
    QLineEdit* meX = nullptr;          // the selection; each field takes up to four digits
    QLineEdit* meY = nullptr;
    QLineEdit* meWidth = nullptr;
    QLineEdit* meHeight = nullptr;

    // The fields as a rectangle (an empty field reads 0), and filled from one (values that do not
    // fit four digits are cut to 0 .. 9999).
    QRect Selection() const;
    void SetSelection(const QRect& r);

    // Shows the dialog modally; returns mrOk, mrNo, mrYes or mrCancel (also when closed). Tests answer
    // through the hook, which may edit the fields.
    int Execute();
    using TExecuteHook = std::function<int(TfSelect&)>;
    static void SetExecuteHook(TExecuteHook hook);
};

extern TfSelect* fSelect;
