#pragma once
// TfMultOpt: the gradient point options: the place of a new colour stop in pixels or per cent of the
// gradient's axis, and its colour from the colour button or as typed red, green and blue values.

#include "image/Color.h"

#include <QDialog>

#include <functional>

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;
class TColrBtn;

class TfMultOpt : public QDialog {
public:
    explicit TfMultOpt(QWidget* parent = nullptr);
    void FormCreate();

    QSpinBox* seLeft = nullptr;
    QLabel* Label1 = nullptr; // "Left" or "Top"
    QGroupBox* GroupBox1 = nullptr;
    QRadioButton* rbPix = nullptr;
    QRadioButton* rbPct = nullptr;
    TColrBtn* bColor = nullptr;
    QSpinBox* seRed = nullptr;
    QSpinBox* seGreen = nullptr;
    QSpinBox* seBlue = nullptr;
    QPushButton* bOK = nullptr;
    QPushButton* bCancel = nullptr;

    int pixLeft = 0;    // the position in pixels
    int pctLeft = 0;    // the same in per cent of gWidth
    int gWidth = 1;     // the length of the gradient's axis
    bool bFlag = false; // the colour button, not the spin edits, is the source of the colour

    void bColorMouseDown();
    void bColorChanged();
    void seChange();
    void rbPixClick();
    void rbPctClick();
    void seLeftChange();

    // Sets the dialog up for a stop asked for at `pos` on an axis of `axisLength` pixels (`vert`: the
    // axis runs left to right), in the colour `c`.
    void Prepare(int pos, int axisLength, bool vert, TColor c);
    // The colour chosen (the colour button's).
    TColor ChosenColor() const;

    // Shows the dialog modally and returns mrOk or mrCancel; tests answer through the hook, which may
    // work the real widgets before it answers.
    int Execute();
    using TExecuteHook = std::function<int(TfMultOpt&)>;
    static void SetExecuteHook(TExecuteHook hook);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Shows `v` in seLeft without running its change handler.
    void ShowLeft(int v);
    // The spin edits take `c` without counting as the user's edit.
    void ShowColour(TColor c);
    bool Showing = false;
};

extern TfMultOpt* fMultOpt;
