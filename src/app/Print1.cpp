// The print options dialog and the printing helpers.
#include "app/Print1.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

TfPrint* fPrint = nullptr;

PrintOptionGroup::PrintOptionGroup(const QString& caption, const QStringList& items, QWidget* parent)
    : QGroupBox(caption, parent) {
    auto* column = new QVBoxLayout(this);
    auto* group = new QButtonGroup(this);
    for (const QString& text : items) {
        auto* b = new QRadioButton(text, this);
        group->addButton(b, static_cast<int>(items_.size()));
        column->addWidget(b);
        items_.push_back(b);
    }
    connect(group, &QButtonGroup::idClicked, this, &PrintOptionGroup::clicked);
}

int PrintOptionGroup::ItemIndex() const {
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (items_[i]->isChecked()) return static_cast<int>(i);
    return -1;
}

void PrintOptionGroup::SetItemIndex(int index) {
    if (index >= 0 && index < Count()) items_[static_cast<std::size_t>(index)]->setChecked(true);
}

QRadioButton* PrintOptionGroup::Item(int index) const {
    return items_.at(static_cast<std::size_t>(index));
}
int PrintOptionGroup::Count() const {
    return static_cast<int>(items_.size());
}

struct TfPrint::Setup {};

TfPrint::TfPrint(QWidget* parent) : QDialog(parent), setup_(std::make_unique<Setup>()) {
    setObjectName(QStringLiteral("fPrint"));
    setWindowTitle(QStringLiteral("Print Options"));
}

TfPrint::~TfPrint() = default;

void TfPrint::FormCreate() {}
void TfPrint::FormShow() {}
void TfPrint::rgSizeClick() {}
void TfPrint::eWideExit() {}
void TfPrint::eHighExit() {}
void TfPrint::CDJacketFront1Click() {}
void TfPrint::CDJacketBack1Click() {}
void TfPrint::sbPrintClick() {}
void TfPrint::SpeedButton1Click() {}
int TfPrint::Execute() {
    return exec();
}
void TfPrint::ApplySetup(QPrinter&) const {}
void TfPrint::SetExecHook(ExecHook) {}
void TfPrint::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
}
void TfPrint::contextMenuEvent(QContextMenuEvent* event) {
    QDialog::contextMenuEvent(event);
}
void TfPrint::showSizeControls() {}
