#include "platform/GIFPainterQt.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <stdexcept>

#include "platform/ErrorGuard.h"

TGIFPainterTimer& TGIFPainterTimer::Instance() {
    static TGIFPainterTimer driver;
    return driver;
}

TGIFPainterTimer::TGIFPainterTimer() {
    FClock.start();
    // A painter's error with no picture handler to take it is shown like any command's error.
    SetGIFPainterErrorHandler([](const std::string& message) { ShowException(std::runtime_error(message)); });
}

TGIFPainterTimer::~TGIFPainterTimer() {
    // Painters still owned at exit end without drawing again.
    std::map<TGIFPainter*, TOwned> owned;
    owned.swap(FOwned);
    for (auto& [painter, entry] : owned) painter->Stop();
    owned.clear();
    FDoomed.clear();
    FTimers.clear();
}

TGIFPainter* TGIFPainterTimer::CreatePainter(TGIFImage& Image, std::unique_ptr<TGIFPaintCanvas> Canvas,
                                             const TGIFRect& Rect, const TGIFPaintSettings& Settings,
                                             TGIFPainter** PainterRef) {
    auto painter = std::make_unique<TGIFPainter>(&Image, *Canvas, Rect, Settings, *this, PainterRef);
    TGIFPainter* p = painter.get();
    FOwned[p] = TOwned{std::move(Canvas), std::move(painter)};
    return p;
}

std::int64_t TGIFPainterTimer::Now() {
    return FClock.elapsed();
}

QTimer& TGIFPainterTimer::TimerOf(TGIFPainter& Painter) {
    std::unique_ptr<QTimer>& timer = FTimers[&Painter];
    if (!timer) {
        timer = std::make_unique<QTimer>();
        timer->setSingleShot(true);
        timer->setTimerType(Qt::PreciseTimer);
        TGIFPainter* p = &Painter;
        QObject::connect(timer.get(), &QTimer::timeout, [p] { p->Continue(); });
    }
    return *timer;
}

void TGIFPainterTimer::Schedule(TGIFPainter& Painter, int Milliseconds) {
    QTimer& timer = TimerOf(Painter);
    if (Milliseconds < 0)
        timer.stop();
    else
        timer.start(Milliseconds);
}

void TGIFPainterTimer::Cancel(TGIFPainter& Painter) {
    const auto it = FTimers.find(&Painter);
    if (it != FTimers.end()) it->second->stop();
}

bool TGIFPainterTimer::Sleep(int Milliseconds) {
    QElapsedTimer slept;
    slept.start();
    while (slept.elapsed() < Milliseconds) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        if (QCoreApplication::closingDown()) return false;
        const qint64 left = Milliseconds - slept.elapsed();
        if (left > 0) QThread::msleep(static_cast<unsigned long>(std::min<qint64>(left, 5)));
    }
    return !QCoreApplication::closingDown();
}

// The painter is still on the call stack (it called us, perhaps from its timer's signal): its timer and,
// when owned here, the painter are put aside and freed from the event loop.
void TGIFPainterTimer::Finished(TGIFPainter& Painter) {
    TDoomed doomed;
    if (const auto it = FTimers.find(&Painter); it != FTimers.end()) {
        it->second->stop();
        doomed.Timer = std::move(it->second);
        FTimers.erase(it);
    }
    if (const auto it = FOwned.find(&Painter); it != FOwned.end()) {
        doomed.Owned = std::move(it->second);
        FOwned.erase(it);
    }
    if (!doomed.Timer && !doomed.Owned.Painter) return;
    FDoomed.push_back(std::move(doomed));
    if (QCoreApplication::instance())
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [this] { FDoomed.clear(); }, Qt::QueuedConnection);
}

TGIFImageCanvas::TGIFImageCanvas(QImage& Image, QWidget* Widget)
    : FImage(&Image), FWidget(Widget), FHasWidget(Widget != nullptr) {}

Surface TGIFImageCanvas::Pixels() {
    Surface s;
    if ((FHasWidget && !FWidget) || FImage->isNull()) return s;
    const QImage::Format f = FImage->format();
    if (f != QImage::Format_BGR888 && f != QImage::Format_RGB32 && f != QImage::Format_ARGB32) return s;
    s.bits = FImage->bits();
    s.width = FImage->width();
    s.height = FImage->height();
    s.stride = static_cast<int>(FImage->bytesPerLine());
    s.bpp = f == QImage::Format_BGR888 ? 24 : 32;
    return s;
}

void TGIFImageCanvas::Changed(const TGIFRect& Rect) {
    if (FWidget) FWidget->update(QRect(Rect.Left, Rect.Top, Rect.Right - Rect.Left, Rect.Bottom - Rect.Top));
}

void RunGIFPainter(TGIFImage& Image, TGIFPaintCanvas& Canvas, const TGIFRect& Rect,
                   const TGIFPaintSettings& Settings, TGIFPainter** PainterRef) {
    TGIFPaintSettings s = Settings;
    s.DrawOptions &= ~DrawOption(goAsync);
    TGIFPainter painter(&Image, Canvas, Rect, s, TGIFPainterTimer::Instance(), PainterRef);
    painter.Execute();
}
