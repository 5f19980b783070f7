#include "app/dialogs/TextureDialog.h"

#include "app/main/ZorvTileMain.h"
#include "image/ZorvFX.h"
#include "platform/ErrorGuard.h"
#include "platform/FastDIBQt.h"
#include "platform/FileDialogs.h"
#include "platform/MessageBoxes.h"
#include "platform/Picture.h"

#include <QAction>
#include <QBoxLayout>
#include <QClipboard>
#include <QFileDialog>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>

TfTexture* fTexture = nullptr;

const char* const TfTexture::TextureFilter = "BMP,JPG (*.bmp;*.jpg)|*.bmp;*.jpg";

namespace {
TfTexture::TExecuteHook& executeHook() {
    static TfTexture::TExecuteHook hook;
    return hook;
}
TfTexture::TOpenHook& openHook() {
    static TfTexture::TOpenHook hook;
    return hook;
}
} // namespace

TfTexture::TfTexture(QWidget* parent) : QDialog(parent) {
    setObjectName("fTexture");
    setWindowTitle("Map Texture");
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    auto* outer = new QHBoxLayout(this);

    auto* left = new QVBoxLayout;
    auto* frame = new QFrame(this);
    frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
    frame->setLineWidth(2);
    auto* fl = new QVBoxLayout(frame);
    fl->setContentsMargins(3, 3, 3, 3);
    imTexture = new QLabel(frame);
    imTexture->setObjectName("imTexture");
    imTexture->setFixedSize(105, 105);
    imTexture->installEventFilter(this);
    fl->addWidget(imTexture);
    left->addWidget(frame);
    auto* label1 = new QLabel("Texture", this);
    label1->setObjectName("Label1");
    label1->setAlignment(Qt::AlignHCenter);
    left->addWidget(label1);
    left->addStretch(1);
    outer->addLayout(left);

    auto* right = new QVBoxLayout;
    bLoadTexur = new QPushButton("Load New Texture...", this);
    bLoadTexur->setObjectName("bLoadTexur");
    bUseBufr = new QPushButton("Use Buffer as Texture", this);
    bUseBufr->setObjectName("bUseBufr");
    Label2 =
        new QLabel("Textures must be grayscaled.  The image you select will be automatically converted to "
                   "gray scale and sized to match the current Image.",
                   this);
    Label2->setObjectName("Label2");
    Label2->setWordWrap(true);
    Label2->setMinimumWidth(220);
    right->addWidget(bLoadTexur);
    right->addWidget(bUseBufr);
    right->addWidget(Label2);
    right->addStretch(1);
    auto* buttons = new QHBoxLayout;
    BitBtn1 = new QPushButton("OK", this);
    BitBtn1->setObjectName("BitBtn1");
    BitBtn2 = new QPushButton("Cancel", this);
    BitBtn2->setObjectName("BitBtn2");
    for (QPushButton* b : {bLoadTexur, bUseBufr, BitBtn2}) b->setAutoDefault(false);
    BitBtn1->setDefault(true);
    buttons->addStretch(1);
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    right->addLayout(buttons);
    outer->addLayout(right, 1);

    connect(bLoadTexur, &QPushButton::clicked, this, [this] { Guarded([this] { bLoadTexurClick(); }); });
    connect(bUseBufr, &QPushButton::clicked, this, [this] { Guarded([this] { bUseBufrClick(); }); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { done(mrOk); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { done(mrCancel); });

    // The starting texture: a 2 x 2 grey checker.
    Texture.SetSize(2, 2, 24, 0);
    Texture.Pixels24[0][0] = Texture.Pixels24[1][1] = TFColor{200, 200, 200};
    Texture.Pixels24[0][1] = Texture.Pixels24[1][0] = TFColor{96, 96, 96};
    ShowTexture();
}

void TfTexture::ShowTexture() {
    // Stretched without smoothing: every texture pixel shows as a block of its own colour.
    imTexture->setPixmap(QPixmap::fromImage(
        DIBView(Texture).scaled(imTexture->size(), Qt::IgnoreAspectRatio, Qt::FastTransformation)));
}

void TfTexture::SetTexture(const TFastDIB& pic) {
    TFastDIB grey;
    CopyDIB(pic, grey);
    GrayScale24(grey);
    Texture.Swap(grey);
    ShowTexture();
}

void TfTexture::bLoadTexurClick() {
    QString name;
    if (openHook()) {
        name = openHook()(TextureFilter);
    } else {
        // Every picture type the installed readers know can be the texture.
        const QString filter = OpenPictureFilterWithAllTypes(TextureFilter);
        name = ExecOpenFileDialog(this, "Open", QString(), TfZorvTile::QtNameFilters(filter).split(";;"));
    }
    if (name.isEmpty()) return;
    TFastDIB pic;
    LoadPictureToDIB(name, pic); // a file that cannot be read raises and leaves the texture as it was
    SetTexture(pic);
    if (fZorvTile) fZorvTile->MapBuf = "Use File " + QFileInfo(name).absoluteFilePath();
}

void TfTexture::bUseBufrClick() {
    if (!fZorvTile || !fZorvTile->PasteBuffertoImage1->isEnabled()) return;
    SetTexture(fZorvTile->bufr);
    fZorvTile->MapBuf = "Use Buffer";
}

void TfTexture::imTextureMouseDown(Qt::MouseButton button) {
    QClipboard* clip = QGuiApplication::clipboard();
    if (button == Qt::RightButton) {
        // The clipboard's bitmap, held to the picture size limit as every paste is.
        TFastDIB pic;
        if (!PasteDIBFromClipboard(pic) || pic.Empty()) return;
        SetTexture(pic);
        if (fZorvTile) fZorvTile->MapBuf = "Use Clipboard";
    } else if (button == Qt::LeftButton) {
        clip->setImage(DIBView(Texture).copy());
    }
}

bool TfTexture::eventFilter(QObject* watched, QEvent* event) {
    if (watched == imTexture && event->type() == QEvent::MouseButtonPress) {
        const auto button = static_cast<QMouseEvent*>(event)->button();
        Guarded([this, button] { imTextureMouseDown(button); });
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

int TfTexture::Execute() {
    if (executeHook()) return executeHook()(*this);
    return exec() == mrOk ? mrOk : mrCancel;
}

void TfTexture::SetExecuteHook(TExecuteHook hook) {
    executeHook() = std::move(hook);
}

void TfTexture::SetOpenHook(TOpenHook hook) {
    openHook() = std::move(hook);
}
