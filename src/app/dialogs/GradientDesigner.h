#pragma once
// TfGradient: the two-colour gradient designer. Its gradient control zGrad is edited live (size,
// style, colours, start angle); the control's picture is the gradient the main window pastes, merges
// and shows as its thumbnail. Everything stays on the control between openings.

#include "image/Color.h"

#include <QDialog>

#include <functional>

class QComboBox;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QToolButton;
class TLbl3D;
class TZorvGradient;

class TfGradient : public QDialog {
public:
    explicit TfGradient(QWidget* parent = nullptr);
    void FormCreate() {}

    TZorvGradient* zGrad = nullptr;
    QLineEdit* meWide = nullptr;
    QLineEdit* meHigh = nullptr;
    QComboBox* cbStyle = nullptr;
    QLineEdit* meAngle = nullptr;
    QPushButton* bFromCl = nullptr;
    QPushButton* bClTo = nullptr;
    QToolButton* bPaste = nullptr;
    QToolButton* bDefault = nullptr;
    QPushButton* bOK = nullptr;

    // Handlers.
    void FormShow();
    void meWideChange();
    void meHighChange();
    void meAngleChange();
    void cbStyleChange();
    void bFromClClick();
    void bClToClick();
    void bPasteClick();
    void bDefaultClick();
    void bOkClick();

    // Sizes the gradient control (and fits the window around it).
    void SizeGradient(int w, int h);

    // Shows the dialog modally and returns mrOk or mrCancel (closing the window is Cancel); tests answer
    // through the hook, which may work the real widgets before it answers.
    int Execute();
    using TExecuteHook = std::function<int(TfGradient&)>;
    static void SetExecuteHook(TExecuteHook hook);
    // Runs the colour dialog from `c`; true and `c` set when confirmed. Tests answer through the hook.
    bool ExecuteColorDialog(TColor& c);
    using TColorHook = std::function<bool(TColor&)>;
    static void SetColorDialogHook(TColorHook hook);

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FitToContents();
    QScrollArea* Scroller = nullptr;
};

extern TfGradient* fGradient;
