#include "app/dialogs/SelectionAction.h"

#include "platform/MessageBoxes.h"
#include "platform/NumberText.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include <algorithm>

TfSelect* fSelect = nullptr;

namespace {

TfSelect::TExecuteHook& Hook() {
    static TfSelect::TExecuteHook hook;
    return hook;
}

int FieldValue(const QLineEdit* e) {
    int v = 0;
    return TextToInt(e->text(), v) ? v : 0;
}

} // namespace

TfSelect::TfSelect(QWidget* parent) : QDialog(parent) {
    setObjectName("fSelect");
    setWindowTitle("Selection Action");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    auto* outer = new QVBoxLayout(this);
    // Wide enough for the caption in the title bar.
    setMinimumWidth(fontMetrics().horizontalAdvance(windowTitle() + " - Mozaro") * 5 / 4 + 140);

    auto* buttons = new QHBoxLayout;
    auto button = [&](QPushButton*& b, const char* name, const char* text, int result) {
        b = new QPushButton(text, this);
        b->setObjectName(name);
        connect(b, &QPushButton::clicked, this, [this, result] { done(result); });
    };
    button(bCopy2, "bCopy2", "Copy to Clipboard", mrOk);
    button(bCopyBufr2, "bCopyBufr2", "Copy to Buffer", mrNo);
    button(bCrop2, "bCrop2", "Crop to Selection", mrYes);
    button(bCancel2, "bCancel2", "Cancel", mrCancel);
    buttons->addWidget(bCopy2);
    buttons->addWidget(bCopyBufr2);
    buttons->addWidget(bCrop2);
    outer->addLayout(buttons);
    outer->addWidget(bCancel2, 0, Qt::AlignHCenter);

    auto* box = new QGroupBox("Modify Location and Size", this);
    auto* grid = new QGridLayout(box);
    // Up to four digits, nothing else.
    auto* digits = new QRegularExpressionValidator(QRegularExpression("[0-9]{0,4}"), this);
    auto field = [&](QLineEdit*& e, const char* name, const char* label, int row, int col) {
        e = new QLineEdit(box);
        e->setObjectName(name);
        e->setValidator(digits);
        e->setMaxLength(4);
        e->setFixedWidth(e->fontMetrics().horizontalAdvance("00000") + 12);
        grid->addWidget(new QLabel(label, box), row, col);
        grid->addWidget(e, row, col + 1);
    };
    field(meX, "meX", "X -(Left)", 0, 0);
    field(meY, "meY", "Y - (Top)", 1, 0);
    field(meWidth, "meWidth", "Width", 0, 2);
    field(meHeight, "meHeight", "Height", 1, 2);
    outer->addWidget(box);
    bCopy2->setDefault(true);
}

QRect TfSelect::Selection() const {
    return QRect(FieldValue(meX), FieldValue(meY), FieldValue(meWidth), FieldValue(meHeight));
}

void TfSelect::SetSelection(const QRect& r) {
    auto put = [](QLineEdit* e, int v) { e->setText(QString::number(std::clamp(v, 0, 9999))); };
    put(meX, r.x());
    put(meY, r.y());
    put(meWidth, r.width());
    put(meHeight, r.height());
}

int TfSelect::Execute() {
    int r = Hook() ? Hook()(*this) : exec();
    return r == mrOk || r == mrNo || r == mrYes ? r : mrCancel;
}

void TfSelect::SetExecuteHook(TExecuteHook hook) {
    Hook() = std::move(hook);
}
