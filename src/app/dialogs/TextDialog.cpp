#include "app/dialogs/TextDialog.h"

#include "controls/ColourButton.h"
#include "controls/TextPanel.h"
#include "platform/ErrorGuard.h"
#include "platform/MessageBoxes.h"
#include "platform/NumberText.h"

#include <QApplication>
#include <QButtonGroup>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTextOption>
#include <QVBoxLayout>

#include <algorithm>
#include <tuple>
#include <utility>

TfText* fText = nullptr;

const int TfText::Sizes[54] = {2,  4,  6,  8,   9,   10,  11,  12,  14,  16,  18,  20, 22, 24,
                               26, 28, 30, 32,  34,  36,  38,  40,  42,  44,  46,  48, 50, 52,
                               54, 56, 58, 60,  62,  64,  68,  70,  72,  74,  76,  78, 80, 82,
                               86, 90, 96, 100, 110, 120, 132, 144, 156, 168, 180, 220};

namespace {

TfText::TExecuteHook& Hook() {
    static TfText::TExecuteHook hook;
    return hook;
}

// The mark beside scalable (TrueType-like) families, and an empty one of the same size beside the
// others so that every name starts at the same place.
QIcon FontMark(bool scalable) {
    QImage img(16, 16, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    if (scalable) {
        QPainter p(&img);
        QFont f = p.font();
        f.setPixelSize(10);
        f.setBold(true);
        p.setFont(f);
        p.setPen(QColor(0, 0, 128));
        p.drawText(QRect(0, 0, 11, 14), Qt::AlignCenter, "T");
        p.setPen(QColor(128, 128, 128));
        p.drawText(QRect(5, 3, 11, 13), Qt::AlignCenter, "T");
    }
    return QIcon(QPixmap::fromImage(img));
}

QListWidget* List(QWidget* parent, const char* name) {
    auto* l = new QListWidget(parent);
    l->setObjectName(name);
    l->setSelectionMode(QAbstractItemView::SingleSelection);
    return l;
}

QLineEdit* Edit(QWidget* parent, const char* name, const QString& text) {
    auto* e = new QLineEdit(text, parent);
    e->setObjectName(name);
    return e;
}

} // namespace

TfText::TfText(QWidget* parent) : QDialog(parent) {
    setObjectName("fText");
    setWindowTitle("Add Text");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    auto* outer = new QVBoxLayout(this);

    GroupBox1 = new QGroupBox("Font Settings", this);
    GroupBox1->setObjectName("GroupBox1");
    auto* grid = new QGridLayout(GroupBox1);
    grid->addWidget(new QLabel("Name", GroupBox1), 0, 0);
    grid->addWidget(new QLabel("Style", GroupBox1), 0, 1);
    grid->addWidget(new QLabel("Size", GroupBox1), 0, 2);
    eFontName = Edit(GroupBox1, "eFontName", "MS Sans Serif");
    eStyle = Edit(GroupBox1, "eStyle", "Regular");
    eStyle->setReadOnly(true);
    eSize = Edit(GroupBox1, "eSize", "8");
    lbFonts = List(GroupBox1, "lbFonts");
    lbFonts->setSortingEnabled(true);
    lbFonts->setIconSize(QSize(16, 16));
    lbStyle = List(GroupBox1, "lbStyle");
    lbStyle->addItems({"Regular", "Bold", "Italic", "Bold Italic"});
    lbSize = List(GroupBox1, "lbSize");
    for (int s : Sizes) lbSize->addItem(QString::number(s));
    grid->addWidget(eFontName, 1, 0);
    grid->addWidget(eStyle, 1, 1);
    grid->addWidget(eSize, 1, 2);
    grid->addWidget(lbFonts, 2, 0);
    grid->addWidget(lbStyle, 2, 1);
    grid->addWidget(lbSize, 2, 2);
    // The design's widths, widened a little for the running font; the lists show about seven lines.
    const int line = fontMetrics().height();
    for (auto [edit, list, width] : {std::tuple{eFontName, lbFonts, 170}, std::tuple{eStyle, lbStyle, 121},
                                     std::tuple{eSize, lbSize, 60}}) {
        edit->setFixedWidth(width);
        list->setFixedSize(width, std::max(97, 7 * line + 6));
    }
    grid->addWidget(new QLabel("Sample of Selected Font:", GroupBox1), 3, 0, 1, 3);
    tPnl1 = new TTextPanel(GroupBox1);
    tPnl1->setObjectName("tPnl1");
    tPnl1->setFixedHeight(57);
    tPnl1->SetText("Your Text Here");
    grid->addWidget(tPnl1, 4, 0, 1, 3);
    outer->addWidget(GroupBox1);

    outer->addWidget(new QLabel("Enter Text Here", this));
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName("Memo1");
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setFixedHeight(81);
    outer->addWidget(Memo1);

    auto* row = new QHBoxLayout;
    RadioGroup1 = new QGroupBox("Text Alignment", this);
    RadioGroup1->setObjectName("RadioGroup1");
    auto* radios = new QHBoxLayout(RadioGroup1);
    Alignments = new QButtonGroup(this);
    int id = 0;
    for (const char* caption : {"Left", "Center", "Right"}) {
        auto* r = new QRadioButton(caption, RadioGroup1);
        radios->addWidget(r);
        Alignments->addButton(r, id++);
    }
    Alignments->button(0)->setChecked(true);
    row->addWidget(RadioGroup1, 1);
    ColrBtn1 = new TColrBtn(this);
    ColrBtn1->setObjectName("ColrBtn1");
    ColrBtn1->SetCaption("Text Color");
    ColrBtn1->SetColor(0);
    ColrBtn1->setMinimumSize(81, 25);
    row->addWidget(ColrBtn1, 0, Qt::AlignBottom);
    outer->addLayout(row);

    auto* buttons = new QHBoxLayout;
    BitBtn1 = new QPushButton("OK", this);
    BitBtn1->setObjectName("BitBtn1");
    BitBtn1->setDefault(true);
    BitBtn2 = new QPushButton("Cancel", this);
    BitBtn2->setObjectName("BitBtn2");
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addStretch();
    buttons->addWidget(BitBtn2);
    buttons->addStretch();
    outer->addLayout(buttons);
    // The dialog keeps the size its contents ask for.
    outer->setSizeConstraint(QLayout::SetFixedSize);
    connect(BitBtn1, &QPushButton::clicked, this, [this] { done(mrOk); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { done(mrCancel); });

    auto on = [this](auto* sender, auto signal, void (TfText::*handler)()) {
        connect(sender, signal, this, [this, handler] { Guarded([this, handler] { (this->*handler)(); }); });
    };
    on(lbFonts, &QListWidget::currentRowChanged, &TfText::lbFontsClick);
    on(lbStyle, &QListWidget::currentRowChanged, &TfText::lbStyleClick);
    on(lbSize, &QListWidget::currentRowChanged, &TfText::lbSizeClick);
    on(eFontName, &QLineEdit::textChanged, &TfText::eFontNameChange);
    on(eSize, &QLineEdit::textChanged, &TfText::eSizeChange);
    on(Memo1, &QPlainTextEdit::textChanged, &TfText::Memo1Change);
    on(Alignments, &QButtonGroup::idClicked, &TfText::RadioGroup1Click);
    on(ColrBtn1, &TColrBtn::OnChanged, &TfText::ColrBtn1Changed);

    setTabOrder(Memo1, eFontName);
    setTabOrder(eFontName, lbFonts);
    setTabOrder(lbFonts, eStyle);
    setTabOrder(eStyle, lbStyle);
    setTabOrder(lbStyle, eSize);
    setTabOrder(eSize, lbSize);
    setTabOrder(lbSize, BitBtn1);
    setTabOrder(BitBtn1, BitBtn2);
    setTabOrder(BitBtn2, Alignments->button(0));
}

void TfText::FormCreate() {
    const QIcon mark = FontMark(true), none = FontMark(false);
    for (const QString& family : QFontDatabase::families()) {
        const bool scalable = QFontDatabase::isScalable(family);
        auto* item = new QListWidgetItem(scalable ? mark : none, family);
        item->setData(Qt::UserRole, scalable ? 4 : 0); // the font type: 4 marks TrueType
        lbFonts->addItem(item);
    }
    FitLists();
    StyleFlag = 0;
    SelectRow(lbSize, 3);
    SelectRow(lbStyle, 0);
    Memo1->setPlainText("Your Text Here");
    // The classic sans serif stands for the system's own interface font.
    const QString family = QFontInfo(QApplication::font()).family();
    Selecting = true;
    eFontName->setText(family);
    Selecting = false;
    const auto found = lbFonts->findItems(family, Qt::MatchExactly);
    SelectRow(lbFonts, found.isEmpty() ? -1 : lbFonts->row(found.first()));
    UpdateSample();
}

void TfText::FitLists() {
    // Every item whole (a family name beside its mark): the widest item, the list's frame and its
    // vertical scroll bar; never narrower than the design, nor wider than half the screen (longer names
    // scroll). The edit above a list takes its width.
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, lbFonts->verticalScrollBar());
    for (auto [edit, list] :
         {std::pair{eFontName, lbFonts}, std::pair{eStyle, lbStyle}, std::pair{eSize, lbSize}}) {
        list->ensurePolished();
        const int least = list->width();
        const int wanted = list->sizeHintForColumn(0) + 2 * list->frameWidth() + bar;
        const int most = screen() ? std::max(least, screen()->availableGeometry().width() / 2) : wanted;
        const int width = std::clamp(wanted, least, most);
        edit->setFixedWidth(width);
        list->setFixedWidth(width);
    }
}

void TfText::SelectRow(QListWidget* list, int row) {
    Selecting = true;
    list->setCurrentRow(row);
    if (row < 0) list->clearSelection();
    Selecting = false;
}

int TfText::ItemIndex() const {
    return Alignments->checkedId();
}

void TfText::SetItemIndex(int index) {
    if (QAbstractButton* b = Alignments->button(index)) b->setChecked(true);
    RadioGroup1Click();
}

void TfText::UpdateSample() {
    QFont f = tPnl1->font();
    f.setFamily(eFontName->text());
    int size = 0;
    if (TextToInt(eSize->text(), size)) f.setPointSize(std::clamp(size, MinSize, MaxSize));
    f.setBold(StyleFlag == 1 || StyleFlag == 3);
    f.setItalic(StyleFlag == 2 || StyleFlag == 3);
    tPnl1->setFont(f);
    tPnl1->update();
}

void TfText::lbFontsClick() {
    if (Selecting || !lbFonts->currentItem()) return;
    Selecting = true; // the name typed is the one clicked: no search
    eFontName->setText(lbFonts->currentItem()->text());
    Selecting = false;
    UpdateSample();
}

void TfText::lbStyleClick() {
    if (Selecting || lbStyle->currentRow() < 0) return;
    eStyle->setText(lbStyle->currentItem()->text());
    StyleFlag = static_cast<std::uint8_t>(lbStyle->currentRow());
    UpdateSample();
}

void TfText::lbSizeClick() {
    if (Selecting || !lbSize->currentItem()) return;
    eSize->setText(lbSize->currentItem()->text());
    UpdateSample();
}

void TfText::eFontNameChange() {
    if (Selecting) return;
    const QString typed = eFontName->text().toUpper();
    for (int i = 0; i < lbFonts->count(); ++i)
        if (lbFonts->item(i)->text().left(typed.size()).toUpper() == typed) {
            SelectRow(lbFonts, i);
            return;
        }
}

void TfText::eSizeChange() {
    int size = 0;
    if (!TextToInt(eSize->text(), size)) return;
    const int* at = std::find(std::begin(Sizes), std::end(Sizes), size);
    SelectRow(lbSize, at == std::end(Sizes) ? 0 : static_cast<int>(at - std::begin(Sizes)));
    UpdateSample();
}

void TfText::Memo1Change() {
    tPnl1->SetText(Memo1->toPlainText());
}

void TfText::RadioGroup1Click() {
    const int i = ItemIndex();
    QTextOption option = Memo1->document()->defaultTextOption();
    option.setAlignment(i == 1 ? Qt::AlignHCenter : i == 2 ? Qt::AlignRight : Qt::AlignLeft);
    Memo1->document()->setDefaultTextOption(option);
}

void TfText::ColrBtn1Changed() {
    tPnl1->SetFontColor(ColrBtn1->Color());
}

int TfText::Execute() {
    Memo1->setFocus(); // the text is typed first
    const int r = Hook() ? Hook()(*this) : exec();
    return r == mrOk ? mrOk : mrCancel;
}

void TfText::SetExecuteHook(TExecuteHook hook) {
    Hook() = std::move(hook);
}
