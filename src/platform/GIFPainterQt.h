#pragma once
// TGIFPainterTimer: runs GIF painters on the user-interface thread. Animating painters (goAsync) wait on
// single-shot timers; painters without goAsync run to their end inside the call, sleeping in short
// steps while pending events are handled - never user input, so no command can start meanwhile.
// TGIFImageCanvas lets a painter draw into a QImage shown by a widget.

#include <QElapsedTimer>
#include <QImage>
#include <QPointer>
#include <QWidget>

#include <map>
#include <memory>
#include <vector>

#include "gif/GIFPainter.h"

class QTimer;

class TGIFPainterTimer final : public TGIFPainterDriver {
public:
    // The one driver of the program.
    static TGIFPainterTimer& Instance();

    TGIFPainterTimer();
    ~TGIFPainterTimer() override;
    TGIFPainterTimer(const TGIFPainterTimer&) = delete;
    TGIFPainterTimer& operator=(const TGIFPainterTimer&) = delete;

    // A painter owned by this driver together with its canvas, freed soon after it ends (played out,
    // stopped, or its picture gone). It is not started yet.
    TGIFPainter* CreatePainter(TGIFImage& Image, std::unique_ptr<TGIFPaintCanvas> Canvas,
                               const TGIFRect& Rect, const TGIFPaintSettings& Settings,
                               TGIFPainter** PainterRef = nullptr) override;
    // Painters owned and not yet freed.
    int Count() const { return static_cast<int>(FOwned.size()); }

    std::int64_t Now() override;
    void Schedule(TGIFPainter& Painter, int Milliseconds) override;
    void Cancel(TGIFPainter& Painter) override;
    bool Sleep(int Milliseconds) override;
    void Finished(TGIFPainter& Painter) override;

private:
    struct TOwned {
        std::unique_ptr<TGIFPaintCanvas> Canvas;
        std::unique_ptr<TGIFPainter> Painter;
    };
    struct TDoomed {
        std::unique_ptr<QTimer> Timer;
        TOwned Owned;
    };
    QTimer& TimerOf(TGIFPainter& Painter);

    QElapsedTimer FClock;
    std::map<TGIFPainter*, std::unique_ptr<QTimer>> FTimers;
    std::map<TGIFPainter*, TOwned> FOwned;
    std::vector<TDoomed> FDoomed; // ended, freed from the event loop
};

// A canvas over a 24- or 32-bit QImage (Format_BGR888, Format_RGB32 or Format_ARGB32) that asks a
// widget to repaint what was drawn. With a widget, the canvas is gone once the widget is.
class TGIFImageCanvas final : public TGIFPaintCanvas {
public:
    explicit TGIFImageCanvas(QImage& Image, QWidget* Widget = nullptr);
    Surface Pixels() override;
    void Changed(const TGIFRect& Rect) override;

private:
    QImage* FImage;
    QPointer<QWidget> FWidget;
    bool FHasWidget;
};

// Runs a painter without goAsync to its end in this call.
void RunGIFPainter(TGIFImage& Image, TGIFPaintCanvas& Canvas, const TGIFRect& Rect,
                   const TGIFPaintSettings& Settings, TGIFPainter** PainterRef = nullptr);
