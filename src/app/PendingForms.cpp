#include "app/PendingForms.h"

TfToolBox* fToolBox = nullptr;
TfGradient* fGradient = nullptr;
TfFilter* fFilter = nullptr;
TfSelect* fSelect = nullptr;
TfText* fText = nullptr;
TfTexture* fTexture = nullptr;
TfrmSizer* frmSizer = nullptr;
TfTester* fTester = nullptr;
TfAbout* fAbout = nullptr;
TfGif* fGif = nullptr;
TfMultGrad* fMultGrad = nullptr;
TfAdjust* fAdjust = nullptr;
TfMultOpt* fMultOpt = nullptr;

TPendingForm::TPendingForm(const QString& objectName, const QString& caption, QWidget* parent)
    : QDialog(parent) {
    setObjectName(objectName);
    setWindowTitle(caption);
}

TfToolBox::TfToolBox(QWidget* parent) : TPendingForm("fToolBox", "Tool Box", parent) {
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    resize(181, 238);
    setMinimumHeight(270);
    move(3, 1);
}
