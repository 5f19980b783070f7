#pragma once
// TImageView: the image control imSine. It shows the shown image or its canvas (the drawing surface of
// the tools) 1:1, reports presses, moves and releases in image pixels, and paints the rubber band or
// adjustment preview over the image with an exclusive-or pen. The band lives only on the screen: it
// never enters the canvas, so it can never reach the image.

#include "app/main/MainWidgets.h"
#include "image/FastDIB.h"

#include <QPoint>
#include <QRegion>

#include <functional>

class QPainter;

enum class TBandShape { None, Line, Rectangle, Ellipse, Selection };

// A band between the corners A and B (any order), drawn white in exclusive-or with a pen Width pixels
// wide; a Selection band is a one-pixel dashed rectangle.
struct TBand {
    TBandShape Shape = TBandShape::None;
    QPoint A, B;
    int Width = 1;
    friend bool operator==(const TBand&, const TBand&) = default;
};

class TImageView : public TImage {
public:
    explicit TImageView(QWidget* parent = nullptr);

    // Mouse handlers: the button (for presses and releases) or the buttons held (for moves), the
    // modifier keys and the position in image pixels (outside the image while the mouse is held).
    std::function<void(Qt::MouseButton, Qt::KeyboardModifiers, int, int)> OnMouseDown;
    std::function<void(Qt::MouseButtons, Qt::KeyboardModifiers, int, int)> OnMouseMove;
    std::function<void(Qt::MouseButton, Qt::KeyboardModifiers, int, int)> OnMouseUp;

    // The band shown over the image; setting one repaints only where the old and the new band lie.
    const TBand& Band() const { return CurrentBand; }
    void SetBand(const TBand& band);
    void ClearBand() { SetBand(TBand{}); }

    // The part of the control a band covers (its outline, never the inside of a rectangle).
    static QRegion BandRegion(const TBand& band);
    // Paints the image and the band within `region` (what a paint event does).
    void PaintView(QPainter& p, const QRegion& region) const;

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    TBand CurrentBand;
};

// Draws the band's outline with the painter's current pen and brush (no pen or mode is set here).
void DrawBandShape(QPainter& p, const TBand& band);

// The view-to-image copy: the whole view into `z` (same size; rows copied as they stand).
void CopyViewTo(const QImage& view, TFastDIB& z);
// The image-to-view copy: `D` drawn at (0, 0) into the view (what fits). A 24-bit image's rows are
// copied as they stand, in row bands on every core and never cut short by a stop request; other depths
// are drawn through Qt.
void CopyDIBToView(const TFastDIB& D, QImage& view);
