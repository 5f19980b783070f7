#include "controls/Label3D.h"

#include "controls/QtColors.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

TLbl3D::TLbl3D(QWidget* parent) : QLabel(parent) {
    setAlignment(Qt::AlignCenter);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

TLbl3D::TLbl3D(const QString& caption, QWidget* parent) : TLbl3D(parent) {
    SetCaption(caption);
}

void TLbl3D::SetCaption(const QString& caption) {
    setText(caption);
    updateGeometry();
    if (FAutoSize) adjustSize(); // a layout, where there is one, still has the last word
}

void TLbl3D::SetAutoSize(bool value) {
    if (value == FAutoSize) return;
    FAutoSize = value;
    if (FAutoSize) adjustSize();
}

QSize TLbl3D::sizeHint() const {
    const QFontMetrics fm(font());
    return QSize(fm.horizontalAdvance(text()) + 2, fm.height() + 2);
}

void TLbl3D::SetTextStyle(TTextStyle value) {
    if (value == FTextStyle) return;
    FTextStyle = value;
    update();
}

void TLbl3D::SetShadeType(TShadeType value) {
    if (value == FShadeType) return;
    FShadeType = value;
    update();
}

void TLbl3D::SetHiliteClr(TColor value) {
    if (value == FHiLiteClr) return;
    FHiLiteClr = value;
    update();
}

void TLbl3D::SetShadowClr(TColor value) {
    if (value == FShadowClr) return;
    FShadowClr = value;
    update();
}

void TLbl3D::SetColor(TColor value) {
    // Choosing a colour of its own ends taking the parent's, as a label does.
    FParentColor = false;
    if (value == FColor) {
        update();
        return;
    }
    FColor = value;
    update();
}

void TLbl3D::SetParentColor(bool value) {
    if (value == FParentColor) return;
    FParentColor = value;
    update();
}

void TLbl3D::SetTransparent(bool value) {
    if (value == FTransparent) return;
    FTransparent = value;
    setAttribute(Qt::WA_OpaquePaintEvent, !value);
    update();
}

void TLbl3D::SetFontColor(TColor value) {
    if (value == FFontColor) return;
    FFontColor = value;
    update();
}

QPoint TLbl3D::TextOrigin() const {
    const QFontMetrics fm(font());
    return QPoint((width() - fm.horizontalAdvance(text())) / 2, (height() - fm.height()) / 2);
}

void TLbl3D::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (!FTransparent) {
        QColor back = ToQColor(FColor);
        if (FParentColor && parentWidget())
            back = parentWidget()->palette().color(parentWidget()->backgroundRole());
        p.fillRect(rect(), back);
    }
    p.setFont(font());
    const QPoint at = TextOrigin();
    switch (FTextStyle) {
    case tsNormal:
        DrawNormal(p, at);
        break;
    case tsRaised:
        DrawRaised(p, at);
        break;
    case tsInset:
        DrawInset(p, at);
        break;
    }
}

namespace {

// TextOut at (x, y): the caption's cell with its top-left corner there; '&' is drawn as it stands.
void textOut(QPainter& p, int x, int y, const QString& text, TColor c) {
    const QFontMetrics fm(p.font());
    p.setPen(ToQColor(c));
    p.drawText(x, y + fm.ascent(), text);
}

} // namespace

void TLbl3D::DrawNormal(QPainter& p, QPoint at) {
    textOut(p, at.x(), at.y(), text(), FFontColor);
}

void TLbl3D::DrawRaised(QPainter& p, QPoint at) {
    textOut(p, at.x() - 1, at.y() - 1, text(), FHiLiteClr);
    if (FShadeType == stHeavy) textOut(p, at.x() + 1, at.y() + 1, text(), FShadowClr);
    textOut(p, at.x(), at.y(), text(), FFontColor);
}

void TLbl3D::DrawInset(QPainter& p, QPoint at) {
    if (FShadeType == stHeavy) textOut(p, at.x() - 1, at.y() - 1, text(), FShadowClr);
    textOut(p, at.x() + 1, at.y() + 1, text(), FHiLiteClr);
    textOut(p, at.x(), at.y(), text(), FFontColor);
}

void TLbl3D::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) leftDown_ = true;
    QLabel::mousePressEvent(event);
}

void TLbl3D::mouseReleaseEvent(QMouseEvent* event) {
    const bool click =
        leftDown_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    leftDown_ = false;
    QPointer<TLbl3D> self(this);
    QLabel::mouseReleaseEvent(event);
    if (self && click) emit OnClick(this);
}

void TLbl3D::mouseDoubleClickEvent(QMouseEvent* event) {
    QPointer<TLbl3D> self(this);
    QLabel::mouseDoubleClickEvent(event);
    if (self && event->button() == Qt::LeftButton) emit OnDblClick(this);
}
