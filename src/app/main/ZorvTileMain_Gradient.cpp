// The main window's gradient commands: the two-colour designer, pasting and merging its gradient, the
// thumbnail, the multi-colour designer, and Help > About.

#include "app/main/ZorvTileMain.h"

#include "app/dialogs/AllForms.h"
#include "app/dialogs/MultiGradientModel.h"
#include "controls/GradientControl.h"
#include "controls/Label3D.h"
#include "platform/ErrorGuard.h"
#include "platform/FastDIBQt.h"
#include "platform/MessageBoxes.h"
#include "platform/Picture.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QToolButton>

namespace {

// Double-clicks on the gradient thumbnail.
class TThumbnailFilter : public QObject {
public:
    TThumbnailFilter(TfZorvTile* w, QObject* thumbnail) : QObject(w), W(w), Thumbnail(thumbnail) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == Thumbnail && event->type() == QEvent::MouseButtonDblClick) {
            Guarded([this] { W->imGradDblClick(); });
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    TfZorvTile* W;
    QObject* Thumbnail;
};

// The thumbnail's picture at the size the label shows it (smoothly scaled, as the label would). A large
// gradient is first thinned out to four times that size, so the work does not grow with the gradient.
QPixmap ThumbnailPicture(const TFastDIB& g, QSize box) {
    if (g.Empty() || box.isEmpty()) return QPixmap();
    const int w = std::min(g.Width, 4 * box.width()), h = std::min(g.Height, 4 * box.height());
    TFastDIB small;
    small.SetSize(w, h, 24, 0);
    g.Stretch(small, 0, 0, w, h);
    return QPixmap::fromImage(DIBView(small).scaled(box, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

} // namespace

void TfZorvTile::WireGradientCommands() {
    auto action = [this](const char* name, void (TfZorvTile::*cmd)(), bool enabled) {
        if (auto* a = findChild<QAction*>(name)) {
            a->setEnabled(enabled);
            OnTriggered(a, cmd);
        }
    };
    action("Design1", &TfZorvTile::Design1Click, true);
    // Paste To Image and Merge With Image wait for the first gradient (the window's first show).
    action("PasteToImage1", &TfZorvTile::PasteToImage1Click, false);
    action("MergeWithImage1", &TfZorvTile::MergeWithImage1Click, false);
    action("MultiColor1", &TfZorvTile::MultiColor1Click, true);
    action("MultiGradient1", &TfZorvTile::MultiGradient1Click, true);
    action("About1", &TfZorvTile::About1Click, true);
    // The tool-bar button pastes whatever the menu item's state.
    if (auto* b = findChild<QToolButton*>("bPstGrad")) {
        b->setEnabled(true);
        connect(b, &QToolButton::clicked, this, [this] { Guarded([this] { PasteToImage1Click(); }); });
    }
    if (imGrad) imGrad->installEventFilter(new TThumbnailFilter(this, imGrad));
}

bool TfZorvTile::DesignGradient() {
    TfGradient& d = *fGradient;
    d.meWide->setText(QString::number(z.Width));
    d.meHigh->setText(QString::number(z.Height));
    d.SizeGradient(z.Width, z.Height);
    if (d.Execute() != mrOk) return false;
    TakeGradientThumbnail();
    if (Logging && !DrawGFlag && DesnGFlag)
        LogLine("Design Gradient, Width " + d.meWide->text() + ", Height " + d.meHigh->text() +
                ", Gradient " + d.cbStyle->currentText() + ", From Color " +
                ColorToRGBStr(d.zGrad->BeginColor()) + ", To Color " + ColorToRGBStr(d.zGrad->EndColor()) +
                ", Angle " + d.meAngle->text());
    return true;
}

void TfZorvTile::Design1Click() {
    DesignGradient();
}

void TfZorvTile::MergeWithImage1Click() {
    // Catalogue effect 49, exactly as Draw > Merge Gradient, while there is a gradient to merge.
    if (PasteToImage1->isEnabled()) MergeGradient1Click();
}

void TfZorvTile::TakeGradientThumbnail() {
    imGrad->setPixmap(ThumbnailPicture(fGradient->zGrad->bm(), imGrad->contentsRect().size()));
    imGrad->setVisible(true);
    PasteToImage1->setEnabled(true);
    if (auto* label = findChild<TLbl3D*>("Lbl3D1"); label && label->aTextStyle() == tsInset)
        label->SetTextStyle(tsRaised);
    MergeWithImage1->setEnabled(true);
}

void TfZorvTile::ShowFirstGradient() {
    // The control renders its picture when it is read, so the designer need not be shown for it.
    TfGradient& d = *fGradient;
    d.meWide->setText(QString::number(imSine->width()));
    d.meHigh->setText(QString::number(imSine->height()));
    d.SizeGradient(imSine->width(), imSine->height());
    TakeGradientThumbnail();
}

void TfZorvTile::PasteToImage1Click() {
    const TFastDIB& g = fGradient->zGrad->bm();
    if (g.Empty() || g.Width < 1 || g.Height < 1) {
        ShowMessage("There is no gradient to paste: its width or height is 0.");
        return;
    }
    // The copies the image takes must fit (the designers make pictures up to the size limit). Edit >
    // Reset returns to the gradient: its copy is had with the picture's, before anything changes.
    CheckPictureSize(g.Width, g.Height);
    KeepPictureForUndo(g, &orig);
    SetToIm(z);
    if (!DrawGFlag) LogLine("Paste Gradient to Image");
}
void TfZorvTile::MultiColor1Click() {
    MultiGradient1Click();
}

void TfZorvTile::MultiGradient1Click() {
    TfMultGrad& d = *fMultGrad;
    // The designer works on a copy of the main window's record; Cancel leaves ours untouched.
    d.Gradient = Gradient;
    d.oldGW = d.grad.Width;
    d.eWide->setText(QString::number(z.Width));
    d.eHigh->setText(QString::number(z.Height));
    if (d.vert)
        d.pBack->resize(z.Width, d.pBack->height());
    else
        d.pBack->resize(d.pBack->width(), z.Height);
    if (d.Execute() != mrOk) return;

    // The settings come back from the markers; they are read first, so that nothing can fail once the
    // image has changed.
    const std::size_t n = d.mrkPnl.size();
    TMgradNfo taken;
    taken.bars = static_cast<std::uint16_t>(n);
    taken.pos.resize(n);
    taken.color.resize(n);
    taken.width = d.grad.Width;
    taken.height = d.grad.Height;
    taken.bkcolor = ColorToTrgb(d.pBackColor());
    taken.vertical = d.vert;
    for (std::size_t i = 0; i < n; ++i) {
        taken.pos[i] = d.mrkPnl[i]->Pos();
        taken.color[i] = ColorToTrgb(d.mrkPnl[i]->Color());
    }

    // The image becomes the designer's picture, at its size; through a 16-bit screen the colours
    // take that screen's steps. It must fit first: a refusal leaves image and undo ring alone.
    CheckPictureSize(d.grad.Width, d.grad.Height);
    KeepPictureForUndo(d.grad);
    Gradient = std::move(taken);
    if (ScreenBitsPerPixel() == 16) ReduceTo565(z);
    SetToIm(z);
    stBar->SetPanelText(0, "Width: " + QString::number(imSine->width()));
    stBar->SetPanelText(1, "Height: " + QString::number(imSine->height()));

    if (!Logging) return;
    LogLine(QString("MultiGradient,  Width %1, Height %2, %3")
                .arg(Gradient.width)
                .arg(Gradient.height)
                .arg(Gradient.vertical ? "Vertical" : "Horizontal"));
    const auto rgb = [](const Trgb& c) { return QString(" R-%1 G-%2 B-%3").arg(c.r).arg(c.g).arg(c.b); };
    LogLine("  Background:" + rgb(Gradient.bkcolor));
    for (std::size_t i = 0; i < n; ++i)
        LogLine(QString("  %1%2").arg(Gradient.vertical ? "Left " : "Top ").arg(Gradient.pos[i]) +
                rgb(Gradient.color[i]));
}

void TfZorvTile::imGradDblClick() {
    // The menu item's click: nothing happens while Paste To Image is disabled.
    if (PasteToImage1->isEnabled()) PasteToImage1->trigger();
}

void TfZorvTile::About1Click() {
    fAbout->Execute();
}
