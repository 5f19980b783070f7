#pragma once
// TZorvGradient: shows a two-colour gradient in one of eight styles. The picture is kept as a cache,
// `bm`, painted again only after a property or the size has changed; `bm()` brings it up to date first,
// so a reader always gets the gradient of the current settings at the control's size.

#include "controls/GradientPainter.h"
#include "image/FastDIB.h"

#include <QWidget>

class TZorvGradient : public QWidget {
    Q_OBJECT
public:
    explicit TZorvGradient(QWidget* parent = nullptr);

    TColor BeginColor() const { return F.BeginColor; }
    TColor EndColor() const { return F.EndColor; }
    TGradientStyle GradientStyle() const { return F.GradientStyle; }
    int Steps() const { return F.Steps; }
    bool Ctl3D() const { return F.Ctl3D; }
    int StartAngle() const { return F.StartAngle; }
    // Each setter stores a new value, marks the cache and repaints; an equal value does nothing.
    void SetBeginColor(TColor value);
    void SetEndColor(TColor value);
    void SetGradientStyle(TGradientStyle value);
    void SetSteps(int value);
    void SetCtl3D(bool value);
    void SetStartAngle(int value);

    // The gradient as shown, exactly the control's width and height (rendered first when stale).
    const TFastDIB& bm();
    // The cache must be painted again before it is shown or read.
    bool Stale() const;
    // How often the cache has been painted (the screen is otherwise refreshed from it).
    int RenderCount() const { return renders_; }

    QSize sizeHint() const override { return QSize(75, 75); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TGradientSettings F;
    bool FRedraw = true;
    TFastDIB Fbm;
    int renders_ = 0;

    template <class T> void Store(T& field, T value);
};
