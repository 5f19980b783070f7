// The print options dialog and the printing helpers.
#include "app/dialogs/PrintOptions.h"

#include "app/main/ZorvTileMain.h"
#include "image/Numeric.h"
#include "platform/ErrorGuard.h"
#include "platform/MessageBoxes.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPageLayout>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShowEvent>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>
#include <limits>
#include <stdexcept>

TfPrint* fPrint = nullptr;

namespace {

TfPrint::ExecHook& execHook() {
    static TfPrint::ExecHook hook;
    return hook;
}

PrintDialogHook& printDialogHook() {
    static PrintDialogHook hook;
    return hook;
}

// The image's size in pixels (what the inch sizes refer to).
QSize imageSize() {
    return fZorvTile ? QSize(fZorvTile->z.Width, fZorvTile->z.Height) : QSize();
}

} // namespace

// ---- helpers ----

QString FloatStr2(double value) {
    return QString::number(value, 'f', 2);
}

QRect PrintTargetRect(const PrintLayout& L) {
    const std::int64_t mx = Round(static_cast<long double>(L.printerPpiX) * 0.25L);
    const std::int64_t my = Round(static_cast<long double>(L.printerPpiY) * 0.25L);
    std::int64_t w = 1, h = 1;
    switch (L.size) {
    case 0:
        // The products of pixels per inch and image size are integers, divided as real numbers.
        w = Round(static_cast<long double>(std::int64_t{L.printerPpiX} * L.imageWidth) / L.screenPpiX *
                  static_cast<long double>(L.scale));
        h = Round(static_cast<long double>(std::int64_t{L.printerPpiY} * L.imageHeight) / L.screenPpiY *
                  static_cast<long double>(L.scale));
        break;
    case 1:
    case 3:
    case 4:
        w = Round(static_cast<long double>(L.wideInches) * L.printerPpiX);
        h = Round(static_cast<long double>(L.highInches) * L.printerPpiY);
        break;
    case 2:
        w = L.pageWidth - 2 * mx;
        h = L.pageHeight - 2 * my;
        break;
    default:
        break;
    }
    // Sizes no printer page can take (or none at all) give no rectangle.
    constexpr std::int64_t limit = std::int64_t{1} << 24;
    if (w <= 0 || h <= 0 || w > limit || h > limit) return {};
    std::int64_t left = mx, top = my;
    if (L.align == 1) {
        left = (L.pageWidth - w) / 2; // C++ division truncates toward zero
        top = (L.pageHeight - h) / 2;
    }
    return QRect(static_cast<int>(left), static_cast<int>(top), static_cast<int>(w), static_cast<int>(h));
}

void PrintBitmap(QPainter& canvas, const QRect& rect, const QImage& bitmap, bool frame) {
    if (rect.isEmpty() || bitmap.isNull()) return;
    canvas.drawImage(rect, bitmap, bitmap.rect());
    if (frame) {
        canvas.setPen(QPen(Qt::black, 1));
        canvas.setBrush(Qt::NoBrush);
        // The frame lies on the rectangle's own pixels: its right and bottom lines are the last column
        // and row inside it.
        canvas.drawRect(rect.adjusted(0, 0, -1, -1));
    }
}

void SetPrintDialogHook(PrintDialogHook hook) {
    printDialogHook() = std::move(hook);
}

bool RunPrintDialog(QPrinter& printer, QWidget* parent) {
    if (printDialogHook()) return printDialogHook()(printer);
    QPrintDialog dialog(&printer, parent);
    dialog.setObjectName(QStringLiteral("PD1"));
    return dialog.exec() == QDialog::Accepted;
}

// ---- PrintOptionGroup ----

PrintOptionGroup::PrintOptionGroup(const QString& caption, const QStringList& items, QWidget* parent)
    : QGroupBox(caption, parent) {
    auto* column = new QVBoxLayout(this);
    column->setSpacing(2);
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

// ---- TfPrint ----

// What the printer set-up dialog chose; each print job's fresh printer starts from it.
struct TfPrint::Setup {
    bool chosen = false;
    QString printerName;
    QPrinter::OutputFormat format = QPrinter::NativeFormat;
    QString outputFile;
    QPageLayout layout;
    int resolution = 0;
};

TfPrint::TfPrint(QWidget* parent) : QDialog(parent), setup_(std::make_unique<Setup>()) {
    setObjectName(QStringLiteral("fPrint"));
    setWindowTitle(QStringLiteral("Print Options"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    rgSize = new PrintOptionGroup(QStringLiteral("Size"),
                                  {QStringLiteral("Match Screen Size"), QStringLiteral("Specify Size"),
                                   QStringLiteral("Stretch to Fit Page"), QStringLiteral("CD Cover Front"),
                                   QStringLiteral("CD Cover Back")},
                                  this);
    rgSize->setObjectName(QStringLiteral("rgSize"));
    rgAlign = new PrintOptionGroup(QStringLiteral("Alignment"),
                                   {QStringLiteral("Top Left"), QStringLiteral("Center")}, this);
    rgAlign->setObjectName(QStringLiteral("rgAlign"));
    rgOrient = new PrintOptionGroup(QStringLiteral("Orientation"),
                                    {QStringLiteral("Portrait"), QStringLiteral("Landscape")}, this);
    rgOrient->setObjectName(QStringLiteral("rgOrient"));
    rgSize->SetItemIndex(0);
    rgAlign->SetItemIndex(0);
    rgOrient->SetItemIndex(0);

    auto named = [](QWidget* w, const char* name) {
        w->setObjectName(QString::fromLatin1(name));
        return w;
    };
    lScale = new QLabel(QStringLiteral("Scaling Factor"), this);
    named(lScale, "lScale");
    eScale = new QLineEdit(QStringLiteral("1.375"), this);
    named(eScale, "eScale");
    SpeedButton1 = new QToolButton(this);
    named(SpeedButton1, "SpeedButton1");
    SpeedButton1->setText(QStringLiteral("?"));
    SpeedButton1->setToolTip(QStringLiteral("What's the Scaling Factor?"));
    lInches = new QLabel(QStringLiteral("Size in Inches"), this);
    named(lInches, "lInches");
    lWide = new QLabel(QStringLiteral("Width"), this);
    named(lWide, "lWide");
    lHigh = new QLabel(QStringLiteral("Height"), this);
    named(lHigh, "lHigh");
    eWide = new QLineEdit(QStringLiteral("3.5"), this);
    named(eWide, "eWide");
    eHigh = new QLineEdit(QStringLiteral("3.5"), this);
    named(eHigh, "eHigh");
    cbAspect = new QCheckBox(QStringLiteral("Maintain Ratio"), this);
    named(cbAspect, "cbAspect");
    cbAspect->setChecked(true);
    sbPrint = new QPushButton(QStringLiteral("Setup.."), this);
    named(sbPrint, "sbPrint");
    sbPrint->setToolTip(QStringLiteral("Printer Setup..."));
    sbPrint->setAutoDefault(false);
    bOK = new QPushButton(QStringLiteral("OK"), this);
    named(bOK, "bOK");
    bOK->setToolTip(QStringLiteral("Print using selected settings"));
    bOK->setDefault(true);
    bCancel = new QPushButton(QStringLiteral("Cancel"), this);
    named(bCancel, "bCancel");
    bCancel->setToolTip(QStringLiteral("Do not print"));
    bCancel->setAutoDefault(false);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    CDJacketFront1 = PopupMenu1->addAction(QStringLiteral("CD Jacket - Front"));
    CDJacketFront1->setObjectName(QStringLiteral("CDJacketFront1"));
    CDJacketBack1 = PopupMenu1->addAction(QStringLiteral("CD Jacket - Back"));
    CDJacketBack1->setObjectName(QStringLiteral("CDJacketBack1"));

    auto* column = new QVBoxLayout(this);
    column->addWidget(rgSize);
    auto* groups = new QHBoxLayout;
    groups->addWidget(rgAlign);
    groups->addWidget(rgOrient);
    column->addLayout(groups);
    auto* scaleRow = new QHBoxLayout;
    scaleRow->addWidget(lScale);
    scaleRow->addWidget(eScale);
    scaleRow->addWidget(SpeedButton1);
    column->addLayout(scaleRow);
    auto* inches = new QGridLayout;
    inches->addWidget(lInches, 0, 0, 1, 2);
    inches->addWidget(lWide, 1, 0);
    inches->addWidget(lHigh, 1, 1);
    inches->addWidget(eWide, 2, 0);
    inches->addWidget(eHigh, 2, 1);
    inches->addWidget(cbAspect, 3, 0, 1, 2);
    column->addLayout(inches);
    column->addStretch(1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(sbPrint);
    buttons->addWidget(bOK);
    buttons->addWidget(bCancel);
    column->addLayout(buttons);
    resize(228, 257);

    auto guarded = [this](void (TfPrint::*handler)()) {
        return [this, handler] { Guarded([&] { (this->*handler)(); }); };
    };
    connect(rgSize, &PrintOptionGroup::clicked, this, guarded(&TfPrint::rgSizeClick));
    connect(eWide, &QLineEdit::editingFinished, this, guarded(&TfPrint::eWideExit));
    connect(eHigh, &QLineEdit::editingFinished, this, guarded(&TfPrint::eHighExit));
    connect(CDJacketFront1, &QAction::triggered, this, guarded(&TfPrint::CDJacketFront1Click));
    connect(CDJacketBack1, &QAction::triggered, this, guarded(&TfPrint::CDJacketBack1Click));
    connect(sbPrint, &QPushButton::clicked, this, guarded(&TfPrint::sbPrintClick));
    connect(SpeedButton1, &QToolButton::clicked, this, guarded(&TfPrint::SpeedButton1Click));
    connect(bOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(bCancel, &QPushButton::clicked, this, &QDialog::reject);

    showSizeControls();
}

TfPrint::~TfPrint() = default;

void TfPrint::FormCreate() {}

void TfPrint::FormShow() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int screenWidth = screen ? screen->geometry().width() : 0;
    switch (screenWidth) {
    case 640:
        eScale->setText(QStringLiteral("1.75"));
        break;
    case 800:
        eScale->setText(QStringLiteral("1.375"));
        break;
    case 1024:
        eScale->setText(QStringLiteral("1.083"));
        break;
    case 1152:
        eScale->setText(QStringLiteral("0.979"));
        break;
    default:
        eScale->setText(QStringLiteral("1.0"));
        break;
    }
    const QSize size = imageSize();
    eWide->setText(FloatStr2(static_cast<double>(size.width()) / ScreenPpiX()));
    eHigh->setText(FloatStr2(static_cast<double>(size.height()) / ScreenPpiY()));
}

void TfPrint::showSizeControls() {
    const int size = rgSize->ItemIndex();
    const bool scale = size == 0;
    const bool inches = size == 1 || size == 3 || size == 4;
    for (QWidget* w :
         {static_cast<QWidget*>(lScale), static_cast<QWidget*>(eScale), static_cast<QWidget*>(SpeedButton1)})
        w->setVisible(scale);
    for (QWidget* w :
         {static_cast<QWidget*>(lInches), static_cast<QWidget*>(lWide), static_cast<QWidget*>(lHigh),
          static_cast<QWidget*>(eWide), static_cast<QWidget*>(eHigh), static_cast<QWidget*>(cbAspect)})
        w->setVisible(inches);
}

void TfPrint::rgSizeClick() {
    showSizeControls();
    const int size = rgSize->ItemIndex();
    if (size == 3) {
        eWide->setText(QStringLiteral("9.5"));
        eHigh->setText(QStringLiteral("4.75"));
    } else if (size == 4) {
        eWide->setText(QStringLiteral("5.875"));
        eHigh->setText(QStringLiteral("4.625"));
    }
    if (size == 3 || size == 4) {
        rgOrient->SetItemIndex(1);
        rgAlign->SetItemIndex(1);
    }
}

void TfPrint::eWideExit() {
    const QSize size = imageSize();
    if (!cbAspect->isChecked() || size.width() <= 0) return;
    eHigh->setText(FloatStr2(StrToFloat(eWide->text()) * size.height() / size.width()));
}

void TfPrint::eHighExit() {
    const QSize size = imageSize();
    if (!cbAspect->isChecked() || size.height() <= 0) return;
    eWide->setText(FloatStr2(StrToFloat(eHigh->text()) * size.width() / size.height()));
}

void TfPrint::CDJacketFront1Click() {
    rgSize->SetItemIndex(3);
    rgSizeClick();
}

void TfPrint::CDJacketBack1Click() {
    rgSize->SetItemIndex(4);
    rgSizeClick();
}

void TfPrint::sbPrintClick() {
    QPrinter printer(QPrinter::HighResolution);
    ApplySetup(printer);
    if (!RunPrintDialog(printer, this)) return;
    setup_->chosen = true;
    setup_->format = printer.outputFormat();
    setup_->printerName = printer.printerName();
    setup_->outputFile = printer.outputFileName();
    setup_->layout = printer.pageLayout();
    setup_->resolution = printer.resolution();
}

void TfPrint::SpeedButton1Click() {
    ShowMessage(QStringLiteral("The scaling factor is only used for Match Screen Size printing.\r") +
                QStringLiteral("Translating screen size ") +
                QStringLiteral("to printer size is not an exact process.  On my 800 x 600 system ") +
                QStringLiteral("I must use the 1.375 scaling to get a close approximation ") +
                QStringLiteral("of what I see on the screen to what is printed, otherwise ") +
                QStringLiteral("the printed image is very small.  You can adjust this to ") +
                QStringLiteral("whatever seems to work on your particular printer, probably ") +
                QStringLiteral("a value between 1 and 2."));
}

int TfPrint::Execute() {
    if (execHook()) {
        FormShow(); // what showing the dialog would do
        return execHook()(*this);
    }
    return exec() == QDialog::Accepted ? mrOk : mrCancel;
}

void TfPrint::ApplySetup(QPrinter& printer) const {
    if (!setup_->chosen) return;
    if (setup_->format == QPrinter::PdfFormat) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(setup_->outputFile);
    } else {
        printer.setPrinterName(setup_->printerName);
    }
    printer.setPageLayout(setup_->layout);
    if (setup_->resolution > 0) printer.setResolution(setup_->resolution);
}

void TfPrint::SetExecHook(ExecHook hook) {
    execHook() = std::move(hook);
}

int TfPrint::ScreenPpiX() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int ppi = screen ? static_cast<int>(std::lround(screen->logicalDotsPerInchX())) : 96;
    return ppi > 0 ? ppi : 96;
}

int TfPrint::ScreenPpiY() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int ppi = screen ? static_cast<int>(std::lround(screen->logicalDotsPerInchY())) : 96;
    return ppi > 0 ? ppi : 96;
}

void TfPrint::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TfPrint::contextMenuEvent(QContextMenuEvent* event) {
    PopupMenu1->exec(event->globalPos());
}
