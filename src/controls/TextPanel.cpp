#include "controls/TextPanel.h"

#include "controls/ControlPaint.h"
#include "controls/QtColors.h"
#include "platform/FastDIBQt.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QTextOption>

TTextPanel::TTextPanel(QWidget* parent) : QWidget(parent) {
    QFont f = QApplication::font(); // the system's UI font stands in for the classic sans serif
    f.setPointSize(8);
    f.setBold(false);
    f.setItalic(false);
    f.setUnderline(false);
    f.setStrikeOut(false);
    setFont(f);
    resize(75, 25);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TTextPanel::SetText(const QString& text) {
    if (text == FText) return;
    FText = text;
    update();
}

void TTextPanel::SetBevelWidth(int value) {
    if (value == FBevelWidth) return;
    if (value < 0 || value > width() / 2 - 5 || value > height() / 2 - 5) return;
    FBevelWidth = value;
    update();
}

void TTextPanel::SetAlignment(TAlignment value) {
    if (value == FAlignment) return;
    FAlignment = value;
    update();
}

void TTextPanel::SetColor(TColor value) {
    if (value == FColor) return;
    FColor = value;
    update();
}

void TTextPanel::SetFontColor(TColor value) {
    if (value == FFontColor) return;
    FFontColor = value;
    update();
}

int TTextPanel::TabStop() const {
    return 8 * QFontMetrics(font()).averageCharWidth();
}

void TTextPanel::paintEvent(QPaintEvent*) {
    const int W = width(), H = height();
    if (W <= 0 || H <= 0) return;
    TFastDIB bm;
    bm.SetSize(W, H, 24, 0);
    FillRect(bm, TRect{0, 0, W, H}, FColor);
    TRect frame{0, 0, W, H};
    Frame3D(bm, frame, clBtnShadow, clBtnHighlight, FBevelWidth);
    {
        // DrawPanelText: a box one text line high, centred vertically, text laid out from its top.
        QImage view = DIBView(bm);
        QPainter p(&view);
        p.setFont(font());
        const int th = QFontMetrics(font()).height();
        const int top = (H - th) / 2;
        const QRect box(2, top, W - 4, th - 1);
        QTextOption option;
        option.setWrapMode(QTextOption::NoWrap);
        option.setTabStopDistance(TabStop());
        const Qt::Alignment h = FAlignment == taLeftJustify    ? Qt::AlignLeft
                                : FAlignment == taRightJustify ? Qt::AlignRight
                                                               : Qt::AlignHCenter;
        option.setAlignment(h | Qt::AlignTop);
        p.setClipRect(box);
        p.setPen(ToQColor(FFontColor));
        p.drawText(QRectF(box), FText, option);
    }
    QPainter screen(this);
    DrawDIB(screen, bm, 0, 0);
}
