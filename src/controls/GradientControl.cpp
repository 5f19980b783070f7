#include "controls/GradientControl.h"

#include "platform/FastDIBQt.h"

#include <QPainter>

TZorvGradient::TZorvGradient(QWidget* parent) : QWidget(parent) {
    resize(75, 75);
    setAttribute(Qt::WA_OpaquePaintEvent); // the cache covers the whole area; nothing is erased first
}

template <class T> void TZorvGradient::Store(T& field, T value) {
    if (field == value) return;
    field = value;
    FRedraw = true;
    update();
}

void TZorvGradient::SetBeginColor(TColor value) {
    Store(F.BeginColor, value);
}
void TZorvGradient::SetEndColor(TColor value) {
    Store(F.EndColor, value);
}
void TZorvGradient::SetGradientStyle(TGradientStyle value) {
    Store(F.GradientStyle, value);
}
void TZorvGradient::SetSteps(int value) {
    Store(F.Steps, value);
}
void TZorvGradient::SetCtl3D(bool value) {
    Store(F.Ctl3D, value);
}
void TZorvGradient::SetStartAngle(int value) {
    Store(F.StartAngle, value);
}

bool TZorvGradient::Stale() const {
    const int W = std::max(width(), 0), H = std::max(height(), 0);
    return FRedraw || Fbm.Width != (W && H ? W : 0) || Fbm.Height != (W && H ? H : 0);
}

const TFastDIB& TZorvGradient::bm() {
    if (!Stale()) return Fbm;
    ResizeKeepingPixels(Fbm, width(), height());
    FRedraw = true; // a paint cut short by a stop is done again at the next read
    PaintGradient(Fbm, F);
    FRedraw = false;
    ++renders_;
    return Fbm;
}

void TZorvGradient::paintEvent(QPaintEvent*) {
    const TFastDIB& pic = bm();
    if (pic.Empty()) return;
    QPainter p(this);
    DrawDIB(p, pic, 0, 0);
}
