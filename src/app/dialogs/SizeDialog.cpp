#include "app/dialogs/SizeDialog.h"

#include "app/main/ZorvTileMain.h"
#include "platform/ErrorGuard.h"
#include "platform/MessageBoxes.h"
#include "platform/NumberText.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QShowEvent>

#include <algorithm>

TfrmSizer* frmSizer = nullptr;

namespace {
TfrmSizer::TExecuteHook& executeHook() {
    static TfrmSizer::TExecuteHook hook;
    return hook;
}

// The number a digits-only edit holds; false when it holds no digit.
bool editValue(const QLineEdit* e, int& value) {
    return TextToInt(e->text(), value);
}
} // namespace

TfrmSizer::TfrmSizer(QWidget* parent) : QDialog(parent) {
    setObjectName("frmSizer");
    setWindowTitle("Set Size");
    // A dialog border with the help button and no minimise or maximise buttons.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::WindowContextHelpButtonHint);
    auto* outer = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;

    rgSizer = new QGroupBox("Select Size", this);
    rgSizer->setObjectName("rgSizer");
    rgSizerItems = new QButtonGroup(this);
    auto* rl = new QVBoxLayout(rgSizer);
    const char* items[] = {"640 X 480", "800 X 600", "1024 X 768", "Custom..."};
    for (int i = 0; i < 4; ++i) {
        auto* r = new QRadioButton(items[i], rgSizer);
        r->setObjectName(QString("rgSizerItem%1").arg(i));
        rgSizerItems->addButton(r, i);
        rl->addWidget(r);
    }
    rgSizerItems->button(3)->setChecked(true);
    top->addWidget(rgSizer);

    auto* grid = new QGridLayout;
    auto edit = [this](const char* name, int digits) {
        auto* e = new QLineEdit(this);
        e->setObjectName(name);
        e->setMaxLength(digits);
        e->setValidator(
            new QRegularExpressionValidator(QRegularExpression(QString("\\d{0,%1}").arg(digits)), e));
        e->setFixedWidth(fontMetrics().horizontalAdvance("99999") + 16);
        e->installEventFilter(this);
        return e;
    };
    meWidth = edit("meWidth", 4);
    meHeight = edit("meHeight", 4);
    mePctWidth = edit("mePctWidth", 3);
    mePctHeight = edit("mePctHeight", 3);
    mePctWidth->setText("50");
    mePctHeight->setText("50");
    mePctWidth->setEnabled(false);
    mePctHeight->setEnabled(false);
    rbPix = new QRadioButton("Pixels", this);
    rbPix->setObjectName("rbPix");
    rbPct = new QRadioButton("Percent", this);
    rbPct->setObjectName("rbPct");
    rbPix->setChecked(true);
    grid->addWidget(new QLabel("Width", this), 0, 1);
    grid->addWidget(new QLabel("Height", this), 0, 2);
    grid->addWidget(rbPix, 1, 0);
    grid->addWidget(meWidth, 1, 1);
    grid->addWidget(meHeight, 1, 2);
    grid->addWidget(rbPct, 2, 0);
    grid->addWidget(mePctWidth, 2, 1);
    grid->addWidget(mePctHeight, 2, 2);
    Label3 = new QLabel("Current Size:", this);
    Label3->setObjectName("Label3");
    Label4 = new QLabel(this);
    Label4->setObjectName("Label4");
    grid->addWidget(Label3, 3, 0);
    grid->addWidget(Label4, 3, 1, 1, 2);
    top->addLayout(grid);
    outer->addLayout(top);

    auto* buttons = new QHBoxLayout;
    btnOK = new QPushButton("OK", this);
    btnOK->setObjectName("btnOK");
    btnCancel = new QPushButton("Cancel", this);
    btnCancel->setObjectName("btnCancel");
    btnOK->setDefault(true);
    btnCancel->setAutoDefault(false);
    buttons->addStretch(1);
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    outer->addLayout(buttons);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName("PopupMenu1");
    auto item = [this](const char* name, const char* caption, void (TfrmSizer::*cmd)()) {
        QAction* a = PopupMenu1->addAction(caption);
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, [this, cmd] { Guarded([this, cmd] { (this->*cmd)(); }); });
    };
    item("CDFront1", "CD Front 912 x 456", &TfrmSizer::CDFront1Click);
    item("CDBack1", "CD Back 564 x 444", &TfrmSizer::CDBack1Click);
    item("CDFrontHalf1", "CD Front 1/2", &TfrmSizer::CDFrontHalf1Click);
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { PopupMenu1->popup(mapToGlobal(p)); });

    connect(rgSizerItems, &QButtonGroup::idToggled, this, [this](int, bool on) {
        if (on) Guarded([this] { rgSizerClick(); });
    });
    connect(rbPix, &QRadioButton::clicked, this, [this] { Guarded([this] { rbPixClick(); }); });
    connect(rbPct, &QRadioButton::clicked, this, [this] { Guarded([this] { rbPctClick(); }); });
    connect(mePctWidth, &QLineEdit::textEdited, this, [this] { Guarded([this] { mePctWidthChange(); }); });
    connect(mePctHeight, &QLineEdit::textEdited, this, [this] { Guarded([this] { mePctHeightChange(); }); });
    connect(btnOK, &QPushButton::clicked, this, [this] { Guarded([this] { btnOKClick(); }); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { done(mrCancel); });
}

int TfrmSizer::ImageWidth() const {
    return fZorvTile ? fZorvTile->imSine->width() : 0;
}
int TfrmSizer::ImageHeight() const {
    return fZorvTile ? fZorvTile->imSine->height() : 0;
}

int TfrmSizer::ItemIndex() const {
    return rgSizerItems->checkedId();
}

void TfrmSizer::SetItemIndex(int i) {
    if (QAbstractButton* b = rgSizerItems->button(i)) b->setChecked(true);
}

void TfrmSizer::SetPixels(int w, int h) {
    meWidth->setText(QString::number(w));
    meHeight->setText(QString::number(h));
}

int TfrmSizer::FromPercent(const QLineEdit* e, int side, int current) const {
    int pct = 0;
    if (!editValue(e, pct)) return current;
    return std::min<std::int64_t>(static_cast<std::int64_t>(pct) * side / 100, MaxSide);
}

void TfrmSizer::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!e->spontaneous()) Guarded([this] { FormShow(); });
}

bool TfrmSizer::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn &&
        (watched == meWidth || watched == meHeight || watched == mePctWidth || watched == mePctHeight))
        Guarded([this] { meHeightEnter(); });
    if (event->type() == QEvent::FocusOut) {
        if (watched == meWidth) Guarded([this] { meWidthExit(); });
        if (watched == meHeight) Guarded([this] { meHeightExit(); });
        if (watched == mePctWidth) Guarded([this] { mePctWidthExit(); });
        if (watched == mePctHeight) Guarded([this] { mePctHeightExit(); });
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmSizer::FormShow() {
    SetItemIndex(3);
    Label4->setText("Width " + QString::number(ImageWidth()) + "  Height " + QString::number(ImageHeight()));
    if (FirstShow) {
        SetPixels(ImageWidth(), ImageHeight());
        Wide = ImageWidth();
        High = ImageHeight();
        FirstShow = false;
    }
}

void TfrmSizer::rgSizerClick() {
    switch (ItemIndex()) {
    case 0:
        Wide = 640, High = 480;
        break;
    case 1:
        Wide = 800, High = 600;
        break;
    case 2:
        Wide = 1024, High = 768;
        break;
    default:
        Wide = ImageWidth(), High = ImageHeight();
        break;
    }
    SetPixels(Wide, High);
    if (!KeepPct) rbPixClick();
}

void TfrmSizer::meWidthExit() {
    editValue(meWidth, Wide); // no digit: Wide keeps its value
}

void TfrmSizer::meHeightExit() {
    editValue(meHeight, High);
}

void TfrmSizer::meHeightEnter() {
    SetItemIndex(3);
}

void TfrmSizer::rbPixClick() {
    rbPix->setChecked(true);
    mePctWidth->setEnabled(false);
    mePctHeight->setEnabled(false);
}

void TfrmSizer::rbPctClick() {
    rbPct->setChecked(true);
    KeepPct = true;
    SetItemIndex(3);
    KeepPct = false;
    mePctWidth->setEnabled(true);
    mePctHeight->setEnabled(true);
    Wide = FromPercent(mePctWidth, ImageWidth(), Wide);
    High = FromPercent(mePctHeight, ImageHeight(), High);
    SetPixels(Wide, High);
}

void TfrmSizer::mePctWidthChange() {
    Wide = FromPercent(mePctWidth, ImageWidth(), Wide);
    meWidth->setText(QString::number(Wide));
}

void TfrmSizer::mePctHeightChange() {
    High = FromPercent(mePctHeight, ImageHeight(), High);
    meHeight->setText(QString::number(High));
}

void TfrmSizer::mePctWidthExit() {
    Wide = FromPercent(mePctWidth, ImageWidth(), Wide);
}

void TfrmSizer::mePctHeightExit() {
    High = FromPercent(mePctHeight, ImageHeight(), High);
}

void TfrmSizer::ChooseCD(int w, int h) {
    SetItemIndex(3);
    rbPixClick();
    SetPixels(w, h);
    Wide = w;
    High = h;
}

void TfrmSizer::CDFront1Click() {
    ChooseCD(912, 456);
}
void TfrmSizer::CDBack1Click() {
    ChooseCD(564, 444);
}
void TfrmSizer::CDFrontHalf1Click() {
    ChooseCD(456, 456);
}

void TfrmSizer::btnOKClick() {
    // Both values are read before either is stored, so a refused size changes neither.
    int w = Wide, h = High;
    if (rbPct->isChecked()) {
        w = FromPercent(mePctWidth, ImageWidth(), -1);
        h = FromPercent(mePctHeight, ImageHeight(), -1);
    } else if (!editValue(meWidth, w) || !editValue(meHeight, h)) {
        w = -1;
    }
    if (w < 1 || h < 1) {
        ShowMessage("Width and Height must be at least 1.");
        return;
    }
    Wide = std::min(w, MaxSide);
    High = std::min(h, MaxSide);
    SetPixels(Wide, High);
    done(mrOk);
}

int TfrmSizer::Execute() {
    if (executeHook()) return executeHook()(*this);
    return exec() == mrOk ? mrOk : mrCancel;
}

void TfrmSizer::SetExecuteHook(TExecuteHook hook) {
    executeHook() = std::move(hook);
}
