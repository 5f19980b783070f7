#pragma once
// TfAdjust: the shape adjustment dialog. Before an ellipse or rectangle is drawn it shows the shape's
// left, top, width and height; the outline on the image follows every change; OK draws the shape at
// the adjusted place, Cancel drops it. It can centre the shape by its width.

#include <QDialog>

#include <functional>

class QCheckBox;
class QLabel;
class QPushButton;
class QSpinBox;

class TfAdjust : public QDialog {
public:
    explicit TfAdjust(QWidget* parent = nullptr);
    void FormCreate();

    QSpinBox* seX = nullptr; // left and top: 0 .. 65000
    QSpinBox* seY = nullptr;
    QSpinBox* seW = nullptr; // width and height: bounded so that corner sums stay small numbers
    QSpinBox* seH = nullptr;
    QPushButton* Button1 = nullptr;  // OK
    QPushButton* Button2 = nullptr;  // Cancel
    QCheckBox* cbCenter = nullptr;   // "Center based on Width", in step with Options > Center Shapes
    QCheckBox* cbDontShow = nullptr; // "Do not show this dialog again": the opposite of Options > ShowAdj
    QLabel* Label5 = nullptr;

    // Corners of the outline now shown on the image: left, top, right, bottom.
    int saX = 0, saY = 0, szX = 0, szY = 0;
    // True from the dialog's show to its hide; only then do value changes move the outline.
    bool AdjustShowing = false;

    void FormShow();
    void FormHide();
    void cbCenterClick();
    void cbDontShowClick();
    void seXChange();
    void seYChange();
    void seWChange();
    void seHChange();

    // The adjustment step of the main window's ellipse and rectangle tools: shows the dialog for the
    // drag corners aX, aY, zX, zY. OK sets the corners to the adjusted shape (left and top first) and
    // answers true; Cancel answers false (the shape is dropped).
    bool AdjustShape();

    // Shows the dialog modally and returns mrOk or mrCancel. Tests answer through the hook, which runs
    // while the dialog counts as shown (value changes move the outline).
    int Execute();
    using TExecuteHook = std::function<int(TfAdjust&)>;
    static void SetExecuteHook(TExecuteHook hook);

    // Maximum width and height.
    static constexpr int MaxSize = 65000;

protected:
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;

private:
    void Centre();
    void ShowPreview();
};

extern TfAdjust* fAdjust;
