// The text tool: the text dialog, the floating text image that follows the pointer, and its placing.

#include "app/main/ZorvTileMain.h"

#include "app/dialogs/TextDialog.h"
#include "controls/TextPanel.h"
#include "platform/ErrorGuard.h"
#include "platform/MessageBoxes.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>

#include <algorithm>

namespace {

// The floating text's mouse capture: while it is on, every mouse move in the program moves the text
// and the next press, with any button and anywhere, places it; Escape drops it. An application-wide
// event filter, so it holds over every window of the program.
class TTextCapture : public QObject {
public:
    explicit TTextCapture(TfZorvTile& w) : W(w) {}
    void Start() {
        if (!On) qApp->installEventFilter(this);
        On = true;
        Placed = false;
        ++Generation;
    }
    void Stop() {
        if (On && qApp) qApp->removeEventFilter(this);
        On = false;
    }
    // After the placing press: the pop-up menu the same press would open is held back, then the
    // capture ends once the press has been handled.
    void StopAfterPress() {
        Placed = true;
        const int generation = Generation;
        QMetaObject::invokeMethod(
            this,
            [this, generation] {
                if (Generation == generation && Placed) Stop();
            },
            Qt::QueuedConnection);
    }
    ~TTextCapture() override { Stop(); }

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (Placed) return e->type() == QEvent::ContextMenu;
        switch (e->type()) {
        case QEvent::MouseMove: {
            const QPoint global = static_cast<QMouseEvent*>(e)->globalPosition().toPoint();
            Guarded([&] { W.imTextMouseMove(global); });
            return true;
        }
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            Guarded([&] { W.imTextMouseDown(); });
            return true;
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent*>(e)->key() != Qt::Key_Escape) return false;
            W.CancelFloatingText();
            return true;
        default:
            return false;
        }
    }

private:
    TfZorvTile& W;
    bool On = false;
    bool Placed = false;
    int Generation = 0;
};

// The floating text image is kept within sensible bounds, whatever size and text were asked for.
constexpr int MaxTextSide = 16384;
constexpr qint64 MaxTextPixels = 16 * 1024 * 1024;

Qt::Alignment TextAlignment(int lcr) {
    return (lcr == 1 ? Qt::AlignHCenter : lcr == 2 ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop;
}

QColor ToQColor(TColor c) {
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

} // namespace

void TfZorvTile::TextPress(int X, int Y) {
    if (fText->Execute() != mrOk) return;
    // An empty text leaves nothing to place.
    if (fText->Memo1->toPlainText().isEmpty()) return;
    PrepareTextImage();
    auto* imText = findChild<QLabel*>("imText");
    imText->move(imSine->pos() + QPoint(X, Y));
    imText->show();
    imText->raise();
    TextNow = true;
    Dragging = true;
    if (!TextCapture) TextCapture = std::make_unique<TTextCapture>(*this);
    static_cast<TTextCapture*>(TextCapture.get())->Start();
}

void TfZorvTile::PrepareTextImage() {
    const QFont font = fText->tPnl1->font();
    const int index = fText->ItemIndex();
    if (index >= 0 && index <= 2) lcr = index;
    const QString text = fText->Memo1->toPlainText();
    // Measured as the view will draw it, one widest character wider than the longest line.
    const QImage& canvas = imSine->Canvas();
    const QFontMetrics fm(font, &canvas);
    const QRect measured = fm.boundingRect(QRect(0, 0, 0, 0), TextAlignment(lcr), text);
    int w = std::clamp(measured.width() + fm.maxWidth(), 1, MaxTextSide);
    int h = std::clamp(measured.height(), 1, MaxTextSide);
    if (static_cast<qint64>(w) * h > MaxTextPixels) h = static_cast<int>(MaxTextPixels / w);
    TextRect = QRect(0, 0, w, h);

    // Only the text shows: the background is transparent.
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.setDotsPerMeterX(canvas.dotsPerMeterX());
    img.setDotsPerMeterY(canvas.dotsPerMeterY());
    img.fill(Qt::transparent);
    {
        QPainter p(&img);
        p.setFont(font);
        p.setPen(ToQColor(fText->tPnl1->FontColor()));
        p.drawText(TextRect, TextAlignment(lcr), text);
    }
    auto* imText = findChild<QLabel*>("imText");
    imText->setPixmap(QPixmap::fromImage(img));
    imText->resize(w, h);
    imText->setCursor(Qt::PointingHandCursor);
}

void TfZorvTile::imTextMouseMove(const QPoint& globalPos) {
    if (!Dragging) return;
    auto* imText = findChild<QLabel*>("imText");
    // The text image centres itself under the pointer.
    imText->move(pnlSine->mapFromGlobal(globalPos) - QPoint(imText->width() / 2, imText->height() / 2));
    stBar->SetPanelText(2, "X: " + QString::number(imText->x() - imSine->x()));
    stBar->SetPanelText(3, "Y: " + QString::number(imText->y() - imSine->y()));
}

void TfZorvTile::imTextMouseDown() {
    if (!TextNow) return;
    static_cast<TTextCapture*>(TextCapture.get())->StopAfterPress();
    Dragging = false;
    auto* imText = findChild<QLabel*>("imText");
    imText->hide();
    const QFont font = fText->tPnl1->font();
    const TColor color = fText->tPnl1->FontColor();
    const QString text = fText->Memo1->toPlainText();
    const int left = imText->x() - imSine->x(), top = imText->y() - imSine->y();
    {
        // The text in the font's colour and no background; what lies outside the image is cut.
        QPainter p(&imSine->Canvas());
        p.setFont(font);
        p.setPen(ToQColor(color));
        p.setBrush(Qt::NoBrush);
        p.drawText(QRect(left, top, TextRect.width(), TextRect.height()), TextAlignment(lcr), text);
    }
    imSine->update();
    TextNow = false;
    Drawing = false;
    CopyViewToImage();
    QString style = font.bold() ? "Bold" : "Normal";
    if (font.italic()) style = font.bold() ? "Bold Italic" : "Italic";
    // Joined rather than formatted, so that a text holding "%1" stays as typed.
    LogLine("Text Tool, Font " + font.family() + ", Size " + QString::number(font.pointSize()) + ", Color " +
            ColorToRGBStr(color) + ", Style " + style + " \"" + text + "\" " + ", Location X " +
            QString::number(left) + " Y " + QString::number(top));
}

void TfZorvTile::CancelFloatingText() {
    if (!TextNow) return;
    if (TextCapture) static_cast<TTextCapture*>(TextCapture.get())->Stop();
    if (auto* imText = findChild<QLabel*>("imText")) imText->hide();
    TextNow = false;
    Dragging = false;
}
