#include "controls/ColourButton.h"

#include "controls/QtColors.h"
#include "controls/SystemColors.h"

#include <QApplication>
#include <QColorDialog>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

std::uint8_t ColrBtnPressed = 0;
TRect ColrBtnSwatchRect;

namespace {

ColorDialogHook& dialogHook() {
    static ColorDialogHook hook;
    return hook;
}

// Clears the shared pressed state however the dialog ends (also by an exception or by the button
// being destroyed inside it), and repaints the button if it still exists.
class PressedState {
public:
    explicit PressedState(TColrBtn* button) : button_(button) { ColrBtnPressed = 1; }
    ~PressedState() {
        ColrBtnPressed = 0;
        if (button_) button_->update();
    }
    PressedState(const PressedState&) = delete;
    PressedState& operator=(const PressedState&) = delete;

private:
    QPointer<TColrBtn> button_;
};

// Fills pixels [l, r) x [t, b) as the platform's FillRect does.
void fill(QPainter& p, int l, int t, int r, int b, TColor c) {
    if (r > l && b > t) p.fillRect(QRect(l, t, r - l, b - t), ToQColor(c));
}

} // namespace

TColrBtn::TColrBtn(QWidget* parent) : QWidget(parent) {
    resize(85, 35);
    ColrBtnPressed = 0;
    ColrBtnSwatchRect = TRect{3, 3, width() - 3, height() - 3};
    FColor = clWhite;
    myAvg = 255;
    setAttribute(Qt::WA_OpaquePaintEvent);
}

TColrBtn::~TColrBtn() = default;

void TColrBtn::SetColor(TColor value) {
    if (value == FColor) return;
    FColor = value;
    if (FCdlg) FCdlg->setCurrentColor(ToQColor(value));
    QPointer<TColrBtn> self(this);
    Changed();
    if (self) update();
}

void TColrBtn::SetCaption(const QString& caption) {
    if (caption == FCaption) return;
    FCaption = caption;
    updateGeometry();
    update();
}

void TColrBtn::SplitRGB(TColor c) {
    myR = GetRValue(c);
    myG = GetGValue(c);
    myB = GetBValue(c);
    myAvg = (myR + myG + myB) / 3;
}

void TColrBtn::Changed() {
    emit OnChanged(this);
}

void TColrBtn::SetColorDialogHook(ColorDialogHook hook) {
    dialogHook() = std::move(hook);
}

QSize TColrBtn::sizeHint() const {
    // 85 x 35 at least, wider when the caption needs it.
    const QFontMetrics fm(font());
    return QSize(std::max(85, fm.horizontalAdvance(FCaption) + 12), std::max(35, fm.height() + 10));
}

void TColrBtn::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int W = width(), H = height();
    const bool down = ColrBtnPressed == 1;
    const TColor outline = down ? clBtnHighlight : clBtnShadow;
    const TColor topLeft = down ? clBtnShadow : clBtnHighlight;
    // Rectangle(0, 0, W, H): face inside, outline on the outermost ring.
    fill(p, 0, 0, W, H, outline);
    fill(p, 1, 1, W - 1, H - 1, clBtnFace);
    // MoveTo(0, H), LineTo(0, 0), LineTo(W, 0): the left column and the top row.
    fill(p, 0, 0, 1, H, topLeft);
    fill(p, 0, 0, W, 1, topLeft);
    ColrBtnSwatchRect = down ? TRect{4, 4, W - 2, H - 2} : TRect{3, 3, W - 3, H - 3};
    fill(p, ColrBtnSwatchRect.Left, ColrBtnSwatchRect.Top, ColrBtnSwatchRect.Right, ColrBtnSwatchRect.Bottom,
         FColor);
    // The caption, white on dark colours and black on light ones.
    SplitRGB(FColor);
    p.setFont(font());
    const QFontMetrics fm(font());
    const int x = (W - fm.horizontalAdvance(FCaption)) / 2 + (down ? 1 : 0);
    const int y = (H - fm.height()) / 2 + (down ? 1 : 0);
    p.setPen(ToQColor(myAvg < 129 ? clWhite : clBlack));
    p.drawText(x, y + fm.ascent(), FCaption);
}

void TColrBtn::mousePressEvent(QMouseEvent* event) {
    QPointer<TColrBtn> self(this);
    if (event->button() == Qt::LeftButton) leftDown_ = true;
    emit OnMouseDown(this, event->button(), event->modifiers(), event->position().toPoint());
    if (!self) return;
    leftDown_ = false; // the dialog takes the rest of this press
    PressedState pressed(this);
    update();
    QApplication::processEvents(); // paint the pressed look before the dialog opens
    if (!self) return;
    TColor chosen = FColor;
    const bool ok = ExecuteDialog(chosen);
    if (!self) return; // destroyed while its dialog was open
    if (ok) FColor = chosen;
    Changed();
}

void TColrBtn::mouseReleaseEvent(QMouseEvent* event) {
    QPointer<TColrBtn> self(this);
    const bool click =
        leftDown_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    leftDown_ = false;
    emit OnMouseUp(this, event->button(), event->modifiers(), event->position().toPoint());
    if (self && click) emit OnClick(this);
}

void TColrBtn::mouseMoveEvent(QMouseEvent* event) {
    emit OnMouseMove(this, event->modifiers(), event->position().toPoint());
}

bool TColrBtn::ExecuteDialog(TColor& color) {
    if (const ColorDialogHook hook = dialogHook()) return hook(this, color);
    if (!FCdlg) {
        FCdlg = new QColorDialog(this);
        FCdlg->setObjectName("FCdlg");
        // Our own dialog: it goes with the button, should the button be destroyed while it is open.
        FCdlg->setOption(QColorDialog::DontUseNativeDialog);
    }
    FCdlg->setCurrentColor(ToQColor(color));
    QPointer<QColorDialog> dialog = FCdlg;
    const int result = dialog->exec();
    if (!dialog || result != QDialog::Accepted) return false;
    color = FromQColor(dialog->currentColor());
    return true;
}

ScopedColorDialogHook::ScopedColorDialogHook(ColorDialogHook hook) : previous_(dialogHook()) {
    dialogHook() = std::move(hook);
}

ScopedColorDialogHook::~ScopedColorDialogHook() {
    dialogHook() = std::move(previous_);
}
