#include "app/dialogs/FilterDesigner.h"

#include "app/main/SettingsFile.h"
#include "app/main/ZorvTileMain.h"
#include "platform/IniFile.h"
#include "platform/MessageBoxes.h"
#include "platform/NumberText.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <stdexcept>

TfFilter* fFilter = nullptr;

namespace {

TfFilter::TExecuteHook& executeHook() {
    static TfFilter::TExecuteHook hook;
    return hook;
}

const char* const EditNames[10] = {"e1", "e2", "e3", "e4", "e5", "e6", "e7", "e8", "e9", "eDiv"};
const char* const InitialTexts[10] = {"2", "1", "1", "1", "-3", "-1", "1", "-1", "-1", "1"};

} // namespace

TfFilter::TfFilter(QWidget* parent) : QDialog(parent) {
    setObjectName("fFilter");
    setWindowTitle("Create-A-Filter");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    QLineEdit** edits[10] = {&e1, &e2, &e3, &e4, &e5, &e6, &e7, &e8, &e9, &eDiv};
    for (int i = 0; i < 10; ++i) {
        auto* e = new QLineEdit(InitialTexts[i], this);
        e->setObjectName(EditNames[i]);
        e->setAlignment(Qt::AlignRight);
        // The grid: columns at x 32, 64, 96, rows at y 24, 48, 72; the divisor right of it.
        if (i < 9)
            e->setGeometry(32 + 32 * (i % 3), 24 + 24 * (i / 3), 30, 22);
        else
            e->setGeometry(144, 48, 40, 22);
        *edits[i] = e;
    }
    auto* divCaption = new QLabel("Divisor", this);
    divCaption->setGeometry(140, 28, 60, 18);

    Label1 =
        new QLabel("3 x 3 Convolution filter.  Each box represents a pixel, except the one on the right, "
                   "which is used as a divisor.  Each pixels color value is multiplied by the specified "
                   "value, summed, then divided by the divisor. (Don't use 0)",
                   this);
    Label1->setObjectName("Label1");
    Label1->setWordWrap(true);
    Label1->setGeometry(212, 16, 220, 112);
    Label2 = new QLabel("Negative numbers are allowed, but not real numbers.", this);
    Label2->setObjectName("Label2");
    Label2->setWordWrap(true);
    Label2->setGeometry(24, 108, 180, 36);

    BitBtn1 = new QPushButton("OK", this);
    BitBtn1->setObjectName("BitBtn1");
    BitBtn1->setDefault(true);
    BitBtn1->setGeometry(264, 140, 80, 26);
    BitBtn2 = new QPushButton("Cancel", this);
    BitBtn2->setObjectName("BitBtn2");
    BitBtn2->setGeometry(352, 140, 80, 26);
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { done(mrCancel); });
    setFixedSize(448, 178);
}

TfFilter::~TfFilter() {
    FormDestroy();
}

void TfFilter::FormCreate() {
    if (!fZorvTile) return;
    const IniFile ini(SettingsPath(fZorvTile->INIDir));
    if (!SettingsGateOpen(ini)) return;
    QLineEdit* edits[10] = {e1, e2, e3, e4, e5, e6, e7, e8, e9, eDiv};
    for (int i = 0; i < 10; ++i) edits[i]->setText(ini.ReadString("Filter", EditNames[i], InitialTexts[i]));
}

void TfFilter::FormDestroy() {
    if (Destroyed) return;
    Destroyed = true;
    if (!fZorvTile) return;
    QString texts[10];
    const QLineEdit* edits[10] = {e1, e2, e3, e4, e5, e6, e7, e8, e9, eDiv};
    for (int i = 0; i < 10; ++i) texts[i] = edits[i]->text();
    WriteSettings(SettingsPath(fZorvTile->INIDir), [&](IniFile& ini) {
        for (int i = 0; i < 10; ++i) ini.WriteString("Filter", EditNames[i], texts[i]);
    });
}

TfFilter::TEntries TfFilter::Entries() const {
    TEntries r;
    QLineEdit* const edits[10] = {e1, e2, e3, e4, e5, e6, e7, e8, e9, eDiv};
    int divisor = 0;
    for (int i = 0; i < 10; ++i) {
        try {
            (i < 9 ? r.Kernel[static_cast<std::size_t>(i)] : divisor) = StrToInt(edits[i]->text());
        } catch (const std::runtime_error& e) { // the conversion's own message
            r.Refusal = QString::fromStdString(e.what());
            r.Bad = edits[i];
            return r;
        }
    }
    r.Divisor = static_cast<std::uint16_t>(static_cast<unsigned>(divisor) & 0xFFFFu);
    if (r.Divisor == 0) {
        r.Refusal = "The divisor cannot be 0 or a multiple of 65536 (Range: 1 - 65535, or a negative number "
                    "down to -65535).";
        r.Bad = eDiv;
    }
    return r;
}

void TfFilter::BitBtn1Click() {
    const TEntries entries = Entries();
    if (entries.Refusal.isEmpty()) {
        done(mrOk);
        return;
    }
    ShowMessage(entries.Refusal);
    entries.Bad->setFocus();
    entries.Bad->selectAll();
}

int TfFilter::Execute() {
    if (executeHook()) return executeHook()(*this);
    // Over the middle of the main window rather than wherever the screen's middle falls.
    if (fZorvTile && fZorvTile->isVisible()) move(fZorvTile->frameGeometry().center() - rect().center());
    return exec() == mrOk ? mrOk : mrCancel;
}

void TfFilter::SetExecuteHook(TExecuteHook hook) {
    executeHook() = std::move(hook);
}
