#include "app/dialogs/GradientPointOptions.h"

#include "app/dialogs/MultiGradientModel.h"
#include "controls/ColourButton.h"
#include "platform/ErrorGuard.h"
#include "platform/MessageBoxes.h"

#include <QBoxLayout>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>

#include <climits>

TfMultOpt* fMultOpt = nullptr;

namespace {
TfMultOpt::TExecuteHook& executeHook() {
    static TfMultOpt::TExecuteHook hook;
    return hook;
}
} // namespace

TfMultOpt::TfMultOpt(QWidget* parent) : QDialog(parent) {
    setObjectName("fMultOpt");
    setWindowTitle("Gradient Point Options");
    auto* v = new QVBoxLayout(this);

    auto* place = new QHBoxLayout;
    Label1 = new QLabel("Left", this);
    Label1->setObjectName("Label1");
    seLeft = new QSpinBox(this);
    seLeft->setObjectName("seLeft");
    seLeft->setRange(INT_MIN, INT_MAX);
    place->addWidget(Label1);
    place->addWidget(seLeft, 1);
    GroupBox1 = new QGroupBox(this);
    GroupBox1->setObjectName("GroupBox1");
    auto* modes = new QHBoxLayout(GroupBox1);
    rbPix = new QRadioButton("Pixels", GroupBox1);
    rbPix->setObjectName("rbPix");
    rbPix->setChecked(true);
    rbPct = new QRadioButton("Percent", GroupBox1);
    rbPct->setObjectName("rbPct");
    modes->addWidget(rbPix);
    modes->addWidget(rbPct);
    place->addWidget(GroupBox1);
    v->addLayout(place);

    auto* colour = new QHBoxLayout;
    bColor = new TColrBtn(this);
    bColor->setObjectName("bColor");
    bColor->SetCaption("Choose Color");
    colour->addWidget(bColor);
    auto* grid = new QGridLayout;
    auto spin = [this, grid](const char* name, const char* label, int row) {
        auto* l = new QLabel(label, this);
        auto* s = new QSpinBox(this);
        s->setObjectName(name);
        s->setRange(0, 255);
        s->installEventFilter(this);
        grid->addWidget(l, row, 0);
        grid->addWidget(s, row, 1);
        return s;
    };
    seRed = spin("seRed", "R:", 0);
    seGreen = spin("seGreen", "G:", 1);
    seBlue = spin("seBlue", "B:", 2);
    colour->addLayout(grid);
    v->addLayout(colour);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    bOK = new QPushButton("OK", this);
    bOK->setObjectName("bOK");
    bOK->setDefault(true);
    bCancel = new QPushButton("Cancel", this);
    bCancel->setObjectName("bCancel");
    buttons->addWidget(bOK);
    buttons->addWidget(bCancel);
    v->addLayout(buttons);

    connect(bOK, &QPushButton::clicked, this, [this] { done(mrOk); });
    connect(bCancel, &QPushButton::clicked, this, [this] { done(mrCancel); });
    connect(rbPix, &QRadioButton::clicked, this, [this] { Guarded([this] { rbPixClick(); }); });
    connect(rbPct, &QRadioButton::clicked, this, [this] { Guarded([this] { rbPctClick(); }); });
    connect(seLeft, &QSpinBox::valueChanged, this, [this] { Guarded([this] { seLeftChange(); }); });
    for (QSpinBox* s : {seRed, seGreen, seBlue})
        connect(s, &QSpinBox::valueChanged, this, [this] { Guarded([this] { seChange(); }); });
    connect(bColor, &TColrBtn::OnMouseDown, this, [this] { bColorMouseDown(); });
    connect(bColor, &TColrBtn::OnChanged, this, [this] { Guarded([this] { bColorChanged(); }); });
}

void TfMultOpt::FormCreate() {
    bFlag = false;
}

bool TfMultOpt::eventFilter(QObject* watched, QEvent* event) {
    // A click into a spin edit makes the typed values the colour's source again.
    if (event->type() == QEvent::MouseButtonPress &&
        (watched == seRed || watched == seGreen || watched == seBlue))
        bFlag = false;
    return QDialog::eventFilter(watched, event);
}

void TfMultOpt::bColorMouseDown() {
    bFlag = true;
}

void TfMultOpt::bColorChanged() {
    if (bFlag) ShowColour(bColor->Color());
}

void TfMultOpt::seChange() {
    if (Showing) return;
    // The user typed a value: it wins over the button's colour from now on.
    bFlag = false;
    bColor->SetColor(RGBColor(seRed->value(), seGreen->value(), seBlue->value()));
}

void TfMultOpt::ShowColour(TColor c) {
    Showing = true;
    seRed->setValue(GetRValue(c));
    seGreen->setValue(GetGValue(c));
    seBlue->setValue(GetBValue(c));
    Showing = false;
}

void TfMultOpt::ShowLeft(int v) {
    const QSignalBlocker block(seLeft);
    seLeft->setValue(v);
}

// Switching the unit shows the same stop in the other unit; it never moves the stop.
void TfMultOpt::rbPixClick() {
    ShowLeft(pixLeft);
}

void TfMultOpt::rbPctClick() {
    ShowLeft(pctLeft);
}

void TfMultOpt::seLeftChange() {
    const bool pixels = !rbPct->isChecked();
    const TPointPosition p =
        pixels ? PointFromPixels(seLeft->value(), gWidth) : PointFromPercent(seLeft->value(), gWidth);
    pixLeft = p.PixLeft;
    pctLeft = p.PctLeft;
    // The clamped value is shown without computing the other unit again from it.
    if (p.Clamped) ShowLeft(pixels ? pixLeft : pctLeft);
}

void TfMultOpt::Prepare(int pos, int axisLength, bool vert, TColor c) {
    gWidth = axisLength < 1 ? 1 : axisLength;
    pixLeft = pos;
    Label1->setText(vert ? "Left" : "Top");
    pctLeft = PercentOfAxis(pos, gWidth);
    ShowLeft(rbPct->isChecked() ? pctLeft : pixLeft);
    ShowColour(c);
    bColor->SetColor(c);
}

TColor TfMultOpt::ChosenColor() const {
    return bColor->Color();
}

int TfMultOpt::Execute() {
    if (executeHook()) return executeHook()(*this);
    return exec() == mrOk ? mrOk : mrCancel;
}

void TfMultOpt::SetExecuteHook(TExecuteHook hook) {
    executeHook() = std::move(hook);
}
