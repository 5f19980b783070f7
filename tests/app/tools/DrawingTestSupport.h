#pragma once
// Shared fixture of the drawing tool tests: the program's windows, shown, with the image set to one
// colour, and mouse presses, moves and releases sent to the image view as the window system would.

#include "../FileTestSupport.h"

#include "app/dialogs/SelectionAction.h"
#include "app/dialogs/ShapeAdjust.h"
#include "app/tools/ToolSettings.h"

#include <QMouseEvent>

class DrawingTest : public FileCommandsBase {
protected:
    void SetUp() override;
    void TearDown() override;

    // The image w x h of one colour, shown.
    void Paint(int w, int h, TFColor c);
    void Tool(TDrawTool t);

    void Press(int x, int y, Qt::MouseButton b = Qt::LeftButton);
    void Move(int x, int y, Qt::MouseButtons held = Qt::LeftButton);
    void Release(int x, int y, Qt::MouseButton b = Qt::LeftButton);
    // Press at the first point, a move to each point, release at the last.
    void Drag(std::initializer_list<QPoint> points);

    TFColor At(int x, int y) const { return W->z.Pixels24[y][x]; }
    // The pixel of the view (what the tools draw on) at (x, y).
    TFColor ViewAt(int x, int y) const;

private:
    void Send(QEvent::Type type, int x, int y, Qt::MouseButton b, Qt::MouseButtons held);
};

inline TFColor Grey(int v) {
    return MakeFColor(static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v),
                      static_cast<std::uint8_t>(v));
}
