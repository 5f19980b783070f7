#include "app/dialogs/JpegQuality.h"

#include "app/main/SettingsFile.h"
#include "app/main/ZorvTileMain.h"
#include "platform/ErrorGuard.h"
#include "platform/IniFile.h"
#include "platform/MessageBoxes.h"

#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

#include <stdexcept>

TfJPGComp* fJPGComp = nullptr;

namespace {
TfJPGComp::TExecuteHook& executeHook() {
    static TfJPGComp::TExecuteHook hook;
    return hook;
}
} // namespace

TfJPGComp::TfJPGComp(QWidget* parent) : QDialog(parent) {
    setObjectName("fJPGComp");
    setWindowTitle("Set JPG Compression Quality");
    auto* v = new QVBoxLayout(this);
    auto* text =
        new QLabel("JPG Compression Quality is a factor in the size of the saved *.jpg file.  A smaller "
                   "number will produce a much smaller file, but at the expense of picture clarity, "
                   "color sharpness, and details.",
                   this);
    text->setObjectName("Label1");
    text->setWordWrap(true);
    v->addWidget(text);

    auto* row = new QHBoxLayout;
    eCVal = new QLineEdit("90", this);
    eCVal->setObjectName("eCVal");
    eCVal->setFixedWidth(48);
    sbCVal = new QScrollBar(Qt::Horizontal, this);
    sbCVal->setObjectName("sbCVal");
    sbCVal->setRange(0, 100);
    sbCVal->setPageStep(10);
    sbCVal->setValue(90);
    row->addWidget(eCVal);
    row->addWidget(sbCVal, 1);
    v->addLayout(row);

    auto* buttons = new QHBoxLayout;
    auto button = [&](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        buttons->addWidget(b);
        return b;
    };
    Button1 = button("Button1", "Default");
    buttons->addStretch(1);
    BitBtn1 = button("BitBtn1", "OK");
    BitBtn2 = button("BitBtn2", "Cancel");
    BitBtn1->setDefault(true);
    v->addLayout(buttons);

    connect(eCVal, &QLineEdit::textChanged, this, [this] { Guarded([this] { eCValChange(); }); });
    connect(sbCVal, &QScrollBar::valueChanged, this, [this] { Guarded([this] { sbCValChange(); }); });
    connect(Button1, &QPushButton::clicked, this, [this] { Guarded([this] { Button1Click(); }); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { Guarded([this] { BitBtn1Click(); }); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { Guarded([this] { BitBtn2Click(); }); });
    resize(330, 150);
}

TfJPGComp::~TfJPGComp() {
    FormDestroy();
}

void TfJPGComp::FormCreate() {
    myval = 90;
    if (!fZorvTile) return;
    const IniFile ini(SettingsPath(fZorvTile->INIDir));
    if (!SettingsGateOpen(ini)) return;
    const QString stored = ini.ReadString("MainForm", "JPGComp", "90");
    // A stored text that is not a number would raise at every start; the dialog keeps its default.
    bool ok = false;
    stored.trimmed().toInt(&ok);
    if (!ok) return;
    eCVal->setText(stored);
    // The stored quality is the accepted one: Cancel returns to it and saving uses it.
    myval = sbCVal->value();
    fZorvTile->jcv = myval;
}

void TfJPGComp::FormDestroy() {
    if (Destroyed) return;
    Destroyed = true;
    if (!fZorvTile) return;
    const QString text = eCVal->text();
    WriteSettings(SettingsPath(fZorvTile->INIDir),
                  [&](IniFile& ini) { ini.WriteString("MainForm", "JPGComp", text); });
}

void TfJPGComp::eCValChange() {
    const QString text = eCVal->text();
    if (text.isEmpty()) return;
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok) throw std::runtime_error(QString("'%1' is not a valid integer value").arg(text).toStdString());
    if (value < 0) {
        eCVal->setText("0"); // runs this handler again with the corrected text
        return;
    }
    if (value > 100) {
        eCVal->setText("100");
        return;
    }
    sbCVal->setValue(value);
}

void TfJPGComp::sbCValChange() {
    eCVal->setText(QString::number(sbCVal->value()));
}

void TfJPGComp::Button1Click() {
    eCVal->setText("90");
}

void TfJPGComp::BitBtn1Click() {
    myval = sbCVal->value();
    done(mrOk);
}

void TfJPGComp::BitBtn2Click() {
    sbCVal->setValue(myval);
    done(mrCancel);
}

int TfJPGComp::Execute() {
    if (executeHook()) return executeHook()(*this);
    // Closing the window with its close box counts as Cancel, as the Cancel button.
    const int r = exec();
    if (r != mrOk && r != mrCancel) BitBtn2Click();
    return r == mrOk ? mrOk : mrCancel;
}

void TfJPGComp::SetExecuteHook(TExecuteHook hook) {
    executeHook() = std::move(hook);
}
