#include "app/tools/ToolSettings.h"

#include "app/dialogs/ToolBox.h"

#include <QCheckBox>
#include <QLineEdit>

// The tool box's controls; before the tool box exists (and after it is gone) its start values.
namespace ToolSettings {

TColor PenColor() {
    return fToolBox ? fToolBox->PenColor() : 0;
}
void SetPenColor(TColor c) {
    if (fToolBox) fToolBox->SetPenColor(c);
}
TColor BrushColor() {
    return fToolBox ? fToolBox->BrushColor() : 0xFFFFFF;
}
void SetBrushColor(TColor c) {
    if (fToolBox) fToolBox->SetBrushColor(c);
}
QString PenSizeText() {
    return fToolBox ? fToolBox->ePenSize->text() : QString("2");
}
void SetPenSizeText(const QString& text) {
    if (fToolBox) fToolBox->ePenSize->setText(text);
}
bool FillShape() {
    return !fToolBox || fToolBox->cFill->isChecked();
}
void SetFillShape(bool fill) {
    if (fToolBox) fToolBox->cFill->setChecked(fill);
}

} // namespace ToolSettings
