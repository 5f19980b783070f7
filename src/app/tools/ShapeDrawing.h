#pragma once
// The drawing primitives of the tools with the geometry of the classic graphics interface: shapes
// between two corners in any order, whose right and bottom edges lie one pixel inside the corners;
// empty shapes draw nothing. And the twelve raster modes of the Pen menu.

#include <QColor>
#include <QPainter>
#include <QPen>
#include <QPoint>
#include <QString>

// A solid pen `width` pixels wide (at least 1): one-pixel pens with flat ends, wider ones round.
QPen GdiPen(const QColor& color, int width);

// A line from a to b; the end point is not drawn, a line of no length draws nothing.
void DrawGdiLine(QPainter& p, QPoint a, QPoint b);
// The rectangle or ellipse within the corners a and b, outlined with the painter's pen and filled
// with its brush; nothing when it has no width or no height.
void DrawGdiRectangle(QPainter& p, QPoint a, QPoint b);
void DrawGdiEllipse(QPainter& p, QPoint a, QPoint b);

// The Pen menu's raster modes, index 0 to 11 (Normal ... XORPen); any other index means Normal.
constexpr int PenModeCount = 12;
QPainter::CompositionMode PenMode(int index);
// The item's caption, which is also the mode's name in the line tool's log line.
QString PenModeName(int index);
