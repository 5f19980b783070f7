#include "DrawingTestSupport.h"

#include <QApplication>

void DrawingTest::SetUp() {
    FileCommandsBase::SetUp();
    ToolSettings::SetPenColor(0);
    ToolSettings::SetBrushColor(0xFFFFFF);
    ToolSettings::SetPenSizeText("1");
    ToolSettings::SetFillShape(true);
    W->ShowAdj->setChecked(false);
}

void DrawingTest::TearDown() {
    TfSelect::SetExecuteHook({});
    TfAdjust::SetExecuteHook({});
    FileCommandsBase::TearDown();
}

void DrawingTest::Paint(int w, int h, TFColor c) {
    W->z.SetSize(w, h, 24, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) W->z.Pixels24[y][x] = c;
    W->SetToIm(W->z);
}

void DrawingTest::Tool(TDrawTool t) {
    W->SetTool(t == TDrawTool::dtFill, t == TDrawTool::dtText, t, t == TDrawTool::dtText ? 0 : 10);
}

void DrawingTest::Send(QEvent::Type type, int x, int y, Qt::MouseButton b, Qt::MouseButtons held) {
    QWidget* view = W->imSine;
    const QPoint p(x, y);
    QMouseEvent e(type, QPointF(p), QPointF(view->mapToGlobal(p)), b, held, Qt::NoModifier);
    QApplication::sendEvent(view, &e);
}

void DrawingTest::Press(int x, int y, Qt::MouseButton b) {
    Send(QEvent::MouseButtonPress, x, y, b, b);
}

void DrawingTest::Move(int x, int y, Qt::MouseButtons held) {
    Send(QEvent::MouseMove, x, y, Qt::NoButton, held);
}

void DrawingTest::Release(int x, int y, Qt::MouseButton b) {
    Send(QEvent::MouseButtonRelease, x, y, b, Qt::NoButton);
}

void DrawingTest::Drag(std::initializer_list<QPoint> points) {
    const QPoint first = *points.begin();
    Press(first.x(), first.y());
    QPoint last = first;
    for (auto it = points.begin() + 1; it != points.end(); ++it) {
        Move(it->x(), it->y());
        last = *it;
    }
    Release(last.x(), last.y());
}

TFColor DrawingTest::ViewAt(int x, int y) const {
    const QColor c = W->imSine->Canvas().pixelColor(x, y);
    return MakeFColor(static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
                      static_cast<std::uint8_t>(c.blue()));
}
