#include "app/dialogs/ToolBox.h"

TfToolBox* fToolBox = nullptr;

TfToolBox::TfToolBox(QWidget* parent) : TPendingForm("fToolBox", "Tool Box", parent) {
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    resize(181, 238);
    setMinimumHeight(270);
    move(3, 1);
}
