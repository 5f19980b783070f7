#include "app/dialogs/GradientDesigner.h"

#include "app/dialogs/DesignerSupport.h"
#include "app/dialogs/MultiGradientModel.h"
#include "app/main/Glyphs.h"
#include "app/main/ZorvTileMain.h"
#include "controls/GradientControl.h"
#include "controls/Label3D.h"
#include "platform/ErrorGuard.h"
#include "platform/MessageBoxes.h"
#include "platform/NumberText.h"

#include <QApplication>
#include <QBoxLayout>
#include <QColorDialog>
#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QShowEvent>
#include <QToolButton>

#include <algorithm>
#include <stdexcept>

TfGradient* fGradient = nullptr;

namespace {

TfGradient::TExecuteHook& executeHook() {
    static TfGradient::TExecuteHook hook;
    return hook;
}
TfGradient::TColorHook& colorHook() {
    static TfGradient::TColorHook hook;
    return hook;
}

// The combo box's items in their order, and the style each stands for.
const struct {
    const char* Item;
    TGradientStyle Style;
} StyleItems[8] = {{"Vertical", gsVertical},       {"VertCenter", gsVertCenter}, {"Horizontal", gsHorizontal},
                   {"HorizCenter", gsHorizCenter}, {"Rectangle", gsRectangle},   {"Elliptic", gsElliptic},
                   {"Radial1", gsRadial1},         {"Radial2", gsRadial2}};

// An embossed caption: black text with a white copy one pixel right and down.
TLbl3D* Caption(QWidget* parent, const char* name, const QString& text) {
    auto* l = new TLbl3D(text, parent);
    l->setObjectName(name);
    l->SetHiliteClr(0xFFFFFF);
    l->SetFontColor(0);
    l->SetTextStyle(tsInset);
    l->SetTransparent(true);
    return l;
}

} // namespace

TfGradient::TfGradient(QWidget* parent) : QDialog(parent) {
    setObjectName("fGradient");
    setWindowTitle("Gradient Designer");
    setWindowFlags(Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint |
                   Qt::WindowCloseButtonHint);
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(2, 2, 2, 2);

    auto* grid = new QGridLayout;
    auto edit = [this](const char* name, const char* text) {
        auto* e = new QLineEdit(text, this);
        e->setObjectName(name);
        e->setMinimumWidth(49);
        return e;
    };
    meWide = edit("meWide", "256");
    meHigh = edit("meHigh", "256");
    cbStyle = new QComboBox(this);
    cbStyle->setObjectName("cbStyle");
    cbStyle->setEditable(true);
    cbStyle->setInsertPolicy(QComboBox::NoInsert);
    for (const auto& s : StyleItems) cbStyle->addItem(s.Item);
    cbStyle->setCurrentIndex(1);
    meAngle = edit("meAngle", "0");
    grid->addWidget(meWide, 0, 0);
    grid->addWidget(meHigh, 0, 1);
    grid->addWidget(cbStyle, 0, 2);
    grid->addWidget(meAngle, 0, 3);
    grid->addWidget(Caption(this, "Label1", "Width"), 1, 0);
    grid->addWidget(Caption(this, "Label2", "Height"), 1, 1);
    grid->addWidget(Caption(this, "Label3", "Gradient Style"), 1, 2);
    grid->addWidget(Caption(this, "Label4", "Angle"), 1, 3);
    grid->setColumnStretch(4, 1); // a wide window keeps the controls at their own size, on the left
    v->addLayout(grid);

    auto* buttons = new QHBoxLayout;
    bFromCl = new QPushButton("From Color...", this);
    bFromCl->setObjectName("bFromCl");
    bFromCl->setToolTip("Set Starting Color");
    bFromCl->setAutoDefault(false);
    bClTo = new QPushButton("To Color...", this);
    bClTo->setObjectName("bClTo");
    bClTo->setToolTip("Set Ending Color");
    bClTo->setAutoDefault(false);
    bPaste = new QToolButton(this);
    bPaste->setObjectName("bPaste");
    bPaste->setToolTip("Paste into Image Now");
    {
        QImage g = PaintGlyphStrip().copy(16 * 8, 0, 16, 16).convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                if ((g.pixel(x, y) & 0xFFFFFF) == 0xC0C0C0) g.setPixel(x, y, 0);
        bPaste->setIcon(QIcon(QPixmap::fromImage(g)));
    }
    bDefault = new QToolButton(this);
    bDefault->setObjectName("bDefault");
    bDefault->setText("D");
    bDefault->setToolTip("Reset to Defaults");
    bOK = new QPushButton("OK", this);
    bOK->setObjectName("bOK");
    bOK->setDefault(true);
    for (QWidget* w : std::initializer_list<QWidget*>{bFromCl, bClTo, bPaste, bDefault, bOK})
        buttons->addWidget(w);
    buttons->addStretch(1);
    v->addLayout(buttons);

    // The gradient at its own size; a gradient larger than the screen scrolls.
    Scroller = new QScrollArea(this);
    Scroller->setObjectName("sbGradient");
    Scroller->setWidgetResizable(false);
    Scroller->setFrameShape(QFrame::NoFrame);
    Scroller->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    zGrad = new TZorvGradient;
    zGrad->setObjectName("zGrad");
    zGrad->SetGradientStyle(gsVertCenter);
    zGrad->resize(256, 256);
    Scroller->setWidget(zGrad);
    v->addWidget(Scroller, 1, Qt::AlignLeft | Qt::AlignTop);

    setTabOrder(meWide, meHigh);
    setTabOrder(meHigh, cbStyle);
    setTabOrder(cbStyle, meAngle);
    setTabOrder(meAngle, bFromCl);
    setTabOrder(bFromCl, bClTo);
    setTabOrder(bClTo, bOK);

    connect(meWide, &QLineEdit::textChanged, this, [this] { Guarded([this] { meWideChange(); }); });
    connect(meHigh, &QLineEdit::textChanged, this, [this] { Guarded([this] { meHighChange(); }); });
    connect(meAngle, &QLineEdit::textChanged, this, [this] { Guarded([this] { meAngleChange(); }); });
    connect(cbStyle, &QComboBox::currentIndexChanged, this, [this] { Guarded([this] { cbStyleChange(); }); });
    connect(bFromCl, &QPushButton::clicked, this, [this] { Guarded([this] { bFromClClick(); }); });
    connect(bClTo, &QPushButton::clicked, this, [this] { Guarded([this] { bClToClick(); }); });
    connect(bPaste, &QToolButton::clicked, this, [this] { Guarded([this] { bPasteClick(); }); });
    connect(bDefault, &QToolButton::clicked, this, [this] { Guarded([this] { bDefaultClick(); }); });
    connect(bOK, &QPushButton::clicked, this, [this] { Guarded([this] { bOkClick(); }); });
    for (QLineEdit* e : {meWide, meHigh, meAngle}) e->installEventFilter(this);
    FitToContents();
}

void TfGradient::FitToContents() {
    // The gradient at its own size when the window then fits the screen, else scrolling inside it.
    FitWindowAroundPicture(*this, *Scroller, zGrad->size());
}

bool TfGradient::eventFilter(QObject* watched, QEvent* event) {
    // Leaving a size or angle edit checks its text; going to OK leaves the check to OK, and losing the
    // focus to another window (the message box among them) checks nothing.
    if (event->type() == QEvent::FocusOut && (watched == meWide || watched == meHigh || watched == meAngle)) {
        const Qt::FocusReason why = static_cast<QFocusEvent*>(event)->reason();
        if (why != Qt::ActiveWindowFocusReason && why != Qt::PopupFocusReason &&
            QApplication::focusWidget() != bOK)
            CheckIntegerEdit(*static_cast<QLineEdit*>(watched));
    }
    return QDialog::eventFilter(watched, event);
}

void TfGradient::SizeGradient(int w, int h) {
    zGrad->resize(w, h);
    FitToContents();
}

void TfGradient::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!e->spontaneous()) Guarded([this] { FormShow(); });
}

void TfGradient::FormShow() {
    // The window shrinks or grows with the gradient.
    FitToContents();
}

// A text that is not (yet) a whole number changes nothing while it is typed; it is refused where the
// value is used. Sizes outside 1..16384 (heights below 2) are ignored, like a too-small height.
void TfGradient::meWideChange() {
    int w = 0;
    if (!TextToInt(meWide->text(), w) || w < 1 || w > MaxGradientSide) return;
    SizeGradient(w, zGrad->height());
}

void TfGradient::meHighChange() {
    int h = 0;
    if (!TextToInt(meHigh->text(), h) || h < 2 || h > MaxGradientSide) return;
    SizeGradient(zGrad->width(), h);
}

void TfGradient::meAngleChange() {
    int a = 0;
    if (TextToInt(meAngle->text(), a)) zGrad->SetStartAngle(a);
}

void TfGradient::cbStyleChange() {
    const int i = cbStyle->currentIndex();
    if (i < 0 || i >= 8) return;
    zGrad->SetGradientStyle(StyleItems[i].Style);
}

void TfGradient::bFromClClick() {
    TColor c = zGrad->BeginColor();
    if (ExecuteColorDialog(c)) zGrad->SetBeginColor(c);
}

void TfGradient::bClToClick() {
    TColor c = zGrad->EndColor();
    if (ExecuteColorDialog(c)) zGrad->SetEndColor(c);
}

void TfGradient::bPasteClick() {
    if (fZorvTile) fZorvTile->PasteToImage1Click();
}

void TfGradient::bDefaultClick() {
    zGrad->SetBeginColor(0x800000);
    zGrad->SetEndColor(0xFFFF00);
    zGrad->SetGradientStyle(gsVertCenter);
    SizeGradient(256, 256);
    zGrad->SetStartAngle(0);
    meWide->setText("256");
    meHigh->setText("256");
    cbStyle->setCurrentIndex(1);
}

void TfGradient::bOkClick() {
    // An edit whose text is no number keeps the dialog open, with the edit ready to correct.
    for (QLineEdit* e : {meWide, meHigh, meAngle})
        if (!CheckIntegerEdit(*e)) {
            e->setFocus(Qt::OtherFocusReason);
            e->selectAll();
            return;
        }
    if (fZorvTile && fZorvTile->imGrad)
        fZorvTile->imGrad->setToolTip(
            QString("W: %1  H: %2 - Dbl Click to Paste into Image").arg(zGrad->width()).arg(zGrad->height()));
    done(mrOk);
}

int TfGradient::Execute() {
    if (executeHook()) return executeHook()(*this);
    return exec() == mrOk ? mrOk : mrCancel;
}

void TfGradient::SetExecuteHook(TExecuteHook hook) {
    executeHook() = std::move(hook);
}

bool TfGradient::ExecuteColorDialog(TColor& c) {
    if (colorHook()) return colorHook()(c);
    const QColor chosen = QColorDialog::getColor(QColor(GetRValue(c), GetGValue(c), GetBValue(c)), this);
    if (!chosen.isValid()) return false;
    c = RGBColor(chosen.red(), chosen.green(), chosen.blue());
    return true;
}

void TfGradient::SetColorDialogHook(TColorHook hook) {
    colorHook() = std::move(hook);
}
