#include "app/dialogs/TransparentPaste.h"

#include "app/main/ZorvTileMain.h"
#include "platform/ErrorGuard.h"
#include "platform/MessageBoxes.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QColorDialog>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>

TfTrans* fTrans = nullptr;

namespace {
TfTrans::TExecuteHook& executeHook() {
    static TfTrans::TExecuteHook hook;
    return hook;
}
TfTrans::TColorHook& colorHook() {
    static TfTrans::TColorHook hook;
    return hook;
}
} // namespace

TfTrans::TfTrans(QWidget* parent) : QDialog(parent) {
    setObjectName("fTrans");
    setWindowTitle("Transparent Paste Options");
    auto* v = new QVBoxLayout(this);
    cbReSize = new QCheckBox("ReSize Clipboard Image before paste", this);
    cbReSize->setObjectName("cbReSize");
    cbReSize->setChecked(true);
    v->addWidget(cbReSize);
    rbNorm = new QRadioButton("Normal (Lower left pixel is transparent color)", this);
    rbNorm->setObjectName("rbNorm");
    rbNorm->setChecked(true);
    rbPen = new QRadioButton("Use Pen Color for transparent color", this);
    rbPen->setObjectName("rbPen");
    rbCustom = new QRadioButton("Custom Color...", this);
    rbCustom->setObjectName("rbCustom");
    v->addWidget(rbNorm);
    v->addWidget(rbPen);
    v->addWidget(rbCustom);

    auto* swatchRow = new QHBoxLayout;
    Shape1 = new QFrame(this);
    Shape1->setObjectName("Shape1");
    Shape1->setFixedSize(33, 33);
    Shape1->setFrameShape(QFrame::Box);
    Shape1->setAutoFillBackground(true);
    Shape1->setCursor(Qt::PointingHandCursor);
    Shape1->installEventFilter(this);
    auto* label = new QLabel("Transparent Color", this);
    label->setObjectName("Label1");
    swatchRow->addWidget(Shape1);
    swatchRow->addWidget(label, 1);
    v->addLayout(swatchRow);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    BitBtn1 = new QPushButton("OK", this);
    BitBtn1->setObjectName("BitBtn1");
    BitBtn1->setDefault(true);
    BitBtn2 = new QPushButton("Cancel", this);
    BitBtn2->setObjectName("BitBtn2");
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    v->addLayout(buttons);

    connect(rbNorm, &QRadioButton::clicked, this, [this] { Guarded([this] { rbNormClick(); }); });
    connect(rbPen, &QRadioButton::clicked, this, [this] { Guarded([this] { rbPenClick(); }); });
    connect(rbCustom, &QRadioButton::clicked, this, [this] { Guarded([this] { rbCustomClick(); }); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { done(mrOk); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { done(mrCancel); });
    SetShape1Color(0);
}

void TfTrans::SetShape1Color(TColor c) {
    ShapeColor = c & 0xFFFFFF;
    QPalette pal = Shape1->palette();
    pal.setColor(QPalette::Window, QColor(GetRValue(c), GetGValue(c), GetBValue(c)));
    Shape1->setPalette(pal);
    Shape1->update();
}

void TfTrans::rbNormClick() {
    if (fZorvTile) SetShape1Color(fZorvTile->AColor);
}

void TfTrans::rbPenClick() {
    if (fZorvTile) SetShape1Color(fZorvTile->ToolBoxPenColor());
}

void TfTrans::rbCustomClick() {
    SetShape1Color(ColorDialog1Color);
}

void TfTrans::Shape1MouseDown() {
    if (!rbCustom->isChecked()) return;
    TColor c = ColorDialog1Color;
    if (ExecuteColorDialog(c)) {
        ColorDialog1Color = c;
        SetShape1Color(c);
    }
}

bool TfTrans::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Shape1 && event->type() == QEvent::MouseButtonPress) {
        Guarded([this] { Shape1MouseDown(); });
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

int TfTrans::Execute() {
    if (executeHook()) return executeHook()(*this);
    return exec() == mrOk ? mrOk : mrCancel;
}

void TfTrans::SetExecuteHook(TExecuteHook hook) {
    executeHook() = std::move(hook);
}

bool TfTrans::ExecuteColorDialog(TColor& c) {
    if (colorHook()) return colorHook()(c);
    const QColor chosen = QColorDialog::getColor(QColor(GetRValue(c), GetGValue(c), GetBValue(c)), this);
    if (!chosen.isValid()) return false;
    c = RGBColor(chosen.red(), chosen.green(), chosen.blue());
    return true;
}

void TfTrans::SetColorDialogHook(TColorHook hook) {
    colorHook() = std::move(hook);
}
