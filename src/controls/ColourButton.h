#pragma once
// TColrBtn: a button showing a colour swatch under its caption. Pressing it (any mouse button) runs a
// colour dialog of its own and reports the outcome through OnChanged, also when the dialog is cancelled.

#include "controls/ControlPaint.h"
#include "image/Color.h"

#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <functional>

class QColorDialog;
class TColrBtn;

// Shared by every colour button: 1 while any of them runs its dialog (so every colour button that
// repaints meanwhile draws the pressed look), and the swatch rectangle of the last paint.
extern std::uint8_t ColrBtnPressed;
extern TRect ColrBtnSwatchRect;

// Answers the colour dialog in place of the real one: gets the button and the dialog's colour and
// returns true with the chosen colour for OK, false for Cancel. The button may be gone afterwards.
using ColorDialogHook = std::function<bool(TColrBtn* button, TColor& color)>;

class TColrBtn : public QWidget {
    Q_OBJECT
public:
    explicit TColrBtn(QWidget* parent = nullptr);
    ~TColrBtn() override;

    TColor Color() const { return FColor; }
    // A new value is stored, given to the dialog, raises OnChanged and repaints.
    void SetColor(TColor value);
    QString Caption() const { return FCaption; }
    void SetCaption(const QString& caption);

    // The channels of the colour last split and their mean.
    int myR = 0, myG = 0, myB = 0, myAvg = 255;
    void SplitRGB(TColor c);

    // An empty hook shows the real dialog again.
    static void SetColorDialogHook(ColorDialogHook hook);

    QSize sizeHint() const override;

signals:
    void OnChanged(TColrBtn* sender);
    void OnClick(TColrBtn* sender);
    void OnMouseDown(TColrBtn* sender, Qt::MouseButton button, Qt::KeyboardModifiers shift, QPoint pos);
    void OnMouseUp(TColrBtn* sender, Qt::MouseButton button, Qt::KeyboardModifiers shift, QPoint pos);
    void OnMouseMove(TColrBtn* sender, Qt::KeyboardModifiers shift, QPoint pos);

protected:
    virtual void Changed();
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    TColor FColor = 0xFFFFFF;
    QString FCaption;
    QPointer<QColorDialog> FCdlg; // made on first use, owned by the button
    bool leftDown_ = false;

    // Runs the dialog (or the hook) on `color`; true when the user confirmed.
    bool ExecuteDialog(TColor& color);
};

// Sets a hook for the lifetime of the object and restores the previous one after it (tests).
class ScopedColorDialogHook {
public:
    explicit ScopedColorDialogHook(ColorDialogHook hook);
    ~ScopedColorDialogHook();
    ScopedColorDialogHook(const ScopedColorDialogHook&) = delete;
    ScopedColorDialogHook& operator=(const ScopedColorDialogHook&) = delete;

private:
    ColorDialogHook previous_;
};
