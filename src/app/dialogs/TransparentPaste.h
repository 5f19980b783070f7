#pragma once
// TfTrans: the options of a transparent paste: whether the clipboard picture is stretched to the
// image first, and which colour is transparent (the picture's lower-left pixel, the pen colour or a
// colour of the user's choice).

#include "app/main/AppTypes.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QFrame;
class QPushButton;
class QRadioButton;

class TfTrans : public QDialog {
public:
    explicit TfTrans(QWidget* parent = nullptr);
    void FormCreate() {}

    QCheckBox* cbReSize = nullptr;
    QRadioButton* rbNorm = nullptr;
    QRadioButton* rbPen = nullptr;
    QRadioButton* rbCustom = nullptr;
    QFrame* Shape1 = nullptr;       // the swatch of the transparent colour
    QPushButton* BitBtn1 = nullptr; // OK
    QPushButton* BitBtn2 = nullptr; // Cancel

    // The swatch's colour: the transparent colour of the paste.
    TColor Shape1Color() const { return ShapeColor; }
    void SetShape1Color(TColor c);
    // The colour dialog's current colour (black until one is chosen).
    TColor ColorDialog1Color = 0;

    void rbNormClick();
    void rbPenClick();
    void rbCustomClick();
    void Shape1MouseDown();

    // Shows the dialog modally and returns mrOk or mrCancel; tests answer through the hook.
    int Execute();
    using TExecuteHook = std::function<int(TfTrans&)>;
    static void SetExecuteHook(TExecuteHook hook);
    // Runs the colour dialog from the current colour; true and `c` set when confirmed. Tests answer
    // through the hook (return false for Cancel).
    bool ExecuteColorDialog(TColor& c);
    using TColorHook = std::function<bool(TColor&)>;
    static void SetColorDialogHook(TColorHook hook);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TColor ShapeColor = 0;
};

extern TfTrans* fTrans;
