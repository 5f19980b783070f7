#include "app/dialogs/ShapeAdjust.h"

#include "app/main/ZorvTileMain.h"
#include "platform/ErrorGuard.h"
#include "platform/MessageBoxes.h"

#include <QAction>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdlib>

TfAdjust* fAdjust = nullptr;

namespace {

TfAdjust::TExecuteHook& Hook() {
    static TfAdjust::TExecuteHook hook;
    return hook;
}

} // namespace

TfAdjust::TfAdjust(QWidget* parent) : QDialog(parent) {
    setObjectName("fAdjust");
    setWindowTitle("Adjust Size and Location");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    auto* outer = new QVBoxLayout(this);
    // Wide enough for the caption in the title bar.
    setMinimumWidth(fontMetrics().horizontalAdvance(windowTitle() + " - Mozaro") * 5 / 4 + 140);
    auto* grid = new QGridLayout;
    auto spin = [&](QSpinBox*& s, const char* name, const char* label, int min, int row, int col) {
        s = new QSpinBox(this);
        s->setObjectName(name);
        s->setRange(min, MaxSize);
        s->setValue(1);
        grid->addWidget(new QLabel(label, this), row, col);
        grid->addWidget(s, row, col + 1);
    };
    spin(seX, "seX", "X", 0, 0, 0);
    spin(seY, "seY", "Y", 0, 1, 0);
    spin(seW, "seW", "Width", -MaxSize, 0, 2);
    spin(seH, "seH", "Height", -MaxSize, 1, 2);
    outer->addLayout(grid);
    cbCenter = new QCheckBox("Center based on Width", this);
    cbCenter->setObjectName("cbCenter");
    outer->addWidget(cbCenter);
    cbDontShow = new QCheckBox("Do not show this dialog again", this);
    cbDontShow->setObjectName("cbDontShow");
    outer->addWidget(cbDontShow);
    Label5 = new QLabel(
        "This can be set from the main form Option menu 'Show Adjustment Dialog When Drawing' ", this);
    Label5->setObjectName("Label5");
    Label5->setWordWrap(true);
    outer->addWidget(Label5);
    auto* buttons = new QHBoxLayout;
    Button1 = new QPushButton("OK", this);
    Button1->setObjectName("Button1");
    Button1->setDefault(true);
    Button2 = new QPushButton("Cancel", this);
    Button2->setObjectName("Button2");
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    buttons->addStretch();
    outer->addLayout(buttons);
    connect(Button1, &QPushButton::clicked, this, [this] { done(mrOk); });
    connect(Button2, &QPushButton::clicked, this, [this] { done(mrCancel); });

    // Every handler runs inside the guard; an error only stops the preview where it got to.
    connect(seX, &QSpinBox::valueChanged, this, [this] { Guarded([this] { seXChange(); }); });
    connect(seY, &QSpinBox::valueChanged, this, [this] { Guarded([this] { seYChange(); }); });
    connect(seW, &QSpinBox::valueChanged, this, [this] { Guarded([this] { seWChange(); }); });
    connect(seH, &QSpinBox::valueChanged, this, [this] { Guarded([this] { seHChange(); }); });
    connect(cbCenter, &QCheckBox::toggled, this, [this] { Guarded([this] { cbCenterClick(); }); });
    connect(cbDontShow, &QCheckBox::toggled, this, [this] { Guarded([this] { cbDontShowClick(); }); });
}

void TfAdjust::FormCreate() {
    if (fZorvTile && fZorvTile->CenterShapes->isChecked()) cbCenter->setChecked(true);
}

void TfAdjust::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!e->spontaneous()) FormShow();
}

void TfAdjust::hideEvent(QHideEvent* e) {
    QDialog::hideEvent(e);
    if (!e->spontaneous()) FormHide();
}

void TfAdjust::FormShow() {
    AdjustShowing = true;
    // The outline starts where OK would draw the shape now.
    saX = seX->value();
    saY = seY->value();
    szX = saX + seW->value();
    szY = saY + seH->value();
    ShowPreview();
    const bool centre = cbCenter->isChecked();
    seX->setEnabled(!centre);
    seY->setEnabled(!centre);
    seH->setEnabled(!centre);
    if (centre) Centre();
}

void TfAdjust::FormHide() {
    AdjustShowing = false;
}

void TfAdjust::Centre() {
    if (!fZorvTile) return;
    // A circle or square of side seW, centred by the image width for both X and Y.
    seX->setValue((fZorvTile->imSine->width() - seW->value()) / 2);
    seY->setValue(seX->value());
    seH->setValue(seW->value());
}

void TfAdjust::cbCenterClick() {
    const bool centre = cbCenter->isChecked();
    if (fZorvTile) fZorvTile->CenterShapes->setChecked(centre);
    seX->setEnabled(!centre);
    seY->setEnabled(!centre);
    seH->setEnabled(!centre);
    if (centre) Centre();
}

void TfAdjust::cbDontShowClick() {
    if (fZorvTile) fZorvTile->ShowAdj->setChecked(!cbDontShow->isChecked());
}

void TfAdjust::ShowPreview() {
    if (!AdjustShowing || !fZorvTile) return;
    const TBandShape shape = fZorvTile->Tool == TDrawTool::dtRectangle ? TBandShape::Rectangle
                             : fZorvTile->Tool == TDrawTool::dtEllipse ? TBandShape::Ellipse
                                                                       : TBandShape::None;
    // The overlay replaces the outline in one step, however many values a change touched.
    fZorvTile->imSine->SetBand({shape, {saX, saY}, {szX, szY}, fZorvTile->PenWidth});
}

void TfAdjust::seXChange() {
    saX = seX->value();
    szX = seX->value() + seW->value();
    ShowPreview();
}

void TfAdjust::seYChange() {
    saY = seY->value();
    szY = seY->value() + seH->value();
    ShowPreview();
}

void TfAdjust::seWChange() {
    if (cbCenter->isChecked()) Centre();
    szX = saX + seW->value();
    ShowPreview();
}

void TfAdjust::seHChange() {
    szY = saY + seH->value();
    ShowPreview();
}

bool TfAdjust::AdjustShape() {
    TfZorvTile& w = *fZorvTile;
    // Set while not shown: these changes draw nothing.
    AdjustShowing = false;
    seX->setValue(std::min(w.aX, w.zX));
    seY->setValue(std::min(w.aY, w.zY));
    seW->setValue(std::abs(w.zX - w.aX));
    seH->setValue(std::abs(w.zY - w.aY));
    if (Execute() != mrOk) return false;
    // Left and top first, whatever the sign of the size.
    const int x = seX->value(), y = seY->value(), wd = seW->value(), ht = seH->value();
    w.aX = std::min(x, x + wd);
    w.zX = std::max(x, x + wd);
    w.aY = std::min(y, y + ht);
    w.zY = std::max(y, y + ht);
    return true;
}

int TfAdjust::Execute() {
    if (!Hook()) return exec() == mrOk ? mrOk : mrCancel;
    FormShow();
    const int r = Hook()(*this);
    FormHide();
    return r == mrOk ? mrOk : mrCancel;
}

void TfAdjust::SetExecuteHook(TExecuteHook hook) {
    Hook() = std::move(hook);
}
