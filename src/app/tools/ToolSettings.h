#pragma once
// What the drawing tools read from and write to the tool box: the pen and brush colours, the pen
// size as typed and the Fill Shape option.

#include "image/Color.h"

#include <QString>

namespace ToolSettings {

TColor PenColor();
void SetPenColor(TColor c);
TColor BrushColor();
void SetBrushColor(TColor c);
QString PenSizeText();
void SetPenSizeText(const QString& text);
bool FillShape();
void SetFillShape(bool fill);

} // namespace ToolSettings
