#include "app/dialogs/GifTransparency.h"

#include "gif/GIFImage.h"
#include "platform/ErrorGuard.h"
#include "platform/MessageBoxes.h"

#include <QEvent>
#include <QFrame>
#include <QMouseEvent>
#include <QPushButton>

TfGif* fGif = nullptr;

namespace {
TfGif::TExecuteHook& executeHook() {
    static TfGif::TExecuteHook hook;
    return hook;
}
constexpr int SwatchSize = 16, SwatchStep = 17, SwatchLeft = 6, SwatchTop = 4;
} // namespace

TfGif::TfGif(QWidget* parent) : QDialog(parent) {
    setObjectName("fGif");
    setWindowTitle("Set GIF Transparency");
    for (int i = 0; i < 256; ++i) {
        auto* s = new QFrame(this);
        s->setObjectName(QStringLiteral("Clr%1").arg(i));
        s->setGeometry(SwatchLeft + SwatchStep * (i % 16), SwatchTop + SwatchStep * (i / 16), SwatchSize,
                       SwatchSize);
        s->setAutoFillBackground(true);
        s->setFrameShape(QFrame::NoFrame);
        s->installEventFilter(this);
        Clr[static_cast<std::size_t>(i)] = s;
    }
    const int buttonsTop = SwatchTop + SwatchStep * 16 + 8;
    auto button = [&](const char* name, const QString& caption, int left) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        b->setGeometry(left, buttonsTop, 82, 26);
        return b;
    };
    BitBtn1 = button("BitBtn1", "OK", 6);
    BitBtn2 = button("BitBtn2", "None", 96);
    BitBtn3 = button("BitBtn3", "Cancel", 186);
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, [this] { done(mrOk); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { done(mrNo); });
    connect(BitBtn3, &QPushButton::clicked, this, [this] { done(mrCancel); });
    setFixedSize(SwatchLeft + SwatchStep * 16 + 6, buttonsTop + 26 + 8);
}

void TfGif::DoColors(TGIFImage& giff) {
    TGIFColorMap& map = giff.GlobalColorMap();
    for (int i = 0; i < 256; ++i) {
        const TColor c = map.Colors(i); // past the end: a warning and entry 0
        QFrame* s = Clr[static_cast<std::size_t>(i)];
        QPalette pal = s->palette();
        pal.setColor(QPalette::Window, QColor(GetRValue(c), GetGValue(c), GetBValue(c)));
        s->setPalette(pal);
        s->update();
    }
}

void TfGif::SetOutline(int i, bool solid) {
    QFrame* s = Clr[static_cast<std::size_t>(i)];
    s->setFrameShape(solid ? QFrame::Box : QFrame::NoFrame);
    s->setLineWidth(1);
    s->update();
}

void TfGif::SwatchMouseDown(int x, int y) {
    const int i = (x - SwatchLeft) / SwatchStep + ((y - SwatchTop) / SwatchStep) * 16;
    if (i < 0 || i > 255) return;
    if (ndex < 256) SetOutline(ndex, false);
    SetOutline(i, true);
    ndex = i;
}

bool TfGif::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress)
        if (auto* s = qobject_cast<QFrame*>(watched); s && s->parent() == this) {
            const QPoint p = s->mapTo(this, static_cast<QMouseEvent*>(event)->position().toPoint());
            Guarded([this, p] { SwatchMouseDown(p.x(), p.y()); });
            return true;
        }
    return QDialog::eventFilter(watched, event);
}

int TfGif::Execute() {
    if (executeHook()) return executeHook()(*this);
    const int r = exec();
    return r == mrOk || r == mrNo ? r : mrCancel;
}

void TfGif::SetExecuteHook(TExecuteHook hook) {
    executeHook() = std::move(hook);
}
