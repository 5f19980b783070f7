#pragma once
// TfMultGrad: the multi-colour gradient designer. A bar (pBack, in the end colour) carries one small
// marker per colour stop; markers are added with a right click, dragged along the bar, recoloured with
// a double click and deleted with a right click; the picture `grad` shows the gradient at its size.

#include "app/main/AppTypes.h"
#include "image/FastDIB.h"

#include <QDialog>
#include <QFrame>

#include <functional>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class TfMultGrad;

// One stop marker: a small raised panel on the bar. It knows its stop's position and colour and reports
// the mouse to the designer; a left drag moves it along the bar only, never off it.
class TGradientMarker : public QFrame {
public:
    TGradientMarker(TfMultGrad& owner, QWidget* bar, int index);
    int Tag = 0; // index in the designer's marker list
    int Pos() const { return FPos; }
    TColor Color() const { return FColor; }
    void SetColor(TColor c);
    // Places the marker at `pos` along the bar in the upright (vertical bands) or flat shape.
    void Place(int pos, bool vert);

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void enterEvent(QEnterEvent* e) override;

private:
    TfMultGrad& Owner;
    int FPos = 0;
    TColor FColor = 0;
    bool Dragging = false;
    int DragStartPos = 0;
    QPoint DragStartMouse;
};

class TfMultGrad : public QDialog {
public:
    explicit TfMultGrad(QWidget* parent = nullptr);
    ~TfMultGrad() override;
    void FormCreate();

    // Controls.
    QLineEdit* eWide = nullptr;
    QLineEdit* eHigh = nullptr;
    QFrame* pBack = nullptr; // the marker bar; its colour is the end colour
    QWidget* pb = nullptr;   // shows grad
    QLabel* Label3 = nullptr;
    QPushButton* Button1 = nullptr; // OK
    QPushButton* Button2 = nullptr; // Cancel
    QPushButton* Button3 = nullptr; // Clear
    QPushButton* Button4 = nullptr; // Default
    QPushButton* bRotate = nullptr;
    QCheckBox* cbShowOpts = nullptr;

    // State.
    bool SetBySwap = false;
    TFastDIB grad; // the gradient picture, 24 bits
    int oldGW = 0;
    bool vert = true;
    int mrkSize = 0;
    std::vector<TGradientMarker*> mrkPnl;
    TMgradNfo Gradient;
    TColor CDColor = 0; // the colour dialog's current colour

    TColor pBackColor() const { return FBackColor; }
    void SetpBackColor(TColor c);

    // Handlers.
    void FormShow();
    void Button1Click(); // OK
    void pBackMouseDown(Qt::MouseButton button, int X, int Y);
    void pBackDblClick();
    void MarkerMouseDown(TGradientMarker& m, Qt::MouseButton button);
    void MarkerDragged(TGradientMarker& m, int pos);
    void MarkerDragEnd(TGradientMarker& m);
    void MarkerDblClick(TGradientMarker& m);
    void MarkerMouseEnter(TGradientMarker& m);
    void Button3Click();
    void Button4Click();
    void bRotateClick();
    void eWideChange();
    void eHighChange();

    // Work.
    void AddMarker(int Pos);
    void DeleteMarker(int k);
    void SetDefaultGradient();
    void LoadGradient();
    void DrawGradient();
    int MarkersRight() const;
    int MarkersBottom() const;
    // The length of the gradient's axis: grad's width when vert, else its height.
    int AxisLength() const;

    // Shows the dialog modally and returns mrOk or mrCancel; tests answer through the hook, which may
    // work the real widgets before it answers.
    int Execute();
    using TExecuteHook = std::function<int(TfMultGrad&)>;
    static void SetExecuteHook(TExecuteHook hook);
    // Runs the colour dialog from `c`; true and `c` set when confirmed. Tests answer through the hook.
    bool ExecuteColorDialog(TColor& c);
    using TColorHook = std::function<bool(TColor&)>;
    static void SetColorDialogHook(TColorHook hook);

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FreeMarkers();
    void AppendMarker(int pos, TColor c);
    void LayOut();
    void SizeGrad(int w, int h);
    QWidget* Canvas = nullptr;
    QScrollArea* Scroller = nullptr;
    TColor FBackColor = 0;
};

extern TfMultGrad* fMultGrad;
