#include "app/tools/ToolSettings.h"

// Until the tool box has its colour buttons, pen size and Fill Shape, the settings are kept here
// with the tool box's start values.
namespace {
TColor Pen = 0, Brush = 0xFFFFFF;
QString PenSize = "2";
bool FillShapes = true;
} // namespace

namespace ToolSettings {

TColor PenColor() {
    return Pen;
}
void SetPenColor(TColor c) {
    Pen = c;
}
TColor BrushColor() {
    return Brush;
}
void SetBrushColor(TColor c) {
    Brush = c;
}
QString PenSizeText() {
    return PenSize;
}
void SetPenSizeText(const QString& text) {
    PenSize = text;
}
bool FillShape() {
    return FillShapes;
}
void SetFillShape(bool fill) {
    FillShapes = fill;
}

} // namespace ToolSettings
